// Shared by the program's tests: a fresh program folder and settings store per test,
// language files made on the spot, and answers to the message boxes a step shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/language/code_encode.h"
#include "app/language/language_key.h"
#include "app/my_msg_boxes.h"
#include "app/shelf/app_folders.h"
#include "controls/my_msg_dialog.h"
#include "platform/test_support/gui_test_support.h"

// The program folder (PrgDir, with Speak/ as SpkDir) and the settings folder are fresh
// temporary folders, removed afterwards.
class AppFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    base_ = std::filesystem::temp_directory_path() /
            ("velmora-app-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(base_ / "prg" / "Speak");
    std::filesystem::create_directories(base_ / "config");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("XDG_CONFIG_HOME", (base_ / "config").c_str(), 1);
    SetPrgDir((base_ / "prg").string());
    SpkDir = PrgDir() + "Speak/";
  }
  void TearDown() override {
    if (had_old_) {
      setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    SetPrgDir("");
    SpkDir.clear();
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }

  static void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out << Bytes;
  }

  // A language file in SpkDir: preamble, header for Version, the lines, enciphered.
  static void WriteSpeakFile(const std::string& Name, const std::string& Version,
                             const std::vector<std::string>& Lines) {
    std::string plain(64, '-');
    plain +=
        "\"###VIRDO-SPK-HEADER###\";\"01012026\";\"Test\";\"N0CALL\";\"" + Version + "\";\"1\"\r\n";
    for (const std::string& line : Lines) plain += line + "\r\n";
    WriteFile(SpkDir + Name, EncodeString(plain, kLanguageKey));
  }

 private:
  std::filesystem::path base_;
  bool had_old_ = false;
  std::string old_;
};

// Answers the next skinned message box with OK and keeps its text.
inline void AnswerNextMyMsgBox(std::string* Text = nullptr) {
  QueueCall([Text] {
    if (TfrmMyMsgDialog* box = OpenMyMsgBox()) {
      if (Text) *Text = box->Text();
      box->SetModalResult(mrOk);
    }
  });
}

// Answers the next Count skinned message boxes, one after the other, appending their
// texts; waits for each for a bounded number of event-loop passes.
inline void AnswerMyMsgBoxes(std::vector<std::string>& Texts, int Count,
                             std::vector<std::string>* Heads = nullptr) {
  constexpr int kPatience = 5000;
  auto answer = std::make_shared<std::function<void(int, int)>>();
  // The function holds itself only weakly; each queued call keeps it alive.
  std::weak_ptr<std::function<void(int, int)>> self = answer;
  *answer = [&Texts, Heads, self](int Left, int Patience) {
    auto me = self.lock();
    if (!me || Left <= 0 || Patience <= 0) return;
    if (TfrmMyMsgDialog* box = OpenMyMsgBox()) {
      Texts.push_back(box->Text());
      if (Heads) Heads->push_back(box->mlblHead->Caption());
      box->SetModalResult(mrOk);
      QueueCall([me, Left] { (*me)(Left - 1, kPatience); });
    } else {
      QueueCall([me, Left, Patience] { (*me)(Left, Patience - 1); });
    }
  };
  QueueCall([answer, Count] { (*answer)(Count, kPatience); });
}
