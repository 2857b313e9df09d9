#include "app/receive/sound_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "app/null_sink_server.h"
#include "app/receive/receive_fixture.h"
#include "platform/io/wave_sound.h"
#include "platform/sys/application.h"
#include "platform/sys/child_process.h"
#include "platform/sys/pump.h"
#include "platform/sys/timer.h"
#include "platform/test_support/gui_test_support.h"

namespace {

// A player with one output device that finishes a file when the test says so.
class TFakePlayer : public TWaveSound {
 public:
  int OutputDeviceCount() const override { return devices; }
  bool Play(const std::string& FileName) override {
    played.push_back(std::filesystem::path(FileName).lexically_relative(dir).generic_string());
    playing = played.back() != refused;
    return playing;
  }
  bool Playing() const override { return playing; }
  void Finish() {
    playing = false;
    if (OnNotify) OnNotify();
  }

  int devices = 1;
  bool playing = false;
  std::string dir;
  std::string refused;  // a file it cannot play
  std::vector<std::string> played;
};

class SoundQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          (std::string("velmora_sound_") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir / "Talk");
    for (const char* name : {"PrgUp.wav", "NewRx.wav"}) std::ofstream(dir / name) << "RIFF";
    for (const char* name : {"N", "0", "C", "A", "L", "9", "STROKE", "100ms", "O", "B", "J"}) {
      std::ofstream(dir / "Talk" / (std::string(name) + ".wav")) << "RIFF";
    }
    player.dir = dir.string();
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string SoundDir() const { return dir.string() + "/"; }

  std::filesystem::path dir;
  TFakePlayer player;
};

TEST_F(SoundQueue, SpellsCallsignsFileByFile) {
  TSoundQueue queue(player, SoundDir());
  queue.SpeakCallsign("N0CALL-9");
  ASSERT_EQ(player.played, std::vector<std::string>{"Talk/N.wav"});
  while (player.playing) player.Finish();
  EXPECT_EQ(player.played, (std::vector<std::string>{"Talk/N.wav", "Talk/0.wav", "Talk/C.wav",
                                                     "Talk/A.wav", "Talk/L.wav", "Talk/L.wav",
                                                     "Talk/STROKE.wav", "Talk/9.wav"}));
  EXPECT_EQ(queue.SoundQueue.Count(), 0);
}

TEST_F(SoundQueue, LowerCaseIsSpokenUpperAndUnknownCharactersAreSkipped) {
  TSoundQueue queue(player, SoundDir());
  queue.SpeakCallsign("ob/j *x");  // no X.wav: skipped when queued
  while (player.playing) player.Finish();
  EXPECT_EQ(player.played,
            (std::vector<std::string>{"Talk/O.wav", "Talk/B.wav", "Talk/J.wav", "Talk/100ms.wav"}));
}

TEST_F(SoundQueue, SoundsPlayInOrderOfArrival) {
  player.refused = "Talk/A.wav";  // passed over, not waited for
  TSoundQueue queue(player, SoundDir());
  queue.PlaySound(2);
  queue.SpeakCallsign("A");
  queue.PlaySound(2);
  queue.PlaySound(1);  // no sound of that index
  queue.PlaySound(0);
  while (player.playing) player.Finish();
  EXPECT_EQ(player.played,
            (std::vector<std::string>{"NewRx.wav", "Talk/A.wav", "NewRx.wav", "PrgUp.wav"}));
}

// Behind a busy feed the oldest calls waiting go; the one playing is heard to its end.
TEST_F(SoundQueue, DropsTheOldestWaitingCallsWhenItFallsBehind) {
  TSoundQueue queue(player, SoundDir());
  queue.SpeakCallsign("NOBJ");
  player.Finish();  // N heard, O playing
  for (int n = 0; n < kMaxWaitingCalls; ++n) queue.SpeakCallsign(n % 2 ? "A" : "C");
  queue.PlaySound(2);
  queue.SpeakCallsign("L9");
  while (player.playing) player.Finish();
  std::vector<std::string> expected = {"Talk/N.wav", "Talk/O.wav", "Talk/B.wav", "Talk/J.wav"};
  for (int n = 2; n < kMaxWaitingCalls; ++n)
    expected.push_back(n % 2 ? "Talk/A.wav" : "Talk/C.wav");
  for (const char* file : {"NewRx.wav", "Talk/L.wav", "Talk/9.wav"}) expected.push_back(file);
  EXPECT_EQ(player.played, expected);
}

TEST_F(SoundQueue, WithoutADeviceNothingIsQueued) {
  player.devices = 0;
  TSoundQueue queue(player, SoundDir());
  queue.PlaySound(0);
  queue.SpeakCallsign("N0CALL");
  EXPECT_EQ(queue.SoundQueue.Count(), 0);
  EXPECT_TRUE(player.played.empty());
  // The platform's own output has no backend in this build: no device.
  TWaveSound none;
  TSoundQueue silent(none, SoundDir());
  EXPECT_FALSE(silent.SoundAvailable());
}

TEST_F(SoundQueue, NewStationsQueueTheReceiveSoundAndTheirName) {
  TReceivePath r;
  TSoundQueue queue(player, SoundDir());
  r.store.Sounds = &queue;
  r.views.sound_rx = true;
  r.views.sound_call = true;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "!5230.50N/01320.70E>");
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "!5230.50N/01320.70E>");  // repeat: silent
  while (player.playing) player.Finish();
  EXPECT_EQ(player.played,
            (std::vector<std::string>{"NewRx.wav", "Talk/N.wav", "Talk/0.wav", "Talk/C.wav",
                                      "Talk/A.wav", "Talk/L.wav", "Talk/L.wav"}));
}

}  // namespace

namespace {

// A sound server of the test's own whose one output is a null sink, and a recording of
// what that output plays: the real player heard from outside. Skipped, saying why,
// where no server can be started.
class SoundQueueOnANullSink : public ::testing::Test {
 protected:
  static constexpr int kRate = 44100;
  static constexpr int kPatienceMs = 60000;

  void SetUp() override {
    if (!ProgramAvailable("parec"))
      GTEST_SKIP() << "no sound recorder here: parec is not installed";
    folder_ = std::filesystem::temp_directory_path() / "velmora_null_sink";
    std::filesystem::create_directories(folder_ / "Sound" / "Talk");
    server_ = std::make_unique<TNullSinkServer>();
    if (!server_->Missing().empty()) GTEST_SKIP() << server_->Missing();
    StartRecorder();
    setenv("PULSE_SERVER", server_->Address().c_str(), 1);
  }

  // Records what the output plays from now on, anew.
  void StartRecorder() {
    recorder_.reset();
    const std::filesystem::path heard = folder_ / "heard.raw";
    std::filesystem::remove(heard);
    recorder_ = std::make_unique<TChildProcess>(
        server_->Env() +
            "exec parec -d null.monitor --format=s16le --channels=1 --rate=44100 --raw",
        heard.string());
    // Nothing is played before the recording runs: it has taken in some silence.
    std::error_code not_yet;
    for (int waited = 0;
         std::filesystem::file_size(heard, not_yet) < kRate / 5 && waited < kPatienceMs;
         waited += 100)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  void TearDown() override {
    recorder_.reset();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // How a file is laid out, as recorders and editors write them.
  enum class TLayout { Plain, Extensible, TagsCutShort };

  // A mono 16-bit file: a square wave of Amplitude for Ms milliseconds. Extensible: the
  // format as WAVE_FORMAT_EXTENSIBLE; TagsCutShort: a LIST chunk after the samples, cut
  // short.
  void WriteTone(const std::string& name, int16_t amplitude, int ms,
                 TLayout layout = TLayout::Plain) {
    const int count = kRate * ms / 1000;
    std::ofstream out(folder_ / "Sound" / name, std::ios::binary);
    const auto put = [&](uint32_t value, int bytes) {
      for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    const bool extensible = layout == TLayout::Extensible;
    out << "RIFF";
    put((extensible ? 60 : 36) + 2 * count, 4);
    out << "WAVEfmt ";
    put(extensible ? 40 : 16, 4), put(extensible ? 0xFFFE : 1, 2), put(1, 2), put(kRate, 4);
    put(2 * kRate, 4), put(2, 2), put(16, 2);
    if (extensible) {
      put(22, 2), put(16, 2), put(4, 4), put(1, 2);
      out.write("\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 14);
    }
    out << "data";
    put(2 * count, 4);
    for (int i = 0; i < count; ++i)
      put(static_cast<uint16_t>((i / 50) % 2 ? amplitude : -amplitude), 2);
    if (layout == TLayout::TagsCutShort) {
      out << "LIST";
      put(200, 4);
      out << "INFOISFT";
    }
  }

  struct TStretch {
    int Level;  // the amplitude in units of kUnit
    double Ms;
  };
  static constexpr int kUnit = 2000;

  // The recording as stretches of one loudness, silence left out; very short ones are
  // the edges between.
  std::vector<TStretch> Heard() {
    std::ifstream in(folder_ / "heard.raw", std::ios::binary);
    std::vector<TStretch> stretches;
    int level = 0;
    long run = 0;
    const auto close_run = [&] {
      if (run <= kRate / 200 || level == 0) return;
      // A file that the server was fed too late for is heard with a gap: still one file.
      if (!stretches.empty() && stretches.back().Level == level) {
        stretches.back().Ms += run * 1000.0 / kRate;
      } else {
        stretches.push_back({level, run * 1000.0 / kRate});
      }
    };
    for (char bytes[2]; in.read(bytes, 2);) {
      const int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[0]) | bytes[1] << 8);
      const int now = (std::abs(sample) + kUnit / 2) / kUnit;
      if (now == level) {
        ++run;
        continue;
      }
      close_run();
      level = now;
      run = 1;
    }
    close_run();
    return stretches;
  }

  std::filesystem::path folder_;
  std::unique_ptr<TNullSinkServer> server_;
  std::unique_ptr<TChildProcess> recorder_;
};

// A player that notes when each file starts and when it is reported ended.
class TNotingPlayer : public TWaveSound {
 public:
  bool Play(const std::string& FileName) override {
    events.push_back("start " + std::filesystem::path(FileName).filename().string());
    return TWaveSound::Play(FileName);
  }
  std::vector<std::string> events;
};

TEST_F(SoundQueueOnANullSink, EachFileIsHeardWholeAfterTheOneBefore) {
  // Loudness 1, 2, 4 and 8: files played over each other would sound as a sum. Two of
  // them laid out as recorders and editors write files.
  const struct {
    const char* name;
    int ms;
    TLayout layout;
  } tones[] = {{"Talk/A.wav", 150, TLayout::Plain},
               {"Talk/B.wav", 250, TLayout::Extensible},
               {"Talk/C.wav", 100, TLayout::Plain},
               {"NewRx.wav", 200, TLayout::TagsCutShort}};
  for (size_t n = 0; n < std::size(tones); ++n)
    WriteTone(tones[n].name, static_cast<int16_t>(kUnit << n), tones[n].ms, tones[n].layout);
  TNotingPlayer player;
  ASSERT_GT(player.OutputDeviceCount(), 0) << "the player does not see the null sink";
  TSoundQueue queue(player, (folder_ / "Sound").string() + "/");
  const std::function<void()> next = player.OnNotify;
  player.OnNotify = [&] {
    player.events.push_back("end");
    next();
    if (!player.Playing()) Application->Terminate();
  };
  TTimer guard(nullptr);
  guard.SetInterval(kPatienceMs);
  guard.OnTimer = [](TComponent*) { Application->Terminate(); };
  guard.SetEnabled(true);
  // The callsign and the receive sound queued at once, as a new station queues them.
  QueueCall([&] {
    queue.SpeakCallsign("ab-c");
    queue.PlaySound(2);
  });
  Application->Run();
  EXPECT_EQ(player.events,
            (std::vector<std::string>{"start A.wav", "end", "start B.wav", "end", "start C.wav",
                                      "end", "start NewRx.wav", "end"}));

  // What the output played: each file whole, alone, in order.
  std::vector<TStretch> heard;
  for (int waited = 0; waited < kPatienceMs; waited += 100) {
    heard = Heard();
    if (heard.size() >= std::size(tones) && heard.back().Level == 8) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(heard.size(), std::size(tones));
  // A server starved of time on a busy machine drops up to about half of a short file
  // (52 of 100 ms seen at load 35); a file cut off by the next one loses nearly all of
  // itself, as the next starts at once.
  for (size_t n = 0; n < std::size(tones); ++n) {
    EXPECT_EQ(heard[n].Level, 1 << n) << n;
    EXPECT_GE(heard[n].Ms, tones[n].ms * 0.3) << n;
    EXPECT_LE(heard[n].Ms, tones[n].ms + 5) << n;
  }
}

// The sound server restarts while the program runs (on resume, for a new headset, by a
// desktop update), and a new station falls in the outage: the stations heard once it is
// back are heard again, each sound on a stream of its own.
TEST_F(SoundQueueOnANullSink, NewStationsAreHeardAgainAfterTheServerRestarted) {
  WriteTone("NewRx.wav", kUnit, 150);
  WriteTone("Talk/A.wav", 2 * kUnit, 150);
  TWaveSound player;
  ASSERT_GT(player.OutputDeviceCount(), 0) << "the player does not see the null sink";
  TSoundQueue queue(player, (folder_ / "Sound").string() + "/");
  const auto new_station = [&] {
    queue.PlaySound(2);
    queue.SpeakCallsign("a");
    EXPECT_TRUE(PumpUntil([&] { return !player.Playing(); }, kPatienceMs)) << "a sound never ended";
  };
  new_station();
  recorder_.reset();
  server_->Stop();
  new_station();
  ASSERT_TRUE(server_->Start()) << server_->Missing();
  StartRecorder();
  new_station();
  std::vector<TStretch> heard;
  for (int waited = 0; waited < kPatienceMs && heard.size() < 2; waited += 100) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    heard = Heard();
  }
  ASSERT_EQ(heard.size(), 2u) << "the sounds after the restart were not heard whole";
  for (int n = 0; n < 2; ++n) {
    EXPECT_EQ(heard[n].Level, n + 1);
    EXPECT_GE(heard[n].Ms, 150 * 0.3);
  }
}

}  // namespace
