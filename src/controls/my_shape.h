// The shape of the map window (frames, crosshair, position and range circles): the plain
// shape control, clickable like the map below it and opening the map's context menu
// (PopupMenu) on a right click.
#pragma once

#include "platform/gui/standard/shape.h"

class TMyShape : public TShape {
 public:
  using TShape::TShape;

  std::string ClassName() const override { return "TMyShape"; }
};
