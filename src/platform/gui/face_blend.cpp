#include "platform/gui/face_blend_qt.h"

#include <array>
#include <cstdint>

namespace {

// x * a / 255 per channel, rounded as the raster engine rounds it.
inline QRgb ByteMul(QRgb x, unsigned a) {
  unsigned t = (x & 0xff00ffu) * a;
  t = (t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8;
  t &= 0xff00ffu;
  x = ((x >> 8) & 0xff00ffu) * a;
  x = x + ((x >> 8) & 0xff00ffu) + 0x800080u;
  x &= 0xff00ff00u;
  return x | t;
}

// Source over a premultiplied pixel.
struct TOver {
  static QRgb Blend(QRgb Dest, QRgb Source) {
    if (Source >= 0xff000000u) return Source;
    return Source == 0 ? Dest : Source + ByteMul(Dest, qAlpha(~Source));
  }
};
// The same for pictures whose pixels are all clear (0) or opaque, without a branch:
// the pixels of a marker's edge alternate too often for one to be guessed.
struct TOverClearOrOpaque {
  static QRgb Blend(QRgb Dest, QRgb Source) {
    const QRgb keep = 0u - static_cast<QRgb>(Source == 0);
    return Source | (Dest & keep);
  }
};

// RowOf(y) gives the pixels of the picture's row y, as a function of x.
template <class TMode, class TRowOf>
void BlendRows(QImage& Layer, const QRect& Target, const QPoint& From, TRowOf RowOf) {
  uchar* const bits = Layer.bits();
  const qsizetype stride = Layer.bytesPerLine();
  const int left = Target.left();
  const int top = Target.top();
  const int width = Target.width();
  const int height = Target.height();
  const int fromX = From.x();
  for (int y = 0; y < height; ++y) {
    QRgb* __restrict to = reinterpret_cast<QRgb*>(bits + (top + y) * stride) + left;
    const auto pixel = RowOf(From.y() + y);
    for (int x = 0; x < width; ++x) to[x] = TMode::Blend(to[x], pixel(fromX + x));
  }
}

template <class TMode>
void BlendPicture(QImage& Layer, const QRect& Target, const QPoint& From, const QImage& Picture) {
  switch (Picture.format()) {
    case QImage::Format_ARGB32_Premultiplied:
      BlendRows<TMode>(Layer, Target, From, [&](int y) {
        const auto* row = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
        return [row](int x) { return row[x]; };
      });
      return;
    case QImage::Format_RGB32:
      BlendRows<TOverClearOrOpaque>(Layer, Target, From, [&](int y) {
        const auto* row = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
        return [row](int x) { return row[x] | 0xff000000u; };
      });
      return;
    case QImage::Format_Indexed8: {
      // Indices past the table are black, as converting the picture makes them.
      std::array<QRgb, 256> colors;
      colors.fill(0xff000000u);
      const QList<QRgb> table = Picture.colorTable();
      for (qsizetype i = 0; i < table.size() && i < 256; ++i) {
        colors[static_cast<size_t>(i)] = qPremultiply(table[i]);
      }
      BlendRows<TMode>(Layer, Target, From, [&](int y) {
        const uchar* row = Picture.constScanLine(y);
        return [row, &colors](int x) { return colors[row[x]]; };
      });
      return;
    }
    default:
      BlendPicture<TOver>(Layer, Target, From,
                          Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
}

}  // namespace

void BlendFace(QImage& Layer, const QRect& Clip, const QPoint& At, const QImage& Picture,
               bool ClearOrOpaque) {
  const QRect target = Clip & QRect(At, Picture.size()) & Layer.rect();
  if (target.isEmpty()) return;
  const QPoint from = target.topLeft() - At;
  if (ClearOrOpaque) {
    BlendPicture<TOverClearOrOpaque>(Layer, target, from, Picture);
  } else {
    BlendPicture<TOver>(Layer, target, from, Picture);
  }
}
