#include "platform/sys/date_time.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/text/sysutils.h"

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

}  // namespace

TEST(DateTime, DayNumbersCountFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), 0.75);
}

TEST(DateTime, EncodeRejectsImpossibleDatesAndTimes) {
  TDateTime value = 42;
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, value));   // divisible by 400
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, value));  // divisible by 100 only
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(2023, 4, 31, value));
  EXPECT_FALSE(TryEncodeDate(2023, 13, 1, value));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, value));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, value));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, value));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, value));
  EXPECT_EQ(value, EncodeDate(2000, 2, 29));  // failures left it alone
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(12, 61, 0, 0), EConvertError);
}

TEST(DateTime, DecodeGivesBackWhatWasEncodedOverFourCenturies) {
  for (int year = 1800; year <= 2200; year += 7) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, 28}) {
        int y = 0, m = 0, d = 0;
        DecodeDate(EncodeDate(year, month, day), y, m, d);
        ASSERT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day);
      }
    }
  }
  int h = 0, mi = 0, s = 0, ms = 0;
  DecodeTime(At(2007, 6, 1, 23, 59, 58, 999), h, mi, s, ms);
  EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 235958999);
}

TEST(DateTime, DecodeRoundsToTheMillisecondAcrossMidnight) {
  const TDateTime almostMidnight = EncodeDate(2006, 12, 31) + 1 - 0.0000001 / 86400;
  int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(almostMidnight, y, m, d);
  DecodeTime(almostMidnight, h, mi, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20070101);
  EXPECT_EQ(h + mi + s + ms, 0);
}

TEST(DateTime, NegativeValuesCountTheTimeOfDayForward) {
  int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, mi, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
}

TEST(DateTime, DayOfWeekStartsWithSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2007, 6, 3)), 1);    // a Sunday
  EXPECT_EQ(DayOfWeek(At(2024, 2, 29, 23, 0)), 5);    // a Thursday, late
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // a Monday
}

TEST(DateTime, DayArithmeticIsPlainAddition) {
  const TDateTime t = At(2008, 2, 28, 22, 30) + 3.0 / 24;
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn", t), "29.02.2008 01:30");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy", At(2007, 12, 31) + 1), "01.01.2008");
}

TEST(FormatDateTime, PatternsOfTheProgram) {
  const TDateTime t = At(2007, 6, 1, 9, 5, 7, 42);
  EXPECT_EQ(FormatDateTime("yymmddhhnnss", t), "070601090507");
  EXPECT_EQ(FormatDateTime("yy.mm.dd hh:nn:ss", t), "07.06.01 09:05:07");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy", t), "01.06.2007");
  EXPECT_EQ(FormatDateTime("ddmmyyyy", t), "01062007");
  EXPECT_EQ(FormatDateTime("ddmmyy", t), "010607");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", t), "09:05:07");
  EXPECT_EQ(FormatDateTime("yyyy/m/d h:n:s", t), "2007/6/1 9:5:7");
}

TEST(FormatDateTime, MillisecondsQuotesCaseAndMinutesAfterHours) {
  const TDateTime t = At(1999, 11, 23, 14, 8, 3, 5);
  EXPECT_EQ(FormatDateTime("z zzz", t), "5 005");
  EXPECT_EQ(FormatDateTime("'Uhr: 'hh\"h\"", t), "Uhr: 14h");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD", t), "1999-11-23");
  EXPECT_EQ(FormatDateTime("hh:mm", t), "14:08");  // m right after h is the minute
  EXPECT_EQ(FormatDateTime("mm hh", t), "11 14");
  EXPECT_EQ(FormatDateTime("'unclosed", t), "unclosed");
  EXPECT_EQ(FormatDateTime("", t), "");
}

TEST(FormatDateTime, NamesOfDaysAndMonthsComeFromTheLocale) {
  const TDateTime monday = EncodeDate(2007, 6, 4);
  const std::string longDay = FormatDateTime("dddd", monday);
  EXPECT_FALSE(longDay.empty());
  EXPECT_NE(longDay, FormatDateTime("dddd", monday + 1));
  EXPECT_LE(FormatDateTime("ddd", monday).size(), longDay.size());
  EXPECT_FALSE(FormatDateTime("mmmm", monday).empty());
  EXPECT_NE(FormatDateTime("mmmm", monday), FormatDateTime("mmmm", monday + 31));
}

TEST(DateTime, NowIsTodayPlusTheTimeAndTheTickCountNeverGoesBack) {
  const TDateTime now = Now();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_NEAR(Date(), std::floor(now), 1.0);
  EXPECT_GE(Time(), 0.0);
  EXPECT_LT(Time(), 1.0);
  std::uint64_t last = GetTickCount();
  for (int i = 0; i < 1000; ++i) {
    const std::uint64_t tick = GetTickCount();
    ASSERT_GE(tick, last);
    last = tick;
  }
}

TEST(DateTime, TextsInTheLocaleShortFormatsReadBack) {
  const TDateTime stamp = EncodeDate(2026, 3, 14) + EncodeTime(9, 26, 0, 0);
  TDateTime value = -1;
  ASSERT_TRUE(TryStrToDate(DateToStr(stamp), value));
  EXPECT_EQ(value, EncodeDate(2026, 3, 14));
  TDateTime both = -1;
  ASSERT_TRUE(TryStrToDateTime(DateTimeToStr(stamp), both));
  EXPECT_NEAR(both, stamp, 1.0 / MinsPerDay);
  EXPECT_FALSE(TryStrToDate("no date", value));
  EXPECT_FALSE(TryStrToTime("25:99", value));
  EXPECT_FALSE(TryStrToDateTime("", value));
  EXPECT_EQ(value, EncodeDate(2026, 3, 14));  // unchanged after a failure
}
