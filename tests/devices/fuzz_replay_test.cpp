// Replays the saved fuzzing corpus of the GPS and weather-station decoders
// (tests/data/devices/fuzz/) through the fuzzed entry points.
#include <gtest/gtest.h>

#include "devices/fuzz_targets.h"
#include "support/fuzz_corpus.h"

namespace {

template <class Target>
void Replay(const std::string& folder, Target target) {
  const auto inputs = FuzzCorpus("devices/fuzz/" + folder);
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) target(input.data(), input.size());
}

TEST(DeviceFuzzReplay, NmeaSentences) {
  Replay("nmea", FuzzNmea);
}

TEST(DeviceFuzzReplay, WeatherStationStreams) {
  Replay("wx200", FuzzWx200);
  Replay("wmr918", FuzzWmr918);
  Replay("ws2300", FuzzWs2300);
}

}  // namespace
