#include "app/receive/wx_report.h"

#include <algorithm>

#include "app/stations/station_store.h"
#include "core/aprs_data.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/text/sysutils.h"

namespace {

constexpr size_t kCourseSpeedLength = 7;

struct WxKey {
  char letter;
  int digits;
  int32_t TWxInfo::*value;
};

constexpr WxKey kWxKeys[] = {
    {'c', 3, &TWxInfo::WindDir}, {'s', 3, &TWxInfo::WindSpeed}, {'g', 3, &TWxInfo::WindGust},
    {'t', 3, &TWxInfo::Temp},    {'r', 3, &TWxInfo::Rain1h},    {'P', 3, &TWxInfo::RainMidnight},
    {'p', 3, &TWxInfo::Rain24h}, {'h', 2, &TWxInfo::Humidity},  {'b', 5, &TWxInfo::Pressure}};

}  // namespace

void UpdateStationText(TStationStore& Store, const std::string& Call, const std::string& Text) {
  std::string text;
  DosToAnsiUmlauts(Text, text);
  const std::string key = MakeStationKey("", Call);
  std::string escaped;
  CsvEscape(text, escaped);
  if (!Store.SetStatusText(key, escaped)) return;
  TStationDetail& detail = *Store.Views().Detail;
  if (detail.StationInfoVisible() && detail.ShownKey() == key) detail.ShowStationInfo(key);
  Store.Views().Markers->MarkStation(key);
}

bool AllDigits(const std::string& S, int N) {
  return static_cast<int>(S.size()) >= N &&
         std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string BlankDotToZero(std::string S) {
  for (char& c : S) {
    if (c == ' ' || c == '.') c = '0';
  }
  return S;
}

namespace {

// A value of dots or blanks only is APRS's "not reported": it is no zero.
bool NotReported(const std::string& Value) {
  return !Value.empty() && Value.find_first_not_of(". ") == std::string::npos;
}

// Reads one value of Digits characters; a temperature may be negative ("t-05", one
// digit fewer). False when it is not a number.
bool ReadWxValue(const std::string& Value, int Digits, bool Signed, int32_t& Number) {
  const bool negative = Signed && !Value.empty() && Value[0] == '-';
  const std::string digits = BlankDotToZero(negative ? Value.substr(1) : Value);
  if (!AllDigits(digits, Digits - (negative ? 1 : 0))) return false;
  Number = negative ? -StrToInt(digits) : StrToInt(digits);
  return true;
}

}  // namespace

void ParseWxReport(std::string& Text, TWxInfo& Info) {
  Info.Valid = false;
  if (Text.empty()) return;
  if (IsCourseSpeed(Text)) {
    const std::string direction = Text.substr(0, 3);
    const std::string speed = Text.substr(4, 3);
    if (!NotReported(direction)) {
      Info.WindDir = StrToInt(BlankDotToZero(direction));
      Info.Found += 'c';
    }
    if (!NotReported(speed)) {
      Info.WindSpeed = StrToInt(BlankDotToZero(speed));
      Info.Found += 's';
    }
    Text.erase(0, kCourseSpeedLength);
  }
  for (const WxKey& key : kWxKeys) {
    const size_t at = Text.find(key.letter);
    if (at == std::string::npos) continue;
    const std::string value = Text.substr(at + 1, key.digits);
    if (value.size() < static_cast<size_t>(key.digits)) continue;
    if (NotReported(value)) {
      Text.erase(at, 1 + key.digits);
      continue;
    }
    if (!ReadWxValue(value, key.digits, key.letter == 't', Info.*key.value)) continue;
    Info.Found += key.letter;
    Text.erase(at, 1 + key.digits);
  }
  // Two digits cannot say 100 %: "h00" does.
  if (Info.Has('h') && Info.Humidity == 0) Info.Humidity = 100;
  Info.Valid = !Info.Found.empty();
  Text = Trim(Text);
  if (!Text.empty() && Text[0] == '/') Text.erase(0, 1);
}
