// How large a picture may be: a header may claim any size, and what it claims is
// allocated before a single pixel is read.
#pragma once

#include <cstdint>

#include "platform/gui/graphics/bitmap.h"

// Room for a large map (10000 x 10000) at 3 bytes a pixel, not for a header's fantasy.
constexpr int64_t kMaxGraphicPixels = 100'000'000;
// A size that a file claims without the bytes to fill it (a vector picture's frame):
// drawn whole, it costs 64 MB at most.
constexpr int64_t kMaxUnbackedGraphicPixels = 4096 * 4096;

// A picture whose header claims more than kMaxGraphicPixels; refused before anything of
// it is decoded.
class EGraphicTooLarge : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};
