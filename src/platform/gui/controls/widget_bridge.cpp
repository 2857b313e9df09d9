#include <map>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>

#include "platform/gui/controls/cursor_shapes.h"
#include "platform/gui/controls/drag_drop_qt.h"
#include "platform/gui/controls/focus_entry.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

TFocusEntry last_focus_entry = TFocusEntry::Other;

TFocusEntry FocusEntryOf(Qt::FocusReason Reason) {
  if (Reason == Qt::TabFocusReason) return TFocusEntry::Tab;
  if (Reason == Qt::BacktabFocusReason) return TFocusEntry::Backtab;
  return TFocusEntry::Other;
}

}  // namespace

TFocusEntry LastFocusEntry() {
  return last_focus_entry;
}

namespace {

// How many widget events are being handled right now, counting nested ones.
int handling_depth = 0;

bool MouseButtonOf(Qt::MouseButton button, TMouseButton& result) {
  switch (button) {
    case Qt::LeftButton:
      result = mbLeft;
      return true;
    case Qt::RightButton:
      result = mbRight;
      return true;
    case Qt::MiddleButton:
      result = mbMiddle;
      return true;
    default:
      return false;
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

namespace {

struct TKeyPair {
  int qt;
  TKeyCode key;
};

// Keys whose codes differ; letters, digits and function keys are computed.
constexpr TKeyPair kKeyPairs[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},      {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},     {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},        {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},      {Qt::Key_Down, VK_DOWN},     {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
};

// A character a key types with Ctrl or Alt held is a command (Ctrl and Alt together are
// AltGr, which types), under every keyboard layout. A control that takes typed text
// itself never sees it; Qt's own edits and memos get the Ctrl keys, their shortcuts
// (copy, paste, undo: under some layouts these come with a letter as their text), but
// never a letter typed with Alt.
bool TypesACommand(const QKeyEvent& event, bool own) {
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  const bool alt = event.modifiers() & Qt::AltModifier;
  const QString text = event.text();
  const bool command = own ? ctrl != alt : alt && !ctrl;
  return command && !text.isEmpty() && text[0].isPrint();
}

bool SameCodeInBoth(int code) {
  return (code >= Qt::Key_0 && code <= Qt::Key_9) || (code >= Qt::Key_A && code <= Qt::Key_Z);
}

}  // namespace

TKeyCode VirtualKeyOf(int key) {
  if (SameCodeInBoth(key)) return static_cast<TKeyCode>(key);  // the ASCII codes in both
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    return static_cast<TKeyCode>(VK_F1 + (key - Qt::Key_F1));
  }
  for (const TKeyPair& pair : kKeyPairs) {
    if (pair.qt == key) return pair.key;
  }
  return 0;
}

int QtKeyOf(TKeyCode key) {
  if (SameCodeInBoth(key)) return key;
  if (key >= VK_F1 && key <= VK_F12) return Qt::Key_F1 + (key - VK_F1);
  for (const TKeyPair& pair : kKeyPairs) {
    if (pair.key == key) return pair.qt;
  }
  return Qt::Key_unknown;
}

TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
  TShiftState shift = 0;
  if (Modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (Modifiers & Qt::AltModifier) shift |= ssAlt;
  if (Modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (Buttons & Qt::LeftButton) shift |= ssLeft;
  if (Buttons & Qt::RightButton) shift |= ssRight;
  if (Buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

TEventScope::TEventScope() {
  ++handling_depth;
}
TEventScope::~TEventScope() {
  --handling_depth;
}

void FreeWidget(QWidget* widget) {
  if (!widget) return;
  if (handling_depth > 0) {
    widget->hide();
    widget->deleteLater();
  } else {
    delete widget;
  }
}

namespace {

std::map<TCursor, QCursor>& CustomCursors() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

}  // namespace

void SetCustomCursor(TCursor Cursor, const TBitmap& Picture, TPoint HotSpot) {
  // Black and white pixels are the cursor's; every other colour lets the screen show.
  QImage image = BitmapImage(Picture).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = line[x] | 0xFF000000u;
      if (pixel != qRgb(0, 0, 0) && pixel != qRgb(255, 255, 255)) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  CustomCursors()[Cursor] = QCursor(QPixmap::fromImage(image), HotSpot.X, HotSpot.Y);
}

QCursor CursorOf(TCursor cursor) {
  if (auto found = CustomCursors().find(cursor); found != CustomCursors().end())
    return found->second;
  switch (cursor) {
    case crCross:
      return Qt::CrossCursor;
    case crIBeam:
      return Qt::IBeamCursor;
    case crSizeNESW:
      return Qt::SizeBDiagCursor;
    case crSizeNS:
      return Qt::SizeVerCursor;
    case crSizeNWSE:
      return Qt::SizeFDiagCursor;
    case crSizeWE:
      return Qt::SizeHorCursor;
    case crHourGlass:
      return Qt::WaitCursor;
    case crHSplit:
      return Qt::SplitHCursor;
    case crVSplit:
      return Qt::SplitVCursor;
    case crNo:
      return Qt::ForbiddenCursor;
    case crHandPoint:
      return Qt::PointingHandCursor;
    case crSizeAll:
      return Qt::SizeAllCursor;
    default:
      return Qt::ArrowCursor;
  }
}

void SetHost(TWinControl& control, QWidget* host) {
  TNativeWidget& native = NativeOf(control);
  native.host = host ? host : native.widget.data();
  if (host) host->installEventFilter(native.bridge);
}

TControlWidget::TControlWidget() = default;

void TControlWidget::paintEvent(QPaintEvent* event) {
  if (bridge) bridge->Paint(*this, event->region());
}

TWidgetBridge::TWidgetBridge(TWinControl& Control, QWidget& Widget)
    : QObject(&Widget), control(&Control) {
  Widget.installEventFilter(this);
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
    case QEvent::KeyRelease:
      return KeyReleaseEvent(static_cast<QKeyEvent&>(*event));
    case QEvent::Enter:
      TControlEvents::MouseEnter(*control);
      return false;
    case QEvent::Leave:
      SetHovered(nullptr);
      if (control) TControlEvents::MouseLeave(*control);
      return false;
    case QEvent::InputMethod:
      return InputMethodEvent(static_cast<QInputMethodEvent&>(*event));
    case QEvent::InputMethodQuery: {
      TRect caret;
      if (!control || !control->InputMethodCaret(caret)) return false;
      auto* query = static_cast<QInputMethodQueryEvent*>(event);
      if (query->queries() & Qt::ImEnabled) query->setValue(Qt::ImEnabled, true);
      if (query->queries() & Qt::ImCursorRectangle)
        query->setValue(Qt::ImCursorRectangle,
                        QRect(caret.Left, caret.Top, caret.Width(), caret.Height()));
      query->accept();
      return true;
    }
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      // Tab from outside into a control inside one that leads the focus through its
      // children goes to that leader (the outermost) instead, which carries it on.
      if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
        TWinControl* leader = nullptr;
        for (TWinControl* p = control->Parent(); p; p = p->Parent())
          if (TControlEvents::TabsThroughChildren(*p)) leader = p;
        if (leader) {
          NativeOf(*leader).widget->setFocus(reason);
          return true;
        }
      }
      // The first focus after showing comes with the window's activation, too.
      if (!entered_) {
        entered_ = true;
        last_focus_entry = FocusEntryOf(reason);
        TControlEvents::Enter(*control);
      }
      return false;
    }
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
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
      return DeliverDragEvent(*control, *event);
    case QEvent::Move:
    case QEvent::Resize:
      if (native.host == native.widget) HostGeometryChanged();
      if (control && event->type() == QEvent::Resize) {
        Dispatch([this, &native] {
          control->Realign();
          // Inside a frame (an MDI child's), the client follows the frame's resize: the
          // resize handlers see the client's new size only now.
          if (native.host != native.widget) TControlEvents::Resize(*control);
        });
      }
      return false;
    default:
      return false;
  }
}

// The window system moved or sized the control (a user dragging a window's border).
void TWidgetBridge::HostGeometryChanged() {
  TNativeWidget& native = NativeOf(*control);
  // A top-level window's position is only known to the window system, and it is the
  // position of its frame; the child's geometry is relative to its parent, as Left and
  // Top are.
  const QWidget& host = *native.host;
  const QPoint at = host.isWindow() ? host.pos() : host.geometry().topLeft();
  const TRect bounds = Bounds(at.x(), at.y(), host.width(), host.height());
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
  const TCursor cursor =
      hovered && hovered->Cursor() != crDefault ? hovered->Cursor() : control->Cursor();
  if (cursor == crDefault) {
    native.widget->unsetCursor();
  } else {
    native.widget->setCursor(CursorOf(cursor));
  }
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  if (previous) TControlEvents::MouseLeave(*previous);
  if (alive.expired()) return;
  // Leaving may have freed the new one, too.
  if (native.hovered == hovered && hovered) TControlEvents::MouseEnter(*hovered);
}

bool TWidgetBridge::KeyEvent(QKeyEvent& event) {
  if (forwarding_) return false;
  TNativeWidget& native = NativeOf(*control);
  const bool own = native.own_widget;
  // Tab and Shift+Tab move the focus; that stays with Qt, unless the control takes them.
  const bool focusKey = (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) &&
                        !(event.modifiers() & Qt::ControlModifier) &&
                        !TControlEvents::WantsTabKey(*control);
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  TKeyCode key = VirtualKeyOf(event.key());
  const TShiftState shift = ShiftOf(event.modifiers(), Qt::NoButton);
  if (key != 0) {
    if (TWinControl* previewer = PreviewerOf(*control)) {
      if (!TControlEvents::KeyDown(*previewer, key, shift)) return true;
      if (alive.expired()) return true;
    }
    if ((shift & (ssCtrl | ssAlt)) || focusKey) {
      for (TWinControl* holder = control->Parent(); holder; holder = holder->Parent()) {
        if (!TControlEvents::DialogKey(*holder, key, shift)) return true;
        if (alive.expired()) return true;
      }
    }
    if (!TControlEvents::KeyDown(*control, key, shift)) return true;
    if (alive.expired()) return true;
  }
  if (TypesACommand(event, own)) return true;
  const std::string typed = FromQString(event.text());
  if (!event.text().isEmpty() && ToQString(typed) != event.text()) {
    // A character the program's code page cannot hold goes in as Unicode.
    const std::u16string text(reinterpret_cast<const char16_t*>(event.text().utf16()),
                              size_t(event.text().size()));
    TControlEvents::UnicodeInput(*control, text);
    return own;
  }
  // A focus key moves the focus before any control sees it as a typed character: a
  // control that lets only digits through would otherwise keep the focus for good.
  if (typed.size() == 1 && !focusKey) {
    char character = typed[0];
    if (TWinControl* previewer = PreviewerOf(*control)) {
      if (!TControlEvents::KeyPress(*previewer, character)) return true;
      if (alive.expired()) return true;
    }
    if (!TControlEvents::KeyPress(*control, character)) return true;
    if (alive.expired()) return true;
    if (!own && character != typed[0]) {
      // A wrapped Qt widget gets the character the handler chose instead.
      QKeyEvent replaced(event.type(), event.key(), event.modifiers(),
                         ToQString(std::string(1, character)));
      forwarding_ = true;
      QCoreApplication::sendEvent(native.widget, &replaced);
      forwarding_ = false;
      return true;
    }
  }
  return own && !focusKey;
}

bool TWidgetBridge::InputMethodEvent(QInputMethodEvent& event) {
  if (!NativeOf(*control).own_widget) return false;
  auto wide = [](const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
  };
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  if (!event.commitString().isEmpty())
    TControlEvents::UnicodeInput(*control, wide(event.commitString()));
  if (alive.expired()) return true;
  int cursor = int(event.preeditString().size());
  for (const QInputMethodEvent::Attribute& attribute : event.attributes())
    if (attribute.type == QInputMethodEvent::Cursor) cursor = attribute.start;
  TControlEvents::ComposingInput(*control, wide(event.preeditString()), cursor);
  event.accept();
  return true;
}

bool TWidgetBridge::KeyReleaseEvent(QKeyEvent& event) {
  if (event.isAutoRepeat()) return false;
  const TKeyCode key = VirtualKeyOf(event.key());
  if (key != 0) TControlEvents::KeyUp(*control, key, ShiftOf(event.modifiers(), Qt::NoButton));
  return false;
}
