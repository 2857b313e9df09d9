// The program block: the windows are made once, in a fixed order; then the settings,
// the language file, the splash, the main frame and the first apply of the settings;
// then the message loop until the main frame closes.
#pragma once

#include <cstdint>

#include "platform/sys/component.h"

// The language file that ends the start-up with a message.
extern const char* const kNoValidSpeakFileText;

// Owns the program's windows. The shared message box is no longer offered once the
// windows go.
class TProgramWindows : public TComponent {
 public:
  ~TProgramWindows() override;
};

// Makes every window, owned by Owner, in the program's order; the map window is shown
// (maximised in the frame) as it is made.
void CreateWindows(TProgramWindows& Owner);
// Loads the language file named in the settings, else "english.spk", else
// "deutsch.spk" (the setting follows each try); the result of the last try.
std::uint8_t LoadStartLanguage();
// Everything after the windows exist up to the message loop. False when the program
// must end without running (no usable language file). When the system asked the program
// to end meanwhile, it stops once the settings are loaded, before any device starts.
bool StartProgram();
// Deletes the temporary files of saves that a crash or a kill cut short, in the
// settings folder and the program folder; part of the start, before anything is saved.
void DeleteInterruptedSaves();
// Gives the program the icon the build drew into the program folder; false when the
// files are missing (the desktop's own icon stays).
bool LoadProgramIcon();
// The whole program; returns the exit code.
int RunProgram();
