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

// Runs what an input left for the event loop, as the program's loop would between two
// inputs. libFuzzer takes an input that leaves more blocks allocated than it found for a
// leak, runs it again and checks the whole heap: events left queued pile up from input
// to input and made that happen after every input of the fuzzers that never run the
// loop themselves.
inline void SettleEvents() {
  Application->ProcessMessages();
}

// Returns the new folder's path with a trailing '/'. In memory where the system has a
// memory file system: every file the program writes is synced to the disk, and there
// that costs the fuzzers more than their inputs do.
inline std::string MakeScratchFolder() {
  for (const char* parent : {"/dev/shm", "/tmp"}) {
    std::string folder = std::string(parent) + "/velmora-fuzz-XXXXXX";
    if (mkdtemp(folder.data()) != nullptr) return folder + "/";
  }
  std::abort();
}
