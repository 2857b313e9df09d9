// Replays the saved corpus of the table fuzzer (tests/data/richtext_edit/tables/fuzz/:
// documents with tables, damaged ones among them, and inputs that reached new code
// under libFuzzer) through FuzzTableRDF.
#include <gtest/gtest.h>

#include "richtext_edit/tables/table_fuzz_target.h"
#include "support/fuzz_corpus.h"

namespace {

TEST(TableRDFFuzzReplay, SavedCorpus) {
  const auto corpus = FuzzCorpus("richtext_edit/tables/fuzz");
  EXPECT_GE(corpus.size(), 10u);
  for (size_t i = 0; i < corpus.size(); ++i)
    EXPECT_TRUE(FuzzTableRDF(corpus[i].data(), corpus[i].size())) << "input " << i;
}

}  // namespace
