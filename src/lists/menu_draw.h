// The primitives styled menus paint with: pixel-exact two-colour gradients (one line
// per row or column), gradients continued across neighbouring items, framed and
// two-part ("mirrored") gradients, and lines that fade out at their ends.
//
// Colours are resolved (system colours) before any arithmetic; an end colour of clNone
// means the start colour, so such a gradient is a solid fill.
//
// Menu text goes through the platform's plain text output. The desktop library session
// some menu families open at start for anti-aliased text (and its font, brush and
// string-format objects) serves only text-rendering modes the styler never takes, so
// none is opened here: the desktop's font rendering already smooths the text.
#pragma once

#include "html/gradient_style.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/geometry.h"

// Which end(s) of a line fade (named apart from the HTML label's gradient kinds).
enum TMenuGradientType { gtLeft, gtRight, gtBoth };

// Start -> End over R: per row from top to bottom (gdVertical) or per column from left
// to right (gdHorizontal); row or column i of n gets start + (end - start) * i / n per
// channel. Nothing for an empty R.
void MenuGradientFill(TCanvas& Canvas, const TRect& R, TGradientDirection Direction,
                      TColor EndColor, TColor StartColor);
// One gradient over Extent of which only its part inside Part is painted, so that
// neighbouring items continue one another's gradient.
void SlicedGradient(TCanvas& Canvas, const TRect& Extent, TGradientDirection Direction,
                    TColor EndColor, TColor StartColor, const TRect& Part);
// The gradient (when Fill and StartColor is a colour), then a 1-pixel frame in
// BorderColor unless that is clNone.
void FramedGradient(TCanvas& Canvas, const TRect& R, bool Fill, TColor BorderColor,
                    TGradientDirection Direction, TColor EndColor, TColor StartColor);
// As FramedGradient; with a MirrorStart colour the upper half runs Start -> End and the
// lower half MirrorStart -> MirrorEnd.
void MirroredGradient(TCanvas& Canvas, const TRect& R, bool Fill, TColor BorderColor,
                      TGradientDirection Direction, TColor MirrorEnd, TColor MirrorStart,
                      TColor EndColor, TColor StartColor);
// A line filling R (gdHorizontal: along x, gdVertical: along y), inset by Margin at both
// ends, solid in the middle and fading over FadeLength pixels at the ends Type names.
void FadedLine(TCanvas& Canvas, TRect R, int Margin, int FadeLength, TMenuGradientType Type,
               TGradientDirection LineDirection, TColor EndColor, TColor StartColor);

// Moves and sizes R to a W x H rectangle centred where R was.
void CenterRect(TRect& R, int W, int H);
