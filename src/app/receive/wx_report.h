// Status ('>') and positionless weather ('_') packets carry no position: their text is
// kept with a station already in the store. Weather values are read out of a weather
// station's comment or stored text for the detail window:
//   "225/004g010t050r000p001P000h85b10123" -> wind 225 degrees at 4 mph, gust 10 mph,
//   50 F, rain 0 / 1 / 0 hundredths of an inch, humidity 85 %, 1012.3 hPa.
#pragma once

#include <cstdint>
#include <string>

class TStationStore;

struct TWxInfo {
  bool Valid = false;        // at least one value was found
  int32_t WindDir = 0;       // degrees
  int32_t WindSpeed = 0;     // mph, sustained
  int32_t WindGust = 0;      // mph
  int32_t Temp = 0;          // degrees Fahrenheit
  int32_t Rain1h = 0;        // hundredths of an inch
  int32_t RainMidnight = 0;  // hundredths of an inch
  int32_t Rain24h = 0;       // hundredths of an inch
  int32_t Humidity = 0;      // percent, 1 to 100
  int32_t Pressure = 0;      // tenths of a hectopascal
  // The key letters of the values read ("csgtrPphb"; the leading course/speed group
  // counts as "cs"): a value whose key is missing was not reported, it is no zero.
  std::string Found;
  bool Has(char Key) const { return Found.find(Key) != std::string::npos; }
};

// Stores Text (the whole information field) as the status text of Call's station when
// that station is in the store, and shows it again where the store's views show it; a
// station never heard with a position keeps nothing.
void UpdateStationText(TStationStore& Store, const std::string& Call, const std::string& Text);

// Sets Valid and the values found in Text and takes them out of it; what remains is the
// free comment. A value of dots ("t...", ".../...") was not reported: it is taken out
// but not read. A temperature may be negative ("t-05"); "h00" is 100 %. Valid when at
// least one value was reported. The caller starts from a cleared record.
void ParseWxReport(std::string& Text, TWxInfo& Info);

// At least N characters, and all of S digits.
bool AllDigits(const std::string& S, int N);
// Blanks and '.' as '0', for values padded with them.
std::string BlankDotToZero(std::string S);
