// The station list window: the heard stations in a grouped column list.
#pragma once

#include "platform/gui/forms.h"

class TfrmAprsStnList : public TForm {
 public:
  explicit TfrmAprsStnList(TComponent* AOwner);
  ~TfrmAprsStnList() override;

  std::string ClassName() const override { return "TfrmAprsStnList"; }
};

extern TfrmAprsStnList* frmAprsStnList;
