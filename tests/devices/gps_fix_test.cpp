#include "devices/gps_fix.h"

#include <gtest/gtest.h>

#include "platform/sys/date_time.h"

namespace {

TGpsRMC Fix(const char* Lat, char NS, const char* Lon, char EW) {
  TGpsRMC r;
  r.Valid = true;
  r.Active = true;
  r.Lat = Lat;
  r.NS = NS;
  r.Lon = Lon;
  r.EW = EW;
  return r;
}

}  // namespace

TEST(GpsFix, PositionOnlyFromAValidFix) {
  double lat = 1, lon = 2;
  ASSERT_TRUE(RmcFixPosition(Fix("5230.00", 'S', "01300.00", 'W'), lat, lon));
  EXPECT_NEAR(lat, -52.5, 1e-9);
  EXPECT_NEAR(lon, -13.0, 1e-9);
  ASSERT_TRUE(RmcFixPosition(Fix("4807.038", 'N', "01131.000", 'E'), lat, lon));
  EXPECT_NEAR(lat, 48 + 7.038 / 60, 1e-9);
  EXPECT_NEAR(lon, 11 + 31.0 / 60, 1e-9);
  ASSERT_TRUE(RmcFixPosition(Fix("0059.99999", 'N', "17959", 'W'), lat, lon));
  EXPECT_NEAR(lat, 59.99999 / 60, 1e-9);
  EXPECT_NEAR(lon, -179 - 59.0 / 60, 1e-9);

  // No fix, a stale record or missing fields leave the position alone: never 0/0.
  lat = 7;
  lon = 8;
  TGpsRMC voidFix = Fix("4807.038", 'N', "01131.000", 'E');
  voidFix.Active = false;
  EXPECT_FALSE(RmcFixPosition(voidFix, lat, lon));
  TGpsRMC stale = Fix("4807.038", 'N', "01131.000", 'E');
  stale.Valid = false;
  EXPECT_FALSE(RmcFixPosition(stale, lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("", 0, "", 0), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("4807.038", 0, "01131.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("4807.038", 'N', "", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("48", 'N', "01131.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("48x7.038", 'N', "01131.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("9907.038", 'N', "01131.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("4807.038", 'N', "19131.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("-4807.038", 'N', "01131.000", 'E'), lat, lon));
  // A field that does not parse is no position: a blank before it, minutes of 60 or
  // more, degree digits missing or one too many.
  for (const char* latitude : {" 4807.038", "4807.038 ", "4860.000", "4899.5", "807.038",
                               "04807.038", "4807.0-3", "4807e1"}) {
    EXPECT_FALSE(RmcFixPosition(Fix(latitude, 'N', "01131.000", 'E'), lat, lon)) << latitude;
  }
  EXPECT_FALSE(RmcFixPosition(Fix("4807.038", 'N', "01160.000", 'E'), lat, lon));
  EXPECT_FALSE(RmcFixPosition(Fix("4807.038", 'N', "1131.000", 'E'), lat, lon));
  EXPECT_EQ(lat, 7);
  EXPECT_EQ(lon, 8);
}

TEST(GpsFix, Captions) {
  EXPECT_EQ(GpsQualityCaption('1'), "GPS");
  EXPECT_EQ(GpsQualityCaption('2'), "DGPS");
  EXPECT_EQ(GpsQualityCaption('6'), "GPS-6");
  EXPECT_EQ(GpsSpeedCaption(12.4), "12 kts");
  EXPECT_EQ(GpsCourseCaption(1.4, 84.4), "0\xB0");
  EXPECT_EQ(GpsCourseCaption(1.6, 84.4), "84\xB0");
  EXPECT_EQ(GpsCourseCaption(2.5, 84.5), "84\xB0");  // halves to the even neighbour
  EXPECT_EQ(GpsStatusTime(EncodeDate(2026, 12, 7) + EncodeTime(0, 0, 10, 0)),
            "07.12.2026 - 00:00:10 UTC");
}
