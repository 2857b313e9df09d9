// The program's own kinds of control built in code, on top of NewControl.
#pragma once

#include "controls/my_button.h"
#include "platform/gui/new_control.h"

// A button that stays down until clicked again, and looks pressed while down.
inline TMyButton* NewSwitch(TComponent* Owner, TWinControl* Parent, const char* Name,
                            const char* Caption, int Left, int Top, int Width, int Height) {
  auto* button = NewControl<TMyButton>(Owner, Parent, Name, Left, Top, Width, Height);
  button->SetCaption(Caption);
  button->SetChecker(true);
  button->SetPaintDown(true);
  return button;
}
