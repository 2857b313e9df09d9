#include "gif/gif_types.h"

#include <algorithm>

#include "platform/text/streams.h"
#include "platform/text/string_list.h"

namespace {
constexpr int kMaxSubBlock = 255;
}

const char* GIFVersionText(GIFVersion Version) {
  switch (Version) {
    case Version87a:
      return "87a";
    case Version89a:
      return "89a";
    default:
      return "";
  }
}

void Error(const std::string& Message) {
  throw GIFException(Message);
}

void ReadCheck(TStream& Stream, void* Buffer, int Count) {
  if (Count > 0 && Stream.Read(Buffer, Count) != Count) Error("Premature end of data");
}

void WriteByte(TStream& Stream, std::uint8_t Value) {
  Stream.WriteBuffer(&Value, 1);
}

std::uint8_t ReadByte(TStream& Stream) {
  std::uint8_t value = 0;
  if (Stream.Read(&value, 1) != 1) return 0;
  return value;
}

void WriteStrings(TStream& Stream, const TStrings& Lines) {
  for (int i = 0; i < Lines.Count(); ++i) {
    const std::string& line = Lines[i];
    for (std::size_t done = 0; done < line.size();) {
      const std::size_t size = std::min<std::size_t>(kMaxSubBlock, line.size() - done);
      WriteByte(Stream, static_cast<std::uint8_t>(size));
      Stream.WriteBuffer(line.data() + done, static_cast<int>(size));
      done += size;
    }
  }
  WriteByte(Stream, 0);
}

void ReadStrings(TStream& Stream, TStrings& Lines) {
  Lines.Clear();
  std::uint8_t size = 0;
  while (Stream.Read(&size, 1) == 1 && size != 0) {
    std::string line(size, '\0');
    ReadCheck(Stream, line.data(), size);
    Lines.Add(line);
  }
}

int Colors2bpp(int Colors) {
  if (Colors <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < Colors) ++bits;
  return bits;
}
