// What the fuzz programs need before their first input: an offscreen application for
// the code that paints or uses timers, and a scratch folder of their own, so that no
// input can touch the user's files.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/sys/application.h"

// The application lives to the end of the process and is never destroyed: libFuzzer
// ends with exit(), when Qt's own statics (its fonts, once text was drawn) may already
// be gone.
inline void StartOffscreenApplication(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static TApplication* application = new TApplication(*argc, *argv);
  (void)application;
}

// Returns the new folder's path with a trailing '/'.
inline std::string MakeScratchFolder() {
  std::string folder = "/tmp/velmora-fuzz-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) std::abort();
  return folder + "/";
}
