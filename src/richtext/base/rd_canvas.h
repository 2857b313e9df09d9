// The drawing and font-metrics surface the document model talks to. The model never
// paints through the platform directly: styles and items set the font, pen and brush
// held here and call the primitives below; the viewer supplies a canvas over the
// platform's, tests a raster canvas with fixed box metrics.
//
// State mirrors a device context: the selected font, a pen, a brush, the character
// extra (pixels added after every character) and the text alignment. Text is 8-bit in
// the font's code page (the "A" calls) or UTF-16 (the "W" calls). Coordinates are
// pixels; a rectangle covers Left..Right-1 and Top..Bottom-1.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/graphics/geometry.h"
#include "platform/gui/graphics/graphics_objects.h"  // TFontStyles, TPenStyle, TPenMode, TBrushStyle
#include "richtext/base/style_types.h"

// A font as a style applies it. Height in pixels: negative is the character height
// (what a point size gives). Width 0 is the font's own average character width.
struct TRDFont {
  std::string Name = "Arial";
  int Height = -13;
  int Width = 0;
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  int Charset = 1;  // DEFAULT_CHARSET
  int Pitch = 0;    // fpDefault
  int PixelsPerInch = 96;

  int Size() const;
  void SetSize(int points);
  friend bool operator==(const TRDFont&, const TRDFont&) = default;
};

struct TRDTextMetrics {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int AveCharWidth = 0;
  int ExternalLeading = 0;  // the space the font advises between lines
};

struct TRDOutlineTextMetrics {
  int UnderscoreSize = 1;
  int UnderscorePosition = -1;  // from the baseline, negative below it
};

// The platform's character placement of a text: for each character its display position
// (Order) and class (Class; 2 for right-to-left characters), for each display position its
// advance (Dx), and the size of the whole text.
struct TRDCharacterPlacement {
  std::vector<int> Order;
  std::vector<int> Dx;
  std::vector<std::uint8_t> Class;
  int Width = 0;
  int Height = 0;
};
constexpr std::uint8_t GCPCLASS_LATIN = 1;
constexpr std::uint8_t GCPCLASS_RIGHTTOLEFT = 2;  // Arabic and Hebrew
// Character placement flags.
constexpr unsigned GCP_REORDER_GLYPHSHAPE_DIACRITIC = 0x112;
constexpr unsigned GCP_REORDER_GLYPHSHAPE_LIGATE_DIACRITIC = 0x132;

// SetTextAlign values the styles use.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RTLREADING = 256;
// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 2;
constexpr unsigned ETO_CLIPPED = 4;

struct TRDResolution;
class TGraphic;

class TRDCanvas {
 public:
  virtual ~TRDCanvas() = default;

  TRDFont Font;
  TColor BrushColor = clWhite;
  TBrushStyle BrushStyle = bsSolid;
  TColor PenColor = clBlack;
  int PenWidth = 1;
  TPenStyle PenStyle = psSolid;
  TPenMode PenMode = pmCopy;
  int CharacterExtra = 0;
  unsigned TextAlign = TA_LEFT;
  // The direction text is laid out in: the style's or its paragraph's, or, for a piece of
  // a screen line, that of its level in the line's order; unspecified, each text takes it
  // from its own first strong character.
  TRDBiDiMode ReadingDirection = rdbdUnspecified;
  // Resolution of the device drawn on (a printer's is higher than the screen's 96).
  int PixelsPerInchX = 96;
  int PixelsPerInchY = 96;

  // Measuring with the current font, the character extra included, as the text is drawn.
  virtual int TextWidthA(std::string_view text) = 0;
  virtual int TextWidthW(std::u16string_view text) = 0;
  int TextWidth(std::string_view text) { return TextWidthA(text); }
  // The width of every prefix of a text, in one call: extents[i] is the width of
  // characters 0..i, as TextWidthA/W would give it. This base measures each prefix on its
  // own, which costs the square of the length; a canvas over a real font does it in one pass.
  virtual void PrefixWidthsA(std::string_view text, std::vector<int>& extents);
  virtual void PrefixWidthsW(std::u16string_view text, std::vector<int>& extents);
  // Widths of prefixes of one text asked for one by one with the current font, each as
  // TextWidthW gives it: a line being fitted asks for many. This base measures each
  // prefix on its own; a canvas over a real font cuts the text into what it measures once.
  // The text must outlive the answer, and the font stay as it is.
  class TTextPrefixes {
   public:
    virtual ~TTextPrefixes() = default;
    // The width of the first count units.
    virtual int Width(size_t count) = 0;
  };
  virtual std::unique_ptr<TTextPrefixes> TextPrefixesW(std::u16string_view text);
  // False when the font gives no metrics.
  virtual bool GetTextMetrics(TRDTextMetrics& metrics) = 0;
  // False when the font has no outline metrics.
  virtual bool GetOutlineTextMetrics(TRDOutlineTextMetrics& metrics) = 0;
  // Where the characters of a text are displayed. This base lays every text out left to
  // right in logical order with the font's own advances (the character extra left out);
  // a canvas over a shaping engine reorders right-to-left runs. False when no placement
  // can be made.
  virtual bool GetCharacterPlacementW(std::u16string_view text, unsigned flags,
                                      TRDCharacterPlacement& result);
  virtual bool GetCharacterPlacementA(std::string_view text, unsigned flags,
                                      TRDCharacterPlacement& result);
  // The font forms ligatures (GetFontLanguageInfo reports GCP_LIGATE).
  virtual bool FontHasLigatures() { return false; }

  // Text with its top-left corner at (x, y); a solid brush fills the text's box first.
  virtual void TextOutA(int x, int y, std::string_view text) = 0;
  virtual void TextOutW(int x, int y, std::u16string_view text) = 0;
  // Text with explicit advances (dx: one per character, may be empty for the font's own),
  // optionally clipped to clip and filled there with the brush (ETO_OPAQUE).
  virtual void ExtTextOutA(int x, int y, unsigned options, const TRect* clip, std::string_view text,
                           std::span<const int> dx) = 0;
  virtual void ExtTextOutW(int x, int y, unsigned options, const TRect* clip,
                           std::u16string_view text, std::span<const int> dx) = 0;

  virtual void FillRect(const TRect& rect) = 0;
  // The pixels of a line one pixel thick (line: one row of pixels, or one column when
  // vertical) that pattern marks, in the brush colour: bit i for each pixel i, i + 8,
  // i + 16... on from the line's first pixel (dotted lines). This base fills them one by
  // one; a canvas over the platform's fills the line at once.
  virtual void FillLinePattern(const TRect& line, bool vertical, std::uint8_t pattern);
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Line to (x, y), that point left out.
  virtual void LineTo(int x, int y) = 0;
  // Connected lines through the points, the last point drawn too.
  virtual void Polyline(std::span<const TPoint> points) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;
  // The picture stretched into rect.
  virtual void StretchDraw(const TRect& rect, const TGraphic& graphic) = 0;
  // The picture at its own size with its top-left corner at (x, y).
  virtual void Draw(int x, int y, const TGraphic& graphic);
  // Covers rect with copies of the picture stretched to copy's size, laid edge to edge,
  // one of them at copy. This base draws them one by one, cut to rect; a canvas over the
  // platform's fills rect as one pattern.
  virtual void TileDraw(const TRect& rect, const TRect& copy, const TGraphic& graphic);

  // Drawing state kept on a stack: the clip rectangle narrows until it is restored. A
  // canvas that only measures ignores them.
  virtual void SaveState() {}
  virtual void RestoreState() {}
  virtual void IntersectClipRect(const TRect&) {}
  // The part of the canvas that drawing reaches, in its coordinates (a printer's page);
  // this base reaches everywhere.
  virtual TRect VisibleRect() const { return Rect(-kFarAway, -kFarAway, kFarAway, kFarAway); }
  // Whether drawing in rect may reach the canvas at all: false, on a window, where other
  // windows (a cell's editor) cover all of it. This base answers from VisibleRect.
  virtual bool RectVisible(const TRect& rect) const;

 private:
  static constexpr int kFarAway = 1 << 29;
};

// Screen resolution first, then the canvas's device resolution.
void GetResolutionInfo(TRDResolution& resolution, const TRDCanvas& canvas);
