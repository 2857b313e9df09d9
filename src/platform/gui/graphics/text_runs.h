// Short runs of text as markup draws them: many small pieces, the same ones at every
// repaint.
#pragma once

#include <string>

#include "platform/gui/graphics/canvas.h"

// Draws Text in the canvas font with its top-left corner at (X, Y); the background is
// left alone and '&' is an ordinary character. The layout of a text is kept for the
// next time the same text is drawn in the same font.
void DrawTextRun(TCanvas& Canvas, int X, int Y, const std::string& Text);
