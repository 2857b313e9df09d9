#include "html/html_drawing.h"

#include <cmath>

#include "html/gradient_style.h"
#include "platform/gui/graphics/file_icons.h"
#include "platform/text/ascii.h"

namespace {

constexpr int kSelectionBands = 128;

bool IsNumber(const std::string& S) {
  if (S.empty()) return false;
  for (char c : S)
    if (!IsAsciiDigit(c)) return false;
  return true;
}

}  // namespace

void DrawSystemIcon(TCanvas& Canvas, int X, int Y, TSize& Size, double ResFactor, bool Print,
                    bool Draw, bool Large, const std::string& Name) {
  if (IsNumber(Name)) {
    Size = {0, 0};
    return;
  }
  const int side = Large ? kLargeFileIconSize : kSmallFileIconSize;
  Size = {side, side};
  if (!Draw) return;
  const int drawn = Print ? int(std::nearbyint(side * ResFactor)) : side;
  DrawFileIcon(Canvas, Bounds(X, Y, drawn, drawn), Name);
}

void StretchBitmap(TCanvas& Canvas, const TRect& Rect, const TBitmap& Bitmap) {
  Canvas.StretchDraw(Rect, Bitmap);
}

void PaintSelection(TCanvas& Canvas, const TRect& Rect, TColor FromColor, bool Enabled,
                    TColor BorderColor, bool Direction, TColor MirrorTo, TColor MirrorFrom,
                    TColor ToColor) {
  if (Enabled && FromColor != clNone) {
    if (MirrorFrom == clNone) {
      FillGradient(Canvas, FromColor, ToColor, !Direction, Rect, kSelectionBands);
    } else if (!Direction) {
      const int middle = Rect.Top + Rect.Height() / 2;
      FillGradient(Canvas, FromColor, ToColor, false,
                   ::Rect(Rect.Left, Rect.Top, Rect.Right, middle), kSelectionBands);
      FillGradient(Canvas, MirrorFrom, MirrorTo, false,
                   ::Rect(Rect.Left, middle, Rect.Right, Rect.Bottom), kSelectionBands);
    } else {
      const int middle = Rect.Left + Rect.Width() / 2;
      FillGradient(Canvas, FromColor, ToColor, false,
                   ::Rect(Rect.Left, Rect.Top, middle, Rect.Bottom), kSelectionBands);
      FillGradient(Canvas, MirrorFrom, MirrorTo, false,
                   ::Rect(middle, Rect.Top, Rect.Right, Rect.Bottom), kSelectionBands);
    }
  }
  if (BorderColor == clNone) return;
  Canvas.Brush().SetColor(BorderColor);
  Canvas.FrameRect(Rect);
}
