#include "core/aprs_data.h"

#include <cmath>

#include "core/aprs_position.h"
#include "core/mic_e.h"
#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

constexpr size_t kCompressedBlockLength = 13;
constexpr size_t kPositionTextLength = 18;
constexpr size_t kTimeStampLength = 7;
constexpr size_t kObjectNameLength = 9;
constexpr size_t kItemStateSearchEnd = 11;  // the state character stands within 2..11
constexpr int kBase91Offset = 33;
constexpr double kCompressedSpeedBase = 1.08;
constexpr double kCompressedAltitudeBase = 1.002;
constexpr int kBase91Radix = 91;
constexpr char kCompressedRangeMark = '{';
constexpr char kCompressedLastCourse = 'z';  // 89 x 4 = 356 degrees
// The compression type byte's NMEA source bits: a fix from a GGA sentence sends its
// altitude in the cs bytes, not course and speed.
constexpr int kNmeaSourceBits = 0x18;
constexpr int kNmeaSourceGga = 0x10;
// Mic-E data type characters: "'" (older data), "`" (current data), and 0x91, the
// Windows-1252 left quote, taken as Mic-E as well.
constexpr unsigned char kMicEOldData = 0x27;
constexpr unsigned char kMicECurrentData = 0x60;
constexpr unsigned char kMicECurrentDataAnsi = 0x91;

bool IsBase91Digit(int c) {
  return c >= kBase91Offset && c < kBase91Offset + kBase91Radix;
}

// 1-based access as the packet layouts are written: nothing beyond the end.
char At(std::string_view s, size_t position) {
  return position >= 1 && position <= s.size() ? s[position - 1] : '\0';
}
std::string_view Field(std::string_view s, size_t position, size_t count) {
  if (position < 1 || position > s.size()) return {};
  return s.substr(position - 1, count);
}
std::string_view FieldFrom(std::string_view s, size_t position) {
  return Field(s, position, s.npos);
}

// The plain-position test of one layout: long enough, the two minute points, the
// hemisphere letters where they belong (all positions 1-based).
bool IsPlainPosition(std::string_view data, size_t longer_than, size_t dot1, size_t dot2,
                     size_t north_south, size_t east_west) {
  return data.size() > longer_than && At(data, dot1) == '.' && At(data, dot2) == '.' &&
         (At(data, north_south) == 'N' || At(data, north_south) == 'S') &&
         (At(data, east_west) == 'E' || At(data, east_west) == 'W');
}

// "ddmm.mmN/dddmm.mmE" (blanks of position ambiguity read as zeros) to degrees.
bool DecodePositionText(std::string text, TAprsData& info) {
  if (text.size() != kPositionTextLength) return false;
  for (char& c : text) {
    if (c == ' ') c = '0';
  }
  std::string lat, lon;
  SplitLatLon(text, lat, lon);
  const double lat_deg = DmmToDeg(lat);
  const double lon_deg = DmmToDeg(lon);
  // Digits can say 99 degrees and 99 minutes; no station stands there.
  if (!OnGlobe(lat_deg, lon_deg)) return false;
  info.Lat = lat_deg;
  info.Lon = lon_deg;
  info.HasPosition = true;
  return true;
}

// A plain position of 18 characters at `position`: the table character stands in
// the middle of it.
void DecodePlain(std::string_view data, size_t position, size_t code, size_t comment,
                 TAprsData& info) {
  std::string text(Field(data, position, kPositionTextLength));
  info.PosFormat = 'A';
  info.SymTable = At(data, position + 8);
  info.SymCode = At(data, code);
  info.Comment = std::string(FieldFrom(data, comment));
  if (text.size() == kPositionTextLength) text[8] = '/';
  DecodePositionText(text, info);
}

void DecodeCompressed(std::string_view data, size_t block, TAprsData& info) {
  info.PosFormat = 'C';
  DecodeCompressedBlock(Field(data, block, kCompressedBlockLength), info);
  info.Comment = std::string(FieldFrom(data, block + kCompressedBlockLength));
}

void DecodeMicE(std::string_view dest, std::string_view data, TAprsData& info) {
  info.Kind = TAprsDataKind::MicE;
  info.MicEMsg = MicEMessageCode(dest);
  info.SymTable = At(data, 9);
  info.SymCode = At(data, 8);
  info.Comment = std::string(FieldFrom(data, 10));
  info.PosFormat = 'E';
  if (!info.Comment.empty() && (info.Comment[0] == ']' || info.Comment[0] == '>')) {
    info.PosFormat = info.Comment[0];
    info.Comment.erase(0, 1);
  }
  const std::string_view body = FieldFrom(data, 2);
  std::optional<std::string> lat = MicELatitude(dest);
  std::optional<std::string> lon =
      MicELongitude(body, dest.size() >= 5 ? MicELonOffset(dest[4]) : 0);
  if (!lat || !lon) return;
  const char north_south = MicENorthSouth(dest[3]);
  const char east_west = MicEEastWest(dest[5]);
  // A destination character Mic-E does not use makes the latitude meaningless.
  if (lat->find('\0') != std::string::npos || north_south == '\0' || east_west == '\0') return;
  if (DecodePositionText(*lat + north_south + "/" + *lon + east_west, info)) {
    MicESpeedCourse(body, info.SpeedKnots, info.Course);
  }
}

void DecodeItem(std::string_view data, TAprsData& info) {
  size_t state = data.find('!');
  if (state == std::string_view::npos || state + 1 > kItemStateSearchEnd) state = data.find('_');
  if (state == std::string_view::npos || state + 1 > kItemStateSearchEnd) return;
  const size_t p = state + 1;  // 1-based
  info.Kind = TAprsDataKind::Item;
  info.Name = Trim(Field(data, 2, p - 2));
  info.ObjState = data[state];
  if (IsPlainPosition(data, p + 18, p + 5, p + 15, p + 8, p + 18)) {
    DecodePlain(data, p + 1, p + 19, p + 20, info);
  } else {
    DecodeCompressed(data, p + 1, info);
  }
}

}  // namespace

TAprsData DecodeAprsData(std::string_view DestCall, std::string_view Data) {
  TAprsData info;
  if (Data.empty()) return info;
  switch (static_cast<unsigned char>(Data[0])) {
    case '!':
    case '=':
      info.Kind = TAprsDataKind::Position;
      if (IsPlainPosition(Data, 19, 6, 16, 9, 19)) {
        DecodePlain(Data, 2, 20, 21, info);
      } else {
        DecodeCompressed(Data, 2, info);
      }
      break;
    case '/':
    case '@':
      info.Kind = TAprsDataKind::Position;
      info.AprsTime = std::string(Field(Data, 2, kTimeStampLength));
      if (IsPlainPosition(Data, 26, 13, 23, 16, 26)) {
        DecodePlain(Data, 9, 27, 28, info);
      } else {
        DecodeCompressed(Data, 9, info);
      }
      break;
    case ';':
      info.Kind = TAprsDataKind::Object;
      info.Name = Trim(Field(Data, 2, kObjectNameLength));
      info.ObjState = At(Data, 11);
      info.AprsTime = std::string(Field(Data, 12, kTimeStampLength));
      if (IsPlainPosition(Data, 36, 23, 33, 26, 36)) {
        DecodePlain(Data, 19, 37, 38, info);
      } else {
        DecodeCompressed(Data, 19, info);
      }
      break;
    case ')':
      DecodeItem(Data, info);
      break;
    case kMicEOldData:
    case kMicECurrentData:
    case kMicECurrentDataAnsi:
      DecodeMicE(DestCall, Data, info);
      break;
    case '>':
      info.Kind = TAprsDataKind::Status;
      break;
    case '_':
      info.Kind = TAprsDataKind::PositionlessWeather;
      break;
    default:
      break;
  }
  return info;
}

namespace {

// A compressed position's table: the two tables, or an overlay as a capital letter or
// as 'a'..'j' for a digit. A digit there begins a plain position that is damaged (a
// longitude cut short), which the peers refuse; read as base-91 it would be a place far
// away.
bool IsCompressedTable(char Table) {
  return Table == '/' || Table == '\\' || (Table >= 'A' && Table <= 'Z') ||
         (Table >= 'a' && Table <= 'j');
}

}  // namespace

void DecodeCompressedBlock(std::string_view Block, TAprsData& Info) {
  if (Block.size() < kCompressedBlockLength || !IsCompressedTable(Block[0])) return;
  std::optional<TGeoPoint> point = DecodeCompressedDeg(Block.substr(1, 8));
  Info.SymTable = Block[0];
  Info.SymCode = Block[9];
  if (!point) return;
  Info.Lat = point->Lat;
  Info.Lon = point->Lon;
  Info.HasPosition = true;
  const int c = static_cast<unsigned char>(Block[10]);
  const int s = static_cast<unsigned char>(Block[11]);
  const int type = static_cast<unsigned char>(Block[12]) - kBase91Offset;
  if (c == ' ') return;
  if ((type & kNmeaSourceBits) == kNmeaSourceGga) {
    // Only base-91 digits: any other byte would make a height beyond any int.
    if (IsBase91Digit(c) && IsBase91Digit(s)) {
      const int cs = (c - kBase91Offset) * kBase91Radix + (s - kBase91Offset);
      Info.AltitudeFeet = static_cast<int>(std::nearbyint(std::pow(kCompressedAltitudeBase, cs)));
    }
  } else if (c == kCompressedRangeMark) {
    Info.RangeMiles = 2 * std::pow(kCompressedSpeedBase, s - kBase91Offset);
  } else if (c >= kBase91Offset && c <= kCompressedLastCourse) {
    Info.Course = (c - kBase91Offset) * 4;
    Info.SpeedKnots = std::pow(kCompressedSpeedBase, s - kBase91Offset) - 1;
  }
}

bool IsCourseSpeed(std::string_view S) {
  if (S.size() < 7 || S[3] != '/') return false;
  for (size_t i : {0, 1, 2, 4, 5, 6}) {
    const char c = S[i];
    if (!IsAsciiDigit(c) && c != ' ' && c != '.') return false;
  }
  return true;
}

void ParseStationComment(std::string& Comment, int& Course, double& SpeedKnots, int& AltitudeFeet) {
  const size_t altitude = Comment.find("/A=");
  const bool has_altitude_mark = altitude != std::string::npos;
  if (has_altitude_mark && Comment.size() >= altitude + 9) {
    const std::string_view digits = std::string_view(Comment).substr(altitude + 3, 6);
    bool all_digits = true;
    for (char c : digits) all_digits = all_digits && IsAsciiDigit(c);
    if (all_digits) {
      AltitudeFeet = std::stoi(std::string(digits));
      Comment.erase(altitude, 9);
    }
  }
  bool course_speed = false;
  if (IsCourseSpeed(Comment)) {
    std::string group = Comment.substr(0, 7);
    for (char& c : group) {
      if (c == ' ' || c == '.') c = '0';
    }
    Course = std::stoi(group.substr(0, 3));
    SpeedKnots = std::stoi(group.substr(4, 3));
    Comment.erase(0, 7);
    course_speed = true;
  }
  if (!has_altitude_mark && !course_speed && Comment.size() >= 4 && Comment[3] == '}') {
    AltitudeFeet = *Base91Altitude(Comment);
    Comment.erase(0, 4);
  }
}
