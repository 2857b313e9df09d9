// WX-200 and WMR-918 frames for the tests, with their checksums computed here, and the
// checks every frame receiver passes.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
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

// TBench: a receiver fed by Feed(bytes), recording the codes of the frames it completed in
// Codes.

// Every truncation of every frame, followed by a whole frame: only the whole one counts.
template <class TBench>
void ExpectCutFramesDropped(const std::vector<std::vector<std::uint8_t>>& Frames,
                            const std::vector<std::uint8_t>& Whole, int WholeCode) {
  for (std::size_t f = 0; f < Frames.size(); ++f) {
    const std::vector<std::uint8_t>& frame = Frames[f];
    for (std::size_t n = 1; n < frame.size(); ++n) {
      TBench bench;
      std::vector<std::uint8_t> stream(frame.begin(), frame.begin() + long(n));
      Append(stream, Whole);
      bench.Feed(stream);
      EXPECT_EQ(bench.Codes, std::vector<int>{WholeCode}) << "frame " << f << " cut at " << n;
    }
  }
}

// The frame with the bits of Flip inverted in any one byte from First on is dropped.
template <class TBench>
void ExpectSpoiledFramesDropped(const std::vector<std::uint8_t>& Frame, std::size_t First,
                                std::uint8_t Flip) {
  for (std::size_t i = First; i < Frame.size(); ++i) {
    TBench bench;
    auto spoiled = Frame;
    spoiled[i] ^= Flip;
    bench.Feed(spoiled);
    EXPECT_TRUE(bench.Codes.empty()) << "spoiled at " << i;
  }
}
