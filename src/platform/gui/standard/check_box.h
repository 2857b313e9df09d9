// The check box: a caption with a box that each click ticks or clears.
#pragma once

#include "platform/gui/controls/controls.h"

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* AOwner);

  bool Checked() const;
  void SetChecked(bool Value);

  std::string ClassName() const override { return "TCheckBox"; }

 protected:
  void CaptionChanged() override;
};
