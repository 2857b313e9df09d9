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

TEST(WxReport, MissingValuesReadAsZeroAndSignsAreNotDigits) {
  std::string text = "c...s   t-05 /hot";
  TWxInfo info;
  ParseWxReport(text, info);
  EXPECT_TRUE(info.Valid);
  EXPECT_EQ(info.WindDir, 0);
  EXPECT_EQ(info.WindSpeed, 0);
  EXPECT_EQ(info.Temp, 0);
  EXPECT_EQ(text, "t-05 /hot");
  // Read as zero, but reported; the temperature that could not be read was not.
  EXPECT_TRUE(info.Has('c'));
  EXPECT_TRUE(info.Has('s'));
  EXPECT_FALSE(info.Has('t'));
  EXPECT_FALSE(info.Has('h'));
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
