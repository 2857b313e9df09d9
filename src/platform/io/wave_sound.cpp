#include "platform/io/wave_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

#include <cstdint>
#include <optional>

#include "platform/sys/application.h"

namespace {

// The sound server holds this much of a stream before it is heard: little, so that the
// end of a file is soon known.
constexpr int kBufferMicroseconds = 100000;
// Silence after every file, longer than what the server holds: when the output asks for
// more than there is, the file itself has been heard, and stopping the stream cuts only
// silence.
constexpr int kTrailingSilenceMicroseconds = 2 * kBufferMicroseconds;
// Short sounds only: a larger file is refused rather than read whole.
constexpr qint64 kMaxWaveFileBytes = 64 * 1024 * 1024;

constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveFloat = 3;

struct TWave {
  QAudioFormat Format;
  QByteArray Samples;
};

uint32_t LittleEndian(const QByteArray& bytes, qsizetype at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

std::optional<QAudioFormat::SampleFormat> SampleFormat(uint16_t tag, uint16_t bits) {
  if (tag == kWavePcm && bits == 8) return QAudioFormat::UInt8;
  if (tag == kWavePcm && bits == 16) return QAudioFormat::Int16;
  if (tag == kWavePcm && bits == 32) return QAudioFormat::Int32;
  if (tag == kWaveFloat && bits == 32) return QAudioFormat::Float;
  return std::nullopt;
}

// A RIFF wave file of PCM samples: its "fmt " and "data" chunks.
std::optional<TWave> ReadWave(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxWaveFileBytes) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
    return std::nullopt;
  TWave wave;
  bool has_format = false;
  bool has_samples = false;
  for (qsizetype at = 12; at + 8 <= bytes.size();) {
    const QByteArray id = bytes.mid(at, 4);
    const qsizetype size = LittleEndian(bytes, at + 4, 4);
    const qsizetype body = at + 8;
    if (size > bytes.size() - body) {
      // A data chunk cut short (a recording not closed properly) still plays.
      if (id == "data") wave.Samples = bytes.mid(body);
      has_samples = id == "data";
      break;
    }
    if (id == "fmt " && size >= 16) {
      const auto format = SampleFormat(static_cast<uint16_t>(LittleEndian(bytes, body, 2)),
                                       static_cast<uint16_t>(LittleEndian(bytes, body + 14, 2)));
      const int channels = static_cast<int>(LittleEndian(bytes, body + 2, 2));
      const int rate = static_cast<int>(LittleEndian(bytes, body + 4, 4));
      if (!format || channels < 1 || rate < 1) return std::nullopt;
      wave.Format.setSampleFormat(*format);
      wave.Format.setChannelCount(channels);
      wave.Format.setSampleRate(rate);
      has_format = true;
    } else if (id == "data") {
      wave.Samples = bytes.mid(body, size);
      has_samples = true;
    }
    at = body + size + (size & 1);  // chunks keep an even length
  }
  if (!has_format || !has_samples) return std::nullopt;
  return wave;
}

}  // namespace

// One stream per file, ended when all of it (silence included) has gone out: the next
// file never starts on top of this one, and this one is never cut short.
struct TWaveSound::Impl {
  ~Impl() { Stop(); }

  bool Start(const TWave& wave, std::function<void()> ended) {
    Stop();
    sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), wave.Format);
    sink->setBufferSize(wave.Format.bytesForDuration(kBufferMicroseconds));
    QByteArray data = wave.Samples;
    const char silence = wave.Format.sampleFormat() == QAudioFormat::UInt8 ? '\x80' : '\0';
    data.append(QByteArray(wave.Format.bytesForDuration(kTrailingSilenceMicroseconds), silence));
    samples.setData(data);
    samples.open(QIODevice::ReadOnly);
    QAudioSink* stream = sink;
    QObject::connect(stream, &QAudioSink::stateChanged, [this, stream, ended](QAudio::State state) {
      // Only the stream of the file now playing counts, once it ran out of data or the
      // output failed: a stream being stopped or set up says nothing about the end of
      // a file.
      const bool failed = state == QAudio::StoppedState && stream->error() != QAudio::NoError;
      if (stream != sink || (state != QAudio::IdleState && !failed)) return;
      Stop();
      // After the sink's own signal has returned: the next file may start at once.
      QTimer::singleShot(0, &context, [ended] { ended(); });
    });
    stream->start(&samples);
    // A failure the stream has already reported has its end notice on the way.
    if (stream == sink && stream->error() != QAudio::NoError) {
      Stop();
      return false;
    }
    return true;
  }

  void Stop() {
    if (!sink) return;
    QAudioSink* stream = sink;
    sink = nullptr;
    stream->disconnect();
    stream->stop();
    stream->deleteLater();
    samples.close();
  }

  QObject context;             // a pending end notice goes with the player
  QAudioSink* sink = nullptr;  // the stream of the file playing, none between files
  QBuffer samples;
};

TWaveSound::TWaveSound() = default;

TWaveSound::~TWaveSound() = default;

int TWaveSound::OutputDeviceCount() const {
  return int(QMediaDevices::audioOutputs().size());
}

bool TWaveSound::Play(const std::string& FileName) {
  if (OutputDeviceCount() == 0) return false;
  const std::optional<TWave> wave = ReadWave(QString::fromLocal8Bit(FileName));
  if (!wave) return false;
  if (!impl_) impl_ = std::make_unique<Impl>();
  return impl_->Start(*wave, [this] {
    if (OnNotify) Dispatch(OnNotify);
  });
}

bool TWaveSound::Playing() const {
  return impl_ && impl_->sink != nullptr;
}
