#include "core/tnc2_line.h"

#include "platform/text/sysutils.h"

namespace {

constexpr char kServerCommentMark = '#';

}  // namespace

std::string_view LinePart(std::string_view Text) {
  return Text.substr(0, Text.find_first_of(std::string_view("\r\n\0", 3)));
}

bool HoldsLineEnd(std::string_view Text) {
  return LinePart(Text).size() != Text.size();
}

std::string Tnc2Line(std::string_view Source, std::string_view DestAndPath, std::string_view Data) {
  Source = LinePart(Source);
  DestAndPath = LinePart(DestAndPath);
  Data = LinePart(Data);
  std::string line;
  line.reserve(Source.size() + DestAndPath.size() + Data.size() + 2);
  line.append(Source).append(">").append(DestAndPath).append(":").append(Data);
  return line;
}

bool SplitIsLine(std::string_view Line, TReceivedPacket& Packet) {
  Packet = TReceivedPacket();
  const std::string line = Trim(Line);
  const size_t colon = line.find(':');
  if (line.empty() || colon == std::string::npos) return false;
  // A server's comment line ("# logresp ...", "# aprsc ...") is no packet, whatever it
  // holds after the '#'.
  if (line[0] == kServerCommentMark) return false;
  const std::string_view address = std::string_view(line).substr(0, colon);
  const size_t gt = address.find('>');
  if (gt == std::string_view::npos) return false;
  const std::string source = Trim(address.substr(0, gt));
  const std::string_view rest = address.substr(gt + 1);
  const size_t comma = rest.find(',');
  const std::string destination = Trim(rest.substr(0, comma));
  const std::string path =
      comma == std::string_view::npos ? std::string() : Trim(rest.substr(comma + 1));
  Packet.Header = "ig " + source + " to " + destination;
  if (!path.empty()) Packet.Header += " via " + path;
  Packet.Data = line.substr(colon + 1);
  Packet.Parts = {-1, UpperCase(source), UpperCase(destination), UpperCase(path)};
  return true;
}
