#include "core/aprs_position.h"

#include <gtest/gtest.h>

namespace {

TEST(AprsPosition, SplitsAprsFormIntoMinuteGroups) {
  std::string lat, lon;
  SplitLatLon("4903.50N/07201.75W", lat, lon);
  EXPECT_EQ(lat, "49:03:50");
  EXPECT_EQ(lon, "-072:01:75");
  EXPECT_NEAR(DmmToDeg(lat), 49.0583333333, 1e-9);
  EXPECT_NEAR(DmmToDeg(lon), -72.0291666667, 1e-9);
  SplitLatLon("3351.79s/11626.40e", lat, lon);
  EXPECT_EQ(lat, "-33:51:79");
  EXPECT_EQ(lon, "116:26:40");
}

TEST(AprsPosition, ShortTextsSplitToWhatIsThere) {
  std::string lat, lon;
  SplitLatLon("49", lat, lon);
  EXPECT_EQ(lat, "49::");
  EXPECT_EQ(lon, "::");
  SplitLatLon("", lat, lon);
  EXPECT_EQ(lat, "::");
  EXPECT_EQ(DmmToDeg(lat), 0);
}

TEST(AprsPosition, DmmKeepsTheSignOfMinusZeroDegrees) {
  EXPECT_DOUBLE_EQ(DmmToDeg("-0:30.00"), -0.5);
  EXPECT_DOUBLE_EQ(DmmToDeg("  12:30.00 "), 12.5);
  EXPECT_DOUBLE_EQ(DmmToDeg("12"), 0);         // no minutes group
  EXPECT_DOUBLE_EQ(DmmToDeg("1x:30.00"), 0);   // not a number
  EXPECT_DOUBLE_EQ(DmmToDeg("49:60:00"), 50);  // out-of-range minutes are read as they stand
}

TEST(AprsPosition, DmsReadsEachGroup) {
  EXPECT_DOUBLE_EQ(DmsToDeg("49:03:30"), 49 + 3 / 60.0 + 30 / 3600.0);
  EXPECT_DOUBLE_EQ(DmsToDeg("-8:30"), -8.5);
  EXPECT_DOUBLE_EQ(DmsToDeg("+8.25"), 8.25);
  EXPECT_DOUBLE_EQ(DmsToDeg("8::"), 0);
  EXPECT_DOUBLE_EQ(DmsToDeg(""), 0);
}

TEST(AprsPosition, DegToDmmCarriesSixtyMinutesIntoTheDegrees) {
  EXPECT_EQ(DegToDmm(49.058333333), "49:03.50");
  EXPECT_EQ(DegToDmm(-72.029166667), "-72:01.75");
  EXPECT_EQ(DegToDmm(-0.5), "-0:30.00");
  EXPECT_EQ(DegToDmm(48.99999), "49:00.00");
  EXPECT_EQ(DegToDmm(-48.99999), "-49:00.00");
  EXPECT_EQ(DegToDmm(-0.0000001), "0:00.00");
  EXPECT_DOUBLE_EQ(DmmToDeg(DegToDmm(-0.25)), -0.25);
}

TEST(AprsPosition, DisplayTexts) {
  EXPECT_EQ(DegToLatText(7.5),
            "07\xB0"
            "30.00 N");
  EXPECT_EQ(DegToLonText(-0.25),
            "000\xB0"
            "15.00 W");
  EXPECT_EQ(DegToLatText(-33.863166),
            "33\xB0"
            "51.79 S");
  EXPECT_EQ(DegToLonText(116.44),
            "116\xB0"
            "26.40 E");
  EXPECT_EQ(DegToLatText(89.999999),
            "90\xB0"
            "00.00 N");
}

TEST(AprsPosition, ParsesBothFixedWidthInputForms) {
  double lat = 1, lon = 1;
  ASSERT_TRUE(ParseLatLon("49:03.50N/072:01.75W", lat, lon));
  EXPECT_NEAR(lat, 49.0583333, 1e-6);
  EXPECT_NEAR(lon, -72.0291667, 1e-6);
  ASSERT_TRUE(ParseLatLon("49:03:30S/072:01:45E", lat, lon));
  EXPECT_NEAR(lat, -(49 + 3 / 60.0 + 30 / 3600.0), 1e-9);
  EXPECT_NEAR(lon, 72 + 1 / 60.0 + 45 / 3600.0, 1e-9);
  lat = lon = 7;
  EXPECT_FALSE(ParseLatLon("49:03.50N/072:01:75W", lat, lon));  // mixed forms
  EXPECT_FALSE(ParseLatLon("49:03.50N", lat, lon));
  EXPECT_EQ(lat, 7);
  EXPECT_EQ(lon, 7);
}

TEST(AprsPosition, NormalizesTypedPositions) {
  EXPECT_EQ(NormalizePosText("9.3.5N, 7.1.75W"), "09:03.50N/007:01.75W");
  EXPECT_EQ(NormalizePosText("7.1.75W, 9.3.5N"), "09:03.50N/007:01.75W");
  EXPECT_EQ(NormalizePosText("149.123.456N,1234.1.7E"), "49:23.45N/234:01.70E");
  // One "." in a half (no minute decimals) would never reach its width: refused.
  EXPECT_EQ(NormalizePosText("9.3N, 7.1.75W"), "");
  EXPECT_EQ(NormalizePosText("9.3.5N 7.1.75W"), "");
  EXPECT_EQ(NormalizePosText("9.3.5, 7.1.75"), "");
  EXPECT_EQ(NormalizePosText("N,W"), "");
}

TEST(AprsPosition, CompressedRoundTrip) {
  std::string encoded = EncodeCompressedPos("49.5", "-72.75");
  ASSERT_EQ(encoded.size(), 8u);
  std::optional<TGeoPoint> point = DecodeCompressedDeg(encoded);
  ASSERT_TRUE(point);
  EXPECT_NEAR(point->Lat, 49.5, 1.0 / 380926);
  EXPECT_NEAR(point->Lon, -72.75, 1.0 / 190463);
  EXPECT_EQ(EncodeCompressedPos("49,5", "-72,75"), encoded);
  // The protocol reference's example "/5L!!<*e7>7P[" holds 49 30.00 N, 072 45.00 W.
  point = DecodeCompressedDeg("5L!!<*e7");
  ASSERT_TRUE(point);
  EXPECT_NEAR(point->Lat, 49.5, 1e-4);
  EXPECT_NEAR(point->Lon, -72.750004, 1e-6);
  std::string lat, lon;
  ASSERT_TRUE(DecodeCompressedPos("5L!!<*e7", lat, lon));
  EXPECT_EQ(lat, "49.5");
  EXPECT_EQ(lon, "-72.7500039377727");
  EXPECT_FALSE(DecodeCompressedPos("5L!!<*e", lat, lon));
  EXPECT_FALSE(DecodeCompressedDeg(""));
}

TEST(AprsPosition, EncodeRefusesWhatIsNotAPosition) {
  EXPECT_EQ(EncodeCompressedPos("", ""), EncodeCompressedPos("0", "0"));
  EXPECT_EQ(EncodeCompressedPos("abc", "1"), "");
  EXPECT_EQ(EncodeCompressedPos("91", "1"), "");
  EXPECT_EQ(EncodeCompressedPos("1", "-180.5"), "");
  // The corners of the world still give printable base-91 characters.
  for (char c : EncodeCompressedPos("-90", "180")) {
    EXPECT_GE(c, '!');
    EXPECT_LE(c, '{');
  }
}

TEST(AprsPosition, CompassPoints) {
  EXPECT_EQ(CompassName(11), "N");
  EXPECT_EQ(CompassName(12), "NNE");
  EXPECT_EQ(CompassName(90), "E");
  EXPECT_EQ(CompassName(191), "S");  // 8.49
  EXPECT_EQ(CompassName(350), "N");
  EXPECT_EQ(CompassName(360), "N");
  EXPECT_EQ(CompassName(400), "");
}

TEST(AprsPosition, Ambiguity) {
  EXPECT_DOUBLE_EQ(AmbiguateLat(2, 49.0583), 49.05);
  EXPECT_NEAR(AmbiguateLat(0, 49.058333), 49.0583333333, 1e-9);
  EXPECT_NEAR(AmbiguateLat(1, 49.0596), 49 + 3.5 / 60, 1e-9);
  EXPECT_DOUBLE_EQ(AmbiguateLat(3, 49.3), 49.0 + 10 / 60.0);
  EXPECT_DOUBLE_EQ(AmbiguateLat(4, -49.3), -49.0);
  EXPECT_NEAR(AmbiguateLon(2, -72.0291666), -(72 + 1 / 60.0), 1e-9);
  EXPECT_DOUBLE_EQ(AmbiguateLon(4, -72.9), -72.0);
  EXPECT_DOUBLE_EQ(AmbiguateLon(9, 8.9), 8.0);
}

}  // namespace
