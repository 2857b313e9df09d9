// Binary test inputs built field by field, little-endian as the Windows file formats
// (metafiles, bitmaps) store their numbers.
#pragma once

#include <cstdint>
#include <span>
#include <tuple>
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

// Clip art as metafiles hold it, side units at 960 an inch (40 x 40 pixels at 400): over
// its upper `covered` units a mask ANDed (black on the left, white on the right) and then
// the picture ORed (red on the left, black on the right), which lets what lies under it
// show on the right and below.
inline std::vector<std::uint8_t> ClipArtMetafile(unsigned side = 400, unsigned covered = 400) {
  LittleEndianBytes wmf;
  wmf.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(side).U16(side).U16(960).U32(0).U16(0);
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
  const auto record = [&](unsigned function, const std::vector<unsigned>& words) {
    wmf.U32(std::uint32_t(3 + words.size())).U16(function);
    for (unsigned w : words) wmf.U16(w);
  };
  record(0x020B, {0, 0});
  record(0x020C, {side, side});
  // StretchDIB over the picture: operation, colour use, source, destination, then a bitmap
  // of 2 x 2 pixels (its header, two rows of two pixels of 3 bytes padded to 8).
  for (const auto& [rop, left, right] :
       {std::tuple(0x8800C6u, 0x000000u, 0xFFFFFFu), std::tuple(0xEE0086u, 0xFF0000u, 0u)}) {
    std::vector<unsigned> words{rop & 0xFFFF, rop >> 16, 0, 2, 2, 0, 0, covered, side, 0, 0};
    words.insert(words.end(), {40, 0, 2, 0, 2, 0, 1, 24, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int row = 0; row < 2; ++row)
      words.insert(words.end(), {left & 0xFFFF, left >> 16 | (right & 0xFF) << 8, right >> 8, 0});
    record(0x0F43, words);
  }
  record(0, {});
  return wmf.data;
}
