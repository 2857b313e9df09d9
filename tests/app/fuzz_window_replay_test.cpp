// Replays the saved fuzzing corpus of what comes into the program's windows from files
// (tests/data/app/fuzz/): language lines, settings files, weather text files and TNC
// command files, with every window made as the program makes them.
#include <gtest/gtest.h>

#include "app/app_windows.h"
#include "app/fuzz_window_targets.h"
#include "support/fuzz_corpus.h"

namespace {

class AppWindowFuzzReplay : public AppWindowsTest {
 protected:
  template <class Target>
  static void Replay(const std::string& Folder, Target target) {
    const auto inputs = FuzzCorpus("app/fuzz/" + Folder);
    EXPECT_GE(inputs.size(), 3u);
    TAnswerEveryBox answers;
    for (const auto& input : inputs) target(input.data(), input.size());
  }
};

TEST_F(AppWindowFuzzReplay, LanguageLinesApplied) {
  Replay("speak_lines", FuzzSpeakLinesApplied);
}

TEST_F(AppWindowFuzzReplay, SettingsApplied) {
  Replay("settings", FuzzSettingsApplied);
}

TEST_F(AppWindowFuzzReplay, WeatherTextFiles) {
  Replay("wx_text", [](const uint8_t* data, size_t size) { FuzzWxTextFile(data, size, PrgDir()); });
}

TEST_F(AppWindowFuzzReplay, TncCommandFiles) {
  Replay("tnc_commands", FuzzTncCommandFile);
}

}  // namespace
