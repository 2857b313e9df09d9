#include <QPainterPathStroker>
#include <QPolygon>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gui/graphics/metafile_clip_qt.h"

namespace {

// How far the transform stretches a length at least (Most false) or at most (Most true):
// the singular values of its linear part.
double Stretch(const QTransform& toDevice, bool Most) {
  const double a = toDevice.m11(), b = toDevice.m12(), c = toDevice.m21(), d = toDevice.m22();
  const double squares = a * a + b * b + c * c + d * d, det = a * d - b * c;
  const double spread = std::sqrt(std::max(0.0, squares * squares - 4 * det * det));
  return std::sqrt(std::max(0.0, (squares + (Most ? spread : -spread)) / 2));
}

// How far the pen's ink reaches from the line it strokes, in device pixels: half its width
// along the line, a square cap's corner, a join; a whole width bounds them all.
double PenReach(const QPen& pen, const QTransform& toDevice) {
  if (pen.style() == Qt::NoPen) return 0;
  if (pen.isCosmetic()) return std::max(1.0, pen.widthF());
  return std::max(1.0, pen.widthF() * Stretch(toDevice, true));
}

// The length of the lines between the shape's points on the device, which a curve's
// length does not exceed.
double OutlineLength(const QPainterPath& shape, const QTransform& toDevice) {
  double length = 0;
  for (int i = 1; i < shape.elementCount(); ++i) {
    const QPainterPath::Element& e = shape.elementAt(i);
    if (e.isMoveTo()) continue;
    const QPainterPath::Element& before = shape.elementAt(i - 1);
    const QPointF d = toDevice.map(QPointF(e.x, e.y)) - toDevice.map(QPointF(before.x, before.y));
    length += std::hypot(d.x(), d.y());
  }
  return length;
}

// The shape's subpaths as polygons on the device, curves within an eighth of a pixel (Qt
// flattens within half a pixel of the space it is given).
QList<QPolygonF> DeviceOutlines(const QPainterPath& shape, const QTransform& toDevice) {
  constexpr double kFiner = 4;
  QList<QPolygonF> outlines =
      shape.toSubpathPolygons(toDevice * QTransform::fromScale(kFiner, kFiner));
  const QTransform back = QTransform::fromScale(1 / kFiner, 1 / kFiner);
  for (QPolygonF& outline : outlines) outline = back.map(outline);
  return outlines;
}

// One side of the view: whether a point is on the view's side of it, and where a segment
// crosses it.
struct TSide {
  int Axis;  // 0 x, 1 y
  double Bound;
  bool Low;  // the view lies at or above Bound
  double Of(const QPointF& p) const { return Axis == 0 ? p.x() : p.y(); }
  bool Keeps(const QPointF& p) const { return Low ? Of(p) >= Bound : Of(p) <= Bound; }
  QPointF Crossing(const QPointF& a, const QPointF& b) const {
    const double t = (Bound - Of(a)) / (Of(b) - Of(a));
    return Axis == 0 ? QPointF(Bound, a.y() + t * (b.y() - a.y()))
                     : QPointF(a.x() + t * (b.x() - a.x()), Bound);
  }
};

std::array<TSide, 4> SidesOf(const QRectF& view) {
  return {TSide{0, view.left(), true}, TSide{0, view.right(), false}, TSide{1, view.top(), true},
          TSide{1, view.bottom(), false}};
}

// A filled polygon cut to the view side by side (Sutherland-Hodgman): inside the view
// every point keeps its winding number, so either fill rule fills the same there.
QPolygonF CutArea(QPolygonF polygon, const QRectF& view) {
  for (const TSide& side : SidesOf(view)) {
    if (polygon.isEmpty()) break;
    QPolygonF kept;
    QPointF before = polygon.back();
    for (const QPointF& p : polygon) {
      if (side.Keeps(p)) {
        if (!side.Keeps(before)) kept.append(side.Crossing(before, p));
        kept.append(p);
      } else if (side.Keeps(before)) {
        kept.append(side.Crossing(before, p));
      }
      before = p;
    }
    polygon = std::move(kept);
  }
  return polygon;
}

// The part of segment a-b inside the view (Liang-Barsky), if any.
std::optional<std::pair<QPointF, QPointF>> CutSegment(const QPointF& a, const QPointF& b,
                                                      const QRectF& view) {
  double from = 0, to = 1;
  const QPointF d = b - a;
  const std::pair<double, double> limits[] = {{-d.x(), a.x() - view.left()},
                                              {d.x(), view.right() - a.x()},
                                              {-d.y(), a.y() - view.top()},
                                              {d.y(), view.bottom() - a.y()}};
  for (const auto& [p, q] : limits) {
    if (p == 0) {
      if (q < 0) return std::nullopt;
    } else if (p < 0) {
      from = std::max(from, q / p);
    } else {
      to = std::min(to, q / p);
    }
  }
  if (from > to) return std::nullopt;
  return std::pair(a + d * from, a + d * to);
}

// A stroked line cut to the view: the pieces that run inside it. A closed outline whose
// first and last pieces meet at its start keeps them as one.
std::vector<QPolygonF> CutLine(const QPolygonF& line, const QRectF& view) {
  std::vector<QPolygonF> pieces;
  for (qsizetype i = 1; i < line.size(); ++i) {
    const auto cut = CutSegment(line[i - 1], line[i], view);
    if (!cut) continue;
    if (pieces.empty() || pieces.back().back() != cut->first)
      pieces.push_back(QPolygonF{cut->first});
    pieces.back().append(cut->second);
  }
  const bool closed = line.size() > 2 && line.front() == line.back();
  if (closed && pieces.size() > 1 && pieces.front().front() == line.front() &&
      pieces.back().back() == line.back()) {
    pieces.back().append(pieces.front().mid(1));
    pieces.erase(pieces.begin());
  }
  return pieces;
}

bool HasCurves(const QPainterPath& shape) {
  for (int i = 0; i < shape.elementCount(); ++i)
    if (shape.elementAt(i).isCurveTo()) return true;
  return false;
}

// Whether Qt draws the pen line by line with its cosmetic stroker: a pen of a device pixel
// or less (a dashed one is drawn so only then, see DrawnPen).
bool ThinPen(const QPen& pen, const QTransform& toDevice) {
  return pen.style() != Qt::NoPen && PenReach(pen, toDevice) <= 1;
}

// A dashed thin line steps through its pattern as it walks: a dotted one took twice as long
// as a solid one (8.4 against 3.9 ns a pixel).
constexpr double kDashedWalk = 2.2;

// The pixels the lines between the shape's points walk within View, the longer of their
// two sides each (a curve walks no more than its control points), and how many lines
// reach it.
struct TWalk {
  double Pixels = 0, Lines = 0;
};
TWalk Walk(const QPainterPath& shape, const QTransform& toDevice, const QRectF& view) {
  TWalk walk;
  QPointF before;
  for (int i = 0; i < shape.elementCount(); ++i) {
    const QPainterPath::Element& e = shape.elementAt(i);
    const QPointF at = toDevice.map(QPointF(e.x, e.y));
    if (i > 0 && !e.isMoveTo())
      if (const auto cut = CutSegment(before, at, view)) {
        const QPointF d = cut->second - cut->first;
        walk.Pixels += std::max(std::abs(d.x()), std::abs(d.y())) + 1;
        ++walk.Lines;
      }
    before = at;
  }
  return walk;
}

// Whether an unsmoothed stroke of the shape is drawn in pieces (see StrokeInPieces): lines
// of straight segments without a fill, a solid opaque pen wider than a pixel or two (which
// DrawInk joins round), drawn by plain source-over.
bool StrokedInPieces(const QPainter& painter, const QPainterPath& shape) {
  const QPen& pen = painter.pen();
  return !pen.isCosmetic() && pen.style() == Qt::SolidLine &&
         pen.brush().style() == Qt::SolidPattern && pen.color().alpha() == 255 &&
         PenReach(pen, painter.transform()) > 2 && painter.brush().style() == Qt::NoBrush &&
         painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
         painter.opacity() == 1 && shape.elementCount() > 2 && !HasCurves(shape);
}

// Half the pen's width on the device where the transform shrinks it most.
double LeastHalfWidth(const QPen& pen, const QTransform& toDevice) {
  return pen.widthF() * Stretch(toDevice, false) / 2;
}

// Whether the ink of a round pen of half width Half around one of the outline's points
// covers the whole view.
bool InkCoversView(const QList<QPolygonF>& outlines, double half, const QRectF& view) {
  const QPointF corners[] = {view.topLeft(), view.topRight(), view.bottomLeft(),
                             view.bottomRight()};
  for (const QPolygonF& outline : outlines)
    for (const QPointF& p : outline)
      if (std::all_of(std::begin(corners), std::end(corners), [&](const QPointF& corner) {
            return std::hypot(corner.x() - p.x(), corner.y() - p.y()) <= half;
          }))
        return true;
  return false;
}

// Qt's smoothing rasterizer keeps the cells an outline crosses in one sorted list a pixel
// row, so a shape costs it about the square of its crossings a row, times its rows: a
// zig-zag of 1,000 points across the picture took 6 s a paint, 30 ms unsmoothed, and the
// same points with a pen as wide as the picture 23 s. The work of smoothing a shape whose
// ink shows in Shown, in those units: its outline, and its pen's two edges with a join
// round every point where two lines or curves meet (a curve's control points make none),
// as far as a join's arc can run within Shown.
double SmoothingWork(const QPainterPath& Shape, const QTransform& toDevice, const QPen& pen,
                     bool filled, double reach, const QRectF& shown) {
  const double line = OutlineLength(Shape, toDevice);
  double cells = filled ? line : 0;
  if (pen.style() != Qt::NoPen) {
    int joins = 0;
    for (int i = 0; i < Shape.elementCount(); ++i)
      joins += Shape.elementAt(i).type != QPainterPath::CurveToElement &&
               (i + 1 == Shape.elementCount() ||
                Shape.elementAt(i + 1).type != QPainterPath::CurveToDataElement);
    cells += 2 * line + joins * std::min(M_PI * reach, shown.width() + shown.height());
  }
  return cells * cells / std::max(1.0, shown.height());
}

// The rows of Shown that the lines between the shape's points cross on the device, summed
// (a curve crosses no more than its control points do).
double RowsCrossed(const QPainterPath& shape, const QTransform& toDevice, const QRectF& shown) {
  double rows = 0;
  for (int i = 1; i < shape.elementCount(); ++i) {
    const QPainterPath::Element& e = shape.elementAt(i);
    if (e.isMoveTo()) continue;
    const QPainterPath::Element& before = shape.elementAt(i - 1);
    const double y0 = toDevice.map(QPointF(before.x, before.y)).y();
    const double y1 = toDevice.map(QPointF(e.x, e.y)).y();
    rows += std::max(
        0.0, std::min(std::max(y0, y1), shown.bottom()) - std::max(std::min(y0, y1), shown.top()));
  }
  return rows;
}

// Whether the pen reaches beyond the larger side of the view: such a pen is drawn with
// round joins and ends, which its ink then reaches half its width beyond the line.
bool HugePen(const QPen& pen, const QTransform& toDevice, const QRectF& View) {
  return !pen.isCosmetic() && pen.style() != Qt::NoPen &&
         PenReach(pen, toDevice) > std::max(View.width(), View.height());
}

// How far the ink of the shape's pen reaches from its outline, with the edge.
double InkReach(const QPen& pen, const QTransform& toDevice, const QRectF& View) {
  // Round ends and joins reach half the pen's width; others, pointed, up to all of it.
  return PenReach(pen, toDevice) / (HugePen(pen, toDevice, View) ? 2 : 1) + 2;
}

}  // namespace

// Qt's smoothing rasterizer works through a shape's whole bounding box, not only its
// edges: one line 30 pixels wide across an A4 page at 300 dpi took it 2 ms, the 1,000 of a
// 16 KB file 2.3 s. Cut into bands of rows at pixel edges, which no pixel straddles, a
// shape costs what it covers and draws the same.
constexpr double kBandRows = 32;

TInkCost InkCost(const QPainter& Painter, const QPainterPath& Shape, const QRectF& View) {
  const QTransform toDevice = Painter.transform();
  const QPen& pen = Painter.pen();
  const bool filled = Painter.brush().style() != Qt::NoBrush;
  const double reach = InkReach(pen, toDevice, View);
  const QRectF bounds = toDevice.mapRect(Shape.controlPointRect());
  const QRectF shown = bounds.adjusted(-reach, -reach, reach, reach) & View;
  TInkCost cost;
  cost.Filled = filled ? shown.width() * shown.height() : 0;
  cost.Patterned = Painter.brush().style() > Qt::SolidPattern;
  if (ThinPen(pen, toDevice)) {
    // 3.6 MB of long dotted polylines back and forth across the picture were priced by the
    // pixels they cover, 115 ms, and played for 9.7 s.
    const TWalk walk = Walk(Shape, toDevice, View.adjusted(-1, -1, 1, 1));
    cost.Walked = walk.Pixels * (pen.style() == Qt::SolidLine ? 1 : kDashedWalk);
    cost.Lines = walk.Lines;
  } else if (pen.style() != Qt::NoPen) {
    // A wider line is filled as one outline: it touches its length in pixels, however large
    // its box, and no pixel twice.
    cost.Touched =
        std::min(shown.width() * shown.height(), OutlineLength(Shape, toDevice) * 2 * reach);
  }
  // Qt fills a pen wider than a pixel as the outline of its ink: two edges along every
  // line, and a join or end across it at every point. The rasterizer keeps every edge a
  // row crosses: one polyline of 4,000 points zig-zagging across the picture with a pen of
  // a few pixels took 0.25 s at 1920 x 1080, two thirds of a second at A4 and 300 dpi.
  const double rows = shown.isEmpty() ? 0 : RowsCrossed(Shape, toDevice, shown);
  if (filled) cost.EdgeRows = rows;
  if (!pen.isCosmetic() && pen.style() != Qt::NoPen && PenReach(pen, toDevice) > 1)
    cost.EdgeRows += 2 * rows + Shape.elementCount() * std::min(2 * reach, shown.height());
  cost.InPieces = StrokedInPieces(Painter, Shape);
  cost.Smoothing = SmoothingWork(Shape, toDevice, pen, filled, reach, shown);
  cost.Banded = bounds.height() > 2 * kBandRows &&
                (filled || (!pen.isCosmetic() && pen.style() == Qt::SolidLine));
  return cost;
}

namespace {

// Fills the areas (device outlines) with Brush by Rule, in bands of rows within Edge.
void FillInBands(QPainter& Painter, const QList<QPolygonF>& areas, Qt::FillRule rule,
                 const QBrush& brush, const QRectF& edge) {
  QRectF bounds;
  for (const QPolygonF& area : areas) bounds |= area.boundingRect();
  bounds &= edge;
  if (bounds.isEmpty()) return;
  const QTransform toLogical = Painter.transform().inverted();
  const QPen pen = Painter.pen();
  const QBrush before = Painter.brush();
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(brush);
  for (double top = std::floor(bounds.top()); top < bounds.bottom(); top += kBandRows) {
    const QRectF band(bounds.left() - 1, top, bounds.width() + 2, kBandRows);
    QPainterPath part;
    part.setFillRule(rule);
    for (const QPolygonF& area : areas) {
      const QPolygonF cut = CutArea(area, band);
      if (cut.size() > 2) part.addPolygon(toLogical.map(cut));
    }
    if (!part.isEmpty()) Painter.drawPath(part);
  }
  Painter.setPen(pen);
  Painter.setBrush(before);
}

// Draws the stroke of the shape's lines (see StrokedInPieces) unsmoothed, two segments at a
// time with their round join between them and flat ends, each segment in two pieces: the
// rasterizer keeps every edge a row holds in one sorted structure, and a polyline of 1,000
// points zig-zagging across 2560 x 1440 pixels took 106 ms as one shape, 9 ms a segment at
// a time. Opaque and unsmoothed, a pixel drawn twice is drawn as once. The line's own ends
// get the pen's cap.
void StrokeInPieces(QPainter& Painter, const QPainterPath& Shape) {
  const QPen pen = Painter.pen();
  QPen flat = pen;
  flat.setCapStyle(Qt::FlatCap);
  Painter.setPen(flat);
  const double half = pen.widthF() / 2;
  for (const QPolygonF& line : Shape.toSubpathPolygons()) {
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
      QPainterPath piece(line[i]);
      for (qsizetype j = i + 1; j < std::min(i + 3, line.size()); ++j) piece.lineTo(line[j]);
      Painter.drawPath(piece);
    }
    const bool closed = line.size() > 2 && line.front() == line.back();
    if (closed) {  // the join at the start
      QPainterPath join(line[line.size() - 2]);
      join.lineTo(line[0]);
      join.lineTo(line[1]);
      Painter.drawPath(join);
      continue;
    }
    if (pen.capStyle() == Qt::FlatCap || line.size() < 2) continue;
    for (const auto& [end, before] :
         {std::pair(line.front(), line[1]), std::pair(line.back(), line[line.size() - 2])}) {
      const QPointF along = end - before;
      const double length = std::hypot(along.x(), along.y());
      if (length == 0) continue;
      if (pen.capStyle() == Qt::RoundCap) {
        Painter.save();
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(pen.brush());
        Painter.drawEllipse(end, half, half);
        Painter.restore();
      } else {  // square: the line carried on half the pen's width
        QPainterPath cap(end);
        cap.lineTo(end + along * (half / length));
        Painter.drawPath(cap);
      }
    }
  }
  Painter.setPen(pen);
}

// Draws Shape with the painter's pen and brush; smoothed and taller than a few bands, its
// fill and its pen's ink (but a cosmetic or dashed pen's, which Qt draws along its line)
// in bands.
void DrawWhole(QPainter& Painter, const QPainterPath& Shape, const QRectF& edge) {
  const QTransform toDevice = Painter.transform();
  const QPen pen = Painter.pen();
  const QBrush brush = Painter.brush();
  const QRectF bounds = toDevice.mapRect(Shape.controlPointRect());
  if (!Painter.testRenderHint(QPainter::Antialiasing) && StrokedInPieces(Painter, Shape)) {
    StrokeInPieces(Painter, Shape);
    return;
  }
  if (!Painter.testRenderHint(QPainter::Antialiasing) || bounds.height() <= 2 * kBandRows ||
      !toDevice.isInvertible()) {
    Painter.drawPath(Shape);
    return;
  }
  if (brush.style() != Qt::NoBrush)
    FillInBands(Painter, DeviceOutlines(Shape, toDevice), Shape.fillRule(), brush, edge);
  if (pen.style() == Qt::NoPen) return;
  if (pen.isCosmetic() || pen.style() != Qt::SolidLine) {
    Painter.setBrush(Qt::NoBrush);
    Painter.drawPath(Shape);
    Painter.setBrush(brush);
    return;
  }
  FillInBands(Painter, DeviceOutlines(QPainterPathStroker(pen).createStroke(Shape), toDevice),
              Qt::WindingFill, pen.brush(), edge);
}

// DrawVisiblePart with a pen fit to draw: Qt's stroker took seconds over the bevelled and
// mitred joins of a pen wider than the view (14 s for a polygon of 257 points), which are
// round here, and so are its ends.
TInkCost DrawInk(QPainter& Painter, const QPainterPath& Shape, const QRectF& View,
                 double& SmoothingLeft) {
  const QTransform toDevice = Painter.transform();
  QPen pen = Painter.pen();
  const QBrush brush = Painter.brush();
  const double larger = std::max(View.width(), View.height());
  const bool huge = HugePen(pen, toDevice, View);
  const TInkCost cost = InkCost(Painter, Shape, View);
  if (huge) {
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    Painter.setPen(pen);
  }
  const double reach = InkReach(pen, toDevice, View);
  const QRectF bounds = toDevice.mapRect(Shape.controlPointRect());
  const QRectF ink = bounds.adjusted(-reach, -reach, reach, reach);
  if (Painter.testRenderHint(QPainter::Antialiasing)) {
    if (cost.Smoothing <= SmoothingLeft) {
      SmoothingLeft -= cost.Smoothing;
    } else {
      SmoothingLeft = -1;
      Painter.setRenderHint(QPainter::Antialiasing, false);
    }
  }
  // Qt's stroker took 0.4 s over the bevelled joins of a polygon of 257 points 10 pixels
  // round with a pen 700 pixels wide, 2 ms over round ones: lines of straight segments
  // join round once the pen is wider than a pixel or two. (Round joins cost more along
  // curves, whose own joins are smooth.)
  const bool wide = !pen.isCosmetic() && pen.style() != Qt::NoPen && PenReach(pen, toDevice) > 2;
  if (wide && pen.joinStyle() != Qt::RoundJoin) {
    QPen round = pen;
    round.setJoinStyle(Qt::RoundJoin);
    if (!HasCurves(Shape)) Painter.setPen(round);
    pen = round;  // for the lines cut below, which are straight
  }
  // A shape whose ink stays within the view's own size around it costs what the view
  // does: drawn as it stands. So is one a pen no wider than the view reaches beyond.
  if (View.adjusted(-larger, -larger, larger, larger).contains(ink) ||
      (!huge && View.adjusted(-reach, -reach, reach, reach).contains(bounds)) ||
      !toDevice.isInvertible()) {
    DrawWhole(Painter, Shape, View.adjusted(-larger, -larger, larger, larger));
    return cost;
  }
  const QTransform toLogical = toDevice.inverted();
  const QList<QPolygonF> outlines = DeviceOutlines(Shape, toDevice);
  // Fills, and the ink of wide pens, are cut a pixel or two beyond the view; lines as far
  // beyond it as their caps and joins reach.
  const QRectF edge = View.adjusted(-2, -2, 2, 2);
  if (huge && pen.style() == Qt::SolidLine &&
      InkCoversView(outlines, LeastHalfWidth(pen, toDevice), edge)) {
    Painter.save();
    Painter.resetTransform();
    Painter.fillRect(edge, pen.brush());
    Painter.restore();
    return cost;
  }
  const QRectF view = View.adjusted(-reach, -reach, reach, reach);
  if (brush.style() != Qt::NoBrush) FillInBands(Painter, outlines, Shape.fillRule(), brush, edge);
  if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
    // Cut, a dashed line would start its pattern afresh at the view's edge. Only pens of a
    // pixel keep their dashes, and Qt's dasher passes over the dashes outside its clip.
    Painter.setBrush(Qt::NoBrush);
    Painter.drawPath(Shape);
    Painter.setBrush(brush);
  } else if (pen.style() != Qt::NoPen) {
    QPainterPath lines;
    for (const QPolygonF& outline : outlines) {
      // A closed outline that stays whole is stroked closed, joined at its start.
      if (outline.size() > 2 && outline.front() == outline.back() &&
          view.contains(outline.boundingRect())) {
        lines.addPolygon(toLogical.map(outline));
        lines.closeSubpath();
        continue;
      }
      for (const QPolygonF& piece : CutLine(outline, view)) lines.addPolygon(toLogical.map(piece));
    }
    if (pen.isCosmetic()) {
      Painter.setBrush(Qt::NoBrush);
      Painter.drawPath(lines);
      Painter.setBrush(brush);
    } else {
      // The ink of a wide pen reaches as far beyond the view as the pen is wide: it is
      // outlined here and cut as any area.
      QPainterPathStroker stroker(pen);
      FillInBands(Painter, DeviceOutlines(stroker.createStroke(lines), toDevice), Qt::WindingFill,
                  pen.brush(), edge);
    }
  }
  return cost;
}

}  // namespace

TInkCost DrawVisiblePart(QPainter& Painter, const QPainterPath& Shape, const QRectF& View,
                         double& SmoothingLeft) {
  const QPen pen = Painter.pen();
  const bool smooth = Painter.testRenderHint(QPainter::Antialiasing);
  const TInkCost cost = DrawInk(Painter, Shape, View, SmoothingLeft);
  Painter.setPen(pen);
  Painter.setRenderHint(QPainter::Antialiasing, smooth);
  return cost;
}

QRegion VisibleArea(const QPainterPath& Shape, const QTransform& toDevice, const QRectF& View) {
  // The cut outlines joined into one polygon, each run back to the first point: the
  // joins go there and back, so every point keeps its winding number.
  QPolygonF joined;
  for (const QPolygonF& outline : DeviceOutlines(Shape, toDevice)) {
    const QPolygonF cut = CutArea(outline, View);
    if (cut.size() < 3) continue;
    if (joined.isEmpty()) joined.append(cut.front());
    joined += cut;
    joined.append(cut.front());
    joined.append(joined.front());
  }
  if (joined.isEmpty()) return {};
  return QRegion(joined.toPolygon(), Shape.fillRule()) & QRegion(View.toAlignedRect());
}
