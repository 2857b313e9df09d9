// Every window of the program, made as the program makes them, for one test.
#pragma once

#include <memory>

#include "app/program/program.h"
#include "app_test_support.h"

class AppWindowsTest : public AppFolderTest {
 protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    BeforeWindows();
    owner_ = std::make_unique<TProgramWindows>();
    CreateWindows(*owner_);
  }
  // What the program folder holds before the windows are made (they read it as they are).
  virtual void BeforeWindows() {}
  void TearDown() override {
    owner_.reset();
    AppFolderTest::TearDown();
  }

 private:
  std::unique_ptr<TProgramWindows> owner_;
};
