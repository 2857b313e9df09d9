// The Version text of the HTML components: the four bytes of a packed number, most
// significant first, as "major.minor.release.build".
#pragma once

#include <cstdint>
#include <string>

inline std::string ComponentVersion(std::uint32_t Packed) {
  return std::to_string(Packed >> 24) + "." + std::to_string((Packed >> 16) & 0xFF) + "." +
         std::to_string((Packed >> 8) & 0xFF) + "." + std::to_string(Packed & 0xFF);
}
