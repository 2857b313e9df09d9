// Binary test inputs built field by field, little-endian as the Windows file formats
// (metafiles, bitmaps) store their numbers.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct LittleEndianBytes {
  std::vector<std::uint8_t> data;
  LittleEndianBytes& U16(unsigned v) {
    data.push_back(std::uint8_t(v));
    data.push_back(std::uint8_t(v >> 8));
    return *this;
  }
  LittleEndianBytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  LittleEndianBytes& Raw(const std::vector<std::uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
  std::span<const std::uint8_t> Span() const { return data; }
};
