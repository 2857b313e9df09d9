// The information field of an APRS packet, read by its data type character the way
// the packet dispatcher reads it (APRS Protocol Reference 1.0.1, chapters 5 to 11):
//   "!4903.50N/07201.75W-Test"            plain position, no time stamp
//   "/092345z/5L!!<*e7>7P["                compressed position with time stamp
//   ";LEADER   *092345z4903.50N/07201.75W>088/036"   object
//   ")AID #2!4903.50N/07201.75WA"          item
//   "`c51!f?>/]\"3x}="  (destination T2SP0W)          Mic-E
// Positions come out as decimal degrees, speed in knots, course in degrees, range in
// miles, altitude in feet. Pure functions; malformed fields give no position, never a
// read past the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class TAprsDataKind { Other, Position, Object, Item, MicE, Status, PositionlessWeather };

struct TAprsData {
  TAprsDataKind Kind = TAprsDataKind::Other;
  // 'A' plain, 'C' compressed, 'E' Mic-E, or ']' / '>' for Mic-E whose comment began
  // with that character; '?' without a position.
  char PosFormat = '?';
  bool HasPosition = false;
  double Lat = 0;
  double Lon = 0;
  std::string Name;      // object or item name, trimmed
  char ObjState = '?';   // objects '*' / '_', items '!' / '_'
  std::string AprsTime;  // the 7-character time stamp as received
  char SymTable = '\0';
  char SymCode = '\0';
  std::string Comment;
  uint8_t MicEMsg = 0;
  int Course = -1;         // degrees, -1 absent
  double SpeedKnots = -1;  // -1 absent
  double RangeMiles = -1;  // -1 absent
  int AltitudeFeet = -1;   // -1 absent
};

// Decodes Data (the information field, data type character first); DestCall is the
// AX.25 destination, which carries the Mic-E latitude.
TAprsData DecodeAprsData(std::string_view DestCall, std::string_view Data);
// The 13-character compressed block "/5L!!<*e7>7P[": symbol, position, and course and
// speed, range or altitude as its compression type byte says; nothing is set for a
// shorter block.
void DecodeCompressedBlock(std::string_view Block, TAprsData& Info);
// At least 7 characters, the fourth "/", the others digits, blanks or ".": "088/036".
bool IsCourseSpeed(std::string_view S);
// Takes the altitude "/A=001234", a leading course/speed group and, when neither was
// there, a leading Mic-E altitude "\"3x}" out of Comment (units as above).
void ParseStationComment(std::string& Comment, int& Course, double& SpeedKnots, int& AltitudeFeet);
