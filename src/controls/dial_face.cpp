#include "controls/dial_face.h"

namespace {

constexpr TColor kOutside = clFuchsia;  // the dial's transparent colour
constexpr TColor kDisc = RGB(250, 250, 245);
constexpr TColor kRim = RGB(150, 150, 150);

}  // namespace

void DrawDialFace(TBitmap& Face, int Size) {
  Face.SetSize(Size, Size);
  TCanvas& canvas = Face.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kOutside);
  canvas.FillRect(Rect(0, 0, Size, Size));
  canvas.Pen().SetColor(kRim);
  canvas.Pen().SetWidth(2);
  canvas.Brush().SetColor(kDisc);
  canvas.Ellipse(1, 1, Size - 1, Size - 1);
  canvas.Pen().SetWidth(1);
  Face.SetTransparentColor(kOutside);
}

void SetDialFace(TDial& Dial) {
  TBitmap face;
  DrawDialFace(face, Dial.Width());
  Dial.SetBackground(face);
  Dial.SetTransparent(true);
}
