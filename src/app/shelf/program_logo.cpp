#include "app/shelf/program_logo.h"

#include <algorithm>

#include "app/product.h"

namespace {

constexpr TColor kOutside = clFuchsia;
constexpr TColor kSea = 0xC06000;
constexpr TColor kGrid = 0xF0D0A0;
constexpr TColor kInk = clNavy;
constexpr TColor kStation = clRed;
constexpr TColor kWaves = clWhite;

// The largest bold font (from a fifth of the logo down) in which the name fits.
void FitName(TCanvas& Canvas, int Size) {
  Canvas.Font().SetName("Tahoma");
  Canvas.Font().SetStyle(fsBold);
  Canvas.Font().SetColor(kInk);
  for (int height = std::max(Size / 5, 6); height >= 6; --height) {
    Canvas.Font().SetHeight(-height);
    if (Canvas.TextWidth(kProductName) <= Size - 2) return;
  }
}

void Ring(TCanvas& Canvas, int X, int Y, int Radius) {
  Canvas.Ellipse(X - Radius, Y - Radius, X + Radius + 1, Y + Radius + 1);
}

// The globe with two meridians and the equator, Diameter wide from (Left, Top), and the
// station up right of its centre with its waves.
void DrawGlobe(TCanvas& Canvas, int Left, int Top, int Diameter) {
  const int centreX = Left + Diameter / 2;
  const int centreY = Top + Diameter / 2;
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetColor(kInk);
  Canvas.Brush().SetColor(kSea);
  Canvas.Ellipse(Left, Top, Left + Diameter, Top + Diameter);
  Canvas.Pen().SetColor(kGrid);
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Ellipse(Left + Diameter / 4, Top + 1, Left + Diameter - Diameter / 4, Top + Diameter - 1);
  Canvas.MoveTo(centreX, Top + 1);
  Canvas.LineTo(centreX, Top + Diameter - 1);
  Canvas.MoveTo(Left + 1, centreY);
  Canvas.LineTo(Left + Diameter - 1, centreY);

  const int stationX = centreX + Diameter / 6;
  const int stationY = centreY - Diameter / 6;
  Canvas.Pen().SetColor(kWaves);
  Ring(Canvas, stationX, stationY, std::max(Diameter / 6, 3));
  Ring(Canvas, stationX, stationY, std::max(Diameter / 4, 5));
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(kStation);
  Canvas.Pen().SetColor(kStation);
  Ring(Canvas, stationX, stationY, std::max(Diameter / 14, 2));
}

void FillOutside(TBitmap& Picture, int Size) {
  Picture.SetSize(Size, Size);
  TCanvas& canvas = Picture.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kOutside);
  canvas.FillRect(Rect(0, 0, Size, Size));
}

}  // namespace

void DrawProgramLogo(TBitmap& Logo, int Size) {
  FillOutside(Logo, Size);
  TCanvas& canvas = Logo.Canvas();
  FitName(canvas, Size);
  const int textHeight = canvas.TextHeight(kProductName);
  const int globe = std::max(Size - textHeight - 1, 8);
  DrawGlobe(canvas, (Size - globe) / 2, 0, globe);

  // The name, centred below.
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(kInk);
  canvas.TextOut((Size - canvas.TextWidth(kProductName)) / 2, Size - textHeight, kProductName);
  Logo.SetTransparentColor(kOutside);
}

void DrawProgramIcon(TBitmap& Icon, int Size) {
  FillOutside(Icon, Size);
  DrawGlobe(Icon.Canvas(), 0, 0, Size);
  Icon.SetTransparentColor(kOutside);
  Icon.SetTransparent(true);
}
