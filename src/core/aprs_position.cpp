#include "core/aprs_position.h"

#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr char kDegreeSign = '\xB0';  // Windows-1252
constexpr int kBase91Offset = 33;
constexpr double kLatUnitsPerDegree = 380926;  // 91^4 / 180, rounded as the protocol does
constexpr double kLonUnitsPerDegree = 190463;  // 91^4 / 360
constexpr std::array<int, 4> kBase91Weights = {753571, 8281, 91, 1};
// Beyond this a degree value is no position, and its minutes would not fit the text.
constexpr double kLargestDegrees = 1e9;

// Copy with 1-based Index as the string routines of the program use it: characters
// past the end are simply not there.
std::string_view Copy1(std::string_view s, size_t index, size_t count) {
  if (index < 1 || index > s.size()) return {};
  return s.substr(index - 1, count);
}

// Halves to the even neighbour, as the protocol's encoders round.
double RoundHalfEven(double v) {
  return std::nearbyint(v);
}

// A decimal number written with the given separator (optional sign, digits, optional
// fraction and exponent, blanks around it); nullopt for anything else. Unlike the
// program's float reader it takes the separator the position text uses.
std::optional<double> ParseDecimal(std::string_view S, char Separator) {
  const std::string trimmed = Trim(S);
  S = trimmed;
  std::string text;
  text.reserve(S.size());
  size_t i = 0;
  if (i < S.size() && (S[i] == '+' || S[i] == '-')) {
    if (S[i] == '-') text += '-';
    ++i;
  }
  bool digits = false;
  while (i < S.size() && IsAsciiDigit(S[i])) text += S[i++], digits = true;
  if (i < S.size() && S[i] == Separator) {
    text += '.';
    ++i;
    while (i < S.size() && IsAsciiDigit(S[i])) text += S[i++], digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
    text += 'e';
    ++i;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) text += S[i++];
    bool exponent_digits = false;
    while (i < S.size() && IsAsciiDigit(S[i])) text += S[i++], exponent_digits = true;
    if (!exponent_digits) return std::nullopt;
  }
  if (i != S.size()) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

double DmsToDeg(std::string_view S) {
  const double sign = (!S.empty() && S.front() == '-') ? -1 : 1;
  double result = 0;
  double divisor = 1;
  size_t start = 0;
  for (int part = 0;; ++part) {
    size_t colon = S.find(':', start);
    std::string_view text =
        S.substr(start, colon == std::string_view::npos ? S.npos : colon - start);
    std::optional<double> value = ParseDecimal(text, '.');
    if (!value) return 0;
    if (part == 0) {
      result = *value;
    } else {
      divisor *= 60;
      result += sign * *value / divisor;
    }
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return result;
}

double DmmToDeg(std::string_view S) {
  const std::string trimmed = Trim(S);
  S = trimmed;
  size_t colon = S.find(':');
  if (colon == std::string_view::npos) return 0;
  std::optional<double> degrees = ParseDecimal(S.substr(0, colon), DecimalSeparator);
  std::string minutes_text(S.substr(colon + 1));
  // Whatever stands after the two minute digits is the decimal point.
  if (minutes_text.size() >= 3) minutes_text[2] = DecimalSeparator;
  std::optional<double> minutes = ParseDecimal(minutes_text, DecimalSeparator);
  if (!degrees || !minutes) return 0;
  return S.front() == '-' ? *degrees - *minutes / 60 : *degrees + *minutes / 60;
}

std::string DegToDmm(double Deg) {
  // Hundredths of a minute of the magnitude, with the carry into the degrees made.
  if (!std::isfinite(Deg) || std::fabs(Deg) > kLargestDegrees) Deg = 0;
  const bool negative = std::signbit(Deg) && Deg != 0;
  double magnitude = std::fabs(Deg);
  long long hundredths = std::llround(magnitude * 6000);
  long long degrees = hundredths / 6000;
  long long minute_hundredths = hundredths % 6000;
  char text[48];
  std::snprintf(text, sizeof text, "%s%lld:%02lld.%02lld", negative && hundredths != 0 ? "-" : "",
                degrees, minute_hundredths / 100, minute_hundredths % 100);
  return text;
}

namespace {

std::string DisplayText(double Deg, size_t width, char positive, char negative) {
  std::string s = DegToDmm(Deg);
  size_t colon = s.find(':');
  s.replace(colon, 1, 1, kDegreeSign);
  if (!s.empty() && s.front() == '-') {
    s.erase(0, 1);
    s += ' ';
    s += negative;
  } else {
    s += ' ';
    s += positive;
  }
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

}  // namespace

std::string DegToLatText(double Deg) {
  return DisplayText(Deg, 10, 'N', 'S');
}
std::string DegToLonText(double Deg) {
  return DisplayText(Deg, 11, 'E', 'W');
}

void SplitLatLon(std::string_view Text, std::string& Lat, std::string& Lon) {
  size_t slash = Text.find('/');
  std::string_view lat = Text.substr(0, slash);
  std::string_view lon =
      slash == std::string_view::npos ? std::string_view() : Text.substr(slash + 1);
  auto hemisphere_sign = [](std::string_view part, char negative) {
    return (!part.empty() && (part.back() & ~0x20) == negative) ? "-" : "";
  };
  Lat = std::string(hemisphere_sign(lat, 'S')) + std::string(Copy1(lat, 1, 2)) + ":" +
        std::string(Copy1(lat, 3, 2)) + ":" + std::string(Copy1(lat, 6, 2));
  Lon = std::string(hemisphere_sign(lon, 'W')) + std::string(Copy1(lon, 1, 3)) + ":" +
        std::string(Copy1(lon, 4, 2)) + ":" + std::string(Copy1(lon, 7, 2));
}

bool ParseLatLon(std::string_view Text, double& Lat, double& Lon) {
  if (Text.size() < 17) return false;
  const char lat_mark = Text[5];
  const char lon_mark = Text[16];
  const bool decimal_minutes = lat_mark == '.' && lon_mark == '.';
  const bool seconds = lat_mark == ':' && lon_mark == ':';
  if (!decimal_minutes && !seconds) return false;
  std::string aprs(Text);
  aprs.erase(2, 1);   // the ":" of the latitude
  aprs.erase(12, 1);  // the ":" of the longitude, counted after the first is gone
  std::string lat, lon;
  SplitLatLon(aprs, lat, lon);
  Lat = decimal_minutes ? DmmToDeg(lat) : DmsToDeg(lat);
  Lon = decimal_minutes ? DmmToDeg(lon) : DmsToDeg(lon);
  return true;
}

namespace {

// One half of a typed position, "9.3.5N" with Width 2, to "09:03.50N"; empty when
// it lacks the letter or either ".".
std::string NormalizeHalf(std::string half, size_t Width) {
  if (half.size() < 2) return {};
  const char letter = half.back();
  half.pop_back();
  size_t first_dot = half.find('.');
  if (first_dot == std::string::npos) return {};
  half[first_dot] = ':';
  if (half.find('.', first_dot + 1) == std::string::npos) return {};
  // Degrees right-aligned to Width digits: the ":" at Width + 1 (1-based).
  size_t colon = half.find(':');
  if (colon > Width) {
    half.erase(0, colon - Width);
  } else {
    half.insert(0, Width - colon, '0');
  }
  // Two minute digits: the "." at Width + 4 (1-based).
  size_t dot = half.find('.');
  const size_t wanted_dot = Width + 3;
  if (dot > wanted_dot) {
    half.erase(Width + 1, dot - wanted_dot);
  } else {
    half.insert(Width + 1, wanted_dot - dot, '0');
  }
  half.resize(Width + 6, '0');
  half += letter;
  return half;
}

}  // namespace

std::string NormalizePosText(std::string_view Text) {
  size_t east_west = Text.find('E');
  if (east_west == std::string_view::npos) east_west = Text.find('W');
  size_t north_south = Text.find('N');
  if (north_south == std::string_view::npos) north_south = Text.find('S');
  size_t comma = Text.find(',');
  if (east_west == std::string_view::npos || north_south == std::string_view::npos ||
      comma == std::string_view::npos) {
    return {};
  }
  std::string first(Trim(Text.substr(0, comma)));
  std::string second(Trim(Text.substr(comma + 1)));
  const bool latitude_first = north_south < east_west;
  std::string lat = NormalizeHalf(latitude_first ? first : second, 2);
  std::string lon = NormalizeHalf(latitude_first ? second : first, 3);
  if (lat.empty() || lon.empty()) return {};
  return lat + "/" + lon;
}

bool OnGlobe(double Lat, double Lon) {
  return std::isfinite(Lat) && std::isfinite(Lon) && std::fabs(Lat) <= 90 && std::fabs(Lon) <= 180;
}

std::optional<TGeoPoint> DecodeCompressedDeg(std::string_view S) {
  if (S.size() < 8) return std::nullopt;
  constexpr int kBase91Digits = 91;
  bool digits_ok = true;
  auto base91 = [&](size_t first) {
    long value = 0;
    for (size_t i = 0; i < 4; ++i) {
      const int digit = static_cast<uint8_t>(S[first + i]) - kBase91Offset;
      if (digit < 0 || digit >= kBase91Digits) digits_ok = false;
      value += static_cast<long>(digit) * kBase91Weights[i];
    }
    return static_cast<double>(value);
  };
  const TGeoPoint point{90 - base91(0) / kLatUnitsPerDegree, -180 + base91(4) / kLonUnitsPerDegree};
  if (!digits_ok || !OnGlobe(point.Lat, point.Lon)) return std::nullopt;
  return point;
}

bool DecodeCompressedPos(std::string_view S, std::string& Lat, std::string& Lon) {
  std::optional<TGeoPoint> point = DecodeCompressedDeg(S);
  if (!point) return false;
  Lat = FloatToStr(point->Lat);
  Lon = FloatToStr(point->Lon);
  return true;
}

std::string EncodeCompressedPos(std::string_view Lat, std::string_view Lon) {
  auto read = [](std::string_view text) -> std::optional<double> {
    std::string s = Trim(text);
    if (s.empty()) return 0.0;
    for (char& c : s) {
      if (c == '.') c = ',';
    }
    return ParseDecimal(s, ',');
  };
  std::optional<double> lat = read(Lat);
  std::optional<double> lon = read(Lon);
  if (!lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180) return {};
  std::string result;
  for (double units : {RoundHalfEven((90 - *lat) * kLatUnitsPerDegree),
                       RoundHalfEven((*lon + 180) * kLonUnitsPerDegree)}) {
    long value = static_cast<long>(units);
    for (int weight : kBase91Weights) {
      result += static_cast<char>(value / weight + kBase91Offset);
      value %= weight;
    }
  }
  return result;
}

std::string CompassName(int Bearing) {
  static constexpr std::array<const char*, 17> kPoints = {"N",  "NNE", "NE", "ENE", "E",  "ESE",
                                                          "SE", "SSE", "S",  "SSW", "SW", "WSW",
                                                          "W",  "WNW", "NW", "NNW", "N"};
  double k = RoundHalfEven(Bearing / 22.5);
  if (k < 0 || k > 16) return {};
  return kPoints[static_cast<size_t>(k)];
}

namespace {

// Zeroes the last Digits minute digits of a display text whose minute digits stand
// at the given 0-based positions (least significant first), then reads it back.
double Ambiguate(int Digits, std::string text, const std::array<size_t, 4>& minute_digits,
                 size_t kept, char negative) {
  if (Digits > 4) Digits = 4;
  for (int i = 0; i < Digits; ++i) text[minute_digits[i]] = '0';
  const bool is_negative = text.back() == negative;
  text.replace(text.find(kDegreeSign), 1, 1, ':');
  text.resize(kept);
  if (is_negative) text.insert(0, 1, '-');
  return DmmToDeg(text);
}

}  // namespace

double AmbiguateLat(int Digits, double Deg) {
  return Ambiguate(Digits, DegToLatText(Deg), {7, 6, 4, 3}, 8, 'S');
}

double AmbiguateLon(int Digits, double Deg) {
  return Ambiguate(Digits, DegToLonText(Deg), {8, 7, 5, 4}, 9, 'W');
}
