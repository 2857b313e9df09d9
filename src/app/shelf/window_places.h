// Where the companion windows first appear. Without a place of their own they would all
// open in the screen's top-left corner, on the main frame's title and tool bar, hiding
// the buttons that open them. Places the user saved (GPS and weather status windows)
// are loaded after these and win.
#pragma once

#include "platform/gui/controls/forms.h"

// The gap between the frame and a window placed beside or inside it.
constexpr int kPlaceGap = 8;

// Beside the frame's right edge, top-aligned with it.
void PlaceBesideFrame(const TForm& Frame, TForm& Window);

// Directly below Above, left-aligned with it.
void PlaceBelow(const TForm& Above, TForm& Window);

// Inside the frame, clear of its left ToolWidth pixels (the tool bar), at the frame's
// bottom right; a frame too narrow for that keeps the window just right of the tool bar.
void PlaceRightOfToolBar(const TForm& Frame, int ToolWidth, TForm& Window);
