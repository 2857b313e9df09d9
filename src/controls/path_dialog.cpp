#include "controls/path_dialog.h"

#include "platform/gui/controls/controls.h"

TPathDialog::TPathDialog(TComponent* AOwner) : TComponent(AOwner) {
  picker_.OnInit = [this] {
    // The chooser is ready: show what was set before it opened.
    if (!path_name_.empty()) picker_.SetSelection(path_name_);
    if (!status_text_.empty()) picker_.SetStatusText(status_text_);
    picker_.SetOkEnabled(enable_ok_);
    if (OnInit) OnInit(this);
  };
  picker_.OnSelChanged = [this](const std::string& folder) {
    path_name_ = folder;
    if (OnSelChanged) OnSelChanged(this);
  };
}

void TPathDialog::SetStatusText(const std::string& Value) {
  status_text_ = Value;
  picker_.SetStatusText(Value);
}

void TPathDialog::SetPathName(const std::string& Value) {
  path_name_ = Value;
  picker_.SetSelection(Value);
}

void TPathDialog::SetEnableOk(bool Value) {
  enable_ok_ = Value;
  picker_.SetOkEnabled(Value);
}

bool TPathDialog::Execute() {
  const bool status_line = (options_ & poStatusText) != 0 || !status_text_.empty();
  std::string folder;
  if (!picker_.Execute(dynamic_cast<TWinControl*>(Owner()), title_, status_line, folder)) {
    return false;
  }
  path_name_ = folder;
  return true;
}
