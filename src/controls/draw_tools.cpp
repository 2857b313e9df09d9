#include "controls/draw_tools.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gui/graphics/canvas.h"

void PolarToPoint(TPoint Centre, int Radius, std::uint16_t Angle, TPoint& P) {
  const double a = (static_cast<double>(Angle) - 90) * std::numbers::pi / 180;
  // Halves round to the even neighbour, as everywhere in the program.
  P.X = static_cast<int>(std::nearbyint(std::cos(a) * Radius + Centre.X));
  P.Y = static_cast<int>(std::nearbyint(std::sin(a) * Radius + Centre.Y));
}

TColor ShadeColor(bool Lighten, TColor Color, std::uint8_t Amount) {
  auto shade = [&](int shift) {
    const int part = (Color >> shift) & 0xFF;
    const int value = Lighten ? std::min(part + Amount, 255) : std::max(part - Amount, 0);
    return value << shift;
  };
  return shade(0) | shade(8) | shade(16);
}

// The split lies at Right div 2 (Bottom div 2) as the controls have always drawn it, kept
// within the rectangle so that a rectangle away from the origin is never painted outside.
void FillSplitVertical(TCanvas& Canvas, const TRect& Rect, TColor ColorLeft, TColor ColorRight) {
  const int split = std::clamp(Rect.Right / 2, std::min(Rect.Left, Rect.Right), Rect.Right);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(ColorLeft);
  Canvas.FillRect(TRect{Rect.Left, Rect.Top, split, Rect.Bottom});
  Canvas.Brush().SetColor(ColorRight);
  Canvas.FillRect(TRect{split, Rect.Top, Rect.Right, Rect.Bottom});
}

void FillSplitHorizontal(TCanvas& Canvas, const TRect& Rect, TColor ColorTop, TColor ColorBottom) {
  const int split = std::clamp(Rect.Bottom / 2, std::min(Rect.Top, Rect.Bottom), Rect.Bottom);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(ColorTop);
  Canvas.FillRect(TRect{Rect.Left, Rect.Top, Rect.Right, split});
  Canvas.Brush().SetColor(ColorBottom);
  Canvas.FillRect(TRect{Rect.Left, split, Rect.Right, Rect.Bottom});
}
