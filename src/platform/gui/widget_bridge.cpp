#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/gui/canvas_qt.h"
#include "platform/gui/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

// How many events are being handled right now, counting nested ones.
int handling_depth = 0;

class TEventScope {
 public:
  TEventScope() { ++handling_depth; }
  ~TEventScope() { --handling_depth; }
  TEventScope(const TEventScope&) = delete;
  TEventScope& operator=(const TEventScope&) = delete;
};

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

bool MouseButtonOf(Qt::MouseButton button, TMouseButton& result) {
  switch (button) {
    case Qt::LeftButton: result = mbLeft; return true;
    case Qt::RightButton: result = mbRight; return true;
    case Qt::MiddleButton: result = mbMiddle; return true;
    default: return false;
  }
}

TKeyCode VirtualKeyOf(int key) {
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
    return static_cast<TKeyCode>(key);  // Qt uses the ASCII codes here, as the key codes do
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    return static_cast<TKeyCode>(VK_F1 + (key - Qt::Key_F1));
  }
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

TPoint Local(const TControl& target, const TWinControl& surface, TPoint point) {
  if (&target == &surface) return point;
  return Point(point.X - target.Left(), point.Y - target.Top());
}

// The control whose KeyPreview sees the keys of Control first, if any.
TWinControl* PreviewerOf(TWinControl& control) {
  TWinControl* top = &control;
  while (top->Parent()) top = top->Parent();
  return top != &control && TControlEvents::Previews(*top) ? top : nullptr;
}

}  // namespace

void FreeWidget(QWidget* widget) {
  if (!widget) return;
  if (handling_depth > 0) {
    widget->hide();
    widget->deleteLater();
  } else {
    delete widget;
  }
}

Qt::CursorShape CursorShapeOf(TCursor cursor) {
  switch (cursor) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crNo: return Qt::ForbiddenCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

void SetHost(TWinControl& control, QWidget* host) {
  TNativeWidget& native = NativeOf(control);
  native.host = host ? host : native.widget.data();
  if (host) host->installEventFilter(native.bridge);
}

TControlWidget::TControlWidget() = default;

void TControlWidget::paintEvent(QPaintEvent* event) {
  if (bridge) bridge->Paint(*this, event->rect());
}

TWidgetBridge::TWidgetBridge(TWinControl& Control, QWidget& Widget) : QObject(&Widget), control(&Control) {
  Widget.installEventFilter(this);
}

void TWidgetBridge::Paint(QWidget& widget, const QRect& area) {
  if (!control) return;
  TEventScope scope;
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  QPainter painter(&widget);
  TControlEvents::PaintFace(*control, painter);
  // A copy: a paint handler may free or move siblings.
  const std::vector<TControl*> children = TControlEvents::Children(*control);
  for (TControl* child : children) {
    if (alive.expired()) return;
    auto* graphic = dynamic_cast<TGraphicControl*>(child);
    if (!graphic || !graphic->Visible() || !area.intersects(ToQRect(graphic->BoundsRect()))) continue;
    const auto& current = TControlEvents::Children(*control);
    if (std::find(current.begin(), current.end(), child) == current.end()) continue;
    TControlEvents::PaintChild(*graphic, painter);
  }
}

bool TWidgetBridge::eventFilter(QObject* watched, QEvent* event) {
  if (!control) return false;
  TNativeWidget& native = NativeOf(*control);
  if (watched == native.host && watched != native.widget) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) HostGeometryChanged();
    return false;
  }
  if (watched != native.widget) return false;
  TEventScope scope;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      return MouseEvent(static_cast<QMouseEvent&>(*event));
    case QEvent::KeyPress:
      return KeyEvent(static_cast<QKeyEvent&>(*event));
    case QEvent::Enter:
      TControlEvents::MouseEnter(*control);
      return false;
    case QEvent::Leave:
      SetHovered(nullptr);
      if (control) TControlEvents::MouseLeave(*control);
      return false;
    case QEvent::FocusIn:
      // The first focus after showing comes with the window's activation, too.
      if (!entered_) {
        entered_ = true;
        TControlEvents::Enter(*control);
      }
      return false;
    case QEvent::FocusOut: {
      // Focus leaving with the window (another window activated, a popup) comes back to
      // this control: that is no exit.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
      if (entered_) {
        entered_ = false;
        TControlEvents::Exit(*control);
      }
      return false;
    }
    case QEvent::Move:
    case QEvent::Resize:
      if (native.host == native.widget) HostGeometryChanged();
      if (control && event->type() == QEvent::Resize) Dispatch([this] { control->Realign(); });
      return false;
    default:
      return false;
  }
}

// The window system moved or sized the control (a user dragging a window's border).
void TWidgetBridge::HostGeometryChanged() {
  TNativeWidget& native = NativeOf(*control);
  // A top-level window's position is only known to the window system; the child's
  // geometry is relative to its parent, as Left and Top are.
  const QRect g = native.host->geometry();
  const TRect bounds = Bounds(g.x(), g.y(), g.width(), g.height());
  const TRect old = control->BoundsRect();
  if (bounds == old) return;
  TControlEvents::UpdateBounds(*control, bounds);
  if (bounds.Width() != old.Width() || bounds.Height() != old.Height()) {
    TControlEvents::Resize(*control);
  }
}

bool TWidgetBridge::MouseEvent(QMouseEvent& event) {
  if (!control->Enabled()) return false;
  TNativeWidget& native = NativeOf(*control);
  const bool own = native.own_widget;
  const QPoint position = event.position().toPoint();
  const TPoint point = Point(position.x(), position.y());
  const TShiftState shift = ShiftOf(event.modifiers(), event.buttons());
  TControl* under = control->ControlAtPos(point);
  TControl* target = native.captured ? native.captured : under;
  if (!target) target = control;
  const TPoint local = Local(*target, *control, point);
  TMouseButton button = mbLeft;
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (!MouseButtonOf(event.button(), button)) break;
      if (target != control) native.captured = target;
      TControlEvents::MouseDown(*target, button, shift, local,
                                event.type() == QEvent::MouseButtonDblClick);
      break;
    case QEvent::MouseButtonRelease:
      if (!MouseButtonOf(event.button(), button)) break;
      if (event.buttons() == Qt::NoButton) native.captured = nullptr;
      TControlEvents::MouseUp(*target, button, shift, local);
      break;
    default:
      SetHovered(under);
      if (!control) break;
      // The hover handlers may have freed the target; route to whoever is there now.
      target = native.captured ? native.captured : control->ControlAtPos(point);
      if (!target) target = control;
      TControlEvents::MouseMove(*target, shift, Local(*target, *control, point));
      break;
  }
  event.accept();
  return own;
}

void TWidgetBridge::SetHovered(TControl* hovered) {
  TNativeWidget& native = NativeOf(*control);
  TControl* previous = native.hovered;
  if (hovered == previous) return;
  native.hovered = hovered;
  // Over a windowless child its own cursor shows, unless it leaves the choice to us.
  const TCursor cursor = hovered && hovered->Cursor() != crDefault ? hovered->Cursor() : control->Cursor();
  if (cursor == crDefault) {
    native.widget->unsetCursor();
  } else {
    native.widget->setCursor(CursorShapeOf(cursor));
  }
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  if (previous) TControlEvents::MouseLeave(*previous);
  if (alive.expired()) return;
  // Leaving may have freed the new one, too.
  if (native.hovered == hovered && hovered) TControlEvents::MouseEnter(*hovered);
}

bool TWidgetBridge::KeyEvent(QKeyEvent& event) {
  TNativeWidget& native = NativeOf(*control);
  const bool own = native.own_widget;
  // Tab and Shift+Tab move the focus; that stays with Qt.
  const bool focusKey = (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) &&
                        !(event.modifiers() & Qt::ControlModifier);
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  TKeyCode key = VirtualKeyOf(event.key());
  const TShiftState shift = ShiftOf(event.modifiers(), Qt::NoButton);
  if (key != 0) {
    if (TWinControl* previewer = PreviewerOf(*control)) {
      if (!TControlEvents::KeyDown(*previewer, key, shift)) return true;
      if (alive.expired()) return true;
    }
    if (!TControlEvents::KeyDown(*control, key, shift)) return true;
    if (alive.expired()) return true;
  }
  const std::string typed = FromQString(event.text());
  if (typed.size() == 1) {
    char character = typed[0];
    if (TWinControl* previewer = PreviewerOf(*control)) {
      if (!TControlEvents::KeyPress(*previewer, character)) return true;
      if (alive.expired()) return true;
    }
    if (!TControlEvents::KeyPress(*control, character)) return true;
  }
  return own && !focusKey;
}
