#include "platform/sys/date_time.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>

#include "platform/text/ascii.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/sysutils.h"

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days from 1899-12-30 (day 0 of TDateTime) to 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25569;

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Whole days and milliseconds into the day, the way the class library splits a value:
// round to the millisecond, whole part towards zero, time of day from the magnitude.
void SplitValue(TDateTime value, std::int64_t& days, std::int64_t& ms) {
  // Clamp so that nonsense values cannot overflow the conversion.
  const double clamped = std::fmax(std::fmin(value, 3.0e6), -3.0e6);
  const std::int64_t total = std::llround(clamped * kMsPerDay);
  days = total / kMsPerDay;
  ms = (total < 0 ? -total : total) % kMsPerDay;
}

}  // namespace

TDateTime Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  // The local date and time of a second are worked out once: a busy feed asks for the
  // time of every packet, and of every record it reads back, thousands of times a
  // second, and the time zone's rules cost more than the rest. The zone is read once
  // per process all the same.
  thread_local std::optional<std::time_t> second;
  thread_local std::tm local{};
  if (seconds != second) {
    localtime_r(&seconds, &local);
    second = seconds;
  }
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                    static_cast<int>(ms.count()));
}

TDateTime Date() {
  return std::floor(Now());
}

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::floor(now);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInMonth(Year, Month)) {
    return false;
  }
  Value = static_cast<double>(DaysFromCivil(Year, Month, Day) + kUnixEpochDay);
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime value = 0;
  if (!TryEncodeDate(Year, Month, Day, value))
    throw EConvertError("Invalid argument to date encode");
  return value;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value) {
  if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 ||
      MSec > 999) {
    return false;
  }
  Value = ((Hour * 60 + Min) * 60 + Sec) * 1000.0 + MSec;
  Value /= MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
  TDateTime value = 0;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, value))
    throw EConvertError("Invalid argument to time encode");
  return value;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
  std::int64_t days = 0, ms = 0;
  SplitValue(Value, days, ms);
  CivilFromDays(days - kUnixEpochDay, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec) {
  std::int64_t days = 0, ms = 0;
  SplitValue(Value, days, ms);
  MSec = static_cast<int>(ms % 1000);
  Sec = static_cast<int>(ms / 1000 % 60);
  Min = static_cast<int>(ms / 60000 % 60);
  Hour = static_cast<int>(ms / 3600000);
}

int DayOfWeek(TDateTime Value) {
  std::int64_t days = 0, ms = 0;
  SplitValue(Value, days, ms);
  // Day 0, 1899-12-30, was a Saturday.
  return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

std::string FormatDateTime(std::string_view Pattern, TDateTime Value) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(Value, year, month, day);
  DecodeTime(Value, hour, minute, second, msec);
  auto number = [](int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
  };
  // The program's language (TApplication::SetLanguage), else the user's.
  const QLocale locale;

  std::string out;
  char previous = 0;  // the last letter token, for "m after h means minutes"
  size_t i = 0;
  while (i < Pattern.size()) {
    const char c = Pattern[i];
    const char letter = AsciiUpper(c);
    if (c == '\'' || c == '"') {
      const size_t close = Pattern.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? Pattern.size() : close;
      out.append(Pattern.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? end : end + 1;
      continue;
    }
    if (std::string_view("DMYHNSZ").find(letter) == std::string_view::npos) {
      if (letter >= 'A' && letter <= 'Z') previous = letter;
      out += c;
      ++i;
      continue;
    }
    size_t count = 1;
    while (i + count < Pattern.size() && AsciiUpper(Pattern[i + count]) == letter) ++count;
    i += count;
    switch (letter) {
      case 'D':
        if (count <= 2) {
          out += number(day, static_cast<int>(count));
        } else {
          const auto format = count == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
          const int sundayFirst = DayOfWeek(Value);
          out += FromQString(locale.dayName(sundayFirst == 1 ? 7 : sundayFirst - 1, format));
        }
        break;
      case 'M':
        if (count <= 2 && previous == 'H') {
          out += number(minute, static_cast<int>(count));
        } else if (count <= 2) {
          out += number(month, static_cast<int>(count));
        } else {
          const auto format = count == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
          out += FromQString(locale.monthName(month, format));
        }
        break;
      case 'Y':
        out += count <= 2 ? number(year % 100, 2) : number(year, 4);
        break;
      case 'H':
        out += number(hour, count >= 2 ? 2 : 1);
        break;
      case 'N':
        out += number(minute, count >= 2 ? 2 : 1);
        break;
      case 'S':
        out += number(second, count >= 2 ? 2 : 1);
        break;
      case 'Z':
        out += number(msec, static_cast<int>(count >= 3 ? 3 : count));
        break;
    }
    previous = letter;
  }
  return out;
}

std::uint64_t GetTickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::int64_t TicksAt(TDateTime Time, TDateTime Now, std::uint64_t TicksNow) {
  const std::int64_t ago = std::llround((Now - Time) * MSecsPerDay);
  return static_cast<std::int64_t>(TicksNow) - std::max<std::int64_t>(ago, 0);
}

namespace {

TDateTime FromQDate(const QDate& date) {
  TDateTime value = 0;
  TryEncodeDate(date.year(), date.month(), date.day(), value);
  return value;
}

TDateTime FromQTime(const QTime& time) {
  TDateTime value = 0;
  TryEncodeTime(time.hour(), time.minute(), time.second(), time.msec(), value);
  return value;
}

}  // namespace

namespace {

QDate ToQDate(TDateTime Value) {
  int year = 0;
  int month = 0;
  int day = 0;
  DecodeDate(Value, year, month, day);
  return QDate(year, month, day);
}

QTime ToQTime(TDateTime Value) {
  int hour = 0;
  int min = 0;
  int sec = 0;
  int msec = 0;
  DecodeTime(Value, hour, min, sec, msec);
  return QTime(hour, min, sec, msec);
}

}  // namespace

std::string DateToStr(TDateTime Value) {
  return FromQString(QLocale::system().toString(ToQDate(Value), QLocale::ShortFormat));
}

std::string DateTimeToStr(TDateTime Value) {
  return FromQString(
      QLocale::system().toString(QDateTime(ToQDate(Value), ToQTime(Value)), QLocale::ShortFormat));
}

int CenturyYear(int TwoDigitYear) {
  constexpr int kWindowYears = 50;
  int current = 0, month = 0, day = 0;
  DecodeDate(Now(), current, month, day);
  const int first = current - kWindowYears;
  const int year = first - first % 100 + TwoDigitYear;
  return year < first ? year + 100 : year;
}

namespace {

// Qt reads the two-digit year of a format as one of 1900..1999.
QDate InCenturyWindow(const QDate& Date, const QString& Format) {
  if (!Date.isValid() || Format.contains(u"yyyy") || !Format.contains(u"yy")) return Date;
  return QDate(CenturyYear(Date.year() % 100), Date.month(), Date.day());
}

}  // namespace

bool TryStrToDate(std::string_view Text, TDateTime& Value) {
  const QLocale locale = QLocale::system();
  const QDate date =
      InCenturyWindow(locale.toDate(ToQString(std::string(Text)), QLocale::ShortFormat),
                      locale.dateFormat(QLocale::ShortFormat));
  if (!date.isValid()) return false;
  Value = FromQDate(date);
  return true;
}

bool TryStrToTime(std::string_view Text, TDateTime& Value) {
  const QLocale locale = QLocale::system();
  const QString text = ToQString(std::string(Text));
  QTime time = locale.toTime(text, QLocale::ShortFormat);
  if (!time.isValid()) time = locale.toTime(text, QLocale::LongFormat);
  if (!time.isValid()) return false;
  Value = FromQTime(time);
  return true;
}

bool TryStrToDateTime(std::string_view Text, TDateTime& Value) {
  const QString text = ToQString(std::string(Text)).trimmed();
  const QLocale locale = QLocale::system();
  const QDateTime stamp = locale.toDateTime(text, QLocale::ShortFormat);
  if (stamp.isValid()) {
    const TDateTime date =
        FromQDate(InCenturyWindow(stamp.date(), locale.dateTimeFormat(QLocale::ShortFormat)));
    Value = date + (date < 0 ? -1 : 1) * FromQTime(stamp.time());
    return true;
  }
  return TryStrToDate(Text, Value);  // a date alone is the day's midnight
}
