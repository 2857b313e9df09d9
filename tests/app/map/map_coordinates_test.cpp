#include "app/map/map_coordinates.h"

#include "core/locator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

// The shipped world map: 2048 x 1024 pixels, corners 90N 180W and 90S 180E.
TMapGeometry World() {
  TMapGeometry map;
  map.Corners = {-90, -180, 90, 180};
  map.MapW = 2047;
  map.MapH = 1023;
  return map;
}

TEST(MapCoordinatesTest, CornersAndCentreOfTheWorld) {
  const TMapGeometry map = World();
  int y = 0;
  int x = 0;
  GeoToPixel(map, y, x, 90, -180);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(x, 0);
  GeoToPixel(map, y, x, -90, 180);
  EXPECT_EQ(y, 1023);
  EXPECT_EQ(x, 2047);
  GeoToPixel(map, y, x, 0, 0);
  EXPECT_EQ(y, 1023 - 512);  // 511.5 rounds to the even 512
  EXPECT_EQ(x, 1024);        // 1023.5 likewise
  GeoToPixel(map, y, x, 52.5, 13.4);
  EXPECT_EQ(y, 1023 - static_cast<int>(std::nearbyint(1023.0 / 180 * 142.5)));
  EXPECT_EQ(x, static_cast<int>(std::nearbyint(2047.0 / 360 * 193.4)));
}

// A map from 170E across the 180th meridian to 170W: stations on both sides of it are
// on the map, one at 0E is not, and the cursor reads west longitudes east of it.
TEST(MapCoordinatesTest, AMapAcrossTheDateLineHoldsBothSides) {
  TMapGeometry map;
  map.Corners = {-10, 170, 10, 190};
  map.MapW = 200;
  map.MapH = 200;
  int y = 0;
  int x = 0;
  GeoToPixel(map, y, x, 0, 175);
  EXPECT_EQ(x, 50);
  GeoToPixel(map, y, x, 0, -175);
  EXPECT_EQ(x, 150);
  GeoToPixel(map, y, x, 0, 0);
  EXPECT_FALSE(IsOnMap(map, y, x));
  double lat = 0;
  double lon = 0;
  PixelToGeo(map, 100, 150, lat, lon);
  EXPECT_NEAR(lon, -175, 1e-9);
  PixelToGeo(map, 100, 50, lat, lon);
  EXPECT_NEAR(lon, 175, 1e-9);
  EXPECT_GT(MapScale(map.Corners, map.MapW), 0);
}

TEST(MapCoordinatesTest, RoundsHalvesToEven) {
  TMapGeometry map;
  map.Corners = {0, 0, 4, 4};
  map.MapW = 4;
  map.MapH = 4;
  const std::pair<double, int> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {1.4, 1}};
  for (auto [degrees, pixel] : cases) {
    int y = 0;
    int x = 0;
    GeoToPixel(map, y, x, degrees, degrees);
    EXPECT_EQ(x, pixel) << degrees;
    EXPECT_EQ(y, 4 - pixel) << degrees;
  }
}

TEST(MapCoordinatesTest, WithoutAMapOrFarOffItNothingOverflows) {
  TMapGeometry none;
  int y = 0;
  int x = 0;
  GeoToPixel(none, y, x, 10, 10);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(x, -1);
  const TMapGeometry map = World();
  GeoToPixel(map, y, x, 1e300, -1e300);
  EXPECT_FALSE(IsOnMap(map, y, x));
  GeoToPixel(map, y, x, NAN, 0);
  EXPECT_FALSE(IsOnMap(map, y, x));
}

TEST(MapCoordinatesTest, BorderPixelsAreOnTheMap) {
  const TMapGeometry map = World();
  EXPECT_TRUE(IsOnMap(map, 0, 0));
  EXPECT_TRUE(IsOnMap(map, 1023, 2047));
  EXPECT_FALSE(IsOnMap(map, -1, 0));
  EXPECT_FALSE(IsOnMap(map, 0, 2048));
  EXPECT_FALSE(IsOnMap(map, 1024, 5));
}

TEST(MapCoordinatesTest, PixelToGeoIsTheInverse) {
  TMapGeometry map;
  map.Corners = {47.25, 5.5, 55.125, 15.75};  // a region map, not square
  map.MapW = 639;
  map.MapH = 479;
  for (int y = 0; y <= map.MapH; y += 7) {
    for (int x = 0; x <= map.MapW; x += 11) {
      double lat = 0;
      double lon = 0;
      PixelToGeo(map, y, x, lat, lon);
      int backY = -1;
      int backX = -1;
      GeoToPixel(map, backY, backX, lat, lon);
      ASSERT_EQ(backY, y) << x;
      ASSERT_EQ(backX, x) << y;
    }
  }
  double lat = 0;
  double lon = 0;
  PixelToGeo(map, 0, 0, lat, lon);
  EXPECT_DOUBLE_EQ(lat, 55.125);
  EXPECT_DOUBLE_EQ(lon, 5.5);
  PixelToGeo(map, map.MapH, map.MapW, lat, lon);
  EXPECT_DOUBLE_EQ(lat, 47.25);
  EXPECT_DOUBLE_EQ(lon, 15.75);
}

TEST(MapCoordinatesTest, CursorTextsAndLocator) {
  const TCursorTexts texts = CursorTexts(52.5083, 13.345);
  EXPECT_EQ(texts.Lat,
            "52\xB0"
            "30.50 N");
  EXPECT_EQ(texts.Lon,
            "013\xB0"
            "20.70 E");
  EXPECT_EQ(texts.Locator, "JO62QM");
  const TCursorTexts south = CursorTexts(-33.8675, -70.6);
  EXPECT_EQ(south.Lat.back(), 'S');
  EXPECT_EQ(south.Lon.back(), 'W');
  EXPECT_EQ(south.Locator.substr(0, 4), "FF46");
}

// Km per pixel along the parallel nearest the equator: the lower edge north of it, the
// upper edge south of it, the equator on a map that spans it.
TEST(MapCoordinatesTest, ScaleFromTheWidthOnEveryMap) {
  const auto along = [](double lat, double degrees, int pixels) {
    return degrees * kKmPerDegree * std::cos(lat * M_PI / 180) / pixels;
  };
  const struct {
    TMapCorners Corners;
    double Km;
  } maps[] = {
      {{34, -25, 72, 45}, along(34, 70, 1399)},      // Europe, across Greenwich
      {{25, -125, 50, -65}, along(25, 60, 1399)},    // west of Greenwich
      {{-45, 110, -10, 155}, along(-10, 45, 1399)},  // south of the equator
      {{-40, -80, 10, -30}, along(0, 50, 1399)},     // across the equator
      {{-90, -180, 90, 180}, along(0, 360, 1399)},   // the whole globe
      {{40, 170, 50, 190}, along(40, 20, 1399)},     // across the date line, east...
      {{40, -190, 50, -170}, along(40, 20, 1399)},   // ... or west
  };
  for (const auto& map : maps) {
    EXPECT_NEAR(MapScale(map.Corners, 1399), map.Km, 1e-9)
        << map.Corners.LatMin << " " << map.Corners.LonMin;
  }
  EXPECT_EQ(MapScale({40, 10, 50, 10}, 1399), -1);  // no width
  EXPECT_EQ(MapScale({34, -25, 72, 45}, 0), -1);
}

TEST(MapCoordinatesTest, RangeFromPhgAndRngTexts) {
  // p 5 -> 25 W, h 1 -> 20 ft, g 3 -> 10^0.3: sqrt(2 x 20 x sqrt(25 / 10 x 10^0.3 / 2)).
  EXPECT_NEAR(RangeMiles("PHG5130"), std::sqrt(40 * std::sqrt(2.5 * std::pow(10, 0.3) / 2)), 1e-9);
  EXPECT_EQ(RangeMiles("RNG0050"), 50);
  EXPECT_EQ(RangeMiles("PHG0000"), 0);
  for (const char* bad : {"", "PHG513", "PHG51300", "RNG00A0", "XYZ1234", "phg5130"})
    EXPECT_EQ(RangeMiles(bad), -1) << bad;

  // 50 miles at 2 km per pixel: 40.2336 -> 40 pixels across.
  EXPECT_EQ(RangeCircleSize("RNG0050", 2), 40);
  EXPECT_EQ(RangeCircleSize("RNG0050", -1), 1);  // no scale
  EXPECT_EQ(RangeCircleSize("PHG0130", 2), 1);   // no power, no range
  EXPECT_EQ(RangeCircleSize("nonsense", 2), 1);
}

TEST(MapCoordinatesTest, PickBoxIsStrictAndClippedToTheMap) {
  TMapGeometry map;
  map.Corners = {0, 0, 1, 1};
  map.MapW = 100;
  map.MapH = 100;
  EXPECT_TRUE(IsNearCursor(map, 50, 50, 50, 50));
  EXPECT_TRUE(IsNearCursor(map, 61, 39, 50, 50));
  EXPECT_FALSE(IsNearCursor(map, 62, 50, 50, 50));  // on the box edge
  EXPECT_FALSE(IsNearCursor(map, 50, 38, 50, 50));
  // Near the corner the box ends at the map's edge, which is outside it too.
  EXPECT_TRUE(IsNearCursor(map, 1, 1, 3, 3));
  EXPECT_FALSE(IsNearCursor(map, 0, 1, 3, 3));
  EXPECT_FALSE(IsNearCursor(map, 100, 99, 97, 97));
}

}  // namespace
