// Windows that size themselves to their contents: the client area ends a margin after
// the right-most and the lowest visible control.
#pragma once

#include "platform/gui/controls/controls.h"

constexpr int kFitMargin = 8;

void FitClientToControls(TWinControl& Window, int Margin = kFitMargin);
