#include "controls/my_splitter.h"

#include "controls/my_panel.h"

void TMySplitter::SetPaintBorder(TMyBorder Value) {
  SetAndInvalidate(paint_border_, Value);
}

void TMySplitter::Paint() {
  TSplitter::Paint();
  TCanvas& canvas = Canvas();
  TPen saved;
  saved.Assign(canvas.Pen());
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  DrawMyBorder(canvas, paint_border_, Width(), Height());
  canvas.Pen().Assign(saved);
}
