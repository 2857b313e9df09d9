#include "controls/dial.h"

#include "controls/draw_tools.h"

namespace {

constexpr TColor kDialBackground = clFuchsia;
constexpr int kDialSize = 42;
constexpr int kRimGap = 3;  // scale marks end this far inside the rim

}  // namespace

TPoint DialPoint(TPoint Centre, int Radius, int Angle) {
  int normal = Angle % 360;
  if (normal < 0) normal += 360;
  TPoint point;
  PolarToPoint(Centre, Radius, static_cast<std::uint16_t>(normal), point);
  return point;
}

TDial::TDial(TComponent* AOwner)
    : TGraphicControl(AOwner), background_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, kDialSize, kDialSize);
}

TDial::~TDial() = default;

void TDial::SetBackground(const TBitmap& Value) {
  background_->Assign(Value);
  if (!background_->Empty()) SetBounds(Left(), Top(), background_->Width(), background_->Height());
  Invalidate();
}

void TDial::SetTransparent(bool Value) {
  SetAndInvalidate(transparent_, Value);
}

void TDial::SetDegrees(std::uint16_t Value) {
  SetAndInvalidate(degrees_, Value);
}

void TDial::SetScale(TColor Value) {
  SetAndInvalidate(scale_, Value);
}
void TDial::SetScaleN(TColor Value) {
  SetAndInvalidate(scale_n_, Value);
}
void TDial::SetScalePin(TColor Value) {
  SetAndInvalidate(scale_pin_, Value);
}
void TDial::SetScalePinBorder(TColor Value) {
  SetAndInvalidate(scale_pin_border_, Value);
}
void TDial::SetScalePinMarker(TColor Value) {
  SetAndInvalidate(scale_pin_marker_, Value);
}

void TDial::DrawMark(TCanvas& canvas, int angle, int length, TColor color) const {
  const int radius = Height() / 2;
  const TPoint from = DialPoint(Centre(), radius - kRimGap - length, angle);
  const TPoint to = DialPoint(Centre(), radius - kRimGap, angle);
  canvas.Pen().SetColor(color);
  canvas.Pen().SetWidth(1);
  canvas.MoveTo(from.X, from.Y);
  canvas.LineTo(to.X, to.Y);
}

void TDial::Paint() {
  if (!background_->Empty()) SetBounds(Left(), Top(), background_->Width(), background_->Height());
  TBitmap work;
  work.SetSize(Width(), Height());
  TCanvas& canvas = work.Canvas();
  canvas.Brush().SetColor(kDialBackground);
  canvas.FillRect(Rect(0, 0, Width(), Height()));
  if (!background_->Empty()) {
    // Drawn through a copy, so that painting never changes the published picture.
    TBitmap face;
    face.Assign(*background_);
    face.SetTransparent(transparent_);
    canvas.Draw(0, 0, face);
  }

  DrawScale(canvas);

  const TDialNeedle needle = Needle();
  const TPoint outline[] = {needle.Tail, needle.Side1, needle.Tip, needle.Side2};
  canvas.Pen().SetColor(scale_pin_border_);
  canvas.Pen().SetWidth(1);
  canvas.Brush().SetColor(scale_pin_);
  canvas.Polygon(outline);
  canvas.Pen().SetColor(scale_pin_marker_);
  canvas.MoveTo(needle.Tip.X, needle.Tip.Y);
  canvas.LineTo(needle.Tail.X, needle.Tail.Y);
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(scale_pin_border_);
  canvas.Polygon(outline);

  work.SetTransparent(transparent_);
  Canvas().Draw(0, 0, work);
}
