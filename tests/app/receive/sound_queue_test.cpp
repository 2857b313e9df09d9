#include "app/receive/sound_queue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/receive/receive_fixture.h"
#include "platform/io/wave_sound.h"

namespace {

// A player with one output device that finishes a file when the test says so.
class TFakePlayer : public TWaveSound {
 public:
  int OutputDeviceCount() const override { return devices; }
  bool Play(const std::string& FileName) override {
    played.push_back(std::filesystem::path(FileName).lexically_relative(dir).generic_string());
    playing = true;
    return true;
  }
  bool Playing() const override { return playing; }
  void Finish() {
    playing = false;
    if (OnNotify) OnNotify();
  }

  int devices = 1;
  bool playing = false;
  std::string dir;
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
