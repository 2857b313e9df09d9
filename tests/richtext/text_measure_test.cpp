// Measuring item texts, the text as displayed, and the placement-based routines for
// texts displayed in another order (right-to-left runs).
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/code_pages.h"
#include "richtext/layout/complex_script.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext/support/raster_canvas.h"
#include "richtext/view/rd_platform_canvas.h"

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

// The one-pass prefix widths of the viewer's canvas must be the widths of the prefixes
// measured one by one: lines are fitted by the first and drawn by the second. Text that
// needs shaping is measured in pieces, so this also holds the places where it is cut to
// shapes that do not reach across them (joining letters, marks, viramas).
TEST(Measure, PrefixWidthsInOnePassAreThoseOfEachPrefix) {
  TBitmap bitmap;
  bitmap.SetSize(20, 20);
  TRDPlatformCanvas canvas(bitmap.Canvas());
  struct TFace {
    const char* name;
    int height;
    TFontStyles style;
  };
  const TFace faces[] = {{"DejaVu Sans", -13, 0},
                         {"DejaVu Serif", -19, fsBold | fsItalic},
                         {"DejaVu Sans Mono", -11, 0},
                         {"Nimbus Roman", -16, 0},
                         {"Symbol", -13, 0}};
  std::u16string pile = u"a pile on x";
  for (int i = 0; i < 300; ++i) pile += char16_t(0x0300 + i % 0x70);
  const std::u16string_view texts[] = {
      u"Station W1AW-9 at 42.5 km",
      u"caf\u00E9 na\u00EFve \u00C5ngstr\u00F6m",
      u"e\u0301 and a\u0308: combining marks",
      u"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440",
      u"zero\u200Bwidth\u200Djoined\u2060word\u00ADsoft",
      u"office affine ffi fl",
      u"a\tb\t\tc",
      // Control characters beside text that needs shaping, in a text longer than a piece.
      u"tab\there \x01 \u0627\u0644\u0645\u062D\u0637\u0629\x01\u0645\u0631\u062D\u0628\u0627"
      u"\tend\x1F of the line",
      u"abc \u0645\u0631\u062D\u0628\u0627 \u05E9\u05DC\u05D5\u05DD def",
      u"pin \U0001F4CD here",
      u"\u00B7\u00B7a\u00F0\uF061",  // picture-font codes in the Symbol face
      // Long runs without blanks, measured in pieces cut between letters that do not join.
      u"\u0627\u0644\u0645\u062D\u0637\u0627\u062A\u0648\u0627\u0644\u0631\u0627\u062F"
      u"\u064A\u0648\u0627\u0644\u0645\u0648\u062C\u0627\u062A\u0648\u0627\u0644\u0623"
      u"\u0642\u0645\u0627\u0631\u0627\u0644\u0635\u0646\u0627\u0639\u064A\u0629\u0644"
      u"\u0627\u0645\u0639\u064E\u0627\u0631\u0650\u0641",
      u"e\u0301a\u0308o\u0302u\u0300i\u0303e\u0301a\u0308o\u0302u\u0300i\u0303e\u0301a"
      u"\u0308o\u0302u\u0300i\u0303e\u0301a\u0308o\u0302u\u0300i\u0303e\u0301a\u0308",
      u"\u0915\u094D\u0937\u0924\u094D\u0930\u093F\u092F\u0936\u094D\u0930\u0940\u0915"
      u"\u094D\u0937\u0924\u094D\u0930\u093F\u092F\u0936\u094D\u0930\u0940\u0915\u094D"
      u"\u0937\u0924\u094D\u0930\u093F\u092F\u0936\u094D\u0930\u0940",
      u"\u05E9\u05B8\u05DC\u05D5\u05B9\u05DD\u05E2\u05D5\u05B9\u05DC\u05B8\u05DD\u05E9"
      u"\u05B8\u05DC\u05D5\u05B9\u05DD\u05E2\u05D5\u05B9\u05DC\u05B8\u05DD\u05E9\u05B8"
      u"\u05DC\u05D5\u05B9\u05DD\u05E2\u05D5\u05B9\u05DC\u05B8\u05DD",
      // A letter under a pile of marks longer than a piece may be: cut between its marks.
      pile,
  };
  std::vector<int> extents;
  for (const TFace& face : faces) {
    canvas.Font.Name = face.name;
    canvas.Font.Height = face.height;
    canvas.Font.Style = face.style;
    canvas.CharacterExtra = 2;  // measuring counts it, one way as the other
    for (std::u16string_view text : texts) {
      SCOPED_TRACE(face.name + std::string(" ") + RawUnicodeToUTF8(WideStringToRawUnicode(text)));
      canvas.PrefixWidthsW(text, extents);
      ASSERT_EQ(extents.size(), text.size());
      for (size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(extents[i], canvas.TextWidthW(text.substr(0, i + 1))) << i;
    }
  }
  canvas.PrefixWidthsW(u"", extents);
  EXPECT_TRUE(extents.empty());
  // The extra follows every character, as drawn: a spaced word takes the room it needs.
  canvas.CharacterExtra = 0;
  const int unspaced = canvas.TextWidthW(u"abc");
  canvas.CharacterExtra = 2;
  EXPECT_EQ(canvas.TextWidthW(u"abc"), unspaced + 6);
  canvas.CharacterExtra = 0;

  // 8-bit texts: a code page of one byte per character, and a double-byte one whose byte
  // prefixes can end inside a character.
  canvas.Font.Name = "DejaVu Sans";
  canvas.Font.Style = 0;
  const struct {
    int charset;
    std::string_view text;
  } ansi[] = {{1,
               "fa\xE7"
               "ade \x93"
               "ffi\x94\t\xA0x"},
              {204, "\xCF\xF0\xE8\xE2\xE5\xF2 1"},
              {128,
               "a\x82\xA0"
               "b\x93\xFA\x8B"
               "c"}};
  for (const auto& [charset, text] : ansi) {
    SCOPED_TRACE(charset);
    canvas.Font.Charset = charset;
    canvas.PrefixWidthsA(text, extents);
    ASSERT_EQ(extents.size(), text.size());
    for (size_t i = 0; i < text.size(); ++i)
      EXPECT_EQ(extents[i], canvas.TextWidthA(text.substr(0, i + 1))) << i;
  }
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
