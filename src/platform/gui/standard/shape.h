// The shape control: a rectangle, rounded rectangle or ellipse drawn with a pen and a
// brush (map frames, crosshair lines, position and range circles).
#pragma once

#include "platform/gui/controls/controls.h"

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* AOwner);

  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType Value);
  // Changing either repaints.
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }

  std::string ClassName() const override { return "TShape"; }

 protected:
  void Paint() override;

 private:
  TShapeType shape_ = stRectangle;
  TPen pen_;
  TBrush brush_;
};
