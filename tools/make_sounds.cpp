// Writes the program's own sounds into a folder: "PrgUp.wav", played at start-up (two
// rising tones), "NewRx.wav", played for every new station record (one short beep), and
// "Talk/100ms.wav", the pause for a blank in a spelled callsign. 16-bit mono PCM at
// 22,050 Hz, with short fades so that they do not click.
//   make_sounds <folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 22050;
constexpr double kAmplitude = 0.4 * 32767;
constexpr double kFadeSeconds = 0.005;

struct Tone {
  double hertz;
  double seconds;
};

void AppendTone(std::vector<int16_t>& samples, Tone tone) {
  const int count = static_cast<int>(tone.seconds * kSampleRate);
  const int fade = static_cast<int>(kFadeSeconds * kSampleRate);
  for (int i = 0; i < count; ++i) {
    const double envelope =
        std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(count - 1 - i) / fade});
    const double value =
        kAmplitude * envelope * std::sin(2 * std::numbers::pi * tone.hertz * i / kSampleRate);
    samples.push_back(static_cast<int16_t>(std::lround(value)));
  }
}

void Put(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool WriteWave(const std::string& path, std::initializer_list<Tone> tones) {
  std::vector<int16_t> samples;
  for (Tone tone : tones) AppendTone(samples, tone);
  std::ofstream out(path, std::ios::binary);
  const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  Put(out, 36 + data_bytes, 4);
  out.write("WAVEfmt ", 8);
  Put(out, 16, 4);  // format chunk size
  Put(out, 1, 2);   // PCM
  Put(out, 1, 2);   // mono
  Put(out, kSampleRate, 4);
  Put(out, kSampleRate * 2, 4);  // bytes per second
  Put(out, 2, 2);                // block align
  Put(out, 16, 2);               // bits per sample
  out.write("data", 4);
  Put(out, data_bytes, 4);
  for (int16_t sample : samples) Put(out, static_cast<uint16_t>(sample), 2);
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <folder>\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const bool written = WriteWave(folder + "PrgUp.wav", {{660, 0.12}, {880, 0.18}}) &&
                       WriteWave(folder + "NewRx.wav", {{1000, 0.08}}) &&
                       WriteWave(folder + "Talk/100ms.wav", {{0, 0.1}});
  if (!written) std::fprintf(stderr, "make_sounds: cannot write into %s\n", argv[1]);
  return written ? 0 : 1;
}
