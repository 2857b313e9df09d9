// The label of the skinned windows: with Move on, dragging it moves its window (the
// header words of borderless windows).
#pragma once

#include "controls/form_drag.h"
#include "platform/gui/standard/label.h"

class TMyLabel : public TLabel {
 public:
  using TLabel::TLabel;

  bool Move() const { return move_; }
  void SetMove(bool Value) { move_ = Value; }

  std::string ClassName() const override { return "TMyLabel"; }

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  bool move_ = false;
  TFormDrag drag_;
};
