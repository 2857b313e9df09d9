// Replays the saved fuzzing corpus of the mini-HTML renderer (tests/data/html/fuzz/).
#include <gtest/gtest.h>

#include "html/fuzz_targets.h"
#include "support/fuzz_corpus.h"

TEST(HtmlFuzzReplay, Markup) {
  const auto inputs = FuzzCorpus("html/fuzz/markup");
  EXPECT_GE(inputs.size(), 3u);
  for (const auto& input : inputs) FuzzHtmlMarkup(input.data(), input.size());
}
