// Bitmaps in RTF pictures, decoded by our own code:
// - device-independent bitmaps (\dibitmap, and those carried by metafiles): a
//   BITMAPINFOHEADER (40 bytes or more) or BITMAPCOREHEADER (12 bytes), the colour table,
//   then the rows, bottom-up unless the height is negative, each padded to 4 bytes;
//   1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, with bit fields, or run-length
//   coded (4 and 8 bits);
// - device-dependent bitmaps (\wbitmap): rows top-down of WidthBytes bytes each
//   (1 bit per pixel: set bits white; 16 bits 5-5-5; 24 and 32 bits blue, green, red);
// - the one bitmap a Windows metafile (\wmetafile) or enhanced metafile (\emfblip)
//   carries when it does nothing but set up the page and draw that bitmap (with a
//   DIB-drawing record or a block transfer from it), so that it is kept as the bitmap.
// Data shorter than the bitmap's declared size is rejected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/gui/graphics/bitmap.h"

// The bitmap of a DIB: Info (header and colour table) and the pixel rows (Bits). Raises
// EInvalidGraphic when the header is not understood or Bits is too short.
std::unique_ptr<TBitmap> DecodeDib(std::span<const std::uint8_t> info,
                                   std::span<const std::uint8_t> bits);
// A packed DIB: header, colour table and rows in one block.
// Bytes of its header, bit-field masks and colour table (where the rows start).
std::size_t DibInfoSize(std::span<const std::uint8_t> dib);
std::unique_ptr<TBitmap> DecodePackedDib(std::span<const std::uint8_t> dib);

struct TRDDdbFormat {
  int Width = 0, Height = 0;
  int WidthBytes = 0;  // 0: rows padded to 16 bits
  int BitsPixel = 1;
  int Planes = 1;
};
// Raises EInvalidGraphic for an unsupported layout or data shorter than the rows.
std::unique_ptr<TBitmap> DecodeDdb(const TRDDdbFormat& format, std::span<const std::uint8_t> data);

// The bitmap a metafile draws, or null when it draws anything else, draws more than one
// bitmap, or the bitmap cannot be decoded.
std::unique_ptr<TBitmap> ExtractWindowsMetafileBitmap(std::span<const std::uint8_t> data);
std::unique_ptr<TBitmap> ExtractEnhancedMetafileBitmap(std::span<const std::uint8_t> data);
