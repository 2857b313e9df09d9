#include "platform/gui/controls/hint_window.h"

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"

namespace {

constexpr int kCursorHeight = 20;  // the hint opens this far below the mouse

THintWindowClass& HintClass() {
  static THintWindowClass factory;
  return factory;
}

// Lives until the program ends and is never freed at exit: its widget must not be
// destroyed after the application object is gone.
std::unique_ptr<THintWindow>& CurrentWindow() {
  static auto* window = new std::unique_ptr<THintWindow>;
  return *window;
}

// The control under a point of a widget: the windowless child there, or the windowed
// control the widget (or one of its parents) belongs to.
TControl* ControlAt(QWidget* widget, QPoint& point) {
  while (widget) {
    // Looked for by its C++ type: a bridge has no meta-object of its own, so a Qt cast
    // would take any child (a menu's actions) for one.
    TWidgetBridge* bridge = nullptr;
    for (QObject* child : widget->children())
      if ((bridge = dynamic_cast<TWidgetBridge*>(child))) break;
    if (bridge) {
      if (!bridge->control) return nullptr;
      if (TControl* child = bridge->control->ControlAtPos(Point(point.x(), point.y()))) {
        return child;
      }
      return bridge->control;
    }
    point = widget->mapToParent(point);
    widget = widget->parentWidget();
  }
  return nullptr;
}

// The window of a hint whose control chose its own kind of window.
std::unique_ptr<THintWindow>& OwnWindow() {
  static auto* window = new std::unique_ptr<THintWindow>;
  return *window;
}

QTimer& HideTimer() {
  static QTimer* timer = [] {
    auto* made = new QTimer(qApp);
    made->setSingleShot(true);
    QObject::connect(made, &QTimer::timeout, [] { CancelHint(); });
    return made;
  }();
  return *timer;
}

// Asks the control for its hint at Point (client coordinates) and shows it.
void ShowHintFor(TControl& control, TPoint point) {
  THintInfo info;
  info.CursorPos = point;
  info.HintStr = control.Hint();
  info.HintMaxWidth = QGuiApplication::primaryScreen()->size().width();
  info.HintPos = Point(point.X, point.Y + kCursorHeight);
  bool show = true;
  Dispatch([&] {
    if (auto* source = dynamic_cast<THintSource*>(&control)) show = source->HintShow(info);
  });
  if (!show || info.HintStr.empty()) return;
  Dispatch([&] {
    CancelHint();
    HideTimer().stop();
    THintWindow* window = &ApplicationHintWindow();
    if (info.HintWindowClass) {
      OwnWindow() = info.HintWindowClass();
      window = OwnWindow().get();
    }
    TRect rect = window->CalcHintRect(info.HintMaxWidth, info.HintStr);
    const TPoint at = control.ClientToScreen(info.HintPos);
    rect = Rect(rect.Left + at.X, rect.Top + at.Y, rect.Right + at.X, rect.Bottom + at.Y);
    window->ActivateHint(rect, info.HintStr);
    if (info.HideTimeout > 0) HideTimer().start(info.HideTimeout);
  });
}

bool HintsEnabled(const TControl* control) {
  for (; control; control = control->Parent()) {
    if (control->ShowHint()) return true;
  }
  return false;
}

class THintFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ToolTip: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        QPoint point = static_cast<QHelpEvent*>(event)->pos();
        TControl* control = ControlAt(widget, point);
        if (!control) return false;
        if (!dynamic_cast<TWinControl*>(control)) {
          point -= QPoint(control->Left(), control->Top());
        }
        if (HintsEnabled(control)) ShowHintFor(*control, Point(point.x(), point.y()));
        return true;
      }
      case QEvent::Leave:
      case QEvent::MouseButtonPress:
      case QEvent::KeyPress:
      case QEvent::Wheel:
        CancelHint();
        return false;
      default:
        return false;
    }
  }
};

void InstallHintFilter() {
  static THintFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new THintFilter;
  filter->setParent(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  QWidget* widget = WidgetOf(*this);
  widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  widget->setAttribute(Qt::WA_ShowWithoutActivating);
  SetColor(clInfoBk);
  Font().SetColor(clInfoText);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& Hint) {
  TCanvas measure;
  measure.Font().Assign(Font());
  TRect rect = Rect(0, 0, MaxWidth, 0);
  measure.TextRect(rect, Hint, tfCalcRect | tfWordBreak | tfNoPrefix);
  return Rect(0, 0, rect.Width() + 6, rect.Height() + 4);
}

void THintWindow::ActivateHint(TRect Rect, const std::string& Hint) {
  SetCaption(Hint);
  ShowAt(Rect);
}

void THintWindow::ShowAt(const TRect& Rect) {
  SetBoundsRect(Rect);
  QWidget* widget = WidgetOf(*this);
  widget->setGeometry(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  widget->show();
  widget->raise();
  widget->update();
}

void THintWindow::ReleaseHandle() {
  WidgetOf(*this)->hide();
}

void THintWindow::SetOpacity(int Alpha) {
  WidgetOf(*this)->setWindowOpacity(std::clamp(Alpha, 0, 255) / 255.0);
}

int THintWindow::Opacity() const {
  return static_cast<int>(WidgetOf(*this)->windowOpacity() * 255.0 + 0.5);
}

bool THintWindow::Showing() const {
  return WidgetOf(*this)->isVisible();
}

void THintWindow::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(rect);
  canvas.Brush().SetColor(clBlack);
  canvas.FrameRect(rect);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  rect = ::Rect(rect.Left + 3, rect.Top + 2, rect.Right - 3, rect.Bottom - 2);
  canvas.TextRect(rect, Caption(), tfWordBreak | tfNoPrefix);
}

void SetHintWindowClass(THintWindowClass Factory) {
  CancelHint();
  HintClass() = std::move(Factory);
  CurrentWindow().reset();
  InstallHintFilter();
}

THintWindow& ApplicationHintWindow() {
  InstallHintFilter();
  std::unique_ptr<THintWindow>& window = CurrentWindow();
  if (!window) window = HintClass() ? HintClass()() : std::make_unique<THintWindow>(nullptr);
  return *window;
}

void CancelHint() {
  if (std::unique_ptr<THintWindow>& window = CurrentWindow()) window->ReleaseHandle();
  if (std::unique_ptr<THintWindow>& window = OwnWindow()) window->ReleaseHandle();
}

THintWindow* ShownHintWindow() {
  for (THintWindow* window : {CurrentWindow().get(), OwnWindow().get()})
    if (window && window->Showing()) return window;
  return nullptr;
}

void ReactivateHint(TControl& Control) {
  CancelHint();
  TControl* surface = &Control;
  while (surface && !dynamic_cast<TWinControl*>(surface)) surface = surface->Parent();
  if (!surface) return;
  const QPoint at = WidgetOf(*static_cast<TWinControl*>(surface))->mapFromGlobal(QCursor::pos());
  ActivateHintAt(*surface, at.x(), at.y());
}

void ActivateHintAt(TControl& Control, int X, int Y) {
  TControl* surface = &Control;
  if (!dynamic_cast<TWinControl*>(surface)) {
    if (!Control.Parent()) return;
    X += Control.Left();
    Y += Control.Top();
    surface = Control.Parent();
  }
  QWidget* widget = WidgetOf(*static_cast<TWinControl*>(surface));
  InstallHintFilter();
  QHelpEvent event(QEvent::ToolTip, QPoint(X, Y), widget->mapToGlobal(QPoint(X, Y)));
  QCoreApplication::sendEvent(widget, &event);
}
