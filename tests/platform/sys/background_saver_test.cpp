#include "platform/sys/background_saver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/text/streams.h"

namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class BackgroundSaver : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("velmora_saver_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
};

// Saves handed over faster than the disk takes them: whenever the file is read it holds
// one whole version, the versions it shows never go back, and the last one handed over
// is the one that stays; the end's save follows it.
TEST_F(BackgroundSaver, TheNewestContentStaysAndNoVersionIsTornOrOvertaken) {
  const std::string file = (folder / "Stn.dat").string();
  std::set<std::string> handed;
  int last_seen = -1;
  {
    TBackgroundSaver saver;
    for (int version = 0; version < 300; ++version) {
      // Large enough that a write takes a while; each version differs all along.
      const std::string content(64 * 1024 + version, static_cast<char>('A' + version % 26));
      saver.Save(file, [content] { return content; });
      const std::string seen = Read(file);
      if (seen.empty()) continue;  // not written yet
      const int seen_version = static_cast<int>(seen.size()) - 64 * 1024;
      ASSERT_GE(seen_version, 0);
      ASSERT_EQ(seen, std::string(seen.size(), static_cast<char>('A' + seen_version % 26)));
      ASSERT_GE(seen_version, last_seen);
      last_seen = seen_version;
    }
    saver.WaitUntilWritten();
    EXPECT_EQ(Read(file).size(), 64u * 1024 + 299);
    saver.Save(file, [] { return "handed over"; });
    saver.SaveNow(file, "the end");
    EXPECT_EQ(Read(file), "the end");
    saver.Save(file, [] { return "written by the destructor"; });
  }
  EXPECT_EQ(Read(file), "written by the destructor");
}

// A write that fails keeps the old file and says which file and why, once; content that
// failed is written again even unchanged; the end's save raises the error.
TEST_F(BackgroundSaver, AFailedWriteIsToldAndTriedAgain) {
  const std::filesystem::path missing = folder / "gone";
  const std::string file = (missing / "Stn.dat").string();
  TBackgroundSaver saver;
  saver.Save(file, [] { return "stations"; });
  saver.WaitUntilWritten();
  const std::string failure = saver.TakeFailure();
  EXPECT_NE(failure.find(file), std::string::npos) << failure;
  EXPECT_EQ(saver.TakeFailure(), "");
  EXPECT_THROW(saver.SaveNow(file, "stations"), EWriteError);

  std::filesystem::create_directories(missing);
  saver.Save(file, [] { return "stations"; });
  saver.WaitUntilWritten();
  EXPECT_EQ(saver.TakeFailure(), "");
  EXPECT_EQ(Read(file), "stations");
}

}  // namespace
