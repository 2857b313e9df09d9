#include "app/receive/wx_report.h"

#include <gtest/gtest.h>

#include "app/receive/receive_fixture.h"

namespace {

TEST(WxReport, ReadsEveryValueOfAFullReport) {
  std::string text = "225/004g010t050r000p001P000h85b10123";
  TWxInfo info;
  ParseWxReport(text, info);
  EXPECT_TRUE(info.Valid);
  EXPECT_EQ(info.WindDir, 225);
  EXPECT_EQ(info.WindSpeed, 4);
  EXPECT_EQ(info.WindGust, 10);
  EXPECT_EQ(info.Temp, 50);
  EXPECT_EQ(info.Rain1h, 0);
  EXPECT_EQ(info.Rain24h, 1);
  EXPECT_EQ(info.RainMidnight, 0);
  EXPECT_EQ(info.Humidity, 85);
  EXPECT_EQ(info.Pressure, 10123);
  EXPECT_EQ(info.Found, "csgtrPphb");
  EXPECT_EQ(text, "");
}

// Dots are APRS's "not reported": taken out of the text, but no value. A temperature
// may be negative; "h00" is 100 %.
TEST(WxReport, NotReportedValuesNegativeTemperaturesAndFullHumidity) {
  std::string text = ".../...g...t-14h00b..... /cold";
  TWxInfo info;
  ParseWxReport(text, info);
  EXPECT_TRUE(info.Valid);
  EXPECT_EQ(info.Found, "th");
  EXPECT_EQ(info.Temp, -14);
  EXPECT_EQ(info.Humidity, 100);
  EXPECT_EQ(text, "cold");

  // What our own beacon sends without a wind sensor carries no value at all.
  std::string none = ".../...g...t...";
  TWxInfo empty;
  ParseWxReport(none, empty);
  EXPECT_FALSE(empty.Valid);
  EXPECT_EQ(empty.Found, "");
  EXPECT_EQ(none, "");

  // Blank-padded values still read; a sign only before a temperature.
  std::string padded = "c 90s  5t-5xh-5";
  TWxInfo more;
  ParseWxReport(padded, more);
  EXPECT_EQ(more.Found, "cs");
  EXPECT_EQ(more.WindDir, 90);
  EXPECT_EQ(more.WindSpeed, 5);
  EXPECT_EQ(padded, "t-5xh-5");
}

TEST(WxReport, OnlyTheFirstOccurrenceOfAKeyIsTried) {
  std::string text = "/sunny, s010 wind";
  TWxInfo info;
  ParseWxReport(text, info);
  EXPECT_FALSE(info.Valid);
  EXPECT_EQ(info.WindSpeed, 0);
  EXPECT_EQ(text, "sunny, s010 wind");  // the leading '/' goes, the rest is comment
  std::string empty;
  ParseWxReport(empty, info);
  EXPECT_FALSE(info.Valid);
  std::string cut = "g01";  // too short at the end of the text
  ParseWxReport(cut, info);
  EXPECT_FALSE(info.Valid);
  EXPECT_EQ(cut, "g01");
}

TEST(WxReport, Helpers) {
  EXPECT_TRUE(AllDigits("012", 3));
  EXPECT_FALSE(AllDigits("01", 3));
  EXPECT_FALSE(AllDigits("0a2", 3));
  EXPECT_EQ(BlankDotToZero(" 1.2"), "0102");
}

TEST(StationText, OnlyTheLastStatusOrWeatherTextIsKept) {
  TReceivePath r;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "_10090556c220s004g005t077r000p000P000h50b09900wRSW");
  EXPECT_EQ(r.store.StationList.Count(), 0);  // no position heard yet
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "!5230.50N/01320.70E_");
  r.views.calls.clear();
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">St\x84tus");
  EXPECT_EQ(r.Field("AAprsN0CALL", sfStatusText), ">St\xE4tus");  // DOS umlaut converted
  EXPECT_TRUE(r.views.Called("crosshair AAprsN0CALL"));
  EXPECT_FALSE(r.views.Called("row AAprsN0CALL"));
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "_10090556c220s004g005t077");
  EXPECT_EQ(r.Field("AAprsN0CALL", sfStatusText), "_10090556c220s004g005t077");
}

}  // namespace
