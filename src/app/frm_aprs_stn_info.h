// The station detail window; its three switches are kept with the settings.
#pragma once

#include "controls/my_button.h"
#include "platform/gui/forms.h"

class TfrmAprsStnInfo : public TForm {
 public:
  explicit TfrmAprsStnInfo(TComponent* AOwner);
  ~TfrmAprsStnInfo() override;

  TMyButton* mbtnShowLock;
  TMyButton* mbtnShowAx25;
  TMyButton* mbtnFollowRx;

  std::string ClassName() const override { return "TfrmAprsStnInfo"; }
};

extern TfrmAprsStnInfo* frmAprsStnInfo;
