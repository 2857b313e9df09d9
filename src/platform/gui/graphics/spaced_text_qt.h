// Platform-internal: text drawn with an advance given for every character, as rich text
// with character spacing, printing and metafile text records ask for it.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <span>

// True when a character takes its form or its place from its neighbours (a joining
// letter, a mark, a format character), is drawn right to left, or is half of a surrogate
// pair: a text holding one is drawn shaped as a whole, never character by character.
bool NeedsShaping(char16_t Ch);
bool NeedsShaping(const QString& Text);

// Draws Text shaped in Font with its baseline starting at Origin, each character advanced
// by its entry of Advances (one per UTF-16 unit; a missing entry advances by nothing).
// The letters keep the forms shaping gives them: every cluster of characters drawn as one
// (a letter with its marks, a ligature) keeps its glyphs and is moved as a whole to where
// the advances of the characters before it, in display order, put it.
void DrawShapedTextWithAdvances(QPainter& Painter, const QFont& Font, QPointF Origin,
                                const QString& Text, std::span<const double> Advances);
