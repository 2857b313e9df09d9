#include "html/gradient_style.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds to the nearest integer, halves to even.
int RoundEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

enum class TBandEnd { Rounded, CutToRect };

// The one banding both gradient kinds share; they differ only in how long a band is and
// whether it may pass the far edge.
void PaintBands(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const TRect& Rect,
                int Bands, TBandEnd End) {
  // A gradient without an end colour is a solid fill.
  const TColor from = ColorToRGB(From);
  const TColor to = To == clNone ? from : ColorToRGB(To);
  const int n = Bands == 0 ? 1 : Bands;
  const double red_step = double(GetRValue(to) - GetRValue(from)) / n;
  const double green_step = double(GetGValue(to) - GetGValue(from)) / n;
  const double blue_step = double(GetBValue(to) - GetBValue(from)) / n;
  const int extent = Horizontal ? Rect.Width() : Rect.Height();
  const double band_length = double(extent) / n;
  const int width = End == TBandEnd::Rounded ? RoundEven(band_length) : int(band_length);
  const int far_edge = Horizontal ? Rect.Right : Rect.Bottom;
  for (int i = 0; i < n; ++i) {
    const TColor colour =
        RGB(GetRValue(from) + RoundEven(i * red_step), GetGValue(from) + RoundEven(i * green_step),
            GetBValue(from) + RoundEven(i * blue_step));
    Canvas.Pen().SetColor(colour);
    Canvas.Brush().SetColor(colour);
    const int start = (Horizontal ? Rect.Left : Rect.Top) + RoundEven(i * band_length);
    int stop = start + width + 1;
    if (End == TBandEnd::CutToRect) stop = std::min(stop, far_edge);
    if (Horizontal)
      Canvas.FillRect(::Rect(start, Rect.Top, stop, Rect.Bottom));
    else
      Canvas.FillRect(::Rect(Rect.Left, start, Rect.Right, stop));
  }
}

}  // namespace

void GradientFill(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const TRect& Rect,
                  int Bands) {
  PaintBands(Canvas, From, To, Horizontal, Rect, Bands, TBandEnd::Rounded);
}

void FillGradient(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const TRect& Rect,
                  int Bands, TColor BorderColor) {
  PaintBands(Canvas, From, To, Horizontal, Rect, Bands, TBandEnd::CutToRect);
  if (BorderColor == clNone) return;
  Canvas.Brush().SetColor(BorderColor);
  Canvas.FrameRect(Rect);
}

void StretchTransparentCopy(TCanvas& Canvas, const TBitmap& Source, int X, int Y, int Width,
                            int Height, int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                            TColor TransparentColor) {
  if (Width <= 0 || Height <= 0 || SourceWidth <= 0 || SourceHeight <= 0) return;
  // A copy of the area carries the key colour, so the source itself is never touched.
  TBitmap area;
  area.SetSize(SourceWidth, SourceHeight);
  area.Canvas().CopyRect(Rect(0, 0, SourceWidth, SourceHeight), Source.Canvas(),
                         Bounds(SourceX, SourceY, SourceWidth, SourceHeight));
  area.SetTransparentColor(TransparentColor);
  area.SetTransparent(true);
  Canvas.StretchDraw(Bounds(X, Y, Width, Height), area);
}

void TransparentCopy(TCanvas& Canvas, const TBitmap& Source, int X, int Y, int SourceX, int SourceY,
                     int Width, int Height, TColor TransparentColor) {
  StretchTransparentCopy(Canvas, Source, X, Y, Width, Height, SourceX, SourceY, Width, Height,
                         TransparentColor);
}

void DrawHorizontalThreeSlice(const TBitmap& Source, TCanvas& Canvas, int X, int Length, int Y) {
  const int w = Source.Width();
  const int h = Source.Height();
  if (w <= 0 || h <= 0) return;
  const TColor key = Source.Canvas().Pixels(0, h - 1);
  const int half = w / 2;
  TransparentCopy(Canvas, Source, X, Y, 0, 0, half, h, key);
  StretchTransparentCopy(Canvas, Source, X + half, Y, Length - w, h, half - 1, 0, 2, h, key);
  TransparentCopy(Canvas, Source, X + half + Length - w, Y, half, 0, half, h, key);
}

void DrawVerticalThreeSlice(const TBitmap& Source, TCanvas& Canvas, int X, int Length, int Y) {
  const int w = Source.Width();
  const int h = Source.Height();
  if (w <= 0 || h <= 0) return;
  const TColor key = Source.Canvas().Pixels(0, h - 1);
  const int half = h / 2;
  TransparentCopy(Canvas, Source, X, Y, 0, 0, w, half, key);
  StretchTransparentCopy(Canvas, Source, X, Y + half, w, Length - h, 0, half - 1, w, 2, key);
  TransparentCopy(Canvas, Source, X, Y + half + Length - h, 0, half, w, half, key);
}

void TGradientStyle::Assign(const TGradientStyle& Source) {
  border_color_ = Source.border_color_;
  color_to_ = Source.color_to_;
  color_from_ = Source.color_from_;
  color_mirror_to_ = Source.color_mirror_to_;
  color_mirror_from_ = Source.color_mirror_from_;
  Changed();
}

void TGradientStyle::Set(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TGradientStyle::Changed() {
  if (OnChange) OnChange(this);
}
