#include "controls/my_hint.h"

#include "controls/draw_tools.h"
#include "platform/gui/controls/forms.h"

TMyHint* ActiveMyHint = nullptr;

namespace {

constexpr int kStripeWidth = 15;
constexpr int kTextLeftWithStripe = 19;
constexpr int kTextLeft = 4;
constexpr int kTextTop = 2;
constexpr int kLowerHalfLift = 25;  // a hint below the centre opens this far above the mouse

}  // namespace

TMyHint::TMyHint(TComponent* AOwner)
    : TComponent(AOwner), background_(std::make_unique<TBitmap>()) {
  if (auto* control = dynamic_cast<TControl*>(AOwner)) font_.Assign(control->Font());
}

TMyHint::~TMyHint() {
  SetActive(false);
}

void TMyHint::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (Value) {
    ActiveMyHint = this;
    SetHintWindowClass([] { return std::make_unique<TMyHintWindow>(nullptr); });
  } else {
    if (ActiveMyHint == this) ActiveMyHint = nullptr;
    SetHintWindowClass(nullptr);
  }
}

int HintQuadrant(TPoint TopLeft, int ScreenWidth, int ScreenHeight) {
  const bool upper = TopLeft.Y <= ScreenHeight / 2;
  const bool left = ScreenWidth / 2 > TopLeft.X;
  if (upper) return left ? 1 : 2;
  return left ? 3 : 4;
}

TRect PlaceHintRect(const TRect& Rect, int ScreenWidth, int ScreenHeight) {
  const int quadrant = HintQuadrant(Point(Rect.Left, Rect.Top), ScreenWidth, ScreenHeight);
  int dx = 0;
  int dy = 0;
  if (quadrant == 2 || quadrant == 4) dx = -Rect.Width();
  if (quadrant == 3 || quadrant == 4) dy = -(kLowerHalfLift + Rect.Height());
  return ::Rect(Rect.Left + dx, Rect.Top + dy, Rect.Right + dx, Rect.Bottom + dy);
}

TMyHintWindow::TMyHintWindow(TComponent* AOwner)
    : THintWindow(AOwner), work_(std::make_unique<TBitmap>()) {}

TMyHintWindow::~TMyHintWindow() = default;

TRect TMyHintWindow::CalcHintRect(int MaxWidth, const std::string& Hint) {
  if (!ActiveMyHint) return THintWindow::CalcHintRect(MaxWidth, Hint);
  TCanvas measure;
  measure.Font().Assign(ActiveMyHint->Font());
  TRect text = Rect(0, 0, MaxWidth, 0);
  measure.TextRect(text, Hint, tfCalcRect | tfWordBreak | tfNoPrefix);
  const int height = text.Height() + 2 + 4;
  const int width = text.Width() + (ActiveMyHint->PaintBorder ? 20 : 4) + 4;
  return Rect(0, 0, width, height);
}

void TMyHintWindow::ActivateHint(TRect Rect, const std::string& Hint) {
  if (!ActiveMyHint) {
    THintWindow::ActivateHint(Rect, Hint);
    return;
  }
  Rect = PlaceHintRect(Rect, Screen->Width(), Screen->Height());
  SetCaption(Hint);
  DrawHint(*ActiveMyHint, Rect.Width(), Rect.Height(), Hint);
  ShowAt(Rect);
}

void TMyHintWindow::DrawHint(TMyHint& style, int width, int height, const std::string& hint) {
  work_->SetSize(width, height);
  TCanvas& canvas = work_->Canvas();
  canvas.Font().Assign(style.Font());
  TBitmap& background = style.Background();
  const TRect face = Rect(0, 0, width, height);
  if (!background.Empty()) {
    canvas.Brush().SetBitmap(&background);
    canvas.FillRect(face);
    canvas.Brush().SetBitmap(nullptr);
  } else {
    FillSplitHorizontal(canvas, face, style.Color, style.Color2);
  }

  canvas.Brush().SetStyle(bsClear);
  TRect text = Rect(style.PaintBorder ? kTextLeftWithStripe : kTextLeft, kTextTop, width, height);
  canvas.TextRect(text, hint, tfWordBreak | tfNoPrefix);

  const TRect stripe = Rect(0, 0, kStripeWidth, height);
  if (style.PaintBorder) {
    canvas.Brush().SetColor(style.ColorBorder);
    canvas.FillRect(stripe);
  }
  if (style.ColorFrame != clNone) {
    canvas.Brush().SetColor(style.ColorFrame);
    if (style.PaintBorder) canvas.FrameRect(stripe);
    canvas.FrameRect(face);
  }
}

void TMyHintWindow::Paint() {
  Canvas().Draw(0, 0, *work_);
}
