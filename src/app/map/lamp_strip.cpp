#include "app/map/lamp_strip.h"

namespace {

// Outside the template colours, so the mask keeps it; as the bottom-left pixel it is
// the colour a transparent lamp leaves undrawn.
constexpr TColor kBackground = clFuchsia;
// A small glint on the glass; not a template colour either.
constexpr TColor kGlint = 0xE0E0E0;

}  // namespace

void DrawLampStrip(TBitmap& Strip, int Frames) {
  Strip.SetSize(kLampSize * Frames, kLampSize);
  TCanvas& canvas = Strip.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kBackground);
  canvas.FillRect(Rect(0, 0, Strip.Width(), Strip.Height()));
  canvas.Pen().SetColor(clBlack);
  canvas.Pen().SetWidth(1);
  for (int frame = 0; frame < Frames; ++frame) {
    const int left = frame * kLampSize;
    const TColor fill = frame == 0 ? clRed : frame == 1 ? clLime : kLampFaultColor;
    canvas.Brush().SetColor(fill);
    canvas.Ellipse(left + 1, 1, left + kLampSize - 1, kLampSize - 1);
    canvas.Brush().SetColor(kGlint);
    canvas.FillRect(Bounds(left + 5, 4, 2, 2));
  }
}

void SetUpLamp(TBitmapMask& Lamp, const TLampColors& Colors, int Frames) {
  TBitmap strip;
  DrawLampStrip(strip, Frames);
  Lamp.SetPicture(Frames);
  Lamp.SetFontBitmap(strip);
  Lamp.SetMaskColorOn(Colors.On);
  Lamp.SetMaskColorOff(Colors.Off);
  Lamp.SetColor(Colors.Outline);
  Lamp.SetMaskMode(true);
  Lamp.SetTransparent(true);
}
