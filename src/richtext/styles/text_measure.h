// Measuring item texts on a canvas and preparing them for display. Unicode texts are
// measured with the zero-width characters U+200B, U+200D and U+2060 counting nothing.
//
// Example: with a font whose every character is 6 pixels wide, MeasureTextFit of "abcd"
// with MaxExtent 13 fits 2 characters, partial extents 6, 12, 18, 24.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/base/item_text.h"
#include "richtext/base/rd_canvas.h"

class TCustomRDFontInfo;

int GetZeroWidthSpaceWidth(TRDCanvas& canvas);
int GetZeroWidthJoinerWidth(TRDCanvas& canvas);
int GetWordJoinerWidth(TRDCanvas& canvas);
// Width of UTF-16 text less the reported widths of its zero-width characters.
int GetTextExtentWithoutZeroWidth(TRDCanvas& canvas, std::u16string_view text);
// Width in pixels of an item text (raw Unicode or 8-bit by options).
int GetItemTextWidth(std::string_view s, TRDCanvas& canvas, TRDItemOptions options);
// Widths of prefixes of one UTF-16 item text asked for one by one, each as
// GetItemTextWidth gives it, for fitting a line: the text is measured through the canvas's
// TextPrefixesW. The text must outlive it, and the canvas's font stay as it is.
class TItemTextPrefixes {
 public:
  TItemTextPrefixes(TRDCanvas& canvas, std::u16string_view text);
  // The width of the first count units.
  int Width(size_t count);

 private:
  TRDCanvas& canvas_;
  std::u16string_view text_;
  std::unique_ptr<TRDCanvas::TTextPrefixes> widths_;
  // Where the zero-width characters stand among the first scanned_ units.
  std::vector<size_t> zero_width_at_;
  size_t scanned_ = 0;
  int zero_widths_[3] = {-1, -1, -1};  // each kind's own width, measured when met
};
// The number of characters that fit into maxExtent; with partialExtents the extent after
// each character (one entry per character).
int MeasureTextFit(TRDCanvas& canvas, std::string_view s, int maxExtent,
                   std::vector<int>* partialExtents, TRDItemOptions options);
// What is drawn for a text item: capitals for all-caps styles; in Unicode styles soft
// hyphens become U+00AC when shown or U+200B otherwise (a last one at a line end, when
// not shown, becomes a hyphen-minus), zero-width characters removed on request. The
// stored text is untouched.
std::string GetTextForDisplay(std::string_view s, const TCustomRDFontInfo& fontInfo, bool unicode,
                              bool atLineEnd, bool removeZeroWidth, bool showSoftHyphens);
// Upper case of UTF-16 text for the Latin, Greek and Cyrillic letters.
std::u16string UnicodeUpperCase(std::u16string_view text);
