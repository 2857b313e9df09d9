// Platform-internal: what shaping joins in a text, and text drawn with an advance given
// for every character, as rich text with character spacing, printing and metafile text
// records ask for it.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <span>
#include <string_view>
#include <vector>

// A tab or another control character: shaping never reaches across it.
inline bool IsControl(char16_t Ch) {
  return Ch < 0x20;
}

// True when a character takes its form or its place from its neighbours (a joining
// letter, a mark, a format character), is drawn right to left, or is half of a surrogate
// pair: a text holding one is drawn shaped as a whole, never character by character.
bool NeedsShaping(char16_t Ch);
bool NeedsShaping(const QString& Text);

// True when the characters before and after At (0 < At < size) shape independently:
// the text before is as wide alone as within the whole. With BlanksOnly, only where one
// of them is a blank or a control character (the common case, tested first).
bool IsIndependentCut(std::u16string_view Text, size_t At, bool BlanksOnly);

// Characters that are drawn as one (a grapheme, widened to a whole ligature), with the
// glyphs shaping gave them in the whole text.
struct TShapedCluster {
  int from = 0;
  int to = 0;
  QList<QGlyphRun> runs;
  qreal left = 0;   // where its cell starts in the shaped line: its letter's pen position
  qreal width = 0;  // its advance: how far it is from the next cluster to its right
  qreal extra = 0;  // what the advances add to that, when they are given
  bool right_to_left = false;
};

// Text shaped by Qt in Font on one line of the given direction, as QPainter draws it: its
// clusters in the order of the text, the same from left to right in shown (pointing into
// clusters), and the line's ascent. No clusters when Qt lays out no line.
struct TShapedLine {
  std::vector<TShapedCluster> clusters;
  std::vector<TShapedCluster*> shown;
  qreal ascent = 0;
};
TShapedLine ShapeLine(const QFont& Font, const QString& Text, Qt::LayoutDirection Direction,
                      QPaintDevice* Device);

// Draws Text shaped in Font with its baseline starting at Origin, each character advanced
// by its entry of Advances (one per UTF-16 unit; a missing entry advances by nothing).
// The letters keep the forms shaping gives them: each run of letters that join is as wide
// as its advances add up to, its clusters (a letter with its marks, a ligature) spaced
// evenly within it, and placed where the advances before it, in display order, end.
void DrawShapedTextWithAdvances(QPainter& Painter, const QFont& Font, QPointF Origin,
                                const QString& Text, std::span<const double> Advances);
