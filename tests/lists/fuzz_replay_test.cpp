// Replays the saved fuzzing corpus of the section list's drop handling
// (tests/data/lists/fuzz/drop/) through the fuzzed entry point.
#include <gtest/gtest.h>

#include "lists/fuzz_targets.h"
#include "support/fuzz_corpus.h"

TEST(ListsFuzzReplay, DroppedData) {
  const auto inputs = FuzzCorpus("lists/fuzz/drop");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzDropData(input.data(), input.size());
}
