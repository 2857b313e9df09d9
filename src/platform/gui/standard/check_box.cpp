#include "platform/gui/standard/check_box.h"

#include <QCheckBox>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

QCheckBox& BoxOf(const TCheckBox& box) {
  return *static_cast<QCheckBox*>(WidgetOf(box));
}

}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QCheckBox, false)) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

bool TCheckBox::Checked() const {
  return BoxOf(*this).isChecked();
}

void TCheckBox::SetChecked(bool Value) {
  BoxOf(*this).setChecked(Value);
}

void TCheckBox::CaptionChanged() {
  BoxOf(*this).setText(ToQString(Caption()));
}
