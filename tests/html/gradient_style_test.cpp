#include "html/gradient_style.h"

#include <gtest/gtest.h>

#include "support/control_snapshot.h"

namespace {

constexpr TColor kPaper = 0x123456;

std::unique_ptr<TBitmap> Paper(int width, int height) {
  return SolidPicture(width, height, kPaper);
}

TEST(GradientFill, BandsStepTheColourAndOverlapByOnePixel) {
  auto bitmap = Paper(120, 4);
  GradientFill(bitmap->Canvas(), clBlack, RGB(0, 0, 200), true, Rect(0, 0, 100, 4), 4);
  // Four bands of 25 pixels, each 26 long: a later band covers the overlap.
  EXPECT_EQ(PixelAt(*bitmap, 0, 1), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(*bitmap, 24, 1), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(*bitmap, 25, 1), RGB(0, 0, 50));
  EXPECT_EQ(PixelAt(*bitmap, 75, 1), RGB(0, 0, 150));
  // The last band passes the far edge by one pixel and stops there.
  EXPECT_EQ(PixelAt(*bitmap, 100, 1), RGB(0, 0, 150));
  EXPECT_EQ(PixelAt(*bitmap, 101, 1), kPaper);
}

TEST(GradientFill, VerticalRunsTopToBottomAndRoundsChannelsHalvesToEven) {
  auto bitmap = Paper(4, 40);
  // 4 bands from 0 to 10 in red: steps of 2.5 give 0, 2 (2.5), 5, 8 (7.5).
  GradientFill(bitmap->Canvas(), RGB(0, 0, 0), RGB(10, 0, 0), false, Rect(0, 0, 4, 40), 4);
  EXPECT_EQ(PixelAt(*bitmap, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(*bitmap, 2, 15), RGB(2, 0, 0));
  EXPECT_EQ(PixelAt(*bitmap, 2, 25), RGB(5, 0, 0));
  EXPECT_EQ(PixelAt(*bitmap, 2, 35), RGB(8, 0, 0));
}

TEST(GradientFill, ZeroBandsIsOneBandOfTheFromColour) {
  auto bitmap = Paper(30, 2);
  GradientFill(bitmap->Canvas(), clRed, clBlue, true, Rect(0, 0, 20, 2), 0);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), clRed);
  EXPECT_EQ(PixelAt(*bitmap, 20, 0), clRed);  // the one pixel more
  EXPECT_EQ(PixelAt(*bitmap, 21, 0), kPaper);
}

TEST(GradientFill, EqualColoursGiveOneColourAndSystemColoursAreResolved) {
  auto bitmap = Paper(64, 2);
  GradientFill(bitmap->Canvas(), clHighlight, clHighlight, true, Rect(0, 0, 64, 2), 16);
  for (int x = 0; x < 64; ++x) ASSERT_EQ(PixelAt(*bitmap, x, 0), ColorToRGB(clHighlight)) << x;
}

TEST(GradientFill, OffsetsBeyondSixteenBitsStayWhole) {
  // The second band starts 70005 pixels in: cut to 16 bits it would land far left and
  // leave the visible pixels unpainted.
  auto bitmap = Paper(10, 1);
  GradientFill(bitmap->Canvas(), clBlack, clWhite, true, Rect(-140000, 0, 10, 1), 2);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), RGB(128, 128, 128));
  EXPECT_EQ(PixelAt(*bitmap, 9, 0), RGB(128, 128, 128));
}

TEST(FillGradient, BandsStopAtTheRectAndTheBorderFramesIt) {
  auto bitmap = Paper(40, 10);
  FillGradient(bitmap->Canvas(), clBlack, clWhite, true, Rect(0, 0, 30, 10), 4, clRed);
  EXPECT_EQ(PixelAt(*bitmap, 30, 5), kPaper);
  EXPECT_EQ(PixelAt(*bitmap, 0, 5), clRed);
  EXPECT_EQ(PixelAt(*bitmap, 29, 5), clRed);
  EXPECT_EQ(PixelAt(*bitmap, 10, 0), clRed);
  EXPECT_EQ(PixelAt(*bitmap, 1, 5), RGB(0, 0, 0));
  // Band pitch 7.5: band 3 starts at round(22.5) = 22.
  EXPECT_EQ(PixelAt(*bitmap, 23, 5), RGB(191, 191, 191));
  auto plain = Paper(40, 4);
  FillGradient(plain->Canvas(), clBlack, clWhite, false, Rect(0, 0, 40, 4), 2);
  EXPECT_EQ(PixelAt(*plain, 0, 0), clBlack);
  EXPECT_EQ(PixelAt(*plain, 0, 3), RGB(128, 128, 128));
}

// A 4 x 5 bitmap: transparent magenta bottom-left, rows coloured by their number.
std::unique_ptr<TBitmap> Slices(int width, int height) {
  auto source = Paper(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) source->Canvas().SetPixels(x, y, RGB(10 * x, 10 * y, 0));
  source->Canvas().SetPixels(0, height - 1, clFuchsia);
  return source;
}

TEST(TransparentCopy, LeavesOutTheKeyColourAndTheSourceAsItWas) {
  auto source = Slices(4, 5);
  auto before = Slices(4, 5);
  auto target = Paper(10, 10);
  TransparentCopy(target->Canvas(), *source, 2, 3, 0, 2, 3, 3, clFuchsia);
  EXPECT_EQ(PixelAt(*target, 2, 3), RGB(0, 20, 0));
  EXPECT_EQ(PixelAt(*target, 4, 4), RGB(20, 30, 0));
  EXPECT_EQ(PixelAt(*target, 2, 5), kPaper);  // the source's magenta pixel
  EXPECT_EQ(PixelAt(*target, 5, 3), kPaper);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(PixelAt(*source, x, y), PixelAt(*before, x, y));
}

TEST(ThreeSlice, HorizontalKeepsTheEndsAndStretchesTheMiddle) {
  auto source = Slices(4, 5);
  auto target = Paper(20, 6);
  DrawHorizontalThreeSlice(*source, target->Canvas(), 1, 12, 0);
  // Left half: columns 0 and 1 at x 1 and 2; right half: columns 2 and 3 at x 11, 12.
  EXPECT_EQ(PixelAt(*target, 2, 0), RGB(10, 0, 0));
  EXPECT_EQ(PixelAt(*target, 11, 0), RGB(20, 0, 0));
  EXPECT_EQ(PixelAt(*target, 12, 0), RGB(30, 0, 0));
  EXPECT_EQ(PixelAt(*target, 13, 0), kPaper);
  // The middle 8 pixels come from columns 1 and 2.
  for (int x = 3; x < 11; ++x) {
    const int red = GetRValue(PixelAt(*target, x, 0));
    EXPECT_TRUE(red == 10 || red == 20) << x;
  }
  EXPECT_EQ(PixelAt(*target, 1, 4), kPaper);  // bottom-left is the key colour
}

TEST(ThreeSlice, VerticalWithAnOddHeightLosesTheLastRow) {
  auto source = Slices(3, 5);
  auto target = Paper(4, 20);
  DrawVerticalThreeSlice(*source, target->Canvas(), 0, 10, 0);
  // Halves of 2 rows: rows 0-1 at the top, rows 2-3 at the bottom (from y 7), row 4 lost.
  EXPECT_EQ(PixelAt(*target, 1, 1), RGB(10, 10, 0));
  EXPECT_EQ(PixelAt(*target, 1, 7), RGB(10, 20, 0));
  EXPECT_EQ(PixelAt(*target, 1, 8), RGB(10, 30, 0));
  EXPECT_EQ(PixelAt(*target, 1, 9), kPaper);
}

TEST(TGradientStyle, NotifiesOnRealChangesAndAssignKeepsDirection) {
  TGradientStyle style;
  EXPECT_EQ(style.ColorFrom(), clHighlight);
  EXPECT_EQ(style.BorderColor(), clHighlight);
  EXPECT_EQ(style.ColorTo(), clNone);
  EXPECT_EQ(style.ColorMirrorFrom(), clNone);
  EXPECT_EQ(style.ColorMirrorTo(), clNone);
  int changes = 0;
  TGradientStyle* sender = nullptr;
  style.OnChange = [&](TGradientStyle* s) {
    ++changes;
    sender = s;
  };
  style.SetColorFrom(clHighlight);
  EXPECT_EQ(changes, 0);
  style.SetColorTo(clRed);
  style.SetColorMirrorTo(clBlue);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(sender, &style);

  TGradientStyle source;
  source.SetColorFrom(0x111111);
  source.SetColorTo(0x222222);
  source.SetBorderColor(0x333333);
  source.SetColorMirrorFrom(0x444444);
  source.SetColorMirrorTo(0x555555);
  source.Direction = true;
  style.Assign(source);
  EXPECT_EQ(changes, 3);
  EXPECT_FALSE(style.Direction);
  EXPECT_EQ(style.ColorFrom(), 0x111111);
  EXPECT_EQ(style.ColorTo(), 0x222222);
  EXPECT_EQ(style.BorderColor(), 0x333333);
  EXPECT_EQ(style.ColorMirrorFrom(), 0x444444);
  EXPECT_EQ(style.ColorMirrorTo(), 0x555555);
}

}  // namespace

namespace {

TEST(GradientFill, WithoutAnEndColourFillsSolid) {
  auto bitmap = Paper(16, 2);
  GradientFill(bitmap->Canvas(), clRed, clNone, true, Rect(0, 0, 16, 2), 4);
  for (int x = 0; x < 16; ++x) ASSERT_EQ(PixelAt(*bitmap, x, 0), clRed) << x;
}

}  // namespace
