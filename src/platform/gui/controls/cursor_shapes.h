// Mouse cursor shapes beyond the common ones of controls.h, for the few controls that
// show them.
#pragma once

#include "platform/gui/controls/controls.h"

// Dragging a border between two columns (two panes side by side) or between two rows.
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;

class TBitmap;

// Gives a cursor number of the program's own (above 100) a picture: black pixels show
// black, white ones white, all others let the screen show through; HotSpot is the pixel
// that points. A control shows it from its next cursor change on.
void SetCustomCursor(TCursor Cursor, const TBitmap& Picture, TPoint HotSpot);
