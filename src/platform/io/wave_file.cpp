#include "platform/io/wave_file.h"

#include <cstdint>

#include "platform/sys/files.h"

namespace {

constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveFloat = 3;
// WAVE_FORMAT_EXTENSIBLE: the kind of sample is the first two bytes of the sub-format,
// a GUID whose other fourteen bytes are those of every standard format.
constexpr uint16_t kWaveExtensible = 0xFFFE;
constexpr size_t kExtensibleFormatBytes = 40;
constexpr size_t kSubFormatAt = 24;
constexpr std::string_view kSubFormatTail(
    "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
constexpr size_t kChunkHeadBytes = 8;
constexpr size_t kFormatBytes = 16;

uint32_t LittleEndian(std::string_view bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

bool PlayableSamples(uint16_t tag, uint32_t bits) {
  if (tag == kWaveFloat) return bits == 32;
  return tag == kWavePcm && (bits == 8 || bits == 16 || bits == 32);
}

// The "fmt " chunk's body: false for a kind of sample or a rate or channel count no
// output plays.
// The kind of sample of a "fmt " chunk's body; an extensible one names it in its
// sub-format (0, no kind played, when that is not a standard one).
uint16_t SampleKind(std::string_view body) {
  const auto tag = static_cast<uint16_t>(LittleEndian(body, 0, 2));
  if (tag != kWaveExtensible) return tag;
  if (body.size() < kExtensibleFormatBytes || body.substr(kSubFormatAt + 2, 14) != kSubFormatTail)
    return 0;
  return static_cast<uint16_t>(LittleEndian(body, kSubFormatAt, 2));
}

bool ReadFormat(std::string_view body, TWaveFile& wave) {
  const uint16_t tag = SampleKind(body);
  const uint32_t channels = LittleEndian(body, 2, 2);
  const uint32_t rate = LittleEndian(body, 4, 4);
  const uint32_t bits = LittleEndian(body, 14, 2);
  if (!PlayableSamples(tag, bits) || channels < 1 || channels > kMaxWaveChannels ||
      rate < kMinWaveRate || rate > kMaxWaveRate)
    return false;
  wave.SampleRate = static_cast<int>(rate);
  wave.Channels = static_cast<int>(channels);
  wave.BitsPerSample = static_cast<int>(bits);
  wave.Float = tag == kWaveFloat;
  return true;
}

// Short sounds only: a larger file is refused rather than read whole.
constexpr size_t kMaxWaveFileBytes = 64 * 1024 * 1024;

}  // namespace

std::optional<TWaveFile> ParseWaveFile(std::string_view Data) {
  if (Data.size() < 12 || Data.substr(0, 4) != "RIFF" || Data.substr(8, 4) != "WAVE")
    return std::nullopt;
  TWaveFile wave;
  bool has_format = false;
  bool has_samples = false;
  for (size_t at = 12; at + kChunkHeadBytes <= Data.size();) {
    const std::string_view id = Data.substr(at, 4);
    const size_t size = LittleEndian(Data, at + 4, 4);
    const size_t body = at + kChunkHeadBytes;
    // A chunk cut short ends the file: a data chunk plays as far as it goes; any other
    // (a LIST of tags written after the samples) leaves the data found before it.
    if (size > Data.size() - body) {
      if (id == "data") {
        wave.Samples = std::string(Data.substr(body));
        has_samples = true;
      }
      break;
    }
    if (id == "fmt " && size >= kFormatBytes) {
      if (!ReadFormat(Data.substr(body, size), wave)) return std::nullopt;
      has_format = true;
    } else if (id == "data") {
      wave.Samples = std::string(Data.substr(body, size));
      has_samples = true;
    }
    at = body + size + (size & 1);  // chunks keep an even length
  }
  if (!has_format || !has_samples) return std::nullopt;
  // The output takes whole frames only: a write that ends inside one is refused, and the
  // sound server's client library is not to be trusted after a refused write. A file
  // without one whole frame holds nothing to hear.
  const size_t frame_bytes = static_cast<size_t>(wave.Channels * wave.BitsPerSample / 8);
  wave.Samples.resize(wave.Samples.size() - wave.Samples.size() % frame_bytes);
  if (wave.Samples.empty()) return std::nullopt;
  return wave;
}

std::optional<TWaveFile> ReadWaveFile(const std::string& FileName) {
  const std::optional<std::string> bytes = ReadSmallFile(FileName, kMaxWaveFileBytes);
  return bytes ? ParseWaveFile(*bytes) : std::nullopt;
}
