// A drawing surface with a font, a pen and a brush: the canvas of a bitmap, or of a
// control while it paints.
//
// Coordinates are pixels, x to the right and y down; a rectangle covers Left..Right-1
// and Top..Bottom-1, so Rectangle(0, 0, 10, 10) touches exactly 10 x 10 pixels and
// LineTo stops one pixel short of its end point. Shapes are outlined with the pen and
// filled with the brush, both combined with the surface by the pen's Mode; FillRect,
// FrameRect, text and pictures ignore the pen mode. A pen or brush whose colour is
// clNone draws nothing, like a clear one. Text is Windows-1252 and is drawn without
// anti-aliasing, so a colour-keyed picture keeps clean edges round its letters.
//
// A canvas that is not attached to anything (a control outside its paint) measures
// text but draws nothing; reading pixels works only on a bitmap's canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/gui/graphics/geometry.h"
#include "platform/gui/graphics/graphics_objects.h"

class TGraphic;

enum TFillStyle { fsSurface, fsBorder };

// Flags for TextRect with a format, combined with |.
enum TTextFormatFlag : unsigned {
  tfCalcRect = 1,         // only measure: Rect's right and bottom become the text's extent
  tfWordBreak = 2,        // break lines between words to fit Rect's width
  tfNoPrefix = 4,         // '&' is an ordinary character (otherwise "&&" is '&', "&x" underlines x)
  tfCenter = 8,           // centre each line horizontally
  tfRight = 16,           // align each line right
  tfVerticalCenter = 32,  // centre the block vertically
  tfSingleLine = 64,      // line breaks in the text are not obeyed
  tfRtlReading = 128,     // lines read from right to left (Arabic, Hebrew)
};
using TTextFormat = unsigned;

class TCanvas {
 public:
  TCanvas();
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  TPen& Pen() { return pen_; }
  const TPen& Pen() const { return pen_; }
  TBrush& Brush() { return brush_; }
  const TBrush& Brush() const { return brush_; }

  TPoint PenPos() const { return pen_pos_; }
  void MoveTo(int X, int Y);
  // Line from the pen position to (X, Y), that point itself left out; the pen moves there.
  void LineTo(int X, int Y);
  // Connected lines through the points; the last point is drawn too.
  void Polyline(std::span<const TPoint> Points);
  // Closed outline through the points, filled with the brush.
  void Polygon(std::span<const TPoint> Points);

  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  // Rectangle with corners rounded by an ellipse of CornerWidth x CornerHeight.
  void RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight);
  // The ellipse inside the bounding rectangle.
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

  // Fills with the brush alone (nothing for a clear brush).
  void FillRect(const TRect& Rect);
  // The pixels of a line one pixel thick (Line: one row of pixels, or one column when
  // Vertical) that Pattern marks, in the brush colour: bit i for each pixel i, i + 8,
  // i + 16... on from the line's first pixel (dotted grid lines), in one call.
  void FillLinePattern(const TRect& Line, bool Vertical, std::uint8_t Pattern);
  // A 1-pixel frame in the brush colour, as window frames are drawn.
  void FrameRect(const TRect& Rect);
  // The dotted frame of a focused item, drawn by inverting, so drawing it twice removes it.
  void DrawFocusRect(const TRect& Rect);
  // fsSurface fills the area of Color connected to (X, Y); fsBorder fills the area
  // around (X, Y) up to pixels of Color. Fills with the brush (its pattern if it has
  // one). Needs a bitmap's canvas; elsewhere it does nothing.
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);

  // Text with its top-left corner at (X, Y). A solid brush fills the text's box first.
  void TextOut(int X, int Y, const std::string& Text);
  // Like TextOut, clipped to Rect; a solid brush fills all of Rect first.
  void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
  // Lays the text out in Rect by Format (tf* flags). With tfCalcRect nothing is drawn
  // and Rect's Right and Bottom are set to the box the text needs. Returns the text's
  // height. The background is left alone.
  int TextRect(TRect& Rect, const std::string& Text, TTextFormat Format);
  int TextWidth(const std::string& Text) const;
  // Height of a line of the font, whatever the text.
  int TextHeight(const std::string& Text) const;
  TSize TextExtent(const std::string& Text) const;

  // Draws the graphic at its own size with the top-left at (X, Y).
  void Draw(int X, int Y, const TGraphic& Graphic);
  void StretchDraw(const TRect& Rect, const TGraphic& Graphic);
  // Covers Rect with copies of the graphic stretched to Copy's size, laid edge to edge so
  // that one stands at Copy; nothing outside Rect is drawn.
  void TileDraw(const TRect& Rect, const TRect& Copy, const TGraphic& Graphic);
  // Copies Source's pixels in SourceRect into Dest, stretching them to fit. Source
  // must be a bitmap's canvas (it may be this one).
  void CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect);

  // The colour of one pixel; clNone outside the surface or when it cannot be read.
  TColor Pixels(int X, int Y) const;
  void SetPixels(int X, int Y, TColor Color);

  // The area drawing reaches, in this canvas' coordinates.
  TRect ClipRect() const;
  // Whether drawing into Rect would reach any pixel: the area to paint may be several
  // rectangles apart, which ClipRect only bounds.
  bool RectVisible(const TRect& Rect) const;
  // Narrows the area drawing reaches to Rect until the matching RestoreClip; pairs nest.
  void IntersectClipRect(const TRect& Rect);
  void RestoreClip();
  // Covers Rect with Color at an opacity of Opacity / 255, the pixels beneath showing through.
  void BlendRect(const TRect& Rect, TColor Color, int Opacity);

  // What the canvas draws on now (a control's paint, a bitmap's pixels); null when it
  // has nowhere to draw. A drawing that outlives a paint can tell that it has ended.
  const void* Handle() const;

  struct Impl;  // what the canvas draws on, known only inside the platform

 private:
  friend struct TCanvasAccess;
  std::unique_ptr<Impl> impl_;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TPoint pen_pos_;
};

// A bevel of Width rings inside Rect: top and left edges in TopColor, bottom and right
// in BottomColor (which owns the top-right and bottom-left corners). Rect shrinks by
// Width on every side, ready for what goes inside.
void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
