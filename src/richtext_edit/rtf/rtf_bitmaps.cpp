#include "richtext_edit/rtf/rtf_bitmaps.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "platform/gui/graphics/metafile.h"

namespace {

// Decoded bitmaps are held as 32-bit pixels; this bounds what damaged sizes may allocate.
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 25;

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kDibRgbColors = 0;

[[noreturn]] void Fail(const char* message) {
  throw EInvalidGraphic(message);
}

bool Has(std::span<const std::uint8_t> data, std::uint64_t offset, std::uint64_t count) {
  return offset <= data.size() && count <= data.size() - offset;
}
std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t o) {
  return std::uint16_t(d[o] | d[o + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t o) {
  return std::uint32_t(d[o]) | std::uint32_t(d[o + 1]) << 8 | std::uint32_t(d[o + 2]) << 16 |
         std::uint32_t(d[o + 3]) << 24;
}

struct DibHeader {
  std::int64_t Width = 0, Height = 0;
  bool TopDown = false;
  int BitsPerPixel = 0;
  std::uint32_t Compression = kBiRgb;
  std::uint32_t ImageSize = 0;               // biSizeImage: the bytes of compressed rows
  std::array<std::uint32_t, 3> Masks{};      // red, green, blue
  std::array<std::uint32_t, 256> Palette{};  // 0x00RRGGBB
  std::size_t InfoSize = 0;                  // header, masks and colour table
};

DibHeader ReadDibHeader(std::span<const std::uint8_t> info) {
  if (!Has(info, 0, 4)) Fail("Bitmap header too short");
  DibHeader h;
  const std::uint32_t headerSize = U32(info, 0);
  std::uint32_t colorsUsed = 0;
  std::size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize && Has(info, 0, kCoreHeaderSize)) {
    h.Width = U16(info, 4);
    h.Height = U16(info, 6);
    h.BitsPerPixel = U16(info, 10);
    entrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && Has(info, 0, headerSize)) {
    h.Width = std::int32_t(U32(info, 4));
    h.Height = std::int32_t(U32(info, 8));
    h.BitsPerPixel = U16(info, 14);
    h.Compression = U32(info, 16);
    h.ImageSize = U32(info, 20);
    colorsUsed = U32(info, 32);
  } else {
    Fail("Bitmap header too short");
  }
  if (h.Height < 0) {
    h.TopDown = true;
    h.Height = -h.Height;
  }
  if (h.Width <= 0 || h.Height <= 0 || h.Width * h.Height > kMaxPixels) Fail("Invalid bitmap size");
  const int bpp = h.BitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    Fail("Unsupported bitmap format");
  std::size_t offset = headerSize;
  if (h.Compression == kBiBitFields && (bpp == 16 || bpp == 32)) {
    // Masks follow a 40-byte header; longer headers hold them inside.
    const std::size_t masksAt = kInfoHeaderSize;
    if (!Has(info, masksAt, 12)) Fail("Bitmap header too short");
    for (int i = 0; i < 3; ++i) h.Masks[std::size_t(i)] = U32(info, masksAt + 4 * std::size_t(i));
    if (headerSize == kInfoHeaderSize) offset += 12;
  } else if (h.Compression != kBiRgb && !(h.Compression == kBiRle8 && bpp == 8) &&
             !(h.Compression == kBiRle4 && bpp == 4)) {
    Fail("Unsupported bitmap compression");
  } else if (bpp == 16) {
    h.Masks = {0x7C00, 0x03E0, 0x001F};
  } else if (bpp == 32) {
    h.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  if (bpp <= 8) {
    const std::uint32_t maxColors = 1u << bpp;
    const std::uint32_t count = colorsUsed == 0 || colorsUsed > maxColors ? maxColors : colorsUsed;
    if (!Has(info, offset, std::uint64_t(count) * entrySize)) Fail("Bitmap colour table too short");
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t at = offset + i * entrySize;
      h.Palette[i] = std::uint32_t(info[at]) | std::uint32_t(info[at + 1]) << 8 |
                     std::uint32_t(info[at + 2]) << 16;
    }
    offset += count * entrySize;
  }
  h.InfoSize = offset;
  return h;
}

// One channel of a bit-field pixel scaled to 0..255.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  return std::uint8_t((std::uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
}

void PutPixel(std::uint8_t* row, std::int64_t x, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  std::uint8_t* p = row + 4 * x;
  p[0] = b;
  p[1] = g;
  p[2] = r;
}

void PutPaletteIndex(std::uint8_t* row, std::int64_t x,
                     const std::array<std::uint32_t, 256>& palette, unsigned index) {
  const std::uint32_t c = palette[index & 0xFF];
  PutPixel(row, x, std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16));
}

// Run-length coded rows (bottom-up) as palette indices, row 0 at the bottom; pixels the
// runs leave out keep index 0. Runs that leave the bitmap are cut at its edge.
std::vector<std::uint8_t> DecodeRunLengths(const DibHeader& h, std::span<const std::uint8_t> bits) {
  constexpr std::uint8_t kEscape = 0, kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2;
  const bool fourBits = h.Compression == kBiRle4;
  std::vector<std::uint8_t> indices(std::size_t(h.Width * h.Height), 0);
  std::int64_t x = 0, y = 0;
  const auto put = [&](std::uint8_t index) {
    if (x < h.Width && y < h.Height) indices[std::size_t(y * h.Width + x)] = index;
    ++x;
  };
  std::size_t at = 0;
  while (at + 2 <= bits.size() && y < h.Height) {
    const std::uint8_t count = bits[at], value = bits[at + 1];
    at += 2;
    if (count != kEscape) {
      for (int i = 0; i < count; ++i) put(fourBits ? (i % 2 ? value & 0xF : value >> 4) : value);
    } else if (value == kEndOfLine) {
      x = 0;
      ++y;
    } else if (value == kEndOfBitmap) {
      break;
    } else if (value == kDelta) {
      if (at + 2 > bits.size()) break;
      x += bits[at];
      y += bits[at + 1];
      at += 2;
    } else {
      // An absolute run of `value` indices, padded to a 16-bit boundary.
      const std::size_t bytes = fourBits ? (value + 1u) / 2 : value;
      if (at + bytes > bits.size()) break;
      for (int i = 0; i < value; ++i)
        put(fourBits ? (i % 2 ? bits[at + i / 2] & 0xF : bits[at + i / 2] >> 4) : bits[at + i]);
      at += (bytes + 1) & ~std::size_t(1);
    }
  }
  return indices;
}

}  // namespace

std::unique_ptr<TBitmap> DecodeDib(std::span<const std::uint8_t> info,
                                   std::span<const std::uint8_t> bits) {
  const DibHeader h = ReadDibHeader(info);
  if (h.Compression == kBiRle8 || h.Compression == kBiRle4) {
    if (bits.size() < h.ImageSize) Fail("Bitmap data too short");
    const std::vector<std::uint8_t> indices =
        DecodeRunLengths(h, bits.first(h.ImageSize ? h.ImageSize : bits.size()));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(int(h.Width), int(h.Height));
    for (std::int64_t y = 0; y < h.Height; ++y) {
      std::uint8_t* dst = bitmap->ScanLine(int(h.Height - 1 - y));
      for (std::int64_t x = 0; x < h.Width; ++x)
        PutPaletteIndex(dst, x, h.Palette, indices[std::size_t(y * h.Width + x)]);
    }
    return bitmap;
  }
  const std::int64_t stride = (h.Width * h.BitsPerPixel + 31) / 32 * 4;
  if (!Has(bits, 0, std::uint64_t(stride * h.Height))) Fail("Bitmap data too short");
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(int(h.Width), int(h.Height));
  for (std::int64_t y = 0; y < h.Height; ++y) {
    const std::uint8_t* src = bits.data() + (h.TopDown ? y : h.Height - 1 - y) * stride;
    std::uint8_t* dst = bitmap->ScanLine(int(y));
    for (std::int64_t x = 0; x < h.Width; ++x) {
      switch (h.BitsPerPixel) {
        case 1:
          PutPaletteIndex(dst, x, h.Palette, (src[x / 8] >> (7 - x % 8)) & 1);
          break;
        case 4:
          PutPaletteIndex(dst, x, h.Palette, (src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
          break;
        case 8:
          PutPaletteIndex(dst, x, h.Palette, src[x]);
          break;
        case 16: {
          const std::uint32_t v = U16(std::span(src + 2 * x, 2), 0);
          PutPixel(dst, x, Channel(v, h.Masks[2]), Channel(v, h.Masks[1]), Channel(v, h.Masks[0]));
          break;
        }
        case 24:
          PutPixel(dst, x, src[3 * x], src[3 * x + 1], src[3 * x + 2]);
          break;
        default: {
          const std::uint32_t v = U32(std::span(src + 4 * x, 4), 0);
          PutPixel(dst, x, Channel(v, h.Masks[2]), Channel(v, h.Masks[1]), Channel(v, h.Masks[0]));
        }
      }
    }
  }
  return bitmap;
}

std::size_t DibInfoSize(std::span<const std::uint8_t> dib) {
  return ReadDibHeader(dib).InfoSize;
}

std::unique_ptr<TBitmap> DecodePackedDib(std::span<const std::uint8_t> dib) {
  const std::size_t infoSize = DibInfoSize(dib);
  return DecodeDib(dib.first(infoSize), dib.subspan(infoSize));
}

std::unique_ptr<TBitmap> DecodeDdb(const TRDDdbFormat& format, std::span<const std::uint8_t> data) {
  const std::int64_t width = format.Width, height = format.Height, bpp = format.BitsPixel;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) Fail("Invalid bitmap size");
  if (format.Planes != 1 || (bpp != 1 && bpp != 16 && bpp != 24 && bpp != 32))
    Fail("Unsupported bitmap format");
  const std::int64_t widthBytes =
      format.WidthBytes > 0 ? format.WidthBytes : (width * bpp + 15) / 16 * 2;
  if (widthBytes * 8 < width * bpp) Fail("Invalid bitmap size");
  if (!Has(data, 0, std::uint64_t(widthBytes * height))) Fail("Bitmap data too short");
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(int(width), int(height));
  static constexpr std::array<std::uint32_t, 256> kMonochrome = {0x000000, 0xFFFFFF};
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* src = data.data() + y * widthBytes;
    std::uint8_t* dst = bitmap->ScanLine(int(y));
    for (std::int64_t x = 0; x < width; ++x) {
      if (bpp == 1) {
        PutPaletteIndex(dst, x, kMonochrome, (src[x / 8] >> (7 - x % 8)) & 1);
      } else if (bpp == 16) {
        const std::uint32_t v = U16(std::span(src + 2 * x, 2), 0);
        PutPixel(dst, x, Channel(v, 0x001F), Channel(v, 0x03E0), Channel(v, 0x7C00));
      } else {
        const std::uint8_t* p = src + x * (bpp / 8);
        PutPixel(dst, x, p[0], p[1], p[2]);
      }
    }
  }
  return bitmap;
}

namespace {

// Windows metafile record functions passed over: page set-up, state, drawing objects
// made and selected, and clipping (the wrapper other writers put around one bitmap).
constexpr std::uint16_t kMetaEof = 0x0000;
constexpr std::uint16_t kMetaPassedOver[] = {0x001E /* SaveDC */,
                                             0x0102 /* SetBkMode */,
                                             0x0103 /* SetMapMode */,
                                             0x0104 /* SetROP2 */,
                                             0x0106 /* SetPolyFillMode */,
                                             0x0107 /* SetStretchBltMode */,
                                             0x0127 /* RestoreDC */,
                                             0x012E /* SetTextAlign */,
                                             0x01F0 /* DeleteObject */,
                                             0x02FA /* CreatePenIndirect */,
                                             0x02FB /* CreateFontIndirect */,
                                             0x02FC /* CreateBrushIndirect */,
                                             0x012C /* SelectClipRegion */,
                                             0x012D /* SelectObject */,
                                             0x0201 /* SetBkColor */,
                                             0x0209 /* SetTextColor */,
                                             0x020B /* SetWindowOrg */,
                                             0x020C /* SetWindowExt */,
                                             0x020D /* SetViewportOrg */,
                                             0x020E /* SetViewportExt */,
                                             0x0234 /* SelectPalette */,
                                             0x0415 /* ExcludeClipRect */,
                                             0x0416 /* IntersectClipRect */,
                                             0x0626 /* Escape (comment) */};
// Records that draw a device-independent bitmap: where in the record the bitmap starts
// and where its colour usage is (0: the record has none, the colours are RGB). The two
// block transfers are taken too: we cannot draw the metafile, only the bitmap.
struct TMetaBitmapRecord {
  std::uint16_t Function;
  std::size_t DibAt, UsageAt;
};
constexpr TMetaBitmapRecord kMetaBitmapRecords[] = {{0x0D33 /* SetDIBitsToDevice */, 24, 6},
                                                    {0x0F43 /* StretchDIBits */, 28, 10},
                                                    {0x0940 /* DIBBitBlt */, 22, 0},
                                                    {0x0B41 /* DIBStretchBlt */, 26, 0}};

// Enhanced metafile record types passed over.
constexpr std::uint32_t kEmrHeader = 1, kEmrEof = 14;
constexpr std::uint32_t kEmrPassedOver[] = {kEmrHeader,
                                            9 /* SetWindowExtEx */,
                                            10 /* SetWindowOrgEx */,
                                            11 /* SetViewportExtEx */,
                                            12 /* SetViewportOrgEx */,
                                            17 /* SetMapMode */,
                                            18 /* SetBkMode */,
                                            19 /* SetPolyFillMode */,
                                            20 /* SetROP2 */,
                                            21 /* SetStretchBltMode */,
                                            24 /* SetTextColor */,
                                            22 /* SetTextAlign */,
                                            25 /* SetBkColor */,
                                            29 /* ExcludeClipRect */,
                                            30 /* IntersectClipRect */,
                                            33 /* SaveDC */,
                                            34 /* RestoreDC */,
                                            37 /* SelectObject */,
                                            38 /* CreatePen */,
                                            39 /* CreateBrushIndirect */,
                                            40 /* DeleteObject */,
                                            48 /* SelectPalette */,
                                            70 /* GdiComment */,
                                            75 /* ExtSelectClipRgn */,
                                            82 /* ExtCreateFontIndirectW */};
// Records that draw a bitmap: where the offsets of its BITMAPINFO and bits (each followed
// by its size) and its colour usage are, and the smallest size of such a record.
struct TEmrBitmapRecord {
  std::uint32_t Type;
  std::size_t BmiOffsetAt, UsageAt, MinSize;
};
constexpr TEmrBitmapRecord kEmrBitmapRecords[] = {{80 /* SetDIBitsToDevice */, 48, 64, 76},
                                                  {81 /* StretchDIBits */, 48, 64, 80},
                                                  {76 /* BitBlt */, 84, 80, 100},
                                                  {77 /* StretchBlt */, 84, 80, 108}};

template <class T, std::size_t N>
bool Contains(const T (&values)[N], T value) {
  return std::find(std::begin(values), std::end(values), value) != std::end(values);
}

std::unique_ptr<TBitmap> TryPackedDib(std::span<const std::uint8_t> dib) {
  try {
    return DecodePackedDib(dib);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
}

}  // namespace

std::unique_ptr<TBitmap> ExtractWindowsMetafileBitmap(std::span<const std::uint8_t> data) {
  std::size_t offset = WindowsMetafileRecordsStart(data);
  if (offset == 0) return nullptr;
  std::unique_ptr<TBitmap> found;
  while (Has(data, offset, 6)) {
    const std::uint64_t size = std::uint64_t(U32(data, offset)) * 2;
    const std::uint16_t function = U16(data, offset + 4);
    if (function == kMetaEof) break;
    if (size < 6 || !Has(data, offset, size)) return nullptr;
    const auto record = data.subspan(offset, std::size_t(size));
    offset += std::size_t(size);
    if (Contains(kMetaPassedOver, function)) continue;
    const auto kind =
        std::find_if(std::begin(kMetaBitmapRecords), std::end(kMetaBitmapRecords),
                     [function](const TMetaBitmapRecord& r) { return r.Function == function; });
    if (kind == std::end(kMetaBitmapRecords) || found || !Has(record, kind->DibAt, 0))
      return nullptr;
    if (kind->UsageAt != 0 && U16(record, kind->UsageAt) != kDibRgbColors) return nullptr;
    found = TryPackedDib(record.subspan(kind->DibAt));
    if (!found) return nullptr;
  }
  return found;
}

std::unique_ptr<TBitmap> ExtractEnhancedMetafileBitmap(std::span<const std::uint8_t> data) {
  std::size_t offset = 0;
  if (!IsEnhancedMetafile(data)) return nullptr;
  std::unique_ptr<TBitmap> found;
  while (Has(data, offset, 8)) {
    const std::uint32_t type = U32(data, offset);
    const std::uint32_t size = U32(data, offset + 4);
    if (size < 8 || size % 4 != 0 || !Has(data, offset, size)) return nullptr;
    if (type == kEmrEof) break;
    const auto record = data.subspan(offset, size);
    offset += size;
    if (Contains(kEmrPassedOver, type)) continue;
    const auto kind = std::find_if(std::begin(kEmrBitmapRecords), std::end(kEmrBitmapRecords),
                                   [type](const TEmrBitmapRecord& r) { return r.Type == type; });
    if (kind == std::end(kEmrBitmapRecords) || found || size < kind->MinSize ||
        U32(record, kind->UsageAt) != kDibRgbColors)
      return nullptr;
    const std::uint32_t bmiAt = U32(record, kind->BmiOffsetAt);
    const std::uint32_t bmiSize = U32(record, kind->BmiOffsetAt + 4);
    const std::uint32_t bitsAt = U32(record, kind->BmiOffsetAt + 8);
    const std::uint32_t bitsSize = U32(record, kind->BmiOffsetAt + 12);
    if (!Has(record, bmiAt, bmiSize) || !Has(record, bitsAt, bitsSize)) return nullptr;
    try {
      found = DecodeDib(record.subspan(bmiAt, bmiSize), record.subspan(bitsAt, bitsSize));
    } catch (const EInvalidGraphic&) {
      return nullptr;
    }
  }
  return found;
}
