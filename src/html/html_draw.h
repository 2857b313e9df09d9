// DrawHtmlText: draws, measures and hit-tests a short piece of mini-HTML in a rectangle
// of a canvas. Every control that shows formatted text goes through it.
//
// Markup: <B> <I> <U> <S> bold, italic, underline, strike-out; <FONT face color bgcolor
// size>; <P align indent bgcolor bgcolorto>; <A href> links; <IMG src alt width height
// align wrap>; <UL> <LI> lists; <BR> <HR>; <SUB> <SUP>; <SH> shadow; <E> red wavy
// underline; <HI> highlight; <Z> hidden text; <BLINK>; <BODY background bgcolor ...>;
// <IND x> and <OF x> offsets; <R a> rotated text; entities (html_text.h). Image sources:
// "IDX:n" (the image list), "SSYS:file" / "LSYS:file" (small / large file icons), a
// name of the picture container, or a source with "://" (the picture cache).
//
// The text is consumed from the front, one line at a time: a measuring pass finds where
// the line ends and how big it is, then a drawing pass paints exactly that markup. No
// state survives a call.
#pragma once

#include <string>

#include "platform/gui/graphics/canvas.h"

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// What a control hands to the renderer besides the canvas, the text and the rectangle.
struct THtmlDrawParams {
  TImageList* Images = nullptr;  // "IDX:" images
  int XPos = 0;                  // the point to hit-test, canvas coordinates
  int YPos = 0;
  int FocusLink = -1;  // 0-based number of the link with the keyboard focus, or -1
  int HoverLink = -1;  // 1-based number of the link under the mouse, or -1
  int ShadowOffset = 0;
  bool HitTestOnly = false;  // the second pass of each line only measures and hit-tests
  bool MeasureOnly = false;  // no second pass: sizes only
  bool Print = false;        // images drawn ResFactor times their size
  bool Selected = false;     // keep the caller's colours (markup colours are ignored)
  bool Blink = false;        // false: <BLINK> text is drawn in the background colour
  bool HoverOnly = false;    // link styling applies only to HoverLink
  bool WordWrap = true;      // false: lines end at the right edge with "..."
  double ResFactor = 1.0;
  TColor URLColor = clBlue;
  TColor HoverColor = clNone;
  TColor HoverFontColor = clNone;
  TColor ShadowColor = clGray;
  THTMLPictureCache* PictureCache = nullptr;
  TPictureContainer* PictureContainer = nullptr;
  int LineSpacing = 0;  // pixels added to every line
};

// What the renderer found out.
struct THtmlDrawResult {
  std::string AnchorVal;  // target of the link at the point; unchanged when none
  std::string StripVal;   // the text runs of every pass, CR for each <BR>
  std::string FocusAnchor;
  int XSize = 0;  // widest line + 2
  int YSize = 0;  // sum of the line heights
  int HyperLinks = 0;
  int MouseLink = -1;  // 1-based number of the link at the point, -1 when none
  TRect HoverRect;     // the link at the point; unchanged when none
};

// True when the point lies on a link (its text, or an image inside it).
bool DrawHtmlText(TCanvas& Canvas, const std::string& Text, const TRect& Rect,
                  const THtmlDrawParams& Params, THtmlDrawResult& Result);
