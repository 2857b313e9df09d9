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
#include "platform/text/streams.h"

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMaxHeaderSize = 1024;
constexpr uint32_t kRgb = 0;        // uncompressed
constexpr uint32_t kBitFields = 3;  // uncompressed with colour masks
constexpr uint32_t kAlphaBitFields = 6;

// The bytes read so far; Need reads more from the stream as parsing goes on.
class Input {
 public:
  explicit Input(TStream& stream) : stream_(stream) {}
  void Need(size_t total) {
    if (total <= bytes_.size()) return;
    const size_t have = bytes_.size();
    // Headers may claim any offset; never reserve more than the stream still holds.
    if (total - have > uint64_t(std::max<int64_t>(stream_.Size() - stream_.Position(), 0)))
      throw EInvalidGraphic("BMP picture is truncated");
    bytes_.resize(total);
    if (stream_.Read(bytes_.data() + have, int64_t(total - have)) != int64_t(total - have))
      throw EInvalidGraphic("BMP picture is truncated");
  }
  uint32_t U16(size_t at) {
    Need(at + 2);
    return bytes_[at] | bytes_[at + 1] << 8;
  }
  uint32_t U32(size_t at) {
    Need(at + 4);
    return U16(at) | U16(at + 2) << 16;
  }
  int32_t I32(size_t at) { return int32_t(U32(at)); }
  const uint8_t* At(size_t at) const { return bytes_.data() + at; }

 private:
  TStream& stream_;
  std::vector<uint8_t> bytes_;
};

// One channel of a bit-field pixel, scaled to 0..255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  return uint8_t(((pixel & mask) >> shift) * 255u / max);
}

struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  std::array<uint32_t, 3> masks{};              // red, green, blue
  std::vector<std::array<uint8_t, 3>> palette;  // blue, green, red
};

void ReadPixels(Input& in, const Layout& layout, size_t pixelOffset, TBitmap& bitmap) {
  const size_t stride = (size_t(layout.width) * layout.bits + 31) / 32 * 4;
  in.Need(pixelOffset + stride * layout.height);
  const bool wide = layout.bits == 32;
  bitmap.SetPixelFormat(wide ? pf32bit : pf24bit);
  bitmap.SetSize(layout.width, layout.height);
  const int step = wide ? 4 : 3;
  for (int row = 0; row < layout.height; ++row) {
    const uint8_t* src =
        in.At(pixelOffset + stride * size_t(layout.topDown ? row : layout.height - 1 - row));
    uint8_t* dst = bitmap.ScanLine(row);
    for (int x = 0; x < layout.width; ++x, dst += step) {
      uint32_t pixel = 0;
      switch (layout.bits) {
        case 1:
        case 4:
        case 8: {
          const int perByte = 8 / layout.bits;
          const int shift = 8 - layout.bits * (x % perByte + 1);
          const size_t index = (src[x / perByte] >> shift) & ((1u << layout.bits) - 1);
          if (index >= layout.palette.size())
            throw EInvalidGraphic("BMP colour index outside the colour table");
          std::copy(layout.palette[index].begin(), layout.palette[index].end(), dst);
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
  size_t pixelOffset = in.U32(10);
  const uint32_t headerSize = in.U32(kFileHeaderSize);
  Layout layout;
  uint32_t compression = kRgb;
  uint32_t colours = 0;
  size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    layout.width = int(in.U16(18));
    layout.height = int(in.U16(20));
    layout.bits = int(in.U16(24));
    entrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= kMaxHeaderSize) {
    layout.width = in.I32(18);
    const int32_t height = in.I32(22);
    layout.topDown = height < 0;
    layout.height = height == INT32_MIN ? 0 : std::abs(height);
    layout.bits = int(in.U16(28));
    compression = in.U32(30);
    colours = in.U32(46);
  } else {
    throw EInvalidGraphic("Unknown BMP header");
  }
  size_t tableAt = kFileHeaderSize + headerSize;
  if (compression == kBitFields || compression == kAlphaBitFields) {
    if (layout.bits != 16 && layout.bits != 32)
      throw EInvalidGraphic("BMP bit fields need 16 or 32 bits per pixel");
    // In a plain 40-byte header the masks follow it; longer headers hold them.
    const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
    layout.masks = {in.U32(masksAt), in.U32(masksAt + 4), in.U32(masksAt + 8)};
    if (headerSize == kInfoHeaderSize) tableAt += compression == kBitFields ? 12 : 16;
  } else if (compression != kRgb) {
    throw EInvalidGraphic("Compressed BMP pictures are not supported");
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
    throw EGraphicTooLarge("BMP picture is too large: " + std::to_string(layout.width) + " x " +
                           std::to_string(layout.height) + " pixels");
  // Colours beyond 8 bits a pixel only hint at a palette for display; the rows follow them.
  size_t tableSize = layout.bits <= 8 ? 0 : size_t(std::min(colours, 256u)) * entrySize;
  if (layout.bits <= 8) {
    const uint32_t maxColours = 1u << layout.bits;
    colours = colours == 0 || colours > maxColours ? maxColours : colours;
    tableSize = size_t(colours) * entrySize;
    for (uint32_t i = 0; i < colours; ++i) {
      in.Need(tableAt + entrySize * (i + 1));
      const uint8_t* entry = in.At(tableAt + entrySize * i);
      layout.palette.push_back({entry[0], entry[1], entry[2]});
    }
  }
  // A packed bitmap (as other files carry one) gives no offset: its rows follow the table.
  if (pixelOffset == 0) pixelOffset = tableAt + tableSize;
  if (pixelOffset < tableAt) throw EInvalidGraphic("BMP pixels overlap its headers");
  ReadPixels(in, layout, pixelOffset, Bitmap);
}

namespace {

// Info and Bits behind a file header whose pixel offset is Offset (0: after the table).
void ReadHeaded(std::span<const uint8_t> Info, std::span<const uint8_t> Bits, size_t Offset,
                TBitmap& Bitmap) {
  std::vector<uint8_t> file;
  file.reserve(kFileHeaderSize + Info.size() + Bits.size());
  Put16(file, kSignature);
  Put32(file, uint32_t(kFileHeaderSize + Info.size() + Bits.size()));
  Put32(file, 0);
  Put32(file, uint32_t(Offset));
  file.insert(file.end(), Info.begin(), Info.end());
  file.insert(file.end(), Bits.begin(), Bits.end());
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), int64_t(file.size()));
  stream.SetPosition(0);
  ReadBmp(stream, Bitmap);
}

}  // namespace

void ReadDib(std::span<const uint8_t> Info, std::span<const uint8_t> Bits, TBitmap& Bitmap) {
  ReadHeaded(Info, Bits, kFileHeaderSize + Info.size(), Bitmap);
}

void ReadPackedDib(std::span<const uint8_t> Packed, TBitmap& Bitmap) {
  ReadHeaded(Packed, {}, 0, Bitmap);
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
