#include "richtext/styles/word_painter.h"

#include <array>

#include "richtext/styles/rd_style.h"

namespace {
constexpr int kMaxZigzagPoints = 1024;
constexpr int kZigzagStep = 2;
constexpr int kZigzagHeight = 2;
}  // namespace

void TRDWordMisspellPainter::Draw(TRDCanvas& canvas, const TRDStyle& rdStyle,
                                  const TRect& rect) const {
  std::array<TPoint, kMaxZigzagPoints> points;
  int count = 0;
  for (int x = rect.Left; x < rect.Right && count < kMaxZigzagPoints; x += kZigzagStep, ++count)
    points[size_t(count)] = TPoint{x, count % 2 == 0 ? rect.Bottom - kZigzagHeight : rect.Bottom};
  if (count < 2) return;
  points[size_t(count - 1)].X = rect.Right;
  const TColor savedColor = canvas.PenColor;
  const int savedWidth = canvas.PenWidth;
  canvas.PenColor = rdStyle.LiveSpellingColor;
  canvas.PenWidth = 1;
  canvas.Polyline(std::span<const TPoint>(points.data(), size_t(count)));
  canvas.PenWidth = savedWidth;
  canvas.PenColor = savedColor;
}
