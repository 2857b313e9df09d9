#include "platform/gui/graphics/canvas.h"

#include <QBrush>
#include <QImage>
#include <QPaintEngine>
#include <QPolygon>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

namespace {

QPainter::CompositionMode ToCompositionMode(TPenMode mode) {
  switch (mode) {
    case pmBlack:
      return QPainter::RasterOp_ClearDestination;
    case pmWhite:
      return QPainter::RasterOp_SetDestination;
    case pmNot:
      return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
      return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
      return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
      return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
      return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
      return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
      return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
      return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
      return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
      return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
      return QPainter::RasterOp_NotSourceXorDestination;
    case pmNop:
    case pmCopy:
      break;
  }
  return QPainter::CompositionMode_SourceOver;
}

QPen ToQPen(const TPen& pen) {
  if (pen.Style() == psClear || pen.Color() == clNone) return QPen(Qt::NoPen);
  QPen result(ToQColor(pen.Color()));
  // Thin lines leave out their last pixel (flat caps); wide ones are round like a brush
  // stroke.
  if (pen.Width() <= 1) {
    result.setWidth(0);
    result.setCapStyle(Qt::FlatCap);
  } else {
    result.setWidth(pen.Width());
    result.setCapStyle(Qt::RoundCap);
    result.setJoinStyle(Qt::RoundJoin);
  }
  switch (pen.Style()) {
    case psDash:
      result.setStyle(Qt::DashLine);
      break;
    case psDot:
      result.setDashPattern({1, 1});
      break;  // every other pixel
    case psDashDot:
      result.setStyle(Qt::DashDotLine);
      break;
    case psDashDotDot:
      result.setStyle(Qt::DashDotDotLine);
      break;
    default:
      break;
  }
  return result;
}

QBrush ToQBrush(const TBrush& brush) {
  if (!brush.Paints()) return QBrush(Qt::NoBrush);
  if (brush.Bitmap() && !brush.Bitmap()->Empty()) return QBrush(BitmapImage(*brush.Bitmap()));
  return QBrush(ToQColor(brush.Color()));
}

// Rectangle from two corners in either order.
QRect Normalized(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
               QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
}

// The box a shape's path runs along: with an outline the pen covers the outer ring of
// pixels; without one the fill stops a pixel short at the right and bottom.
QRect ShapeBox(const QRect& box) {
  return box.adjusted(0, 0, -1, -1);
}

}  // namespace

QColor ToQColor(TColor Color) {
  const TColor rgb = ColorToRGB(Color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQRgb(QRgb Rgb) {
  return RGB(qRed(Rgb), qGreen(Rgb), qBlue(Rgb));
}

TCanvas::TCanvas() : impl_(std::make_unique<Impl>()) {}
TCanvas::~TCanvas() = default;

// Sets up the painter for a shape: pen, brush and pen mode. Null when nothing is drawn.
static QPainter* ShapePainter(TCanvas::Impl& impl, const TPen& pen, const TBrush& brush) {
  QPainter* painter = impl.Painter();
  if (!painter || pen.Mode() == pmNop) return nullptr;
  painter->setPen(ToQPen(pen));
  painter->setBrush(ToQBrush(brush));
  painter->setCompositionMode(ToCompositionMode(pen.Mode()));
  return painter;
}

// Pixels of a fill above which cutting it to a complex clip ourselves pays.
constexpr std::int64_t kLargeFill = 16384;

static QPainter* PlainPainter(TCanvas::Impl& impl) {
  QPainter* painter = impl.Painter();
  if (painter) painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  return painter;
}

void TCanvas::MoveTo(int X, int Y) {
  pen_pos_ = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawLine(pen_pos_.X, pen_pos_.Y, X, Y);
  pen_pos_ = {X, Y};
}

static QPolygon ToQPolygon(std::span<const TPoint> points) {
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const TPoint& p : points) polygon.append(QPoint(p.X, p.Y));
  return polygon;
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  if (Points.empty()) return;
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawPolyline(ToQPolygon(Points));
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  if (Points.empty()) return;
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawPolygon(ToQPolygon(Points));
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawRect(ShapeBox(Normalized(X1, Y1, X2, Y2)));
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight) {
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawRoundedRect(ShapeBox(Normalized(X1, Y1, X2, Y2)), CornerWidth / 2.0,
                             CornerHeight / 2.0);
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  if (QPainter* painter = ShapePainter(*impl_, pen_, brush_))
    painter->drawEllipse(ShapeBox(Normalized(X1, Y1, X2, Y2)));
}

void TCanvas::FillRect(const TRect& Rect) {
  if (!brush_.Paints() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  QPainter* painter = PlainPainter(*impl_);
  if (!painter) return;
  const QRect rect = ToQRect(Rect);
  const QBrush brush = ToQBrush(brush_);
  // A large fill under a clip of many rectangles (a window with child windows left
  // out) is cut to the clip row by row; filled rectangle by rectangle it takes the
  // fast path, shared out among threads.
  if (painter->hasClipping() && std::int64_t(rect.width()) * rect.height() >= kLargeFill &&
      painter->paintEngine()->type() == QPaintEngine::Raster &&
      painter->transform().type() <= QTransform::TxTranslate) {
    const QRegion parts = painter->clipRegion() & rect;
    if (parts.rectCount() > 1) {
      painter->setClipping(false);
      for (const QRect& part : parts) painter->fillRect(part, brush);
      painter->setClipping(true);
      return;
    }
  }
  painter->fillRect(rect, brush);
}

// The eight pixels of a pattern as a tile, see-through where unmarked. The grid lines of
// a table are many lines of one pattern and colour: the tile is made once for them.
static const QBrush& PatternTile(std::uint8_t pattern, bool vertical, QRgb color) {
  struct TTile {
    std::uint8_t Pattern = 0;
    QRgb Color = 0;
    QBrush Brush;
  };
  thread_local TTile tiles[2];
  TTile& tile = tiles[vertical];
  if (tile.Brush.style() != Qt::TexturePattern || tile.Pattern != pattern || tile.Color != color) {
    QImage image(vertical ? 1 : 8, vertical ? 8 : 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int i = 0; i < 8; ++i)
      if (pattern >> i & 1) image.setPixel(vertical ? 0 : i, vertical ? i : 0, color);
    tile = TTile{pattern, color, QBrush(image)};
  }
  return tile.Brush;
}

// The runs of rows of column x, from top to bottom, that the paint may reach (with a
// pixel more each way), in order and apart: the system clip's rectangles that the column
// crosses; the whole column where no system clip bounds the paint.
static std::vector<std::pair<int, int>> ReachedRuns(QPainter& painter, int x, int top, int bottom) {
  const QPaintEngine* engine = painter.paintEngine();
  const QRegion reach = engine ? engine->systemClip() : QRegion();
  if (reach.isEmpty()) return {{top, bottom}};
  const QTransform toLogical = painter.deviceTransform().inverted();
  std::vector<std::pair<int, int>> runs;
  for (const QRect& part : reach) {
    const QRectF area = toLogical.mapRect(QRectF(part));
    if (x < std::floor(area.left()) - 1 || x > std::ceil(area.right()) + 1) continue;
    const int from = std::max(top, int(std::floor(area.top())) - 1);
    const int to = std::min(bottom, int(std::ceil(area.bottom())) + 1);
    if (from < to) runs.emplace_back(from, to);
  }
  std::sort(runs.begin(), runs.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& run : runs)
    if (!merged.empty() && run.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, run.second);
    else
      merged.push_back(run);
  return merged;
}

void TCanvas::FillLinePattern(const TRect& Line, bool Vertical, std::uint8_t Pattern) {
  if (brush_.Color() == clNone || brush_.Style() == bsClear || Line.Width() <= 0 ||
      Line.Height() <= 0)
    return;
  QPainter* painter = PlainPainter(*impl_);
  if (!painter) return;
  const QColor color = ToQColor(brush_.Color());
  if (!Vertical || painter->deviceTransform().type() > QTransform::TxTranslate) {
    // A row is one fill.
    const QPoint origin = painter->brushOrigin();
    painter->setBrushOrigin(Line.Left, Line.Top);
    painter->fillRect(ToQRect(Line), PatternTile(Pattern, Vertical, color.rgb()));
    painter->setBrushOrigin(origin);
    return;
  }
  // A column as points of a one-pixel pen: a fill of many rows is shared out among
  // threads, which costs more than the pixels. Each point costs its transform, so only
  // those that can show are drawn: the grid lines of tables nested deep in an editor
  // reach far below it, and under the editors inside them.
  QPolygon dots;
  for (const auto& [top, bottom] : ReachedRuns(*painter, Line.Left, Line.Top, Line.Bottom))
    for (int y = top; y < bottom; ++y)
      if (Pattern >> ((y - Line.Top) % 8) & 1) dots.append(QPoint(Line.Left, y));
  if (dots.isEmpty()) return;
  const QPen pen = painter->pen();
  QPen dotPen(color);
  dotPen.setWidth(0);
  painter->setPen(dotPen);
  painter->drawPoints(dots);
  painter->setPen(pen);
}

void TCanvas::FrameRect(const TRect& Rect) {
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  FillRect({Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1});
  FillRect({Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom});
  FillRect({Rect.Left, Rect.Top + 1, Rect.Left + 1, Rect.Bottom - 1});
  FillRect({Rect.Right - 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1});
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  QPainter* painter = impl_->Painter();
  if (!painter || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  // Every other pixel of the ring, each exactly once, so a second call undoes the first.
  QPolygon dots;
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) dots.append(QPoint(x, y));
  };
  for (int x = Rect.Left; x < Rect.Right; ++x) {
    dot(x, Rect.Top);
    if (Rect.Bottom - 1 > Rect.Top) dot(x, Rect.Bottom - 1);
  }
  for (int y = Rect.Top + 1; y < Rect.Bottom - 1; ++y) {
    dot(Rect.Left, y);
    if (Rect.Right - 1 > Rect.Left) dot(Rect.Right - 1, y);
  }
  painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  QPen pen(Qt::white);
  pen.setWidth(0);
  painter->setPen(pen);
  painter->drawPoints(dots);
}

void TCanvas::Draw(int X, int Y, const TGraphic& Graphic) {
  StretchDraw(Bounds(X, Y, Graphic.Width(), Graphic.Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, const TGraphic& Graphic) {
  if (!Graphic.Empty()) Graphic.Draw(*this, Rect);
}

void TCanvas::TileDraw(const TRect& Rect, const TRect& Copy, const TGraphic& Graphic) {
  if (!Graphic.Empty() && Rect.Width() > 0 && Rect.Height() > 0 && Copy.Width() > 0 &&
      Copy.Height() > 0)
    Graphic.DrawTiled(*this, Rect, Copy);
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect) {
  const QImage* image = TCanvasAccess::Image(Source);
  if (!image) return;
  TCanvasAccess::DrawImage(*this, Dest, *image, ToQRect(SourceRect));
}

TColor TCanvas::Pixels(int X, int Y) const {
  const QImage* image = impl_->attached ? nullptr : impl_->WantedImage();
  if (impl_->attached || !image || !image->valid(X, Y)) return clNone;
  return FromQRgb(image->pixel(X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Color) {
  if (Color == clNone) return;
  if (QPainter* painter = PlainPainter(*impl_)) painter->fillRect(X, Y, 1, 1, ToQColor(Color));
}

TRect TCanvas::ClipRect() const {
  if (QPainter* painter = impl_->attached) {
    QRect area = painter->hasClipping()
                     ? painter->clipBoundingRect().toAlignedRect()
                     : painter->combinedTransform().inverted().mapRect(
                           QRect(0, 0, painter->device()->width(), painter->device()->height()));
    return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
  }
  if (const QImage* image = impl_->WantedImage()) return {0, 0, image->width(), image->height()};
  return {};
}

bool TCanvas::RectVisible(const TRect& Rect) const {
  const QRect rect = ToQRect(Rect);
  if (QPainter* painter = impl_->attached; painter && painter->hasClipping())
    return painter->clipRegion().intersects(rect);
  const TRect area = ClipRect();
  return rect.intersects(ToQRect(area));
}

void TCanvas::IntersectClipRect(const TRect& Rect) {
  if (QPainter* painter = impl_->Painter()) {
    painter->save();
    painter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
  }
}

void TCanvas::RestoreClip() {
  if (QPainter* painter = impl_->Painter()) painter->restore();
}

void TCanvas::BlendRect(const TRect& Rect, TColor Color, int Opacity) {
  if (Color == clNone) return;
  if (QPainter* painter = impl_->Painter()) {
    QColor color = ToQColor(Color);
    color.setAlpha(std::clamp(Opacity, 0, 255));
    painter->fillRect(ToQRect(Rect), color);
  }
}

void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  TBrush& brush = Canvas.Brush();
  const TColor keptColor = brush.Color();
  const TBrushStyle keptStyle = brush.Style();
  TBitmap* keptBitmap = brush.Bitmap();
  brush.SetBitmap(nullptr);
  for (int ring = 0; ring < Width && Rect.Width() > 0 && Rect.Height() > 0; ++ring) {
    brush.SetColor(TopColor);
    Canvas.FillRect({Rect.Left, Rect.Top, Rect.Right - 1, Rect.Top + 1});
    Canvas.FillRect({Rect.Left, Rect.Top + 1, Rect.Left + 1, Rect.Bottom - 1});
    brush.SetColor(BottomColor);
    Canvas.FillRect({Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom});
    Canvas.FillRect({Rect.Left, Rect.Bottom - 1, Rect.Right - 1, Rect.Bottom});
    Rect = {Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
  }
  brush.SetColor(keptColor);
  brush.SetStyle(keptStyle);
  brush.SetBitmap(keptBitmap);
}

// The painter's state is saved around the canvas' use, so pen modes and clipping set
// for the canvas never leak into what the owner paints afterwards.
TCanvasPainting::TCanvasPainting(TCanvas& Canvas, QPainter& Painter, bool SaveState)
    : canvas_(Canvas),
      painter_(Painter),
      previous_(TCanvasAccess::AttachPainter(Canvas, &Painter)),
      saved_(SaveState) {
  if (saved_) painter_.save();
}

TCanvasPainting::~TCanvasPainting() {
  if (saved_) painter_.restore();
  TCanvasAccess::AttachPainter(canvas_, previous_);
}

const void* TCanvas::Handle() const {
  if (impl_->attached) return impl_->attached;
  return impl_->image;
}

void TCanvasAccess::SetImage(TCanvas& Canvas, QImage* Image, std::function<void()> Changed,
                             std::function<void()> Wanted) {
  Canvas.impl_->own.reset();
  Canvas.impl_->image = Image;
  Canvas.impl_->imageChanged = std::move(Changed);
  Canvas.impl_->imageWanted = std::move(Wanted);
}

void TCanvasAccess::EndPainting(const TCanvas& Canvas) {
  Canvas.impl_->own.reset();
}

const QImage* TCanvasAccess::Image(const TCanvas& Canvas) {
  return Canvas.impl_->WantedImage();
}

QPainter* TCanvasAccess::AttachPainter(TCanvas& Canvas, QPainter* Painter) {
  return std::exchange(Canvas.impl_->attached, Painter);
}

// Blends a large unscaled image one clip rectangle at a time, each under a clip of its
// own, if there are only a few: under a clip of several rectangles (the map's dirty
// strips) the raster engine blends span by span over the whole image, in worker threads.
// False when the image is small, scaled or clipped to many pieces; nothing is drawn then.
static bool DrawImageInClip(QPainter& Painter, const QRect& Dest, const QImage& Image,
                            const QRect& Source) {
  constexpr qint64 kLargeImage = 256 * 256;
  constexpr int kMaxRects = 64;
  if (static_cast<qint64>(Dest.width()) * Dest.height() < kLargeImage) return false;
  if (Dest.size() != Source.size() || !Painter.hasClipping()) return false;
  if (Painter.deviceTransform().type() > QTransform::TxTranslate) return false;
  const QRegion clip = Painter.clipRegion() & Dest;
  if (clip.rectCount() > kMaxRects) return false;
  DrawImageParts(Painter, Dest, Image, Source, clip);
  return true;
}

void DrawImageParts(QPainter& Painter, const QRect& Dest, const QImage& Image, const QRect& Source,
                    const QRegion& Parts) {
  const QPoint offset = Source.topLeft() - Dest.topLeft();
  for (const QRect& rect : Parts) {
    // Source and target of one size: exactly the part is drawn, no clip needed.
    const QRect part = rect & Dest;
    if (part.isEmpty()) continue;
    Painter.drawImage(part, Image, part.translated(offset));
  }
}

void TCanvasAccess::DrawImage(TCanvas& Canvas, const TRect& Dest, const QImage& Image,
                              const QRect& Source) {
  QPainter* painter = PlainPainter(*Canvas.impl_);
  if (!painter || Dest.Width() == 0 || Dest.Height() == 0) return;
  // Drawing an image onto itself needs the source pixels kept apart first.
  if (&Image == Canvas.impl_->image) {
    const QImage copy = Image.copy(Source);
    painter->drawImage(ToQRect(Dest), copy, copy.rect());
  } else if (!DrawImageInClip(*painter, ToQRect(Dest), Image, Source)) {
    painter->drawImage(ToQRect(Dest), Image, Source);
  }
}

// The raster engine fills a pattern row by row, each row in runs as long as the pattern is
// wide: a pattern of a few pixels costs many times what a larger one does, so a small
// picture is repeated into one of at least this side first. Apart stands for a canvas
// tiling its own image, whose pixels the pattern must not share.
static QImage PatternOf(const QImage& Image, bool Apart) {
  constexpr int kMinPatternSide = 64;
  const int across = (kMinPatternSide + Image.width() - 1) / Image.width();
  const int down = (kMinPatternSide + Image.height() - 1) / Image.height();
  if (across == 1 && down == 1) return Apart ? Image.copy() : Image;
  QImage pattern(
      Image.width() * across, Image.height() * down,
      Image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  if (pattern.isNull()) return Image.copy();
  {
    QPainter painter(&pattern);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QImage pixels = Image;
    pixels.setDevicePixelRatio(1);
    for (int y = 0; y < down; ++y)
      for (int x = 0; x < across; ++x)
        painter.drawImage(x * Image.width(), y * Image.height(), pixels);
  }
  pattern.setDevicePixelRatio(Image.devicePixelRatio());
  return pattern;
}

void TCanvasAccess::TileImage(TCanvas& Canvas, const TRect& Area, QPoint Origin,
                              const QImage& Image, QPainter::CompositionMode Mode) {
  QPainter* painter = PlainPainter(*Canvas.impl_);
  if (!painter || Image.isNull()) return;
  const QBrush pattern(PatternOf(Image, &Image == Canvas.impl_->image));
  const QPoint origin = painter->brushOrigin();
  painter->setBrushOrigin(Origin);
  painter->setCompositionMode(Mode);
  painter->fillRect(ToQRect(Area), pattern);
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->setBrushOrigin(origin);
}
