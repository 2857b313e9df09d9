// Files that tests hand to peer programs: one private folder per test process, made on
// first use, so that parallel runs of the suite never write over each other's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora_scratch_XXXXXX").string();
    return std::string(mkdtemp(pattern.data()) ? pattern : std::string());
  }();
  return folder;
}

// Writes content to name (which may hold sub-folders) below the scratch folder; the path.
inline std::string WriteScratchFile(const std::string& name, const std::string& content) {
  const std::filesystem::path path = std::filesystem::path(ScratchFolder()) / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}
