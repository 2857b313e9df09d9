// TCanvas::FloodFill: finds the area by its pixels, then paints the brush over it.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

namespace {

// The pixels 4-connected to the seed that satisfy `inside`, as a mask over the image,
// with their bounding box. A fill through 4-neighbours cannot leak through the
// diagonal steps of a 1-pixel outline.
template <class Inside>
QRect FindArea(const QImage& image, QPoint seed, Inside inside, std::vector<uint8_t>& mask) {
  const int width = image.width();
  mask.assign(size_t(width) * size_t(image.height()), 0);
  QRect box;
  std::vector<QPoint> pending{seed};
  while (!pending.empty()) {
    const QPoint p = pending.back();
    pending.pop_back();
    const int y = p.y();
    if (mask[size_t(y) * width + p.x()] || !inside(image.pixel(p.x(), y))) continue;
    // Spread along the row, then queue the rows above and below.
    int left = p.x();
    while (left > 0 && !mask[size_t(y) * width + left - 1] && inside(image.pixel(left - 1, y)))
      --left;
    int right = p.x();
    while (right + 1 < width && !mask[size_t(y) * width + right + 1] &&
           inside(image.pixel(right + 1, y)))
      ++right;
    std::fill(mask.begin() + size_t(y) * width + left, mask.begin() + size_t(y) * width + right + 1,
              1);
    box |= QRect(left, y, right - left + 1, 1);
    for (int x = left; x <= right; ++x) {
      if (y > 0) pending.emplace_back(x, y - 1);
      if (y + 1 < image.height()) pending.emplace_back(x, y + 1);
    }
  }
  return box;
}

}  // namespace

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  QImage* image = impl_->attached ? nullptr : impl_->WantedImage();
  if (impl_->attached || !image || !image->valid(X, Y) || !brush_.Paints()) return;
  const QRgb colour = ToQColor(Color).rgb();
  std::vector<uint8_t> mask;
  const QRect box =
      FillStyle == fsSurface
          ? FindArea(
                *image, {X, Y}, [colour](QRgb p) { return (p | 0xFF000000u) == colour; }, mask)
          : FindArea(
                *image, {X, Y}, [colour](QRgb p) { return (p | 0xFF000000u) != colour; }, mask);
  if (box.isEmpty()) return;

  // The brush painted over the box (pattern aligned with the canvas origin), then
  // taken over pixel by pixel where the mask says.
  QImage paint(box.size(), image->format());
  {
    QPainter painter(&paint);
    QBrush brush = brush_.Bitmap() && !brush_.Bitmap()->Empty()
                       ? QBrush(BitmapImage(*brush_.Bitmap()))
                       : QBrush(ToQColor(brush_.Color()));
    brush.setTransform(QTransform::fromTranslate(-box.left(), -box.top()));
    painter.fillRect(paint.rect(), brush);
  }
  impl_->own.reset();
  if (impl_->imageChanged) impl_->imageChanged();
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (mask[size_t(y) * image->width() + x])
        image->setPixel(x, y, paint.pixel(x - box.left(), y - box.top()));
}
