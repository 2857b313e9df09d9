// Building a window's controls in code: each gets its owner (the window, which frees
// it), its name (the language files and FindComponent find it by that), its parent and
// its place, in the order every window needs.
//
//   lblLat = NewControl<TLabel>(this, mpnlDot, "lblLat", 4, 4, 90, 16);
//   rdMain = NewControl<TRichDoc>(this, mpnlBottom, "rdMain", alClient);
#pragma once

#include <string>

#include "platform/gui/controls/controls.h"

// A control in the size its class gives it, at the parent's top left until placed.
template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, std::string Name) {
  auto* control = new T(Owner);
  control->Name = std::move(Name);
  control->SetParent(Parent);
  return control;
}

template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, std::string Name, int Left, int Top,
              int Width, int Height) {
  T* control = NewControl<T>(Owner, Parent, std::move(Name));
  control->SetBounds(Left, Top, Width, Height);
  return control;
}

// A control that takes its place from its alignment; its size across the alignment
// (the height of a top panel, say) stays the class's until set.
template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, std::string Name, TAlign Align) {
  T* control = NewControl<T>(Owner, Parent, std::move(Name));
  control->SetAlign(Align);
  return control;
}
