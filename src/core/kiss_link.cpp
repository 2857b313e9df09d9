#include "core/kiss_link.h"

#include "core/digi_path.h"

namespace {

constexpr uint8_t kCarriageReturn = 13;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

TKissLink KissLink;

void TKissLink::KissRxBytes(std::span<const uint8_t> Data) {
  for (uint8_t byte : Data) {
    if (IsPlayingBack && IsPlayingBack()) continue;
    if (KissActive == 0 && byte == kCarriageReturn) {
      EndOfLine();
    } else if (KissActive != 0 && byte == kFend) {
      EndOfFrame();
    } else if (KissRxCount < KissRxBuffer.size()) {
      KissRxBuffer[KissRxCount++] = byte;
    } else {
      rx_overflow_ = true;
    }
  }
}

void TKissLink::EndOfLine() {
  if (!rx_overflow_ && AddLogText) {
    std::string line(KissRxBuffer.begin(), KissRxBuffer.begin() + KissRxCount);
    line += '\r';
    AddLogText(line, kMonitorStyleTncText);
  }
  ClearRxBuffer();
}

void TKissLink::EndOfFrame() {
  if (!rx_overflow_) {
    std::span<const uint8_t> frame(KissRxBuffer.data(), KissRxCount);
    std::string text = DecodeAx25Frame(frame);
    if (!text.empty() && CollectMonitorLine) {
      size_t line_end = text.find("\r\n");
      CollectMonitorLine(text.substr(0, line_end));
      CollectMonitorLine(line_end == std::string::npos ? std::string() : text.substr(line_end + 2));
    }
    // The debug list shows the frame as decoded, escapes undone.
    if (text.empty()) {
      AppendRawBytes(frame);
    } else {
      AppendRawBytes(KissUnescape(frame));
    }
  }
  ClearRxBuffer();
}

void TKissLink::AppendRawBytes(std::span<const uint8_t> Bytes) {
  if (!IsDebugChecked || !IsDebugChecked() || !SetRawByteText) return;
  std::string text = RawByteText ? RawByteText() : std::string();
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  if (!text.empty() && text.back() != ',') text += ',';
  for (uint8_t b : Bytes) text += std::to_string(b) + ",";
  text += std::to_string(kFend) + ",";
  SetRawByteText(text);
}

void TKissLink::ClearRxBuffer() {
  KissRxBuffer.fill(0);
  KissRxCount = 0;
  rx_overflow_ = false;
}

TKissSendResult TKissLink::SendKissFrame(std::string_view Source, std::string_view DestAndPath,
                                         std::string_view Data) {
  Source = Trim(Source);
  Data = Trim(Data);
  const std::string path = NormalizeDigiPath(DestAndPath);
  TKissBuildResult frame = BuildKissFrame(Source, path, Data);
  if (frame.Error != TKissBuildError::None) return TKissSendResult::Refused;
  if (!WriteRs232Buf || !WriteRs232Buf(frame.Bytes)) return TKissSendResult::NotWritten;
  EchoTxFrame(Source, path, Data);
  return TKissSendResult::Sent;
}

void TKissLink::EchoTxFrame(std::string_view Source, std::string_view Path, std::string_view Data) {
  if (!DeviceIndex || DeviceIndex() == 0 || !AddLogText) return;
  int port = 0;
  size_t colon = Source.find(':');
  if (colon != std::string_view::npos) {
    // Radio port n + 1 from the KISS port n; a prefix that is no port shows none.
    std::string_view number = Trim(Source.substr(0, colon));
    bool is_port = !number.empty() && number.size() <= 2;
    for (char c : number) is_port = is_port && c >= '0' && c <= '9';
    port = is_port ? std::stoi(std::string(number)) + 1 : 0;
    Source = Source.substr(colon + 1);
  }
  std::string path(Path);
  for (char& c : path) {
    if (c == ',') c = ' ';
  }
  std::string_view rest = path;
  size_t blank = rest.find(' ');
  std::string destination(Trim(rest.substr(0, blank)));
  std::string via(blank == std::string_view::npos ? std::string_view() : Trim(rest.substr(blank + 1)));
  if (destination.empty()) destination = "APRS";
  std::string header = "fm " + std::string(Source) + " to " + destination;
  if (!via.empty()) header += " via " + via;
  header += " ctl UIv pid F0";
  if (port != 0) header = std::to_string(port) + ":" + header;
  const bool second_port = port >= 2;
  AddLogText("\r\n" + header, second_port ? kMonitorStyleTxHeaderPort2 : kMonitorStyleTxHeaderPort1);
  AddLogText("\r\n" + std::string(Data), second_port ? kMonitorStyleTxDataPort2 : kMonitorStyleTxDataPort1);
}
