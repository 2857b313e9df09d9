// Points ConfigFolder() at a fresh empty folder for one test and removes it afterwards,
// so settings tests never touch the user's own settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

class TempConfigFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    base_ = std::filesystem::temp_directory_path() /
            ("velmora-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(base_);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("XDG_CONFIG_HOME", base_.c_str(), 1);
  }
  void TearDown() override {
    if (had_old_) {
      setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }
  std::string Base() const { return base_.string() + "/"; }

 private:
  std::filesystem::path base_;
  bool had_old_ = false;
  std::string old_;
};
