// The drawing records of both metafile forms: lines, curves, shapes and paths, each cut to
// what of it shows and priced by the pixels it covers.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/gui/graphics/metafile_clip_qt.h"
#include "platform/gui/graphics/metafile_player_impl_qt.h"

namespace metafile_play {

namespace {

// Dashes are for pens no wider than a device pixel: the Windows drawing layer draws a
// wider pen solid whatever its style, and Qt's stroker took seconds over the dashes of a
// wide one. A thinner one it draws a device pixel wide, its dashes counted in device
// pixels (Qt counts them in widths of the pen: a fifth of a pixel each).
QPen DrawnPen(QPen pen, const QTransform& toDevice) {
  if (pen.style() == Qt::NoPen || pen.style() == Qt::SolidLine) return pen;
  const double scale = pen.isCosmetic() ? 1 : std::sqrt(std::abs(toDevice.determinant()));
  if (pen.widthF() * scale > 1) {
    pen.setStyle(Qt::SolidLine);
  } else {
    pen.setCosmetic(true);
    pen.setWidth(1);
  }
  return pen;
}

}  // namespace

bool TPlayer::WindowsDrawingRecord(std::uint32_t function, const TRecord& r) {
  switch (function) {
    case 0x0214:
      MoveTo(WindowsPoint(r, 0));
      return true;
    case 0x0213:
      LineTo(WindowsPoint(r, 0));
      return true;
    case 0x041B:
      Rectangle(WindowsBox(r, 0));
      return true;
    case 0x0418:
      Ellipse(WindowsBox(r, 0));
      return true;
    case 0x061C:
      Rectangle(WindowsBox(r, 4), r.I16(2), r.I16(0));
      return true;
    case 0x0817:
      Arc(WindowsBox(r, 8), WindowsPoint(r, 4), WindowsPoint(r, 0), TArc::Open);
      return true;
    case 0x081A:
      Arc(WindowsBox(r, 8), WindowsPoint(r, 4), WindowsPoint(r, 0), TArc::Pie);
      return true;
    case 0x0830:
      Arc(WindowsBox(r, 8), WindowsPoint(r, 4), WindowsPoint(r, 0), TArc::Chord);
      return true;
    case 0x0324:
      Poly(Points(r, 2, r.U16(0), false), true);
      return true;
    case 0x0325:
      Poly(Points(r, 2, r.U16(0), false), false);
      return true;
    case 0x0538:
      PolyPoly(r, 2, r.U16(0), false, true);
      return true;
    default:
      return false;
  }
}

bool TPlayer::EnhancedDrawingRecord(std::uint32_t type, const TRecord& r) {
  switch (type) {
    case 2:
      Bezier(Points(r, 28, r.U32(24), true));
      return true;
    case 3:
      Poly(Points(r, 28, r.U32(24), true), true);
      return true;
    case 4:
      Poly(Points(r, 28, r.U32(24), true), false);
      return true;
    case 5:
      PolyTo(Points(r, 28, r.U32(24), true), true);
      return true;
    case 6:
      PolyTo(Points(r, 28, r.U32(24), true), false);
      return true;
    case 7:
      PolyPoly(r, 32, r.U32(24), true, false);
      return true;
    case 8:
      PolyPoly(r, 32, r.U32(24), true, true);
      return true;
    case 85:
      Bezier(Points(r, 28, r.U32(24), false));
      return true;
    case 86:
      Poly(Points(r, 28, r.U32(24), false), true);
      return true;
    case 87:
      Poly(Points(r, 28, r.U32(24), false), false);
      return true;
    case 88:
      PolyTo(Points(r, 28, r.U32(24), false), true);
      return true;
    case 89:
      PolyTo(Points(r, 28, r.U32(24), false), false);
      return true;
    case 90:
      PolyPoly(r, 32, r.U32(24), false, false);
      return true;
    case 91:
      PolyPoly(r, 32, r.U32(24), false, true);
      return true;
    case 27:
      MoveTo(EnhancedPoint(r, 8));
      return true;
    case 42:
      Ellipse(EnhancedRect(r, 8));
      return true;
    case 43:
      Rectangle(EnhancedRect(r, 8));
      return true;
    case 44:
      Rectangle(EnhancedRect(r, 8), r.I32(24), r.I32(28));
      return true;
    case 45:
      Arc(EnhancedRect(r, 8), EnhancedPoint(r, 24), EnhancedPoint(r, 32), TArc::Open);
      return true;
    case 46:
      Arc(EnhancedRect(r, 8), EnhancedPoint(r, 24), EnhancedPoint(r, 32), TArc::Chord);
      return true;
    case 47:
      Arc(EnhancedRect(r, 8), EnhancedPoint(r, 24), EnhancedPoint(r, 32), TArc::Pie);
      return true;
    case 54:
      LineTo(EnhancedPoint(r, 8));
      return true;
    case 59:
      in_path_ = true;
      path_ = QPainterPath();
      path_.setFillRule(state_.FillRule);
      return true;
    case 60:
      in_path_ = false;
      return true;
    case 61:
      path_.closeSubpath();
      return true;
    case 68:
      in_path_ = false;
      path_ = QPainterPath();
      return true;
    case 62:
    case 63:
    case 64: {
      Prepare(type != 64);
      if (type == 62) painter_.setPen(Qt::NoPen);
      Ink(path_);
      path_ = QPainterPath();
      return true;
    }
    default:
      return false;
  }
}

namespace {

// Whether the painter puts its pen's and brush's colours on the device as they are: no
// colour, background or opacity that lets what lies under them through, no raster
// operation.
bool DrawsOpaque(const QPainter& painter) {
  const auto opaque = [](const QBrush& brush) {
    return brush.style() == Qt::NoBrush ||
           (brush.style() >= Qt::SolidPattern && brush.style() <= Qt::DiagCrossPattern &&
            brush.color().alpha() == 255);
  };
  return painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
         painter.opacity() == 1 && opaque(painter.brush()) &&
         (painter.pen().style() == Qt::NoPen || opaque(painter.pen().brush())) &&
         (painter.backgroundMode() == Qt::TransparentMode ||
          painter.background().color().alpha() == 255);
}

}  // namespace

bool TPlayer::RepeatsLastInk(const QPainterPath& shape) const {
  return last_ink_ && last_ink_->Record + 1 == records_ && last_ink_->Unsmoothed &&
         DrawsOpaque(painter_) && last_ink_->Transform == painter_.transform() &&
         last_ink_->Pen == painter_.pen() && last_ink_->Brush == painter_.brush() &&
         last_ink_->View == shown_ && last_ink_->Shape == shape;
}

void TPlayer::Ink(const QPainterPath& shape) {
  if (ClippedAway()) return;
  // A file of the same shape over and over (4 KB of ellipses with a pen as wide as the
  // picture) spent its play filling the same pixels hundreds of times.
  if (RepeatsLastInk(shape)) {
    last_ink_->Record = records_;
    return;
  }
  const double before = smoothing_left_;
  // A mix other than the pen's own combines it with what lies under it, bit by bit: not
  // smoothed (see Prepare), and read as a raster operation is.
  const bool mixed = state_.Mix != QPainter::CompositionMode_SourceOver;
  read_backdrop_ = read_backdrop_ || mixed;
  const bool smoothed = painter_.testRenderHint(QPainter::Antialiasing);
  TInkCost cost;
  if (measuring_) {
    // Counted as DrawVisiblePart draws: a shape past the smoothing left is drawn, and
    // costs, unsmoothed.
    cost = InkCost(painter_, shape, View());
    if (smoothed && smoothing_left_ >= 0)
      smoothing_left_ = cost.Smoothing <= smoothing_left_ ? smoothing_left_ - cost.Smoothing : -1;
  } else {
    cost = DrawVisiblePart(painter_, shape, View(), smoothing_left_);
    if (mixed) {
      const QTransform toDevice = painter_.transform();
      const QPen& pen = painter_.pen();
      const double reach =
          2 + pen.widthF() * (pen.isCosmetic() ? 1 : std::sqrt(std::abs(toDevice.determinant())));
      painter_.save();
      painter_.resetTransform();
      HoldToAlpha(
          painter_,
          toDevice.mapRect(shape.controlPointRect()).adjusted(-reach, -reach, reach, reach));
      painter_.restore();
    }
  }
  work_ += cost.Filled * (cost.Patterned ? kPatternPixelWork : kFillPixelWork) +
           cost.Touched * (cost.InPieces ? kInkPixelWork : kFillPixelWork) +
           cost.Walked * kInkPixelWork + cost.Lines * kThinLineWork;
  const bool unsmoothed = !smoothed || smoothing_left_ < 0;
  if (!unsmoothed)
    work_ += (before - smoothing_left_) * kSmoothingWork + (cost.Banded ? kBandedShapeWork : 0);
  else
    work_ += cost.InPieces ? cost.EdgeRows * kPieceEdgeRowWork + shape.elementCount() * kPieceWork
                           : cost.EdgeRows * kEdgeRowWork;
  last_ink_ = TInked{records_, shape,     painter_.transform(), painter_.pen(), painter_.brush(),
                     shown_,   unsmoothed};
}

void TPlayer::Prepare(bool fill) {
  ApplyClip();
  // A pixel half covered is no bit to combine.
  painter_.setCompositionMode(state_.Mix);
  painter_.setRenderHint(
      QPainter::Antialiasing,
      smoothing_left_ >= 0 && state_.Mix == QPainter::CompositionMode_SourceOver);
  const QTransform toDevice = Transform();
  painter_.setTransform(toDevice);
  painter_.setPen(DrawnPen(state_.Pen, toDevice));
  painter_.setBrush(fill ? state_.Brush : QBrush(Qt::NoBrush));
  painter_.setBackgroundMode(state_.OpaqueBack ? Qt::OpaqueMode : Qt::TransparentMode);
  painter_.setBackground(state_.BackColor);
}

void TPlayer::Shape(const QPainterPath& shape, bool fill) {
  if (in_path_) {
    path_.addPath(shape);
    return;
  }
  Prepare(fill);
  Ink(shape);
}

void TPlayer::Rectangle(const QRectF& box, double cornerWidth, double cornerHeight) {
  QPainterPath shape;
  shape.addRoundedRect(box, std::abs(cornerWidth) / 2.0, std::abs(cornerHeight) / 2.0);
  Shape(shape, true);
}

void TPlayer::Ellipse(const QRectF& box) {
  QPainterPath shape;
  shape.addEllipse(box);
  Shape(shape, true);
}

void TPlayer::Poly(const QPolygonF& points, bool closed) {
  QPainterPath shape;
  shape.setFillRule(state_.FillRule);
  shape.addPolygon(points);
  if (closed) shape.closeSubpath();
  Shape(shape, closed);
}

void TPlayer::PolyTo(const QPolygonF& points, bool bezier) {
  QPainterPath shape(state_.Current);
  if (bezier) {
    for (qsizetype i = 0; i + 2 < points.size(); i += 3)
      shape.cubicTo(points[i], points[i + 1], points[i + 2]);
  } else {
    for (const QPointF& p : points) shape.lineTo(p);
  }
  if (!points.isEmpty()) state_.Current = points.back();
  if (in_path_) {
    path_.connectPath(shape);
    return;
  }
  Shape(shape, false);
}

void TPlayer::Bezier(const QPolygonF& points) {
  if (points.isEmpty()) return;
  QPainterPath shape(points[0]);
  for (qsizetype i = 1; i + 2 < points.size(); i += 3)
    shape.cubicTo(points[i], points[i + 1], points[i + 2]);
  Shape(shape, false);
}

void TPlayer::LineTo(const QPointF& to) {
  if (in_path_) {
    if (path_.elementCount() == 0) path_.moveTo(state_.Current);
    path_.lineTo(to);
  } else {
    QPainterPath line(state_.Current);
    line.lineTo(to);
    Prepare(false);
    Ink(line);
  }
  state_.Current = to;
}

void TPlayer::MoveTo(const QPointF& to) {
  state_.Current = to;
  if (in_path_) path_.moveTo(to);
}

void TPlayer::Arc(const QRectF& box, const QPointF& start, const QPointF& end, TArc kind) {
  // Counter-clockwise from the start radial to the end radial, in the box's space.
  const QPointF centre = box.center();
  const auto angle = [&](const QPointF& p) {
    return std::atan2(-(p.y() - centre.y()) * box.width(), (p.x() - centre.x()) * box.height()) *
           180 / M_PI;
  };
  const double from = angle(start);
  double sweep = angle(end) - from;
  if (sweep <= 0) sweep += 360;
  QPainterPath shape;
  if (kind == TArc::Pie)
    shape.moveTo(centre);
  else
    shape.arcMoveTo(box, from);
  shape.arcTo(box, from, sweep);
  if (kind != TArc::Open) shape.closeSubpath();
  Shape(shape, kind != TArc::Open);
}

QPolygonF TPlayer::Points(const TRecord& r, std::size_t at, std::uint32_t count, bool wide) {
  const std::size_t step = wide ? 8 : 4;
  QPolygonF points;
  if (!r.Has(at, std::size_t(count) * step)) return points;
  points.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t p = at + i * step;
    points.append(wide ? QPointF(r.I32(p), r.I32(p + 4)) : QPointF(r.I16(p), r.I16(p + 2)));
  }
  return points;
}

void TPlayer::PolyPoly(const TRecord& r, std::size_t countsAt, std::uint32_t polys, bool wide,
                       bool closed) {
  std::size_t at = countsAt + std::size_t(polys) * (wide || enhanced_ ? 4 : 2);
  if (!r.Has(countsAt, at - countsAt)) return;
  QPainterPath shape;
  shape.setFillRule(state_.FillRule);
  for (std::uint32_t i = 0; i < polys; ++i) {
    const std::uint32_t n = enhanced_ ? r.U32(countsAt + 4 * i) : r.U16(countsAt + 2 * i);
    const QPolygonF points = Points(r, at, n, wide);
    if (points.size() != qsizetype(n)) return;
    shape.addPolygon(points);
    if (closed) shape.closeSubpath();
    at += std::size_t(n) * (wide ? 8 : 4);
  }
  Shape(shape, closed);
}

}  // namespace metafile_play
