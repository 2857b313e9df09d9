// Frames as pictures: rendering through the colour table, transparency, scaling, and
// frames made from bitmaps.
#include <gtest/gtest.h>

#include "gif/gif_picture.h"
#include "gif_test_support.h"
#include "platform/gui/graphics/bitmap.h"

namespace {

void Fill(TBitmap& Bitmap, int Width, int Height, TColor Color) {
  Bitmap.SetSize(Width, Height);
  Bitmap.Canvas().Brush().SetColor(Color);
  Bitmap.Canvas().FillRect(Bounds(0, 0, Width, Height));
}

TColor Expected(const TGifDump& Dump, int X, int Y) {
  const TDumpColor& c =
      Dump.GlobalMap[Dump.Frames[0].Pixels[static_cast<std::size_t>(Y) * Dump.Width + X]];
  return RGB(c.Red, c.Green, c.Blue);
}

// A 4 x 4 screen with one 2 x 2 frame at (1, 1): colours 1 and 2, and 3 made transparent.
std::string SmallFrame(bool Transparent) {
  return "GIF89a" + Bytes({4,    0,    4,    0,
                           0x81, 0,    0,    0,
                           0,    0,    255,  0,
                           0,    0,    0,    255,
                           255,  255,  255,  // black red blue white
                           0x21, 0xF9, 0x04, Transparent ? 0x01 : 0x00,
                           0,    0,    3,    0,
                           0x2C, 1,    0,    1,
                           0,    2,    0,    2,
                           0,    0x00}) +
         // codes: clear 4, 1, 2, 3 at 3 bits, then 1 and end 5 at 4 bits
         Bytes({0x02, 0x03, 0x8C, 0x16, 0x05, 0x00, 0x3B});
}

TEST(GifRender, AStillPictureDrawsItsColours) {
  TGIFPicture picture;
  LoadBytes(picture, ReadFileBytes(GifFixturePath("table_16.gif")));
  const TGifDump dump = ParseGifDump(ReadFileBytes(GifFixturePath("table_16.dump")));
  TBitmap target;
  Fill(target, picture.Width(), picture.Height(), clWhite);
  picture.Draw(target.Canvas(), Bounds(0, 0, picture.Width(), picture.Height()));
  EXPECT_EQ(picture.Painter(), nullptr);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      ASSERT_EQ(target.Canvas().Pixels(x, y), Expected(dump, x, y)) << x << "," << y;
  TBitmap copy;
  picture.AssignTo(copy);
  EXPECT_EQ(copy.Canvas().Pixels(3, 2), Expected(dump, 3, 2));
}

TEST(GifRender, TransparentPixelsLeaveTheBackground) {
  TGIFPicture picture;
  LoadBytes(picture, SmallFrame(true));
  TBitmap target;
  Fill(target, 4, 4, clLime);
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);  // outside the frame
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixels(2, 1), clBlue);
  EXPECT_EQ(target.Canvas().Pixels(1, 2), clLime);  // transparent colour 3
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clRed);
  EXPECT_TRUE(picture.Images[0].HasMask());

  picture.DrawOptions &= ~dfTransparent;
  Fill(target, 4, 4, clLime);
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  EXPECT_EQ(target.Canvas().Pixels(1, 2), clWhite);
}

TEST(GifRender, ATransparentColourThatDoesNotOccurGivesNoMask) {
  TGIFPicture picture;
  LoadBytes(picture, SmallFrame(true));
  picture.Images[0].SetPixels(0, 1, 0);
  EXPECT_FALSE(picture.Images[0].HasMask());
  TBitmap target;
  Fill(target, 4, 4, clLime);
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  EXPECT_EQ(target.Canvas().Pixels(1, 2), clBlack);
}

TEST(GifRender, DrawingTwiceAsLargeScalesFramePositionAndSize) {
  TGIFPicture picture;
  LoadBytes(picture, SmallFrame(false));
  EXPECT_EQ(picture.Images[0].ScaleRect(Bounds(0, 0, 8, 8)), Rect(2, 2, 6, 6));
  TBitmap target;
  Fill(target, 8, 8, clLime);
  picture.Draw(target.Canvas(), Bounds(0, 0, 8, 8));
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clLime);
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clRed);
  EXPECT_EQ(target.Canvas().Pixels(3, 3), clRed);
  EXPECT_EQ(target.Canvas().Pixels(5, 5), clRed);
  EXPECT_EQ(target.Canvas().Pixels(4, 2), clBlue);
  EXPECT_EQ(target.Canvas().Pixels(6, 6), clLime);
}

// A frame too large to keep rendered (a map of 2100 x 2100 here) is drawn from its pixels
// a strip of rows at a time: every pixel as the whole rendering draws it, the transparent
// ones leaving the background, across the strips' edges too.
TEST(GifRender, FramesTooLargeToKeepRenderedDrawWhatTheirRenderingWould) {
  constexpr int kSide = 2100;
  TGIFPicture picture;
  for (TColor c : {clBlack, clRed, clBlue, clWhite}) picture.Header.ColorMap.Add(c);
  auto frame = std::make_unique<TGIFSubImage>(&picture);
  frame->SetBounds(1, 1, kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      frame->Scanline(y)[x] = static_cast<std::uint8_t>((x / 7 + y / 5) % 4);
  auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
  gce->TransparentColorIndex = 3;
  TGIFGraphicControlExtension* control = gce.get();
  frame->Extensions.Add(std::move(gce));
  control->SetTransparent(true);
  picture.Add(std::move(frame));
  const TColor colours[] = {clBlack, clRed, clBlue, clLime};
  TBitmap target;
  Fill(target, kSide + 1, kSide + 1, clLime);
  picture.Draw(target.Canvas(), Bounds(0, 0, kSide + 1, kSide + 1));
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
  for (int y = 1; y <= kSide; y += y % 64 < 2 || y % 64 == 63 ? 1 : 13)
    for (int x = 1; x <= kSide; x += 3)
      ASSERT_EQ(target.Canvas().Pixels(x, y), colours[((x - 1) / 7 + (y - 1) / 5) % 4])
          << x << "," << y;
}

TEST(GifRender, ThePictureBitmapHasTheScreenSize) {
  TGIFPicture picture;
  LoadBytes(picture, SmallFrame(false));
  TBitmap* bitmap = picture.Bitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 4);
  EXPECT_EQ(bitmap->Canvas().Pixels(2, 1), clBlue);
}

TEST(GifRender, FramesFromBitmaps) {
  TBitmap source;
  Fill(source, 5, 3, clRed);
  source.Canvas().SetPixels(1, 1, clBlue);
  source.Canvas().SetPixels(4, 2, clYellow);
  TGIFPicture picture;
  picture.Assign(source);
  ASSERT_EQ(picture.Images.Count(), 1);
  TGIFSubImage& frame = picture.Images[0];
  EXPECT_EQ(frame.ColorMap.Count(), 3);
  EXPECT_EQ(frame.ColorMap.Colors(frame.Pixels(1, 1)), clBlue);
  EXPECT_EQ(frame.ColorMap.Colors(frame.Pixels(4, 2)), clYellow);
  EXPECT_EQ(frame.ColorMap.Colors(frame.Pixels(0, 0)), clRed);
  TGIFPicture reread;
  LoadBytes(reread, SaveBytes(picture));
  EXPECT_EQ(reread.Images[0].Data(), frame.Data());
}

TEST(GifRender, AnAnimationAddedAsAGraphicGivesItsFirstPicture) {
  TGIFPicture animation;
  LoadBytes(animation, ReadFileBytes(GifFixturePath("anim_local.gif")));
  TGIFPicture picture;
  picture.Add(static_cast<const TGraphic&>(animation));
  ASSERT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(animation.Painter(), nullptr);
  EXPECT_EQ(picture.Width(), animation.Width());
  TGIFSubImage& first = animation.Images[0];
  const TColor expected = first.ActiveColorMap().Colors(first.Pixels(5, 5));
  EXPECT_EQ(picture.Images[0].ColorMap.Colors(picture.Images[0].Pixels(5, 5)), expected);
}

TEST(GifRender, ATransparentBitmapBecomesATransparentFrame) {
  TBitmap source;
  Fill(source, 4, 2, clWhite);
  source.Canvas().SetPixels(0, 0, clFuchsia);
  source.Canvas().SetPixels(3, 1, clFuchsia);
  source.SetTransparent(true);
  source.SetTransparentColor(clFuchsia);
  TGIFPicture picture;
  picture.Assign(source);
  TGIFSubImage& frame = picture.Images[0];
  ASSERT_TRUE(frame.Transparent);
  const int index = frame.GraphicControlExtension->TransparentColorIndex;
  EXPECT_EQ(frame.Pixels(0, 0), index);
  EXPECT_EQ(frame.Pixels(3, 1), index);
  EXPECT_NE(frame.Pixels(1, 0), index);
}

TEST(GifRender, TooManyColoursWithoutReductionOverflowTheTable) {
  TBitmap source;
  source.SetSize(257, 1);
  for (int x = 0; x < 257; ++x) source.Canvas().SetPixels(x, 0, RGB(x % 256, x / 256, 7));
  TGIFPicture picture;
  picture.ColorReduction = ReduceNone;
  try {
    picture.Assign(source);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Color table overflow");
  }
  // With the default web palette the colours are reduced instead.
  TGIFPicture reduced;
  reduced.Assign(source);
  EXPECT_LE(reduced.Images[0].ColorMap.Count(), 216);
}

TEST(GifRender, DitheringRendersWithTheWebPalette) {
  TGIFPicture picture;
  LoadBytes(picture, SmallFrame(false));
  picture.DrawOptions = dfDither;  // dither whatever the display
  const TPaletteHandle palette = picture.Images[0].Palette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->size(), 216u);
  TBitmap* bitmap = picture.Images[0].Bitmap();
  EXPECT_EQ(bitmap->Canvas().Pixels(0, 1), clWhite);
  EXPECT_EQ(bitmap->Canvas().Pixels(1, 0), clBlue);
}

}  // namespace
