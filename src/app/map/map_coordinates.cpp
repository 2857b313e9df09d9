#include "app/map/map_coordinates.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/aprs_position.h"
#include "core/locator.h"
#include "platform/text/sysutils.h"

namespace {

constexpr double kKmPerMile = 1.609344;
constexpr int kPickBox = 12;
// Pixels beyond this are off any map; keeps the rounding inside int.
constexpr long double kPixelLimit = 1e9L;

// Nearest integer, halves to even (the default rounding mode), clamped far off the map.
int RoundPixel(long double Value) {
  if (std::isnan(Value)) return -1;
  return static_cast<int>(std::nearbyint(std::clamp(Value, -kPixelLimit, kPixelLimit)));
}

}  // namespace

double MapLongitude(const TMapCorners& Corners, double Lon) {
  return Corners.LonMax > 180 && Lon < Corners.LonMin ? Lon + 360 : Lon;
}

void GeoToPixel(const TMapGeometry& Map, int& Y, int& X, double Lat, double Lon) {
  if (Map.MapH == 0 || Map.MapW == 0) {
    Y = -1;
    X = -1;
    return;
  }
  const TMapCorners& c = Map.Corners;
  Y = Map.MapH - RoundPixel(Map.MapH / (c.LatMax - c.LatMin) * (Lat - c.LatMin));
  X = RoundPixel(Map.MapW / (c.LonMax - c.LonMin) * (MapLongitude(c, Lon) - c.LonMin));
}

bool IsOnMap(const TMapGeometry& Map, int Y, int X) {
  return Y >= 0 && Y <= Map.MapH && X >= 0 && X <= Map.MapW;
}

void PixelToGeo(const TMapGeometry& Map, int Y, int X, double& Lat, double& Lon) {
  const TMapCorners& c = Map.Corners;
  Lat = static_cast<double>(c.LatMax - (c.LatMax - c.LatMin) / Map.MapH * Y);
  Lon = static_cast<double>(c.LonMin + (c.LonMax - c.LonMin) / Map.MapW * X);
  if (Lon > 180) Lon -= 360;
}

double MapScale(const TMapCorners& Corners, int MapW) {
  const long double width = Corners.LonMax - Corners.LonMin;
  if (width <= 0 || MapW <= 0) return -1;
  // Pixels stand at equal steps of longitude, so a parallel's km per pixel is its length
  // over the width. Of the map's parallels, the one nearest the equator is measured (the
  // lower edge north of it): at a pole the edge has no length.
  const long double parallel = std::clamp(0.0L, std::min(Corners.LatMin, Corners.LatMax),
                                          std::max(Corners.LatMin, Corners.LatMax));
  const double radians = static_cast<double>(parallel) * std::numbers::pi / 180;
  return static_cast<double>(width) * kKmPerDegree * std::cos(radians) / MapW;
}

TCursorTexts CursorTexts(double Lat, double Lon) {
  return {DegToLatText(Lat), DegToLonText(Lon), LatLonToMaidenhead(Lat, Lon)};
}

double RangeMiles(const std::string& PhgText) {
  if (PhgText.size() != 7) return -1;
  const std::string kind = PhgText.substr(0, 3);
  const std::string digits = PhgText.substr(3);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  if (kind == "RNG") return StrToInt(digits);
  if (kind != "PHG") return -1;
  const double power = std::pow(digits[0] - '0', 2);
  const double height = 10 * std::pow(2.0, digits[1] - '0');
  const double gain = std::pow(10.0, (digits[2] - '0') / 10.0);
  return std::sqrt(2 * height * std::sqrt(power / 10 * gain / 2));
}

int RangeCircleSize(const std::string& PhgText, double Scale) {
  const double range = RangeMiles(PhgText);
  if (Scale <= 0 || range <= 0) return 1;
  return RoundPixel(range * kKmPerMile / Scale);
}

bool IsNearCursor(const TMapGeometry& Map, int PlaceY, int PlaceX, int CursorY, int CursorX) {
  const int left = std::max(CursorX - kPickBox, 0);
  const int right = std::min(CursorX + kPickBox, Map.MapW);
  const int top = std::max(CursorY - kPickBox, 0);
  const int bottom = std::min(CursorY + kPickBox, Map.MapH);
  return PlaceX > left && PlaceX < right && PlaceY > top && PlaceY < bottom;
}
