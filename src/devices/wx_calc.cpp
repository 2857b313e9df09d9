#include "devices/wx_calc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMagnusA = 17.5043;
constexpr double kMagnusB = 241.2;  // degrees C
constexpr double kKmhPerMs = 3.6;
constexpr double kWindChillFromKmh = 5;
constexpr double kWindChillUpToCelsius = 10;  // the index is defined for cold air only

}  // namespace

double DewPoint(std::uint8_t Humidity, double Temperature) {
  // Saturated air is at its dew point.
  if (Humidity >= 100) return Temperature;
  if (Humidity < 1) return 0;
  const double lnH = std::log(Humidity / 100.0);
  const double t = Temperature / (kMagnusB + Temperature);
  return (kMagnusB * lnH + kMagnusA * kMagnusB * t) / (kMagnusA - lnH - kMagnusA * t);
}

double WindChill(double Temperature, double Wind) {
  const double v = Wind * kKmhPerMs;
  if (v < kWindChillFromKmh || Temperature > kWindChillUpToCelsius) return Temperature;
  const double v016 = std::pow(v, 0.16);
  // Near 10 degrees and in light wind the formula gives a little more than the air:
  // wind never warms.
  return std::min(Temperature,
                  13.12 + 0.6215 * Temperature - 11.37 * v016 + 0.3965 * Temperature * v016);
}
