// Colour arithmetic shared by styles, items and writers: system colours resolved to RGB,
// the grey formula and the colour modes of printed output.
//
// Colour modes (painting and printing pass them down): 0 full colour, 1 system colours
// replaced by fixed printer colours, 2 greyscale, 3 black and white, 4 black on white.
// Colours are 0x00BBGGRR; clNone (0x1FFFFFFF) means "no colour" and passes through every
// conversion unchanged.
#pragma once

#include "platform/gui/graphics/geometry.h"  // TColor, ColorToRGB

// Nearest integer to 0.3 red + 0.59 green + 0.11 blue of the resolved colour (0..255).
int RGBToGrayLevel(TColor color);
// clNone stays; else the grey of the same level.
TColor ColorToGray(TColor color);
// clScrollBar/clBtnFace -> 0xC0C0C0, clWindow/clBtnHighlight -> white, clWindowText -> 0,
// clBtnShadow -> 0x808080; anything else unchanged.
TColor ReplaceSystemColor(TColor color);
TColor ConvertTextColor(TColor color, int colorMode);
TColor ConvertBackColor(TColor color, int colorMode);
