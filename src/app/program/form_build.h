// Building a window's controls in code: each gets its owner (the window), its name (the
// language files find it by that), its parent and its place.
#pragma once

#include "controls/my_button.h"
#include "platform/gui/controls.h"

template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
              int Width, int Height) {
  auto* control = new T(Owner);
  control->Name = Name;
  control->SetParent(Parent);
  control->SetBounds(Left, Top, Width, Height);
  return control;
}

// A button that stays down until clicked again, and looks pressed while down.
inline TMyButton* NewSwitch(TComponent* Owner, TWinControl* Parent, const char* Name,
                            const char* Caption, int Left, int Top, int Width, int Height) {
  auto* button = NewControl<TMyButton>(Owner, Parent, Name, Left, Top, Width, Height);
  button->SetCaption(Caption);
  button->SetChecker(true);
  button->SetPaintDown(true);
  return button;
}
