// WX-200 and WMR-918 frames for the tests, with their checksums computed here.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

// A WX-200 frame: group byte, the given bytes (by frame position, others 0), checksum
// at position Length - 1.
inline std::vector<std::uint8_t> Wx200Frame(std::uint8_t Group, int Length,
                                            const std::map<int, std::uint8_t>& Bytes) {
  std::vector<std::uint8_t> f(Length, 0);
  f[0] = Group;
  for (auto [i, b] : Bytes) f[i] = b;
  unsigned sum = 0;
  for (int i = 0; i < Length - 1; ++i) sum += f[i];
  f[Length - 1] = std::uint8_t(sum);
  return f;
}

// A WMR-918 frame as sent: FF FF type data checksum. Bytes are numbered as the stored
// frame counts them (f4 is the first data byte); ChecksumAt is that type's length.
inline std::vector<std::uint8_t> Wmr918Frame(std::uint8_t Type, int ChecksumAt,
                                             const std::map<int, std::uint8_t>& Bytes) {
  std::vector<std::uint8_t> stored(ChecksumAt + 1, 0);
  stored[1] = stored[2] = 0xFF;
  stored[3] = Type;
  for (auto [i, b] : Bytes) stored[i] = b;
  unsigned sum = 0;
  for (int i = 0; i < ChecksumAt; ++i) sum += stored[i];
  stored[ChecksumAt] = std::uint8_t(sum);
  return {stored.begin() + 1, stored.end()};
}

inline void Append(std::vector<std::uint8_t>& Stream, const std::vector<std::uint8_t>& Frame) {
  Stream.insert(Stream.end(), Frame.begin(), Frame.end());
}
