// Reading the weather stations' nibble-coded numbers.
//
// The stations send readings as 4-bit digits spread over bytes, most significant first
// in the order the protocol lists them. A "decimal" value writes each nibble as a
// decimal number and reads the digits as one number, so nibbles 1 2 5 give 125 and a
// nibble above 9 (a station's filler) gives two digits: 1 10 gives 110. A "hex" value
// reads the nibbles as hexadecimal digits: 1 10 3 gives 0x1A3 = 419.
#pragma once

#include <cstdint>
#include <initializer_list>

inline std::uint8_t Hi(std::uint8_t B) {
  return B >> 4;
}
inline std::uint8_t Lo(std::uint8_t B) {
  return B & 0x0F;
}

inline std::int64_t DecimalNibbles(std::initializer_list<std::uint8_t> Nibbles) {
  std::int64_t value = 0;
  for (std::uint8_t n : Nibbles) value = value * (n > 9 ? 100 : 10) + n;
  return value;
}

inline std::int64_t HexNibbles(std::initializer_list<std::uint8_t> Nibbles) {
  std::int64_t value = 0;
  for (std::uint8_t n : Nibbles) value = value * 16 + n;
  return value;
}

// True when every nibble is a decimal digit.
inline bool AllDecimal(std::initializer_list<std::uint8_t> Nibbles) {
  for (std::uint8_t n : Nibbles) {
    if (n > 9) return false;
  }
  return true;
}
