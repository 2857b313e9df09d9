#include "platform/io/wave_sound.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <optional>

#include "platform/io/wave_file.h"
#include "platform/sys/application.h"

namespace {

// How long the question for the server's outputs may hold up its caller, the window
// being made: a server that does not answer counts as none.
constexpr pa_usec_t kAnswerPatienceUsec = 2 * PA_USEC_PER_SEC;

pa_sample_spec SampleSpec(const TWaveFile& wave) {
  pa_sample_spec spec{};
  spec.format = wave.Float                 ? PA_SAMPLE_FLOAT32LE
                : wave.BitsPerSample == 8  ? PA_SAMPLE_U8
                : wave.BitsPerSample == 16 ? PA_SAMPLE_S16LE
                                           : PA_SAMPLE_S32LE;
  spec.rate = static_cast<uint32_t>(wave.SampleRate);
  spec.channels = static_cast<uint8_t>(wave.Channels);
  return spec;
}

class TLoopLock {
 public:
  explicit TLoopLock(pa_threaded_mainloop* Loop) : loop_(Loop) { pa_threaded_mainloop_lock(loop_); }
  ~TLoopLock() { pa_threaded_mainloop_unlock(loop_); }
  TLoopLock(const TLoopLock&) = delete;
  TLoopLock& operator=(const TLoopLock&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace

// One stream per file on a connection to the sound server of our own, whose thread
// writes the samples and reports the end; the GUI thread only starts and ends streams,
// never waiting on the server. A connection that failed or ended (the server was
// restarted: suspend, a new headset, a desktop update) is made anew for the next file.
// The members below the loop are guarded by its lock.
struct TWaveSound::Impl {
  Impl() : loop(pa_threaded_mainloop_new()) {
    if (loop && pa_threaded_mainloop_start(loop) < 0) {
      pa_threaded_mainloop_free(loop);
      loop = nullptr;
    }
  }

  ~Impl() {
    if (!loop) return;
    pa_threaded_mainloop_stop(loop);  // no callback runs from here on
    DropStream();
    DropContext();
    pa_threaded_mainloop_free(loop);
  }

  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  int OutputCount() {
    if (!loop) return 0;
    TLoopLock lock(loop);
    if (!Connect()) return 0;
    struct TQuestion {
      Impl* impl;
      bool late = false;
      bool answered = false;
      int outputs = 0;
    } question{this};
    pa_time_event* deadline = pa_context_rttime_new(
        context, pa_rtclock_now() + kAnswerPatienceUsec,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
          auto& asked = *static_cast<TQuestion*>(data);
          asked.late = true;
          pa_threaded_mainloop_signal(asked.impl->loop, 0);
        },
        &question);
    const auto waiting = [&] {
      return !question.late && PA_CONTEXT_IS_GOOD(pa_context_get_state(context));
    };
    while (waiting() && pa_context_get_state(context) != PA_CONTEXT_READY)
      pa_threaded_mainloop_wait(loop);
    if (pa_context_get_state(context) == PA_CONTEXT_READY) {
      pa_operation* listing = pa_context_get_sink_info_list(
          context,
          [](pa_context*, const pa_sink_info* sink, int last, void* data) {
            auto& asked = *static_cast<TQuestion*>(data);
            if (sink) ++asked.outputs;
            if (last) asked.answered = true;
            pa_threaded_mainloop_signal(asked.impl->loop, 0);
          },
          &question);
      while (listing && waiting() && !question.answered) pa_threaded_mainloop_wait(loop);
      if (listing) {
        pa_operation_cancel(listing);
        pa_operation_unref(listing);
      }
    }
    if (deadline) pa_threaded_mainloop_get_api(loop)->time_free(deadline);
    return question.answered ? question.outputs : 0;
  }

  // False when the file cannot be played at all; otherwise its end is reported, once it
  // has been heard or could not be.
  bool Start(TWaveFile Wave) {
    if (!loop) return false;
    TLoopLock lock(loop);
    StopFile();
    if (!Connect()) return false;
    wave = std::move(Wave);
    written = 0;
    draining = false;
    finished = false;
    waiting_for_server = pa_context_get_state(context) != PA_CONTEXT_READY;
    if (!waiting_for_server && !StartStream()) return false;
    playing = true;
    return true;
  }

  // Connects when there is no good connection; true while it is or may become ready.
  bool Connect() {
    if (context && PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return true;
    DropContext();
    context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Velmora");
    if (!context) return false;
    pa_context_set_state_callback(context, &Impl::ContextChanged, this);
    // Never starts a server of its own: the desktop's is the one to be heard.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
      DropContext();
      return false;
    }
    return true;
  }

  bool StartStream() {
    const pa_sample_spec spec = SampleSpec(wave);
    pa_channel_map map;
    pa_channel_map_init_extend(&map, spec.channels, PA_CHANNEL_MAP_WAVEEX);
    stream = pa_stream_new(context, "sound", &spec, &map);
    if (!stream) return false;
    pa_stream_set_state_callback(stream, &Impl::StreamChanged, this);
    pa_stream_set_write_callback(stream, &Impl::StreamWritable, this);
    if (pa_stream_connect_playback(stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr) <
        0) {
      DropStream();
      return false;
    }
    return true;
  }

  // The file playing ends without a report, for the next.
  void StopFile() {
    ++file_number;
    DropStream();
    waiting_for_server = false;
    playing = false;
  }

  // Reports the end of the file playing to the GUI thread, once.
  void Finish() {
    if (finished) return;
    finished = true;
    const unsigned number = file_number;
    QMetaObject::invokeMethod(
        &notices, [this, number] { Ended(number); }, Qt::QueuedConnection);
  }

  void Ended(unsigned Number) {
    {
      TLoopLock lock(loop);
      if (Number != file_number) return;  // stopped for the next file
      DropStream();
    }
    playing = false;
    if (ended) ended();
  }

  static void ContextChanged(pa_context* Context, void* Data) {
    auto& impl = *static_cast<Impl*>(Data);
    const pa_context_state_t state = pa_context_get_state(Context);
    if (Context == impl.context && impl.waiting_for_server) {
      if (state == PA_CONTEXT_READY) {
        impl.waiting_for_server = false;
        if (!impl.StartStream()) impl.Finish();
      } else if (!PA_CONTEXT_IS_GOOD(state)) {
        impl.waiting_for_server = false;
        impl.Finish();
      }
    }
    pa_threaded_mainloop_signal(impl.loop, 0);
  }

  static void StreamChanged(pa_stream* Stream, void* Data) {
    auto& impl = *static_cast<Impl*>(Data);
    if (Stream == impl.stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(Stream))) impl.Finish();
  }

  // Writes what the server has room for; after the last samples, waits until they have
  // been heard.
  static void StreamWritable(pa_stream* Stream, size_t Bytes, void* Data) {
    auto& impl = *static_cast<Impl*>(Data);
    if (Stream != impl.stream) return;
    const std::string& samples = impl.wave.Samples;
    const size_t count = std::min(Bytes, samples.size() - impl.written);
    if (count > 0 && pa_stream_write(Stream, samples.data() + impl.written, count, nullptr, 0,
                                     PA_SEEK_RELATIVE) < 0) {
      return impl.Finish();
    }
    impl.written += count;
    if (impl.written < samples.size() || impl.draining) return;
    impl.draining = true;
    pa_operation* drain = pa_stream_drain(
        Stream,
        [](pa_stream* Drained, int, void* Data) {
          auto& impl = *static_cast<Impl*>(Data);
          if (Drained == impl.stream) impl.Finish();
        },
        Data);
    if (!drain) return impl.Finish();
    pa_operation_unref(drain);
  }

  void DropStream() {
    if (!stream) return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
  }

  void DropContext() {
    if (!context) return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
  }

  QObject notices;  // end reports go with the player
  std::function<void()> ended;
  bool playing = false;  // from the start of a file to the report of its end (GUI thread)
  pa_threaded_mainloop* loop;
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;  // the stream of the file playing
  TWaveFile wave;               // the file playing
  size_t written = 0;
  bool draining = false;
  bool finished = false;
  bool waiting_for_server = false;  // the file waits for the connection to be ready
  unsigned file_number = 0;         // counts the files started, so a stale report is known
};

TWaveSound::TWaveSound() = default;

TWaveSound::~TWaveSound() = default;

TWaveSound::Impl& TWaveSound::Output() const {
  if (!impl_) {
    impl_ = std::make_unique<Impl>();
    impl_->ended = [this] {
      if (OnNotify) Dispatch(OnNotify);
    };
  }
  return *impl_;
}

int TWaveSound::OutputDeviceCount() const {
  return Output().OutputCount();
}

bool TWaveSound::Play(const std::string& FileName) {
  std::optional<TWaveFile> wave = ReadWaveFile(FileName);
  if (!wave) return false;
  return Output().Start(std::move(*wave));
}

bool TWaveSound::Playing() const {
  return impl_ && impl_->playing;
}
