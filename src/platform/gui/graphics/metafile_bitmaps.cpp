// The bitmap records of both metafile forms: device-independent bitmaps with their
// raster operations, masks and blends, and the old device-dependent ones. A bitmap costs
// the pixels its header claims, before it is decoded: a few bytes of runs may claim
// 4096 x 4096. Those past the picture's budget, and those whose runs claim far more than
// their bytes can set (DibRunsCarryItsSize), are left out; the others are decoded once
// for all plays of the picture.
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/metafile_bitmap_cache_qt.h"
#include "platform/gui/graphics/metafile_player_impl_qt.h"

namespace metafile_play {

namespace {

// The most runs of set pixels a mask may have, each a rectangle of the region it becomes
// (16 bytes): masks are icons and cut-outs, and one of alternating pixels with the bytes
// for millions of them is not drawn.
constexpr std::size_t kMaxMaskRuns = std::size_t(1) << 20;

// What decoding a bitmap costs a pixel its header claims, in nanoseconds: its rows read or
// its runs filled in, in memory touched for the first time. One of 4096 x 4096 costs more
// than a paint may spend, so a picture that has to decode it is kept as drawn, and decoded
// on the drawing's own thread.
constexpr double kDecodeWork = 10;
// The most pixels a first look decodes of a bitmap not decoded before (10 ms or so): a
// larger one is left to the full drawing.
constexpr std::int64_t kMostRoughDecodedPixels = std::int64_t(1) << 20;

// The raster operations of the bitmap records: how the source combines with what the
// picture drew before. Only the common ones are played; any other that reads the source
// copies it, and any other without a source leaves the picture as it is.
struct TRasterOp {
  std::uint32_t Code;
  QPainter::CompositionMode Mode;
  bool Source;  // the bitmap takes part, else the brush or nothing
};
constexpr std::uint32_t kSourceCopy = 0x00CC0020;  // the bitmap over what lies there
constexpr TRasterOp kRasterOps[] = {
    {kSourceCopy, QPainter::CompositionMode_SourceOver, true},
    {0x00EE0086, QPainter::RasterOp_SourceOrDestination, true},
    {0x008800C6, QPainter::RasterOp_SourceAndDestination, true},
    {0x00660046, QPainter::RasterOp_SourceXorDestination, true},
    {0x00440328, QPainter::RasterOp_SourceAndNotDestination, true},
    {0x00330008, QPainter::RasterOp_NotSource, true},
    {0x001100A6, QPainter::RasterOp_NotSourceAndNotDestination, true},
    {0x00BB0226, QPainter::RasterOp_NotSourceOrDestination, true},
    {0x00F00021, QPainter::CompositionMode_SourceOver, false},  // the brush
    {0x005A0049, QPainter::RasterOp_SourceXorDestination, false},
    {0x00550009, QPainter::RasterOp_NotDestination, false},
    {0x00000042, QPainter::RasterOp_ClearDestination, false},
    {0x00FF0062, QPainter::RasterOp_SetDestination, false},
    {0x00AA0029, QPainter::CompositionMode_Destination, false},  // the picture as it is
};

// The raster operation a mask record names by its number (the third byte of its code).
std::uint32_t RasterOpNumbered(std::uint32_t number) {
  const TRasterOp* op = std::find_if(std::begin(kRasterOps), std::end(kRasterOps),
                                     [&](const TRasterOp& o) { return (o.Code >> 16) == number; });
  return op != std::end(kRasterOps) ? op->Code : number << 16;
}

}  // namespace

// Raster operations work on colours alone: on a device whose pixels hold alpha (a control
// painted alone, an image) Qt's leave see-through pixels with colours above their alpha,
// which no premultiplied pixel holds, and which Qt's blending then makes one colour of in
// one run of pixels and another in the next, by where the run lies in memory (a picture
// came out differently from one run of the program to the next). Such colours are held to
// their alpha here, in the device's pixels Box covers: an operation leaves what shows
// through a pixel as it was.
void HoldToAlpha(QPainter& painter, const QRectF& box) {
  QPaintDevice* device = painter.device();
  if (device->devType() != QInternal::Image) return;
  auto* image = static_cast<QImage*>(device);
  if (image->format() != QImage::Format_ARGB32_Premultiplied) return;
  const QRect rect = painter.deviceTransform().mapRect(box).toAlignedRect() & image->rect();
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const int alpha = qAlpha(line[x]);
      if (alpha < 255)
        line[x] = qRgba(std::min(qRed(line[x]), alpha), std::min(qGreen(line[x]), alpha),
                        std::min(qBlue(line[x]), alpha), alpha);
    }
  }
}

void TPlayer::KeepBitmapsIn(TMetafileBitmapCache* cache, std::span<const std::uint8_t> picture) {
  bitmap_cache_ = cache;
  picture_ = picture;
}

std::int64_t TPlayer::TakeBitmapPixels(const TSource& source) {
  std::int64_t pixels = 0;
  bool carried = false;
  try {
    pixels = DibSize(source.Info).Pixels();
    carried = DibRunsCarryItsSize(source.Info, source.Info.size() + source.Bits.size());
  } catch (const EInvalidGraphic&) {
    return -1;
  }
  if (!carried || pixels > bitmap_pixels_left_) {
    left_bitmaps_out_ = true;
    return -1;
  }
  bitmap_pixels_left_ -= pixels;
  return pixels;
}

std::optional<QImage> TPlayer::SourceImage(const TSource& source, bool withAlpha) {
  // Known by where it lies in the picture: a converted device bitmap lies elsewhere.
  const std::uint8_t* at = source.Info.data();
  const bool inPicture = at >= picture_.data() && at < picture_.data() + picture_.size();
  if (inPicture && at == last_bitmap_at_) return last_bitmap_;
  const bool keepable = bitmap_cache_ && inPicture;
  const std::size_t offset = keepable ? std::size_t(at - picture_.data()) : 0;
  QImage image = keepable ? bitmap_cache_->Find(offset) : QImage();
  if (image.isNull()) {
    const std::int64_t pixels = TakeBitmapPixels(source);
    if (pixels < 0 || (rough_ && pixels > kMostRoughDecodedPixels)) return std::nullopt;
    work_ += double(pixels) * kDecodeWork;
    if (measuring_) return QImage();
    TBitmap bitmap;
    std::vector<std::uint8_t> alpha;  // each pixel's, when the blend goes by it
    try {
      if (source.Bits.empty())
        ReadPackedDib(source.Info, bitmap);
      else
        ReadDib(source.Info, source.Bits, bitmap);
      if (withAlpha) alpha = ReadDibAlpha(source.Info, source.Bits);
    } catch (const EInvalidGraphic&) {
      return std::nullopt;
    }
    // In the form the painter draws without converting it on every draw.
    image = WithAlpha(TBitmapAccess::Image(bitmap), alpha);
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
      image.convertTo(QImage::Format_RGB32);
    if (keepable) bitmap_cache_->Keep(offset, image);
  } else {
    // Counted as the play that decoded it counted it, so that every play draws the same.
    std::int64_t pixels = std::int64_t(image.width()) * image.height();
    if (pixels > bitmap_pixels_left_) {
      left_bitmaps_out_ = true;
      return std::nullopt;
    }
    bitmap_pixels_left_ -= pixels;
  }
  if (inPicture) {
    last_bitmap_at_ = at;
    last_bitmap_ = image;
  }
  return image;
}

TBlend TPlayer::BlendOf(std::uint32_t function) {
  return TBlend{double(function >> 16 & 0xFF) / 255, (function >> 24 & 1) != 0};
}

void TPlayer::Blit(const TDest& dest, const std::optional<TSource>& source, std::uint32_t rop,
                   TBlend blend, const std::optional<QRegion>& within) {
  const TRasterOp* op = std::find_if(std::begin(kRasterOps), std::end(kRasterOps),
                                     [&](const TRasterOp& o) { return o.Code == rop; });
  const bool known = op != std::end(kRasterOps);
  const bool drawsSource = !known || op->Source;
  if (!source && drawsSource) return;
  if (ClippedAway() || dest.Empty()) return;
  std::optional<QImage> decoded;
  if (source && !(decoded = SourceImage(*source, blend.SourceAlpha))) return;
  const bool readsBelow = known && op->Mode != QPainter::CompositionMode_SourceOver &&
                          op->Mode != QPainter::CompositionMode_Destination;
  read_backdrop_ = read_backdrop_ || (known && op->Mode != QPainter::CompositionMode_SourceOver) ||
                   blend.Opacity < 1 || blend.SourceAlpha;
  const QTransform t = Transform();
  const QRectF shown = t.map(dest.Outline()).boundingRect() & View();
  work_ += shown.width() * shown.height() * kPixelWork;
  if (measuring_) return;
  ApplyClip();
  painter_.save();
  painter_.setCompositionMode(known ? op->Mode : QPainter::CompositionMode_SourceOver);
  painter_.setOpacity(blend.Opacity);
  if (source) {
    const QImage& image = *decoded;
    QRectF part = source->Part;
    if (source->FromBottom) part.moveTop(image.height() - part.top() - part.height());
    if (part.isEmpty()) part = QRectF(image.rect());
    // Through the mapping of the part onto Dest, which mirrors with a negative side.
    painter_.setTransform(dest.From(part.size()) * t);
    if (within) painter_.setClipRegion(*within, Qt::IntersectClip);
    if (drawsSource) painter_.drawImage(QRectF(QPointF(), part.size()), image, part);
    if (drawsSource && readsBelow) HoldToAlpha(painter_, QRectF(QPointF(), part.size()));
  }
  if (!drawsSource) {
    painter_.setTransform(t);
    const QRectF box = dest.Outline().boundingRect();
    if (op->Mode == QPainter::CompositionMode_SourceOver ||
        op->Mode == QPainter::RasterOp_SourceXorDestination)
      painter_.fillRect(box, state_.Brush);
    else
      painter_.fillRect(box, Qt::black);  // the operation gives the colour
    if (readsBelow) HoldToAlpha(painter_, box);
  }
  painter_.restore();
}

void TPlayer::MaskedBlit(const TDest& dest, const std::optional<TSource>& source,
                         const std::optional<TSource>& mask, std::uint32_t rop4) {
  const std::uint32_t fore = rop4 & 0x00FFFFFF;
  if (!source || !mask) {
    Blit(dest, source, fore);
    return;
  }
  const std::int64_t maskPixels = TakeBitmapPixels(*mask);
  if (maskPixels < 0) return;
  work_ += double(maskPixels) * kDecodeWork;
  std::optional<QRegion> set, clear;
  if (!measuring_) {
    TBitmap bitmap;
    try {
      ReadDib(mask->Info, mask->Bits, bitmap);
    } catch (const EInvalidGraphic&) {
      return;
    }
    const QImage& image = TBitmapAccess::Image(bitmap);
    // As the source's, an empty part is the whole mask; held where pixels can count.
    const auto held = [](double v) { return int(std::clamp(v, -1e7, 1e7)); };
    const QRectF p = mask->Part;
    const QRect part = p.isEmpty()
                           ? image.rect()
                           : QRect(held(p.x()), held(p.y()), held(p.width()), held(p.height()));
    set = SetPixels(image, part);
    if (!set) return;
    clear = QRegion(QRect(QPoint(), part.size())) - *set;
  }
  Blit(dest, source, RasterOpNumbered(rop4 >> 24), {}, clear);
  Blit(dest, source, fore, {}, set);
}

std::optional<QRegion> TPlayer::SetPixels(const QImage& mask, const QRect& part) {
  const QRect inside = part & mask.rect();
  work_ += double(inside.width()) * inside.height() * kPixelWork;
  // The bitmap's pixels are 24 or 32 bits, blue, green and red first.
  const int step = mask.depth() / 8;
  if (step < 3) return std::nullopt;
  const auto set = [&](const uchar* row, int x) {
    const uchar* p = row + std::size_t(x) * std::size_t(step);
    return (p[0] | p[1] | p[2]) != 0;
  };
  std::vector<QRect> runs;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    const uchar* row = mask.constScanLine(y);
    for (int x = inside.left(); x <= inside.right();) {
      if (!set(row, x)) {
        ++x;
        continue;
      }
      const int from = x;
      while (x <= inside.right() && set(row, x)) ++x;
      if (runs.size() == kMaxMaskRuns) return std::nullopt;
      runs.emplace_back(from - part.left(), y - part.top(), x - from, 1);
    }
  }
  QRegion region;
  if (!runs.empty()) region.setRects(runs.data(), int(runs.size()));
  return region;
}

QImage TPlayer::WithAlpha(const QImage& opaque, const std::vector<std::uint8_t>& alpha) {
  if (alpha.size() != std::size_t(opaque.width()) * std::size_t(opaque.height())) return opaque;
  QImage image = opaque.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const std::uint8_t* a = alpha.data() + std::size_t(y) * std::size_t(image.width());
    for (int x = 0; x < image.width(); ++x)
      row[x] = qRgba(std::min(qRed(row[x]), int(a[x])), std::min(qGreen(row[x]), int(a[x])),
                     std::min(qBlue(row[x]), int(a[x])), a[x]);
  }
  return image;
}

std::optional<TPlayer::TSource> TPlayer::EnhancedDib(const TRecord& r, std::size_t at, QRectF part,
                                                     bool fromBottom) {
  const std::uint32_t infoAt = r.U32(at), infoSize = r.U32(at + 4);
  const std::uint32_t bitsAt = r.U32(at + 8), bitsSize = r.U32(at + 12);
  if (infoSize == 0 || bitsSize == 0 || !r.Has(infoAt, infoSize) || !r.Has(bitsAt, bitsSize))
    return std::nullopt;
  return TSource{r.Bytes(infoAt, infoSize), r.Bytes(bitsAt, bitsSize), part, fromBottom};
}

std::optional<TPlayer::TSource> TPlayer::WindowsDib(const TRecord& r, std::size_t at, QRectF part,
                                                    bool fromBottom) {
  if (!r.Has(at, 12)) return std::nullopt;
  return TSource{r.Bytes(at, r.Size() - at), {}, part, fromBottom};
}

std::optional<TPlayer::TSource> TPlayer::DeviceBitmap(const TRecord& r, std::size_t at, QRectF part,
                                                      std::vector<std::uint8_t>& converted) const {
  const std::int32_t width = r.I16(at + 2), height = r.I16(at + 4), rowBytes = r.I16(at + 6);
  const std::uint32_t planes = r.U8(at + 8), bits = r.U8(at + 9);
  if (width <= 0 || height <= 0 || planes != 1 ||
      (bits != 1 && bits != 16 && bits != 24 && bits != 32))
    return std::nullopt;
  const std::size_t used = (std::size_t(width) * bits + 7) / 8;
  const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
  if (rowBytes < 0 || std::size_t(rowBytes) < used ||
      !r.Has(at + 10, std::size_t(rowBytes) * std::size_t(height)))
    return std::nullopt;
  const auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) converted.push_back(std::uint8_t(value >> (8 * i)));
  };
  const std::uint32_t colours = bits == 1 ? 2 : 0;
  put(40, 4);
  put(std::uint32_t(width), 4);
  put(std::uint32_t(-height), 4);  // rows from the top
  put(1, 2);
  put(bits, 2);
  put(0, 4);
  put(std::uint32_t(stride * std::size_t(height)), 4);
  put(0, 4);
  put(0, 4);
  put(colours, 4);
  put(0, 4);
  if (colours != 0)
    for (const QColor& c : {state_.TextColor, state_.BackColor})
      put(std::uint32_t(c.blue() | c.green() << 8 | c.red() << 16), 4);
  for (std::int32_t y = 0; y < height; ++y) {
    const auto row = r.Bytes(at + 10 + std::size_t(y) * std::size_t(rowBytes), used);
    converted.insert(converted.end(), row.begin(), row.end());
    converted.resize(converted.size() + stride - used, 0);
  }
  return TSource{converted, {}, part, false};
}

bool TPlayer::WindowsBitmapRecord(std::uint32_t function, const TRecord& r) {
  switch (function) {
    case 0x0F43:  // StretchDIB: operation, colour use, source, destination, bitmap
      Blit(QRectF(WindowsPoint(r, 18), QSizeF(r.I16(16), r.I16(14))),
           WindowsDib(r, 22, QRectF(r.I16(12), r.I16(10), r.I16(8), r.I16(6)), true), r.U32(0));
      return true;
    case 0x0B41:    // DIBStretchBlt: operation, source, destination, bitmap
    case 0x0B23: {  // StretchBlt: the same with a device-dependent bitmap
      if (r.Size() == 22) {
        Blit(QRectF(WindowsPoint(r, 18), QSizeF(r.I16(16), r.I16(14))), std::nullopt, r.U32(0));
        return true;
      }
      const QRectF part(r.I16(10), r.I16(8), r.I16(6), r.I16(4));
      std::vector<std::uint8_t> converted;
      Blit(QRectF(WindowsPoint(r, 16), QSizeF(r.I16(14), r.I16(12))),
           function == 0x0B23 ? DeviceBitmap(r, 20, part, converted)
                              : WindowsDib(r, 20, part, false),
           r.U32(0));
      return true;
    }
    case 0x0940:    // DIBBitBlt: operation, source origin, size, destination, bitmap
    case 0x0922: {  // BitBlt: the same with a device-dependent bitmap
      if (r.Size() == 18) {
        Blit(QRectF(WindowsPoint(r, 14), QSizeF(r.I16(12), r.I16(10))), std::nullopt, r.U32(0));
        return true;
      }
      const QRectF part(r.I16(6), r.I16(4), r.I16(10), r.I16(8));
      std::vector<std::uint8_t> converted;
      Blit(QRectF(WindowsPoint(r, 12), QSizeF(r.I16(10), r.I16(8))),
           function == 0x0922 ? DeviceBitmap(r, 16, part, converted)
                              : WindowsDib(r, 16, part, false),
           r.U32(0));
      return true;
    }
    case 0x061D:  // PatBlt: operation, size, destination
      Blit(QRectF(WindowsPoint(r, 8), QSizeF(r.I16(6), r.I16(4))), std::nullopt, r.U32(0));
      return true;
    case 0x0D33:  // SetDIBitsToDevice: colour use, scans, source, size, destination, bitmap
      Blit(QRectF(WindowsPoint(r, 14), QSizeF(r.I16(12), r.I16(10))),
           WindowsDib(r, 18, QRectF(r.I16(8), r.I16(6), r.I16(12), r.I16(10)), true), kSourceCopy);
      return true;
    default:
      return false;
  }
}

bool TPlayer::EnhancedBitmapRecord(std::uint32_t type, const TRecord& r) {
  switch (type) {
    case 76:     // BitBlt: bounds, destination, operation, source, its transform, the bitmap
    case 77:     // StretchBlt: the same, then the source's size
    case 114: {  // AlphaBlend: as StretchBlt, a blend function for the operation
      const QRectF dest(EnhancedPoint(r, 24), QSizeF(r.I32(32), r.I32(36)));
      const QSizeF size = type != 76 ? QSizeF(r.I32(100), r.I32(104)) : dest.size();
      const auto source = EnhancedDib(r, 84, QRectF(EnhancedPoint(r, 44), size), false);
      if (type == 114)
        Blit(dest, source, kSourceCopy, BlendOf(r.U32(40)));
      else
        Blit(dest, source, r.U32(40));
      return true;
    }
    case 78: {  // MaskBlt: as BitBlt, then the mask's origin, colour use and bitmap
      const QRectF dest(EnhancedPoint(r, 24), QSizeF(r.I32(32), r.I32(36)));
      MaskedBlit(dest, EnhancedDib(r, 84, QRectF(EnhancedPoint(r, 44), dest.size()), false),
                 EnhancedDib(r, 112, QRectF(EnhancedPoint(r, 100), dest.size()), false), r.U32(40));
      return true;
    }
    case 79: {  // PlgBlt: bounds, three corners, source, its transform, the bitmap, the mask
      const QRectF part(EnhancedPoint(r, 48), QSizeF(r.I32(56), r.I32(60)));
      MaskedBlit(TDest(EnhancedPoint(r, 24), EnhancedPoint(r, 32) - EnhancedPoint(r, 24),
                       EnhancedPoint(r, 40) - EnhancedPoint(r, 24)),
                 EnhancedDib(r, 96, part, false),
                 EnhancedDib(r, 124, QRectF(EnhancedPoint(r, 112), part.size()), false),
                 0xAA000000 | kSourceCopy);
      return true;
    }
    case 81:  // StretchDIBits: bounds, destination, source, the bitmap, operation, size
      Blit(QRectF(EnhancedPoint(r, 24), QSizeF(r.I32(72), r.I32(76))),
           EnhancedDib(r, 48, QRectF(EnhancedPoint(r, 32), QSizeF(r.I32(40), r.I32(44))), true),
           r.U32(68));
      return true;
    case 80:  // SetDIBitsToDevice: bounds, destination, source, the bitmap, scans
      Blit(QRectF(EnhancedPoint(r, 24), QSizeF(r.I32(40), r.I32(44))),
           EnhancedDib(r, 48, QRectF(EnhancedPoint(r, 32), QSizeF(r.I32(40), r.I32(44))), true),
           kSourceCopy);
      return true;
    default:
      return false;
  }
}

}  // namespace metafile_play
