#include "platform/gui/standard/track_bar.h"

#include <QSlider>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"

namespace {

QSlider& SliderOf(const TTrackBar& bar) {
  return *static_cast<QSlider*>(WidgetOf(bar));
}

}  // namespace

TTrackBar::TTrackBar(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QSlider(Qt::Horizontal), false)) {
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
  SliderOf(*this).setRange(0, 10);
  QObject::connect(&SliderOf(*this), &QSlider::valueChanged, NativeOf(*this).bridge, [this](int) {
    Dispatch([this] {
      if (OnChange) OnChange(this);
    });
  });
}

int TTrackBar::Min() const {
  return SliderOf(*this).minimum();
}

int TTrackBar::Max() const {
  return SliderOf(*this).maximum();
}

void TTrackBar::SetRange(int AMin, int AMax) {
  SliderOf(*this).setRange(AMin, AMax);
}

int TTrackBar::Position() const {
  return SliderOf(*this).value();
}

void TTrackBar::SetPosition(int Value) {
  SliderOf(*this).setValue(Value);
}
