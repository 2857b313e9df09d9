// Replays the saved fuzzing corpus (tests/data/aprs/fuzz/, inputs that reached new
// code under libFuzzer, and any that once crashed) through the fuzzed decoders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/fuzz_targets.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus(const std::string& folder) {
  std::vector<std::vector<uint8_t>> inputs;
  for (const auto& entry :
       std::filesystem::directory_iterator(VELMORA_TEST_DATA "/aprs/fuzz/" + folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return inputs;
}

TEST(FuzzReplay, AprsLines) {
  const auto inputs = Corpus("lines");
  EXPECT_GT(inputs.size(), 20u);
  for (const auto& input : inputs) FuzzAprsLine(input.data(), input.size());
}

TEST(FuzzReplay, KissStreams) {
  const auto inputs = Corpus("kiss");
  EXPECT_GT(inputs.size(), 20u);
  for (const auto& input : inputs) FuzzKissStream(input.data(), input.size());
}

}  // namespace
