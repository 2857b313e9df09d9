// Every test program runs with one application object, like the program itself,
// so that timers, windows and Synchronize work in any test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

// A test that closes the main window ends the application; the next test must not
// find it ending (lamps, for one, ignore changes then), nor run the calls it left
// queued: an answer waiting for a box that never came would answer the next test's.
class TApplicationReset : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    Application->ClearTerminated();
    ForgetQueuedCalls();
  }
};

// Tests name their files freely in the temporary folder, and ctest runs each case alone
// while the whole program runs beside it: every test process gets a temporary folder of
// its own, so that two never write over each other's files.
class TPrivateTempFolder {
 public:
  TPrivateTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora_test_XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    setenv("TMPDIR", folder_.c_str(), 1);
  }
  ~TPrivateTempFolder() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  TPrivateTempFolder(const TPrivateTempFolder&) = delete;
  TPrivateTempFolder& operator=(const TPrivateTempFolder&) = delete;

 private:
  std::string folder_;
};

// Tests play sounds only on a sound server of their own: none would otherwise be started
// for them, on a machine where the client library starts one when asked.
void UseNoSoundServer() {
  const std::string none = (std::filesystem::temp_directory_path() / "no-sound-server").string();
  setenv("PULSE_SERVER", ("unix:" + none).c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
  TPrivateTempFolder temp_folder;
  UseNoSoundServer();
  ::testing::InitGoogleTest(&argc, argv);
  TApplication app(argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TApplicationReset);
  // Nobody answers a box in a test run: one the test did not queue an answer for would
  // hold the test until its time-out.
  RefuseUnansweredBoxes([](const std::string& Text) {
    ADD_FAILURE() << "A box opened that the test does not answer: " << Text;
  });
  return RUN_ALL_TESTS();
}
