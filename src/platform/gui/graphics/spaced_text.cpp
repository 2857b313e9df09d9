#include "platform/gui/graphics/spaced_text_qt.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <limits>
#include <vector>

#include "platform/gui/graphics/wide_text.h"

namespace {

// Characters that are drawn as one (a grapheme, widened to a whole ligature), with the
// glyphs shaping gave them in the whole text.
struct TCluster {
  int from = 0;
  int to = 0;
  QList<QGlyphRun> runs;
  qreal left = 0;  // where its glyphs start in the shaped line
};

bool SharesGlyph(const QList<QGlyphRun>& a, const QList<QGlyphRun>& b) {
  for (const QGlyphRun& x : a)
    for (const QGlyphRun& y : b) {
      const QList<quint32> xi = x.glyphIndexes(), yi = y.glyphIndexes();
      const QList<QPointF> xp = x.positions(), yp = y.positions();
      for (qsizetype i = 0; i < xi.size(); ++i)
        for (qsizetype k = 0; k < yi.size(); ++k)
          if (xi[i] == yi[k] && xp[i] == yp[k]) return true;
    }
  return false;
}

qreal LeftOf(const QList<QGlyphRun>& runs, qreal otherwise) {
  qreal left = std::numeric_limits<qreal>::max();
  for (const QGlyphRun& run : runs)
    for (const QPointF& p : run.positions()) left = std::min(left, p.x());
  return left == std::numeric_limits<qreal>::max() ? otherwise : left;
}

}  // namespace

bool NeedsShaping(char16_t Ch) {
  const QChar c(Ch);
  return c.isSurrogate() || c.isMark() || c.category() == QChar::Other_Format ||
         TPreparedFont::IsRightToLeft(Ch);
}

bool NeedsShaping(const QString& Text) {
  return std::any_of(Text.begin(), Text.end(), [](QChar c) { return NeedsShaping(c.unicode()); });
}

void DrawShapedTextWithAdvances(QPainter& Painter, const QFont& Font, QPointF Origin,
                                const QString& Text, std::span<const double> Advances) {
  QTextLayout layout(Text, Font, Painter.device());
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(Painter.layoutDirection());
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;

  std::vector<TCluster> clusters;
  const int n = int(Text.size());
  for (int from = 0; from < n;) {
    int to = from + 1;
    while (to < n && !layout.isValidCursorPosition(to)) ++to;
    QList<QGlyphRun> runs = line.glyphRuns(from, to - from);
    if (!clusters.empty() && SharesGlyph(clusters.back().runs, runs)) {
      // Part of a ligature with the cluster before: the two move together.
      TCluster& last = clusters.back();
      last.to = to;
      last.runs = line.glyphRuns(last.from, to - last.from);
    } else {
      clusters.push_back({from, to, std::move(runs), 0});
    }
    from = to;
  }
  for (TCluster& c : clusters) c.left = LeftOf(c.runs, line.cursorToX(c.from));
  std::stable_sort(clusters.begin(), clusters.end(),
                   [](const TCluster& a, const TCluster& b) { return a.left < b.left; });

  // Each cluster, from the left, starts where the advances of those left of it end.
  const qreal top = Origin.y() - line.ascent();
  qreal x = Origin.x();
  for (const TCluster& c : clusters) {
    for (const QGlyphRun& run : c.runs) Painter.drawGlyphRun(QPointF(x - c.left, top), run);
    for (int i = c.from; i < c.to && size_t(i) < Advances.size(); ++i) x += Advances[size_t(i)];
  }
}
