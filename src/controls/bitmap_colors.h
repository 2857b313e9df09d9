// Colour replacement in a bitmap, for the template pictures of buttons and lamps: a
// picture drawn in pure red, green and black takes its real colours at paint time.
#pragma once

#include "platform/gui/graphics/bitmap.h"

// Every pixel of exactly From becomes To.
void ReplaceColor(TBitmap& Bitmap, TColor From, TColor To);
