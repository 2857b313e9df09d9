// The shape of the map window (frames, crosshair, position and range circles): the plain
// shape control, clickable like the map below it.
#pragma once

#include "platform/gui/shape.h"

class TMyShape : public TShape {
 public:
  using TShape::TShape;

  std::string ClassName() const override { return "TMyShape"; }
};
