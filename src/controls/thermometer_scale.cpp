#include "controls/thermometer_scale.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMarkStepF = 20;
constexpr TColor kTubeBorder = RGB(90, 90, 90);
constexpr TColor kMark = clBlack;
constexpr TColor kFreezingMark = RGB(0, 0, 200);

TColor TubeColour(double Warmth) {
  const auto red = static_cast<std::uint8_t>(std::lround(60 + 195 * Warmth));
  const auto blue = static_cast<std::uint8_t>(std::lround(255 - 195 * Warmth));
  return RGB(red, 90, blue);
}

}  // namespace

int ThermometerScaleY(int Height, int MarkerHeight, int Fahrenheit) {
  const int travel = Height - MarkerHeight;
  const int value = std::clamp(Fahrenheit, kThermometerLowF, kThermometerHighF);
  const double span = kThermometerHighF - kThermometerLowF;
  // Rounded as the thermometers round, halves to even.
  return travel - static_cast<int>(std::lrint(travel / span * (value - kThermometerLowF))) +
         MarkerHeight / 2;
}

void DrawThermometerScale(TBitmap& Scale, int Width, int Height, int MarkerHeight) {
  Scale.SetSize(Width, Height);
  TCanvas& canvas = Scale.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  for (int y = 0; y < Height; ++y) {
    canvas.Brush().SetColor(TubeColour(1.0 - double(y) / std::max(Height - 1, 1)));
    canvas.FillRect(Rect(0, y, Width, y + 1));
  }
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(kTubeBorder);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(0, 0, Width, Height);
  for (int f = kThermometerLowF; f <= kThermometerHighF; f += kMarkStepF) {
    const int y = ThermometerScaleY(Height, MarkerHeight, f);
    canvas.Pen().SetColor(kMark);
    canvas.MoveTo(0, y);
    canvas.LineTo(Width, y);
  }
  // Freezing point, where the weather turns.
  const int freezing = ThermometerScaleY(Height, MarkerHeight, 32);
  canvas.Pen().SetColor(kFreezingMark);
  canvas.MoveTo(0, freezing);
  canvas.LineTo(Width, freezing);
}

void SetThermometerScale(TMyPanel& Track, int MarkerHeight) {
  TBitmap scale;
  DrawThermometerScale(scale, Track.Width(), Track.Height(), MarkerHeight);
  Track.SetStretchDraw(true);
  Track.SetBackground(scale);
}
