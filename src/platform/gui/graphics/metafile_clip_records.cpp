// The clip records of both metafile forms: rectangles, regions and paths combined with the
// clip, moved with it, saved and restored with the drawing state.
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

bool TPlayer::WindowsClipRecord(std::uint32_t function, const TRecord& r) {
  switch (function) {
    case 0x0416:
      GatherClip(TargetRegion(WindowsBox(r, 0)), TClipCombine::And);
      return true;
    case 0x0415:
      GatherClip(TargetRegion(WindowsBox(r, 0)), TClipCombine::Diff);
      return true;
    case 0x012C:
      SelectClipRegion(r.U16(0));
      return true;
    case 0x0220:
      OffsetClip(WindowsPoint(r, 0));
      return true;
    default:
      return false;
  }
}

bool TPlayer::EnhancedClipRecord(std::uint32_t type, const TRecord& r) {
  switch (type) {
    case 30:
      GatherClip(TargetRegion(EnhancedRect(r, 8)), TClipCombine::And);
      return true;
    case 29:
      GatherClip(TargetRegion(EnhancedRect(r, 8)), TClipCombine::Diff);
      return true;
    case 26:
      OffsetClip(EnhancedPoint(r, 8));
      return true;
    case 75:
      SelectEnhancedClip(r);
      return true;
    case 67:
      SelectClipPath(r.U32(8));
      return true;
    default:
      return false;
  }
}

void TPlayer::ApplyClip() {
  SettleClip();
  if (!clip_changed_) return;
  clip_changed_ = false;
  painter_.restore();
  painter_.save();
  if (state_.Clipped) {
    painter_.setTransform(QTransform());
    painter_.setClipRegion(state_.Clip, Qt::IntersectClip);
  }
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

void TPlayer::SetClip(const QRegion& clip, double regionRects, bool ofClip) {
  const double made = clip.rectCount();
  double full = made, taken = regionRects;
  if (ofClip) {
    // Where the clip is kept coarser, the full play's grows by what it grew by here.
    const double shown = state_.Clipped ? state_.Clip.rectCount() : 1;
    const double before = state_.Clipped ? state_.ClipRects : 1;
    full = std::max(made, before + made - shown);
    taken += before;
  }
  work_ += (taken + full) * kClipRectWork;
  state_.Clipped = true;
  state_.Clip =
      (measuring_ || rough_) && made > kMaxRoughClipRects ? QRegion(clip.boundingRect()) : clip;
  state_.ClipRects = full;
  clip_changed_ = true;
}

void TPlayer::DropClip() {
  ForgetGatheredClip();
  state_.Clipped = false;
  state_.Clip = QRegion();
  state_.ClipRects = 0;
  clip_changed_ = true;
}

// Intersecting and excluding commute: a run of them keeps what all the intersected
// regions share, less all the excluded ones, and costs one operation of each on the clip.
void TPlayer::GatherClip(const QRegion& region, TClipCombine how) {
  if (how == TClipCombine::And) {
    work_ += double(region.rectCount()) * kClipRectWork;
    kept_by_clip_ = kept_by_clip_ ? *kept_by_clip_ & region : region;
  } else {
    cut_from_clip_.insert(cut_from_clip_.end(), region.begin(), region.end());
  }
}

void TPlayer::ForgetGatheredClip() {
  kept_by_clip_.reset();
  cut_from_clip_.clear();
}

void TPlayer::SettleClip() {
  if (!kept_by_clip_ && cut_from_clip_.empty()) return;
  const std::optional<QRegion> kept = std::move(kept_by_clip_);
  std::vector<QRect> cut = std::move(cut_from_clip_);
  ForgetGatheredClip();
  if (kept) CombineClip(*kept, TClipCombine::And);
  if (!cut.empty()) CombineClip(UnionOf(std::move(cut)), TClipCombine::Diff);
}

void TPlayer::CombineClip(const QRegion& region, TClipCombine how) {
  SettleClip();
  if (how == TClipCombine::Or && !state_.Clipped) return;  // the whole target already
  const QRegion current = state_.Clipped ? state_.Clip : WholeTarget();
  const double taken = region.rectCount();
  switch (how) {
    case TClipCombine::And:
      SetClip(current & region, taken, true);
      break;
    case TClipCombine::Or:
      SetClip(current | region, taken, true);
      break;
    case TClipCombine::Xor:
      SetClip(current ^ region, taken, true);
      break;
    case TClipCombine::Diff:
      SetClip(current - region, taken, true);
      break;
    case TClipCombine::Copy:
      SetClip(region, taken, false);
      break;
  }
}

void TPlayer::OffsetClip(const QPointF& offset) {
  SettleClip();
  if (!state_.Clipped) return;
  const QTransform t = Transform();
  const QPointF moved = t.map(offset) - t.map(QPointF());
  const double limit = 1e6;
  SetClip(state_.Clip.translated(int(std::clamp(std::round(moved.x()), -limit, limit)),
                                 int(std::clamp(std::round(moved.y()), -limit, limit))),
          0, true);
}

// Merged in halves: one by one, each union would cost what the region holds so far.
QRegion TPlayer::UnionOf(std::vector<QRect> rects) {
  std::vector<QRegion> parts(rects.begin(), rects.end());
  while (parts.size() > 1) {
    std::vector<QRegion> merged;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
      if (i + 1 == parts.size()) {
        merged.push_back(parts[i]);
        continue;
      }
      work_ += double(parts[i].rectCount() + parts[i + 1].rectCount()) * kClipRectWork;
      merged.push_back(parts[i] | parts[i + 1]);
    }
    parts = std::move(merged);
  }
  return parts.empty() ? QRegion() : parts.front();
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
  std::vector<QRect> pixels;
  for (const QRectF& rect : *rects)
    if (const QRegion part = TargetRegion(rect); !part.isEmpty())
      pixels.insert(pixels.end(), part.begin(), part.end());
  CombineClip(UnionOf(std::move(pixels)), TClipCombine::Copy);
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
  std::vector<QRect> pixels;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = 48 + std::size_t(i) * 16;
    const QRectF rect = toTarget.mapRect(QRectF(QPointF(r.I32(at), r.I32(at + 4)),
                                                QPointF(r.I32(at + 8), r.I32(at + 12)))) &
                        near;
    if (!rect.isEmpty() && !rect.toRect().isEmpty()) pixels.push_back(rect.toRect());
  }
  CombineClip(UnionOf(std::move(pixels)), TClipCombine(mode));
}

}  // namespace metafile_play
