// Building NMEA sentences for the tests: the checksum is computed here, independently
// of the decoder, so a test line is correct unless the test spoils it on purpose.
#pragma once

#include <cstdio>
#include <string>

inline std::string Nmea(const std::string& Body) {
  unsigned sum = 0;
  for (char c : Body) sum ^= static_cast<unsigned char>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum);
  return "$" + Body + "*" + digits;
}
