#include <gtest/gtest.h>

#include "controls/compass.h"
#include "controls/hydro.h"
#include "support/control_snapshot.h"

namespace {

TEST(CompassTest, NeedleFollowsTheDirection) {
  TCompass compass(nullptr);
  const TPoint centre = Point(21, 21);
  compass.SetDegrees(90);
  EXPECT_EQ(compass.Needle().Tip, Point(41, 21));
  EXPECT_EQ(compass.Needle().Tail, Point(11, 21));
  compass.SetDegrees(0);
  const TDialNeedle up = compass.Needle();
  EXPECT_EQ(up.Tip, Point(21, 1));
  compass.SetDegrees(360);
  EXPECT_EQ(compass.Needle().Tip, up.Tip);
  EXPECT_EQ(compass.Needle().Side1, up.Side1);
  compass.SetDegrees(180);
  EXPECT_GT(compass.Needle().Tip.Y, centre.Y);
}

TEST(HygrometerTest, HumidityMapsOntoTheThreeHundredDegreeArc) {
  THydro hydro(nullptr);
  const std::pair<int, int> cases[] = {{0, 210}, {40, 330}, {50, 0}, {60, 30}, {100, 150}};
  for (auto [percent, angle] : cases) {
    hydro.SetDegrees(static_cast<std::uint16_t>(percent));
    EXPECT_EQ(hydro.NeedleAngle(), angle) << percent;
  }
  hydro.SetDegrees(0);
  const TDialNeedle needle = hydro.Needle();
  EXPECT_LT(needle.Tip.X, 21);  // down-left
  EXPECT_GT(needle.Tip.Y, 21);
}

TEST(DialPaintTest, MarksAndNeedleOnMagentaWithoutAPicture) {
  TCompass compass(nullptr);
  compass.SetScaleN(clRed);
  compass.SetScale(clBlue);
  compass.SetScalePin(clLime);
  compass.SetScalePinBorder(clBlack);
  compass.SetScalePinMarker(clYellow);
  compass.SetDegrees(180);
  EXPECT_EQ(compass.Width(), 42);
  auto shot = Snapshot(compass);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clFuchsia);
  EXPECT_EQ(PixelAt(*shot, 21, 6), clRed);      // north mark, rows 4..9
  EXPECT_EQ(PixelAt(*shot, 36, 21), clBlue);    // east mark
  EXPECT_EQ(PixelAt(*shot, 23, 15), clLime);    // needle body
  EXPECT_EQ(PixelAt(*shot, 21, 25), clYellow);  // centre line

  compass.SetTransparent(true);
  shot = Snapshot(compass, clTeal);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clTeal);
  EXPECT_EQ(PixelAt(*shot, 23, 15), clLime);
}

TEST(DialPaintTest, BackgroundPictureSetsTheSize) {
  THydro hydro(nullptr);
  hydro.SetBackground(*SolidPicture(60, 60, clSilver));
  EXPECT_EQ(hydro.Width(), 60);
  hydro.SetScale(clBlue);
  hydro.SetScaleN(clRed);
  hydro.SetDegrees(50);
  auto shot = Snapshot(hydro);
  EXPECT_EQ(PixelAt(*shot, 2, 2), clSilver);
  // The 60 % mark at 30 degrees, radius 30 - 3 - 6 = 21 .. 27 from (30, 30): from
  // (40, 12) toward (44, 7); the 0 % mark at 210 degrees in the ordinary colour.
  EXPECT_EQ(PixelAt(*shot, 42, 9), clRed);
  EXPECT_EQ(PixelAt(*shot, 18, 50), clBlue);
}

}  // namespace
