#include "controls/path_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

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
