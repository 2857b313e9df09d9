// The program's skinned message box as the tests and fuzzers find it open.
#pragma once

#include "controls/my_msg_dialog.h"
#include "platform/gui/controls/forms.h"

inline TfrmMyMsgDialog* OpenMyMsgBox() {
  for (int n = 0; n < Screen->FormCount(); ++n) {
    auto* box = dynamic_cast<TfrmMyMsgDialog*>(Screen->Forms(n));
    if (box && box->Visible() && box->ModalResult() == mrNone) return box;
  }
  return nullptr;
}
