#include "controls/path_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string TempFolder(const char* name) {
  const auto folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder);
  return folder.string();
}

TEST(PathDialogTest, CancelReturnsFalseAndKeepsThePathName) {
  TPathDialog dialog(nullptr);
  dialog.SetPathName("/nowhere/in/particular");
  dialog.OnInit = [](TComponent*) { CloseFolderPicker(false); };
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.PathName(), "/nowhere/in/particular");
}

TEST(PathDialogTest, PresetFolderIsWhereTheDialogOpens) {
  const std::string folder = TempFolder("velmora_path_dialog_a");
  TPathDialog dialog(nullptr);
  dialog.SetTitle("Kartenverzeichnis");
  dialog.SetPathName(folder);
  int inits = 0;
  dialog.OnInit = [&](TComponent*) {
    ++inits;
    CloseFolderPicker(true);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.PathName(), folder);
  EXPECT_EQ(inits, 1);
}

// Folder names are the file system's bytes: a name the code page cannot hold comes back
// as the folder that exists, from the chooser and from its selection changes.
TEST(PathDialogTest, AFolderNamedInAnyScriptComesBackWhole) {
  const std::string folder = TempFolder(
      "velmora_\xC5\x81\xC3\xB3"
      "d\xC5\xBA karten");
  const std::string other = TempFolder("velmora_\xCE\xA7\xCE\xAC\xCF\x81\xCF\x84\xCE\xB5\xCF\x82");
  TPathDialog dialog(nullptr);
  dialog.SetPathName(other);
  std::vector<std::string> selected;
  dialog.OnSelChanged = [&](TComponent*) { selected.push_back(dialog.PathName()); };
  dialog.OnInit = [&](TComponent*) {
    dialog.SetPathName(folder);
    CloseFolderPicker(true);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.PathName(), folder);
  EXPECT_TRUE(std::filesystem::is_directory(dialog.PathName()));
  for (const std::string& path : selected) EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST(PathDialogTest, PathNameSetWhileOpenMovesTheSelection) {
  const std::string first = TempFolder("velmora_path_dialog_a");
  const std::string second = TempFolder("velmora_path_dialog_b");
  TPathDialog dialog(nullptr);
  dialog.SetPathName(first);
  dialog.SetStatusText("Bitte Verzeichnis w\xE4hlen");
  dialog.OnInit = [&](TComponent*) {
    dialog.SetPathName(second);
    dialog.SetStatusText("anders");
    CloseFolderPicker(true);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.PathName(), second);
  EXPECT_FALSE(CloseFolderPicker(true)) << "nothing is open any more";
}

}  // namespace
