#include "core/locator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <utility>

#include "core/aprs_position.h"
#include "platform/text/ascii.h"

namespace {

constexpr double kDegToRad = std::numbers::pi / 180;

int LetterIndex(char c) {
  return (c & ~0x20) - 'A';
}  // either case
bool IsLetterIn(char c, char last) {
  char upper = static_cast<char>(c & ~0x20);
  return IsAsciiLetter(c) && upper >= 'A' && upper <= last;
}
bool IsDigitIn(char c, char last) {
  return c >= '0' && c <= last;
}

// QRA zone bases (longitude, latitude) for zones 1 to 4.
constexpr std::array<std::array<double, 2>, 4> kQraZoneBase = {
    {{-52, 40}, {0, 40}, {-52, 14}, {0, 14}}};

struct TQraNinth {
  char Letter;
  int LonThirtieths;
  int LatFortyEighths;
};
// Centres of the 3 x 3 ninths: H A B on top, G J C in the middle, F E D below.
constexpr std::array<TQraNinth, 9> kQraNinths = {{{'A', 3, -1},
                                                  {'B', 5, -1},
                                                  {'C', 5, -3},
                                                  {'D', 5, -5},
                                                  {'E', 3, -5},
                                                  {'F', 1, -5},
                                                  {'G', 1, -3},
                                                  {'H', 1, -1},
                                                  {'J', 3, -3}}};

const TQraNinth* FindNinth(char c) {
  char upper = static_cast<char>(c & ~0x20);
  for (const TQraNinth& ninth : kQraNinths) {
    if (IsAsciiLetter(c) && ninth.Letter == upper) return &ninth;
  }
  return nullptr;
}

constexpr std::array<const char*, 10> kCoordShapes = {
    "VZ:Z:Z/VZ:Z:Z", "VZ:Z:Z/VZ:Z", "VZ:Z:Z/VZ", "VZ:Z/VZ:Z:Z", "VZ:Z/VZ:Z",
    "VZ:Z/VZ",       "VZ/VZ:Z:Z",   "VZ/VZ:Z",   "VZ/VZ",       "VZ.Z/VZ.Z"};
constexpr size_t kMaxCoordText = 20;

}  // namespace

double SinDeg(double X) {
  return std::sin(X * kDegToRad);
}
double CosDeg(double X) {
  return std::cos(X * kDegToRad);
}

double ArcCosDeg(double X) {
  if (X >= 1) return 0;
  if (X <= -1) return 180;
  return (std::numbers::pi / 2 - std::atan(X / std::sqrt(1 - X * X))) / kDegToRad;
}

void DistanceBearing(double& Distance, double& Bearing, double Lon1, double Lat1, double Lon2,
                     double Lat2) {
  const double cos_c =
      SinDeg(Lat1) * SinDeg(Lat2) + CosDeg(Lat1) * CosDeg(Lat2) * CosDeg(Lon2 - Lon1);
  const double c = ArcCosDeg(cos_c);
  Distance = c * kKmPerDegree;
  const double divisor = SinDeg(c) * CosDeg(Lat1);
  if (c == 0 || std::fabs(divisor) < 1e-12) {
    // No initial direction is defined; setting off from the north pole goes south.
    Bearing = (c != 0 && Lat1 > 0) ? 180 : 0;
    return;
  }
  const double b = ArcCosDeg((SinDeg(Lat2) - cos_c * SinDeg(Lat1)) / divisor);
  Bearing = SinDeg(Lon2 - Lon1) >= 0 ? b : 360 - b;
}

bool IsMaidenhead(std::string_view S) {
  return S.size() == 6 && IsLetterIn(S[0], 'R') && IsLetterIn(S[1], 'R') && IsDigitIn(S[2], '9') &&
         IsDigitIn(S[3], '9') && IsLetterIn(S[4], 'X') && IsLetterIn(S[5], 'X');
}

bool IsQraLocator(std::string_view S) {
  if (S.size() != 5 && S.size() != 7) return false;
  if (!IsLetterIn(S[0], 'Z') || !IsLetterIn(S[1], 'Z') || !IsDigitIn(S[2], '8') ||
      !IsDigitIn(S[3], '9') || FindNinth(S[4]) == nullptr) {
    return false;
  }
  const int square = (S[2] - '0') * 10 + (S[3] - '0');
  if (square == 0 || square > 80) return false;
  return S.size() == 5 || (S[5] == '/' && S[6] >= '1' && S[6] <= '4');
}

bool MaidenheadToLatLon(std::string_view S, double& Lon, double& Lat) {
  if (!IsMaidenhead(S)) return false;
  Lon = 20.0 * LetterIndex(S[0]) - 180 + 2.0 * (S[2] - '0') + LetterIndex(S[4]) / 12.0 + 1 / 24.0;
  Lat = 10.0 * LetterIndex(S[1]) - 90 + (S[3] - '0') + LetterIndex(S[5]) / 24.0 + 1 / 48.0;
  return true;
}

bool QraToLatLon(std::string_view S, double& Lon, double& Lat) {
  if (!IsQraLocator(S)) return false;
  const int zone = S.size() == 7 ? S[6] - '0' : 2;
  const auto& base = kQraZoneBase[zone - 1];
  const TQraNinth& ninth = *FindNinth(S[4]);
  const int row = S[2] - '0';
  const int column = S[3] - '0';
  Lon = base[0] + 2.0 * LetterIndex(S[0]) + (column - 1) * 0.2 + ninth.LonThirtieths / 30.0;
  Lat = LetterIndex(S[1]) + 1 + base[1] - 0.125 * row + ninth.LatFortyEighths / 48.0;
  if (column == 0) {
    // Column 0 is column 10 of the row above.
    Lon += 2;
    Lat += 0.125;
  }
  return true;
}

double ParseCoordPart(std::string_view S) {
  return DmsToDeg(S);
}

void ParseCoordText(std::string_view S, double& Lon, double& Lat, bool& Ok) {
  Ok = false;
  if (S.size() > kMaxCoordText) return;
  std::string shape;
  for (char c : S) {
    if (c == '+' || c == '-') {
      shape += 'V';
    } else if (c == '/' || c == ':' || c == '.') {
      shape += c;
    } else if (IsAsciiDigit(c)) {
      if (shape.empty() || shape.back() != 'Z') shape += 'Z';
    } else {
      shape += '?';
    }
  }
  if (!shape.empty() && shape.front() == 'Z') shape.insert(0, 1, 'V');
  size_t slash = shape.find('/');
  if (slash != std::string::npos && slash + 1 < shape.size() && shape[slash + 1] == 'Z') {
    shape.insert(slash + 1, 1, 'V');
  }
  if (std::find(kCoordShapes.begin(), kCoordShapes.end(), shape) == kCoordShapes.end()) return;
  size_t text_slash = S.find('/');
  const double lon = ParseCoordPart(S.substr(0, text_slash));
  const double lat = ParseCoordPart(S.substr(text_slash + 1));
  if (std::fabs(lat) >= 90 || std::fabs(lon) > 180) return;
  Lon = lon;
  Lat = lat;
  Ok = true;
}

namespace {

bool QthToLonLat(std::string_view Qth, double& Lon, double& Lat) {
  const char first = Qth.front();
  if (first == '+' || first == '-' || IsAsciiDigit(first)) {
    bool ok = false;
    ParseCoordText(Qth, Lon, Lat, ok);
    return ok;
  }
  if (Qth.size() == 5 || Qth.size() == 7) return QraToLatLon(Qth, Lon, Lat);
  if (Qth.size() == 6) return MaidenheadToLatLon(Qth, Lon, Lat);
  return false;
}

}  // namespace

void QthDistanceBearing(std::string_view Qth1, std::string_view Qth2, double& Distance, bool& Ok,
                        double& Bearing) {
  TQthOrigin(std::string(Qth1)).DistanceBearing(Qth2, Distance, Ok, Bearing);
}

TQthOrigin::TQthOrigin(std::string Qth) : qth_(std::move(Qth)) {
  readable_ = !qth_.empty() && QthToLonLat(qth_, lon_, lat_);
}

void TQthOrigin::DistanceBearing(std::string_view Qth2, double& Distance, bool& Ok,
                                 double& Bearing) const {
  Distance = 0;
  Bearing = -1;
  double lon2 = 0, lat2 = 0;
  Ok = readable_ && !Qth2.empty() && qth_ != Qth2 && QthToLonLat(Qth2, lon2, lat2);
  if (Ok) ::DistanceBearing(Distance, Bearing, lon_, lat_, lon2, lat2);
}

std::string LatLonToMaidenhead(double Lat, double Lon) {
  std::string locator(6, ' ');
  auto place = [&](double value, double field_size, double square_size, double subsquare_factor,
                   size_t first) {
    int field = std::clamp(static_cast<int>(std::trunc(value / field_size)), 0, 17);
    value -= field * field_size;
    int square = std::clamp(static_cast<int>(std::trunc(value / square_size)), 0, 9);
    value -= square * square_size;
    int subsquare = std::clamp(static_cast<int>(std::trunc(subsquare_factor * value)), 0, 23);
    locator[first] = static_cast<char>('A' + field);
    locator[first + 2] = static_cast<char>('0' + square);
    locator[first + 4] = static_cast<char>('A' + subsquare);
  };
  place(Lon + 180, 20, 2, 12, 0);
  place(Lat + 90, 10, 1, 24, 1);
  return locator;
}

namespace {

// |value| as "%.0f" writes it. The parts here are whole numbers, written without printf:
// the station list asks for two texts for every station it shows.
void AppendWhole(std::string& text, double value) {
  const double whole = std::fabs(value);
  if (whole < 1e15 && whole == std::trunc(whole)) {
    char digits[24];
    const char* end =
        std::to_chars(digits, digits + sizeof digits, static_cast<long long>(whole)).ptr;
    text.append(digits, static_cast<size_t>(end - digits));
    return;
  }
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.0f", whole);
  text += digits;
}

}  // namespace

// Counted in doubles: a value beyond any integer (a damaged record's 1e308) is written
// whole, and then too long a text for a coordinate to be read back.
std::string LatLonToText(double Lon, double Lat) {
  std::string text;
  text.reserve(32);
  auto part = [&text](double v) {
    const double sign = v >= 0 ? 1 : -1;
    double degrees = std::trunc(v);
    v = (v - degrees) * 60;
    double minutes = std::trunc(v);
    v = (v - minutes) * 60;
    double seconds = std::trunc(v + 0.5 * sign);
    if (std::fabs(seconds) == 60) {
      seconds = 0;
      minutes += sign;
    }
    if (std::fabs(minutes) == 60) {
      minutes = 0;
      degrees += sign;
    }
    text += sign < 0 ? '-' : '+';
    AppendWhole(text, degrees);
    text += ':';
    AppendWhole(text, minutes);
    text += ':';
    AppendWhole(text, seconds);
  };
  part(Lon);
  text += '/';
  part(Lat);
  return text;
}
