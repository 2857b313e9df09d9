// Bitmaps carried by enhanced metafiles, and the less common DIB and DDB layouts,
// built here byte by byte after the EMF and BMP record layouts.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/test_support/le_bytes.h"
#include "richtext/model/picture_budget.h"
#include "richtext_edit/rtf/rtf_bitmaps.h"

namespace {

using Bytes = LittleEndianBytes;

std::uint32_t PixelAt(const TBitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.ScanLine(y) + (bitmap.PixelFormat() == pf32bit ? 4 : 3) * x;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

// BITMAPINFOHEADER of a w x h picture.
Bytes InfoHeader(int w, int h, int bitsPerPixel, std::uint32_t compression = 0) {
  Bytes b;
  b.U32(40)
      .U32(std::uint32_t(w))
      .U32(std::uint32_t(h))
      .U16(1)
      .U16(unsigned(bitsPerPixel))
      .U32(compression);
  b.U32(0).U32(0).U32(0).U32(0).U32(0);
  return b;
}

std::unique_ptr<TBitmap> Dib(const Bytes& info, const Bytes& bits) {
  auto bitmap = std::make_unique<TBitmap>();
  ReadDib(info.Span(), bits.Span(), *bitmap);
  return bitmap;
}

// An enhanced metafile: header, the given records, end of file.
Bytes Emf(const std::vector<Bytes>& records) {
  Bytes emf;
  emf.U32(1).U32(88);                       // EMR_HEADER, size
  for (int i = 0; i < 8; ++i) emf.U32(0);   // bounds and frame
  emf.U32(0x464D4520).U32(0x10000).U32(0);  // signature " EMF", version, file size
  for (int i = 0; i < 9; ++i) emf.U32(0);   // handles ... millimetres
  for (const Bytes& record : records) emf.Raw(record.data);
  emf.U32(14).U32(20).U32(0).U32(0).U32(20);  // EMR_EOF
  return emf;
}

// EMR_STRETCHDIBITS drawing the given DIB (header plus bits).
Bytes StretchDiBits(const Bytes& info, const Bytes& bits, std::uint32_t usage = 0) {
  constexpr std::uint32_t kFixedSize = 80;
  Bytes r;
  r.U32(81).U32(kFixedSize + std::uint32_t(info.data.size() + bits.data.size()));
  for (int i = 0; i < 4; ++i) r.U32(0);  // bounds
  for (int i = 0; i < 6; ++i) r.U32(0);  // destination and source
  r.U32(kFixedSize).U32(std::uint32_t(info.data.size()));
  r.U32(kFixedSize + std::uint32_t(info.data.size())).U32(std::uint32_t(bits.data.size()));
  r.U32(usage).U32(0x00CC0020).U32(2).U32(1);
  r.Raw(info.data).Raw(bits.data);
  return r;
}

TEST(RTFMetafileBitmaps, EnhancedMetafileWithOneStretchedBitmap) {
  TRDPictureBudget budget;
  Bytes bits;
  bits.Raw({0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0});  // red, blue, padding
  const Bytes emf = Emf({StretchDiBits(InfoHeader(2, 1, 24), bits)});
  EXPECT_TRUE(IsEnhancedMetafile(emf.Span()));
  const auto bitmap = ExtractEnhancedMetafileBitmap(emf.Span(), budget);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 2);
  EXPECT_EQ(bitmap->Height(), 1);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0x0000FFu);
}

TEST(RTFMetafileBitmaps, TwoBitmapsPaletteIndicesOrBadOffsetsKeepTheMetafile) {
  TRDPictureBudget budget;
  Bytes bits;
  bits.Raw({0, 0, 0, 0, 0, 0, 0, 0});
  const Bytes one = StretchDiBits(InfoHeader(2, 1, 24), bits);
  EXPECT_EQ(ExtractEnhancedMetafileBitmap(Emf({one, one}).Span(), budget), nullptr);
  EXPECT_EQ(ExtractEnhancedMetafileBitmap(
                Emf({StretchDiBits(InfoHeader(2, 1, 24), bits, 1)}).Span(), budget),
            nullptr);
  Bytes lying = one;
  lying.data[56] = 0xF0;  // bits offset far outside the record
  EXPECT_EQ(ExtractEnhancedMetafileBitmap(Emf({lying}).Span(), budget), nullptr);
  Bytes shortBits;
  shortBits.Raw({0, 0, 0});
  EXPECT_EQ(ExtractEnhancedMetafileBitmap(
                Emf({StretchDiBits(InfoHeader(2, 1, 24), shortBits)}).Span(), budget),
            nullptr);
}

TEST(RTFMetafileBitmaps, BlockTransfersOfABitmapAreTakenToo) {
  TRDPictureBudget budget;
  Bytes bits;
  bits.Raw({0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0});  // red, blue
  Bytes dib = InfoHeader(2, 1, 24);
  dib.Raw(bits.data);
  // Windows metafile: header, DIBStretchBlt (raster operation, 8 coordinates, the DIB), end.
  Bytes stretch;
  stretch.U32(0x00CC0020);
  for (int i = 0; i < 8; ++i) stretch.U16(1);
  stretch.Raw(dib.data);
  Bytes wmf;
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(0).U32(0).U16(0);
  wmf.U32(std::uint32_t(6 + stretch.data.size()) / 2).U16(0x0B41).Raw(stretch.data);
  wmf.U32(3).U16(0);
  const auto fromWmf = ExtractWindowsMetafileBitmap(wmf.Span(), budget);
  ASSERT_NE(fromWmf, nullptr);
  EXPECT_EQ(PixelAt(*fromWmf, 1, 0), 0x0000FFu);
  // Enhanced metafile: BitBlt with the bitmap after the record's 100 fixed bytes.
  const Bytes info = InfoHeader(2, 1, 24);
  Bytes blt;
  blt.U32(76).U32(100 + std::uint32_t(info.data.size() + bits.data.size()));
  for (int i = 0; i < 4 + 4 + 1 + 2 + 6 + 1; ++i) blt.U32(0);  // bounds .. background colour
  blt.U32(0).U32(100).U32(std::uint32_t(info.data.size()));
  blt.U32(100 + std::uint32_t(info.data.size())).U32(std::uint32_t(bits.data.size()));
  blt.Raw(info.data).Raw(bits.data);
  const auto fromEmf = ExtractEnhancedMetafileBitmap(Emf({blt}).Span(), budget);
  ASSERT_NE(fromEmf, nullptr);
  EXPECT_EQ(PixelAt(*fromEmf, 0, 0), 0xFF0000u);
}

TEST(RTFDibLayouts, BitFieldsAndFourBitPalettes) {
  // 16 bits 5-6-5 with explicit masks: one white and one pure green pixel.
  Bytes info565 = InfoHeader(2, 1, 16, 3);
  info565.U32(0xF800).U32(0x07E0).U32(0x001F);
  Bytes bits565;
  bits565.U16(0xFFFF).U16(0x07E0);
  const auto b565 = Dib(info565, bits565);
  EXPECT_EQ(PixelAt(*b565, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(*b565, 1, 0), 0x00FF00u);
  // 32 bits without masks: blue, green, red, unused.
  Bytes bits32;
  bits32.U32(0x00123456);
  EXPECT_EQ(PixelAt(*Dib(InfoHeader(1, 1, 32), bits32), 0, 0), 0x123456u);
  // 4 bits, two palette entries used, bottom-up rows of one byte each (padded to 4).
  Bytes info4 = InfoHeader(2, 2, 4);
  info4.data[32] = 2;  // colours used
  info4.Raw({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0});
  Bytes bits4;
  bits4.Raw({0x01, 0, 0, 0, 0x10, 0, 0, 0});
  const auto b4 = Dib(info4, bits4);
  EXPECT_EQ(PixelAt(*b4, 0, 0), 0xFFFFFFu);  // top row is the file's second
  EXPECT_EQ(PixelAt(*b4, 1, 0), 0x000000u);
  EXPECT_EQ(PixelAt(*b4, 1, 1), 0xFFFFFFu);
  // A colour table shorter than it says.
  Bytes cut = InfoHeader(2, 2, 8);
  EXPECT_THROW(Dib(cut, bits4), EInvalidGraphic);
}

TEST(RTFDibLayouts, RunLengthCodedRows) {
  // 4 x 2, 8 bits: bottom row "one 1, then the absolute run 2 3 1 (padded)", end of
  // line; top row a move of 2 to the right, then one 1; end of bitmap.
  Bytes runs;
  runs.Raw({1, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 1, 1, 0, 1});
  Bytes info = InfoHeader(4, 2, 8, 1);
  info.data[20] = std::uint8_t(runs.data.size());                       // image size
  info.data[32] = 4;                                                    // colours used
  info.Raw({0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0});  // black, red, green, blue
  const auto rle8 = Dib(info, runs);
  EXPECT_EQ(PixelAt(*rle8, 0, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(*rle8, 1, 1), 0x00FF00u);
  EXPECT_EQ(PixelAt(*rle8, 2, 1), 0x0000FFu);
  EXPECT_EQ(PixelAt(*rle8, 3, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(*rle8, 1, 0), 0x000000u);  // left out by the delta
  EXPECT_EQ(PixelAt(*rle8, 2, 0), 0xFF0000u);
  // 4 bits: a run alternates its two nibbles.
  Bytes runs4;
  runs4.Raw({4, 0x12, 0, 1});
  Bytes info4 = InfoHeader(4, 1, 4, 2);
  info4.data[32] = 4;
  info4.Raw({0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0});
  const auto rle4 = Dib(info4, runs4);
  EXPECT_EQ(PixelAt(*rle4, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(*rle4, 1, 0), 0x00FF00u);
  EXPECT_EQ(PixelAt(*rle4, 2, 0), 0xFF0000u);
  // Runs past the edges, deltas past the end and cut data end the picture safely.
  Bytes wild;
  wild.Raw({255, 1, 0, 2, 255, 255, 0, 200, 1});
  Bytes infoWild = InfoHeader(4, 2, 8, 1);
  infoWild.data[32] = 1;
  infoWild.Raw({0, 0, 0, 0});
  EXPECT_NO_THROW(Dib(infoWild, wild));
  infoWild.data[20] = 100;  // says more than there is: what there is is read
  EXPECT_EQ(PixelAt(*Dib(infoWild, wild), 0, 1), 0x000000u);
}

TEST(RTFDdbLayouts, ColourDepthsAndRowWidths) {
  TRDDdbFormat format;
  format.Width = 2;
  format.Height = 1;
  format.BitsPixel = 24;
  Bytes rgb;
  rgb.Raw({0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(PixelAt(*DecodeDdb(format, rgb.Span()), 0, 0),
            0x123456u);  // rows padded to 16 bits: 6 bytes
  format.BitsPixel = 8;
  EXPECT_THROW(DecodeDdb(format, rgb.Span()), EInvalidGraphic);
  format.BitsPixel = 24;
  format.Planes = 3;
  EXPECT_THROW(DecodeDdb(format, rgb.Span()), EInvalidGraphic);
  format.Planes = 1;
  format.WidthBytes = 2;  // narrower than its pixels
  EXPECT_THROW(DecodeDdb(format, rgb.Span()), EInvalidGraphic);
}

}  // namespace
