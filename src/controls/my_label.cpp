#include "controls/my_label.h"

void TMyLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (move_) drag_.Start(*this, Button, X, Y);
  TLabel::MouseDown(Button, Shift, X, Y);
}

void TMyLabel::MouseMove(TShiftState Shift, int X, int Y) {
  drag_.Follow(*this, X, Y);
  TLabel::MouseMove(Shift, X, Y);
}

void TMyLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  drag_.Stop();
  TLabel::MouseUp(Button, Shift, X, Y);
}
