#include "platform/gui/graphics/metafile_player_qt.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/metafile_player_impl_qt.h"

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

// The mix of pens and fills a SetROP2 record numbers (R2_BLACK 1 to R2_WHITE 16): how each
// bit of the pen's colour combines with the bit under it.
QPainter::CompositionMode MixOf(std::uint32_t number) {
  static const QPainter::CompositionMode kMixes[] = {
      QPainter::RasterOp_ClearDestination,            // black
      QPainter::RasterOp_NotSourceAndNotDestination,  // not (pen or under)
      QPainter::RasterOp_NotSourceAndDestination,     // not pen and under
      QPainter::RasterOp_NotSource,                   // not pen
      QPainter::RasterOp_SourceAndNotDestination,     // pen and not under
      QPainter::RasterOp_NotDestination,              // not under
      QPainter::RasterOp_SourceXorDestination,        // pen xor under
      QPainter::RasterOp_NotSourceOrNotDestination,   // not (pen and under)
      QPainter::RasterOp_SourceAndDestination,        // pen and under
      QPainter::RasterOp_NotSourceXorDestination,     // not (pen xor under)
      QPainter::CompositionMode_Destination,          // under as it is
      QPainter::RasterOp_NotSourceOrDestination,      // not pen or under
      QPainter::CompositionMode_SourceOver,           // pen
      QPainter::RasterOp_SourceOrNotDestination,      // pen or not under
      QPainter::RasterOp_SourceOrDestination,         // pen or under
      QPainter::RasterOp_SetDestination,              // white
  };
  return number >= 1 && number <= std::size(kMixes) ? kMixes[number - 1]
                                                    : QPainter::CompositionMode_SourceOver;
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
    ++records_;
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
    ++records_;
    EnhancedRecord(type, data.Sub(offset, size));
    offset += size;
  }
}

QRectF TPlayer::DeviceView(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  QRectF view(0, 0, device->width(), device->height());
  if (painter.hasClipping())
    view &= painter.transform().mapRect(painter.clipBoundingRect()).adjusted(-1, -1, 1, 1);
  return view;
}

// Each record goes to the routine of its family, which tells whether it was one of its.
void TPlayer::WindowsRecord(std::uint32_t function, const TRecord& r) {
  for (const auto family :
       {&TPlayer::WindowsStateRecord, &TPlayer::WindowsClipRecord, &TPlayer::WindowsDrawingRecord,
        &TPlayer::WindowsTextRecord, &TPlayer::WindowsBitmapRecord})
    if ((this->*family)(function, r)) return;
}

void TPlayer::EnhancedRecord(std::uint32_t type, const TRecord& r) {
  for (const auto family : {&TPlayer::EnhancedStateRecord, &TPlayer::EnhancedClipRecord,
                            &TPlayer::EnhancedDrawingRecord, &TPlayer::EnhancedTextRecord,
                            &TPlayer::EnhancedBitmapRecord})
    if ((this->*family)(type, r)) return;
}

bool TPlayer::WindowsStateRecord(std::uint32_t function, const TRecord& r) {
  switch (function) {
    case 0x001E:
      Save();
      return true;
    case 0x0127:
      Restore(r.I16(0));
      return true;
    case 0x0103:
      state_.MapMode = r.U16(0);
      return true;
    case 0x0102:
      state_.OpaqueBack = r.U16(0) == 2;
      return true;
    case 0x0104:
      state_.Mix = MixOf(r.U16(0));
      return true;
    case 0x0201:
      state_.BackColor = ColorOf(r.U32(0));
      return true;
    case 0x0209:
      state_.TextColor = ColorOf(r.U32(0));
      return true;
    case 0x0106:
      state_.FillRule = r.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
      return true;
    case 0x012E:
      state_.TextAlign = r.U16(0);
      return true;
    case 0x020B:
      state_.WindowOrg = WindowsPoint(r, 0);
      return true;
    case 0x020C:
      state_.WindowExt = QSizeF(r.I16(2), r.I16(0));
      return true;
    case 0x02FA:
      Create(PenOf(r.U16(0), r.I16(2), r.U32(6)));
      return true;
    case 0x02FC:
      Create(BrushOf(r.U16(0), r.U32(2), r.U16(6)));
      return true;
    case 0x06FF:
      Create(RegionObject(r));
      return true;
    // Objects we do not draw still take their slot.
    case 0x00F7:
    case 0x01F9:
    case 0x0142:
      Create(QBrush(Qt::darkGray, Qt::Dense4Pattern));
      return true;
    case 0x012D:
      SelectIndex(r.U16(0));
      return true;
    case 0x01F0:
      if (r.U16(0) < objects_.size()) objects_[r.U16(0)] = std::monostate{};
      return true;
    default:
      return false;
  }
}

bool TPlayer::EnhancedStateRecord(std::uint32_t type, const TRecord& r) {
  switch (type) {
    case 9:
      state_.WindowExt = QSizeF(r.I32(8), r.I32(12));
      return true;
    case 10:
      state_.WindowOrg = EnhancedPoint(r, 8);
      return true;
    case 11:
      state_.ViewportExt = QSizeF(r.I32(8), r.I32(12));
      return true;
    case 12:
      state_.ViewportOrg = EnhancedPoint(r, 8);
      return true;
    case 17:
      state_.MapMode = r.U32(8);
      return true;
    case 18:
      state_.OpaqueBack = r.U32(8) == 2;
      return true;
    case 19:
      state_.FillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
      return true;
    case 20:
      state_.Mix = MixOf(r.U32(8));
      return true;
    case 22:
      state_.TextAlign = r.U32(8);
      return true;
    case 24:
      state_.TextColor = ColorOf(r.U32(8));
      return true;
    case 25:
      state_.BackColor = ColorOf(r.U32(8));
      return true;
    case 33:
      Save();
      return true;
    case 34:
      Restore(r.I32(8));
      return true;
    case 35:
      if (const auto t = Xform(r, 8)) state_.World = *t;
      return true;
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
      return true;
    }
    case 37:
      SelectIndex(r.U32(8));
      return true;
    case 38:
      Store(r.U32(8), PenOf(r.U32(12), r.I32(16), r.U32(24)));
      return true;
    case 95:
      Store(r.U32(8), PenOf(r.U32(28), r.U32(32), r.U32(40)));
      return true;
    case 39:
      Store(r.U32(8), BrushOf(r.U32(12), r.U32(16), r.U32(20)));
      return true;
    case 40:
      if (r.U32(8) < objects_.size()) objects_[r.U32(8)] = std::monostate{};
      return true;
    default:
      return false;
  }
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
  SettleClip();
  if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void TPlayer::Restore(int which) {
  // Negative: relative to the latest saved state; positive: the n-th one saved.
  const int count = int(saved_.size());
  const int keep = which < 0 ? count + which : which - 1;
  if (keep < 0 || keep >= count) return;
  ForgetGatheredClip();  // they would change the state replaced here
  state_ = saved_[std::size_t(keep)];
  saved_.resize(std::size_t(keep));
  clip_changed_ = true;
}

std::optional<QTransform> TPlayer::Xform(const TRecord& r, std::size_t at) {
  const double m[6] = {r.F32(at),      r.F32(at + 4),  r.F32(at + 8),
                       r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
  for (double v : m)
    if (!std::isfinite(v) || std::abs(v) > 1e9) return std::nullopt;
  return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
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

TMetafileWork MetafileWork(const QSizeF& Target, double Ratio, std::span<const std::uint8_t> Data,
                           bool Enhanced, TPlayMode Mode, TMetafileBitmapCache* Bitmaps) {
  QImage nowhere(1, 1, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&nowhere);
  painter.setRenderHint(QPainter::Antialiasing);
  TPlayer player(painter, QRectF(QPointF(), Target * Ratio), Mode);
  PlayAll(player, Data, Enhanced, Bitmaps);
  return TMetafileWork{player.Work(), player.ReadBackdrop(),
                       TMetafileBitmapClaim{player.BitmapPixels(), player.LeftBitmapsOut()}};
}
