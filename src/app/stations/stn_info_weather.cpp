#include "app/stations/stn_info_weather.h"

#include <algorithm>
#include <cmath>

#include "controls/my_button.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/text/sysutils.h"

namespace {

constexpr int kGroupLength = 7;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// To the nearest integer, halves to the even neighbour.
int RoundEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

bool IsValidPhg(const std::string& Group) {
  if (Group.size() != kGroupLength) return false;
  // The height code is a digit too: the range is 10 x 2^h feet, and a letter there
  // ("PHG9X32") would draw a circle round half the world.
  return IsDigit(Group[3]) && IsDigit(Group[4]) && IsDigit(Group[5]) && Group[6] >= '0' &&
         Group[6] <= '8';
}

bool IsValidRng(const std::string& Group) {
  return Group.size() == kGroupLength &&
         std::all_of(Group.begin() + 3, Group.end(), [](char c) { return IsDigit(c); });
}

std::string TakeGroup(std::string& Comment, size_t At) {
  std::string group = Comment.substr(At, kGroupLength);
  Comment.erase(At, kGroupLength);
  Comment = TrimLeft(Comment);
  return group;
}

// One cylinder of the gauge, e = width / 3 high ellipses at both ends.
void DrawCylinder(TCanvas& Canvas, int Left, int Top, int Right, int Bottom, TColor Color) {
  const int e = (Right - Left) / 3;
  const int middle = Left + (Right - Left) / 2;
  const TColor darker = DarkenColor(Color, 15);
  Canvas.Pen().SetColor(clBlack);
  Canvas.Brush().SetColor(Color);
  Canvas.Ellipse(Left, Bottom - e, Right, Bottom);
  Canvas.FillRect(Rect(Left, Top + e / 2, Right, Bottom - e / 2));
  Canvas.Brush().SetColor(DarkenColor(Color, 20));
  Canvas.Ellipse(Left, Top, Right, Top + e);
  Canvas.MoveTo(Left, Top + e / 2);
  Canvas.LineTo(Left, Bottom - e / 2);
  Canvas.MoveTo(Right - 1, Top + e / 2);
  Canvas.LineTo(Right - 1, Bottom - e / 2);
  Canvas.Pen().SetColor(darker);
  Canvas.MoveTo(middle, Top + e);
  Canvas.LineTo(middle, Bottom);
  const int fill_y = (Top + e + Bottom - e / 2) / 2;
  if (middle + 1 < Right - 1 && Canvas.Pixels(middle + 1, fill_y) == Color) {
    Canvas.Brush().SetColor(darker);
    Canvas.FloodFill(middle + 1, fill_y, Color, fsSurface);
  }
}

void DrawLiquidSurface(TCanvas& Canvas, int Width, int Top, TColor Color) {
  Canvas.Pen().SetColor(clBlack);
  Canvas.Brush().SetColor(DarkenColor(Color, 20));
  Canvas.Ellipse(0, Top, Width, Top + Width / 3);
}

}  // namespace

std::string ExtractPhgRng(std::string& Comment) {
  const size_t phg = Comment.find("PHG");
  if (phg != std::string::npos) {
    if (!IsValidPhg(Comment.substr(phg, kGroupLength))) return "";
    return TakeGroup(Comment, phg);
  }
  const size_t rng = Comment.find("RNG");
  if (rng == std::string::npos || !IsValidRng(Comment.substr(rng, kGroupLength))) return "";
  return TakeGroup(Comment, rng);
}

int PressureTendencyWord(int PressureTenths) {
  // The highest pressure of each word, in hPa; above the last, "sehr trocken".
  constexpr int kUpTo[] = {975, 990, 1000, 1020, 1030, 1040};
  const int hpa = RoundEven(PressureTenths / 10.0);
  if (hpa < 960) return -1;
  int word = 0;
  while (word < static_cast<int>(std::size(kUpTo)) && hpa > kUpTo[word]) ++word;
  return word;
}

std::string PressureWordText(int Word) {
  static const char* const kWords[kPressureWordCount] = {"Sturm",
                                                         "viel Regen",
                                                         "Regen",
                                                         "ver\xE4nderlich",
                                                         ("\xFC"
                                                          "berwiegend sonnig"),
                                                         "sonnig, best\xE4ndig",
                                                         "sehr trocken"};
  return Word >= 0 && Word < kPressureWordCount ? kWords[Word] : "";
}

int ThermometerValueTop(int TrackTop, int TrackHeight, int ValueHeight, double F) {
  const double v = std::clamp(F, double{kThermoMinF}, double{kThermoMaxF});
  const int bottom = TrackTop + TrackHeight - ValueHeight;
  const double span = kThermoMaxF - kThermoMinF;
  return bottom - RoundEven((TrackHeight - ValueHeight) / span * (v - kThermoMinF));
}

int ThermometerFahrenheit(double Celsius) {
  return std::clamp(RoundEven(Celsius * 1.8 + 32), kThermoMinF, kThermoMaxF);
}

int RainScaleTop(int RainMidnight) {
  const int r2 = std::min(RainMidnight, 999);
  if (r2 <= 20) return 20;
  return (r2 + 19) / 20 * 20;
}

int DrawRainGauge(TBitmap& Picture, int Rain1h, int RainMidnight) {
  const int r1 = std::max(Rain1h, 0);
  int r2 = std::min(std::max(RainMidnight, 0), 999);
  const int scale = RainScaleTop(r2);
  r2 = std::max(r2, r1);
  const int w = Picture.Width();
  const int h = Picture.Height();
  const int rim = RoundEven(w / 3.0);
  const int room = h - rim;
  const int h1 = std::min(RoundEven(static_cast<double>(room) / scale * r1), room);
  const int h2 = std::min(RoundEven(static_cast<double>(room) / scale * r2), room);

  TCanvas& canvas = Picture.Canvas();
  canvas.Pen().SetMode(pmCopy);
  canvas.Brush().SetColor(kRainGaugeBack);
  canvas.FillRect(Rect(0, 0, w, h));
  if (r1 > 0) DrawCylinder(canvas, 0, h - rim - h1, w, h, kRainHourColor);
  if (r2 > r1) DrawCylinder(canvas, 0, h - rim - h2, w, h - h1, kRainDayColor);
  DrawCylinder(canvas, 0, 0, w, h - h2, clWhite);
  if (r2 > r1) {
    DrawLiquidSurface(canvas, w, h - rim - h2, kRainDayColor);
  } else if (r1 > 0) {
    DrawLiquidSurface(canvas, w, h - rim - h1, kRainHourColor);
  }
  canvas.Pen().SetColor(clWhite);
  canvas.Pen().SetMode(pmMask);
  canvas.Brush().SetStyle(bsClear);
  canvas.Ellipse(0, 0, w, rim);
  canvas.Pen().SetMode(pmCopy);
  canvas.Brush().SetStyle(bsSolid);
  Picture.SetTransparentColor(kRainGaugeBack);
  return r2;
}
