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

// The folder name (made when missing, with a trailing '/') for pictures a test writes
// for a person to look at: below the folder VELMORA_TEST_PICTURES names, where they are
// kept, else below the scratch folder. Never beside the test program, which the user
// running the tests may not own.
inline std::string PictureFolder(const std::string& name) {
  const char* kept = getenv("VELMORA_TEST_PICTURES");
  const std::filesystem::path folder =
      std::filesystem::path(kept && *kept ? kept : ScratchFolder()) / name;
  std::filesystem::create_directories(folder);
  return folder.string() + "/";
}
