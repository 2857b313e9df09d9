#include "platform/gui/graphics/face_blend_qt.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// x * a / 255 per channel, rounded as the raster engine rounds it; exact for a = 255.
inline QRgb ByteMul(QRgb x, unsigned a) {
  unsigned t = (x & 0xff00ffu) * a;
  t = (t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8;
  t &= 0xff00ffu;
  x = ((x >> 8) & 0xff00ffu) * a;
  x = x + ((x >> 8) & 0xff00ffu) + 0x800080u;
  x &= 0xff00ff00u;
  return x | t;
}

// Source over a premultiplied pixel. Without a branch: an opaque source leaves
// ByteMul(Dest, 0) = 0 and a clear one ByteMul(Dest, 255) = Dest, as the raster engine's
// shortcuts for those give.
struct TOver {
  static QRgb Blend(QRgb Dest, QRgb Source) { return Source + ByteMul(Dest, qAlpha(~Source)); }
};
// The same for pictures whose pixels are all clear (0) or opaque: a choice, which the
// compiler turns into vector code.
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

void BlendPacked(QImage& Layer, const QRect& Target, const QPoint& From, const QImage& Picture) {
  // Indices past the table are black, as converting the picture makes them.
  std::array<QRgb, 256> colors;
  colors.fill(0xff000000u);
  bool clearOrOpaque = true;
  const QList<QRgb> table = Picture.colorTable();
  for (qsizetype i = 0; i < table.size() && i < 256; ++i) {
    const QRgb color = qPremultiply(table[i]);
    colors[static_cast<size_t>(i)] = color;
    clearOrOpaque = clearOrOpaque && (color == 0 || qAlpha(color) == 255);
  }
  auto rowOf = [&](int y) {
    const uchar* row = Picture.constScanLine(y);
    return [row, &colors](int x) { return colors[row[x]]; };
  };
  if (clearOrOpaque) {
    BlendRows<TOverClearOrOpaque>(Layer, Target, From, rowOf);
  } else {
    BlendRows<TOver>(Layer, Target, From, rowOf);
  }
}

void BlendPicture(QImage& Layer, const QRect& Target, const QPoint& From, const QImage& Picture) {
  switch (Picture.format()) {
    case QImage::Format_ARGB32_Premultiplied:
      BlendRows<TOver>(Layer, Target, From, [&](int y) {
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
    case QImage::Format_Indexed8:
      BlendPacked(Layer, Target, From, Picture);
      return;
    default:
      BlendPicture(Layer, Target, From,
                   Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
}

}  // namespace

void BlendFace(QImage& Layer, const QRect& Clip, const QPoint& At, const QImage& Picture) {
  const QRect target = Clip & QRect(At, Picture.size()) & Layer.rect();
  if (!target.isEmpty()) BlendPicture(Layer, target, target.topLeft() - At, Picture);
}

namespace {

// PixelAt(x, y): the premultiplied pixel at (x, y) of the picture.
template <class TPixelAt>
bool FillUnderWith(QImage& Layer, TCoverMask& Taken, const QRect& Target, const QPoint& At,
                   TPixelAt PixelAt) {
  uchar* const bits = Layer.bits();
  const qsizetype stride = Layer.bytesPerLine();
  bool clearOrOpaque = true;
  Taken.CoverWhere(Target, [&](int x, int y) {
    const QRgb pixel = PixelAt(x - At.x(), y - At.y());
    if (pixel == 0) return false;
    if (pixel < 0xff000000u) {
      clearOrOpaque = false;
      return false;
    }
    reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel;
    return true;
  });
  return clearOrOpaque;
}

// Asks for the rows of a picture's pixels that a put reads, all at once: a label's lie
// apart from anything else put nearby, and fetched row by row each would keep the put
// waiting.
void FetchRows(const uchar* From, qsizetype Stride, int BytesPerPixel, const QRect& Source) {
  const qsizetype left = qsizetype{Source.left()} * BytesPerPixel;
  const qsizetype last = qsizetype{Source.right()} * BytesPerPixel;
  for (int y = Source.top(); y <= Source.bottom(); ++y) {
    const uchar* row = From + y * Stride;
    __builtin_prefetch(row + left);
    if (last / 64 != left / 64) __builtin_prefetch(row + last);
  }
}

}  // namespace

bool FillUnder(QImage& Layer, TCoverMask& Taken, const QRect& Clip, const QPoint& At,
               const QImage& Picture) {
  const QRect target = Clip & QRect(At, Picture.size()) & Layer.rect();
  if (target.isEmpty()) return true;
  const uchar* const from = Picture.constBits();
  const qsizetype stride = Picture.bytesPerLine();
  FetchRows(from, stride, Picture.depth() / 8, target.translated(-At));
  switch (Picture.format()) {
    case QImage::Format_ARGB32_Premultiplied:
      return FillUnderWith(Layer, Taken, target, At, [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(from + y * stride)[x];
      });
    case QImage::Format_RGB32:
      return FillUnderWith(Layer, Taken, target, At, [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(from + y * stride)[x] | 0xff000000u;
      });
    case QImage::Format_Indexed8: {
      // A label has a handful of colours: only those are made ready.
      std::array<QRgb, 256> colors;
      const QList<QRgb> table = Picture.colorTable();
      const size_t count = std::min<size_t>(static_cast<size_t>(table.size()), colors.size());
      for (size_t i = 0; i < count; ++i) colors[i] = qPremultiply(table[static_cast<qsizetype>(i)]);
      // Indices past the table are black, as converting the picture makes them.
      return FillUnderWith(Layer, Taken, target, At, [&](int x, int y) {
        const uchar index = from[y * stride + x];
        return index < count ? colors[index] : 0xff000000u;
      });
    }
    default:
      return FillUnder(Layer, Taken, Clip, At,
                       Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
}
