// The plain push button. A ModalResult other than 0 closes the modal form it sits on.
#pragma once

#include "platform/gui/controls/controls.h"

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);

  int ModalResult() const { return modal_result_; }
  void SetModalResult(int Value) { modal_result_ = Value; }

  // Hands ModalResult to the form, then fires OnClick; public so a window can press
  // its buttons from code.
  void Click() override;

  std::string ClassName() const override { return "TButton"; }

 protected:
  void CaptionChanged() override;

 private:
  int modal_result_ = 0;
};
