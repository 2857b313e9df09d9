// Drawing routines of the markup controls: file icons, scaled bitmaps and the gradient
// selection of list items.
#pragma once

#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"

// The desktop's icon for the file Name (small or Large) at (X, Y); Size receives the
// icon's size. With Print the icon is drawn ResFactor times its size. A number as Name
// (an index into a system icon list elsewhere) names no icon here: nothing is drawn and
// Size is 0 x 0. Without Draw only Size is given.
void DrawSystemIcon(TCanvas& Canvas, int X, int Y, TSize& Size, double ResFactor, bool Print,
                    bool Draw, bool Large, const std::string& Name);

// Bitmap stretched into Rect, every pixel copied.
void StretchBitmap(TCanvas& Canvas, const TRect& Rect, const TBitmap& Bitmap);

// The selection background of a list item. With a MirrorFrom colour the rectangle is
// halved: Direction false gives an upper FromColor -> ToColor and a lower MirrorFrom ->
// MirrorTo half, Direction true a left and a right half, each running top to bottom.
// Without one, FromColor -> ToColor fills Rect, left to right (Direction false) or top
// to bottom. Nothing is filled when not Enabled or FromColor is clNone; a BorderColor
// other than clNone frames Rect.
void PaintSelection(TCanvas& Canvas, const TRect& Rect, TColor FromColor, bool Enabled,
                    TColor BorderColor, bool Direction, TColor MirrorTo, TColor MirrorFrom,
                    TColor ToColor);
