// Colour lookups, ditherers, the octree palette and ReduceColors.
#include <gtest/gtest.h>

#include <set>

#include "gif/gif_color_reduction.h"
#include "gif/gif_dither.h"
#include "platform/gui/graphics/bitmap.h"

namespace {

void Paint(TBitmap& bitmap, int Width, int Height, const std::function<TColor(int, int)>& Color) {
  bitmap.SetSize(Width, Height);
  for (int y = 0; y < Height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      const TColor c = Color(x, y);
      row[4 * x] = static_cast<std::uint8_t>(GetBValue(c));
      row[4 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
      row[4 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
  }
}

std::set<TColor> ColorsOf(const TBitmap& Bitmap) {
  std::set<TColor> colors;
  const TDIBReader reader(Bitmap);
  int r = 0, g = 0, b = 0;
  for (int y = 0; y < reader.Height(); ++y)
    for (int x = 0; x < reader.Width(); ++x) {
      reader.Pixel(x, y, r, g, b);
      colors.insert(RGB(r, g, b));
    }
  return colors;
}

TEST(GifColorLookup, FixedPalettesAreComputed) {
  int r = 0, g = 0, b = 0;
  TNetscapeColorLookup web;
  EXPECT_EQ(web.Lookup(24, 25, 26, r, g, b), 0);
  EXPECT_EQ(web.Lookup(48, 0, 0, r, g, b), 36);
  EXPECT_EQ(r, 51);
  EXPECT_EQ(web.Lookup(255, 255, 255, r, g, b), 215);
  TGrayScaleLookup grey;
  EXPECT_EQ(grey.Lookup(0, 255, 0, r, g, b), 149);
  EXPECT_EQ(g, 149);
  TMonochromeLookup mono;
  EXPECT_EQ(mono.Lookup(127, 127, 127, r, g, b), 0);
  EXPECT_EQ(mono.Lookup(128, 128, 128, r, g, b), 1);
  EXPECT_EQ(r, 255);
  TSlowColorLookup nearest(CreateGray4Palette());
  EXPECT_EQ(nearest.Lookup(170, 170, 170, r, g, b), 2);
  EXPECT_EQ(nearest.Lookup(100, 100, 100, r, g, b), 1);
}

TEST(GifColorLookup, PaletteShapes) {
  const TGIFPalette web = WebPalette();
  ASSERT_EQ(web.size(), 216u);
  EXPECT_EQ(web[36], (TPaletteEntry{51, 0, 0, 0}));
  EXPECT_EQ(web[1], (TPaletteEntry{0, 0, 51, 0}));
  EXPECT_EQ(CreateHalftonePalette().size(), 256u);
  EXPECT_EQ(CreateWindows20Palette().size(), 20u);
  EXPECT_EQ(CreateGrayScalePalette()[77].peGreen, 77);
}

TEST(GifDither, ErrorDiffusionSpreadsTheError) {
  // Mid grey onto black and white: nearest gives one colour, diffusion about half each.
  TBitmap grey;
  Paint(grey, 32, 32, [](int, int) { return RGB(128, 128, 128); });
  const auto nearest = ReduceColors(grey, ReduceMonochrome, DitherNearest, 8, nullptr);
  EXPECT_EQ(ColorsOf(*nearest).size(), 1u);
  for (TDitherMode mode : {DitherFloydSteinberg, DitherStucki, DitherSierra,
                           DitherJarvisJudiceNinke, DitherStevensonArce, DitherBurkes}) {
    SCOPED_TRACE(static_cast<int>(mode));
    const auto dithered = ReduceColors(grey, ReduceMonochrome, mode, 8, nullptr);
    int white = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) white += dithered->ScanLine(y)[4 * x] == 255;
    EXPECT_NEAR(white, 512, 40);
  }
}

TEST(GifDither, OnePixelWideImagesStayInsideTheirRows) {
  TBitmap column;
  Paint(column, 1, 9, [](int, int y) { return RGB(y * 30, 100, 200 - y * 20); });
  for (int mode = DitherNearest; mode <= DitherBurkes; ++mode) {
    const auto reduced =
        ReduceColors(column, ReduceWeb216, static_cast<TDitherMode>(mode), 8, nullptr);
    EXPECT_EQ(reduced->Width(), 1);
    EXPECT_EQ(reduced->Height(), 9);
  }
}

TEST(GifReduceColors, Reductions) {
  TBitmap three;
  Paint(three, 10, 6, [](int x, int y) {
    return (x + y) % 3 == 0   ? RGB(200, 10, 10)
           : (x + y) % 3 == 1 ? RGB(10, 200, 10)
                              : RGB(10, 10, 200);
  });
  const auto optimized = ReduceColors(three, ReduceOptimized, DitherNearest, 4, nullptr);
  EXPECT_EQ(ColorsOf(*optimized), ColorsOf(three));

  TBitmap ramp;
  Paint(ramp, 64, 64, [](int x, int y) { return RGB(x * 4, y * 4, (x + y) * 2); });
  EXPECT_LE(CreateOptimizedPaletteFromBitmap(ramp, 16, 8, false).size(), 16u);
  EXPECT_LE(ColorsOf(*ReduceColors(ramp, ReduceOptimized, DitherFloydSteinberg, 4, nullptr)).size(),
            16u);
  EXPECT_EQ(CreateOptimizedPaletteFromBitmap(ramp, 256, 8, true).size(), 256u);
  for (TColor c : ColorsOf(*ReduceColors(ramp, ReduceWeb216, DitherNearest, 8, nullptr))) {
    EXPECT_EQ(GetRValue(c) % 51, 0);
    EXPECT_EQ(GetBValue(c) % 51, 0);
  }
  EXPECT_LE(ColorsOf(*ReduceColors(ramp, ReduceGray4, DitherNearest, 8, nullptr)).size(), 4u);

  const auto none = ReduceColors(ramp, ReduceNone, DitherNearest, 8, nullptr);
  EXPECT_EQ(none->PixelFormat(), pf24bit);
  EXPECT_EQ(ColorsOf(*none), ColorsOf(ramp));

  const TGIFPalette custom = {{255, 0, 0, 0}, {0, 0, 255, 0}};
  EXPECT_EQ(ColorsOf(*ReduceColors(ramp, ReduceCustomPalette, DitherNearest, 8, &custom)),
            (std::set<TColor>{clRed, clBlue}));
  EXPECT_TRUE(
      ReduceColors(ramp, static_cast<TColorReduction>(42), DitherNearest, 8, nullptr)->Empty());
  EXPECT_TRUE(ReduceColors(ramp, ReduceWeb216, static_cast<TDitherMode>(42), 8, nullptr)->Empty());
}

TEST(GifReduceColors, TheWriterChecksItsSize) {
  TBitmap bitmap;
  const TGIFPalette palette = CreateMonochromePalette();
  EXPECT_THROW(TDIBWriter(bitmap, palette, 0, 3), GIFException);
  TDIBWriter writer(bitmap, palette, 2, 2);
  EXPECT_THROW(writer.ScanLine(2), GIFException);
}

}  // namespace
