#include "platform/gui/standard/button.h"

#include <QPushButton>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

QPushButton& ButtonOf(const TButton& button) {
  return *static_cast<QPushButton*>(WidgetOf(button));
}

}  // namespace

TButton::TButton(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QPushButton, false)) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::Click() {
  if (modal_result_ != 0) {
    if (TForm* form = GetParentForm(*this)) form->SetModalResult(modal_result_);
  }
  TWinControl::Click();
}

void TButton::CaptionChanged() {
  ButtonOf(*this).setText(ToQString(Caption()));
}
