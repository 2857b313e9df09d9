#include "platform/gui/graphics/metafile_player_qt.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <variant>

#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/metafile_clip_qt.h"
#include "platform/gui/graphics/metafile_player_impl_qt.h"
#include "platform/gui/graphics/text_shaping_qt.h"
#include "platform/text/code_pages.h"

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kMetaHeaderSize = 18;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfHeaderMinSize = 88;
constexpr int kMaxSavedStates = 256;
constexpr std::uint32_t kMaxObjects = 65536;
constexpr double kMaxPenWidth = 32767;

QColor ColorOf(std::uint32_t colorRef) {
  return QColor(int(colorRef & 0xFF), int(colorRef >> 8 & 0xFF), int(colorRef >> 16 & 0xFF));
}

QPen PenOf(std::uint32_t style, double width, std::uint32_t colorRef) {
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                         Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                         Qt::SolidLine};
  const std::uint32_t kind = style & 0xF;
  QPen pen(ColorOf(colorRef));
  pen.setStyle(kind < std::size(kStyles) ? kStyles[kind] : Qt::SolidLine);
  // Width 0 is one device pixel whatever the scale.
  if (width <= 0) {
    pen.setCosmetic(true);
    pen.setWidth(1);
  } else {
    // Qt refuses a width from 2^15 on, which leaves the pen one unit wide.
    pen.setWidthF(std::min(width, kMaxPenWidth));
  }
  return pen;
}

// Dashes are for pens no wider than a device pixel: the Windows drawing layer draws a
// wider pen solid whatever its style, and Qt's stroker took seconds over the dashes of a
// wide one.
QPen DrawnPen(QPen pen, const QTransform& toDevice) {
  const double scale = pen.isCosmetic() ? 1 : std::sqrt(std::abs(toDevice.determinant()));
  if (pen.widthF() * scale > 1 && pen.style() != Qt::NoPen) pen.setStyle(Qt::SolidLine);
  return pen;
}

QBrush BrushOf(std::uint32_t style, std::uint32_t colorRef, std::uint32_t hatch) {
  static const Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                            Qt::FDiagPattern, Qt::BDiagPattern,
                                            Qt::CrossPattern, Qt::DiagCrossPattern};
  switch (style) {
    case 0:  // solid
      return QBrush(ColorOf(colorRef));
    case 1:  // null
      return QBrush(Qt::NoBrush);
    case 2:  // hatched
      return QBrush(ColorOf(colorRef),
                    hatch < std::size(kHatches) ? kHatches[hatch] : Qt::SolidPattern);
    default:  // a pattern bitmap, not played: shown as a grey pattern
      return QBrush(Qt::darkGray, Qt::Dense4Pattern);
  }
}

}  // namespace

namespace metafile_play {

void TPlayer::PlayWindows(std::span<const std::uint8_t> bytes) {
  const TRecord data(bytes);
  std::size_t offset = WindowsMetafileRecordsStart(bytes);
  if (offset == 0) return;
  if (data.U32(0) == kPlaceableKey) {
    // The placeable header's box is the frame until the records set a window.
    const QPointF topLeft(data.I16(6), data.I16(8));
    frame_ = QRectF(topLeft, QPointF(data.I16(10), data.I16(12)));
  }
  while (data.Has(offset, 6)) {
    const std::uint64_t size = std::uint64_t(data.U32(offset)) * 2;
    const std::uint32_t function = data.U16(offset + 4);
    if (function == 0 || size < 6 || !data.Has(offset, std::size_t(size)) || Cancelled()) break;
    work_ += kRecordWork;
    WindowsRecord(function, data.Sub(offset + 6, std::size_t(size) - 6));
    offset += std::size_t(size);
  }
}

void TPlayer::PlayEnhanced(std::span<const std::uint8_t> bytes) {
  const TRecord data(bytes);
  if (!IsEnhancedMetafile(bytes)) return;
  enhanced_ = true;
  // The reference device's pixels per millimetre, and the picture frame in them.
  const double mmX = data.I32(80), mmY = data.I32(84);
  pixels_per_mm_ = QPointF(mmX > 0 ? data.I32(72) / mmX : kPixelsPerInch / 25.4,
                           mmY > 0 ? data.I32(76) / mmY : kPixelsPerInch / 25.4);
  frame_ = QRectF(
      QPointF(data.I32(24) * pixels_per_mm_.x() / 100, data.I32(28) * pixels_per_mm_.y() / 100),
      QPointF(data.I32(32) * pixels_per_mm_.x() / 100, data.I32(36) * pixels_per_mm_.y() / 100));
  if (!(frame_.width() > 0 && frame_.height() > 0))
    frame_ = QRectF(QPointF(data.I32(8), data.I32(12)), QPointF(data.I32(16), data.I32(20)));
  std::size_t offset = 0;
  while (data.Has(offset, 8)) {
    const std::uint32_t type = data.U32(offset);
    const std::uint32_t size = data.U32(offset + 4);
    if (type == 14 || size < 8 || !data.Has(offset, size) || Cancelled()) break;
    work_ += kRecordWork;
    EnhancedRecord(type, data.Sub(offset, size));
    offset += size;
  }
}

void TPlayer::ApplyClip() {
  if (!clip_changed_) return;
  clip_changed_ = false;
  painter_.restore();
  painter_.save();
  if (state_.Clipped) {
    painter_.setTransform(QTransform());
    painter_.setClipRegion(state_.Clip, Qt::IntersectClip);
  }
}

void TPlayer::Ink(const QPainterPath& shape) {
  if (ClippedAway()) return;
  if (measuring_) {
    const TInkCost cost = InkCost(painter_, shape, View());
    work_ += cost.Touched * kPixelWork;
    if (smoothing_left_ >= 0) {
      smoothing_left_ -= cost.Smoothing;
      work_ += std::max(0.0, cost.Smoothing) * kSmoothingWork;
    }
    return;
  }
  const double before = smoothing_left_;
  work_ += DrawVisiblePart(painter_, shape, View(), smoothing_left_) * kPixelWork;
  if (smoothing_left_ >= 0) work_ += (before - smoothing_left_) * kSmoothingWork;
}

QRegion TPlayer::TargetRegion(const QRectF& logical) const {
  const QTransform t = Transform();
  const QRectF near = target_.adjusted(-4, -4, 4, 4);
  if (t.type() <= QTransform::TxScale) {
    const QRectF r = t.mapRect(logical) & near;
    if (r.isEmpty()) return {};
    return QRegion(
        QRect(QPoint(int(std::lround(r.left())), int(std::lround(r.top()))),
              QPoint(int(std::lround(r.right())) - 1, int(std::lround(r.bottom())) - 1)));
  }
  QPolygonF corners = t.map(QPolygonF(logical));
  for (QPointF& p : corners)
    p = QPointF(std::clamp(p.x(), near.left() - 1e5, near.right() + 1e5),
                std::clamp(p.y(), near.top() - 1e5, near.bottom() + 1e5));
  return QRegion(corners.toPolygon()) & QRegion(near.toAlignedRect());
}

void TPlayer::SetClip(const QRegion& clip) {
  state_.Clipped = true;
  state_.Clip = clip;
  clip_changed_ = true;
}

void TPlayer::DropClip() {
  state_.Clipped = false;
  state_.Clip = QRegion();
  clip_changed_ = true;
}

void TPlayer::CombineClip(const QRegion& region, TClipCombine how) {
  const QRegion current = state_.Clipped ? state_.Clip : WholeTarget();
  switch (how) {
    case TClipCombine::And:
      SetClip(current & region);
      break;
    case TClipCombine::Or:
      if (state_.Clipped) SetClip(current | region);
      break;
    case TClipCombine::Xor:
      SetClip(current ^ region);
      break;
    case TClipCombine::Diff:
      SetClip(current - region);
      break;
    case TClipCombine::Copy:
      SetClip(region);
      break;
  }
}

void TPlayer::OffsetClip(const QPointF& offset) {
  if (!state_.Clipped) return;
  const QTransform t = Transform();
  const QPointF moved = t.map(offset) - t.map(QPointF());
  const double limit = 1e6;
  SetClip(state_.Clip.translated(int(std::clamp(std::round(moved.x()), -limit, limit)),
                                 int(std::clamp(std::round(moved.y()), -limit, limit))));
}

TRegionRects TPlayer::RegionObject(const TRecord& r) {
  TRegionRects rects;
  const std::uint32_t scans = r.U16(10);
  std::size_t at = 22;
  for (std::uint32_t i = 0; i < scans && r.Has(at, 6); ++i) {
    const std::uint32_t count = r.U16(at);
    const double top = r.I16(at + 2), bottom = r.I16(at + 4);
    const std::size_t pairs = count / 2;
    if (!r.Has(at + 6, pairs * 4 + 2)) break;
    for (std::size_t k = 0; k < pairs; ++k)
      rects.push_back(
          QRectF(QPointF(r.I16(at + 6 + 4 * k), top), QPointF(r.I16(at + 8 + 4 * k), bottom)));
    at += 6 + pairs * 4 + 2;
  }
  return rects;
}

void TPlayer::SelectClipRegion(std::uint32_t index) {
  const auto* rects =
      index < objects_.size() ? std::get_if<TRegionRects>(&objects_[index]) : nullptr;
  if (!rects) {
    DropClip();
    return;
  }
  QRegion region;
  for (const QRectF& rect : *rects) region |= TargetRegion(rect);
  SetClip(region);
}

void TPlayer::SelectClipPath(std::uint32_t mode) {
  if (mode >= 1 && mode <= 5) {
    const QRegion area = VisibleArea(path_, Transform(), target_.adjusted(-4, -4, 4, 4));
    const QRect bounds = area.boundingRect();
    work_ += double(bounds.width()) * bounds.height() * kPixelWork;
    CombineClip(area, TClipCombine(mode));
  }
  in_path_ = false;
  path_ = QPainterPath();
}

void TPlayer::SelectEnhancedClip(const TRecord& r) {
  const std::uint32_t size = r.U32(8), mode = r.U32(12);
  if (mode < 1 || mode > 5) return;
  if (TClipCombine(mode) == TClipCombine::Copy && size == 0) {
    DropClip();
    return;
  }
  const std::uint32_t count = r.U32(16 + 8);
  if (size < 32 || !r.Has(16, size) || !r.Has(48, std::size_t(count) * 16)) return;
  const QTransform toTarget = FrameToTarget(frame_);
  const QRectF near = target_.adjusted(-4, -4, 4, 4);
  QRegion region;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = 48 + std::size_t(i) * 16;
    const QRectF rect = toTarget.mapRect(QRectF(QPointF(r.I32(at), r.I32(at + 4)),
                                                QPointF(r.I32(at + 8), r.I32(at + 12)))) &
                        near;
    if (!rect.isEmpty()) region |= QRegion(rect.toRect());
  }
  CombineClip(region, TClipCombine(mode));
}

QTransform TPlayer::Transform() const {
  const TDeviceState& s = state_;
  QTransform page = QTransform::fromTranslate(-s.WindowOrg.x(), -s.WindowOrg.y());
  if (enhanced_) {
    page *= PageScale();
    page *= QTransform::fromTranslate(s.ViewportOrg.x(), s.ViewportOrg.y());
    return s.World * page * FrameToTarget(frame_);
  }
  // A Windows metafile has no device of its own: its window is the picture.
  QRectF window(s.WindowOrg, s.WindowExt);
  if (s.WindowExt.width() == 0 || s.WindowExt.height() == 0) window = frame_;
  if (window.width() == 0 || window.height() == 0) window = QRectF(QPointF(), target_.size());
  return FrameToTarget(window);
}

QTransform TPlayer::FrameToTarget(const QRectF& frame) const {
  if (frame.width() == 0 || frame.height() == 0)
    return QTransform::fromTranslate(target_.x(), target_.y());
  return QTransform::fromTranslate(-frame.x(), -frame.y()) *
         QTransform::fromScale(target_.width() / frame.width(), target_.height() / frame.height()) *
         QTransform::fromTranslate(target_.x(), target_.y());
}

QTransform TPlayer::PageScale() const {
  const TDeviceState& s = state_;
  const double mmX = pixels_per_mm_.x(), mmY = pixels_per_mm_.y();
  switch (s.MapMode) {
    case 2:
      return QTransform::fromScale(mmX / 10, -mmY / 10);  // 0.1 mm
    case 3:
      return QTransform::fromScale(mmX / 100, -mmY / 100);  // 0.01 mm
    case 4:
      return QTransform::fromScale(mmX * 0.254, -mmY * 0.254);  // 0.01 inch
    case 5:
      return QTransform::fromScale(mmX * 0.0254, -mmY * 0.0254);
    case 6:
      return QTransform::fromScale(mmX * 25.4 / 1440, -mmY * 25.4 / 1440);  // twips
    case 7:
    case 8: {
      if (s.WindowExt.width() == 0 || s.WindowExt.height() == 0 || s.ViewportExt.width() == 0 ||
          s.ViewportExt.height() == 0)
        return {};
      double sx = s.ViewportExt.width() / s.WindowExt.width();
      double sy = s.ViewportExt.height() / s.WindowExt.height();
      if (s.MapMode == 7) {  // isotropic: one scale, the smaller
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
      }
      return QTransform::fromScale(sx, sy);
    }
    default:
      return {};
  }
}

void TPlayer::Select(const TObject& object) {
  if (const auto* pen = std::get_if<QPen>(&object)) state_.Pen = *pen;
  if (const auto* brush = std::get_if<QBrush>(&object)) state_.Brush = *brush;
  if (const auto* font = std::get_if<TFontSpec>(&object)) state_.Font = *font;
}

void TPlayer::SelectStock(std::uint32_t index) {
  static const QColor kGreys[] = {Qt::white, QColor(192, 192, 192), QColor(128, 128, 128),
                                  QColor(64, 64, 64), Qt::black};
  if (index <= 4)
    state_.Brush = QBrush(kGreys[index]);
  else if (index == 5)
    state_.Brush = QBrush(Qt::NoBrush);
  else if (index == 6)
    state_.Pen = PenOf(0, 0, 0xFFFFFF);
  else if (index == 7)
    state_.Pen = PenOf(0, 0, 0);
  else if (index == 8)
    state_.Pen = QPen(Qt::NoPen);
  else if (index >= 10 && index <= 17)
    state_.Font = TFontSpec{};
}

void TPlayer::Store(std::uint32_t index, TObject object) {
  if (index >= kMaxObjects) return;
  if (index >= objects_.size()) objects_.resize(index + 1);
  objects_[index] = std::move(object);
}

void TPlayer::Create(TObject object) {
  const auto free = std::find_if(objects_.begin(), objects_.end(),
                                 [](const TObject& o) { return o.index() == 0; });
  Store(std::uint32_t(free - objects_.begin()), std::move(object));
}

void TPlayer::SelectIndex(std::uint32_t index) {
  if (index & 0x80000000)
    SelectStock(index & 0x7FFFFFFF);
  else if (index < objects_.size())
    Select(objects_[index]);
}

void TPlayer::Save() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void TPlayer::Restore(int which) {
  // Negative: relative to the latest saved state; positive: the n-th one saved.
  const int count = int(saved_.size());
  const int keep = which < 0 ? count + which : which - 1;
  if (keep < 0 || keep >= count) return;
  state_ = saved_[std::size_t(keep)];
  saved_.resize(std::size_t(keep));
  clip_changed_ = true;
}

void TPlayer::Prepare(bool fill) {
  ApplyClip();
  painter_.setRenderHint(QPainter::Antialiasing, smoothing_left_ >= 0);
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

TPlayer::TTextFont& TPlayer::TextFont(const TFontSpec& spec, double wanted) {
  if (text_font_ && text_font_->Spec == spec && text_font_->Wanted == wanted) return *text_font_;
  QFont font(spec.Face.isEmpty() ? QStringLiteral("Sans Serif") : spec.Face);
  font.setWeight(QFont::Weight(std::clamp(spec.Weight / 10 * 10, 100, 900)));
  font.setItalic(spec.Italic);
  font.setUnderline(spec.Underline);
  font.setStrikeOut(spec.StrikeOut);
  font.setPixelSize(int(std::clamp(std::lround(wanted), 1L, 4096L)));
  text_font_.emplace(TTextFont{spec, wanted, font, font.pixelSize(), std::nullopt, std::nullopt});
  return *text_font_;
}

const QFontMetricsF& TPlayer::DrawnMetrics(TTextFont& drawn) {
  if (drawn.Metrics) return *drawn.Metrics;
  if (drawn.Spec.Height > 0) {
    const double cell = QFontMetricsF(drawn.Font).height();
    if (cell > 0)
      drawn.Font.setPixelSize(
          int(std::clamp(std::lround(drawn.Wanted * drawn.AskedPixelSize / cell), 1L, 4096L)));
  }
  return drawn.Metrics.emplace(drawn.Font);
}

void TPlayer::DrawRoughRun(TTextFont& drawn, const QPointF& origin, const QString& text) {
  if (!drawn.Glyphs) drawn.Glyphs = QRawFont::fromFont(drawn.Font);
  const QVector<quint32> glyphs =
      drawn.Glyphs->isValid() ? drawn.Glyphs->glyphIndexesForString(text) : QVector<quint32>();
  if (glyphs.size() != text.size() || glyphs.contains(0) || NeedsShaping(text)) {
    painter_.drawText(origin, text);
    return;
  }
  const QVector<QPointF> advances = drawn.Glyphs->advancesForGlyphIndexes(glyphs);
  QVector<QPointF> positions;
  positions.reserve(glyphs.size());
  QPointF pen;
  for (const QPointF& advance : advances) {
    positions.append(pen);
    pen += advance;
  }
  QGlyphRun run;
  run.setRawFont(*drawn.Glyphs);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  run.setUnderline(drawn.Font.underline());
  run.setStrikeOut(drawn.Font.strikeOut());
  painter_.drawGlyphRun(origin, run);
}

void TPlayer::Text(QPointF at, const QString& text, std::span<const double> advances,
                   std::uint32_t options, std::optional<QRectF> box) {
  const QTransform t = Transform();
  const double scaleX = std::hypot(t.m11(), t.m12());
  const double scaleY = std::hypot(t.m21(), t.m22());
  if (state_.TextAlign & 1) at = state_.Current;  // TA_UPDATECP
  const TFontSpec& spec = state_.Font;
  const double wanted = std::abs(double(spec.Height != 0 ? spec.Height : 12)) * scaleY;
  TTextFont& drawn = TextFont(spec, wanted);
  const bool alone = !advances.empty() && !rough_ && !NeedsShaping(text);
  const double pixelSize = drawn.AskedPixelSize;
  work_ += double(text.size()) *
           ((alone ? kGlyphWork : kRunGlyphWork) + pixelSize * pixelSize * kGlyphPixelWork);
  if (measuring_) return;
  const QFontMetricsF& metrics = DrawnMetrics(drawn);
  const QFont& font = drawn.Font;
  std::vector<double> xs;     // where each character starts, in device pixels
  std::vector<double> steps;  // and how far it advances
  double width = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    xs.push_back(width);
    steps.push_back(std::size_t(i) < advances.size() ? advances[std::size_t(i)] * scaleX
                                                     : metrics.horizontalAdvance(text[i]));
    width += steps.back();
  }
  const std::uint32_t align = state_.TextAlign;
  const double dx = (align & 6) == 6 ? -width / 2 : (align & 2) ? -width : 0;
  const double dy = (align & 24) == 24 ? 0 : (align & 8) ? -metrics.descent() : metrics.ascent();
  if (align & 1) state_.Current = at + QPointF(width / scaleX, 0);
  if (ClippedAway()) return;
  ApplyClip();
  painter_.save();
  painter_.setTransform(QTransform());
  if (box && (options & 2)) painter_.fillRect(t.mapRect(*box), state_.BackColor);  // opaque
  if (box && (options & 4)) painter_.setClipRect(t.mapRect(*box), Qt::IntersectClip);
  // Text is never mirrored by the mapping, only placed and sized by it.
  painter_.translate(t.map(at));
  painter_.rotate(-(spec.Escapement / 10.0));
  painter_.setFont(font);
  if (state_.OpaqueBack && !(box && (options & 2)))
    painter_.fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()), state_.BackColor);
  painter_.setPen(state_.TextColor);
  if (rough_) {
    DrawRoughRun(drawn, QPointF(dx, dy), text);
  } else if (advances.empty()) {
    painter_.drawText(QPointF(dx, dy), text);
  } else if (!alone) {
    DrawShapedTextWithAdvances(painter_, font, QPointF(dx, dy), text, steps);
  } else {
    for (qsizetype i = 0; i < text.size(); ++i)
      painter_.drawText(QPointF(dx + xs[std::size_t(i)], dy), QString(text[i]));
  }
  painter_.restore();
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

void TPlayer::WindowsRecord(std::uint32_t function, const TRecord& r) {
  const auto point = [&](std::size_t at) { return WindowsPoint(r, at); };
  const auto box = [&](std::size_t at) {  // bottom, right, top, left
    return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)))
        .normalized();
  };
  switch (function) {
    case 0x001E:
      Save();
      break;
    case 0x0127:
      Restore(r.I16(0));
      break;
    case 0x0103:
      state_.MapMode = r.U16(0);
      break;
    case 0x0102:
      state_.OpaqueBack = r.U16(0) == 2;
      break;
    case 0x0201:
      state_.BackColor = ColorOf(r.U32(0));
      break;
    case 0x0209:
      state_.TextColor = ColorOf(r.U32(0));
      break;
    case 0x0106:
      state_.FillRule = r.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
      break;
    case 0x012E:
      state_.TextAlign = r.U16(0);
      break;
    case 0x020B:
      state_.WindowOrg = point(0);
      break;
    case 0x020C:
      state_.WindowExt = QSizeF(r.I16(2), r.I16(0));
      break;
    case 0x0214:
      MoveTo(point(0));
      break;
    case 0x0213:
      LineTo(point(0));
      break;
    case 0x041B:
      Rectangle(box(0));
      break;
    case 0x0418:
      Ellipse(box(0));
      break;
    case 0x061C:
      Rectangle(box(4), r.I16(2), r.I16(0));
      break;
    case 0x0817:
      Arc(box(8), point(4), point(0), TArc::Open);
      break;
    case 0x081A:
      Arc(box(8), point(4), point(0), TArc::Pie);
      break;
    case 0x0830:
      Arc(box(8), point(4), point(0), TArc::Chord);
      break;
    case 0x0324:
      Poly(Points(r, 2, r.U16(0), false), true);
      break;
    case 0x0325:
      Poly(Points(r, 2, r.U16(0), false), false);
      break;
    case 0x0538:
      PolyPoly(r, 2, r.U16(0), false, true);
      break;
    case 0x0521: {
      const std::uint32_t n = r.U16(0);
      const std::size_t after = 2 + (n + 1) / 2 * 2;
      if (!r.Has(2, n) || !r.Has(after, 4)) break;
      Text(QPointF(r.I16(after + 2), r.I16(after)), EightBitText(r, 2, n), {}, 0, std::nullopt);
      break;
    }
    case 0x0A32: {
      const std::uint32_t n = r.U16(4);
      const std::uint32_t options = r.U16(6);
      std::size_t at = 8;
      std::optional<QRectF> rect;
      if (options & 6) {
        rect = QRectF(QPointF(r.I16(8), r.I16(10)), QPointF(r.I16(12), r.I16(14))).normalized();
        at += 8;
      }
      if (!r.Has(at, n)) break;
      const QString text = EightBitText(r, at, n);
      std::vector<double> advances;
      const std::size_t dxAt = at + (n + 1) / 2 * 2;
      if (r.Has(dxAt, std::size_t(n) * 2) && std::size_t(text.size()) == n)
        for (std::uint32_t i = 0; i < n; ++i) advances.push_back(r.I16(dxAt + 2 * i));
      Text(QPointF(r.I16(2), r.I16(0)), text, advances, options, rect);
      break;
    }
    case 0x02FA:
      Create(PenOf(r.U16(0), r.I16(2), r.U32(6)));
      break;
    case 0x02FC:
      Create(BrushOf(r.U16(0), r.U32(2), r.U16(6)));
      break;
    case 0x02FB: {
      TFontSpec f;
      f.Height = r.I16(0);
      f.Escapement = r.I16(4);
      f.Weight = r.I16(8);
      f.Italic = r.U8(10) != 0;
      f.Underline = r.U8(11) != 0;
      f.StrikeOut = r.U8(12) != 0;
      f.Charset = int(r.U8(13));
      f.Face = FaceName(r, 18, 32, false);
      Create(f);
      break;
    }
    case 0x06FF:
      Create(RegionObject(r));
      break;
    // Objects we do not draw still take their slot.
    case 0x00F7:
    case 0x01F9:
    case 0x0142:
      Create(QBrush(Qt::darkGray, Qt::Dense4Pattern));
      break;
    case 0x012D:
      SelectIndex(r.U16(0));
      break;
    case 0x0416:
      CombineClip(TargetRegion(box(0)), TClipCombine::And);
      break;
    case 0x0415:
      CombineClip(TargetRegion(box(0)), TClipCombine::Diff);
      break;
    case 0x012C:
      SelectClipRegion(r.U16(0));
      break;
    case 0x0220:
      OffsetClip(point(0));
      break;
    case 0x01F0:
      if (r.U16(0) < objects_.size()) objects_[r.U16(0)] = std::monostate{};
      break;
    default:
      WindowsBitmapRecord(function, r);
      break;
  }
}

void TPlayer::EnhancedRecord(std::uint32_t type, const TRecord& r) {
  const auto point = [&](std::size_t at) { return EnhancedPoint(r, at); };
  const auto rect = [&](std::size_t at) { return QRectF(point(at), point(at + 8)).normalized(); };
  switch (type) {
    case 2:
      Bezier(Points(r, 28, r.U32(24), true));
      break;
    case 3:
      Poly(Points(r, 28, r.U32(24), true), true);
      break;
    case 4:
      Poly(Points(r, 28, r.U32(24), true), false);
      break;
    case 5:
      PolyTo(Points(r, 28, r.U32(24), true), true);
      break;
    case 6:
      PolyTo(Points(r, 28, r.U32(24), true), false);
      break;
    case 7:
      PolyPoly(r, 32, r.U32(24), true, false);
      break;
    case 8:
      PolyPoly(r, 32, r.U32(24), true, true);
      break;
    case 85:
      Bezier(Points(r, 28, r.U32(24), false));
      break;
    case 86:
      Poly(Points(r, 28, r.U32(24), false), true);
      break;
    case 87:
      Poly(Points(r, 28, r.U32(24), false), false);
      break;
    case 88:
      PolyTo(Points(r, 28, r.U32(24), false), true);
      break;
    case 89:
      PolyTo(Points(r, 28, r.U32(24), false), false);
      break;
    case 90:
      PolyPoly(r, 32, r.U32(24), false, false);
      break;
    case 91:
      PolyPoly(r, 32, r.U32(24), false, true);
      break;
    case 9:
      state_.WindowExt = QSizeF(r.I32(8), r.I32(12));
      break;
    case 10:
      state_.WindowOrg = point(8);
      break;
    case 11:
      state_.ViewportExt = QSizeF(r.I32(8), r.I32(12));
      break;
    case 12:
      state_.ViewportOrg = point(8);
      break;
    case 17:
      state_.MapMode = r.U32(8);
      break;
    case 18:
      state_.OpaqueBack = r.U32(8) == 2;
      break;
    case 19:
      state_.FillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
      break;
    case 22:
      state_.TextAlign = r.U32(8);
      break;
    case 24:
      state_.TextColor = ColorOf(r.U32(8));
      break;
    case 25:
      state_.BackColor = ColorOf(r.U32(8));
      break;
    case 27:
      MoveTo(point(8));
      break;
    case 33:
      Save();
      break;
    case 34:
      Restore(r.I32(8));
      break;
    case 35:
      if (const auto t = Xform(r, 8)) state_.World = *t;
      break;
    case 36: {
      const auto t = Xform(r, 8);
      const std::uint32_t mode = r.U32(32);
      if (mode == 1)
        state_.World = QTransform();
      else if (t && mode == 2)
        state_.World = *t * state_.World;
      else if (t && mode == 3)
        state_.World = state_.World * *t;
      else if (t && mode == 4)
        state_.World = *t;
      break;
    }
    case 37:
      SelectIndex(r.U32(8));
      break;
    case 30:
      CombineClip(TargetRegion(rect(8)), TClipCombine::And);
      break;
    case 29:
      CombineClip(TargetRegion(rect(8)), TClipCombine::Diff);
      break;
    case 26:
      OffsetClip(point(8));
      break;
    case 75:
      SelectEnhancedClip(r);
      break;
    case 67:
      SelectClipPath(r.U32(8));
      break;
    case 38:
      Store(r.U32(8), PenOf(r.U32(12), r.I32(16), r.U32(24)));
      break;
    case 95:
      Store(r.U32(8), PenOf(r.U32(28), r.U32(32), r.U32(40)));
      break;
    case 39:
      Store(r.U32(8), BrushOf(r.U32(12), r.U32(16), r.U32(20)));
      break;
    case 40:
      if (r.U32(8) < objects_.size()) objects_[r.U32(8)] = std::monostate{};
      break;
    case 42:
      Ellipse(rect(8));
      break;
    case 43:
      Rectangle(rect(8));
      break;
    case 44:
      Rectangle(rect(8), r.I32(24), r.I32(28));
      break;
    case 45:
      Arc(rect(8), point(24), point(32), TArc::Open);
      break;
    case 46:
      Arc(rect(8), point(24), point(32), TArc::Chord);
      break;
    case 47:
      Arc(rect(8), point(24), point(32), TArc::Pie);
      break;
    case 54:
      LineTo(point(8));
      break;
    case 59:
      in_path_ = true;
      path_ = QPainterPath();
      path_.setFillRule(state_.FillRule);
      break;
    case 60:
      in_path_ = false;
      break;
    case 61:
      path_.closeSubpath();
      break;
    case 68:
      in_path_ = false;
      path_ = QPainterPath();
      break;
    case 62:
    case 63:
    case 64: {
      Prepare(type != 64);
      if (type == 62) painter_.setPen(Qt::NoPen);
      Ink(path_);
      path_ = QPainterPath();
      break;
    }
    case 82: {
      TFontSpec f;
      f.Height = r.I32(12);
      f.Escapement = r.I32(20);
      f.Weight = r.I32(28);
      f.Italic = r.U8(32) != 0;
      f.Underline = r.U8(33) != 0;
      f.StrikeOut = r.U8(34) != 0;
      f.Charset = int(r.U8(35));
      f.Face = FaceName(r, 40, 32, true);
      Store(r.U32(8), f);
      break;
    }
    case 83:
    case 84: {
      const std::uint32_t n = r.U32(44);
      const std::uint32_t stringAt = r.U32(48);
      const std::uint32_t options = r.U32(52);
      const bool wide = type == 84;
      if (!r.Has(stringAt, std::size_t(n) * (wide ? 2 : 1))) break;
      QString text;
      if (wide)
        for (std::uint32_t i = 0; i < n; ++i) text.append(QChar(char16_t(r.U16(stringAt + 2 * i))));
      else
        text = EightBitText(r, stringAt, n);
      std::vector<double> advances;
      const std::uint32_t dxAt = r.U32(72);
      if (dxAt != 0 && r.Has(dxAt, std::size_t(n) * 4) && std::size_t(text.size()) == n)
        for (std::uint32_t i = 0; i < n; ++i) advances.push_back(r.I32(dxAt + 4 * i));
      Text(point(36), text, advances, options,
           options & 6 ? std::optional(rect(56)) : std::nullopt);
      break;
    }
    default:
      EnhancedBitmapRecord(type, r);
      break;
  }
}

std::optional<QTransform> TPlayer::Xform(const TRecord& r, std::size_t at) {
  const double m[6] = {r.F32(at),      r.F32(at + 4),  r.F32(at + 8),
                       r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
  for (double v : m)
    if (!std::isfinite(v) || std::abs(v) > 1e9) return std::nullopt;
  return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

QString TPlayer::EightBitText(const TRecord& r, std::size_t at, std::uint32_t n) const {
  std::string bytes(n, '\0');
  for (std::uint32_t i = 0; i < n; ++i) bytes[i] = char(r.U8(at + i));
  const std::u16string text = CodePageToUtf16(CharsetToCodePage(state_.Font.Charset), bytes);
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QString TPlayer::FaceName(const TRecord& r, std::size_t at, std::size_t chars, bool wide) {
  QString face;
  for (std::size_t i = 0; i < chars; ++i) {
    const std::uint32_t c = wide ? r.U16(at + 2 * i) : r.U8(at + i);
    if (c == 0) break;
    face.append(QChar(char16_t(c)));
  }
  return face;
}

}  // namespace metafile_play

using metafile_play::kPixelsPerInch;
using metafile_play::TPlayer;
using metafile_play::TRecord;

std::size_t WindowsMetafileRecordsStart(std::span<const std::uint8_t> Data) {
  const TRecord data(Data);
  const std::size_t start = data.U32(0) == kPlaceableKey ? kPlaceableSize : 0;
  if (!data.Has(start, kMetaHeaderSize)) return 0;
  const std::uint32_t type = data.U16(start);
  if ((type != 1 && type != 2) || data.U16(start + 2) != kMetaHeaderSize / 2) return 0;
  return start + kMetaHeaderSize;
}

bool IsEnhancedMetafile(std::span<const std::uint8_t> Data) {
  const TRecord data(Data);
  return data.Has(0, kEmfHeaderMinSize) && data.U32(0) == 1 && data.U32(40) == kEmfSignature;
}

QSize MetafileFrameSize(std::span<const std::uint8_t> Data, bool Enhanced) {
  const TRecord data(Data);
  const auto pixels = [](double value, double perInch) {
    return int(std::clamp(std::lround(std::abs(value) * kPixelsPerInch / perInch), 0L, 32767L));
  };
  if (Enhanced)  // the frame in hundredths of a millimetre
    return QSize(pixels(double(data.I32(32)) - data.I32(24), 2540),
                 pixels(double(data.I32(36)) - data.I32(28), 2540));
  if (data.U32(0) == kPlaceableKey && data.U16(14) != 0)
    return QSize(pixels(data.I16(10) - data.I16(6), data.U16(14)),
                 pixels(data.I16(12) - data.I16(8), data.U16(14)));
  return QSize(0, 0);
}

namespace {

void PlayAll(TPlayer& player, std::span<const std::uint8_t> data, bool enhanced,
             TMetafileBitmapCache* bitmaps) {
  player.KeepBitmapsIn(bitmaps, data);
  if (enhanced)
    player.PlayEnhanced(data);
  else
    player.PlayWindows(data);
}

}  // namespace

bool PlayMetafile(QPainter& Painter, const QRectF& Target, std::span<const std::uint8_t> Data,
                  bool Enhanced, TPlayMode Mode, const std::atomic<bool>* Cancelled,
                  TMetafileBitmapCache* Bitmaps) {
  Painter.save();
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.setClipRect(Target, Qt::IntersectClip);
  bool readBackdrop = false;
  {
    TPlayer player(Painter, Target, Mode, Cancelled);
    PlayAll(player, Data, Enhanced, Bitmaps);
    readBackdrop = player.ReadBackdrop();
  }
  Painter.restore();
  return readBackdrop;
}

double MetafileWork(const QSizeF& Target, double Ratio, std::span<const std::uint8_t> Data,
                    bool Enhanced, TPlayMode Mode, TMetafileBitmapCache* Bitmaps) {
  QImage nowhere(1, 1, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&nowhere);
  painter.setRenderHint(QPainter::Antialiasing);
  TPlayer player(painter, QRectF(QPointF(), Target * Ratio), Mode);
  PlayAll(player, Data, Enhanced, Bitmaps);
  return player.Work();
}
