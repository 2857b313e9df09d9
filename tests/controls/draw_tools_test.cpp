// The drawing helpers of the custom controls.
#include "controls/draw_tools.h"

#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"

TEST(DrawTools, PolarToPointStartsUpAndTurnsClockwise) {
  TPoint p;
  PolarToPoint({100, 100}, 10, 90, p);
  EXPECT_EQ(p, (TPoint{110, 100}));
  PolarToPoint({100, 100}, 10, 0, p);
  EXPECT_EQ(p, (TPoint{100, 90}));
  PolarToPoint({100, 100}, 10, 180, p);
  EXPECT_EQ(p, (TPoint{100, 110}));
  PolarToPoint({100, 100}, 10, 270, p);
  EXPECT_EQ(p, (TPoint{90, 100}));
}

TEST(DrawTools, ShadeColorStopsAtWhiteAndBlack) {
  EXPECT_EQ(ShadeColor(true, RGB(240, 240, 240), 32), RGB(255, 255, 255));
  EXPECT_EQ(ShadeColor(false, RGB(16, 16, 16), 32), RGB(0, 0, 0));
  EXPECT_EQ(ShadeColor(true, RGB(10, 200, 230), 30), RGB(40, 230, 255));
  EXPECT_EQ(ShadeColor(false, RGB(10, 200, 32), 32), RGB(0, 168, 0));
  EXPECT_EQ(ShadeColor(true, clNone, 0), 0xFFFFFF);  // the top byte is dropped
}

TEST(DrawTools, FillSplitPaintsTwoHalves) {
  TBitmap bitmap;
  bitmap.SetSize(10, 8);
  FillSplitVertical(bitmap.Canvas(), Rect(0, 0, 10, 8), clRed, clBlue);
  EXPECT_EQ(bitmap.Canvas().Pixels(4, 7), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixels(5, 0), clBlue);
  FillSplitHorizontal(bitmap.Canvas(), Rect(0, 0, 10, 8), clLime, clYellow);
  EXPECT_EQ(bitmap.Canvas().Pixels(9, 3), clLime);
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 4), clYellow);
}

TEST(DrawTools, FillSplitNeverPaintsOutsideARectAwayFromTheOrigin) {
  TBitmap bitmap;
  bitmap.SetSize(20, 20);
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(Rect(0, 0, 20, 20));
  // Right div 2 = 9 lies left of the rectangle: all of it takes the second colour.
  FillSplitVertical(bitmap.Canvas(), Rect(12, 12, 18, 18), clRed, clBlue);
  FillSplitHorizontal(bitmap.Canvas(), Rect(12, 0, 18, 4), clRed, clBlue);
  EXPECT_EQ(bitmap.Canvas().Pixels(11, 14), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(12, 14), clBlue);
  EXPECT_EQ(bitmap.Canvas().Pixels(14, 11), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(14, 1), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixels(14, 2), clBlue);
  EXPECT_EQ(bitmap.Canvas().Pixels(14, 5), clWhite);
}
