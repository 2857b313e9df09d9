// Replays the saved fuzzing corpus of the RDF reader (tests/data/richtext/fuzz/,
// inputs that reached new code under libFuzzer) and the kept malformed documents
// (tests/data/richtext/malformed/) through the fuzzed reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "richtext/fuzz_targets.h"

namespace {

int ReplayFolder(const std::string& folder) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VELMORA_TEST_DATA) +
                                                               "/richtext/" + folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
    EXPECT_TRUE(FuzzRDFReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++files;
  }
  return files;
}

TEST(RDFReaderFuzzReplay, SavedCorpus) {
  EXPECT_GE(ReplayFolder("fuzz"), 20);
}

TEST(RDFReaderFuzzReplay, KeptMalformedDocuments) {
  EXPECT_GE(ReplayFolder("malformed"), 7);
}

}  // namespace
