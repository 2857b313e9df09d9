#include "platform/gui/controls/scroll_bars.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

namespace {

// A scroll bar that keeps its last picture. The style draws a bar from scratch (gradients,
// lines and fills down its whole length), while a viewer is painted far more often than
// its bar changes: a bar that looks as it did is copied from the picture. While the mouse
// is over the bar or presses it the style draws, as it shows hover and pressed parts.
class TCachedScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void paintEvent(QPaintEvent* Event) override {
    if (underMouse() || isSliderDown()) {
      QScrollBar::paintEvent(Event);
      return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    const qreal ratio = devicePixelRatio();
    if (!SameLook(option) || picture_.devicePixelRatio() != ratio) {
      picture_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
      picture_.setDevicePixelRatio(ratio);
      picture_.fill(Qt::transparent);
      QPainter painter(&picture_);
      style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
      look_ = option;
    }
    QPainter(this).drawImage(0, 0, picture_);
  }

 private:
  bool SameLook(const QStyleOptionSlider& Option) const {
    return !picture_.isNull() && Option.rect == look_.rect && Option.state == look_.state &&
           Option.minimum == look_.minimum && Option.maximum == look_.maximum &&
           Option.sliderPosition == look_.sliderPosition &&
           Option.sliderValue == look_.sliderValue && Option.pageStep == look_.pageStep &&
           Option.singleStep == look_.singleStep && Option.orientation == look_.orientation &&
           Option.upsideDown == look_.upsideDown && Option.direction == look_.direction &&
           Option.activeSubControls == look_.activeSubControls &&
           Option.palette.cacheKey() == look_.palette.cacheKey() &&
           Option.styleObject == look_.styleObject;
  }

  QImage picture_;
  QStyleOptionSlider look_;
};

}  // namespace

struct TControlScrollBars::Impl : QObject {
  Impl(TControlScrollBars& owner, QWidget* widget) : owner(owner), widget(widget) {
    for (int k = 0; k < 2; ++k) {
      auto* bar = new TCachedScrollBar(k == sbVertical ? Qt::Vertical : Qt::Horizontal, widget);
      bar->hide();
      bar->setFocusPolicy(Qt::NoFocus);
      bars[k] = bar;
      QObject::connect(bar, &QAbstractSlider::actionTriggered, this,
                       [this, k](int action) { Action(TScrollBarKind(k), action); });
      QObject::connect(bar, &QAbstractSlider::sliderReleased, this, [this, k] {
        Report(TScrollBarKind(k), scPosition, bars[k]->sliderPosition());
      });
      bar->installEventFilter(this);
    }
    widget->installEventFilter(this);
    apply_timer.setSingleShot(true);
    apply_timer.setInterval(0);
    QObject::connect(&apply_timer, &QTimer::timeout, this, [this] {
      for (int k = 0; k < 2; ++k)
        if (pending[k]) Apply(TScrollBarKind(k));
    });
  }

  // Shows what was set on a bar, when it differs from what the bar shows.
  void Apply(TScrollBarKind kind) {
    pending[kind] = false;
    QScrollBar* bar = bars[kind];
    if (!bar) return;
    const TScrollBarInfo& i = info[kind];
    const int top = std::max(i.Min, i.Max - std::max(i.Page, 1) + 1);
    // Only a bar kept shown is ever disabled; the state of the others stays as it was,
    // since a change of it reaches the control (the focus moves off a disabled bar).
    const bool enabled = !i.KeepShown || i.Page <= i.Max - i.Min;
    if (bar->isEnabled() != enabled) bar->setEnabled(enabled);
    if (bar->minimum() == i.Min && bar->maximum() == top &&
        bar->pageStep() == std::max(1, i.Page) && bar->singleStep() == 1 && bar->value() == i.Pos &&
        bar->sliderPosition() == i.Pos) {
      return;
    }
    const QSignalBlocker block(bar);
    bar->setRange(i.Min, top);
    bar->setPageStep(std::max(1, i.Page));
    bar->setSingleStep(1);
    bar->setValue(i.Pos);
    bar->setSliderPosition(i.Pos);
  }

  // A viewer following a feed sets its ranges several times per line, and a line added
  // and the oldest one dropped leave them as they were: the bars take what was set once
  // the event loop turns (or when one is painted before), and then only if it differs.
  // (A zero timer, not a posted call: posting wakes the event loop through the system
  // on every line.)
  void ApplyLater(TScrollBarKind kind) {
    pending[kind] = true;
    if (!apply_timer.isActive()) apply_timer.start();
  }
  ~Impl() override {
    for (auto& bar : bars) delete bar.data();
  }

  void Report(TScrollBarKind kind, TScrollCode code, int pos) {
    if (owner.OnScroll) owner.OnScroll(kind, code, pos);
  }

  void Action(TScrollBarKind kind, int action) {
    QScrollBar* bar = bars[kind];
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        Report(kind, scLineDown, 0);
        break;
      case QAbstractSlider::SliderSingleStepSub:
        Report(kind, scLineUp, 0);
        break;
      case QAbstractSlider::SliderPageStepAdd:
        Report(kind, scPageDown, 0);
        break;
      case QAbstractSlider::SliderPageStepSub:
        Report(kind, scPageUp, 0);
        break;
      case QAbstractSlider::SliderToMinimum:
        Report(kind, scTop, 0);
        break;
      case QAbstractSlider::SliderToMaximum:
        Report(kind, scBottom, 0);
        break;
      case QAbstractSlider::SliderMove:
        Report(kind, scTrack, bar->sliderPosition());
        break;
      default:
        break;
    }
    // The bar shows what the control made of it, not what the bar would have done.
    if (pending[kind]) Apply(kind);
    if (bar) bar->setSliderPosition(info[kind].Pos);
  }

  void Place() {
    const int t = Thickness();
    const int w = widget->width(), h = widget->height();
    const bool v = Showing(sbVertical), hz = Showing(sbHorizontal);
    bars[sbVertical]->setGeometry(left ? 0 : w - t, 0, t, h - (hz ? t : 0));
    bars[sbHorizontal]->setGeometry(left && v ? t : 0, h - t, w - (v ? t : 0), t);
    bars[sbVertical]->setVisible(v);
    bars[sbHorizontal]->setVisible(hz);
  }

  bool Showing(TScrollBarKind kind) const {
    const TScrollBarInfo& i = info[kind];
    return i.Page <= i.Max - i.Min || i.KeepShown;
  }

  int Thickness() const { return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      for (int k = 0; k < 2; ++k)
        if (watched == bars[k] && pending[k]) Apply(TScrollBarKind(k));
    }
    if (watched == widget && event->type() == QEvent::Resize) Place();
    if (watched == widget && event->type() == QEvent::Wheel && owner.OnWheel) {
      auto* wheel = static_cast<QWheelEvent*>(event);
      wheel_rest += wheel->angleDelta().y();
      const int notches = wheel_rest / 120;
      wheel_rest -= notches * 120;
      if (notches != 0 && owner.OnWheel(notches)) return true;
    }
    return false;
  }

  TControlScrollBars& owner;
  QPointer<QWidget> widget;
  QPointer<QScrollBar> bars[2];
  TScrollBarInfo info[2];
  bool pending[2] = {false, false};  // info set that the bar may not show yet
  QTimer apply_timer;
  bool left = false;
  int wheel_rest = 0;
};

TControlScrollBars::TControlScrollBars(TWinControl& Control)
    : impl_(std::make_unique<Impl>(*this, WidgetOf(Control))) {}

TControlScrollBars::~TControlScrollBars() = default;

int TControlScrollBars::SetInfo(TScrollBarKind Kind, const TScrollBarInfo& Info) {
  TScrollBarInfo i = Info;
  if (i.Max < i.Min) i.Max = i.Min;
  i.Page = std::clamp(i.Page, 0, i.Max - i.Min + 1);
  i.Pos = std::clamp(i.Pos, i.Min, std::max(i.Min, i.Max - std::max(i.Page, 1) + 1));
  impl_->info[Kind] = i;
  QScrollBar* bar = impl_->bars[Kind];
  // Placing the bars costs widget geometry work; a viewer sets its ranges after every
  // layout, mostly without showing or hiding a bar. A resize places them on its own.
  const bool place = !bar || bar->isHidden() == impl_->Showing(Kind);
  impl_->ApplyLater(Kind);
  if (impl_->widget && place) impl_->Place();
  return i.Pos;
}

TScrollBarInfo TControlScrollBars::GetInfo(TScrollBarKind Kind) const {
  return impl_->info[Kind];
}

bool TControlScrollBars::Showing(TScrollBarKind Kind) const {
  return impl_->Showing(Kind);
}

int TControlScrollBars::Thickness() const {
  return impl_->Thickness();
}

void TControlScrollBars::SetVerticalAtLeft(bool Value) {
  impl_->left = Value;
  impl_->Place();
}

int TControlScrollBars::WheelScrollLines() {
  const int lines = QApplication::wheelScrollLines();
  return lines > 0 ? lines : 3;
}

void DrawEditFrame(TCanvas& Canvas, const TRect& Rect) {
  QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter();
  if (!painter) return;
  QStyleOptionFrame option;
  option.rect = ToQRect(Rect);
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.state = QStyle::State_Sunken | QStyle::State_Enabled;
  option.frameShape = QFrame::StyledPanel;
  QApplication::style()->drawPrimitive(QStyle::PE_Frame, &option, painter);
}
