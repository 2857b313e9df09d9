// Drawing checked pixel by pixel on bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"

namespace {

// A white bitmap of the given size.
void Blank(TBitmap& bitmap, int width, int height, TColor color = clWhite) {
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

// The pixels of one row as a string: '#' for the colour, '.' for anything else.
std::string Row(TBitmap& bitmap, int y, TColor color) {
  std::string row;
  for (int x = 0; x < bitmap.Width(); ++x) row += bitmap.Canvas().Pixels(x, y) == color ? '#' : '.';
  return row;
}

std::string Column(TBitmap& bitmap, int x, TColor color) {
  std::string column;
  for (int y = 0; y < bitmap.Height(); ++y)
    column += bitmap.Canvas().Pixels(x, y) == color ? '#' : '.';
  return column;
}

int Count(TBitmap& bitmap, TColor color) {
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Canvas().Pixels(x, y) == color;
  return count;
}

}  // namespace

TEST(Canvas, ColoursKeepRedInTheLowByte) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  Blank(bitmap, 3, 1, clRed);
  bitmap.Canvas().SetPixels(1, 0, RGB(0x12, 0x34, 0x56));
  const std::uint8_t* row = bitmap.ScanLine(0);
  // Scan lines hold blue, green, red.
  EXPECT_EQ(row[0], 0x00);
  EXPECT_EQ(row[2], 0xFF);
  EXPECT_EQ(row[3], 0x56);
  EXPECT_EQ(row[4], 0x34);
  EXPECT_EQ(row[5], 0x12);
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixels(1, 0), TColor(0x563412));
}

TEST(Canvas, SystemColoursAreResolved) {
  TBitmap bitmap;
  Blank(bitmap, 1, 1, clBtnFace);
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), ColorToRGB(clBtnFace));
}

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
  TBitmap bitmap;
  Blank(bitmap, 8, 8);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.MoveTo(1, 2);
  canvas.LineTo(6, 2);
  EXPECT_EQ(Row(bitmap, 2, clBlack), ".#####..");
  EXPECT_EQ(canvas.PenPos(), Point(6, 2));
  canvas.LineTo(6, 5);
  EXPECT_EQ(Column(bitmap, 6, clBlack), "..###...");
}

TEST(Canvas, DottedPenSetsEveryOtherPixel) {
  TBitmap bitmap;
  Blank(bitmap, 8, 1);
  bitmap.Canvas().Pen().SetStyle(psDot);
  bitmap.Canvas().Pen().SetColor(clBlack);
  bitmap.Canvas().MoveTo(0, 0);
  bitmap.Canvas().LineTo(8, 0);
  EXPECT_EQ(Row(bitmap, 0, clBlack), "#.#.#.#.");
}

TEST(Canvas, RectangleOutlinesAndFillsInsideItsBounds) {
  TBitmap bitmap;
  Blank(bitmap, 8, 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clRed);
  canvas.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(Row(bitmap, 0, clWhite), "########");
  EXPECT_EQ(Row(bitmap, 1, clBlack), ".#####..");
  EXPECT_EQ(Row(bitmap, 2, clRed), "..###...");
  EXPECT_EQ(Row(bitmap, 4, clBlack), ".#####..");
  EXPECT_EQ(Row(bitmap, 5, clWhite), "########");
}

TEST(Canvas, RectangleWithoutPenFillsOnePixelLess) {
  TBitmap bitmap;
  Blank(bitmap, 6, 4);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetStyle(psClear);
  canvas.Brush().SetColor(clRed);
  canvas.Rectangle(0, 0, 5, 4);
  EXPECT_EQ(Row(bitmap, 0, clRed), "####..");
  EXPECT_EQ(Column(bitmap, 0, clRed), "###.");
}

TEST(Canvas, ClearBrushAndNoColourLeaveTheInsideAlone) {
  TBitmap bitmap;
  Blank(bitmap, 6, 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(0, 0, 6, 6);
  EXPECT_EQ(Count(bitmap, clBlack), 20);
  EXPECT_EQ(Count(bitmap, clWhite), 16);

  canvas.Brush().SetColor(clNone);
  canvas.FillRect(Rect(0, 0, 6, 6));
  canvas.Pen().SetColor(clNone);
  canvas.Brush().SetColor(clRed);
  canvas.Rectangle(1, 1, 5, 5);  // no outline: fills 1..3
  EXPECT_EQ(Count(bitmap, clRed), 9);
  EXPECT_EQ(Count(bitmap, clBlack), 20);
}

TEST(Canvas, SettingABrushColourMakesItSolidAgain) {
  TBrush brush;
  brush.SetStyle(bsClear);
  brush.SetColor(clRed);
  EXPECT_EQ(brush.Style(), bsSolid);
  EXPECT_TRUE(brush.Paints());
}

TEST(Canvas, FillAndFrameUseTheBrushOnly) {
  TBitmap bitmap;
  Blank(bitmap, 5, 5);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clRed);
  canvas.Brush().SetColor(clBlue);
  canvas.FrameRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(Count(bitmap, clBlue), 16);
  EXPECT_EQ(Count(bitmap, clRed), 0);
  canvas.FillRect(Rect(1, 1, 4, 3));
  EXPECT_EQ(Count(bitmap, clBlue), 22);
  canvas.FillRect(Rect(3, 3, 1, 1));  // an inverted rectangle is empty
  EXPECT_EQ(Count(bitmap, clBlue), 22);
}

TEST(Canvas, EllipseFitsItsBox) {
  TBitmap bitmap;
  Blank(bitmap, 8, 8);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clWhite);
  canvas.Ellipse(1, 1, 7, 7);  // a 6-pixel dot, as markers draw them
  EXPECT_EQ(Row(bitmap, 0, clWhite), "########");
  EXPECT_EQ(Column(bitmap, 0, clWhite), "########");
  EXPECT_EQ(Row(bitmap, 7, clWhite), "########");
  EXPECT_EQ(Column(bitmap, 7, clWhite), "########");
  EXPECT_EQ(canvas.Pixels(1, 4), clBlack);
  EXPECT_EQ(canvas.Pixels(6, 4), clBlack);
  EXPECT_EQ(canvas.Pixels(4, 4), clWhite);
}

TEST(Canvas, MaskPenModeTintsWhatIsUnderneath) {
  TBitmap bitmap;
  Blank(bitmap, 10, 10, RGB(100, 50, 30));
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetMode(pmMask);
  canvas.Pen().SetColor(RGB(198, 198, 255));
  canvas.Brush().SetColor(RGB(198, 198, 255));
  canvas.Ellipse(0, 0, 10, 10);
  EXPECT_EQ(canvas.Pixels(5, 5), RGB(100 & 198, 50 & 198, 30 & 255));
  EXPECT_EQ(canvas.Pixels(0, 0), RGB(100, 50, 30));
  // FillRect ignores the pen mode.
  canvas.Brush().SetColor(clBlue);
  canvas.FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(canvas.Pixels(0, 0), clBlue);
}

TEST(Canvas, XorPenModeUndoesItself) {
  TBitmap bitmap;
  Blank(bitmap, 4, 1, RGB(10, 20, 30));
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetMode(pmXor);
  canvas.Pen().SetColor(clWhite);
  canvas.MoveTo(0, 0);
  canvas.LineTo(4, 0);
  EXPECT_EQ(canvas.Pixels(2, 0), RGB(245, 235, 225));
  canvas.MoveTo(0, 0);
  canvas.LineTo(4, 0);
  EXPECT_EQ(canvas.Pixels(2, 0), RGB(10, 20, 30));
}

TEST(Canvas, FocusRectangleTwiceRestoresThePixels) {
  TBitmap bitmap;
  Blank(bitmap, 7, 5);
  bitmap.Canvas().DrawFocusRect(Rect(0, 0, 7, 5));
  EXPECT_EQ(Row(bitmap, 0, clBlack), "#.#.#.#");
  EXPECT_EQ(Row(bitmap, 2, clWhite), ".#####.");
  bitmap.Canvas().DrawFocusRect(Rect(0, 0, 7, 5));
  EXPECT_EQ(Count(bitmap, clWhite), 35);
}

TEST(Canvas, PolygonAndPolyline) {
  TBitmap bitmap;
  Blank(bitmap, 9, 9);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clRed);
  const std::vector<TPoint> square{{1, 1}, {7, 1}, {7, 7}, {1, 7}};
  canvas.Polygon(square);
  EXPECT_EQ(canvas.Pixels(1, 1), clBlack);
  EXPECT_EQ(canvas.Pixels(4, 4), clRed);
  EXPECT_EQ(canvas.Pixels(8, 8), clWhite);
  canvas.Pen().SetColor(clBlue);
  const std::vector<TPoint> corner{{0, 0}, {0, 8}, {8, 8}};
  canvas.Polyline(corner);
  EXPECT_EQ(Column(bitmap, 0, clBlue), "#########");
  EXPECT_EQ(Row(bitmap, 8, clBlue), "########.");
}

TEST(Canvas, RoundRectCutsItsCorners) {
  TBitmap bitmap;
  Blank(bitmap, 20, 20);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clRed);
  canvas.RoundRect(0, 0, 20, 20, 10, 10);
  EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
  EXPECT_EQ(canvas.Pixels(10, 0), clBlack);
  EXPECT_EQ(canvas.Pixels(0, 10), clBlack);
  EXPECT_EQ(canvas.Pixels(10, 10), clRed);
}

TEST(Canvas, Frame3DDrawsRingsAndShrinksTheRectangle) {
  TBitmap bitmap;
  Blank(bitmap, 6, 6, clRed);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetStyle(bsClear);
  TRect rect = Rect(0, 0, 6, 6);
  Frame3D(canvas, rect, clWhite, clBlack, 2);
  EXPECT_EQ(rect, Rect(2, 2, 4, 4));
  EXPECT_EQ(Row(bitmap, 0, clWhite), "#####.");
  EXPECT_EQ(Row(bitmap, 5, clBlack), "######");
  EXPECT_EQ(Row(bitmap, 1, clWhite), "####..");  // first ring's left, second ring's top
  EXPECT_EQ(Column(bitmap, 4, clBlack), ".#####");
  EXPECT_EQ(Count(bitmap, clRed), 4);
  EXPECT_EQ(canvas.Brush().Style(), bsClear);  // the brush is given back as it was
}

TEST(Canvas, FloodFillSurfaceStopsAtOtherColours) {
  TBitmap bitmap;
  Blank(bitmap, 10, 10);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetStyle(bsClear);
  canvas.Ellipse(0, 0, 10, 10);
  canvas.Brush().SetColor(clRed);
  canvas.FloodFill(5, 5, clWhite, fsSurface);
  EXPECT_EQ(canvas.Pixels(5, 5), clRed);
  EXPECT_EQ(canvas.Pixels(0, 0), clWhite);  // outside the ring: untouched
  EXPECT_EQ(canvas.Pixels(9, 9), clWhite);
  // Seeding on another colour fills nothing.
  canvas.Brush().SetColor(clBlue);
  canvas.FloodFill(0, 0, clGreen, fsSurface);
  EXPECT_EQ(Count(bitmap, clBlue), 0);
}

TEST(Canvas, FloodFillBorderFillsUpToTheColour) {
  TBitmap bitmap;
  Blank(bitmap, 6, 3);
  TCanvas& canvas = bitmap.Canvas();
  canvas.SetPixels(1, 1, clGreen);
  canvas.Pen().SetColor(clBlack);
  canvas.MoveTo(3, 0);
  canvas.LineTo(3, 3);
  canvas.Brush().SetColor(clRed);
  canvas.FloodFill(0, 0, clBlack, fsBorder);
  EXPECT_EQ(Row(bitmap, 1, clRed), "###...");
}

TEST(Canvas, FloodFillTilesThePatternFromTheOrigin) {
  TBitmap pattern;
  Blank(pattern, 2, 1, clBlue);
  pattern.Canvas().SetPixels(1, 0, clLime);
  TBitmap bitmap;
  Blank(bitmap, 6, 2);
  TCanvas& canvas = bitmap.Canvas();
  canvas.SetPixels(0, 0, clBlack);
  canvas.Brush().SetBitmap(&pattern);
  canvas.FloodFill(3, 1, clWhite, fsSurface);
  EXPECT_EQ(Row(bitmap, 0, clBlue), "..#.#.");
  EXPECT_EQ(Row(bitmap, 0, clLime), ".#.#.#");
  EXPECT_EQ(canvas.Pixels(0, 0), clBlack);
  canvas.Brush().SetBitmap(nullptr);
}

TEST(Canvas, PixelsOutsideTheBitmapAreNoColour) {
  TBitmap bitmap;
  Blank(bitmap, 2, 2);
  EXPECT_EQ(bitmap.Canvas().Pixels(-1, 0), clNone);
  EXPECT_EQ(bitmap.Canvas().Pixels(2, 0), clNone);
  bitmap.Canvas().SetPixels(5, 5, clRed);  // ignored
  EXPECT_EQ(bitmap.Canvas().ClipRect(), Rect(0, 0, 2, 2));
}

TEST(Canvas, CopyRectStretchesAndMayCopyWithinItself) {
  TBitmap source;
  Blank(source, 2, 1, clRed);
  source.Canvas().SetPixels(1, 0, clBlue);
  TBitmap bitmap;
  Blank(bitmap, 4, 2);
  bitmap.Canvas().CopyRect(Rect(0, 0, 4, 1), source.Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(Row(bitmap, 0, clRed), "##..");
  EXPECT_EQ(Row(bitmap, 0, clBlue), "..##");
  bitmap.Canvas().CopyRect(Rect(0, 1, 4, 2), bitmap.Canvas(), Rect(0, 0, 4, 1));
  EXPECT_EQ(Row(bitmap, 1, clBlue), "..##");
}

TEST(Canvas, AnUnattachedCanvasMeasuresButDrawsNothing) {
  TCanvas canvas;
  canvas.Font().SetName("DejaVu Sans");
  canvas.Font().SetHeight(-13);
  EXPECT_GT(canvas.TextWidth("Hello"), 0);
  canvas.Rectangle(0, 0, 10, 10);
  canvas.TextOut(0, 0, "x");
  EXPECT_EQ(canvas.Pixels(0, 0), clNone);
  EXPECT_EQ(canvas.ClipRect(), TRect{});
}
