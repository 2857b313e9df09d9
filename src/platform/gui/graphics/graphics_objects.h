// The drawing tools a canvas holds: the font for text, the pen for lines and outlines,
// the brush for fills.
//
// They are plain values with change notification: a control that publishes a font
// repaints from OnChange, and a canvas reads the current values whenever it draws, so
// changing a tool between two drawing calls is all it takes. Setters that store an
// equal value do not notify.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/gui/graphics/geometry.h"

class TBitmap;

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle flags, e.g. fsBold | fsUnderline.
using TFontStyles = std::uint8_t;

// Screen resolution the point sizes are converted with.
constexpr int kScreenPixelsPerInch = 96;

class TFont {
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& Value);
  // Height in pixels: negative is the character height (what a point size gives),
  // positive the height of the whole character cell.
  int Height() const { return height_; }
  void SetHeight(int Value);
  // Size in points; setting it sets Height to the matching negative pixel height.
  int Size() const;
  void SetSize(int Points);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles Value);

  // Copies every attribute and notifies once; OnChange itself is not copied.
  void Assign(const TFont& Source);
  bool SameAs(const TFont& Other) const;
  // The same glyphs and metrics: every attribute but the colour.
  bool SameFace(const TFont& Other) const;

  std::function<void()> OnChange;

 private:
  void Changed();

  std::string name_ = "DejaVu Sans";
  int height_ = -11;  // 8 points
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How the pen (and the fill of a shape) combines with what is already there, named
// after the result: pmMask is pen AND screen, pmXor pen XOR screen, and so on.
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

class TPen {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  // Width in pixels; 0 and 1 both give the thinnest line.
  int Width() const { return width_; }
  void SetWidth(int Value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode Value);

  void Assign(const TPen& Source);

  std::function<void()> OnChange;

 private:
  void Changed();

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush {
 public:
  TColor Color() const { return color_; }
  // Giving a clear brush a colour makes it solid again: whoever picks a fill colour
  // wants it painted.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle Value);
  // A picture tiled over every fill instead of the colour, or null. The brush does not
  // own it; the caller keeps it alive while the brush uses it.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* Value);

  // True when fills with this brush paint anything (solid style, a real colour or a
  // pattern).
  bool Paints() const { return style_ != bsClear && (bitmap_ != nullptr || color_ != clNone); }

  void Assign(const TBrush& Source);

  std::function<void()> OnChange;

 private:
  void Changed();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
};
