// The wave files the sound output takes: what it plays, and the claims it refuses before
// any buffer is sized by them.
#include "platform/io/wave_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct TFormat {
  uint32_t Tag = 1;
  uint32_t Channels = 1;
  uint32_t Rate = 44100;
  uint32_t Bits = 16;
  // Written as WAVE_FORMAT_EXTENSIBLE with Tag in its sub-format, whose GUID ends in
  // SubFormatTail.
  bool Extensible = false;
  std::string SubFormatTail = std::string("\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 14);
};

// A file with Samples in its data chunk; DataSize overstates the chunk when given.
std::string Wave(const TFormat& f, const std::string& samples, int64_t data_size = -1) {
  std::string out = "RIFF";
  Put(out, static_cast<uint32_t>(36 + samples.size()), 4);
  out += "WAVEfmt ";
  Put(out, f.Extensible ? 40 : 16, 4);
  Put(out, f.Extensible ? 0xFFFE : f.Tag, 2);
  Put(out, f.Channels, 2);
  Put(out, f.Rate, 4);
  Put(out, f.Rate * f.Channels * f.Bits / 8, 4);
  Put(out, f.Channels * f.Bits / 8, 2);
  Put(out, f.Bits, 2);
  if (f.Extensible) {
    Put(out, 22, 2);      // bytes that follow
    Put(out, f.Bits, 2);  // valid bits
    Put(out, 0, 4);       // speaker positions
    Put(out, f.Tag, 2);
    out += f.SubFormatTail;
  }
  out += "data";
  Put(out, static_cast<uint32_t>(data_size < 0 ? int64_t(samples.size()) : data_size), 4);
  return out + samples;
}

TEST(WaveFile, PlaysWhatCardsPlayAndRefusesOtherClaims) {
  const std::string samples(64, '\x10');
  struct TCase {
    TFormat Format;
    bool Plays;
  };
  const TCase cases[] = {
      {{1, 1, 44100, 16}, true},
      {{1, 2, 8000, 8}, true},
      {{3, 2, 192000, 32}, true},
      {{1, 8, 48000, 32}, true},
      {{1, 1, 2000000000, 16}, false},  // a 48-byte file claiming two
                                        // gigahertz
      {{1, 1, 7999, 16}, false},
      {{1, 1, 192001, 16}, false},
      {{1, 0, 44100, 16}, false},
      {{1, 9, 44100, 16}, false},
      {{1, 65535, 44100, 16}, false},
      {{1, 1, 0, 16}, false},
      {{1, 1, 44100, 24}, false},
      {{3, 1, 44100, 16}, false},
      {{2, 1, 44100, 16}, false},
  };
  for (const TCase& c : cases) {
    const auto wave = ParseWaveFile(Wave(c.Format, samples));
    EXPECT_EQ(wave.has_value(), c.Plays)
        << c.Format.Tag << "/" << c.Format.Channels << "/" << c.Format.Rate << "/" << c.Format.Bits;
    if (!wave) continue;
    EXPECT_EQ(wave->SampleRate, int(c.Format.Rate));
    EXPECT_EQ(wave->Channels, int(c.Format.Channels));
    EXPECT_EQ(wave->Samples, samples);
  }
  // A recording not closed properly: its data chunk claims more than the file holds,
  // and may end inside a frame, which the output would refuse; one holding no whole
  // frame (eight channels of 32-bit float: 4 bytes of 32) plays nothing.
  const auto cut = ParseWaveFile(Wave({}, samples, 1 << 30));
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->Samples, samples);
  const TFormat eight_float = {3, 8, 192000, 32};
  const auto ragged = ParseWaveFile(Wave(eight_float, samples + "abcd"));
  ASSERT_TRUE(ragged.has_value());
  EXPECT_EQ(ragged->Samples, samples);
  EXPECT_FALSE(ParseWaveFile(Wave(eight_float, "abcd")).has_value());
  EXPECT_FALSE(ParseWaveFile(Wave({}, "")).has_value());
  EXPECT_FALSE(ParseWaveFile(Wave({}, samples).substr(0, 30)).has_value());
  EXPECT_FALSE(ParseWaveFile("RIFF\x04\0\0\0WAVE").has_value());
}

// Files as recorders and editors write them: the format in WAVE_FORMAT_EXTENSIBLE, tags
// in a LIST chunk after the samples, that chunk cut short by a copy broken off.
TEST(WaveFile, PlaysExtensibleFilesAndKeepsTheDataBeforeAChunkCutShort) {
  const std::string samples(64, '\x10');
  TFormat extensible{1, 2, 48000, 16, true};
  auto wave = ParseWaveFile(Wave(extensible, samples));
  ASSERT_TRUE(wave.has_value());
  EXPECT_EQ(wave->Channels, 2);
  EXPECT_EQ(wave->BitsPerSample, 16);
  EXPECT_FALSE(wave->Float);
  EXPECT_EQ(wave->Samples, samples);
  extensible.Tag = 3;
  extensible.Bits = 32;
  wave = ParseWaveFile(Wave(extensible, samples));
  ASSERT_TRUE(wave.has_value());
  EXPECT_TRUE(wave->Float);
  // Another kind of sample, or a sub-format that is no standard one: nothing played.
  extensible.Tag = 2;
  EXPECT_FALSE(ParseWaveFile(Wave(extensible, samples)).has_value());
  extensible.Tag = 1;
  extensible.Bits = 16;
  extensible.SubFormatTail[13] = '\x72';
  EXPECT_FALSE(ParseWaveFile(Wave(extensible, samples)).has_value());

  std::string tagged = Wave({}, samples) + "LIST";
  Put(tagged, 200, 4);
  tagged += "INFOISFT";
  wave = ParseWaveFile(tagged);
  ASSERT_TRUE(wave.has_value());
  EXPECT_EQ(wave->Samples, samples);
  // Cut inside the LIST chunk's head: its size is not even there.
  wave = ParseWaveFile(Wave({}, samples) + "LIS");
  ASSERT_TRUE(wave.has_value());
  EXPECT_EQ(wave->Samples, samples);
}

}  // namespace
