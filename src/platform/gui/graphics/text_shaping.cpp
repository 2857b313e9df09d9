#include "platform/gui/graphics/text_shaping_qt.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <limits>
#include <vector>

#include "platform/gui/graphics/wide_text.h"

namespace {

bool IsFormat(char16_t ch) {
  return QChar(ch).category() == QChar::Other_Format;
}

bool IsConjoiningJamo(char16_t ch) {
  return (ch >= 0x1100 && ch <= 0x11FF) || (ch >= 0xA960 && ch <= 0xA97F) ||
         (ch >= 0xD7B0 && ch <= 0xD7FF);
}

// A blank: a space, or one of the other spaces, all at U+0085, U+00A0 or from U+1680 on
// (letters of the scripts before that are looked up no further).
bool IsBlank(char16_t ch) {
  return ch == u' ' || ((ch == 0x85 || ch == 0xA0 || ch >= 0x1680) && QChar(ch).isSpace());
}

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

// The clusters of the shaped line in the order of the text.
std::vector<TShapedCluster> ClustersOf(const QTextLayout& layout, const QTextLine& line, int size) {
  std::vector<TShapedCluster> clusters;
  for (int from = 0; from < size;) {
    int to = from + 1;
    while (to < size && !layout.isValidCursorPosition(to)) ++to;
    QList<QGlyphRun> runs = line.glyphRuns(from, to - from);
    if (!clusters.empty() && SharesGlyph(clusters.back().runs, runs)) {
      // Part of a ligature with the cluster before: the two move together.
      TShapedCluster& last = clusters.back();
      last.to = to;
      last.runs = line.glyphRuns(last.from, to - last.from);
    } else {
      clusters.push_back({from, to, std::move(runs)});
    }
    from = to;
  }
  return clusters;
}

}  // namespace

bool IsIndependentCut(std::u16string_view Text, size_t At, bool BlanksOnly) {
  const bool blank =
      IsBlank(Text[At - 1]) || IsBlank(Text[At]) || IsControl(Text[At - 1]) || IsControl(Text[At]);
  if (BlanksOnly && !blank) return false;
  const QChar before(Text[At - 1]);
  const QChar after(Text[At]);
  if (before.isSurrogate() || after.isSurrogate() || after.isMark() || IsFormat(Text[At - 1]) ||
      IsFormat(Text[At]))
    return false;
  if (blank) return true;
  // A virama makes a conjunct of the consonants around it; conjoining jamo make a syllable.
  if ((before.isMark() && before.combiningClass() == 9) || IsConjoiningJamo(Text[At])) return false;
  // Joining letters (Arabic and the like) take their form from their neighbours; marks
  // between them are transparent.
  size_t k = At - 1;
  while (k > 0 && QChar(Text[k]).joiningType() == QChar::Joining_Transparent) --k;
  const QChar::JoiningType left = QChar(Text[k]).joiningType();
  const QChar::JoiningType right = after.joiningType();
  const bool joinsForward =
      left == QChar::Joining_Dual || left == QChar::Joining_Left || left == QChar::Joining_Causing;
  const bool joinsBack = right == QChar::Joining_Dual || right == QChar::Joining_Right ||
                         right == QChar::Joining_Causing;
  return !(joinsForward && joinsBack);
}

bool NeedsShaping(char16_t Ch) {
  const QChar c(Ch);
  return c.isSurrogate() || c.isMark() || c.category() == QChar::Other_Format ||
         TPreparedFont::IsRightToLeft(Ch);
}

bool NeedsShaping(const QString& Text) {
  return std::any_of(Text.begin(), Text.end(), [](QChar c) { return NeedsShaping(c.unicode()); });
}

TShapedLine ShapeLine(const QFont& Font, const QString& Text, Qt::LayoutDirection Direction,
                      QPaintDevice* Device) {
  QTextLayout layout(Text, Font, Device);
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(Direction);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  TShapedLine shaped;
  if (!line.isValid()) return shaped;
  shaped.ascent = line.ascent();
  shaped.clusters = ClustersOf(layout, line, int(Text.size()));
  // Natural widths: the clusters, from the left, tile the line. A cluster's cell starts
  // where its first character's glyph does, at the pen position the advances before it
  // reach: the marks on a letter (a dagesh, Arabic vowels) may hang out of its cell on
  // either side and move no cell.
  for (TShapedCluster& c : shaped.clusters) {
    const int first = QChar::isHighSurrogate(Text[c.from].unicode()) && c.from + 1 < c.to ? 2 : 1;
    const QList<QGlyphRun> base = first == c.to - c.from ? c.runs : line.glyphRuns(c.from, first);
    c.left = LeftOf(base.isEmpty() ? c.runs : base, line.cursorToX(c.from));
    c.right_to_left = !c.runs.isEmpty() && c.runs.first().isRightToLeft();
    shaped.shown.push_back(&c);
  }
  std::vector<TShapedCluster*>& shown = shaped.shown;
  std::stable_sort(
      shown.begin(), shown.end(),
      [](const TShapedCluster* a, const TShapedCluster* b) { return a->left < b->left; });
  for (size_t i = 0; i < shown.size(); ++i)
    shown[i]->width =
        (i + 1 < shown.size() ? shown[i + 1]->left : line.horizontalAdvance()) - shown[i]->left;
  return shaped;
}

void DrawShapedTextWithAdvances(QPainter& Painter, const QFont& Font, QPointF Origin,
                                const QString& Text, std::span<const double> Advances) {
  TShapedLine shaped = ShapeLine(Font, Text, Painter.layoutDirection(), Painter.device());
  std::vector<TShapedCluster>& clusters = shaped.clusters;
  if (clusters.empty()) return;

  // A character's own advance is only sure where the text can be cut: within letters that
  // join, the advances of a run are taken together and what they add to its width is
  // spread over its characters.
  const std::u16string_view text(reinterpret_cast<const char16_t*>(Text.utf16()),
                                 size_t(Text.size()));
  for (size_t first = 0; first < clusters.size();) {
    size_t end = first + 1;
    while (end < clusters.size() && !IsIndependentCut(text, size_t(clusters[end].from), false))
      ++end;
    double asked = 0;
    qreal natural = 0;
    for (int i = clusters[first].from; i < clusters[end - 1].to && size_t(i) < Advances.size(); ++i)
      asked += Advances[size_t(i)];
    for (size_t c = first; c < end; ++c) natural += clusters[c].width;
    const int characters = clusters[end - 1].to - clusters[first].from;
    for (size_t c = first; c < end; ++c)
      clusters[c].extra = (asked - natural) * (clusters[c].to - clusters[c].from) / characters;
    first = end;
  }

  const qreal top = Origin.y() - shaped.ascent;
  qreal x = Origin.x();
  for (const TShapedCluster* c : shaped.shown) {
    for (const QGlyphRun& run : c->runs) Painter.drawGlyphRun(QPointF(x - c->left, top), run);
    x += c->width + c->extra;
  }
}
