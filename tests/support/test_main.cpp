// Every test program runs with one application object, like the program itself,
// so that timers, windows and Synchronize work in any test.
#include <gtest/gtest.h>

#include "platform/sys/application.h"

namespace {

// A test that closes the main window ends the application; the next test must not
// find it ending (lamps, for one, ignore changes then).
class TApplicationReset : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { Application->ClearTerminated(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TApplication app(argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TApplicationReset);
  return RUN_ALL_TESTS();
}
