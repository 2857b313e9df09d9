#include "core/aprs_data.h"

#include <gtest/gtest.h>

namespace {

TEST(AprsData, PlainPositionWithoutTime) {
  TAprsData d = DecodeAprsData("APRS", "!5230.50N/01320.70E>Test");
  EXPECT_EQ(d.Kind, TAprsDataKind::Position);
  EXPECT_EQ(d.PosFormat, 'A');
  ASSERT_TRUE(d.HasPosition);
  EXPECT_NEAR(d.Lat, 52 + 30.5 / 60, 1e-9);
  EXPECT_NEAR(d.Lon, 13 + 20.7 / 60, 1e-9);
  EXPECT_EQ(d.SymTable, '/');
  EXPECT_EQ(d.SymCode, '>');
  EXPECT_EQ(d.Comment, "Test");
}

TEST(AprsData, AmbiguityBlanksCountAsZeros) {
  TAprsData d = DecodeAprsData("APRS", "=4903.  N\\07201.  W-");
  ASSERT_TRUE(d.HasPosition);
  EXPECT_NEAR(d.Lat, 49.05, 1e-9);
  EXPECT_NEAR(d.Lon, -(72 + 1 / 60.0), 1e-9);
  EXPECT_EQ(d.SymTable, '\\');
  EXPECT_EQ(d.Comment, "");
}

TEST(AprsData, WhatFailsThePlainTestIsReadAsCompressed) {
  TAprsData d = DecodeAprsData("APRS", "!/5L!!<*e7>7P[");
  EXPECT_EQ(d.PosFormat, 'C');
  ASSERT_TRUE(d.HasPosition);
  EXPECT_NEAR(d.Lat, 49.5, 1e-4);
  EXPECT_NEAR(d.Lon, -72.75, 1e-4);
  EXPECT_EQ(d.SymTable, '/');
  EXPECT_EQ(d.SymCode, '>');
  EXPECT_EQ(d.Course, 88);
  EXPECT_NEAR(d.SpeedKnots, 36.2, 0.05);
  EXPECT_EQ(d.RangeMiles, -1);
  d = DecodeAprsData("APRS", "!/5L!!<*e7>{?!");
  EXPECT_EQ(d.Course, -1);
  EXPECT_NEAR(d.RangeMiles, 20.13, 0.01);
  d = DecodeAprsData("APRS", "!/5L!!<*e7> sT");
  EXPECT_EQ(d.Course, -1);
  EXPECT_EQ(d.SpeedKnots, -1);
  d = DecodeAprsData("APRS", "!/5L!!<*e7>");  // short block: no position
  EXPECT_EQ(d.PosFormat, 'C');
  EXPECT_FALSE(d.HasPosition);
  // Overlays as letters; a digit where the table stands is a plain position cut short,
  // as the peers read it: no position.
  for (const char table : {'A', 'Z', 'a', 'j', '\\'}) {
    EXPECT_TRUE(DecodeAprsData("APRS", std::string("!") + table + "5L!!<*e7>7P[").HasPosition);
  }
  for (const char* data : {"!4500.00N/011.00E#", "!k5L!!<*e7>7P[", "@092345z4500.00N/011.00E#",
                           ";OBJ      *092345z4500.00N/011.00E#", ")AID!4500.00N/011.00E#"}) {
    EXPECT_FALSE(DecodeAprsData("APRS", data).HasPosition) << data;
  }
}

// Digits can say more than 90 or 180 degrees, and four base-91 digits reach beyond the
// south pole: such a position is none, as is one whose digits are no base-91 digits.
TEST(AprsData, PositionsOffTheGlobeAreNone) {
  for (const char* data : {"!9999.99N/00000.00E>", "!0000.00N/99999.99W>", "!9000.01S/00000.00E>",
                           "!/\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF>7P[", "!/{{{{!!!!>7P[",
                           "!/!!!!{{{{>7P[", "!/5L!\x20<*e7>7P[", "@092345z9999.99N/00000.00E>",
                           ";OBJ      *092345z0000.00N/99999.99W>"}) {
    const TAprsData d = DecodeAprsData("APRS", data);
    EXPECT_FALSE(d.HasPosition) << data;
  }
  for (const char* data : {"!9000.00N/18000.00W>", "!9000.00S/18000.00E>", "!/!!!!!!!!>7P["}) {
    const TAprsData d = DecodeAprsData("APRS", data);
    EXPECT_TRUE(d.HasPosition) << data;
  }
}

TEST(AprsData, TimeStampedPositions) {
  TAprsData d = DecodeAprsData("APRS", "@092345z4903.50N/07201.75W>088/036");
  EXPECT_EQ(d.AprsTime, "092345z");
  EXPECT_EQ(d.PosFormat, 'A');
  EXPECT_EQ(d.Comment, "088/036");
  d = DecodeAprsData("APRS", "/092345z/5L!!<*e7>7P[");
  EXPECT_EQ(d.PosFormat, 'C');
  EXPECT_NEAR(d.Lat, 49.5, 1e-4);
}

TEST(AprsData, ObjectsAndItems) {
  TAprsData d = DecodeAprsData("APRS", ";LEADER   *092345z4903.50N/07201.75W>088/036");
  EXPECT_EQ(d.Kind, TAprsDataKind::Object);
  EXPECT_EQ(d.Name, "LEADER");
  EXPECT_EQ(d.ObjState, '*');
  EXPECT_EQ(d.AprsTime, "092345z");
  EXPECT_NEAR(d.Lat, 49.0583333, 1e-6);
  EXPECT_EQ(d.SymCode, '>');
  EXPECT_EQ(d.Comment, "088/036");
  d = DecodeAprsData("APRS", ";LEADER   _092345z4903.50N/07201.75W>");
  EXPECT_EQ(d.ObjState, '_');
  d = DecodeAprsData("APRS", ")AID #2!4903.50N/07201.75WA");
  EXPECT_EQ(d.Kind, TAprsDataKind::Item);
  EXPECT_EQ(d.Name, "AID #2");
  EXPECT_EQ(d.ObjState, '!');
  EXPECT_EQ(d.SymCode, 'A');
  d = DecodeAprsData("APRS", ")G/WB4APR_4903.50N/07201.75WA");
  EXPECT_EQ(d.Name, "G/WB4APR");
  EXPECT_EQ(d.ObjState, '_');
  // No state character within the first eleven: no item.
  d = DecodeAprsData("APRS", ")ABCDEFGHIJK!4903.50N/07201.75WA");
  EXPECT_EQ(d.Kind, TAprsDataKind::Other);
}

TEST(AprsData, MicE) {
  TAprsData d = DecodeAprsData("T2SP0W", "`c51!f?>/]\"3x}=");
  EXPECT_EQ(d.Kind, TAprsDataKind::MicE);
  EXPECT_EQ(d.PosFormat, ']');
  ASSERT_TRUE(d.HasPosition);
  EXPECT_NEAR(d.Lat, 42 + 30.07 / 60, 1e-9);
  EXPECT_NEAR(d.Lon, -(71 + 25.21 / 60), 1e-9);
  EXPECT_EQ(d.SpeedKnots, 57);
  EXPECT_EQ(d.Course, 35);
  EXPECT_EQ(d.SymTable, '/');
  EXPECT_EQ(d.SymCode, '>');
  EXPECT_EQ(d.MicEMsg, 3);
  EXPECT_EQ(d.Comment, "\"3x}=");
  // Short or unusable destinations and short bodies give no position.
  for (auto [dest, data] :
       {std::pair{"T2SP0", "`c51!f?>/"}, {"T2SPMW", "`c51!f?>/"}, {"T2SP0W", "`c5"}, {"", "`"}}) {
    EXPECT_FALSE(DecodeAprsData(dest, data).HasPosition) << dest << " " << data;
  }
  // A body too short for speed and course still has its position.
  d = DecodeAprsData("T2SP0W", "`c51");
  EXPECT_TRUE(d.HasPosition);
  EXPECT_EQ(d.SpeedKnots, 0);
}

TEST(AprsData, StatusWeatherAndOthers) {
  EXPECT_EQ(DecodeAprsData("APRS", ">Net Control").Kind, TAprsDataKind::Status);
  EXPECT_EQ(DecodeAprsData("APRS", "_10090556c220s004").Kind, TAprsDataKind::PositionlessWeather);
  EXPECT_EQ(DecodeAprsData("APRS", "::WU2Z     :Testing").Kind, TAprsDataKind::Other);
  EXPECT_EQ(DecodeAprsData("APRS", "").Kind, TAprsDataKind::Other);
}

TEST(AprsData, EveryPrefixDecodesCleanly) {
  for (std::string_view data :
       {"!4903.50N/07201.75W-Test 001234", "/092345z/5L!!<*e7>7P[",
        "`c51!f?>/]\"3x}=", ";LEADER   *092345z4903.50N/07201.75W>088/036",
        ")AID #2!4903.50N/07201.75WA", "@092345z4903.50N/07201.75W>088/036/A=001234"}) {
    for (size_t n = 0; n <= data.size(); ++n) {
      TAprsData d = DecodeAprsData("T2SP0W", data.substr(0, n));
      int course = d.Course, altitude = -1;
      double speed = d.SpeedKnots;
      ParseStationComment(d.Comment, course, speed, altitude);
    }
  }
}

TEST(AprsData, StationComment) {
  std::string comment = "088/036/A=001234 hello";
  int course = -1, altitude = -1;
  double speed = -1;
  ParseStationComment(comment, course, speed, altitude);
  EXPECT_EQ(altitude, 1234);
  EXPECT_EQ(course, 88);
  EXPECT_EQ(speed, 36);
  EXPECT_EQ(comment, " hello");
  comment = " . /1.2x";
  course = -1;
  ParseStationComment(comment, course, speed, altitude);
  EXPECT_EQ(course, 0);
  EXPECT_EQ(speed, 102);
  EXPECT_EQ(comment, "x");
  comment = "\"3x}=";
  altitude = -1;
  ParseStationComment(comment, course, speed, altitude);
  EXPECT_EQ(altitude, 20);
  EXPECT_EQ(comment, "=");
  comment = "\"3x}/A=12";  // a "/A=" without six digits still rules out the Mic-E altitude
  altitude = -1;
  ParseStationComment(comment, course, speed, altitude);
  EXPECT_EQ(altitude, -1);
  EXPECT_EQ(comment, "\"3x}/A=12");
  EXPECT_TRUE(IsCourseSpeed("088/036"));
  EXPECT_FALSE(IsCourseSpeed("088/03"));
  EXPECT_FALSE(IsCourseSpeed("088-036"));
  EXPECT_FALSE(IsCourseSpeed("08x/036"));
}

}  // namespace
