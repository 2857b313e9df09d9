// The part of a metafile's shape that can show. A record may place a shape thousands of
// times the picture's size, or give it a pen that wide, and Qt's stroker and rasterizer
// cost what the whole ink measures on the device, not what of it shows: a 4 KB file of
// such shapes took seconds a paint. Shapes whose ink reaches that far are flattened and
// cut to the view before they are drawn; a shape near the view is drawn as it stands.
#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QRegion>
#include <QTransform>

// What drawing Shape with the painter's pen, brush and transform costs within View (device
// pixels): the pixels the rasterizer has to cover for the fill and for the pen, the rows
// its edges cross (what filling it unsmoothed steps through, row by row), the work of
// smoothing its edges (see DrawVisiblePart), and whether, smoothed, it is drawn in bands
// of rows, or unsmoothed, in pieces. A pen no wider than a device pixel is drawn line by
// line instead (Qt's cosmetic stroker): it costs the pixels its lines walk within View,
// however often they pass the same ones, and each line's set-up.
struct TInkCost {
  double Filled = 0;
  bool Patterned = false;  // the fill: a pattern, not one colour
  double Touched = 0;      // by a wider pen
  double Walked = 0;       // by a thin pen's lines, a dashed one's counted for its pattern too
  double Lines = 0;        // a thin pen draws
  double EdgeRows = 0;
  double Smoothing = 0;
  bool Banded = false;
  bool InPieces = false;  // unsmoothed, its pen's ink drawn a segment or two at a time
};
TInkCost InkCost(const QPainter& Painter, const QPainterPath& Shape, const QRectF& View);

// Draws Shape with the painter's pen, brush and transform, leaving out what lies beyond
// View (device pixels). The painter's pen, brush and smoothing are as they were
// afterwards. Returns what InkCost counts for it.
//
// SmoothingLeft is the work the shapes drawn after this may still spend on smoothed
// edges. A shape whose smoothing would cost more is drawn unsmoothed, and so is every
// shape after it: SmoothingLeft then stays below 0.
TInkCost DrawVisiblePart(QPainter& Painter, const QPainterPath& Shape, const QRectF& View,
                         double& SmoothingLeft);

// The pixels of View (device pixels) that filling Shape under toDevice covers, by the
// shape's fill rule: what a clip path lets show. The shape is cut to View first, so a
// path reaching far beyond it costs what View does.
QRegion VisibleArea(const QPainterPath& Shape, const QTransform& toDevice, const QRectF& View);
