// The program's logo, drawn here rather than shipped as a picture: a blue globe with a
// red station dot sending rings of radio waves, and the program's name below it. Shown
// at the foot of the map window's tool bar and on the about window. The program's icon
// is the globe alone (a name would not read at 16 pixels); the build draws it into the
// program folder at the desktop's sizes (tools/make_program_icons.cpp).
#pragma once

#include "platform/gui/graphics/bitmap.h"

// Draws the logo into Logo, Size pixels square. What lies round it is the bitmap's
// transparent colour (fixed), so a transparent image shows its background there.
void DrawProgramLogo(TBitmap& Logo, int Size);

// Draws the icon, the globe filling Size pixels square, on the transparent colour.
void DrawProgramIcon(TBitmap& Icon, int Size);
