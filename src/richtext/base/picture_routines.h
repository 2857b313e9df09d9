// Picture helpers of the writers and painters: whether a picture is drawn transparently,
// and a picture drawn at screen sizes scaled to the device (printing).
#pragma once

#include "richtext/base/rd_canvas.h"
#include "richtext/base/text_routines.h"

class TBitmap;
class TGraphic;

// A bitmap answers its Transparent flag, a JPEG image false, any other picture true.
bool IsTransparentGraphic(const TGraphic& graphic);
// A bitmap stretched into (x, y, width, height), coordinates kept to 0..65535 as the
// printer path takes them.
void DrawBitmapAsDIB(TRDCanvas& canvas, int x, int y, int width, int height, const TBitmap& bitmap);
// Width and height in screen pixels (negative: the picture's own), scaled to the
// device; with useStretchDraw any picture is stretched, else only bitmaps are drawn.
void DrawGraphicScaled(TRDCanvas& canvas, int x, int y, int width, int height,
                       const TRDResolution& resolution, const TGraphic& graphic,
                       bool useStretchDraw);
