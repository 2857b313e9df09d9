#include "app/shelf/form_fit.h"

#include <algorithm>

void FitClientToControls(TWinControl& Window, int Margin) {
  int right = 0;
  int bottom = 0;
  for (int n = 0; n < Window.ControlCount(); ++n) {
    const TControl* control = Window.Controls(n);
    if (!control->Visible()) continue;
    right = std::max(right, control->Left() + control->Width());
    bottom = std::max(bottom, control->Top() + control->Height());
  }
  Window.SetClientSize(right + Margin, bottom + Margin);
}
