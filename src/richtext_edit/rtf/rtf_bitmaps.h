// Bitmaps in RTF pictures beside the device-independent ones (\dibitmap, read by the BMP
// codec):
// - device-dependent bitmaps (\wbitmap): rows top-down of WidthBytes bytes each
//   (1 bit per pixel: set bits white; 16 bits 5-5-5; 24 and 32 bits blue, green, red);
// - the one bitmap a Windows metafile (\wmetafile) or enhanced metafile (\emfblip)
//   carries when it does nothing but set up the page and draw that bitmap (with a
//   DIB-drawing record or a block transfer from it), so that it is kept as the bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gui/graphics/bitmap.h"

class TRDPictureBudget;

struct TRDDdbFormat {
  int Width = 0, Height = 0;
  int WidthBytes = 0;  // 0: rows padded to 16 bits
  int BitsPixel = 1;
  int Planes = 1;
};
// The bitmap as a packed DIB (its info header, colour table and rows). Raises
// EInvalidGraphic for an unsupported layout or data shorter than the rows.
std::vector<std::uint8_t> DdbAsDib(const TRDDdbFormat& format, std::span<const std::uint8_t> data);
// Raises as DdbAsDib does.
std::unique_ptr<TBitmap> DecodeDdb(const TRDDdbFormat& format, std::span<const std::uint8_t> data);

// The bitmap a metafile draws, or null when it draws anything else, draws more than one
// bitmap, or the bitmap cannot be decoded or its pixels do not fit the budget (the
// metafile is then kept as it is).
std::unique_ptr<TBitmap> ExtractWindowsMetafileBitmap(std::span<const std::uint8_t> data,
                                                      TRDPictureBudget& budget);
std::unique_ptr<TBitmap> ExtractEnhancedMetafileBitmap(std::span<const std::uint8_t> data,
                                                       TRDPictureBudget& budget);
