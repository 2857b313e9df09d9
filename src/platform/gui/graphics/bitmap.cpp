#include "platform/gui/graphics/bitmap.h"

#include <QPainter>
#include <climits>
#include <memory>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include "platform/gui/graphics/bitmap_file.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/text/format.h"
#include "platform/text/streams.h"

namespace {

// The file and info headers WriteBmp writes.
constexpr std::int64_t kBmpHeadersSize = 14 + 40;

QImage::Format ToQFormat(TPixelFormat format) {
  return format == pf24bit ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

}  // namespace

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(stream);
}

namespace {

// Up to this many copies are drawn one by one: a pattern first draws the picture once
// more, into memory.
constexpr std::int64_t kTilesDrawnOneByOne = 4;
// A picture larger than this is drawn copy by copy whatever their count: its pattern
// would hold more memory than the drawing saves.
constexpr std::int64_t kMaxPatternPixels = 2048 * 2048;

// How many Width x Height copies meet Area at most (a copy may stick out on either side).
std::int64_t TilesOver(const TRect& Area, int Width, int Height) {
  return (std::int64_t(Area.Width()) / Width + 2) * (std::int64_t(Area.Height()) / Height + 2);
}

// The picture drawn once stretched to Width x Height over clear pixels, what shows
// through it kept clear.
QImage DrawnTile(const TGraphic& Graphic, int Width, int Height) {
  QImage tile(Width, Height, QImage::Format_ARGB32_Premultiplied);
  if (tile.isNull()) return tile;
  tile.fill(Qt::transparent);
  TCanvas canvas;
  TCanvasAccess::SetImage(canvas, &tile, {});
  Graphic.Draw(canvas, Bounds(0, 0, Width, Height));
  TCanvasAccess::EndPainting(canvas);
  return tile;
}

}  // namespace

void TGraphic::DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const {
  const int w = Copy.Width(), h = Copy.Height();
  if (TilesOver(Area, w, h) > kTilesDrawnOneByOne && std::int64_t(w) * h <= kMaxPatternPixels) {
    const QImage tile = DrawnTile(*this, w, h);
    if (!tile.isNull()) {
      TCanvasAccess::TileImage(Canvas, Area, QPoint(Copy.Left, Copy.Top), tile);
      return;
    }
  }
  Canvas.IntersectClipRect(Area);
  ForEachTile(Area, Copy.Left, Copy.Top, w, h,
              [&](int x, int y) { Draw(Canvas, Bounds(x, y, w, h)); });
  Canvas.RestoreClip();
}

// Composed whole in memory first: a save that fails half way leaves the old file.
void TGraphic::SaveToFile(const std::string& FileName) const {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(FileName);
}

struct TBitmap::Impl {
  Impl() {
    TCanvasAccess::SetImage(
        canvas, &image, [this] { Changed(); },
        [this] {
          Unpack();
          MakeRowsOpaque();
        });
  }

  // The pixels for reading; the canvas stops painting so nothing is half drawn.
  const QImage& Pixels() {
    TCanvasAccess::EndPainting(canvas);
    Unpack();
    MakeRowsOpaque();
    return image;
  }
  // A row handed out through ScanLine: its fourth bytes are the writer's to leave as they
  // are, but the pixels draw opaque whatever it left there.
  // Rows are made opaque when next read or drawn, so a writer may hold several at once.
  std::uint8_t* WritableRow(int Row) {
    TCanvasAccess::EndPainting(canvas);
    Unpack();
    Changed();
    if (image.format() == QImage::Format_RGB32) {
      opaqueFrom = std::min(opaqueFrom, Row);
      opaqueTo = std::max(opaqueTo, Row + 1);
    }
    return image.scanLine(Row);
  }
  // Qt blends 32-bit pixels by their fourth byte even in its opaque layout; a writer that
  // left 0 there would have every pixel added onto whatever it is drawn over.
  void MakeRowsOpaque() {
    if (opaqueFrom >= opaqueTo) return;
    const int to = std::min(opaqueTo, image.height());
    if (image.format() == QImage::Format_RGB32)
      for (int y = opaqueFrom; y < to; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) row[x] |= 0xFF000000u;
      }
    opaqueFrom = INT_MAX;
    opaqueTo = 0;
  }
  QImage& MutablePixels() {
    TCanvasAccess::EndPainting(canvas);
    Unpack();
    MakeRowsOpaque();
    Changed();
    return image;
  }
  // The pixels are about to change: what was made of them, and the file they were
  // loaded from, no longer hold.
  void Changed() {
    maskValid = false;
    file.reset();
  }
  // Whichever holds the pixels now.
  const QImage& Held() const { return packed.isNull() ? image : packed; }

  // Back from the packed form to the bitmap's own layout; the cut-out colour is put
  // back where the pixels are clear.
  void Unpack() {
    if (packed.isNull()) return;
    QImage unpacked(packed.size(), QImage::Format_RGB32);
    const QList<QRgb> table = packed.colorTable();
    for (int y = 0; y < packed.height(); ++y) {
      const uchar* from = packed.constScanLine(y);
      auto* to = reinterpret_cast<QRgb*>(unpacked.scanLine(y));
      for (int x = 0; x < packed.width(); ++x) to[x] = table[from[x]] | 0xFF000000u;
    }
    if (format == pf24bit) unpacked.convertTo(QImage::Format_BGR888);
    image = std::move(unpacked);
    packed = QImage();
    maskValid = false;
  }

  TPixelFormat format = pf32bit;
  QImage image;
  // The file the pixels were loaded from, while they are as loaded (see LoadedFile).
  std::shared_ptr<const std::string> file;
  // Rows written through ScanLine since the last read, [opaqueFrom, opaqueTo).
  int opaqueFrom = INT_MAX, opaqueTo = 0;
  TCanvas canvas;
  // The pixels with the transparent colour cut out, kept between draws.
  mutable QImage masked;
  mutable TColor maskColor = clNone;
  mutable bool maskValid = false;
  // A compacted bitmap: the pixels as drawn, one byte each into a colour table (clear
  // entries keep the cut-out colour); `image` is empty meanwhile.
  QImage packed;
  TColor packedKey = clNone;  // the colour cut out, or clNone for an opaque picture
  // The cover of the drawn pixels whose cache key is coverKey.
  mutable qint64 coverKey = 0;
  mutable TFaceCover cover;
};

TBitmap::TBitmap() : impl_(std::make_unique<Impl>()) {}
TBitmap::~TBitmap() = default;

int TBitmap::Width() const {
  return impl_->Held().width();
}
int TBitmap::Height() const {
  return impl_->Held().height();
}

void TBitmap::SetSize(int NewWidth, int NewHeight) {
  NewWidth = std::max(NewWidth, 0);
  NewHeight = std::max(NewHeight, 0);
  if (NewWidth == Width() && NewHeight == Height()) return;
  QImage& image = impl_->MutablePixels();
  if (NewWidth == 0 || NewHeight == 0) {
    image = QImage();
    return;
  }
  QImage resized(NewWidth, NewHeight, ToQFormat(impl_->format));
  if (resized.isNull())
    throw EInvalidGraphic(
        Format("Not enough memory for a bitmap of %d x %d pixels", NewWidth, NewHeight));
  resized.fill(Qt::black);
  if (!image.isNull()) {
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image);
  }
  image = std::move(resized);
}

TCanvas& TBitmap::Canvas() {
  return impl_->canvas;
}
const TCanvas& TBitmap::Canvas() const {
  return impl_->canvas;
}

TPixelFormat TBitmap::PixelFormat() const {
  return impl_->format;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == impl_->format) return;
  impl_->format = Value;
  QImage& image = impl_->MutablePixels();
  if (!image.isNull()) image.convertTo(ToQFormat(Value));
}

std::uint8_t* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= Height())
    throw EInvalidGraphic(Format("Scan line %d is outside the bitmap", Row));
  return impl_->WritableRow(Row);
}

const std::uint8_t* TBitmap::ScanLine(int Row) const {
  if (Row < 0 || Row >= Height())
    throw EInvalidGraphic(Format("Scan line %d is outside the bitmap", Row));
  return impl_->Pixels().constScanLine(Row);
}

TColor TBitmap::TransparentColor() const {
  if (transparent_mode_ == tmFixed) return transparent_color_;
  if (Empty()) return clNone;
  // A packed picture's table keeps the colour of clear pixels.
  return FromQRgb(impl_->Held().pixel(0, Height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
  transparent_color_ = Value;
  transparent_mode_ = tmFixed;
}

void TBitmap::Assign(const TBitmap& Source) {
  if (&Source == this) return;
  impl_->format = Source.impl_->format;
  impl_->MutablePixels() = Source.impl_->Pixels();  // shared until either side writes
  // A file is written by the kind that read it.
  if (typeid(*this) == typeid(Source)) impl_->file = Source.impl_->file;
  SetTransparent(Source.Transparent());
  transparent_mode_ = Source.transparent_mode_;
  transparent_color_ = Source.transparent_color_;
}

void TBitmap::Compact() {
  Impl& impl = *impl_;
  if (!impl.packed.isNull()) return;
  const QImage& drawn = TBitmapAccess::DrawnImage(*this);
  if (drawn.isNull()) return;
  const QImage pixels = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const bool cut = Transparent();
  const TColor cutColor = cut ? TransparentColor() : clNone;
  const QRgb key = cutColor == clNone ? 0 : ToQColor(ColorToRGB(cutColor)).rgb() & 0xFFFFFFu;
  QImage packed(pixels.size(), QImage::Format_Indexed8);
  if (packed.isNull()) return;
  QList<QRgb> table;
  std::unordered_map<QRgb, uchar> index;
  // The sizes asked once: QImage answers them out of line, which for every pixel of a
  // label cost as much as packing it.
  const int width = pixels.width();
  const int height = pixels.height();
  for (int y = 0; y < height; ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    uchar* to = packed.scanLine(y);
    for (int x = 0; x < width; ++x) {
      const QRgb pixel = from[x];
      // Pictures worth packing are mostly runs of one colour: a run looks up its colour
      // once.
      if (x > 0 && pixel == from[x - 1]) {
        to[x] = to[x - 1];
        continue;
      }
      auto [found, added] = index.try_emplace(pixel, static_cast<uchar>(table.size()));
      if (added) {
        // Only clear and opaque pixels come back exactly from a table entry.
        const int alpha = qAlpha(pixel);
        if (table.size() == 256 || (alpha != 0 && alpha != 255)) return;
        table.append(alpha == 0 ? key : pixel);
      }
      to[x] = found->second;
    }
  }
  packed.setColorTable(table);
  impl.packed = std::move(packed);
  impl.packedKey = cutColor;
  impl.image = QImage();
  impl.masked = QImage();
  impl.maskValid = false;
}

void TBitmap::Draw(TCanvas& Canvas, const TRect& Rect) const {
  const QImage& image = TBitmapAccess::DrawnImage(*this);
  if (!image.isNull()) TCanvasAccess::DrawImage(Canvas, Rect, image, image.rect());
}

void TBitmap::DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const {
  // Stretched copies are drawn as any picture's: stretched once.
  if (Copy.Width() != Width() || Copy.Height() != Height()) {
    TGraphic::DrawTiled(Canvas, Area, Copy);
    return;
  }
  const QImage& image = TBitmapAccess::DrawnImage(*this);
  if (!image.isNull()) TCanvasAccess::TileImage(Canvas, Area, QPoint(Copy.Left, Copy.Top), image);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const std::int64_t start = Stream.Position();
  TBitmap loaded;
  ReadBmp(Stream, loaded);
  impl_->format = loaded.impl_->format;
  impl_->MutablePixels() = loaded.impl_->Pixels();
  // A file smaller than its pixels written out (run-length rows, a colour table) is
  // kept to be written again.
  const std::int64_t end = Stream.Position();
  const int bits = PixelFormat() == pf32bit ? 32 : 24;
  const std::int64_t written =
      kBmpHeadersSize + (std::int64_t(Width()) * bits + 31) / 32 * 4 * Height();
  if (end - start >= written) return;
  std::string file(std::size_t(end - start), '\0');
  Stream.SetPosition(start);
  Stream.ReadBuffer(file.data(), end - start);
  KeepLoadedFile(*this, std::move(file));
}

void KeepLoadedFile(TBitmap& Bitmap, std::string Bytes) {
  TBitmapAccess::File(Bitmap) = std::make_shared<const std::string>(std::move(Bytes));
}

const std::string* LoadedFile(const TBitmap& Bitmap) {
  return TBitmapAccess::File(Bitmap).get();
}

std::shared_ptr<const std::string>& TBitmapAccess::File(const TBitmap& Bitmap) {
  return Bitmap.impl_->file;
}

void TBitmap::SaveToStream(TStream& Stream) const {
  if (const std::string* file = LoadedFile(*this))
    Stream.WriteBuffer(file->data(), std::int64_t(file->size()));
  else
    WriteBmp(*this, Stream);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*this);
  return copy;
}

void TBitmapAccess::SetImage(TBitmap& Bitmap, QImage Image) {
  Bitmap.impl_->format = pf24bit;
  // The colours as they are, their alpha dropped (not blended onto black).
  if (Image.format() == QImage::Format_ARGB32) Image.convertTo(QImage::Format_RGB32);
  Image.convertTo(ToQFormat(pf24bit));
  Bitmap.impl_->MutablePixels() = std::move(Image);
}

const QImage& TBitmapAccess::Image(const TBitmap& Bitmap) {
  return Bitmap.impl_->Pixels();
}

TFaceCover TBitmapAccess::Cover(const TBitmap& Bitmap) {
  const QImage& drawn = DrawnImage(Bitmap);
  // The key changes with the pixels; no image has key 0.
  const auto& impl = *Bitmap.impl_;
  if (impl.coverKey != drawn.cacheKey() || drawn.cacheKey() == 0) {
    impl.cover = FaceCoverOf(drawn);
    impl.coverKey = drawn.cacheKey();
  }
  return impl.cover;
}

const QImage& TBitmapAccess::DrawnImage(const TBitmap& Bitmap) {
  auto& held = *Bitmap.impl_;
  if (!held.packed.isNull()) {
    const TColor key = Bitmap.Transparent() ? Bitmap.TransparentColor() : clNone;
    if (key == held.packedKey) return held.packed;
  }
  const QImage& image = Bitmap.impl_->Pixels();
  if (image.isNull() || !Bitmap.Transparent()) return image;
  auto& impl = *Bitmap.impl_;
  const TColor key = ColorToRGB(Bitmap.TransparentColor());
  if (!impl.maskValid || impl.maskColor != key) {
    impl.masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = ToQColor(key).rgb();
    for (int y = 0; y < impl.masked.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(impl.masked.scanLine(y));
      for (int x = 0; x < impl.masked.width(); ++x)
        if ((row[x] | 0xFF000000u) == keyRgb) row[x] = 0;
    }
    // Premultiplied, as the screen and bitmaps blend it without converting every pixel
    // of every draw; the same colours, as blending premultiplies them anyway.
    impl.masked.convertTo(QImage::Format_ARGB32_Premultiplied);
    impl.maskColor = key;
    impl.maskValid = true;
  }
  return impl.masked;
}
