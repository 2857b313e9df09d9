// The messaging window; its message counter is kept with the settings.
#pragma once

#include "controls/my_button.h"
#include "platform/gui/forms.h"

class TfrmAprsMsg : public TForm {
 public:
  explicit TfrmAprsMsg(TComponent* AOwner);
  ~TfrmAprsMsg() override;

  TMyButton* mbtnTxP1;
  TMyButton* mbtnTxP2;

  // Number of the last message sent.
  int MsgNr = 0;

  std::string ClassName() const override { return "TfrmAprsMsg"; }
};

extern TfrmAprsMsg* frmAprsMsg;
