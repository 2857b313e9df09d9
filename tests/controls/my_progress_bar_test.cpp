#include "controls/my_progress_bar.h"

#include <gtest/gtest.h>

#include "support/control_snapshot.h"

namespace {

TEST(ProgressBarLengthTest, FractionOfTheInnerExtentRoundedHalfToEven) {
  EXPECT_EQ(ProgressBarLength(104, 1, 0, 100, 50), 51);
  EXPECT_EQ(ProgressPercent(0, 100, 50), 50);
  EXPECT_EQ(ProgressBarLength(104, 1, 0, 100, 100), 102);
  EXPECT_EQ(ProgressBarLength(7, 1, 0, 10, 5), 2);  // 2.5 rounds to 2
  EXPECT_EQ(ProgressBarLength(104, 1, 0, 100, 0), 0);
}

TEST(ProgressBarLengthTest, FractionCountsFromMinAndStaysWithinTheTrough) {
  // Position over the span from Min, not from 0.
  EXPECT_EQ(ProgressBarLength(102, 1, 50, 150, 100), 50);
  EXPECT_EQ(ProgressPercent(50, 150, 100), 50);
  EXPECT_EQ(ProgressBarLength(102, 1, 50, 150, 20), 0);
  EXPECT_EQ(ProgressPercent(50, 150, 20), 0);
  EXPECT_EQ(ProgressBarLength(102, 1, 0, 100, 250), 100);
  // No span: an empty trough instead of a division by zero.
  EXPECT_EQ(ProgressBarLength(102, 1, 10, 10, 10), 0);
  EXPECT_EQ(ProgressBarLength(102, 1, 10, 5, 7), 0);
  EXPECT_EQ(ProgressPercent(10, 10, 10), 0);
}

TEST(MyProgressBarTest, PositionAndMinAboveMaxBecomeMax) {
  TMyProgressBar bar(nullptr);
  bar.SetPosition(120);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetMin(130);
  EXPECT_EQ(bar.Min(), 100);
}

class MyProgressBarPaintTest : public ::testing::Test {
 protected:
  MyProgressBarPaintTest() : bar(nullptr) {
    bar.SetBounds(0, 0, 104, 20);
    bar.SetColorFillBack(clWhite);
    bar.SetColorFillBar(clRed);
    bar.SetColor3DLight(clYellow);
    bar.SetColor3DDark(clNavy);
    bar.Font().SetColor(clBlack);
  }
  int CountColor(TBitmap& shot, TColor color, const TRect& area) {
    int count = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) count += PixelAt(shot, x, y) == color;
    return count;
  }
  TMyProgressBar bar;
};

TEST_F(MyProgressBarPaintTest, HorizontalBarIsRaisedInASunkenTrough) {
  bar.SetShowPercent(false);
  bar.SetPosition(50);
  auto shot = Snapshot(bar);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clNavy);       // trough: dark top-left
  EXPECT_EQ(PixelAt(*shot, 103, 19), clYellow);  // light bottom-right
  EXPECT_EQ(PixelAt(*shot, 1, 1), clYellow);     // bar: light top-left
  EXPECT_EQ(PixelAt(*shot, 51, 18), clNavy);     // dark bottom-right, 51 pixels long
  EXPECT_EQ(PixelAt(*shot, 30, 10), clRed);
  EXPECT_EQ(PixelAt(*shot, 52, 10), clWhite);
}

TEST_F(MyProgressBarPaintTest, VerticalBarGrowsUpward) {
  bar.SetBounds(0, 0, 20, 104);
  bar.SetOrientation(pbVertical);
  bar.SetShowPercent(false);
  bar.SetPosition(25);
  auto shot = Snapshot(bar);
  // 102 x 0.25 = 25.5, rounded to 26: rows 77..102.
  EXPECT_EQ(PixelAt(*shot, 10, 90), clRed);
  EXPECT_EQ(PixelAt(*shot, 10, 77), clYellow);
  EXPECT_EQ(PixelAt(*shot, 10, 76), clWhite);
}

TEST_F(MyProgressBarPaintTest, PercentTextOnlyWhereTheBarHasRoomForIt) {
  bar.SetPosition(50);
  auto shot = Snapshot(bar);
  EXPECT_GT(CountColor(*shot, clBlack, Rect(2, 2, 51, 18)), 5) << "50% drawn in the bar";
  EXPECT_EQ(CountColor(*shot, clBlack, Rect(52, 1, 103, 19)), 0);

  bar.SetPosition(10);  // a 10-pixel bar
  shot = Snapshot(bar);
  EXPECT_EQ(CountColor(*shot, clBlack, Rect(0, 0, 104, 20)), 0);

  bar.SetPosition(0);
  shot = Snapshot(bar);
  EXPECT_EQ(CountColor(*shot, clRed, Rect(0, 0, 104, 20)), 0);
  EXPECT_EQ(CountColor(*shot, clBlack, Rect(0, 0, 104, 20)), 0);
}

TEST_F(MyProgressBarPaintTest, EqualBoundsDrawAnEmptyTrough) {
  bar.SetMax(0);
  bar.SetPosition(0);
  auto shot = Snapshot(bar);
  EXPECT_EQ(CountColor(*shot, clRed, Rect(0, 0, 104, 20)), 0);
}

TEST_F(MyProgressBarPaintTest, GlowPaintSplitsTroughAndBarInTwoTones) {
  bar.SetShowPercent(false);
  bar.SetGlowPaint(true);
  bar.SetColorFillBack2(clGray);
  bar.SetColorFillBar2(clMaroon);
  bar.SetPosition(50);
  auto shot = Snapshot(bar);
  EXPECT_EQ(PixelAt(*shot, 30, 5), clRed);
  EXPECT_EQ(PixelAt(*shot, 30, 15), clMaroon);
  EXPECT_EQ(PixelAt(*shot, 80, 5), clWhite);
  EXPECT_EQ(PixelAt(*shot, 80, 15), clGray);
}

TEST_F(MyProgressBarPaintTest, PicturesAreTiledOverTroughAndBar) {
  bar.SetShowPercent(false);
  bar.SetPosition(50);
  bar.SetBitmapBack(*SolidPicture(8, 8, clTeal));
  bar.SetBitmapBar(*SolidPicture(8, 8, clPurple));
  auto shot = Snapshot(bar);
  EXPECT_EQ(PixelAt(*shot, 80, 10), clTeal);
  EXPECT_EQ(PixelAt(*shot, 30, 10), clPurple);
}

}  // namespace
