// Every window of the program, made as the program makes them, for one test.
#pragma once

#include <memory>

#include "app/program/program.h"
#include "app_test_support.h"

class AppWindowsTest : public AppFolderTest {
 protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    owner_ = std::make_unique<TProgramWindows>();
    CreateWindows(*owner_);
  }
  void TearDown() override {
    owner_.reset();
    AppFolderTest::TearDown();
  }

 private:
  std::unique_ptr<TProgramWindows> owner_;
};
