// The desktop's folder chooser, run modally, with a status line and a controllable OK
// button, and notifications while it is open.
#pragma once

#include <functional>
#include <memory>
#include <string>

class TWinControl;

class TFolderPicker {
 public:
  TFolderPicker();
  ~TFolderPicker();
  TFolderPicker(const TFolderPicker&) = delete;
  TFolderPicker& operator=(const TFolderPicker&) = delete;

  // Shows the chooser over Owner's window (or the active one) with Title and, when
  // StatusLine is set, an empty status line; returns when it closes. True when the user
  // chose a folder, which then is in Folder.
  bool Execute(TWinControl* Owner, const std::string& Title, bool StatusLine, std::string& Folder);
  bool IsOpen() const;

  // These act on the open chooser and do nothing otherwise.
  void SetStatusText(const std::string& Text);
  void SetOkEnabled(bool Enabled);
  void SetSelection(const std::string& Folder);

  // The chooser is open and ready (called once per Execute).
  std::function<void()> OnInit;
  // The selected folder changed.
  std::function<void(const std::string& Folder)> OnSelChanged;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Test support: presses OK (Accept true) or Cancel on the open folder chooser; false
// when none is open.
bool CloseFolderPicker(bool Accept);
