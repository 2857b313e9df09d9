// Replays the saved fuzzing corpus (tests/data/aprs/fuzz/, inputs that reached new
// code under libFuzzer, and any that once crashed) through the fuzzed decoders.
#include <gtest/gtest.h>

#include "core/fuzz_targets.h"
#include "support/fuzz_corpus.h"

namespace {

TEST(FuzzReplay, AprsLines) {
  const auto inputs = FuzzCorpus("aprs/fuzz/lines");
  EXPECT_GT(inputs.size(), 20u);
  for (const auto& input : inputs) FuzzAprsLine(input.data(), input.size());
}

TEST(FuzzReplay, KissStreams) {
  const auto inputs = FuzzCorpus("aprs/fuzz/kiss");
  EXPECT_GT(inputs.size(), 20u);
  for (const auto& input : inputs) FuzzKissStream(input.data(), input.size());
}

TEST(FuzzReplay, ServerLists) {
  const auto inputs = FuzzCorpus("aprs/fuzz/servers");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzServerList(input.data(), input.size());
}

}  // namespace
