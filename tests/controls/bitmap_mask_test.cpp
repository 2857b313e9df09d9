#include "controls/bitmap_mask.h"

#include <gtest/gtest.h>

#include "support/control_snapshot.h"

namespace {

// A strip of equally wide frames, each filled with its colour.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colors, int frameWidth, int height) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(frameWidth * int(colors.size()), height);
  int x = 0;
  for (TColor color : colors) {
    strip->Canvas().Brush().SetColor(color);
    strip->Canvas().FillRect(Rect(x, 0, x + frameWidth, height));
    x += frameWidth;
  }
  return strip;
}

TEST(BitmapMaskTest, TwoFrameStripGivesAHalfWideLampShowingTheRightHalfWhenActive) {
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(*Strip({clRed, clBlue}, 20, 20));
  EXPECT_EQ(lamp.Width(), 20);
  EXPECT_EQ(lamp.Height(), 20);
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 10, 10), clRed);
  lamp.SetActive(true);
  EXPECT_EQ(lamp.ActivePicture(), 1);
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 10, 10), clBlue);
}

TEST(BitmapMaskTest, AnimationWrapsToFirstPictureAndRunOnceStopsThere) {
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(*Strip({clRed, clLime, clBlue, clYellow}, 10, 10));
  lamp.SetPicture(4);
  lamp.SetFirstPicture(1);
  lamp.SetAnimation(true);
  std::vector<int> frames{lamp.ActivePicture()};
  for (int i = 0; i < 5; ++i) {
    lamp.TimerTick();
    frames.push_back(lamp.ActivePicture());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 1, 2, 3}));

  lamp.SetAnimRunOnce(true);
  lamp.TimerTick();
  EXPECT_EQ(lamp.ActivePicture(), 1);
  EXPECT_FALSE(lamp.Animation());
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 5, 5), clLime);
}

TEST(BitmapMaskTest, FramesAreCappedAndSwitchingOffBringsFrameZeroBack) {
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(*Strip({clRed, clLime, clBlue, clYellow}, 10, 10));
  lamp.SetPicture(4);
  lamp.SetActivePicture(9);
  EXPECT_EQ(lamp.ActivePicture(), 3);
  EXPECT_FALSE(lamp.Active());
  lamp.SetActive(false);  // off already, but showing frame 3
  EXPECT_EQ(lamp.ActivePicture(), 0);
  lamp.SetPicture(0);
  EXPECT_EQ(lamp.Picture(), 1);
  EXPECT_EQ(lamp.ActivePicture(), 0);
}

TEST(BitmapMaskTest, MaskModeRecoloursRedGreenAndBlack) {
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(*Strip({clRed, clLime, clBlack}, 10, 10));
  lamp.SetPicture(3);
  lamp.SetMaskMode(true);
  lamp.SetColor(clYellow);
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 5, 5), clNavy);
  lamp.SetActivePicture(1);
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 5, 5), clAqua);
  lamp.SetActivePicture(2);
  EXPECT_EQ(PixelAt(*Snapshot(lamp), 5, 5), clYellow);
}

TEST(BitmapMaskTest, TransparentLampLeavesItsCornerColourUndrawn) {
  auto strip = Strip({clFuchsia, clFuchsia}, 10, 10);
  strip->Canvas().Brush().SetColor(clRed);
  strip->Canvas().FillRect(Rect(3, 3, 7, 7));
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(*strip);
  lamp.SetTransparent(true);
  auto shot = Snapshot(lamp, clTeal);
  EXPECT_EQ(PixelAt(*shot, 0, 9), clTeal);
  EXPECT_EQ(PixelAt(*shot, 5, 5), clRed);
}

TEST(BitmapMaskTest, EmptyStripGivesTheDefaultSize) {
  TBitmapMask lamp(nullptr);
  lamp.SetFontBitmap(TBitmap());
  EXPECT_EQ(lamp.Width(), 200);
  EXPECT_EQ(lamp.Height(), 30);
}

}  // namespace
