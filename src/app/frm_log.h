// The packet log window; its filter switch and filter text are kept with the settings.
#pragma once

#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "platform/gui/forms.h"
#include "platform/gui/memo.h"

class TfrmLog : public TForm {
 public:
  explicit TfrmLog(TComponent* AOwner);
  ~TfrmLog() override;

  TMyButton* mbtnFilter;
  TMyPanel* mpnlFilter;
  TMemo* memFilter;

  // Shows the filter panel while mbtnFilter is down.
  void mbtnFilterClick(TComponent* Sender);

  std::string ClassName() const override { return "TfrmLog"; }
};

extern TfrmLog* frmLog;
