#include "gif_test_support.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text/streams.h"

std::string GifFixturePath(const std::string& Name) {
  return std::string(VELMORA_TEST_DATA) + "/gif/" + Name;
}

std::string ReadFileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + Path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  std::ofstream out(Path, std::ios::binary);
  out << Bytes;
}

TWarningLog::TWarningLog(TGIFPicture& Picture) {
  Picture.OnWarning = [this](TGIFPicture*, int, const std::string& Message) {
    Messages.push_back(Message);
  };
}

void LoadBytes(TGIFPicture& Picture, const std::string& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  stream.SetPosition(0);
  Picture.LoadFromStream(stream);
}

std::string SaveBytes(const TGIFPicture& Picture) {
  TMemoryStream stream;
  Picture.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()),
                     static_cast<std::size_t>(stream.Size()));
}

std::string Bytes(std::initializer_list<int> Values) {
  std::string bytes;
  for (int v : Values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

namespace {

// Pixel glyphs of a dump of at most 64 colours; larger tables are dumped in hex.
const std::string kGlyphs = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\"";

void ReadMap(std::istringstream& In, std::vector<TDumpColor>& Map) {
  std::string line;
  while (std::getline(In, line) && line != "end") {
    std::istringstream fields(line);
    std::string word;
    fields >> word;
    if (word != "rgb") continue;
    TDumpColor c;
    fields >> c.Red >> c.Green >> c.Blue;
    Map.push_back(c);
  }
}

}  // namespace

TGifDump ParseGifDump(const std::string& Text) {
  TGifDump dump;
  TDumpFrame pending;  // extensions seen before the next image
  std::istringstream in(Text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string a, b;
    fields >> a >> b;
    if (a == "screen" && b == "width")
      fields >> dump.Width;
    else if (a == "screen" && b == "height")
      fields >> dump.Height;
    else if (a == "screen" && b == "background")
      fields >> dump.Background;
    else if (a == "pixel") {
      std::string c;
      fields >> c >> dump.Aspect;
    } else if (a == "screen" && b == "map")
      ReadMap(in, dump.GlobalMap);
    else if (a == "netscape" && b == "loop")
      fields >> pending.Loop;
    else if (a == "comment") {
      while (std::getline(in, line) && line != "end") pending.Comments.push_back(line);
    } else if (a == "graphics" && b == "control") {
      pending.HasControl = true;
      while (std::getline(in, line) && line != "end") {
        std::istringstream f(line);
        std::string k1, k2;
        f >> k1 >> k2;
        if (k1 == "disposal")
          f >> pending.Disposal;
        else if (k1 == "user") {
          std::string flag, value;
          f >> flag >> value;
          pending.UserInput = value == "on";
        } else if (k1 == "delay")
          pending.Delay = std::stoi(k2);
        else if (k1 == "transparent")
          f >> pending.TransparentIndex;
      }
    } else if (a == "image" && b == "#") {
      dump.Frames.push_back(pending);
      pending = TDumpFrame{};
    } else if (a == "image" && b == "left")
      fields >> dump.Frames.back().Left;
    else if (a == "image" && b == "top")
      fields >> dump.Frames.back().Top;
    else if (a == "image" && b == "interlaced")
      dump.Frames.back().Interlaced = true;
    else if (a == "image" && b == "map")
      ReadMap(in, dump.Frames.back().LocalMap);
    else if (a == "image" && b == "bits") {
      TDumpFrame& frame = dump.Frames.back();
      std::string by, hex;
      fields >> frame.Width >> by >> frame.Height >> hex;
      for (int y = 0; y < frame.Height && std::getline(in, line); ++y) {
        if (hex == "hex")
          for (int x = 0; x < frame.Width; ++x)
            frame.Pixels.push_back(
                static_cast<std::uint8_t>(std::stoi(line.substr(2 * x, 2), nullptr, 16)));
        else
          for (int x = 0; x < frame.Width; ++x)
            frame.Pixels.push_back(static_cast<std::uint8_t>(kGlyphs.find(line[x])));
      }
    }
  }
  return dump;
}
