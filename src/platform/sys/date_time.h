// Dates and times as the class library counts them: TDateTime is a double whose whole
// part counts days since 1899-12-30 and whose fraction is the time of day
// (2.75 = 1900-01-01 18:00). Negative values count back, the fraction still forward in
// the day (-1.25 = 1899-12-29 06:00). Now, Date and Time are local time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using TDateTime = double;

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24 * 60 * 60 * 1000.0;

TDateTime Now();
TDateTime Date();  // today, 00:00
TDateTime Time();  // the time of day only

// Year 1..9999, month 1..12, day within the month; EncodeDate raises EConvertError
// on anything else, TryEncodeDate returns false and leaves Value unchanged.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value);
TDateTime EncodeDate(int Year, int Month, int Day);
// Hour 0..23, minute and second 0..59, millisecond 0..999.
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);

// Values are rounded to the millisecond first, so 23:59:59.9999 is the next day.
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Value);

// Pattern letters (either case): d dd (day), ddd dddd (day name), m mm (month, or the
// minute right after an h or hh), mmm mmmm (month name), yy yyyy, h hh, n nn (minute),
// s ss, z zzz (millisecond); text in single or double quotes is copied without them,
// every other character is copied as it is. Names are in the program's language
// (TApplication::SetLanguage), else in the user's locale.
// FormatDateTime("yymmddhhnnss", EncodeDate(2007, 6, 1)) == "070601000000".
std::string FormatDateTime(std::string_view Pattern, TDateTime Value);

// The year a two-digit year (0..99) stands for: the one of its century window, which
// puts it at most 50 years before the current year and less than 50 after it.
int CenturyYear(int TwoDigitYear);

// The date, the time of day, or both, in the user's locale's short formats.
std::string DateToStr(TDateTime Value);
std::string DateTimeToStr(TDateTime Value);

// Texts in the user's locale's short date and time formats (a date, a time of day, or a
// date followed by a time); false, and Value unchanged, for anything else. A two-digit
// year is read as CenturyYear gives it.
bool TryStrToDate(std::string_view Text, TDateTime& Value);
bool TryStrToTime(std::string_view Text, TDateTime& Value);
bool TryStrToDateTime(std::string_view Text, TDateTime& Value);

// Milliseconds on a clock that only moves forward (not the time of day).
std::uint64_t GetTickCount();
// Where Time of the wall clock lies on that monotonic clock, given both clocks' present
// (Now, TicksNow). Intervals are measured there: a wall clock set back (the end of
// summer time, a correction) or forward would stop or stretch them. A Time after Now
// counts as Now: the clock was set back since it was taken.
std::int64_t TicksAt(TDateTime Time, TDateTime Now, std::uint64_t TicksNow);
