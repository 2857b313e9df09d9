// Measuring item texts, the text as displayed, and the placement-based routines for
// texts displayed in another order (right-to-left runs).
#include <gtest/gtest.h>

#include "richtext/base/code_pages.h"
#include "richtext/layout/complex_script.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext/support/raster_canvas.h"

namespace {

std::string Raw(std::u16string_view text) {
  return WideStringToRawUnicode(text);
}

// A canvas that displays every text right to left with fixed advances 5, 6, 7, ...
// (or left to right with rightToLeft false), reporting a chosen width.
class TPlacementCanvas : public TRasterCanvas {
 public:
  TPlacementCanvas(bool rightToLeft, int reportedWidth)
      : TRasterCanvas(100, 20), right_to_left_(rightToLeft), reported_width_(reportedWidth) {}
  bool GetCharacterPlacementW(std::u16string_view text, unsigned,
                              TRDCharacterPlacement& result) override {
    const int n = int(text.size());
    result = TRDCharacterPlacement{};
    for (int k = 0; k < n; ++k) {
      result.Order.push_back(right_to_left_ ? n - 1 - k : k);
      result.Class.push_back(right_to_left_ ? GCPCLASS_RIGHTTOLEFT : GCPCLASS_LATIN);
    }
    for (int i = 0; i < n; ++i) {
      int character = right_to_left_ ? n - 1 - i : i;
      result.Dx.push_back(5 + character);
    }
    result.Width = reported_width_;
    result.Height = 10;
    return true;
  }
  bool GetCharacterPlacementA(std::string_view text, unsigned flags,
                              TRDCharacterPlacement& result) override {
    return GetCharacterPlacementW(RawUnicodeToWideString(AnsiToRawUnicode(1252, text)), flags,
                                  result);
  }

 private:
  bool right_to_left_;
  int reported_width_;
};

TEST(Measure, FitAndPartialExtents) {
  TRasterCanvas canvas(10, 10);
  std::vector<int> extents;
  EXPECT_EQ(MeasureTextFit(canvas, "abcd", 13, &extents, 0), 2);
  EXPECT_EQ(extents, (std::vector<int>{6, 12, 18, 24}));
  EXPECT_EQ(MeasureTextFit(canvas, "", 13, &extents, 0), 0);
  EXPECT_EQ(MeasureTextFit(canvas, "ab", 100, nullptr, 0), 2);
  EXPECT_EQ(GetItemTextWidth("abc", canvas, 0), 18);
}

TEST(Measure, ZeroWidthCharactersCountNothing) {
  class TWideZeroCanvas : public TRasterCanvas {
   public:
    TWideZeroCanvas() : TRasterCanvas(10, 10) {}
    int TextWidthW(std::u16string_view text) override {
      int width = 0;
      for (char16_t c : text)
        width += c == 0x200B ? 4 : kCharWidth;  // a font that gives it a width
      return width;
    }
  } canvas;
  EXPECT_EQ(GetZeroWidthSpaceWidth(canvas), 4);
  EXPECT_EQ(GetTextExtentWithoutZeroWidth(canvas, u"a\u200Bb\u200B"), 12);
  std::vector<int> extents;
  EXPECT_EQ(MeasureTextFit(canvas, Raw(u"a\u200Bbc"), 12, &extents, rdioUnicodeText), 3);
  EXPECT_EQ(extents, (std::vector<int>{6, 6, 12, 18}));
}

TEST(DisplayText, CapitalsAndSoftHyphens) {
  TFontInfo style(nullptr);
  EXPECT_EQ(GetTextForDisplay("ab\xE9", style, false, false, false, false), "ab\xE9");
  style.StyleEx = rdfsAllCaps;
  EXPECT_EQ(GetTextForDisplay("ab\xE9", style, false, false, false, false), "AB\xC9");
  EXPECT_EQ(GetTextForDisplay(Raw(u"a\u00E9\u0436"), style, true, false, false, false),
            Raw(u"A\u00C9\u0416"));
  style.StyleEx = 0;
  const std::string hyphenated = Raw(u"ab\u00ADcd\u00AD");
  EXPECT_EQ(GetTextForDisplay(hyphenated, style, true, false, false, false),
            Raw(u"ab\u200Bcd\u200B"));
  EXPECT_EQ(GetTextForDisplay(hyphenated, style, true, true, false, false), Raw(u"ab\u200Bcd-"));
  EXPECT_EQ(GetTextForDisplay(hyphenated, style, true, true, false, true),
            Raw(u"ab\u00ACcd\u00AC"));
  EXPECT_EQ(GetTextForDisplay(hyphenated, style, true, false, true, false), Raw(u"abcd"));
  const TRDSpecialCharKinds saved = RDShownSpecialChars;
  RDShownSpecialChars = rdskSpace;
  EXPECT_EQ(GetTextForDisplay(hyphenated, style, true, false, false, true),
            Raw(u"ab\u200Bcd\u200B"));
  RDShownSpecialChars = saved;
  EXPECT_EQ(hyphenated, Raw(u"ab\u00ADcd\u00AD"));
}

TEST(ComplexScript, CaretPositionsBothDirections) {
  std::vector<int> positions;
  TPlacementCanvas leftToRight(false, 18);
  EXPECT_TRUE(GetCharacterPositions(leftToRight, "abc", positions, 0, 18));
  EXPECT_EQ(positions, (std::vector<int>{0, 6, 12, 19}));
  TPlacementCanvas rightToLeft(true, 18);
  EXPECT_TRUE(GetCharacterPositions(rightToLeft, "abc", positions, 0, 18));
  EXPECT_EQ(positions, (std::vector<int>{18, 13, 7, 0}));
  int left = -5, right = -5;
  EXPECT_TRUE(GetReorderedSelectionBounds(rightToLeft, "abc", 1, 2, 0, 18, left, right));
  EXPECT_EQ(left, 7);
  EXPECT_EQ(right, 18);
}

TEST(ComplexScript, PlacementOfAnotherWidthIsNotUsed) {
  TPlacementCanvas canvas(true, 20);
  std::vector<int> positions;
  EXPECT_FALSE(GetCharacterPositions(canvas, "abc", positions, 0, 18));
  EXPECT_EQ(positions, (std::vector<int>{-1, -1, -1, -1}));
  int left = -5, right = -5;
  EXPECT_FALSE(GetReorderedSelectionBounds(canvas, "abc", 1, 1, 0, 18, left, right));
  EXPECT_EQ(left, -5);
  EXPECT_FALSE(DrawReorderedText(0, 0, 18, 10, "abc", canvas, 1, 3, 0));
  EXPECT_TRUE(canvas.Log.empty());
  TPlacementCanvas close(true, 19);
  EXPECT_TRUE(GetCharacterPositions(close, "abc", positions, 0, 18));
}

TEST(ComplexScript, SelectionDrawnAsClippedRuns) {
  TPlacementCanvas leftToRight(false, 18);
  EXPECT_TRUE(DrawReorderedText(10, 0, 18, 10, "abc", leftToRight, 2, 3, 0));
  EXPECT_EQ(leftToRight.Log, (std::vector<std::string>{"ExtTextOut 10,0", "FillRect 15,0,28,10"}));
  TPlacementCanvas rightToLeft(true, 18);
  EXPECT_TRUE(DrawReorderedText(10, 0, 18, 10, "abc", rightToLeft, 2, 3, 0));
  EXPECT_EQ(rightToLeft.Log, (std::vector<std::string>{"ExtTextOut 10,0", "FillRect 10,0,17,10",
                                                       "ExtTextOut 10,0", "FillRect 17,0,23,10"}));
  TPlacementCanvas empty(false, 18);
  EXPECT_TRUE(DrawReorderedText(0, 0, 18, 10, "abc", empty, 3, 2, 0));
  EXPECT_TRUE(empty.Log.empty());
  EXPECT_FALSE(DrawReorderedTextIfNeeded(0, 0, 18, 10, "abc", empty, 1, 3, 0, false));
}

TEST(ComplexScript, SpecialCharacterMarksLandWhereTheSpaceIsDisplayed) {
  TRDStyle sheet;
  TPlacementCanvas canvas(true, 18);
  canvas.BrushStyle = bsClear;
  sheet.DrawStyleText("a b", canvas, 0, 1, 0, nullptr, 0, 0, 0, 18, 10, rdtsSpecialCharacters,
                      false, false, 0, rdbdUnspecified);
  // Displayed "b a": the space (advance 6) is the second cell, from x 7 to 13; the mark
  // is centred with (6 - 6) / 2 = 0.
  EXPECT_EQ(canvas.Log.back(), "TextOut 7,0 \xB7");
}

}  // namespace
