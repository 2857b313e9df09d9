// Banded two-colour gradients, transparent bitmap copies and the gradient colour set
// that lists and page controls paint their selections and backgrounds with.
//
// A gradient is drawn as a row of solid bands, each a rectangle in its own colour: cheap
// to draw and the same on every surface. The HTML list box owns a TGradientStyle for its
// selection colours; the page control paints its sheets and tabs with GradientFill and
// its tab bitmaps with the three-slice draws.
#pragma once

#include <functional>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/geometry.h"

// Direction of a two-colour gradient.
enum TGradientDirection { gdVertical, gdHorizontal };

// Bands bands (0 counts as 1) from From to To, left to right when Horizontal, else top to
// bottom. Each band is the band length rounded (halves to even) plus one pixel long, so
// neighbours overlap by one pixel and the last band may stop short of or pass the far
// edge by rounding. System colours are resolved first; a To of clNone gives a solid fill.
void GradientFill(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const TRect& Rect,
                  int Bands);

// The same banding for markup and list selections: each band is the band length cut to
// whole pixels plus one, never past Rect; a BorderColor other than clNone frames Rect.
void FillGradient(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const TRect& Rect,
                  int Bands, TColor BorderColor = clNone);

// Copies the Width x Height area of Source at (SourceX, SourceY) to (X, Y) of Canvas,
// leaving out the pixels of TransparentColor. Source is not changed.
void TransparentCopy(TCanvas& Canvas, const TBitmap& Source, int X, int Y, int SourceX, int SourceY,
                     int Width, int Height, TColor TransparentColor);
// As TransparentCopy, the SourceWidth x SourceHeight area stretched to Width x Height.
void StretchTransparentCopy(TCanvas& Canvas, const TBitmap& Source, int X, int Y, int Width,
                            int Height, int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                            TColor TransparentColor);

// A bitmap drawn Length pixels long without distorting its ends: its first half as it
// is, the two pixels at its middle stretched over the length left, its second half as it
// is. The bottom-left pixel's colour is transparent. An odd size loses its middle pixel
// row or column (both halves are Size / 2 long).
void DrawHorizontalThreeSlice(const TBitmap& Source, TCanvas& Canvas, int X, int Length, int Y);
void DrawVerticalThreeSlice(const TBitmap& Source, TCanvas& Canvas, int X, int Length, int Y);

// The colours of a gradient selection or background: From -> To, with an optional second
// ("mirror") gradient for the other half, and a border.
class TGradientStyle {
 public:
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor Value) { Set(color_to_, Value); }
  TColor ColorFrom() const { return color_from_; }
  void SetColorFrom(TColor Value) { Set(color_from_, Value); }
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor Value) { Set(border_color_, Value); }
  TColor ColorMirrorFrom() const { return color_mirror_from_; }
  void SetColorMirrorFrom(TColor Value) { Set(color_mirror_from_, Value); }
  TColor ColorMirrorTo() const { return color_mirror_to_; }
  void SetColorMirrorTo(TColor Value) { Set(color_mirror_to_, Value); }

  // false: the gradient runs left to right; true: top to bottom. Stored as it is, with
  // no notification.
  bool Direction = false;

  // Takes the five colours of Source (not Direction) and notifies once.
  void Assign(const TGradientStyle& Source);

  // Called after a colour changed.
  std::function<void(TGradientStyle* Sender)> OnChange;

 private:
  void Set(TColor& Field, TColor Value);
  void Changed();

  TColor color_to_ = clNone;
  TColor color_from_ = clHighlight;
  TColor border_color_ = clHighlight;
  TColor color_mirror_from_ = clNone;
  TColor color_mirror_to_ = clNone;
};
