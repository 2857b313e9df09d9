#include "platform/sys/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "temp_config_folder.h"

namespace {

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

}  // namespace

TEST(FileNames, PartsOfAPath) {
  EXPECT_EQ(ExtractFilePath("/opt/velmora/Stn.dat"), "/opt/velmora/");
  EXPECT_EQ(ExtractFileName("/opt/velmora/Stn.dat"), "Stn.dat");
  EXPECT_EQ(ExtractFileName("Stn.dat"), "Stn.dat");
  EXPECT_EQ(ExtractFilePath("Stn.dat"), "");
  EXPECT_EQ(ExtractFileExt("/maps/Europe.Map.JPG"), ".JPG");
  EXPECT_EQ(ExtractFileExt("/maps.d/Europe"), "");
  EXPECT_EQ(ChangeFileExt("/maps/Europe.jpg", ".DAT"), "/maps/Europe.DAT");
  EXPECT_EQ(ChangeFileExt("/maps.d/Europe", ".INF"), "/maps.d/Europe.INF");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/maps"), "/maps/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/maps/"), "/maps/");
}

using Files = TempConfigFolder;

TEST_F(Files, CreateRenameAndDelete) {
  const std::string deep = Base() + "a/b/c";
  EXPECT_FALSE(CreateDir(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there is fine
  EXPECT_TRUE(CreateDir(Base() + "a/d"));
  EXPECT_FALSE(FileExists(deep));  // a folder is not a file

  Touch(Base() + "one");
  Touch(Base() + "two");
  EXPECT_FALSE(RenameFile(Base() + "one", Base() + "two"));  // never overwrites
  EXPECT_TRUE(RenameFile(Base() + "one", Base() + "three"));
  EXPECT_FALSE(FileExists(Base() + "one"));
  EXPECT_TRUE(DeleteFile(Base() + "three"));
  EXPECT_FALSE(DeleteFile(Base() + "three"));
  EXPECT_FALSE(DeleteFile(deep));  // not a file
}

TEST_F(Files, FindFilesMatchesMasksWithoutCaseAndSortsTheResult) {
  ForceDirectories(Base() + "maps/sub");
  Touch(Base() + "maps/b.jpg");
  Touch(Base() + "maps/A.JPG");
  Touch(Base() + "maps/a.jpg.dat");
  Touch(Base() + "maps/sub/c.Jpg");
  const std::string maps = Base() + "maps";
  EXPECT_EQ(FindFiles(maps, "*.jpg", false),
            (std::vector<std::string>{maps + "/A.JPG", maps + "/b.jpg"}));
  EXPECT_EQ(FindFiles(maps + "/", "*.jpg", true),
            (std::vector<std::string>{maps + "/A.JPG", maps + "/b.jpg", maps + "/sub/c.Jpg"}));
  EXPECT_EQ(FindFiles(maps, "?.jpg*", false).size(), 3u);
  EXPECT_EQ(FindFiles(maps, "*", false).size(), 3u);  // folders are not listed
  EXPECT_TRUE(FindFiles(Base() + "missing", "*", true).empty());
}

TEST_F(Files, ReadOnlyFlag) {
  const std::string file = Base() + "ini.ini";
  Touch(file);
  EXPECT_FALSE(FileIsReadOnly(file));
  EXPECT_TRUE(FileSetReadOnly(file, true));
  EXPECT_TRUE(FileIsReadOnly(file));
  EXPECT_TRUE(FileSetReadOnly(file, false));
  EXPECT_FALSE(FileIsReadOnly(file));
  EXPECT_FALSE(FileSetReadOnly(Base() + "missing", false));
}

// A reader costs what the file holds, not what it may hold: under a bound no machine can
// allocate, a small file reads at once. A file whose size says nothing (/proc) is still
// read whole, and refused when it holds more than the bound.
TEST_F(Files, ReadersCostWhatTheFileHoldsNotTheirBound) {
  const std::string file = Base() + "PrgUp.wav";
  const std::string content(28 * 1024, 'w');
  std::ofstream(file, std::ios::binary) << content;
  constexpr size_t kPebibyte = size_t(1) << 50;
  EXPECT_EQ(ReadSmallFile(file, kPebibyte), content);
  EXPECT_EQ(ReadFileHead(file, kPebibyte, kPebibyte), content);
  EXPECT_EQ(ReadFileHead(file, 10, kPebibyte), content.substr(0, 10));
  std::string why;
  EXPECT_FALSE(ReadSmallFile(file, content.size() - 1, &why));
  EXPECT_EQ(why, "it is larger than 28671 bytes");

  const std::string proc = "/proc/self/environ";
  std::stringstream expected;
  expected << std::ifstream(proc, std::ios::binary).rdbuf();
  ASSERT_GT(expected.str().size(), 10u);
  EXPECT_EQ(ReadSmallFile(proc, kPebibyte), expected.str());
  EXPECT_FALSE(ReadSmallFile(proc, 10, &why));
  EXPECT_EQ(why, "it is larger than 10 bytes");
}

TEST_F(Files, ConfigFolderFollowsXdgConfigHome) {
  EXPECT_EQ(ConfigFolder(), Base() + "Velmora/");
  setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  const std::string fallback = ConfigFolder();
  EXPECT_EQ(fallback.substr(fallback.size() - 17), "/.config/Velmora/");
}
