// Replays the saved fuzzing corpus of the program's own readers and of the receive path
// (tests/data/app/fuzz/) through the fuzzed entry points.
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/fuzz_targets.h"
#include "support/fuzz_corpus.h"

namespace {

class AppFuzzReplay : public AppFolderTest {
 protected:
  template <class Target>
  static void Replay(const std::string& Folder, Target target) {
    const auto inputs = FuzzCorpus("app/fuzz/" + Folder);
    EXPECT_GE(inputs.size(), 3u);
    for (const auto& input : inputs) target(input.data(), input.size());
  }
};

TEST_F(AppFuzzReplay, ReceivePath) {
  Replay("receive", FuzzReceivePath);
}

TEST_F(AppFuzzReplay, StationFiles) {
  Replay("stations",
         [this](const uint8_t* data, size_t size) { FuzzStationFile(data, size, PrgDir()); });
}

TEST_F(AppFuzzReplay, PacketLogs) {
  Replay("log", [this](const uint8_t* data, size_t size) { FuzzPacketLog(data, size, PrgDir()); });
}

TEST_F(AppFuzzReplay, LanguageFiles) {
  Replay("speak", FuzzSpeakFile);
}

TEST_F(AppFuzzReplay, BmpPictures) {
  Replay("bmp",
         [this](const uint8_t* data, size_t size) { FuzzBmpPictures(data, size, PrgDir()); });
}

TEST_F(AppFuzzReplay, CalibrationFiles) {
  Replay("calibration", FuzzCalibration);
}

}  // namespace
