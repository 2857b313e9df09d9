#include "core/locator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Locator, MaidenheadBothWays) {
  double lon = 0, lat = 0;
  ASSERT_TRUE(MaidenheadToLatLon("JN49GA", lon, lat));
  EXPECT_NEAR(lon, 8.5416666667, 1e-9);
  EXPECT_NEAR(lat, 49.0208333333, 1e-9);
  ASSERT_TRUE(MaidenheadToLatLon("jn49ga", lon, lat));
  EXPECT_NEAR(lon, 8.5416666667, 1e-9);
  EXPECT_EQ(LatLonToMaidenhead(49.02, 8.54), "JN49GA");
  EXPECT_EQ(LatLonToMaidenhead(-33.86, 151.21), "QF56OD");
  EXPECT_EQ(LatLonToMaidenhead(-90, -180), "AA00AA");
  // The far edges stay inside the alphabet.
  EXPECT_EQ(LatLonToMaidenhead(90, 180), "RR99XX");
}

TEST(Locator, MaidenheadValidation) {
  EXPECT_TRUE(IsMaidenhead("JN49GA"));
  EXPECT_TRUE(IsMaidenhead("RR99XX"));
  EXPECT_FALSE(IsMaidenhead("SN49GA"));
  EXPECT_FALSE(IsMaidenhead("JN49YA"));
  EXPECT_FALSE(IsMaidenhead("JN49G"));
  EXPECT_FALSE(IsMaidenhead("JN4AGA"));
  double lon = 7, lat = 7;
  EXPECT_FALSE(MaidenheadToLatLon("JN49", lon, lat));
  EXPECT_EQ(lon, 7);
}

TEST(Locator, QraLocators) {
  EXPECT_FALSE(IsQraLocator("EK00h"));
  EXPECT_TRUE(IsQraLocator("EK80h"));
  EXPECT_FALSE(IsQraLocator("EK81h"));
  EXPECT_FALSE(IsQraLocator("EK90h"));
  EXPECT_FALSE(IsQraLocator("EK74i"));
  EXPECT_TRUE(IsQraLocator("ek74j/4"));
  EXPECT_FALSE(IsQraLocator("EK74j/5"));
  EXPECT_FALSE(IsQraLocator("EK74j-4"));
  double lon = 0, lat = 0;
  // Zone 2: E = column 4 (8 deg), K = row 10; small square 74 = row 7, column 4; ninth J.
  ASSERT_TRUE(QraToLatLon("EK74J", lon, lat));
  EXPECT_NEAR(lon, 8 + 3 * 0.2 + 3 / 30.0, 1e-12);
  EXPECT_NEAR(lat, 10 + 1 + 40 - 0.125 * 7 - 3 / 48.0, 1e-12);
  double lon4 = 0, lat4 = 0;
  ASSERT_TRUE(QraToLatLon("EK74J/4", lon4, lat4));
  EXPECT_NEAR(lat4, lat - 26, 1e-12);
  // Column 0 is column 10 of the row above.
  ASSERT_TRUE(QraToLatLon("EK70A", lon, lat));
  EXPECT_NEAR(lon, 8 - 0.2 + 0.1 + 2, 1e-12);
  EXPECT_NEAR(lat, 51 - 0.875 - 1 / 48.0 + 0.125, 1e-12);
}

TEST(Locator, CoordinateTexts) {
  double lon = 0, lat = 0;
  bool ok = false;
  ParseCoordText("+8:30/+49:15", lon, lat, ok);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(lon, 8.5);
  EXPECT_DOUBLE_EQ(lat, 49.25);
  ParseCoordText("8/49", lon, lat, ok);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(lon, 8);
  EXPECT_DOUBLE_EQ(lat, 49);
  ParseCoordText("+8.5/+49.25", lon, lat, ok);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(lat, 49.25);
  ParseCoordText("-8:30:36/-49:15:18", lon, lat, ok);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(lon, -8.51);
  EXPECT_DOUBLE_EQ(lat, -49.255);
  for (std::string_view bad : {"+49/+95", "+181/+1", "8:30", "8/49/1", "+8.5/+49", "a/b",
                               "+8:30:00:00/+49:15:00", "", "/"}) {
    ParseCoordText(bad, lon, lat, ok);
    EXPECT_FALSE(ok) << bad;
  }
  ParseCoordText("+180/-89", lon, lat, ok);
  EXPECT_TRUE(ok);
}

TEST(Locator, DistanceAndBearing) {
  double distance = 0, bearing = 0;
  bool ok = false;
  QthDistanceBearing("JN49GA", "JN49GB", distance, ok, bearing);
  ASSERT_TRUE(ok);
  EXPECT_NEAR(distance, 4.63, 0.01);
  EXPECT_NEAR(bearing, 0, 1e-6);
  QthDistanceBearing("JN49GB", "JN49GA", distance, ok, bearing);
  EXPECT_NEAR(bearing, 180, 1e-6);
  QthDistanceBearing("JN49GA", "JN49GA", distance, ok, bearing);
  EXPECT_FALSE(ok);
  EXPECT_EQ(distance, 0);
  EXPECT_EQ(bearing, -1);
  QthDistanceBearing("JN49GA", "", distance, ok, bearing);
  EXPECT_FALSE(ok);
  QthDistanceBearing("JN49GA", "JN4", distance, ok, bearing);  // neither QRA nor Maidenhead
  EXPECT_FALSE(ok);
  QthDistanceBearing("+0/+0", "+90/+0", distance, ok, bearing);
  ASSERT_TRUE(ok);
  EXPECT_NEAR(distance, 90 * kKmPerDegree, 1e-6);
  EXPECT_NEAR(bearing, 90, 1e-6);
  QthDistanceBearing("+0/+0", "-90/+0", distance, ok, bearing);
  EXPECT_NEAR(bearing, 270, 1e-6);
}

TEST(Locator, UndefinedBearingsAreDefined) {
  double distance = -1, bearing = -1;
  DistanceBearing(distance, bearing, 10, 20, 10, 20);
  EXPECT_EQ(distance, 0);
  EXPECT_EQ(bearing, 0);
  DistanceBearing(distance, bearing, 0, 90, 10, 20);
  EXPECT_NEAR(distance, 70 * kKmPerDegree, 1e-6);
  EXPECT_EQ(bearing, 180);
  DistanceBearing(distance, bearing, 0, 0, 180, 0);
  EXPECT_NEAR(distance, 180 * kKmPerDegree, 1e-9);
  EXPECT_FALSE(std::isnan(bearing));
}

TEST(Locator, CoordinateTextOut) {
  EXPECT_EQ(LatLonToText(-0.5, 49.999999), "-0:30:0/+50:0:0");
  EXPECT_EQ(LatLonToText(8.5416666667, 49.0208333333), "+8:32:30/+49:1:15");
  EXPECT_EQ(LatLonToText(-72.9999999, -0.0002), "-73:0:0/-0:0:1");
}

// A position no place on the earth has (a damaged record) gives no distance.
TEST(Locator, APositionOffTheEarthHasNoDistance) {
  for (const double lat : {1e308, -1e308, 95.0, std::nan(""), HUGE_VAL}) {
    double distance = 0, bearing = 0;
    bool ok = true;
    QthDistanceBearing(LatLonToText(8, 50), LatLonToText(8, lat), distance, ok, bearing);
    EXPECT_FALSE(ok) << lat;
    EXPECT_EQ(distance, 0) << lat;
  }
}

TEST(Locator, ArcCos) {
  EXPECT_EQ(ArcCosDeg(1.5), 0);
  EXPECT_EQ(ArcCosDeg(-2), 180);
  EXPECT_NEAR(ArcCosDeg(0.5), 60, 1e-12);
  EXPECT_NEAR(ArcCosDeg(0), 90, 1e-12);
}

}  // namespace
