// Replays the saved corpus of the RTF document fuzzer (tests/data/richtext_edit/
// rtf_document/fuzz/) through FuzzRTFDocument: import, layout, painting, printing and
// writing.
#include <gtest/gtest.h>

#include "richtext_edit/rtf_import/rtf_document_fuzz_target.h"
#include "support/fuzz_corpus.h"
#include "support/scratch_files.h"

namespace {

TEST(RTFDocumentFuzzReplay, SavedCorpus) {
  const auto corpus = FuzzCorpus("richtext_edit/rtf_document/fuzz");
  EXPECT_GE(corpus.size(), 3u);
  for (const auto& input : corpus)
    FuzzRTFDocument(input.data(), input.size(), ScratchFolder() + "/");
}

}  // namespace
