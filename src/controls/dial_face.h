// The face the program's dials sit on: a light disc with a grey rim, on magenta, which a
// transparent dial leaves out, so the window shows round the disc.
#pragma once

#include "controls/dial.h"
#include "platform/gui/graphics/bitmap.h"

void DrawDialFace(TBitmap& Face, int Size);
// The dial gets a face of its own size and leaves out what lies round the disc.
void SetDialFace(TDial& Dial);
