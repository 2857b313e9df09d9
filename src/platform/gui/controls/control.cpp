#include <algorithm>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/hint_window.h"

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  font_.OnChange = [this] { FontChanged(); };
  // A rest of the mouse shows a hint from the first control on, not only once some other
  // hint was shown.
  ListenForHints();
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(*this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == parent_) return;
  for (TWinControl* p = AParent; p; p = p->Parent()) {
    if (p == this) throw EInvalidOperation("A control cannot be its own parent");
  }
  if (parent_) parent_->RemoveControl(*this);
  if (AParent) AParent->InsertControl(*this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect bounds = Bounds(ALeft, ATop, std::max(AWidth, 0), std::max(AHeight, 0));
  if (bounds == bounds_) return;
  const TRect old = bounds_;
  bounds_ = bounds;
  if (parent_ && !windowed_) parent_->PlaceChanged(*this);
  BoundsChanged(old);
  if (parent_ && align_ != alNone) parent_->RealignFor(this);
}

void TControl::SetClientSize(int AWidth, int AHeight) {
  const TRect client = ClientRect();
  SetBounds(Left(), Top(), Width() + AWidth - client.Width(), Height() + AHeight - client.Height());
}

void TControl::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  if (parent_ && !windowed_) parent_->PlaceChanged(*this);
  VisibleChanged();
  if (parent_ && align_ != alNone) parent_->RealignFor(this);
}

void TControl::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  EnabledChanged();
}

void TControl::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  CaptionChanged();
}

void TControl::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  ColorChanged();
}

void TControl::SetAlign(TAlign Value) {
  if (Value == align_) return;
  align_ = Value;
  if (parent_) parent_->RealignFor(this);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == cursor_) return;
  cursor_ = Value;
  CursorChanged();
}

// A windowless control repaints through its parent, which owns the surface it is on.
void TControl::Invalidate() {
  if (parent_ && visible_) parent_->InvalidateRect(bounds_, this);
}

void TControl::Repaint() {
  if (parent_ && visible_) parent_->RepaintRect(bounds_, *this);
}

TPoint TControl::ClientToScreen(TPoint Point) const {
  const TPoint p = ::Point(Point.X + Left(), Point.Y + Top());
  return parent_ ? parent_->ClientToScreen(p) : p;
}

TPoint TControl::ScreenToClient(TPoint Point) const {
  const TPoint origin = ClientToScreen(TPoint{});
  return ::Point(Point.X - origin.X, Point.Y - origin.Y);
}

void TControl::BringToFront() {
  if (parent_) parent_->RaiseControl(*this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::BoundsChanged(const TRect& OldBounds) {
  if (!parent_ || !visible_) return;
  parent_->InvalidateRect(OldBounds, this);
  parent_->InvalidateRect(bounds_, this);
}

void TControl::VisibleChanged() {
  if (parent_) parent_->InvalidateRect(bounds_, this);
}

void TControl::EnabledChanged() {
  Invalidate();
}
void TControl::CaptionChanged() {
  Invalidate();
}
void TControl::FontChanged() {
  Invalidate();
}
void TControl::ColorChanged() {
  Invalidate();
}
void TControl::CursorChanged() {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TCanvas& TGraphicControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return *canvas_;
}

int TGraphicControl::FaceParts(TFacePart (&Parts)[kMaxFaceParts]) const {
  const TBitmap* face = Face();
  if (!face) return 0;
  Parts[0] = {face, TPoint{}};
  return 1;
}
