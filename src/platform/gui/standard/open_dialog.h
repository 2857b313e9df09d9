// The file chooser of a window: asks for one file, existing or new, run modally.
#pragma once

#include <string>

#include "platform/sys/component.h"

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

  // The file chosen last, and the one the chooser starts with.
  std::string FileName;
  std::string Title;
  // The file kinds offered: pairs of description and pattern, all separated by '|', as in
  // "Text [*.txt]|*.txt"; empty offers every file.
  std::string Filter;

  // Shows the chooser over the active window; true when a file was chosen, which then
  // is in FileName.
  bool Execute();

  std::string ClassName() const override { return "TOpenDialog"; }
};

// Test support: the next chooser that opens chooses FileName (Accept true) or is
// cancelled as soon as it shows.
void AnswerNextOpenDialog(bool Accept, const std::string& FileName = {});
