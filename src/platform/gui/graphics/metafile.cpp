#include "platform/gui/graphics/metafile.h"

#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/metafile_bitmap_cache_qt.h"
#include "platform/gui/graphics/metafile_player_qt.h"
#include "platform/gui/graphics/metafile_renderings_qt.h"
#include "platform/gui/graphics/screen_paint_qt.h"
#include "platform/text/streams.h"

TMetafile::TMetafile(std::span<const std::uint8_t> Data, bool Enhanced) {
  Load(Data, Enhanced);
}

void TMetafile::Load(std::span<const std::uint8_t> Data, bool Enhanced) {
  if (Enhanced ? !IsEnhancedMetafile(Data) : WindowsMetafileRecordsStart(Data) == 0)
    throw EInvalidGraphic("Invalid metafile");
  const QSize frame = MetafileFrameSize(Data, Enhanced);
  data_.assign(Data.begin(), Data.end());
  enhanced_ = Enhanced;
  bitmaps_ = std::make_shared<TMetafileBitmapCache>();
  estimated_width_ = estimated_height_ = -1;
  overrun_ = 1;
  bitmap_claim_.reset();
  DropRendering();
  SetSize(frame.width(), frame.height());
}

// A frame is only claimed, and wherever the picture becomes a bitmap (an export, a copy)
// it is drawn whole at this size: a larger one is scaled down as it stands.
void TMetafile::SetSize(int Width, int Height) {
  double width = std::max(0, Width), height = std::max(0, Height);
  if (width * height > double(kMaxUnbackedGraphicPixels)) {
    const double scale = std::sqrt(double(kMaxUnbackedGraphicPixels) / (width * height));
    width = std::max(1.0, std::floor(width * scale));
    height = std::max(1.0, std::floor(height * scale));
  }
  width_ = int(width);
  height_ = int(height);
}

TMetafile::TMetafile(const TMetafile& Other)
    : TGraphic(Other),
      data_(Other.data_),
      enhanced_(Other.enhanced_),
      width_(Other.width_),
      height_(Other.height_),
      bitmap_claim_(Other.bitmap_claim_),
      bitmaps_(Other.bitmaps_) {}

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() {
  DropRendering();
}

void TMetafile::DropRendering() const {
  if (rendering_) rendering_->Cancelled = true;
  rendering_.reset();
}

namespace {

// Whether a copy of a rendering puts on the painter's device what playing does, up to
// the stretching of the copy: plain source-over, nothing seen through, on pixels.
bool CopiesAsPlayed(QPainter& painter) {
  return painter.opacity() == 1 &&
         painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
         painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
}

// Whether the painter's device holds no alpha of its own: a window (not see-through), or an
// image without an alpha channel. Only there does a kept drawing of a picture that combines
// with what lies under it bit by bit show what playing shows: what such an operation makes
// of a see-through pixel is the paint engine's own.
bool OpaqueDevice(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  if (device->devType() == QInternal::Widget)
    return !static_cast<const QWidget*>(device)->testAttribute(Qt::WA_TranslucentBackground);
  return device->devType() == QInternal::Image &&
         !static_cast<const QImage*>(device)->hasAlphaChannel();
}

// Combines what lies under the kept drawing with it bit by bit where it does so, before
// it is drawn: ANDs it with the bits kept, then XORs it with those flipped (about a copy
// each; by difference took three times as long), over the part that holds them. The masks
// are not smoothed when stretched: a bit half flipped is no bit.
void DrawCombination(QPainter& painter, const QRectF& target, const TKeptDrawing& kept) {
  const double across = target.width() / kept.Shows.width();
  const double down = target.height() / kept.Shows.height();
  const QRect& part = kept.Combined;
  const QRectF onDevice(target.x() + part.x() * across, target.y() + part.y() * down,
                        part.width() * across, part.height() * down);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (!kept.Keeps.isNull()) {
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(onDevice, kept.Keeps, QRectF(part));
  }
  if (!kept.Toggles.isNull()) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(onDevice, kept.Toggles, QRectF(part));
  }
  painter.restore();
}

// The window a paint on the painter shows in: its own device, or the window whose paint
// event draws into a bitmap to show it; null off the screen.
QWidget* WindowOf(QPainter& painter) {
  return painter.device()->devType() == QInternal::Widget ? static_cast<QWidget*>(painter.device())
                                                          : TScreenPaint::Current();
}

// Whether the painter's device combines bit by bit as raster operations ask: Qt's raster
// engine does; a PDF page draws them as plain copies.
bool CombinesBitwise(const QPainter& painter) {
  return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
}

// The kept drawing as it shows over white paper: where it combines with what lies under it,
// combined with white, opaque; elsewhere what it puts there, as see-through as it is.
QImage OnPaper(const TKeptDrawing& kept) {
  QImage paper = kept.Shows.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRect part = kept.Combined & paper.rect();
  for (int y = part.top(); y <= part.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(paper.scanLine(y));
    const auto* keeps =
        kept.Keeps.isNull() ? nullptr : reinterpret_cast<const QRgb*>(kept.Keeps.constScanLine(y));
    const auto* toggles = kept.Toggles.isNull()
                              ? nullptr
                              : reinterpret_cast<const QRgb*>(kept.Toggles.constScanLine(y));
    for (int x = part.left(); x <= part.right(); ++x) {
      const QRgb under = ((keeps ? keeps[x] : RGB_MASK) ^ (toggles ? toggles[x] : 0)) & RGB_MASK;
      if (under == RGB_MASK) continue;
      const int clear = 255 - qAlpha(row[x]);
      const auto over = [&](int shows, int below) { return shows + (below * clear + 127) / 255; };
      row[x] = qRgb(over(qRed(row[x]), qRed(under)), over(qGreen(row[x]), qGreen(under)),
                    over(qBlue(row[x]), qBlue(under)));
    }
  }
  return paper;
}

// Image at Pixels (a kept drawing may stand in at fewer) for a device of Ratio pixels a
// unit. A mask is not smoothed: a bit half flipped is no bit.
QImage AtPixels(const QImage& image, const QSize& pixels, double ratio, bool smooth) {
  QImage sized = image.size() == pixels
                     ? image
                     : image.scaled(pixels, Qt::IgnoreAspectRatio,
                                    smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
  sized.setDevicePixelRatio(ratio);
  return sized;
}

}  // namespace

void TMetafile::Count(int Width, int Height, double Ratio) const {
  if (Width == estimated_width_ && Height == estimated_height_ && Ratio == estimated_ratio_) return;
  const TMetafileWork work = MetafileWork(QSizeF(Width, Height), Ratio, data_, enhanced_,
                                          TPlayMode::Measure, bitmaps_.get());
  estimated_work_ = work.Nanoseconds * overrun_;
  estimated_reads_backdrop_ = work.ReadsBackdrop;
  estimated_width_ = Width;
  estimated_height_ = Height;
  estimated_ratio_ = Ratio;
}

void TMetafile::Draw(TCanvas& Canvas, const TRect& Rect) const {
  QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter();
  if (!painter || data_.empty() || Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
  const QRectF target = QRectF(ToQRect(Rect));
  const double ratio = painter->device()->devicePixelRatio();
  const QSize size(Rect.Width(), Rect.Height());
  if (!CombinesBitwise(*painter)) {
    // A page that draws raster operations as plain copies (a PDF page) shows what the
    // picture shows over white paper, as its tiles do.
    Count(size.width(), size.height(), ratio);
    if (estimated_reads_backdrop_) {
      const TKeptDrawing kept = KeptMetafile(rendering_, data_, enhanced_, bitmaps_, nullptr, size,
                                             ratio, estimated_reads_backdrop_);
      if (!kept.IsNull()) painter->drawImage(target, OnPaper(kept));
      return;
    }
  }
  if (!CopiesAsPlayed(*painter)) {
    PlayMetafile(*painter, target, data_, enhanced_, TPlayMode::Draw, nullptr, bitmaps_.get());
    return;
  }
  Count(size.width(), size.height(), ratio);
  // On a window, or in a bitmap that a window's paint event draws to show it, the picture
  // is kept as drawn on a thread of its own. Elsewhere (an export, a print) it is kept at
  // once, drawn there and copied from then on; but for one whose raster operations combine
  // it with what lies under it, which only playing draws exactly, and for one reaching
  // beyond the device, which playing draws only where it lies on it: those are kept only
  // when playing them would cost more than a draw may spend. The first are played on a
  // device that holds alpha, wherever it is.
  QWidget* const window = WindowOf(*painter);
  const QRectF device(0, 0, painter->device()->width(), painter->device()->height());
  const bool keptHere = (window || estimated_work_ > kMetafileDrawBudget ||
                         (!estimated_reads_backdrop_ && device.contains(target))) &&
                        (!estimated_reads_backdrop_ || OpaqueDevice(*painter));
  const TKeptDrawing kept = estimated_work_ > kMetafilePaintBudget && keptHere
                                ? KeptMetafile(rendering_, data_, enhanced_, bitmaps_, window, size,
                                               ratio, estimated_reads_backdrop_)
                                : TKeptDrawing();
  if (kept.IsNull()) {
    // What the play took raises its price where the count fell short (the stroker's and
    // rasterizer's work differs from one processor to another): a picture whose play costs
    // more than a paint may is kept from its next draw on, at this size and any other.
    const double start = ThreadSeconds();
    PlayMetafile(*painter, target, data_, enhanced_, TPlayMode::Draw, nullptr, bitmaps_.get());
    const double took = (ThreadSeconds() - start) * 1e9;
    if (took > kMetafilePaintBudget / 4 && took > estimated_work_)
      overrun_ *= took / std::max(estimated_work_, 1.0);
    estimated_work_ = std::max(estimated_work_, took);
    return;
  }
  // Playing draws in the painter's device space, whatever transform it holds: so does this.
  painter->save();
  painter->setTransform(QTransform());
  if (kept.Shows.size() != (QSizeF(size) * ratio).toSize())
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
  if (!kept.Combined.isEmpty()) DrawCombination(*painter, target, kept);
  painter->drawImage(target, kept.Shows);
  painter->restore();
}

void TMetafile::DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const {
  QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter();
  if (!painter || data_.empty()) return;
  const double ratio = painter->device()->devicePixelRatio();
  const QSize size(Copy.Width(), Copy.Height());
  Count(size.width(), size.height(), ratio);
  if (!estimated_reads_backdrop_) {
    TGraphic::DrawTiled(Canvas, Area, Copy);
    return;
  }
  // Drawn over black, white and grey (see KeptMetafile): on a screen on a thread of its own
  // once those three plays cost more than a paint may.
  QWidget* const window = 3 * estimated_work_ > kMetafilePaintBudget ? WindowOf(*painter) : nullptr;
  const TKeptDrawing kept = KeptMetafile(rendering_, data_, enhanced_, bitmaps_, window, size,
                                         ratio, estimated_reads_backdrop_);
  if (kept.IsNull()) return;
  const QSize pixels = (QSizeF(size) * ratio).toSize().expandedTo(QSize(1, 1));
  const QPoint origin(Copy.Left, Copy.Top);
  if (!CombinesBitwise(*painter)) {
    TCanvasAccess::TileImage(Canvas, Area, origin, AtPixels(OnPaper(kept), pixels, ratio, true));
    return;
  }
  // Each copy as Draw draws the kept drawing: what lies under it ANDed and XORed with the
  // masks, then what it puts there over that.
  if (!kept.Keeps.isNull())
    TCanvasAccess::TileImage(Canvas, Area, origin, AtPixels(kept.Keeps, pixels, ratio, false),
                             QPainter::RasterOp_SourceAndDestination);
  if (!kept.Toggles.isNull())
    TCanvasAccess::TileImage(Canvas, Area, origin, AtPixels(kept.Toggles, pixels, ratio, false),
                             QPainter::RasterOp_SourceXorDestination);
  TCanvasAccess::TileImage(Canvas, Area, origin, AtPixels(kept.Shows, pixels, ratio, true));
}

TMetafileBitmapClaim TMetafile::BitmapClaim() const {
  if (!bitmap_claim_)
    bitmap_claim_ = MetafileWork(QSizeF(std::max(width_, 1), std::max(height_, 1)), 1, data_,
                                 enhanced_, TPlayMode::Measure, bitmaps_.get())
                        .Bitmaps;
  return *bitmap_claim_;
}

void TMetafile::LoadFromStream(TStream& Stream) {
  std::vector<std::uint8_t> bytes(
      std::size_t(std::max<std::int64_t>(0, Stream.Size() - Stream.Position())));
  Stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
  Load(bytes, IsEnhancedMetafile(bytes));
}

void TMetafile::SaveToStream(TStream& Stream) const {
  Stream.WriteBuffer(data_.data(), std::int64_t(data_.size()));
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  return std::make_unique<TMetafile>(*this);
}
