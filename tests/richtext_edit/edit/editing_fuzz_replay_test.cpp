// Replays the saved corpus of the editing fuzzer (tests/data/richtext_edit/edit/fuzz/
// editing/: operation bytes over each kind of starting document) through
// RunEditingFromBytes.
#include <gtest/gtest.h>

#include "richtext_edit/edit/random_editing.h"
#include "support/fuzz_corpus.h"

namespace {

TEST(EditingFuzzReplay, SavedCorpus) {
  const auto corpus = FuzzCorpus("richtext_edit/edit/fuzz/editing");
  EXPECT_GE(corpus.size(), 8u);
  for (size_t i = 0; i < corpus.size(); ++i)
    EXPECT_EQ(RunEditingFromBytes(corpus[i].data(), corpus[i].size()), "") << "input " << i;
}

}  // namespace
