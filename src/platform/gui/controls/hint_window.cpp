#include "platform/gui/controls/hint_window.h"

#include <algorithm>
#include <optional>

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
constexpr int kWiderStep = 100;    // pixels a long hint's wrapping widens by at least

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

// The mouse a hint is being shown for (screen coordinates), while ShowHintWindow runs.
std::optional<TPoint>& RestingPointer() {
  static std::optional<TPoint> pointer;
  return pointer;
}

// The screen the point lies on (the first one when it lies on none).
QRect ScreenAround(TPoint point) {
  const QScreen* screen = QGuiApplication::screenAt(QPoint(point.X, point.Y));
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

bool OnScreen(const QRect& screen, TPoint point) {
  return screen.contains(QPoint(point.X, point.Y));
}

// The height a hint may take beside the mouse: the taller of the strips below and above it.
int RoomBeside(const QRect& screen, TPoint pointer) {
  return std::max(screen.bottom() + 1 - (pointer.Y + kCursorHeight), pointer.Y - screen.top());
}

// Whether rect covers the mouse at pointer (its tip, or the arrow below it).
bool Covers(const TRect& rect, TPoint pointer) {
  return pointer.X >= rect.Left && pointer.X < rect.Right && pointer.Y + kCursorHeight > rect.Top &&
         pointer.Y < rect.Bottom;
}

// Rect moved onto the screen, no larger than it; one that covers the mouse goes below it
// or, where there is more room above, above it, cut to the room there.
TRect Placed(const TRect& rect, const QRect& screen, const std::optional<TPoint>& pointer) {
  if (screen.isEmpty()) return rect;
  const int width = std::min(rect.Width(), screen.width());
  int height = std::min(rect.Height(), screen.height());
  const int left = std::clamp(rect.Left, screen.left(), screen.right() + 1 - width);
  int top = std::clamp(rect.Top, screen.top(), screen.bottom() + 1 - height);
  if (pointer && OnScreen(screen, *pointer) && Covers(Bounds(left, top, width, height), *pointer)) {
    const int below = screen.bottom() + 1 - (pointer->Y + kCursorHeight);
    const int above = pointer->Y - screen.top();
    if (height <= below || below >= above) {
      top = pointer->Y + kCursorHeight;
      height = std::min(height, below);
    } else {
      height = std::min(height, above);
      top = pointer->Y - height;
    }
  }
  return Bounds(left, top, width, height);
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
    ShowHintWindow(*window, control.ClientToScreen(info.HintPos), control.ClientToScreen(point),
                   info.HintMaxWidth, info.HintStr);
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

}  // namespace

void ListenForHints() {
  static THintFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new THintFilter;
  filter->setParent(qApp);
  qApp->installEventFilter(filter);
}

void ShowHintWindow(THintWindow& Window, TPoint At, TPoint Pointer, int MaxWidth,
                    const std::string& Hint) {
  const QRect screen = ScreenAround(Pointer);
  TRect size = Window.CalcHintRect(MaxWidth, Hint);
  // A long hint is wrapped wider until it fits beside the mouse, up to the screen's width.
  if (OnScreen(screen, Pointer)) {
    const int room = RoomBeside(screen, Pointer);
    while (size.Height() > room && MaxWidth < screen.width()) {
      MaxWidth = std::min(screen.width(), MaxWidth + std::max(MaxWidth / 2, kWiderStep));
      size = Window.CalcHintRect(MaxWidth, Hint);
    }
  }
  const TRect rect = Bounds(At.X + size.Left, At.Y + size.Top, size.Width(), size.Height());
  // A hint placed beside the mouse stays beside it wherever it must move to fit the
  // screen; one its control places over the mouse (an item's hint over the item) stays.
  struct TRestingPointerScope {
    explicit TRestingPointerScope(std::optional<TPoint> p) { RestingPointer() = p; }
    ~TRestingPointerScope() { RestingPointer().reset(); }
  } scope(Covers(rect, Pointer) ? std::nullopt : std::optional<TPoint>(Pointer));
  Window.ActivateHint(rect, Hint);
}

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
  const std::optional<TPoint>& pointer = RestingPointer();
  const TRect placed =
      Placed(Rect, ScreenAround(pointer ? *pointer : Point(Rect.Left, Rect.Top)), pointer);
  SetBoundsRect(placed);
  QWidget* widget = WidgetOf(*this);
  widget->setGeometry(placed.Left, placed.Top, placed.Width(), placed.Height());
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
  ListenForHints();
}

THintWindow& ApplicationHintWindow() {
  ListenForHints();
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
  ListenForHints();
  QHelpEvent event(QEvent::ToolTip, QPoint(X, Y), widget->mapToGlobal(QPoint(X, Y)));
  QCoreApplication::sendEvent(widget, &event);
}
