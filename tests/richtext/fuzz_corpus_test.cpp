// Runs the record reader's fuzz entry point over every kept malformed input: none may
// crash, and what was read must survive a write and a second read.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(RecordFuzzCorpus, KeptInputsReadCleanly) {
  const std::filesystem::path folder = std::filesystem::path(VELMORA_TEST_DATA) / "richtext" / "malformed";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0)
        << entry.path();
    ++files;
  }
  EXPECT_GE(files, 7);
}

}  // namespace
