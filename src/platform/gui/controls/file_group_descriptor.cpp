#include "platform/gui/controls/file_group_descriptor.h"

#include <cstdint>

namespace {

void PutWord(std::string& Out, std::uint32_t Value) {
  for (int i = 0; i < 4; ++i) Out += static_cast<char>((Value >> (8 * i)) & 0xFF);
}

bool TakeWord(const std::string& Bytes, size_t& At, std::uint32_t& Value) {
  if (Bytes.size() - At < 4) return false;
  Value = 0;
  for (int i = 0; i < 4; ++i) {
    Value |= static_cast<std::uint32_t>(static_cast<unsigned char>(Bytes[At + i])) << (8 * i);
  }
  At += 4;
  return true;
}

}  // namespace

// A count, then per name its length and its bytes; numbers are 32-bit little-endian.
std::string EncodeFileGroupDescriptor(const std::vector<std::string>& Names) {
  std::string out;
  PutWord(out, static_cast<std::uint32_t>(Names.size()));
  for (const std::string& name : Names) {
    PutWord(out, static_cast<std::uint32_t>(name.size()));
    out += name;
  }
  return out;
}

bool DecodeFileGroupDescriptor(const std::string& Bytes, std::vector<std::string>& Names) {
  Names.clear();
  size_t at = 0;
  std::uint32_t count = 0;
  if (!TakeWord(Bytes, at, count)) return false;
  // Each name takes at least its length word: a count beyond that is a lie.
  if (count > (Bytes.size() - at) / 4) return false;
  Names.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t length = 0;
    if (!TakeWord(Bytes, at, length) || length > Bytes.size() - at) {
      Names.clear();
      return false;
    }
    Names.emplace_back(Bytes, at, length);
    at += length;
  }
  if (at != Bytes.size()) {
    Names.clear();
    return false;
  }
  return true;
}
