// Mic-E: the compact APRS position format (APRS Protocol Reference 1.0.1, chapter 10).
//
// The latitude, the message bits and the N/S, longitude-offset and E/W flags travel
// in the six characters of the AX.25 destination ("T2SP0W" = 42 30.70 N, message
// "In Service"); longitude, speed and course in the information field bytes after
// the data type character ("c51!f?" = 071 25.21 W, 57 knots, course 35).
// Callers pass the information field WITHOUT its data type character. Every routine
// is pure and bounded: short input gives nullopt or zeros, never a read past the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Emergency: the message bits 000.
constexpr uint8_t kMicEEmergency = 20;
// Added to the code when a destination character carried a custom bit ("A"-"K").
constexpr uint8_t kMicECustomOffset = 10;

// Latitude digit of a destination character: '0'-'9', a blank for position
// ambiguity ("K", "L", "Z"), or '\0' for a character Mic-E does not use.
char MicEDigit(char C);
// "ddmm.mm" from destination characters 1 to 6 (blanks kept); nullopt when Dest is
// shorter than six characters.
std::optional<std::string> MicELatitude(std::string_view Dest);
// '1', '0' or '\0' for a destination character; sets Custom for "A" to "K" (never
// clears it).
char MicEMsgBit(char C, bool& Custom);
// 1-7 standard messages, 11-17 custom, 20 emergency, 0 or 10 when unusable.
uint8_t MicEMessageCode(std::string_view Dest);
// Destination character 4: 'N', 'S' or '\0'; character 6: 'W', 'E' or '\0'.
char MicENorthSouth(char C);
char MicEEastWest(char C);
// Destination character 5: 100 or 0 degrees added to the longitude.
uint8_t MicELonOffset(char C);
// "dddmm.hh" from information bytes 1 to 3; nullopt when Info is shorter or the bytes
// give degrees above 179, minutes above 59 or hundredths above 99 (such a text would
// not have the fixed width the position reader relies on).
std::optional<std::string> MicELongitude(std::string_view Info, uint8_t LonOffset);
// Speed in knots and course in degrees from information bytes 4 to 6; both 0 when
// Info is shorter than 6 characters.
void MicESpeedCourse(std::string_view Info, double& SpeedKnots, int& CourseDeg);
// Three base-91 characters of metres above -10000 to feet (rounded, halves to
// even); nullopt for fewer than 3 characters.
std::optional<int> Base91Altitude(std::string_view S);
