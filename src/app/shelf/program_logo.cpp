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

}  // namespace

void DrawProgramLogo(TBitmap& Logo, int Size) {
  Logo.SetSize(Size, Size);
  TCanvas& canvas = Logo.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kOutside);
  canvas.FillRect(Rect(0, 0, Size, Size));

  FitName(canvas, Size);
  const int textHeight = canvas.TextHeight(kProductName);
  const int globe = std::max(Size - textHeight - 1, 8);
  const int left = (Size - globe) / 2;
  const int centreX = left + globe / 2;
  const int centreY = globe / 2;

  // The globe with two meridians and the equator.
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(kInk);
  canvas.Brush().SetColor(kSea);
  canvas.Ellipse(left, 0, left + globe, globe);
  canvas.Pen().SetColor(kGrid);
  canvas.Brush().SetStyle(bsClear);
  canvas.Ellipse(left + globe / 4, 1, left + globe - globe / 4, globe - 1);
  canvas.MoveTo(centreX, 1);
  canvas.LineTo(centreX, globe - 1);
  canvas.MoveTo(left + 1, centreY);
  canvas.LineTo(left + globe - 1, centreY);

  // The station up right of the centre, with its waves.
  const int stationX = centreX + globe / 6;
  const int stationY = centreY - globe / 6;
  canvas.Pen().SetColor(kWaves);
  Ring(canvas, stationX, stationY, std::max(globe / 6, 3));
  Ring(canvas, stationX, stationY, std::max(globe / 4, 5));
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kStation);
  canvas.Pen().SetColor(kStation);
  Ring(canvas, stationX, stationY, std::max(globe / 14, 2));

  // The name, centred below.
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut((Size - canvas.TextWidth(kProductName)) / 2, Size - textHeight, kProductName);
  Logo.SetTransparentColor(kOutside);
}
