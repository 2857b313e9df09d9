#include "platform/sys/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_size_limit.h"
#include "platform/sys/files.h"
#include "platform/text/streams.h"
#include "platform/text/string_list.h"
#include "temp_config_folder.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

using AtomicFile = TempConfigFolder;

TEST_F(AtomicFile, ReplacesTheFileAndKeepsItsPermissionsAndLinks) {
  const std::string file = Base() + "Stn.dat";
  SaveFileAtomically(file, "old\n");
  chmod(file.c_str(), 0640);
  SaveFileAtomically(file, std::string("new\0line\n", 9));
  EXPECT_EQ(ReadWholeFile(file), std::string("new\0line\n", 9));
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // A link is followed: the file it names changes, the link stays a link.
  const std::string link = Base() + "link.dat";
  std::filesystem::create_symlink(file, link);
  SaveFileAtomically(link, "through the link\n");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(file), "through the link\n");
  EXPECT_EQ(FolderNames(Base()), (std::vector<std::string>{"Stn.dat", "link.dat"}));
}

// A full disk in the middle of a save: the error names the file and the reason, the
// old file is whole, and no temporary file stays.
TEST_F(AtomicFile, AFullDiskKeepsTheOldFileWhole) {
  const std::string file = Base() + "Stn.dat";
  TStringList old_lines;
  for (int i = 0; i < 5000; ++i) old_lines.Add("OLD" + std::to_string(i) + ";1;2;3");
  old_lines.SaveToFile(file);
  const std::string old_content = ReadWholeFile(file);
  TStringList new_lines;
  for (int i = 0; i < 6000; ++i) new_lines.Add("NEW" + std::to_string(i) + ";1;2;3");
  try {
    TFileSizeLimit full(old_content.size());
    new_lines.SaveToFile(file);
    FAIL() << "the save succeeded";
  } catch (const EWriteError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
  }
  EXPECT_EQ(ReadWholeFile(file), old_content);
  EXPECT_EQ(FolderNames(Base()), std::vector<std::string>{"Stn.dat"});
  // Once there is room again the same save goes through.
  new_lines.SaveToFile(file);
  EXPECT_EQ(ReadWholeFile(file), new_lines.Text());
}

// An append goes to the end of the file as it is; to a file that is not as its writer
// left it (or not there) nothing is written. Cut short by a full disk, it is taken back
// whole and the error names the file.
TEST_F(AtomicFile, AppendsOnlyToTheFileItsWriterLeftAndTakesAFailedOneBack) {
  const std::string file = Base() + "packets.log";
  EXPECT_FALSE(AppendToFile(file, "a\r\n", 0));
  EXPECT_FALSE(std::filesystem::exists(file));
  SaveFileAtomically(file, "a\r\n");
  EXPECT_FALSE(AppendToFile(file, "b\r\n", 2));
  ASSERT_TRUE(AppendToFile(file, "b\r\n", 3));
  EXPECT_EQ(ReadWholeFile(file), "a\r\nb\r\n");
  try {
    TFileSizeLimit full(10);
    AppendToFile(file, "a line longer than the room that is left\r\n", 6);
    FAIL() << "the append succeeded";
  } catch (const EWriteError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
  }
  EXPECT_EQ(ReadWholeFile(file), "a\r\nb\r\n");
  std::filesystem::create_directory(Base() + "folder.log");
  EXPECT_THROW(AppendToFile(Base() + "folder.log", "x", 0), EWriteError);
}

TEST_F(AtomicFile, AFileThatCannotBeWrittenIsLeftAlone) {
  // A folder in the way of the name: nothing can be renamed over it.
  std::filesystem::create_directories(Base() + "busy");
  EXPECT_THROW(SaveFileAtomically(Base() + "busy", "x"), EWriteError);
  EXPECT_THROW(SaveFileAtomically(Base() + "no/such/folder/f", "x"), EWriteError);
  EXPECT_EQ(FolderNames(Base()), std::vector<std::string>{"busy"});
  if (geteuid() != 0) {  // the superuser may write anything
    const std::string file = Base() + "locked";
    SaveFileAtomically(file, "kept");
    ASSERT_TRUE(FileSetReadOnly(file, true));
    EXPECT_THROW(SaveFileAtomically(file, "lost"), EWriteError);
    EXPECT_EQ(ReadWholeFile(file), "kept");
  }
}

// A named pipe, named directly or through a link, is written into while a program reads
// from it, refused while none does or its reader has stopped, and stays a pipe either
// way; so are appends to it.
TEST_F(AtomicFile, APipeIsWrittenIntoAndNeverReplaced) {
  const std::string pipe = Base() + "packets.log";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0) << std::strerror(errno);
  const std::string link = Base() + "link.log";
  std::filesystem::create_symlink(pipe, link);
  const auto still_a_pipe = [&] {
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FolderNames(Base()), (std::vector<std::string>{"link.log", "packets.log"}));
  };
  for (const std::string& name : {pipe, link}) {
    try {
      SaveFileAtomically(name, "nobody hears this\n");
      FAIL() << "a pipe without a reader took the save";
    } catch (const EWriteError& error) {
      EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
    still_a_pipe();
  }
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0) << std::strerror(errno);
  EXPECT_FALSE(AppendToFile(pipe, "appended\n", 0));
  SaveFileAtomically(pipe, "first\r\n");
  TStringList lines;
  lines.Add("second");
  lines.SaveToFile(link);
  char heard[64] = {};
  EXPECT_EQ(read(reader, heard, sizeof heard), 15);
  EXPECT_STREQ(heard, "first\r\nsecond\r\n");
  // A reader that stops reading: a save larger than the pipe holds is refused, naming
  // the file, rather than waiting without end.
  try {
    SaveFileAtomically(link, std::string(495 * 1024, 's'));
    FAIL() << "a pipe whose reader reads nothing took the save";
  } catch (const EWriteError& error) {
    EXPECT_NE(std::string(error.what()).find(link), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find(kReaderStalledText), std::string::npos)
        << error.what();
  }
  close(reader);
  still_a_pipe();
}

TEST_F(AtomicFile, StaleTemporaryFilesAreDeletedAndNothingElse) {
  for (const char* name : {"registry~save-a1B2c3", "Stn.dat~save-ZZZZZZ", "Stn.dat", "registry",
                           "notes~save-abc", "registry.damaged", "~save-123456x"}) {
    std::ofstream(Base() + name) << "x";
  }
  std::filesystem::create_directories(Base() + "folder~save-abcdef");
  EXPECT_EQ(DeleteStaleSaveFiles(Base()), 2);
  EXPECT_EQ(FolderNames(Base()),
            (std::vector<std::string>{"Stn.dat", "folder~save-abcdef", "notes~save-abc", "registry",
                                      "registry.damaged", "~save-123456x"}));
  EXPECT_EQ(DeleteStaleSaveFiles(Base() + "missing/"), 0);
}

}  // namespace
