#include "lists/menu_draw.h"

namespace {

struct TChannels {
  int r, g, b;
};

TChannels Split(TColor Color) {
  const TColor rgb = ColorToRGB(Color);
  return {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
}

void Fill(TCanvas& Canvas, const TRect& R, TColor Color) {
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(Color);
  Canvas.FillRect(R);
}

// The colour at step I of N from Start to End, each channel kept to its low byte.
TColor Blend(const TChannels& Start, const TChannels& Delta, int I, int N) {
  return RGB(Start.r + Delta.r * I / N, Start.g + Delta.g * I / N, Start.b + Delta.b * I / N);
}

}  // namespace

void MenuGradientFill(TCanvas& Canvas, const TRect& R, TGradientDirection Direction,
                      TColor EndColor, TColor StartColor) {
  if (EndColor == clNone) EndColor = StartColor;
  const int span = Direction == gdVertical ? R.Height() : R.Width();
  if (span < 1 || R.Width() < 1 || R.Height() < 1) return;
  if (ColorToRGB(EndColor) == ColorToRGB(StartColor)) {
    Fill(Canvas, R, StartColor);
    return;
  }
  const TChannels start = Split(StartColor);
  const TChannels end = Split(EndColor);
  const TChannels delta{end.r - start.r, end.g - start.g, end.b - start.b};
  for (int i = 0; i < span; ++i) {
    const TRect line = Direction == gdVertical ? TRect{R.Left, R.Top + i, R.Right, R.Top + i + 1}
                                               : TRect{R.Left + i, R.Top, R.Left + i + 1, R.Bottom};
    Fill(Canvas, line, Blend(start, delta, i, span));
  }
}

void SlicedGradient(TCanvas& Canvas, const TRect& Extent, TGradientDirection Direction,
                    TColor EndColor, TColor StartColor, const TRect& Part) {
  const TRect p{std::max(Extent.Left, Part.Left), std::max(Extent.Top, Part.Top),
                std::min(Extent.Right, Part.Right), std::min(Extent.Bottom, Part.Bottom)};
  if (p.Width() <= 0 || p.Height() <= 0) return;
  if (EndColor == clNone) EndColor = StartColor;
  const TChannels start = Split(StartColor);
  const TChannels end = Split(EndColor);
  const TChannels delta{end.r - start.r, end.g - start.g, end.b - start.b};
  const bool vertical = Direction == gdVertical;
  const int span = vertical ? Extent.Height() : Extent.Width();
  if (span < 1) return;
  const int from = vertical ? p.Top - Extent.Top : p.Left - Extent.Left;
  const int to = vertical ? p.Bottom - Extent.Top : p.Right - Extent.Left;
  MenuGradientFill(Canvas, p, Direction, Blend(start, delta, to, span),
                   Blend(start, delta, from, span));
}

void FramedGradient(TCanvas& Canvas, const TRect& R, bool Fill, TColor BorderColor,
                    TGradientDirection Direction, TColor EndColor, TColor StartColor) {
  if (Fill && StartColor != clNone) MenuGradientFill(Canvas, R, Direction, EndColor, StartColor);
  if (BorderColor == clNone) return;
  Canvas.Brush().SetColor(BorderColor);
  Canvas.FrameRect(R);
}

void MirroredGradient(TCanvas& Canvas, const TRect& R, bool Fill, TColor BorderColor,
                      TGradientDirection Direction, TColor MirrorEnd, TColor MirrorStart,
                      TColor EndColor, TColor StartColor) {
  if (Fill && StartColor != clNone) {
    if (MirrorStart != clNone) {
      const int middle = R.Top + R.Height() / 2;
      MenuGradientFill(Canvas, {R.Left, R.Top, R.Right, middle}, Direction, EndColor, StartColor);
      MenuGradientFill(Canvas, {R.Left, middle, R.Right, R.Bottom}, Direction, MirrorEnd,
                       MirrorStart);
    } else {
      MenuGradientFill(Canvas, R, Direction, EndColor, StartColor);
    }
  }
  FramedGradient(Canvas, R, false, BorderColor, Direction, EndColor, StartColor);
}

void FadedLine(TCanvas& Canvas, TRect R, int Margin, int FadeLength, TMenuGradientType Type,
               TGradientDirection LineDirection, TColor EndColor, TColor StartColor) {
  const TColor c2 = EndColor == clNone ? StartColor : EndColor;
  int g = FadeLength;
  if (LineDirection == gdHorizontal) {
    R.Left += Margin;
    R.Right -= Margin;
    if (g < R.Width()) {
      switch (Type) {
        case gtLeft:
          Fill(Canvas, {R.Left + g, R.Top, R.Right, R.Bottom}, c2);
          break;
        case gtRight:
          Fill(Canvas, {R.Left, R.Top, R.Right - g, R.Bottom}, c2);
          break;
        case gtBoth:
          Fill(Canvas, {R.Left + g / 2, R.Top, R.Right - g / 2, R.Bottom}, StartColor);
          break;
      }
    } else {
      g = R.Width();
    }
    if (g <= 0) return;
    switch (Type) {
      case gtLeft:
        MenuGradientFill(Canvas, {R.Left, R.Top, R.Left + g, R.Bottom}, gdHorizontal, c2,
                         StartColor);
        break;
      case gtRight:
        MenuGradientFill(Canvas, {R.Right - g, R.Top, R.Right, R.Bottom}, gdHorizontal, StartColor,
                         c2);
        break;
      case gtBoth:
        MenuGradientFill(Canvas, {R.Left, R.Top, R.Left + g / 2, R.Bottom}, gdHorizontal,
                         StartColor, c2);
        MenuGradientFill(Canvas, {R.Right - g / 2, R.Top, R.Right, R.Bottom}, gdHorizontal, c2,
                         StartColor);
        break;
    }
    return;
  }
  R.Top += Margin;
  R.Bottom -= Margin;
  if (Type == gtBoth) g *= 2;
  if (g < R.Height()) {
    switch (Type) {
      case gtLeft:
        Fill(Canvas, {R.Left, R.Top, R.Right, R.Bottom - g}, c2);
        break;
      case gtRight:
        Fill(Canvas, {R.Left, R.Top + g, R.Right, R.Bottom}, c2);
        break;
      case gtBoth:
        Fill(Canvas, {R.Left, R.Top + g / 2, R.Right, R.Bottom - g / 2}, StartColor);
        break;
    }
  } else {
    g = R.Height();
  }
  if (g <= 0) return;
  switch (Type) {
    case gtLeft:
      MenuGradientFill(Canvas, {R.Left, R.Bottom - g, R.Right, R.Bottom}, gdVertical, StartColor,
                       c2);
      break;
    case gtRight:
      MenuGradientFill(Canvas, {R.Left, R.Top, R.Right, R.Top + g}, gdVertical, c2, StartColor);
      break;
    case gtBoth:
      MenuGradientFill(Canvas, {R.Left, R.Top, R.Right, R.Top + g / 2}, gdVertical, StartColor, c2);
      MenuGradientFill(Canvas, {R.Left, R.Bottom - g / 2, R.Right, R.Bottom}, gdVertical, c2,
                       StartColor);
      break;
  }
}

void CenterRect(TRect& R, int W, int H) {
  R.Right = (R.Left + R.Right + W) / 2;
  R.Bottom = (R.Top + R.Bottom + H) / 2;
  R.Left = R.Right - W;
  R.Top = R.Bottom - H;
}
