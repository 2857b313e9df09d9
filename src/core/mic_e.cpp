#include "core/mic_e.h"

#include <cmath>
#include <cstdio>

namespace {

// Every Mic-E byte carries its value plus 28 (information field) or 33 (base 91).
constexpr uint8_t kMicEByteOffset = 28;
constexpr uint8_t kBase91Offset = 33;
constexpr int kAltitudeBaseMetres = 10000;
constexpr double kMetresPerFoot = 0.3048;

bool InRange(char c, char first, char last) {
  return c >= first && c <= last;
}

// Characters of the destination that carry the northern / 100-degree / western flag.
bool IsFlagCharacter(char C) {
  return InRange(C, 'P', 'Z');
}
bool IsClearFlagCharacter(char C) {
  return InRange(C, '0', '9') || C == 'L';
}

uint8_t MicEByte(char c) {
  return static_cast<uint8_t>(static_cast<uint8_t>(c) - kMicEByteOffset);
}

}  // namespace

char MicEDigit(char C) {
  if (InRange(C, '0', '9')) return C;
  if (InRange(C, 'A', 'J')) return static_cast<char>('0' + (C - 'A'));
  if (InRange(C, 'P', 'Y')) return static_cast<char>('0' + (C - 'P'));
  if (C == 'K' || C == 'L' || C == 'Z') return ' ';
  return '\0';
}

std::optional<std::string> MicELatitude(std::string_view Dest) {
  if (Dest.size() < 6) return std::nullopt;
  std::string lat;
  for (size_t i = 0; i < 6; ++i) {
    if (i == 4) lat += '.';
    lat += MicEDigit(Dest[i]);
  }
  return lat;
}

char MicEMsgBit(char C, bool& Custom) {
  if (InRange(C, 'A', 'K')) {
    Custom = true;
    return '1';
  }
  if (InRange(C, '0', '9') || C == 'L') return '0';
  if (IsFlagCharacter(C)) return '1';
  return '\0';
}

uint8_t MicEMessageCode(std::string_view Dest) {
  bool custom = false;
  std::string bits;
  for (size_t i = 0; i < 3; ++i) bits += MicEMsgBit(i < Dest.size() ? Dest[i] : '\0', custom);
  static constexpr const char* kBitsByCode[] = {"",    "111", "110", "101",
                                                "100", "011", "010", "001"};
  uint8_t code = 0;
  if (bits == "000") {
    code = kMicEEmergency;
  } else {
    for (uint8_t i = 1; i < 8; ++i) {
      if (bits == kBitsByCode[i]) code = i;
    }
  }
  if (custom && code <= 7) code += kMicECustomOffset;
  return code;
}

char MicENorthSouth(char C) {
  if (IsFlagCharacter(C)) return 'N';
  if (IsClearFlagCharacter(C)) return 'S';
  return '\0';
}

char MicEEastWest(char C) {
  if (IsFlagCharacter(C)) return 'W';
  if (IsClearFlagCharacter(C)) return 'E';
  return '\0';
}

uint8_t MicELonOffset(char C) {
  return IsFlagCharacter(C) ? 100 : 0;
}

std::optional<std::string> MicELongitude(std::string_view Info, uint8_t LonOffset) {
  if (Info.size() < 3) return std::nullopt;
  auto degrees = static_cast<uint8_t>(MicEByte(Info[0]) + LonOffset);
  if (degrees >= 180 && degrees <= 189) {
    degrees -= 80;
  } else if (degrees >= 190 && degrees <= 199) {
    degrees -= 190;
  }
  uint8_t minutes = MicEByte(Info[1]);
  if (minutes >= 60) minutes -= 60;
  uint8_t hundredths = MicEByte(Info[2]);
  if (degrees > 179 || minutes > 59 || hundredths > 99) return std::nullopt;
  char text[16];
  std::snprintf(text, sizeof text, "%03u%02u.%02u", degrees, minutes, hundredths);
  return std::string(text);
}

void MicESpeedCourse(std::string_view Info, double& SpeedKnots, int& CourseDeg) {
  SpeedKnots = 0;
  CourseDeg = 0;
  if (Info.size() < 6) return;
  uint8_t speed_tens = MicEByte(Info[3]);
  const uint8_t units_and_course_hundreds = MicEByte(Info[4]);
  const uint8_t course_units = MicEByte(Info[5]);
  if (speed_tens >= 80) speed_tens -= 80;
  int speed = speed_tens * 10 + units_and_course_hundreds / 10;
  if (speed >= 800) speed -= 800;
  int course = (units_and_course_hundreds % 10) * 100 + course_units;
  if (course >= 400) course -= 400;
  SpeedKnots = speed;
  CourseDeg = course;
}

std::optional<int> Base91Altitude(std::string_view S) {
  if (S.size() < 3) return std::nullopt;
  auto digit = [&](size_t i) {
    return static_cast<int>(static_cast<uint8_t>(static_cast<uint8_t>(S[i]) - kBase91Offset));
  };
  const int metres = digit(0) * 8281 + digit(1) * 91 + digit(2) - kAltitudeBaseMetres;
  return static_cast<int>(std::nearbyint(metres / kMetresPerFoot));
}
