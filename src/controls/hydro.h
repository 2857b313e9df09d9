// The hygrometer dial: relative humidity on a 300-degree arc, 0 % at 210 degrees
// (down-left), 50 % straight up, 100 % at 150 degrees (down-right); the 40 % and 60 %
// marks, the comfortable range, are highlighted in ScaleN.
#pragma once

#include "controls/dial.h"

class THydro : public TDial {
 public:
  explicit THydro(TComponent* AOwner) : TDial(AOwner) {}

  int NeedleAngle() const override;
  TDialNeedle Needle() const override;

  std::string ClassName() const override { return "THydro"; }

 protected:
  void DrawScale(TCanvas& Canvas) const override;
};
