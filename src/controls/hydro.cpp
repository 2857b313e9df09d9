#include "controls/hydro.h"

namespace {

constexpr int kZeroPercentAngle = 210;
constexpr int kDegreesPerPercent = 3;

}  // namespace

int THydro::NeedleAngle() const {
  return (Degrees() * kDegreesPerPercent + kZeroPercentAngle) % 360;
}

TDialNeedle THydro::Needle() const {
  const int angle = NeedleAngle();
  const TPoint tail = DialPoint(Centre(), 10, angle + 180);
  return {tail, DialPoint(Centre(), 10, angle + 205), DialPoint(tail, 30, angle),
          DialPoint(Centre(), 10, angle + 155)};
}

void THydro::DrawScale(TCanvas& canvas) const {
  for (int angle : {210, 150}) DrawMark(canvas, angle, 6, Scale());
  for (int angle : {330, 30}) DrawMark(canvas, angle, 6, ScaleN());
}
