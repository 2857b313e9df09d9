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

void ParseWxReport(std::string& Text, TWxInfo& Info) {
  Info.Valid = false;
  if (Text.empty()) return;
  if (IsCourseSpeed(Text)) {
    const std::string group = BlankDotToZero(Text.substr(0, kCourseSpeedLength));
    Info.WindDir = StrToInt(group.substr(0, 3));
    Info.WindSpeed = StrToInt(group.substr(4, 3));
    Info.Valid = true;
    Info.Found += "cs";
    Text.erase(0, kCourseSpeedLength);
  }
  for (const WxKey& key : kWxKeys) {
    const size_t at = Text.find(key.letter);
    if (at == std::string::npos) continue;
    const std::string digits = BlankDotToZero(Text.substr(at + 1, key.digits));
    if (!AllDigits(digits, key.digits)) continue;
    Info.*key.value = StrToInt(digits);
    Info.Valid = true;
    Info.Found += key.letter;
    Text.erase(at, 1 + key.digits);
  }
  Text = Trim(Text);
  if (!Text.empty() && Text[0] == '/') Text.erase(0, 1);
}
