// Every test program runs with one application object, like the program itself,
// so that timers, windows and Synchronize work in any test.
#include <gtest/gtest.h>

#include "platform/sys/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
