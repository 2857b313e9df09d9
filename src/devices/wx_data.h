// The weather record: what the home weather station last reported, one block per
// value with its valid flag, extremes and the local time it was decoded.
//
// Units: degrees Celsius, percent, m/s, hPa, mm. `Valid` false means the station said
// the value is missing (sensor lost, reading flagged) or it has not been heard yet; the
// displays and the weather beacon then show placeholders.
#pragma once

#include <array>
#include <cstdint>

#include "platform/sys/date_time.h"

// The weather station families; the number is the settings value.
enum TWxStnTyp : std::uint8_t { wstNIL = 0, wstWS2300 = 1, wstWX200 = 2, wstWMR918 = 3 };

// One received frame as the receivers hand it to the decoders, byte 0 first.
using TBuffer64 = std::array<std::uint8_t, 64>;

struct TWxTemperature {
  bool Valid = false;
  double Cur = 0;
  double Max = 0;
  double Min = 0;
  TDateTime Time = 0;
};

struct TWxHumidity {
  bool Valid = false;
  std::uint8_t Cur = 0;
  std::uint8_t Max = 0;
  std::uint8_t Min = 0;
  TDateTime Time = 0;
};

struct TWxWind {
  bool Valid = false;
  std::uint16_t Dir = 0;  // degrees
  double Speed = 0;       // m/s
  double Peak1Min = 0;    // highest one-second maximum of the last minute, m/s
  double Peak5Min = 0;    // the same over five minutes
  TDateTime Time = 0;
};

struct TWxPressure {
  bool Valid = false;
  double Abs = 0;  // station pressure, hPa
  double Rel = 0;  // reduced to sea level, hPa
  TDateTime Time = 0;
};

struct TWxRain {
  bool Valid = false;
  double Value = 0;  // mm
  TDateTime Time = 0;
};

struct TWxRainTotal {
  bool Valid = false;
  double Value = 0;     // mm since the station's counter start
  TDateTime Since = 0;  // not reported by any family; stays 0
  TDateTime Time = 0;
};

struct TWxSensorState {
  bool Valid = false;
  std::uint8_t Link = 0;
  std::int32_t Countdown = 0;  // seconds until the next radio contact
  TDateTime Time = 0;
};

struct TWxData {
  TWxTemperature TempIn;
  TWxTemperature TempOut;
  TWxHumidity HumIn;
  TWxHumidity HumOut;
  TWxWind Wind;
  TWxPressure Baro;
  TWxPressure BaroMin;
  TWxPressure BaroMax;
  TWxRain Rain1h;
  TWxRain Rain24h;
  TWxRainTotal RainTotal;
  TWxSensorState SensorState;
};
