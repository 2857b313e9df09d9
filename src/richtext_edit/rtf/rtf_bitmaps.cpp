#include "richtext_edit/rtf/rtf_bitmaps.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/text/streams.h"
#include "richtext/model/picture_budget.h"

namespace {

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

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// The bitmap Read fills, or null when the data cannot be read.
template <class Reader>
std::unique_ptr<TBitmap> TryRead(const Reader& read) {
  auto bitmap = std::make_unique<TBitmap>();
  try {
    read(*bitmap);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
  return bitmap;
}

// The bitmap of a DIB (Bits empty: packed), read from the BMP file it makes: the bitmap
// keeps that file, and writes it as it came, where its pixels take more room (a few bytes
// of runs may claim millions of pixels).
void LoadDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits,
             TBitmap& bitmap) {
  const std::vector<std::uint8_t> file = DibAsBmpFile(info, bits);
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), std::int64_t(file.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

}  // namespace

// A device-dependent bitmap holds the pixels of a top-down DIB of its depth (at one bit
// black and white), only its rows are WidthBytes apart: they move to the DIB's 4-byte
// rows and the BMP codec reads them.
std::vector<std::uint8_t> DdbAsDib(const TRDDdbFormat& format, std::span<const std::uint8_t> data) {
  const std::int64_t width = format.Width, height = format.Height, bpp = format.BitsPixel;
  if (width <= 0 || height <= 0) Fail("Invalid bitmap size");
  if (format.Planes != 1 || (bpp != 1 && bpp != 16 && bpp != 24 && bpp != 32))
    Fail("Unsupported bitmap format");
  const std::int64_t rowBytes = (width * bpp + 7) / 8;
  const std::int64_t widthBytes =
      format.WidthBytes > 0 ? format.WidthBytes : (width * bpp + 15) / 16 * 2;
  if (widthBytes < rowBytes) Fail("Invalid bitmap size");
  if (!Has(data, 0, std::uint64_t(widthBytes * height))) Fail("Bitmap data too short");
  std::vector<std::uint8_t> info;
  for (std::int64_t field : {std::int64_t(40), width, -height}) Put(info, std::uint32_t(field), 4);
  Put(info, 1, 2);  // planes
  Put(info, std::uint32_t(bpp), 2);
  for (int i = 0; i < 6; ++i) Put(info, 0, 4);  // uncompressed, sizes, colours
  if (bpp == 1) {
    Put(info, 0x000000, 4);
    Put(info, 0xFFFFFF, 4);
  }
  const std::size_t stride = std::size_t(width * bpp + 31) / 32 * 4;
  const std::size_t rowsAt = info.size();
  info.resize(rowsAt + stride * std::size_t(height));
  for (std::int64_t y = 0; y < height; ++y)
    std::copy_n(data.begin() + y * widthBytes, rowBytes,
                info.begin() + std::int64_t(rowsAt + stride * std::size_t(y)));
  return info;
}

std::unique_ptr<TBitmap> DecodeDdb(const TRDDdbFormat& format, std::span<const std::uint8_t> data) {
  auto bitmap = std::make_unique<TBitmap>();
  LoadDib(DdbAsDib(format, data), {}, *bitmap);
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

// The one bitmap a metafile draws: its header and colour table, and its rows (none: they
// follow the table).
struct TDibParts {
  std::span<const std::uint8_t> Info, Bits;
};

// The bitmap, when its rows can set its pixels, they fit the budget (taken before it is
// decoded) and it can be read.
std::unique_ptr<TBitmap> ReadFound(const TDibParts& dib, TRDPictureBudget& budget) {
  return TryRead([&](TBitmap& bitmap) {
    if (!DibRunsCarryItsSize(dib.Info, dib.Info.size() + dib.Bits.size()) ||
        !budget.Take(DibSize(dib.Info).Pixels()))
      throw EInvalidGraphic("Bitmap left out");
    LoadDib(dib.Info, dib.Bits, bitmap);
  });
}

template <class T, std::size_t N>
bool Contains(const T (&values)[N], T value) {
  return std::find(std::begin(values), std::end(values), value) != std::end(values);
}

}  // namespace

std::unique_ptr<TBitmap> ExtractWindowsMetafileBitmap(std::span<const std::uint8_t> data,
                                                      TRDPictureBudget& budget) {
  std::size_t offset = WindowsMetafileRecordsStart(data);
  if (offset == 0) return nullptr;
  std::optional<TDibParts> found;
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
    found = TDibParts{record.subspan(kind->DibAt), {}};
  }
  return found ? ReadFound(*found, budget) : nullptr;
}

std::unique_ptr<TBitmap> ExtractEnhancedMetafileBitmap(std::span<const std::uint8_t> data,
                                                       TRDPictureBudget& budget) {
  std::size_t offset = 0;
  if (!IsEnhancedMetafile(data)) return nullptr;
  std::optional<TDibParts> found;
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
    found = TDibParts{record.subspan(bmiAt, bmiSize), record.subspan(bitsAt, bitsSize)};
  }
  return found ? ReadFound(*found, budget) : nullptr;
}
