// The RIFF wave files the sound output plays: PCM samples of 8, 16 or 32 bits, or 32-bit
// float (either also as the sub-format of WAVE_FORMAT_EXTENSIBLE), at a rate and in a
// number of channels that sound hardware plays.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct TWaveFile {
  int SampleRate = 0;  // frames a second
  int Channels = 0;
  int BitsPerSample = 0;
  bool Float = false;
  std::string Samples;
};

// Rates and channel counts outside these are no sound a card plays: a file that claims
// them is refused rather than given buffers sized by its claim.
constexpr int kMinWaveRate = 8000;
constexpr int kMaxWaveRate = 192000;
constexpr int kMaxWaveChannels = 8;

// The wave in Data (a whole file) in whole frames, a frame cut short at its end left out;
// nullopt for anything else, a file without one whole frame among them. A data chunk cut
// short (a recording not closed properly) still plays as far as it goes, and any other
// chunk cut short after the data leaves it as it was.
std::optional<TWaveFile> ParseWaveFile(std::string_view Data);

// The wave of the file FileName, read as ParseWaveFile reads it; nullopt for a file that
// cannot be read or is larger than a short sound can be. Costs what the file holds.
std::optional<TWaveFile> ReadWaveFile(const std::string& FileName);
