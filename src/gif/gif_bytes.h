// Little-endian fields inside the fixed-size blocks of the file.
#pragma once

#include <cstdint>

inline std::uint16_t GetWord(const std::uint8_t* Bytes) {
  return static_cast<std::uint16_t>(Bytes[0] | (Bytes[1] << 8));
}
inline std::uint32_t GetLong(const std::uint8_t* Bytes) {
  return GetWord(Bytes) | (static_cast<std::uint32_t>(GetWord(Bytes + 2)) << 16);
}
inline void PutWord(std::uint8_t* Bytes, std::uint16_t Value) {
  Bytes[0] = static_cast<std::uint8_t>(Value);
  Bytes[1] = static_cast<std::uint8_t>(Value >> 8);
}
inline void PutLong(std::uint8_t* Bytes, std::uint32_t Value) {
  PutWord(Bytes, static_cast<std::uint16_t>(Value));
  PutWord(Bytes + 2, static_cast<std::uint16_t>(Value >> 16));
}
