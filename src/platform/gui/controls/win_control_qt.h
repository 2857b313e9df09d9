// Platform-internal: the Qt side of windowed controls.
#pragma once

#include <QCursor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <vector>

#include "platform/gui/controls/controls.h"

class QMouseEvent;
class QKeyEvent;
class TWidgetBridge;
class QInputMethodEvent;
struct TDropState;

// Where the layer of picture children must be composed anew, kept in tiles: thousands
// of markers moving between two frames each mark a few tiles, where a region of their
// rectangles would cost more to build than composing anew.
class TLayerDirt {
 public:
  // Size: the layer's; everything is dirty afterwards.
  void Reset(const QSize& Size);
  void Add(const QRect& Rect);
  void AddAll();
  // Takes the dirty tiles that meet Area, as rectangles; they are clean afterwards.
  std::vector<QRect> Take(const QRect& Area);

 private:
  static constexpr int kTile = 32;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<bool> dirty_;
};

// The widget behind a TWinControl. `widget` is the client surface that holds the
// children and is painted; `host` is what is shown, moved and sized: the widget itself,
// or the MDI sub-window that frames a child form.
struct TNativeWidget {
  // Takes ownership of Widget. An own widget (a TControlWidget) leaves all input to the
  // control; a wrapped Qt widget handles input itself and the control only listens.
  TNativeWidget(QWidget* Widget, bool OwnWidget);

  QPointer<QWidget> widget;
  QPointer<QWidget> host;
  bool own_widget;
  TWidgetBridge* bridge = nullptr;  // a child object of the widget
  TControl* captured = nullptr;     // windowless child that holds the mouse while a button is down
  TControl* hovered = nullptr;      // windowless child under the mouse
  // The picture children composed, and where they changed since (SetLayeredFaces).
  bool layered_faces = false;
  QImage face_layer;
  TLayerDirt layer_dirt;
  // Rectangles asked to be repainted since the last paint, and whether it is all of it.
  int rects_dirty = 0;
  bool all_dirty = false;
  // Set while the control takes drops (RegisterDragDrop).
  std::shared_ptr<TDropState> drop;
  // Asked to show a child before a control inside it takes the focus (show_request.h).
  std::function<void(TControl& Child)> show_request;
};

TNativeWidget& NativeOf(const TWinControl& Control);
inline QWidget* WidgetOf(const TWinControl& Control) {
  return NativeOf(Control).widget;
}
inline QWidget* HostOf(const TWinControl& Control) {
  return NativeOf(Control).host;
}
// Makes Host (an MDI sub-window holding the control's widget) what is shown and sized.
void SetHost(TWinControl& Control, QWidget* Host);
// Marks the handling of a widget's event, for as long as it lives.
class TEventScope {
 public:
  TEventScope();
  ~TEventScope();
  TEventScope(const TEventScope&) = delete;
  TEventScope& operator=(const TEventScope&) = delete;
};
// Frees a widget, or leaves that to the event loop while an event is being handled:
// the event may be one of this widget's or of a child's.
void FreeWidget(QWidget* Widget);

// The cursor of a number: a shape of the desktop's, or a picture given by SetCustomCursor.
QCursor CursorOf(TCursor Cursor);
TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
// Key codes of Qt and of OnKeyDown; 0 and Qt::Key_unknown for keys without a counterpart.
TKeyCode VirtualKeyOf(int QtKey);
int QtKeyOf(TKeyCode Key);

// The plain widget of windowed controls that paint themselves, and of forms.
class TControlWidget : public QWidget {
 public:
  TControlWidget();
  TWidgetBridge* bridge = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Turns the Qt events of one control's widget (and host) into the control's handlers,
// each through Dispatch. Paints and hit-tests the windowless children.
class TWidgetBridge : public QObject {
 public:
  TWidgetBridge(TWinControl& Control, QWidget& Widget);

  TWinControl* control;  // null once the control is freed
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Only the windowless children that meet Area are painted: a small change on a
  // surface holding thousands of them (the map's markers) must not paint them all.
  void Paint(QWidget& widget, const QRegion& area);

 private:
  // Brings the layer of picture children up to date where Area shows it; false when
  // there is none to use.
  bool UpdateFaceLayer(const QSize& size, const QRegion& area);
  bool MouseEvent(QMouseEvent& event);
  bool KeyEvent(QKeyEvent& event);
  bool KeyReleaseEvent(QKeyEvent& event);
  bool InputMethodEvent(QInputMethodEvent& event);
  void HostGeometryChanged();
  void SetHovered(TControl* hovered);

  bool entered_ = false;     // OnEnter ran and OnExit has not yet
  bool forwarding_ = false;  // passing a key on to a wrapped widget
};

// The one entry into the protected hooks of controls, for the event routing above and
// for forms.
class TControlEvents {
 public:
  static void MouseDown(TControl& Control, TMouseButton Button, TShiftState Shift, TPoint Point,
                        bool DoubleClick);
  static void MouseMove(TControl& Control, TShiftState Shift, TPoint Point);
  static void MouseUp(TControl& Control, TMouseButton Button, TShiftState Shift, TPoint Point);
  static void MouseEnter(TControl& Control);
  static void MouseLeave(TControl& Control);
  // Return false when a handler consumed the key (set it to 0).
  static bool KeyDown(TWinControl& Control, TKeyCode& Key, TShiftState Shift);
  static bool KeyPress(TWinControl& Control, char& Key);
  static void KeyUp(TWinControl& Control, TKeyCode Key, TShiftState Shift);
  static void UnicodeInput(TWinControl& Control, const std::u16string& Text);
  static void ComposingInput(TWinControl& Control, const std::u16string& Text, int Cursor);
  static bool WantsTabKey(const TWinControl& Control) { return Control.WantsTabKey(); }
  static bool TabsThroughChildren(const TWinControl& Control) {
    return Control.TabsThroughChildren();
  }
  static bool DialogKey(TWinControl& Control, TKeyCode& Key, TShiftState Shift);
  static void Enter(TWinControl& Control);
  static void Exit(TWinControl& Control);
  static void Resize(TWinControl& Control);
  static void PaintFace(TWinControl& Control, QPainter& Painter);
  // Area: the part of the parent to repaint, in the parent's coordinates.
  static void PaintChild(TGraphicControl& Control, QPainter& Painter, const QRegion& Area);
  // The windowless children by slot, and the bounds, visibility, picture flag and
  // z-order stamp of each.
  static const std::vector<TControl*>& Windowless(const TWinControl& Control) {
    return Control.windowless_;
  }
  static const auto& Places(const TWinControl& Control) { return Control.places_; }
  // The cover of the child in Slot; worked out by the layer's composition.
  static TChildCover& Cover(TWinControl& Control, size_t Slot) {
    return Control.places_[Slot].cover;
  }
  // The found of the visible windowless children meeting Area, bottom first.
  static void WindowlessIn(const TWinControl& Control, const TRect& Area,
                           std::vector<size_t>& Found, bool Composed = true) {
    Control.WindowlessIn(Area, Found, Composed);
  }
  // The slot of Child when it is a windowless child of Control.
  static bool WindowlessSlot(const TWinControl& Control, const TControl& Child, size_t& Slot) {
    Slot = Child.slot_;
    return Child.parent_ == &Control && !Child.windowed_;
  }
  // Asks for what WindowlessSlot reads to be fetched.
  static void FetchSlot(const TControl& Child) { __builtin_prefetch(&Child.parent_); }
  static TChildFinder* Finder(const TWinControl& Control) { return Control.finder_; }
  static bool Previews(const TWinControl& Control) { return Control.PreviewsKeys(); }
  static void UpdateBounds(TControl& Control, const TRect& Bounds) { Control.UpdateBounds(Bounds); }
  static std::weak_ptr<char> Lifetime(const TControl& Control) { return Control.alive_; }
};
