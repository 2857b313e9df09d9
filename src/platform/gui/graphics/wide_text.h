// UTF-16 text on a canvas with fonts prepared once: a rich-text layout measures the
// same few fonts thousands of times, so a font is turned into the platform's terms
// and measured through a TPreparedFont that keeps those terms. Besides, the drawing
// state a layout engine needs around text: a clip rectangle and a save/restore stack.
//
// Example: TPreparedFont f(font); f.TextWidth(u"abc") is the advance of the three
// characters; CanvasTextOutW(canvas, f, 10, 20, u"abc", {}, nullptr, false) draws them
// with the top of the character cell at y = 20.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gui/graphics/canvas.h"

// The direction of the line a text is laid out on; Auto takes it from the text's first
// strong character. A piece of a line that mixes directions is laid out on a line of its
// own level's direction (see bidi_levels.h).
enum class TTextDirection { Auto, LeftToRight, RightToLeft };
struct TTextRunDirection {
  TTextDirection Line = TTextDirection::Auto;
};

struct TFontCellMetrics {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int AveCharWidth = 0;
  int ExternalLeading = 0;
  int UnderlinePosition = 1;  // pixels below the baseline
  int LineWidth = 1;
};

class TPreparedFont {
 public:
  struct Impl;  // the Qt font and its metrics, known only inside the platform

  // CharacterExtra pixels follow every character, in measuring as in drawing. Stretch is
  // the characters' width in percent of the face's own: below 100 condensed, above
  // expanded, as word processors scale characters (a face without such a cut is scaled).
  explicit TPreparedFont(const TFont& Font, int CharacterExtra = 0, int Stretch = 100);
  ~TPreparedFont();
  TPreparedFont(const TPreparedFont&) = delete;
  TPreparedFont& operator=(const TPreparedFont&) = delete;

  const TFontCellMetrics& Metrics() const { return metrics_; }
  int TextWidth(std::u16string_view Text) const;
  // The width of every prefix: Extents[i] is TextWidth of characters 0..i. Plain text is
  // measured in one pass.
  void PrefixExtents(std::u16string_view Text, std::vector<int>& Extents) const;
  // The widths of prefixes of one text, each what TextWidth gives for it, for a caller
  // that asks for many (a line fitted into its room): the text is cut into the pieces
  // TextWidth measures once, only as far as asked, and each piece is measured once, where
  // TextWidth would cut and measure every prefix from its start again. The text and the
  // font must outlive it.
  class TPrefixWidths {
   public:
    TPrefixWidths(const TPreparedFont& Font, std::u16string_view Text);
    // TextWidth of the first Count units.
    int Width(size_t Count);

   private:
    // Measures plainly on to the first unit that needs shaping, or to Count.
    void ScanPlain(size_t Count);
    // Cuts pieces until one ends at or after Count.
    void CutTo(size_t Count);

    Impl& font_;
    std::u16string_view text_;
    // plain_[i]: the width of the first i units, up to the first that needs shaping.
    std::vector<int> plain_{0};
    bool shaped_ = false;  // plain_ ends at a unit that needs shaping
    // The pieces start where the plain text could last be cut before that unit.
    size_t cut_ = 0;
    int width_at_cut_ = 0;
    // Where each piece ends, and the width there.
    std::vector<size_t> ends_;
    std::vector<int> widths_;
  };
  // Where the characters of Text stand as CanvasTextOutW draws it without advances in
  // Direction:
  // Slots[k] is the display position of UTF-16 unit k, counted from the left, Advances[i]
  // the width of display position i, RightToLeft[k] whether unit k runs right to left.
  // The units of one cluster (a letter with its marks, a surrogate pair, a ligature) take
  // neighbouring positions in text order, the first of them the cluster's whole width.
  struct TPlacement {
    std::vector<int> Slots;
    std::vector<int> Advances;
    std::vector<bool> RightToLeft;
  };
  void Place(std::u16string_view Text, TPlacement& Placement,
             const TTextRunDirection& Direction = {}) const;
  // True when the character is drawn right to left (Hebrew, Arabic and the like).
  static bool IsRightToLeft(char16_t Ch);
  // True when the character is a strong left-to-right one (a Latin letter, not a digit,
  // blank or punctuation, which take the direction around them).
  static bool IsLeftToRight(char16_t Ch);
  // The script of a character as justification tells them apart: Arabic (whose lines are
  // stretched at its blanks only where no other blanks take the room), another script,
  // or none (blanks, digits, punctuation, marks: they go with the text before them).
  enum class TScript { Common, Arabic, Other };
  static TScript ScriptOf(char16_t Ch);

 private:
  friend void CanvasTextOutW(TCanvas&, const TPreparedFont&, TColor, int, int, std::u16string_view,
                             std::span<const int>, const TRect*, bool, const TTextRunDirection&);
  std::unique_ptr<Impl> impl_;
  TFontCellMetrics metrics_;
};

// Text with the top of its character cell at (X, Y), in the font's colour Color, laid out
// in Direction from X rightwards. With Advances (one per UTF-16 unit) each character
// starts where the previous one's advance ends. Either way letters that join are drawn
// joined. Opaque fills the text's box (or Clip, when given) with the canvas brush first;
// Clip limits what is drawn.
void CanvasTextOutW(TCanvas& Canvas, const TPreparedFont& Font, TColor Color, int X, int Y,
                    std::u16string_view Text, std::span<const int> Advances, const TRect* Clip,
                    bool Opaque, const TTextRunDirection& Direction = {});
// Narrows drawing to Rect until the state is restored.
void CanvasIntersectClip(TCanvas& Canvas, const TRect& Rect);
// Draws what is drawn at (0, 0) at (X, Y) until the state is restored.
void CanvasMoveOrigin(TCanvas& Canvas, int X, int Y);
void CanvasSaveState(TCanvas& Canvas);
void CanvasRestoreState(TCanvas& Canvas);
