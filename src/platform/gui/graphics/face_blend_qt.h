// Platform-internal: drawing the pictures of children kept composed onto their layer
// without a painter. Composing a map's layer anew draws thousands of small pictures;
// a painter's cost per draw (its state, the clip, and converting a packed picture to
// the layer's format every time) outweighs the few hundred pixels each one has.
//
// The pixels come out as a painter's source-over draw makes them.
#pragma once

#include <QImage>
#include <QRect>

#include "platform/gui/graphics/face_cover_qt.h"

// Blends Picture, its top-left at At, over Layer (Format_ARGB32_Premultiplied) within
// Clip (layer coordinates).
void BlendFace(QImage& Layer, const QRect& Clip, const QPoint& At, const QImage& Picture);

// Puts Picture, its top-left at At, beneath the pixels Taken covers, within Clip: each
// pixel not covered yet takes the picture's pixel unless that is clear, and becomes
// covered. Pictures put so from the top one down leave what blending them from the
// bottom up leaves, as long as each pixel is clear or opaque; false (some pixels put)
// when Picture has a translucent one.
bool FillUnder(QImage& Layer, TCoverMask& Taken, const QRect& Clip, const QPoint& At,
               const QImage& Picture);
