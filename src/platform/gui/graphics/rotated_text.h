// Text drawn at an angle, as markup with a rotation tag asks for.
#pragma once

#include <string>

#include "platform/gui/graphics/canvas.h"

// Draws Text in the canvas font turned AngleTenths tenths of a degree anticlockwise about
// (X, Y), the top-left corner of the upright text. The background is left alone.
void DrawRotatedText(TCanvas& Canvas, int X, int Y, const std::string& Text, int AngleTenths);
