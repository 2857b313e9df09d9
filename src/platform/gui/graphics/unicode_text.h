// Text beyond the program's code page on a canvas: UTF-16 text (a station's comment in
// Greek, a name in Hebrew) drawn and measured in the canvas' font, brush and formats as
// the canvas draws and measures its Windows-1252 text.
//
// Example: TextOutW(canvas, 2, 2, u"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1").
#pragma once

#include <string_view>

#include "platform/gui/graphics/canvas.h"

// As TCanvas::TextOut, TextRect with a format, TextWidth and TextExtent.
void TextOutW(TCanvas& Canvas, int X, int Y, std::u16string_view Text);
int TextRectW(TCanvas& Canvas, TRect& Rect, std::u16string_view Text, TTextFormat Format);
int TextWidthW(const TCanvas& Canvas, std::u16string_view Text);
TSize TextExtentW(const TCanvas& Canvas, std::u16string_view Text);
// As TextWidthW, for many distinct names in one font (the map's labels of calls): a name
// of capital letters, digits, '-' and blanks is measured by the pairs of its characters
// where the font kerns by pairs alone, and shaped otherwise.
int NameWidthW(const TCanvas& Canvas, std::u16string_view Text);
