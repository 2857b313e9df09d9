// Dragging a borderless window by one of its controls (title panels and labels with
// Move on): a left press on the control grabs the window, it follows the mouse until
// the button is released.
#pragma once

#include "platform/gui/controls/controls.h"

class TForm;

class TFormDrag {
 public:
  // Call from the control's MouseDown; only the left button starts a drag.
  void Start(TControl& Control, TMouseButton Button, int X, int Y);
  // Call from the control's MouseMove.
  void Follow(TControl& Control, int X, int Y);
  // Call from the control's MouseUp.
  void Stop() { form_ = nullptr; }
  bool Dragging() const { return form_ != nullptr; }

 private:
  TForm* form_ = nullptr;
  TPoint grab_;    // mouse position on screen when the drag began
  TPoint origin_;  // the form's position then
};
