#include "platform/io/wave_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

#include <optional>

#include "platform/io/wave_file.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

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

struct TWave {
  QAudioFormat Format;
  QByteArray Samples;
};

QAudioFormat::SampleFormat SampleFormat(const TWaveFile& wave) {
  if (wave.Float) return QAudioFormat::Float;
  if (wave.BitsPerSample == 8) return QAudioFormat::UInt8;
  return wave.BitsPerSample == 16 ? QAudioFormat::Int16 : QAudioFormat::Int32;
}

std::optional<TWave> ReadWave(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxWaveFileBytes) return std::nullopt;
  const QByteArray bytes = file.readAll();
  const std::optional<TWaveFile> parsed =
      ParseWaveFile(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  if (!parsed) return std::nullopt;
  TWave wave;
  wave.Format.setSampleFormat(SampleFormat(*parsed));
  wave.Format.setChannelCount(parsed->Channels);
  wave.Format.setSampleRate(parsed->SampleRate);
  wave.Samples = QByteArray(parsed->Samples.data(), static_cast<qsizetype>(parsed->Samples.size()));
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
  const std::optional<TWave> wave = ReadWave(FileNameToQString(FileName));
  // A stream the output refuses is never opened: a refused stream can wedge the sound
  // server's client library.
  if (!wave || !QMediaDevices::defaultAudioOutput().isFormatSupported(wave->Format)) return false;
  if (!impl_) impl_ = std::make_unique<Impl>();
  return impl_->Start(*wave, [this] {
    if (OnNotify) Dispatch(OnNotify);
  });
}

bool TWaveSound::Playing() const {
  return impl_ && impl_->sink != nullptr;
}
