#include "platform/gui/standard/shape.h"

#include <algorithm>

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 65);
  pen_.OnChange = [this] { Invalidate(); };
  brush_.OnChange = [this] { Invalidate(); };
}

void TShape::SetShape(TShapeType Value) {
  SetAndInvalidate(shape_, Value);
}

void TShape::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Pen().Assign(pen_);
  canvas.Brush().Assign(brush_);
  // The outline lies inside the control, however wide the pen.
  const int inset = pen_.Width() / 2;
  int x = inset;
  int y = inset;
  int w = Width() - inset * 2;
  int h = Height() - inset * 2;
  if (pen_.Width() == 0) {
    --w;
    --h;
  }
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    const int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare:
      canvas.Rectangle(x, y, x + w, y + h);
      break;
    case stRoundRect:
    case stRoundSquare:
      canvas.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
      break;
    case stEllipse:
    case stCircle:
      canvas.Ellipse(x, y, x + w, y + h);
      break;
  }
}
