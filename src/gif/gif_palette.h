// Logical palettes of the codec: an ordered list of red, green, blue entries. A frame
// or picture keeps its palette by shared handle, so "the same palette" is identity of
// the handle, as the rendering code compares it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct TPaletteEntry {
  std::uint8_t peRed = 0;
  std::uint8_t peGreen = 0;
  std::uint8_t peBlue = 0;
  std::uint8_t peFlags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// Entry flag "no collapse": the entry is kept even when an equal one exists.
constexpr std::uint8_t PC_NOCOLLAPSE = 0x04;

using TGIFPalette = std::vector<TPaletteEntry>;
using TPaletteHandle = std::shared_ptr<const TGIFPalette>;
