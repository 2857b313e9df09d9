#include "app/transmit/beacon_builder.h"

#include <algorithm>
#include <cmath>

#include "core/aprs_position.h"
#include "devices/wx_data.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr double kMaxRange = 9999;
constexpr double kMetersPerSecondPerMph = 0.44704;
constexpr double kMmPerInch = 25.4;

double NonNegative(double value) {
  return std::isfinite(value) && value > 0 ? value : 0;
}

// The display text "dd°mm.mm N" without its degree sign and blank.
std::string AprsCoordinate(const std::string& display) {
  std::string text;
  for (char c : display) {
    if (c != '\xB0' && c != ' ') text += c;
  }
  return text;
}

// Rounded to the nearest integer, halves to even, and kept within the field's range.
int Rounded(double value, int low, int high) {
  if (!std::isfinite(value)) return low;
  return static_cast<int>(std::clamp(std::nearbyint(value), double(low), double(high)));
}

std::string WindPiece(const TWxWind& wind, bool on) {
  if (!on || !wind.Valid) return ".../...g...";
  return Format("%0.3d/%0.3dg%0.3d", Rounded(wind.Dir, 0, 360),
                Rounded(wind.Peak1Min / kMetersPerSecondPerMph, 0, 999),
                Rounded(wind.Peak5Min / kMetersPerSecondPerMph, 0, 999));
}

// Three characters: "077", "105", or a minus sign and two digits below zero.
std::string TemperaturePiece(const TWxTemperature& temp) {
  if (!temp.Valid) return "t...";
  const int f = Rounded(temp.Cur * 1.8 + 32, -99, 999);
  return f < 0 ? Format("t-%0.2d", -f) : Format("t%0.3d", f);
}

std::string RainPiece(char letter, const TWxRain& rain) {
  if (!rain.Valid) return std::string(1, letter) + "...";
  return Format("%c%0.3d", letter, Rounded(rain.Value * 100 / kMmPerInch, 0, 999));
}

// Two digits; 100 % is written "00", and 0 % (no sensor reads it) as the lowest, 1 %.
std::string HumidityPiece(const TWxHumidity& hum) {
  if (!hum.Valid) return "h..";
  const int percent = Rounded(hum.Cur, 1, 100);
  return Format("h%0.2d", percent == 100 ? 0 : percent);
}

std::string BaroPiece(const TWxPressure& baro) {
  if (!baro.Valid) return "b.....";
  return Format("b%0.5d", Rounded(baro.Rel * 10, 0, 99999));
}

}  // namespace

std::string BuildRngText(double PowerWatts, double HeightFeet, double GainDb) {
  const double gain = std::isfinite(GainDb) ? GainDb : 0;
  const double r = std::sqrt(2 * NonNegative(HeightFeet) *
                             std::sqrt(NonNegative(PowerWatts) / 10 * std::pow(10, gain / 10) / 2));
  return Format("RNG%0.4d", Rounded(std::min(r, kMaxRange), 0, 9999));
}

std::string BuildUncompressedPos(double Lat, double Lon, char SymTab, char SymCode) {
  if (!OnGlobe(Lat, Lon)) return {};
  return AprsCoordinate(DegToLatText(Lat)) + SymTab + AprsCoordinate(DegToLonText(Lon)) + SymCode;
}

std::string BuildCompressedPos(double Lat, double Lon, char SymTab, char SymCode) {
  if (!OnGlobe(Lat, Lon)) return {};
  const std::string position = EncodeCompressedPos(FloatToStr(Lat), FloatToStr(Lon));
  if (position.empty()) return {};
  return SymTab + position + SymCode + " TO";
}

std::string BuildWxText(const TWxData& Data, const TWxTextSwitches& Switches) {
  std::string text = WindPiece(Data.Wind, Switches.Wind) + TemperaturePiece(Data.TempOut);
  if (Switches.Rain) text += RainPiece('r', Data.Rain1h) + RainPiece('p', Data.Rain24h);
  if (Switches.Humidity) text += HumidityPiece(Data.HumOut);
  if (Switches.Baro) text += BaroPiece(Data.Baro);
  return text;
}
