// Draws a control as it looks on screen onto any canvas: a windowed control with the
// controls on it, a windowless one alone. Used for pictures of windows, and by tests
// that read a control's pixels.
#pragma once

#include "platform/gui/controls/controls.h"

// The control's top-left corner lands at (X, Y) of Canvas.
void PaintTo(TControl& Control, TCanvas& Canvas, int X, int Y);
