#include "platform/gui/graphics/bmp_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/streams.h"

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMaxHeaderSize = 1024;
constexpr uint32_t kRgb = 0;        // uncompressed
constexpr uint32_t kRle8 = 1;       // run-length coded, 8 bits per pixel
constexpr uint32_t kRle4 = 2;       // run-length coded, 4 bits per pixel
constexpr uint32_t kBitFields = 3;  // uncompressed with colour masks
constexpr uint32_t kAlphaBitFields = 6;

// The bytes of a picture: a block given whole, or a stream read as parsing goes on.
class Input {
 public:
  explicit Input(std::span<const uint8_t> bytes) : view_(bytes) {}
  explicit Input(TStream& stream) : stream_(&stream) {}

  void Need(size_t total) {
    if (total <= view_.size()) return;
    if (!stream_ || total - view_.size() > Remaining())
      throw EInvalidGraphic("BMP picture is truncated");
    ReadTo(total);
  }
  // Count bytes from At, or as many of them as there are.
  std::span<const uint8_t> UpTo(size_t at, size_t count) {
    const size_t want = count > SIZE_MAX - at ? SIZE_MAX : at + count;
    if (want > view_.size() && stream_) ReadTo(std::min(want, view_.size() + Remaining()));
    if (at >= view_.size()) return {};
    return view_.subspan(at, std::min(count, view_.size() - at));
  }
  std::span<const uint8_t> Bytes(size_t at, size_t count) {
    Need(at + count);
    return view_.subspan(at, count);
  }
  uint32_t U16(size_t at) {
    Need(at + 2);
    return view_[at] | view_[at + 1] << 8;
  }
  uint32_t U32(size_t at) { return U16(at) | U16(at + 2) << 16; }
  int32_t I32(size_t at) { return int32_t(U32(at)); }

 private:
  // Headers may claim any offset; never reserve more than the stream still holds.
  size_t Remaining() const {
    return size_t(std::max<int64_t>(stream_->Size() - stream_->Position(), 0));
  }
  void ReadTo(size_t total) {
    const size_t have = read_.size();
    read_.resize(total);
    if (stream_->Read(read_.data() + have, int64_t(total - have)) != int64_t(total - have))
      throw EInvalidGraphic("BMP picture is truncated");
    view_ = read_;
  }

  TStream* stream_ = nullptr;
  std::vector<uint8_t> read_;
  std::span<const uint8_t> view_;
};

// One channel of a bit-field pixel, scaled to 0..255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  return uint8_t((uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
}

size_t Stride(int width, int bits) {
  return (size_t(width) * bits + 31) / 32 * 4;
}

struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t imageSize = 0;           // bytes of the rows; 0 when the header leaves it open
  std::array<uint32_t, 3> masks{};  // red, green, blue
  // Blue, green, red; the entries the file's table does not fill stay black.
  std::array<std::array<uint8_t, 3>, 256> palette{};
  size_t tableAt = 0;  // where the colour table starts
  size_t rowsAt = 0;   // where it ends: the rows of a packed bitmap
};

bool RunLength(const Layout& layout) {
  return layout.compression == kRle8 || layout.compression == kRle4;
}

// The headers from At on: the info header, its masks and the colour table.
Layout ReadInfo(Input& in, size_t at) {
  const uint32_t headerSize = in.U32(at);
  Layout layout;
  uint32_t colours = 0;
  size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    layout.width = int(in.U16(at + 4));
    layout.height = int(in.U16(at + 6));
    layout.bits = int(in.U16(at + 10));
    entrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= kMaxHeaderSize) {
    in.Need(at + headerSize);
    layout.width = in.I32(at + 4);
    const int32_t height = in.I32(at + 8);
    layout.topDown = height < 0;
    layout.height = height == INT32_MIN ? 0 : std::abs(height);
    layout.bits = int(in.U16(at + 14));
    layout.compression = in.U32(at + 16);
    layout.imageSize = in.U32(at + 20);
    colours = in.U32(at + 32);
  } else {
    throw EInvalidGraphic("Unknown BMP header");
  }
  layout.tableAt = at + headerSize;
  const uint32_t compression = layout.compression;
  if (compression == kBitFields || compression == kAlphaBitFields) {
    if (layout.bits != 16 && layout.bits != 32)
      throw EInvalidGraphic("BMP bit fields need 16 or 32 bits per pixel");
    // In a plain 40-byte header the masks follow it; longer headers hold them.
    const size_t masksAt = at + kInfoHeaderSize;
    layout.masks = {in.U32(masksAt), in.U32(masksAt + 4), in.U32(masksAt + 8)};
    if (headerSize == kInfoHeaderSize) layout.tableAt += compression == kBitFields ? 12 : 16;
  } else if ((compression == kRle8 && layout.bits == 8) ||
             (compression == kRle4 && layout.bits == 4)) {
    // The escapes move up the picture, so its rows can only be stored bottom row first.
    if (layout.topDown) throw EInvalidGraphic("Run-length coded BMP pictures can't be top-down");
  } else if (compression != kRgb) {
    throw EInvalidGraphic("Unsupported BMP compression");
  } else if (layout.bits == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (layout.bits == 32) {
    layout.masks = {0xFF0000, 0xFF00, 0xFF};
  }
  if (layout.bits != 1 && layout.bits != 4 && layout.bits != 8 && layout.bits != 16 &&
      layout.bits != 24 && layout.bits != 32)
    throw EInvalidGraphic("Unsupported BMP colour depth");
  if (layout.width <= 0 || layout.height <= 0) throw EInvalidGraphic("BMP picture has no pixels");
  if (int64_t(layout.width) * layout.height > kMaxGraphicPixels)
    throw EGraphicTooLarge(Format(LocalText(kPictureTooLargeText), layout.width, layout.height));
  // Colours beyond 8 bits a pixel only hint at a palette for display; the rows follow them.
  size_t count = layout.bits <= 8 ? 0 : std::min(colours, 256u);
  if (layout.bits <= 8) {
    const uint32_t maxColours = 1u << layout.bits;
    count = colours == 0 || colours > maxColours ? maxColours : colours;
    const auto table = in.Bytes(layout.tableAt, count * entrySize);
    for (size_t i = 0; i < count; ++i)
      std::copy_n(table.data() + i * entrySize, 3, layout.palette[i].begin());
  }
  layout.rowsAt = layout.tableAt + count * entrySize;
  return layout;
}

// Uncompressed rows, Stride(width, bits) bytes each.
void ReadRows(const Layout& layout, std::span<const uint8_t> rows, TBitmap& bitmap) {
  const size_t stride = Stride(layout.width, layout.bits);
  if (rows.size() / stride < size_t(layout.height))
    throw EInvalidGraphic("BMP picture is truncated");
  const bool wide = layout.bits == 32;
  bitmap.SetPixelFormat(wide ? pf32bit : pf24bit);
  bitmap.SetSize(layout.width, layout.height);
  const int step = wide ? 4 : 3;
  for (int row = 0; row < layout.height; ++row) {
    const uint8_t* src =
        rows.data() + stride * size_t(layout.topDown ? row : layout.height - 1 - row);
    uint8_t* dst = bitmap.ScanLine(row);
    for (int x = 0; x < layout.width; ++x, dst += step) {
      uint32_t pixel = 0;
      switch (layout.bits) {
        case 1:
        case 4:
        case 8: {
          const int perByte = 8 / layout.bits;
          const int shift = 8 - layout.bits * (x % perByte + 1);
          const auto& colour =
              layout.palette[(src[x / perByte] >> shift) & ((1u << layout.bits) - 1)];
          std::copy(colour.begin(), colour.end(), dst);
          continue;
        }
        case 16:
          pixel = src[2 * x] | src[2 * x + 1] << 8;
          break;
        case 24:
          std::copy(src + 3 * x, src + 3 * x + 3, dst);
          continue;
        case 32:
          pixel = src[4 * x] | src[4 * x + 1] << 8 | src[4 * x + 2] << 16 |
                  uint32_t(src[4 * x + 3]) << 24;
          break;
      }
      dst[0] = Channel(pixel, layout.masks[2]);
      dst[1] = Channel(pixel, layout.masks[1]);
      dst[2] = Channel(pixel, layout.masks[0]);
      if (wide) dst[3] = 0xFF;
    }
  }
}

// Where run-length coded rows put their indices: put(x, y, count, index) for count indices
// from x on row y (counted from the bottom, as they are stored), index(i) the i-th; the
// runs are followed to the end of the bitmap, of the rows or of the data. The work is
// bounded by the runs, whatever they claim. How they end, and whether they skipped pixels.
struct TRunsEnd {
  int64_t x = 0, y = 0;
  bool skipped = false;  // a delta, or a line ended before the row's end
};

template <class Put>
TRunsEnd WalkRuns(const Layout& layout, std::span<const uint8_t> runs, const Put& put) {
  constexpr uint8_t kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2;
  const bool nibbles = layout.compression == kRle4;
  TRunsEnd end;
  int64_t& x = end.x;
  int64_t& y = end.y;
  size_t at = 0;
  while (y < layout.height && runs.size() - at >= 2) {
    const uint8_t count = runs[at], value = runs[at + 1];
    at += 2;
    if (count > 0) {
      put(x, y, count, [&](int i) { return !nibbles ? value : i % 2 ? value & 0xF : value >> 4; });
      x += count;
    } else if (value == kEndOfLine) {
      end.skipped = end.skipped || x < layout.width;
      x = 0;
      ++y;
    } else if (value == kEndOfBitmap) {
      break;
    } else if (value == kDelta) {
      if (runs.size() - at < 2) break;
      end.skipped = end.skipped || runs[at] != 0 || runs[at + 1] != 0;
      x += runs[at];
      y += runs[at + 1];
      at += 2;
    } else {
      // `value` indices given one by one, as many as the data holds, then padding to a
      // 16-bit boundary.
      const size_t bytes = nibbles ? (value + 1u) / 2 : value;
      const auto given = runs.subspan(at, std::min(bytes, runs.size() - at));
      const int shown = int(std::min<size_t>(value, nibbles ? 2 * given.size() : given.size()));
      put(x, y, shown, [&](int i) {
        return !nibbles ? given[i] : i % 2 ? given[i / 2] & 0xF : given[i / 2] >> 4;
      });
      x += shown;
      at = std::min(runs.size(), at + bytes + bytes % 2);
    }
  }
  return end;
}

// Run-length coded rows drawn into the bitmap, each index as its colour (a 4-bit index
// takes a byte too), at 32 bits a pixel, which a painter draws without converting them.
// Pixels no run sets have the first colour: every row is filled with it first, which is
// most of the work when a few runs claim a large picture.
void DrawRuns(const Layout& layout, std::span<const uint8_t> runs, TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(layout.width, layout.height);
  const auto setPixel = [&](uint8_t* at, uint8_t index) {
    std::copy(layout.palette[index].begin(), layout.palette[index].end(), at);
    at[3] = 0xFF;
  };
  const size_t rowBytes = size_t(layout.width) * 4;
  uint8_t* first = bitmap.ScanLine(0);
  for (int x = 0; x < layout.width; ++x) setPixel(first + 4 * size_t(x), 0);
  for (int row = 1; row < layout.height; ++row) std::copy_n(first, rowBytes, bitmap.ScanLine(row));
  // Indices past the row's end are cut off.
  WalkRuns(layout, runs, [&](int64_t x, int64_t y, int count, const auto& index) {
    uint8_t* row = bitmap.ScanLine(int(layout.height - 1 - y));
    for (int i = 0; i < count && x + i < layout.width; ++i)
      setPixel(row + 4 * size_t(x + i), uint8_t(index(i)));
  });
}

// The most pixels one byte of runs sets: a run of 255 takes two.
constexpr int64_t kMostPixelsPerRunByte = 128;

// The runs the header holds to: as many bytes as it gives, or all there are.
std::span<const uint8_t> HeldRuns(const Layout& layout, std::span<const uint8_t> runs) {
  if (layout.imageSize == 0) return runs;
  return runs.first(std::min<size_t>(runs.size(), layout.imageSize));
}

// Whether Bytes of runs can set the pixels the header claims (see DibRunsCarryItsSize):
// escapes skip any number of pixels, and a few bytes may claim a vast picture.
bool RunsCarry(const Layout& layout, size_t bytes) {
  const int64_t pixels = int64_t(layout.width) * layout.height;
  return !RunLength(layout) || pixels <= kMostUnbackedRunPixels ||
         pixels / kMostPixelsPerRunByte <= int64_t(bytes);
}

void ReadRuns(const Layout& layout, std::span<const uint8_t> given, TBitmap& bitmap) {
  const std::span<const uint8_t> runs = HeldRuns(layout, given);
  if (!RunsCarry(layout, runs.size()))
    throw EGraphicTooLarge(Format(LocalText(kPictureTooLargeText), layout.width, layout.height));
  DrawRuns(layout, runs, bitmap);
}

// Bytes of the rows: uncompressed ones fill whole rows; run-length coded ones take what
// the header says, or all there are.
size_t RowsSize(const Layout& layout) {
  if (!RunLength(layout)) return Stride(layout.width, layout.bits) * size_t(layout.height);
  return layout.imageSize != 0 ? layout.imageSize : SIZE_MAX;
}

// The rows of a BMP file, where its header puts them: after a gap, or from inside the
// colour table (a packed bitmap, giving no offset, has them right after the table).
std::span<const uint8_t> FileRows(Input& in, const Layout& layout) {
  size_t pixelOffset = in.U32(10);
  if (pixelOffset == 0) pixelOffset = layout.rowsAt;
  if (pixelOffset < layout.tableAt) throw EInvalidGraphic("BMP pixels overlap its headers");
  in.Need(pixelOffset);
  const size_t size = RowsSize(layout);
  return RunLength(layout) ? in.UpTo(pixelOffset, size) : in.Bytes(pixelOffset, size);
}

void ReadPixels(const Layout& layout, std::span<const uint8_t> rows, TBitmap& bitmap) {
  if (RunLength(layout))
    ReadRuns(layout, rows, bitmap);
  else
    ReadRows(layout, rows, bitmap);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

void ReadBmp(TStream& Stream, TBitmap& Bitmap) {
  Input in(Stream);
  if (in.U16(0) != kSignature) throw EInvalidGraphic("Not a BMP picture");
  const Layout layout = ReadInfo(in, kFileHeaderSize);
  ReadPixels(layout, FileRows(in, layout), Bitmap);
}

void ReadDib(std::span<const uint8_t> Info, std::span<const uint8_t> Bits, TBitmap& Bitmap) {
  Input in(Info);
  ReadPixels(ReadInfo(in, 0), Bits, Bitmap);
}

void ReadPackedDib(std::span<const uint8_t> Packed, TBitmap& Bitmap) {
  Input in(Packed);
  const Layout layout = ReadInfo(in, 0);
  ReadPixels(layout, in.UpTo(layout.rowsAt, SIZE_MAX), Bitmap);
}

std::vector<uint8_t> ReadDibAlpha(std::span<const uint8_t> Info, std::span<const uint8_t> Bits) {
  Input in(Info);
  const Layout layout = ReadInfo(in, 0);
  if (layout.bits != 32 || layout.compression != kRgb) return {};
  const size_t stride = Stride(layout.width, layout.bits);
  if (Bits.size() / stride < size_t(layout.height))
    throw EInvalidGraphic("BMP picture is truncated");
  std::vector<uint8_t> alpha(size_t(layout.width) * size_t(layout.height));
  for (int row = 0; row < layout.height; ++row) {
    const uint8_t* src =
        Bits.data() + stride * size_t(layout.topDown ? row : layout.height - 1 - row);
    uint8_t* dst = alpha.data() + size_t(layout.width) * size_t(row);
    for (int x = 0; x < layout.width; ++x) dst[x] = src[4 * x + 3];
  }
  return alpha;
}

TDibSize DibSize(std::span<const uint8_t> Info) {
  Input in(Info);
  const Layout layout = ReadInfo(in, 0);
  return {layout.width, layout.height};
}

bool DibRunsCarryItsSize(std::span<const uint8_t> Info, size_t Bytes) {
  Input in(Info);
  return RunsCarry(ReadInfo(in, 0), Bytes);
}

bool DibSetsEveryPixel(std::span<const uint8_t> Packed) {
  Input in(Packed);
  const Layout layout = ReadInfo(in, 0);
  if (!RunLength(layout)) return true;
  const TRunsEnd end = WalkRuns(layout, HeldRuns(layout, in.UpTo(layout.rowsAt, SIZE_MAX)),
                                [](int64_t, int64_t, int, const auto&) {});
  // Done with every row, or ended after the last one's last pixel.
  return !end.skipped &&
         (end.y >= layout.height || (end.y == layout.height - 1 && end.x >= layout.width));
}

size_t DibInfoSize(std::span<const uint8_t> Packed) {
  Input in(Packed);
  return ReadInfo(in, 0).rowsAt;
}

std::vector<uint8_t> DibAsBmpFile(std::span<const uint8_t> Info, std::span<const uint8_t> Bits) {
  // Read first: a header that does not hold its colour table is refused as ReadDib refuses it.
  const size_t tableEnd = DibInfoSize(Info);
  const size_t rowsAt = kFileHeaderSize + (Bits.empty() ? tableEnd : Info.size());
  std::vector<uint8_t> file;
  file.reserve(kFileHeaderSize + Info.size() + Bits.size());
  Put16(file, kSignature);
  Put32(file, uint32_t(kFileHeaderSize + Info.size() + Bits.size()));
  Put32(file, 0);  // reserved
  Put32(file, uint32_t(rowsAt));
  file.insert(file.end(), Info.begin(), Info.end());
  file.insert(file.end(), Bits.begin(), Bits.end());
  return file;
}

std::vector<uint8_t> PackedDibOfBmpFile(std::span<const uint8_t> File) {
  Input in(File);
  if (in.U16(0) != kSignature) throw EInvalidGraphic("Not a BMP picture");
  const Layout layout = ReadInfo(in, kFileHeaderSize);
  const std::span<const uint8_t> rows = FileRows(in, layout);
  in.Need(layout.rowsAt);
  const auto info = File.subspan(kFileHeaderSize, layout.rowsAt - kFileHeaderSize);
  std::vector<uint8_t> dib(info.begin(), info.end());
  // A colour profile (version 5 headers) stands at an offset from the header, in what the
  // packing leaves out: the pixels are then in the standard colour space, as shown.
  constexpr size_t kV5HeaderSize = 124, kColourSpaceAt = 56, kProfileAt = 112;
  constexpr uint32_t kLinkedProfile = 0x4C494E4B, kEmbeddedProfile = 0x4D424544, kSrgb = 0x73524742;
  const auto put32 = [&dib](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  if (in.U32(kFileHeaderSize) >= kV5HeaderSize) {
    const uint32_t space = in.U32(kFileHeaderSize + kColourSpaceAt);
    if (space == kLinkedProfile || space == kEmbeddedProfile) {
      put32(kColourSpaceAt, kSrgb);
      put32(kProfileAt, 0);
      put32(kProfileAt + 4, 0);
    }
  }
  dib.insert(dib.end(), rows.begin(), rows.end());
  return dib;
}

void WriteBmp(const TBitmap& Bitmap, TStream& Stream) {
  const int width = Bitmap.Width();
  const int height = Bitmap.Height();
  const int bits = Bitmap.PixelFormat() == pf32bit ? 32 : 24;
  const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
  const size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  const size_t fileSize = pixelOffset + stride * height;
  std::vector<uint8_t> out;
  out.reserve(fileSize);
  Put16(out, kSignature);
  Put32(out, uint32_t(fileSize));
  Put32(out, 0);  // reserved
  Put32(out, uint32_t(pixelOffset));
  Put32(out, kInfoHeaderSize);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);  // planes
  Put16(out, uint32_t(bits));
  Put32(out, kRgb);
  Put32(out, uint32_t(stride * height));
  Put32(out, 3780);  // 96 pixels per inch, in pixels per metre
  Put32(out, 3780);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // important colours
  for (int row = height - 1; row >= 0; --row) {
    const uint8_t* line = Bitmap.ScanLine(row);
    out.insert(out.end(), line, line + size_t(width) * bits / 8);
    out.resize(out.size() + stride - size_t(width) * bits / 8, 0);
  }
  Stream.WriteBuffer(out.data(), int64_t(out.size()));
}
