// Replays the saved corpus of the pasted-data fuzzer (tests/data/richtext_edit/edit/
// fuzz/paste/: blocks, HTML headers, URI lists, UTF-8 and pictures, damaged ones among
// them) through FuzzPastedData.
#include <gtest/gtest.h>

#include "richtext_edit/edit/pasted_data_fuzz_target.h"
#include "support/fuzz_corpus.h"

namespace {

TEST(PastedDataFuzzReplay, SavedCorpus) {
  const auto corpus = FuzzCorpus("richtext_edit/edit/fuzz/paste");
  EXPECT_GE(corpus.size(), 8u);
  for (size_t i = 0; i < corpus.size(); ++i)
    EXPECT_TRUE(FuzzPastedData(corpus[i].data(), corpus[i].size())) << "input " << i;
}

}  // namespace
