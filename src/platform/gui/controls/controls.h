// Controls: the visible components of a window.
//
// A control has an Owner (who frees it, see TComponent) and a Parent (the windowed
// control it sits on). A parent frees the controls still sitting on it when it is freed
// itself, before its owned components go.
//
// TGraphicControl has no window of its own: its parent paints it on the parent's own
// surface, in z-order, and routes mouse input to it by hit-testing. A window may hold
// thousands of such small controls (markers on a map), so one must not cost a native widget.
// TWinControl has a native window (a Qt widget behind a pimpl) and holds child controls;
// TCustomControl is a windowed control that draws itself in Paint.
//
// Every call from the event loop into a control's handlers goes through Dispatch, so an
// exception thrown by a handler reaches Application->OnException and the program keeps
// running.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/geometry.h"
#include "platform/gui/graphics/graphics_objects.h"
#include "platform/sys/component.h"
#include "platform/text/sysutils.h"

class TPopupMenu;
class TWinControl;

// A control used in a way that cannot work, such as making a visible form modal.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

enum TMouseButton : int { mbLeft, mbRight, mbMiddle };

// The keyboard modifiers and mouse buttons held during an input event, combined with |.
enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = unsigned;

// Children with an alignment fill the parent's client area in the order top, bottom,
// left, right, client; within one kind in the order of their positions, so a panel
// given alTop below another stays below it. Of two at the same position the one whose
// alignment, bounds or visibility just changed goes first.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Border of a window or of a bordered control; controls use only bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// Mouse cursor shown over a control: 0 the default, the negative values the standard shapes.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Half the period of the desktop's text-caret blinking, milliseconds.
int CaretBlinkInterval();

// X and Y are in the client coordinates of the control that receives the event.
using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
// A handler that sets Key to 0 consumes the key.
using TKeyEvent = std::function<void(TComponent* Sender, TKeyCode& Key, TShiftState Shift)>;
// Key is the typed Windows-1252 character; a handler may replace it, or set it to 0 to drop it.
using TKeyPressEvent = std::function<void(TComponent* Sender, char& Key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);

  // Position relative to the parent's client area (a window's: to the screen), and size.
  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
  void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
  void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
  void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
  // Negative sizes are taken as 0.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return bounds_; }
  void SetBoundsRect(const TRect& Rect) {
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  }

  // The area inside the control, at (0, 0).
  virtual TRect ClientRect() const { return Rect(0, 0, Width(), Height()); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int AWidth, int AHeight);
  void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
  void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool Value) { show_hint_ = Value; }

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  // Opens at the cursor when the right button is released over the control, or over a
  // child that has no menu of its own. Not owned.
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* Value) { popup_menu_ = Value; }

  // Invalidate asks for a repaint from the event loop; Repaint paints at once.
  virtual void Invalidate();
  virtual void Repaint();
  virtual TPoint ClientToScreen(TPoint Point) const;
  TPoint ScreenToClient(TPoint Point) const;
  // Moves the control above its siblings.
  virtual void BringToFront();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  std::string ClassName() const override { return "TControl"; }

 protected:
  // Input hooks; the defaults call the matching event when it is assigned.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Where the context menu of a right-button release at Point opens (client
  // coordinates): a control may move it off what it shows there.
  virtual TPoint ContextMenuPoint(TPoint Point) { return Point; }

  // Called after the property changed; the defaults repaint (FontChanged, ColorChanged,
  // CaptionChanged, EnabledChanged) or do what the kind of control needs.
  virtual void BoundsChanged(const TRect& OldBounds);
  virtual void VisibleChanged();
  virtual void EnabledChanged();
  virtual void CaptionChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void CursorChanged();

  // The setters of properties that only change the looks: assigns Value to Field and
  // asks for a repaint, unless Field holds it already; true when it changed.
  template <class T>
  bool SetAndInvalidate(T& Field, const std::type_identity_t<T>& Value) {
    if (Field == Value) return false;
    Field = Value;
    Invalidate();
    return true;
  }

  // Sets the stored bounds without applying them (used when the window system moved us).
  void UpdateBounds(const TRect& Bounds) { bounds_ = Bounds; }

 private:
  friend class TControlEvents;
  friend class TWinControl;

  TWinControl* parent_ = nullptr;
  // Beside the parent: finding a child's place among thousands looks at one cache line.
  bool windowed_ = false;  // a TWinControl; still known while its destructor runs
  size_t slot_ = 0;        // a windowless child's place among its parent's
  TRect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::string hint_;
  bool show_hint_ = false;
  TFont font_;
  TColor color_ = clBtnFace;
  TAlign align_ = alNone;
  TCursor cursor_ = crDefault;
  TPopupMenu* popup_menu_ = nullptr;
  bool clicked_ = false;  // the left button went down on us; a release inside clicks
  // Expires when the control is freed: input routing checks it between handler calls,
  // because a handler may free the control it was called for.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// A control without a window: painted by its parent on the parent's surface.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);

  // While Paint runs it draws on the parent's surface with its origin at the control's
  // top-left corner, clipped to the control; otherwise it only measures text. Made when
  // first asked for: a control that shows pictures only (thousands of map markers) never
  // needs one.
  TCanvas& Canvas();

  std::string ClassName() const override { return "TGraphicControl"; }

  // A control whose whole look is one picture at its top-left corner returns it here
  // (the same picture object, or none, all its life), and its parent copies the part it
  // repaints straight from the picture instead of running Paint: the map repaints
  // hundreds of markers under every crosshair move.
  virtual const TBitmap* Face() const { return nullptr; }
  // One of a few pictures that make up a control's look, and where it lies in it.
  struct TFacePart {
    const TBitmap* Picture;
    TPoint At;
  };
  static constexpr int kMaxFaceParts = 4;
  // The same for a look made of a few pictures (a map marker's dot, symbol and label),
  // bottom first; the count. By default the Face, if any, at the top-left corner.
  virtual int FaceParts(TFacePart (&Parts)[kMaxFaceParts]) const;
  // A control whose look changes only when it invalidates itself, and whose Paint
  // changes no control, may be kept composed with the pictures (SetLayeredFaces).
  virtual bool KeptComposed() const { return Face() != nullptr; }

 protected:
  virtual void Paint() {}

 private:
  friend class TControlEvents;
  std::unique_ptr<TCanvas> canvas_;
};

struct TNativeWidget;  // platform-internal: the Qt widget of a windowed control

// Finds the windowless children of a control that meet a rectangle, for a control that
// holds thousands of them (a map's markers), so that painting and hit-testing need not
// walk them all. Whoever sets it keeps it in step with the children's places.
class TChildFinder {
 public:
  virtual ~TChildFinder() = default;
  // Adds every visible windowless child whose bounds meet Area (more do no harm); without
  // Composed, those kept composed may be left out (a paint above their layer).
  virtual void ChildrenIn(const TRect& Area, bool Composed,
                          std::vector<TControl*>& Found) const = 0;
  // The layer of children kept composed (SetLayeredFaces) is composed in pieces of this
  // size, lying on a grid from the client area's top-left corner.
  static constexpr int kPieceWidth = 256;
  static constexpr int kPieceHeight = 128;
  // A child found, with its bounds as the finder knows them.
  struct TFound {
    TControl* Child;
    TRect Bounds;
  };
  // Calls Visit(Found, Count) for every visible child kept composed whose bounds meet
  // Area, the topmost first, a few at a time, each once (more do no harm), until Visit
  // returns false; false when the finder keeps no z-order, and the parent sorts what
  // ChildrenIn finds. Area is mostly one piece; the parent does not look at a child
  // whose bounds lie under what it composed there already, and fetches the others of a
  // few together.
  using TVisitChildren = std::function<bool(const TFound* Found, size_t Count)>;
  virtual bool ComposedTopDown(const TRect& /*Area*/, const TVisitChildren& /*Visit*/) const {
    return false;
  }
  // A windowless child came to the front: its ZOrder grew.
  virtual void ChildRaised(TControl& /*Child*/) {}
};

// A rectangle inside a child, from its top-left corner.
struct TCoverRect {
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
};
// What the pictures of a child kept composed cover, part by part: the pixels that
// show and a rectangle of fully opaque ones. Worked out when the layer is composed
// after the child's look or place changed (parts -1 until then): composing anew the
// whole layer of a map then looks at no marker that lies under others.
struct TChildCover {
  std::int8_t parts = -1;
  TCoverRect shown[TGraphicControl::kMaxFaceParts];
  TCoverRect opaque[TGraphicControl::kMaxFaceParts];
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // Child controls in z-order, the bottom one first. Windowless children always lie
  // below windowed ones, as they are painted on this control's surface.
  int ControlCount() const;
  // Index is 0-based; out of range gives null.
  TControl* Controls(int Index) const;
  // The topmost visible and enabled windowless child under a point of the client area.
  TControl* ControlAtPos(TPoint Point) const;

  TRect ClientRect() const override;
  TPoint ClientToScreen(TPoint Point) const override;

  void SetFocus();
  bool Focused() const;
  // A control that draws its own text caret tells the input method where it stands
  // (client coordinates), so that composition windows open there; typing through an
  // input method is enabled from the first call on.
  void SetInputMethodCaret(const TRect& Rect);
  bool InputMethodCaret(TRect& Rect) const;
  // A tab stop is reached with the Tab key.
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool Value);
  // Gives the focus to the next tab stop of the window after this control and the
  // controls inside it (Forward), or to the one before it, as Tab and Shift+Tab do.
  // False when no other control takes it.
  bool FocusNextOutside(bool Forward);
  // Gives the focus to the first tab stop inside this control, as Tab would reach it;
  // false when none takes it.
  bool FocusFirstInside();

  void Invalidate() override;
  // Off, the window paints nothing and keeps what it shows, so that a batch of changes
  // paints once; switched on again, the whole window is repainted.
  bool Redraw() const;
  void SetRedraw(bool Value);
  // Asks for a repaint of only Rect of the client area. Child: the windowless child
  // whose look changed there, if any.
  void InvalidateRect(const TRect& Rect, const TControl* Child = nullptr);
  void Repaint() override;
  void BringToFront() override;
  // Lays the aligned children out again.
  void Realign();
  // Takes every windowless child for which Leaves is true off this control at once (its
  // owner keeps it), and repaints the whole client area: thousands of map markers
  // going at one tick, without closing the gap behind each.
  void RemoveChildren(const std::function<bool(TControl& Child)>& Leaves);
  // Windowless children that show a picture (Face) are kept composed in an image of
  // their own and drawn above the other windowless children, whatever the z-order: a
  // repaint beneath them (a line moved under thousands of map markers) then copies that
  // image instead of painting each of them again. Costs an image of the client area.
  void SetLayeredFaces(bool Value);
  // Not owned; null walks all the children again.
  void SetChildFinder(TChildFinder* Finder) { finder_ = Finder; }
  // Where a windowless child lies among the others: a larger stamp lies above, and
  // every child has its own. It grows whenever the child comes to the front.
  std::uint64_t ZOrder(const TControl& Child) const;

  TKeyEvent OnKeyDown;
  // The key was let go (not for the repeats of a key held down).
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnResize;

  std::string ClassName() const override { return "TWinControl"; }

 protected:
  // For platform controls that wrap a ready-made Qt widget.
  TWinControl(TComponent* AOwner, std::unique_ptr<TNativeWidget> Widget);

  virtual void KeyDown(TKeyCode& Key, TShiftState Shift);
  virtual void KeyUp(TKeyCode& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // Text that arrives as Unicode (UTF-16): a typed character the program's code page
  // cannot hold, and what an input method commits. A control that takes text of every
  // script overrides it; by default the text is dropped.
  virtual void UnicodeInput(const std::u16string& /*Text*/) {}
  // The text an input method is composing at the caret, with its cursor (a UTF-16
  // index); empty when the composing ends. For a control that shows it.
  virtual void ComposingInput(const std::u16string& /*Text*/, int /*Cursor*/) {}
  // The control takes Tab and Shift+Tab itself instead of passing the focus on.
  virtual bool WantsTabKey() const { return false; }
  // Keys held with Ctrl or Alt, and Tab and Shift+Tab that would move the focus, pass
  // the controls that hold the focused one, nearest first, before the focused control
  // sees them; setting Key to 0 takes the key (page switching, accelerators, a control
  // that moves the focus through its children itself).
  virtual void DialogKey(TKeyCode& /*Key*/, TShiftState /*Shift*/) {}
  // The control leads the focus through its children itself: Tab and Shift+Tab from
  // outside reach them only through it (the control takes the focus), and from inside
  // they come to its DialogKey.
  virtual bool TabsThroughChildren() const { return false; }
  virtual void DoEnter();
  virtual void DoExit();
  virtual void Resize();
  // True when key events of the controls inside go to this control first (a form's
  // KeyPreview).
  virtual bool PreviewsKeys() const { return false; }
  // The part of the client area that aligned children share; a window's MDI area
  // takes what they leave.
  virtual void AlignControls(TRect& Area);

  // The control paints every pixel of its face itself: the window system fills nothing
  // first (Color is not filled in) and paints nothing of what lies under it.
  void SetOpaqueFace(bool Value);
  bool OpaqueFace() const;
  // Fills the face on Canvas, but for Except, as the window system fills under a face
  // that is not opaque: a control that is opaque now and then paints what it leaves so.
  void FillFaceBackground(TCanvas& Canvas, const TRect& Except) const;

  void BoundsChanged(const TRect& OldBounds) override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void CursorChanged() override;

 private:
  friend class TControl;
  friend class TControlEvents;
  friend TNativeWidget& NativeOf(const TWinControl& Control);

  // Where each windowless child is, by its slot: painting and hit-testing find the
  // children at a place without visiting thousands of controls. The z-order is a
  // stamp, so bringing one of thousands of children to the front moves nothing.
  struct TChildPlace {
    TRect bounds;
    bool visible;
    bool face;  // kept composed, see SetLayeredFaces
    std::uint64_t z;
    TChildCover cover = {};
  };
  static TChildPlace PlaceOf(const TControl& Child, std::uint64_t Z);
  void PlaceChanged(const TControl& Child);
  // The found of the visible windowless children meeting Area, bottom first.
  // Without Composed, those kept composed may be missing.
  void WindowlessIn(const TRect& Area, std::vector<size_t>& Found, bool Composed = true) const;
  // Every child, the windowless ones first, each group bottom first.
  const std::vector<TControl*>& Ordered() const;

  void InsertControl(TControl& Control);
  void RemoveControl(TControl& Control);
  void RaiseControl(TControl& Control);
  // Realigns after Changed's bounds, alignment or visibility changed; it goes before
  // children at the same position.
  void RealignFor(TControl* Changed);
  void RepaintRect(const TRect& Rect, const TControl& Child);
  // Marks the layer of picture children for composing anew where Child changed.
  void FaceChanged(const TRect& Rect, const TControl* Child);
  void ApplyGeometry();
  void ApplyVisibility();

  std::unique_ptr<TNativeWidget> native_;
  bool has_input_caret_ = false;
  TRect input_caret_;
  std::vector<TControl*> windowless_;         // by slot
  std::vector<TChildPlace> places_;           // by slot
  std::vector<TControl*> windowed_children_;  // bottom first
  mutable std::vector<TControl*> ordered_;
  mutable bool ordered_stale_ = false;
  std::uint64_t next_z_ = 0;
  TChildFinder* finder_ = nullptr;
  bool tab_stop_ = false;
  bool aligning_ = false;
  TControl* align_changed_ = nullptr;
};

// A windowed control that draws itself: override Paint and draw on Canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);

  // Draws on the control while Paint runs; otherwise it only measures text.
  TCanvas& Canvas() { return canvas_; }

  std::string ClassName() const override { return "TCustomControl"; }

 protected:
  virtual void Paint() {}

 private:
  friend class TControlEvents;
  TCanvas canvas_;
};
