// The pick list of the stations near a double click on the map.
#pragma once

#include "platform/gui/forms.h"

class TfrmAprsStnSelect : public TForm {
 public:
  explicit TfrmAprsStnSelect(TComponent* AOwner);
  ~TfrmAprsStnSelect() override;

  std::string ClassName() const override { return "TfrmAprsStnSelect"; }
};

extern TfrmAprsStnSelect* frmAprsStnSelect;
