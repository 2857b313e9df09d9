// Word painters: small objects attached to a text item that decorate a word of it when
// the item is painted; the misspelling painter draws the wavy underline of live spell
// checking. Offsets are 1-based characters of the item text.
#pragma once

#include "richtext/base/rd_canvas.h"
#include "richtext/base/rd_lists.h"

class TRDStyle;

class TRDWordPainter {
 public:
  TRDWordPainter(int startOffs, int length) : StartOffs(startOffs), Length(length) {}
  virtual ~TRDWordPainter() = default;
  int StartOffs;
  int Length;
  // Draws the mark of the word whose on-screen rectangle is rect.
  virtual void Draw(TRDCanvas& canvas, const TRDStyle& rdStyle, const TRect& rect) const = 0;
};

class TRDWordMisspellPainter : public TRDWordPainter {
 public:
  using TRDWordPainter::TRDWordPainter;
  // A zigzag 2 pixels high along the bottom of rect in the sheet's LiveSpellingColor.
  void Draw(TRDCanvas& canvas, const TRDStyle& rdStyle, const TRect& rect) const override;
};

using TRDWordPainterList = TRDList<TRDWordPainter>;
