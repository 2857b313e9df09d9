// Platform-internal: blending the pictures of children kept composed onto their layer
// without a painter. Composing a map's layer anew blends thousands of small pictures;
// a painter's cost per draw (its state, the clip, and converting a packed picture to
// the layer's format every time) outweighs the few hundred pixels each one has.
//
// The pixels come out as a painter's source-over draw makes them.
#pragma once

#include <QImage>
#include <QRect>

// Blends Picture, its top-left at At, over Layer (Format_ARGB32_Premultiplied) within
// Clip (layer coordinates).
void BlendFace(QImage& Layer, const QRect& Clip, const QPoint& At, const QImage& Picture);
