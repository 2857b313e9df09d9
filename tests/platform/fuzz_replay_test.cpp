// Replays the saved fuzzing corpus of the platform's file readers
// (tests/data/platform/fuzz/) through the fuzzed entry points.
#include <gtest/gtest.h>

#include "platform/fuzz_targets.h"
#include "platform/sys/temp_config_folder.h"
#include "support/fuzz_corpus.h"

namespace {

using PlatformFuzzReplay = TempConfigFolder;

TEST_F(PlatformFuzzReplay, SettingsFiles) {
  const auto inputs = FuzzCorpus("platform/fuzz/settings");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzSettingsFile(input.data(), input.size());
}

TEST_F(PlatformFuzzReplay, PortsFiles) {
  const auto inputs = FuzzCorpus("platform/fuzz/ports");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzPortsFile(input.data(), input.size());
}

TEST(PlatformFuzzReplaySounds, WaveFiles) {
  const auto inputs = FuzzCorpus("platform/fuzz/wave");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzWaveFile(input.data(), input.size());
}

TEST(PlatformFuzzReplayPictures, JpegMaps) {
  const auto inputs = FuzzCorpus("jpeg");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzJpeg(input.data(), input.size());
}

TEST(PlatformFuzzReplayPictures, Metafiles) {
  const auto inputs = FuzzCorpus("platform/fuzz/metafile");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzMetafile(input.data(), input.size());
}

}  // namespace
