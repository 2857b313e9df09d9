// The optimiser: merged repeats, cropped transparency, dropped blocks.
#include <gtest/gtest.h>

#include "gif/gif_picture.h"
#include "gif_test_support.h"

namespace {

// Frames of 3 x 2 pixels on a 4-colour global table, each with a graphic control block.
void AddFrame(TGIFPicture& Picture, std::vector<std::uint8_t> Pixels, int Delay,
              bool Transparent = false, int TransparentIndex = 0) {
  if (Picture.Header.ColorMap.Count() == 0)
    for (TColor c : {clBlack, clRed, clBlue, clLime}) Picture.Header.ColorMap.Add(c);
  auto frame = std::make_unique<TGIFSubImage>(&Picture);
  frame->SetBounds(0, 0, 3, 2);
  for (int i = 0; i < 6; ++i) frame->SetPixels(i % 3, i / 3, Pixels[static_cast<std::size_t>(i)]);
  auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
  gce->Delay = static_cast<std::uint16_t>(Delay);
  gce->TransparentColorIndex = static_cast<std::uint8_t>(TransparentIndex);
  TGIFGraphicControlExtension* control = gce.get();
  frame->Extensions.Add(std::move(gce));
  if (Transparent) control->SetTransparent(true);
  Picture.Add(std::move(frame));
}

TEST(GifOptimize, ARepeatedFrameMergesAwayAndLendsItsDelay) {
  TGIFPicture picture;
  AddFrame(picture, {1, 2, 1, 2, 1, 2}, 10, true, 0);
  AddFrame(picture, {1, 2, 1, 2, 1, 2}, 30);
  picture.Optimize(OptMerge | OptCrop, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(picture.Images[0].GraphicControlExtension->Delay, 40);
}

TEST(GifOptimize, MergingKeepsWhatChanged) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  AddFrame(picture, {1, 1, 1, 1, 2, 1}, 10);
  picture.Optimize(OptMerge | OptCrop, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 2);
  TGIFSubImage& second = picture.Images[1];
  ASSERT_TRUE(second.Transparent);
  EXPECT_EQ(second.BoundsRect(), Rect(1, 1, 2, 2));
  EXPECT_EQ(second.Pixels(0, 0), 2);
  // The new transparent colour went into the global table.
  EXPECT_EQ(picture.Header.ColorMap.Count(), 5);
  EXPECT_EQ(second.GraphicControlExtension->TransparentColorIndex, 4);
}

TEST(GifOptimize, MergingNeverHidesAColourTheFrameShows) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  AddFrame(picture, {1, 3, 3, 3, 3, 3}, 10);
  AddFrame(picture, {0, 0, 0, 0, 0, 0}, 10, true, 3);  // shares nothing, but is transparent on 3
  picture.Optimize(OptMerge, ReduceNone, DitherNearest, 8);
  TGIFSubImage& second = picture.Images[1];
  ASSERT_TRUE(second.Transparent);
  // Colour 3 is shown by the frame, so another frame's transparent index 3 is not taken.
  EXPECT_NE(second.GraphicControlExtension->TransparentColorIndex, 3);
  EXPECT_EQ(second.Pixels(1, 0), 3);
}

TEST(GifOptimize, CleanupOfAOneFramePicture) {
  TGIFPicture picture;
  LoadBytes(picture, ReadFileBytes(GifFixturePath("comment_app.gif")));
  picture.Images.Delete(1);
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(picture.Images[0].Extensions.Count(), 0);
  EXPECT_EQ(SaveBytes(picture).substr(0, 6), "GIF87a");
}

TEST(GifOptimize, CleanupKeepsTheLoopOfAnAnimationAndWhatCarriesMeaning) {
  TGIFPicture picture;
  LoadBytes(picture, ReadFileBytes(GifFixturePath("comment_app.gif")));
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 2);
  TGIFSubImage& first = picture.Images[0];
  ASSERT_EQ(first.Extensions.Count(), 2);  // looping and graphic control (delay 20)
  EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(&first.Extensions[0]), nullptr);
  EXPECT_EQ(first.GraphicControlExtension->Delay, 20);
}

TEST(GifOptimize, CleanupDropsTransparencyThatIsNeverUsed) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10, true, 3);
  AddFrame(picture, {2, 2, 2, 2, 2, 2}, 10);
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  EXPECT_FALSE(picture.Images[0].Transparent);
}

TEST(GifOptimize, ColourMapsAreSortedByUse) {
  TGIFPicture picture;
  AddFrame(picture, {2, 2, 2, 1, 1, 2}, 10);
  picture.Optimize(OptColorMaps, ReduceNone, DitherNearest, 8);
  EXPECT_EQ(picture.Header.ColorMap.Count(), 2);
  EXPECT_EQ(picture.Header.ColorMap.Colors(0), clBlue);
  EXPECT_EQ(picture.Images[0].Pixels(0, 0), 0);
  EXPECT_EQ(picture.Images[0].Pixels(0, 1), 1);
}

TEST(GifOptimize, ACustomPaletteCannotReduceWithoutCleanup) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  try {
    picture.Optimize(OptReduceColors, ReduceCustomPalette, DitherNearest, 8);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Invalid reduction method");
  }
}

}  // namespace
