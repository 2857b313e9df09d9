// The saved inputs of one fuzzer (tests/data/<Folder>/): those that reached new code
// under libFuzzer and any that once crashed, replayed by the tests on every run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<std::vector<uint8_t>> FuzzCorpus(const std::string& Folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_TEST_DATA "/" + Folder))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<std::vector<uint8_t>> inputs;
  for (const auto& path : files) {
    std::ifstream file(path, std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return inputs;
}
