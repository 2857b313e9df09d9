// What the fuzz programs that drive the program's windows need before their first
// input: the windows, made once as the program makes them, in a program folder and a
// settings folder of their own, and every box they open answered at once.
#pragma once

#include <cstdlib>
#include <string>

#include "app/fuzz_window_targets.h"
#include "app/program/program.h"
#include "app/shelf/app_folders.h"
#include "fuzz_setup.h"
#include "platform/sys/files.h"

inline void StartProgramWindows(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  const std::string folder = MakeScratchFolder();
  ForceDirectories(folder + "prg/Speak");
  ForceDirectories(folder + "config");
  setenv("XDG_CONFIG_HOME", (folder + "config").c_str(), 1);
  SetPrgDir(folder + "prg");
  SpkDir = PrgDir() + "Speak/";
  // Like the application, never destroyed (see StartOffscreenApplication).
  static TProgramWindows* owner = new TProgramWindows;
  CreateWindows(*owner);
  static TAnswerEveryBox answers;
}
