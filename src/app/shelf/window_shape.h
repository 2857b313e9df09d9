// The outline of a shaped window, cut from its background picture.
#pragma once

#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/geometry.h"

// The parts of Picture that are not background, as one-pixel-high runs, rows from the
// last to the first. A pixel is background when it has the same mask value as the
// top-left pixel, the mask telling the picture's transparent colour from all others.
std::vector<TRect> PictureShapeRects(const TBitmap& Picture);
