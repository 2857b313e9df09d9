// The menu painting primitives: exact per-line gradients, slices of one gradient,
// mirrored gradients with frames and lines fading at their ends.
#include "lists/menu_draw.h"

#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"

namespace {

constexpr TColor kBack = 0x123456;

struct MenuDrawTest : ::testing::Test {
  MenuDrawTest() {
    bitmap.SetSize(40, 20);
    canvas().Brush().SetColor(kBack);
    canvas().FillRect(Rect(0, 0, 40, 20));
  }
  TCanvas& canvas() { return bitmap.Canvas(); }
  TColor At(int x, int y) { return canvas().Pixels(x, y); }
  TBitmap bitmap;
};

TEST_F(MenuDrawTest, AVerticalGradientStepsEachRowByTheWholeSpanOverTheRows) {
  MenuGradientFill(canvas(), Rect(0, 0, 3, 4), gdVertical, RGB(255, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(1, 1), RGB(63, 0, 0));
  EXPECT_EQ(At(1, 2), RGB(127, 0, 0));
  EXPECT_EQ(At(1, 3), RGB(191, 0, 0));
  EXPECT_EQ(At(1, 4), kBack);
  EXPECT_EQ(At(3, 0), kBack);
}

TEST_F(MenuDrawTest, AHorizontalGradientStepsColumnsAndClNoneOrEqualEndsGiveOneColour) {
  MenuGradientFill(canvas(), Rect(0, 0, 4, 2), gdHorizontal, RGB(0, 0, 200), RGB(0, 0, 0));
  EXPECT_EQ(At(0, 1), RGB(0, 0, 0));
  EXPECT_EQ(At(2, 1), RGB(0, 0, 100));
  EXPECT_EQ(At(3, 0), RGB(0, 0, 150));
  MenuGradientFill(canvas(), Rect(10, 0, 14, 4), gdVertical, clNone, RGB(9, 8, 7));
  EXPECT_EQ(At(10, 0), RGB(9, 8, 7));
  EXPECT_EQ(At(13, 3), RGB(9, 8, 7));
  // Nothing for an empty rectangle, whatever its colours.
  MenuGradientFill(canvas(), Rect(20, 0, 20, 4), gdHorizontal, clRed, clBlue);
  MenuGradientFill(canvas(), Rect(20, 4, 24, 4), gdVertical, clRed, clBlue);
  EXPECT_EQ(At(20, 0), kBack);
  EXPECT_EQ(At(21, 4), kBack);
}

TEST_F(MenuDrawTest, SlicesOfOneGradientContinueEachOther) {
  const TRect extent = Rect(0, 0, 2, 8);
  SlicedGradient(canvas(), extent, gdVertical, RGB(0, 160, 0), RGB(0, 0, 0), Rect(0, 0, 2, 3));
  SlicedGradient(canvas(), extent, gdVertical, RGB(0, 160, 0), RGB(0, 0, 0), Rect(0, 3, 2, 8));
  TBitmap whole;
  whole.SetSize(2, 8);
  MenuGradientFill(whole.Canvas(), extent, gdVertical, RGB(0, 160, 0), RGB(0, 0, 0));
  for (int y = 0; y < 8; ++y) {
    // A slice ends on the colour the whole gradient has at its far edge, so it steps
    // by rounding at most one unit off the whole.
    EXPECT_NEAR(GetGValue(At(1, y)), GetGValue(whole.Canvas().Pixels(1, y)), 1) << y;
  }
  EXPECT_EQ(At(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(1, 3), RGB(0, 60, 0));
  // Only the part inside the extent is painted.
  SlicedGradient(canvas(), Rect(30, 0, 32, 4), gdVertical, clRed, clBlue, Rect(30, 6, 32, 9));
  EXPECT_EQ(At(30, 6), kBack);
}

TEST_F(MenuDrawTest, AMirroredGradientSplitsAtHalfHeightAndIsFramed) {
  MirroredGradient(canvas(), Rect(0, 0, 10, 10), true, clBlack, gdVertical, RGB(0, 0, 90),
                   RGB(0, 0, 10), RGB(90, 0, 0), RGB(10, 0, 0));
  EXPECT_EQ(At(0, 0), clBlack);
  EXPECT_EQ(At(9, 9), clBlack);
  EXPECT_EQ(GetRValue(At(5, 1)), 26);  // 10 + 80 * 1 / 5
  EXPECT_EQ(At(5, 5), RGB(0, 0, 10));
  // Without a mirror colour one gradient covers it all; clNone fills nothing.
  MirroredGradient(canvas(), Rect(20, 0, 30, 10), true, clNone, gdVertical, clNone, clNone,
                   RGB(100, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(25, 5), RGB(50, 0, 0));
  MirroredGradient(canvas(), Rect(32, 0, 38, 6), true, clNone, gdVertical, clRed, clRed, clRed,
                   clNone);
  EXPECT_EQ(At(34, 3), kBack);
}

TEST_F(MenuDrawTest, AFadedLineWithoutFadeIsSolidAndALongFadeIsAllFade) {
  // gtLeft without fade: the end colour; gtBoth: the start colour; margins stay clear.
  FadedLine(canvas(), Rect(0, 0, 20, 1), 2, 0, gtLeft, gdHorizontal, clRed, clBlue);
  EXPECT_EQ(At(1, 0), kBack);
  EXPECT_EQ(At(2, 0), clRed);
  EXPECT_EQ(At(17, 0), clRed);
  EXPECT_EQ(At(18, 0), kBack);
  FadedLine(canvas(), Rect(0, 1, 20, 2), 0, 0, gtBoth, gdHorizontal, clRed, clBlue);
  EXPECT_EQ(At(10, 1), clBlue);
  // A fade longer than the line: start colour at the left end to the end colour.
  FadedLine(canvas(), Rect(0, 2, 10, 3), 0, 50, gtLeft, gdHorizontal, RGB(100, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(0, 2), RGB(0, 0, 0));
  EXPECT_EQ(At(5, 2), RGB(50, 0, 0));
  // gtBoth fades both ends towards the end colour, solid start colour between.
  FadedLine(canvas(), Rect(0, 3, 20, 4), 0, 8, gtBoth, gdHorizontal, RGB(0, 0, 0), RGB(200, 0, 0));
  EXPECT_EQ(At(0, 3), RGB(0, 0, 0));
  EXPECT_EQ(At(10, 3), RGB(200, 0, 0));
  EXPECT_EQ(At(19, 3), RGB(50, 0, 0));
}

TEST_F(MenuDrawTest, AVerticalFadedLineDoublesTheFadeOfBothEnds) {
  FadedLine(canvas(), Rect(5, 0, 6, 20), 0, 4, gtBoth, gdVertical, RGB(0, 0, 0), RGB(0, 200, 0));
  EXPECT_EQ(At(5, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(5, 3), RGB(0, 150, 0));  // 4 pixels of fade at each end
  EXPECT_EQ(At(5, 4), RGB(0, 200, 0));
  EXPECT_EQ(At(5, 15), RGB(0, 200, 0));
  EXPECT_EQ(At(5, 16), RGB(0, 200, 0));  // the lower fade runs from the start colour
  EXPECT_EQ(At(5, 19), RGB(0, 50, 0));
}

TEST(MenuRectTest, CenteringRoundsTowardsTheTopLeftForOddDifferences) {
  TRect r = Rect(0, 0, 24, 21);
  CenterRect(r, 16, 16);
  EXPECT_EQ(r, Rect(4, 2, 20, 18));
  r = Rect(-5, -5, 5, 5);
  CenterRect(r, 4, 4);
  EXPECT_EQ(r, Rect(-2, -2, 2, 2));
}

}  // namespace
