// Test helpers for NMEA: sentences built with a checksum computed here, independently
// of the decoder (so a test line is correct unless the test spoils it on purpose), and
// recorded receiver logs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/text/string_list.h"

inline std::string Nmea(const std::string& Body) {
  unsigned sum = 0;
  for (char c : Body) sum ^= static_cast<unsigned char>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum);
  return "$" + Body + "*" + digits;
}

// A recorded receiver log in the test data, and its lines.
inline std::string LogPath(const char* Name) {
  return std::string(VELMORA_TEST_DATA) + "/devices/" + Name;
}

inline std::vector<std::string> LogLines(const char* Name) {
  TStringList lines;
  lines.LoadFromFile(LogPath(Name));
  std::vector<std::string> result;
  for (int i = 0; i < lines.Count(); ++i) result.push_back(lines[i]);
  return result;
}
