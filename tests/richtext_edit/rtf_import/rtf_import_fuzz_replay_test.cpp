// Replays the saved corpus of the RTF import fuzzer (tests/data/richtext_edit/rtf_import/
// fuzz/: real and hand-made RTF with tables, lists and pictures, damaged ones among them,
// and inputs that reached new code under libFuzzer) through FuzzRTFImport.
#include <gtest/gtest.h>

#include "richtext_edit/rtf_import/rtf_import_fuzz_target.h"
#include "support/fuzz_corpus.h"

namespace {

TEST(RTFImportFuzzReplay, SavedCorpus) {
  const auto corpus = FuzzCorpus("richtext_edit/rtf_import/fuzz");
  EXPECT_GE(corpus.size(), 10u);
  for (size_t i = 0; i < corpus.size(); ++i)
    EXPECT_TRUE(FuzzRTFImport(corpus[i].data(), corpus[i].size())) << "input " << i;
}

}  // namespace
