#include "controls/compass.h"

TDialNeedle TCompass::Needle() const {
  const int angle = NeedleAngle();
  const TPoint tail = DialPoint(Centre(), 10, angle + 180);
  return {tail, DialPoint(tail, 10, angle + 225), DialPoint(tail, 30, angle),
          DialPoint(tail, 10, angle + 135)};
}

void TCompass::DrawScale(TCanvas& canvas) const {
  DrawMark(canvas, 0, 6, ScaleN());
  for (int angle : {45, 135, 225, 315}) DrawMark(canvas, angle, 4, Scale());
  for (int angle : {90, 180, 270}) DrawMark(canvas, angle, 6, Scale());
}
