#include "controls/my_progress_bar.h"

#include <algorithm>
#include <cmath>

#include "controls/draw_tools.h"
#include "controls/my_panel.h"

namespace {

double Fraction(int min, int max, int position) {
  if (max <= min) return 0.0;
  const double fraction = (double(position) - min) / (double(max) - min);
  return std::clamp(fraction, 0.0, 1.0);
}

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

}  // namespace

int ProgressBarLength(int Extent, int Border, int Min, int Max, int Position) {
  return RoundHalfEven((Extent - 2 * Border) * Fraction(Min, Max, Position));
}

int ProgressPercent(int Min, int Max, int Position) {
  return RoundHalfEven(100.0 * Fraction(Min, Max, Position));
}

TMyProgressBar::TMyProgressBar(TComponent* AOwner)
    : TGraphicControl(AOwner),
      bitmap_back_(std::make_unique<TBitmap>()),
      bitmap_bar_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 150, 17);
  SetColor(clBtnFace);
  color_fill_back_ = color_fill_back2_ = color_fill_bar_ = color_fill_bar2_ = Color();
}

TMyProgressBar::~TMyProgressBar() = default;

void TMyProgressBar::SetMin(int Value) {
  Value = std::min(Value, max_);
  if (min_ == Value) return;
  min_ = Value;
  Invalidate();
}

void TMyProgressBar::SetMax(int Value) {
  SetAndInvalidate(max_, Value);
}

void TMyProgressBar::SetPosition(int Value) {
  Value = std::min(Value, max_);
  if (position_ == Value) return;
  position_ = Value;
  Invalidate();
}

void TMyProgressBar::SetBorder(int Value) {
  SetAndInvalidate(border_, Value);
}

void TMyProgressBar::SetOrientation(TProgressBarOrientation Value) {
  SetAndInvalidate(orientation_, Value);
}

void TMyProgressBar::SetBitmapBack(const TBitmap& Value) {
  if (AssignPatternBitmap(*this, *bitmap_back_, Value)) Invalidate();
}

void TMyProgressBar::SetBitmapBar(const TBitmap& Value) {
  if (AssignPatternBitmap(*this, *bitmap_bar_, Value)) Invalidate();
}

void TMyProgressBar::SetColor3DLight(TColor Value) {
  SetAndInvalidate(color_3d_light_, Value);
}
void TMyProgressBar::SetColor3DDark(TColor Value) {
  SetAndInvalidate(color_3d_dark_, Value);
}
void TMyProgressBar::SetColorFillBack(TColor Value) {
  SetAndInvalidate(color_fill_back_, Value);
}
void TMyProgressBar::SetColorFillBack2(TColor Value) {
  SetAndInvalidate(color_fill_back2_, Value);
}
void TMyProgressBar::SetColorFillBar(TColor Value) {
  SetAndInvalidate(color_fill_bar_, Value);
}
void TMyProgressBar::SetColorFillBar2(TColor Value) {
  SetAndInvalidate(color_fill_bar2_, Value);
}

void TMyProgressBar::SetGlowPaint(bool Value) {
  SetAndInvalidate(glow_paint_, Value);
}

void TMyProgressBar::SetShowPercent(bool Value) {
  SetAndInvalidate(show_percent_, Value);
}

void TMyProgressBar::FillTwoTone(TCanvas& canvas, const TRect& rect, TColor first, TColor second) {
  if (!glow_paint_) {
    canvas.Brush().SetColor(first);
    canvas.FillRect(rect);
  } else if (orientation_ == pbHorizontal) {
    FillSplitHorizontal(canvas, rect, first, second);
  } else {
    FillSplitVertical(canvas, rect, first, second);
  }
}

void TMyProgressBar::Paint() {
  TBitmap work;
  work.SetSize(Width(), Height());
  PaintTo(work.Canvas());
  Canvas().Draw(0, 0, work);
}

void TMyProgressBar::PaintTo(TCanvas& canvas) {
  const int width = Width();
  const int height = Height();
  canvas.Font().Assign(Font());

  TRect trough = Rect(0, 0, width, height);
  FillTwoTone(canvas, trough, color_fill_back_, color_fill_back2_);
  if (!bitmap_back_->Empty()) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetBitmap(bitmap_back_.get());
    canvas.FloodFill(11, 11, canvas.Pixels(11, 11), fsSurface);
    canvas.Brush().SetBitmap(nullptr);
  }
  Frame3D(canvas, trough, color_3d_dark_, color_3d_light_, 1);

  const int extent = orientation_ == pbHorizontal ? width : height;
  const int length = ProgressBarLength(extent, border_, min_, max_, position_);
  if (length <= 0) return;

  TRect bar = orientation_ == pbHorizontal
                  ? Rect(border_, border_, border_ + length, height - border_)
                  : Rect(border_, height - border_ - length, width - border_, height - border_);
  FillTwoTone(canvas, bar, color_fill_bar_, color_fill_bar2_);
  if (!bitmap_bar_->Empty() && length >= 3) {
    const TPoint seed = Point(bar.Left + 1, bar.Top + 1);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetBitmap(bitmap_bar_.get());
    canvas.FloodFill(seed.X, seed.Y, canvas.Pixels(seed.X, seed.Y), fsSurface);
    canvas.Brush().SetBitmap(nullptr);
  }
  Frame3D(canvas, bar, color_3d_light_, color_3d_dark_, 1);

  if (!show_percent_) return;
  const std::string text = IntToStr(ProgressPercent(min_, max_, position_)) + "%";
  const TSize size = canvas.TextExtent(text);
  const int margin = (height / 2 - size.cy / 2) / 2;
  // A bar too short for its text shows none.
  if (size.cx + margin >= length || size.cy + margin >= height - 2 * border_) return;
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(length / 2 - size.cx / 2 + border_, height / 2 - size.cy / 2, text);
}
