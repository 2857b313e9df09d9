#include "platform/sys/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sys/files.h"
#include "temp_config_folder.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  ForceDirectories(ExtractFilePath(path));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Every byte value once, and the characters a line-based file could trip over.
std::string AwkwardText() {
  std::string text = "a=b\\c\r\nd\"e\" \t;#%";
  for (int c = 0; c < 256; ++c) text += static_cast<char>(c);
  return text + "\xE4\xF6\xFC\xDF";  // cp1252 umlauts
}

void WriteSample() {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora\\Programm\\Station", true));
  reg.WriteString("Lati",
                  "48\xB0"
                  "07.50 N");
  reg.WriteString("Awkward", AwkwardText());
  reg.WriteString("", "default value");
  reg.WriteInteger("Power", -2147483647 - 1);
  reg.WriteInteger("Height", 2147483647);
  reg.WriteBool("Comp", true);
  reg.WriteBool("Range", false);
  reg.CloseKey();
}

}  // namespace

using Registry = TempConfigFolder;

TEST_F(Registry, ValuesRoundTripThroughTheFile) {
  WriteSample();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Station\\", false));
  EXPECT_EQ(reg.ReadString("Lati"),
            "48\xB0"
            "07.50 N");
  EXPECT_EQ(reg.ReadString("Awkward"), AwkwardText());
  EXPECT_EQ(reg.ReadString(""), "default value");
  EXPECT_EQ(reg.ReadInteger("Power"), -2147483647 - 1);
  EXPECT_EQ(reg.ReadInteger("Height"), 2147483647);
  EXPECT_TRUE(reg.ReadBool("Comp"));
  EXPECT_FALSE(reg.ReadBool("Range"));
  EXPECT_EQ(reg.ReadInteger("Comp"), 1);  // a Boolean is an integer
  EXPECT_EQ(reg.GetValueNames(),
            (std::vector<std::string>{"Lati", "Awkward", "", "Power", "Height", "Comp", "Range"}));
  EXPECT_TRUE(std::filesystem::exists(TRegistry::FileName()));
}

TEST_F(Registry, NamesIgnoreCaseAndPathsAreRelativeToTheOpenKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora", true));
  EXPECT_TRUE(reg.OpenKey("Programm\\Device", true));  // below the open key
  EXPECT_EQ(reg.CurrentPath(), "Software\\Velmora\\Programm\\Device");
  reg.WriteInteger("COM-Port", 3);
  reg.WriteInteger("com-port", 4);  // the same value
  EXPECT_EQ(reg.GetValueNames().size(), 1u);
  EXPECT_EQ(reg.ReadInteger("COM-PORT"), 4);
  EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\velmora", false));  // from the root
  EXPECT_TRUE(reg.KeyExists("PROGRAMM\\device"));
  EXPECT_FALSE(reg.KeyExists("Device"));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Programm"});
}

TEST_F(Registry, FailedOpenWithoutCreateKeepsTheOpenKeyAndCreatesNothing) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora", true));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Other", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Velmora");
  EXPECT_FALSE(reg.KeyExists("\\Software\\Other"));
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentPath(), "");
}

TEST_F(Registry, AbsentAndMistypedValues) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora", true));
  reg.WriteString("SetVer", "1.1");
  reg.WriteInteger("MsgNr", 7);
  EXPECT_FALSE(reg.ValueExists("PrgVer"));
  EXPECT_EQ(reg.ReadString("PrgVer"), "");  // absent reads as empty
  EXPECT_THROW(reg.ReadInteger("PrgVer"), ERegistryException);
  EXPECT_THROW(reg.ReadBool("PrgVer"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("SetVer"), ERegistryException);
  EXPECT_THROW(reg.ReadString("MsgNr"), ERegistryException);
  reg.WriteString("MsgNr", "eight");  // a write may change the type
  EXPECT_EQ(reg.ReadString("MsgNr"), "eight");
  EXPECT_TRUE(reg.DeleteValue("msgnr"));
  EXPECT_FALSE(reg.DeleteValue("MsgNr"));
  EXPECT_FALSE(reg.ValueExists("MsgNr"));
}

TEST_F(Registry, DeleteKeyRemovesTheWholeSubtree) {
  {
    TRegistry reg;
    for (const char* key : {"Software\\Velmora\\Programm\\Device",
                            "Software\\Velmora\\Programm\\Position", "Software\\Velmora\\Keep"}) {
      ASSERT_TRUE(reg.OpenKey(std::string("\\") + key, true));
      reg.WriteInteger("X", 1);
    }
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey("Software\\Velmora\\Programm"));
    EXPECT_FALSE(reg.DeleteKey("Software\\Velmora\\Programm"));
    EXPECT_FALSE(reg.DeleteKey(""));  // not the root
  }
  TRegistry reg;  // and it was saved that way
  EXPECT_FALSE(reg.KeyExists("Software\\Velmora\\Programm\\Device"));
  EXPECT_FALSE(reg.KeyExists("Software\\Velmora\\Programm"));
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora\\Keep", false));
  EXPECT_EQ(reg.ReadInteger("X"), 1);
}

TEST_F(Registry, WritingToAKeyDeletedWhileOpenFails) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora", true));
  EXPECT_TRUE(reg.DeleteKey("\\Software"));
  EXPECT_FALSE(reg.ValueExists("SetVer"));
  EXPECT_THROW(reg.WriteString("SetVer", "1.1"), ERegistryException);
}

TEST_F(Registry, ForeignFilesReadAsAbsentValuesAndAreKept) {
  const std::vector<std::string> bad = {
      "",
      std::string("\x00\x01\x02 binary junk", 16),
      "[HKEY_CURRENT_USER\\Software\\Velmora]\n\"SetVer\"=\"1.1\"\n",  // some other format
      "Velmora registry 2\nkey \"Software\"\nend\n",                   // a later version
      "Velmora registry 1\nstring \"Orphan\" \"no key before\"\nend\n",
  };
  for (const std::string& content : bad) {
    WriteWholeFile(TRegistry::FileName(), content);
    TRegistry reg;
    EXPECT_TRUE(reg.Damaged());
    EXPECT_FALSE(reg.KeyExists("Software")) << content;
    EXPECT_TRUE(reg.OpenKey("Software\\Velmora", true)) << content;
    EXPECT_EQ(ReadWholeFile(TRegistry::DamagedFileName()), content);
  }
  std::filesystem::remove(TRegistry::FileName());
  TRegistry missing;  // no file yet is no damage
  EXPECT_FALSE(missing.Damaged());
}

// A file damaged after some good lines (torn by something else, or edited by hand):
// the values before the damage are read, the rest are absent, never wrong.
TEST_F(Registry, DamagedFilesKeepTheValuesBeforeTheDamage) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora", true));
    reg.WriteString("SetVer", "1.1");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Station", true));
    reg.WriteString("CallP1", "N0CALL-9");
    reg.WriteString("Awkward", AwkwardText());
    reg.WriteInteger("Power", 25);
  }
  const std::string good = ReadWholeFile(TRegistry::FileName());
  const std::vector<std::string> damage = {
      "integer \"N\" 99999999999\n", "string \"S\" \"\\q\"\n",        "key \"Soft\\\\ware\"\n",
      "string \"S\" \"x\\x4\"\n",    std::string(100000, 'x') + "\n", "end\ntrailing\n"};
  const std::string before_end = good.substr(0, good.rfind("end\n"));
  for (const std::string& bad : damage) {
    WriteWholeFile(TRegistry::FileName(), before_end + bad);
    TRegistry reg;
    EXPECT_TRUE(reg.Damaged()) << bad.substr(0, 30);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Station", false));
    EXPECT_EQ(reg.ReadString("CallP1"), "N0CALL-9");
    EXPECT_EQ(reg.ReadInteger("Power"), 25);
  }
  // Cuts all over the file but the one of the last line end, which leaves a whole file.
  for (size_t cut = 0; cut + 1 < good.size(); cut += cut % 5 + 1) {
    WriteWholeFile(TRegistry::FileName(), good.substr(0, cut));
    TRegistry reg;
    ASSERT_TRUE(reg.Damaged()) << "cut at " << cut;
    EXPECT_EQ(ReadWholeFile(TRegistry::DamagedFileName()), good.substr(0, cut));
    if (!reg.OpenKey("\\Software\\Velmora\\Programm\\Station", false)) continue;
    if (reg.ValueExists("CallP1")) {
      EXPECT_EQ(reg.ReadString("CallP1"), "N0CALL-9");
    }
    if (reg.ValueExists("Awkward")) {
      EXPECT_EQ(reg.ReadString("Awkward"), AwkwardText());
    }
    if (reg.ValueExists("Power")) {
      EXPECT_EQ(reg.ReadInteger("Power"), 25);
    }
  }
}

// A save deletes a subtree and writes it anew: the file sees only the end result, in
// one write, never the state in between.
TEST_F(Registry, ChangesReachTheFileOnlyAllAtOnce) {
  WriteSample();
  const std::string before = ReadWholeFile(TRegistry::FileName());
  TRegistry reg;
  EXPECT_TRUE(reg.DeleteKey("\\Software\\Velmora\\Programm"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Device", true));
  reg.WriteInteger("ComPort", 3);
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Station", true));
  reg.CloseKey();
  EXPECT_EQ(ReadWholeFile(TRegistry::FileName()), before);
  reg.SaveChanges();
  TRegistry after;
  EXPECT_FALSE(after.KeyExists("\\Software\\Velmora\\Programm\\Position"));
  ASSERT_TRUE(after.OpenKey("\\Software\\Velmora\\Programm\\Device", false));
  EXPECT_EQ(after.ReadInteger("ComPort"), 3);
}

TEST_F(Registry, SavingOverADamagedFileWritesAGoodOne) {
  WriteWholeFile(TRegistry::FileName(), "garbage");
  WriteSample();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora\\Programm\\Station", false));
  EXPECT_EQ(reg.ReadInteger("Height"), 2147483647);
}

TEST_F(Registry, FailedSaveRaisesAndLeavesNoTemporaryFileBehind) {
  // A folder where the file should be: the final rename cannot succeed.
  std::filesystem::create_directories(TRegistry::FileName());
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software", true));
  reg.WriteInteger("X", 1);
  try {
    reg.SaveChanges();
    FAIL() << "saved over a folder";
  } catch (const ERegistryException& error) {
    EXPECT_NE(std::string(error.what()).find(TRegistry::FileName()), std::string::npos);
  }
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ConfigFolder())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);  // only the folder in the way
}

TEST_F(Registry, SaveReplacesTheFileWithoutLeavingTemporaryFiles) {
  WriteSample();
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Velmora\\Programm\\Station", false));
    reg.WriteString("Lati", "changed");
  }  // saved when freed
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Velmora\\Programm\\Station", false));
  EXPECT_EQ(reg.ReadString("Lati"), "changed");
  EXPECT_EQ(FindFiles(ConfigFolder(), "*", false), std::vector<std::string>{TRegistry::FileName()});
}

// A file too big to be ours is not read, but it is kept whole, however big, and what
// could be read (nothing) becomes the new file.
TEST_F(Registry, AnOversizedFileIsKeptWhole) {
  const std::string content = std::string(16 * 1024 * 1024, 'x') + "\nend\n";
  WriteWholeFile(TRegistry::FileName(), content);
  {
    TRegistry reg;
    EXPECT_TRUE(reg.Damaged());
    EXPECT_TRUE(reg.DamagedFileKept());
    EXPECT_FALSE(reg.KeyExists("Software"));
  }
  EXPECT_EQ(ReadWholeFile(TRegistry::DamagedFileName()), content);
  TRegistry again;  // the new file is whole and ours
  EXPECT_FALSE(again.Damaged());
}

// A damaged file that cannot be moved aside (something else holds the name) is never
// saved over, and the caller learns it was not kept.
TEST_F(Registry, ADamagedFileThatCannotBeKeptIsNotSavedOver) {
  const std::string content = "not ours\n";
  WriteWholeFile(TRegistry::FileName(), content);
  ForceDirectories(TRegistry::DamagedFileName() + "/in the way");
  {
    TRegistry reg;
    EXPECT_TRUE(reg.Damaged());
    EXPECT_FALSE(reg.DamagedFileKept());
    ASSERT_TRUE(reg.OpenKey("Software\\Velmora", true));
    reg.WriteString("SetVer", "1.1");
    EXPECT_THROW(reg.SaveChanges(), ERegistryException);
  }
  EXPECT_EQ(ReadWholeFile(TRegistry::FileName()), content);
}
