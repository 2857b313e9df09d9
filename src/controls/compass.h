// The compass dial: a course or wind direction, shown by a kite-shaped needle over
// marks every 45 degrees (north highlighted in ScaleN).
#pragma once

#include "controls/dial.h"

class TCompass : public TDial {
 public:
  explicit TCompass(TComponent* AOwner) : TDial(AOwner) {}

  int NeedleAngle() const override { return Degrees(); }
  TDialNeedle Needle() const override;

  std::string ClassName() const override { return "TCompass"; }

 protected:
  void DrawScale(TCanvas& Canvas) const override;
};
