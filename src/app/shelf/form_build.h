// The program's own kinds of control built in code, on top of NewControl.
#pragma once

#include "controls/my_button.h"
#include "controls/my_progress_bar.h"
#include "platform/gui/controls/new_control.h"

// A button that stays down until clicked again, and looks pressed while down.
inline TMyButton* NewSwitch(TComponent* Owner, TWinControl* Parent, const char* Name,
                            const char* Caption, int Left, int Top, int Width, int Height) {
  auto* button = NewControl<TMyButton>(Owner, Parent, Name, Left, Top, Width, Height);
  button->SetCaption(Caption);
  button->SetChecker(true);
  button->SetPaintDown(true);
  return button;
}

// A progress bar whose bar stands out from its trough: by default both have the face
// colour, and only the bar's thin edge told a full bar from an empty one.
inline TMyProgressBar* NewProgressBar(TComponent* Owner, TWinControl* Parent, const char* Name,
                                      int Left, int Top, int Width, int Height) {
  auto* bar = NewControl<TMyProgressBar>(Owner, Parent, Name, Left, Top, Width, Height);
  bar->SetColorFillBar(0xF0CAA6);
  bar->SetColorFillBar2(0xD8A878);
  return bar;
}
