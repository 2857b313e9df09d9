// The folder dialog component: the desktop's folder chooser with a title, an optional
// status line, a preselected folder and events while it is open.
#pragma once

#include <cstdint>

#include "platform/gui/standard/folder_picker.h"
#include "platform/sys/component.h"

enum TPathOption : std::uint8_t {
  poBrowseForComputer = 1,
  poBrowseForPrinter = 2,
  poDontGoBelowDomain = 4,
  poReturnFsAncestors = 8,
  poReturnOnlyFsDirs = 16,
  poStatusText = 32,
};
// A set of TPathOption flags. Only folders of the file system can be chosen here, so
// the browse flags are kept for the caller's sake; poStatusText adds the status line.
using TPathOptions = std::uint8_t;

class TPathDialog : public TComponent {
 public:
  explicit TPathDialog(TComponent* AOwner);

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& Value) { title_ = Value; }
  const std::string& StatusText() const { return status_text_; }
  // Updates the status line of the open dialog, too.
  void SetStatusText(const std::string& Value);
  // The preselected folder before Execute, the chosen one after it.
  const std::string& PathName() const { return path_name_; }
  // Moves the selection of the open dialog, too.
  void SetPathName(const std::string& Value);
  TPathOptions Options() const { return options_; }
  void SetOptions(TPathOptions Value) { options_ = Value; }
  bool EnableOk() const { return enable_ok_; }
  // Enables or disables the OK button of the open dialog.
  void SetEnableOk(bool Value);

  // Runs the dialog; true exactly when a folder was chosen.
  bool Execute();

  TNotifyEvent OnInit;
  // The selection changed; PathName holds it already.
  TNotifyEvent OnSelChanged;

  std::string ClassName() const override { return "TPathDialog"; }

 private:
  std::string title_;
  std::string status_text_;
  std::string path_name_;
  TPathOptions options_ = poReturnOnlyFsDirs;
  bool enable_ok_ = true;
  TFolderPicker picker_;
};
