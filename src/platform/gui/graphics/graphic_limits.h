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
// The pixels the bitmaps of one vector picture may hold decoded, counted as their headers
// claim them (a few bytes of runs may claim millions): a page scanned at 300 dpi, or many
// small bitmaps. Bitmaps past it are left out of the picture.
constexpr int64_t kMaxPictureBitmapPixels = 4096 * 4096;

// Why a picture is refused, as shown to the user (a key of LocalText): its width and
// height.
constexpr char kPictureTooLargeText[] = "The picture is too large: %d x %d pixels.";

// A picture whose header claims more than kMaxGraphicPixels; refused before anything of
// it is decoded.
class EGraphicTooLarge : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};
