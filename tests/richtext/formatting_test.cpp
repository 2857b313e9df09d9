// Laying documents out into draw lines on a raster canvas whose characters are all 6
// pixels wide and 10 high (ascent 8): word wrap, long words, alignment, justification,
// tabs, break lines, line spacing, the tail format, the second pass, hit tests and the
// formatted deletion of leading paragraphs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext/view/rd_platform_canvas.h"
#include "support/control_snapshot.h"

namespace {

constexpr int W = TRasterCanvas::kCharWidth;

TEST(WordWrap, WrapsAtTheLastSpaceThatFitsAndDropsIt) {
  TTestFormattedData data(70, 100);  // text width 60: ten characters
  data.AddText("aaaa bbbb cccc", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 2);
  EXPECT_EQ(data.Line(0).Offs, 1);
  EXPECT_EQ(data.Line(0).Length, 9);
  EXPECT_EQ(data.Line(0).Width, 9 * W);
  EXPECT_EQ(data.Line(1).Offs, 11);
  EXPECT_EQ(data.Line(1).Length, 4);
  EXPECT_TRUE(data.Line(1).FromNewLine);
  EXPECT_EQ(data.Line(0).Top, 5);
  EXPECT_EQ(data.Line(1).Top, 15);
  EXPECT_EQ(data.Line(1).Left, 5);
  EXPECT_EQ(data.DocumentHeight, 30);  // margins 5 + two lines of 10 + 5
  EXPECT_EQ(data.LastFormattedItem, 0);
}

TEST(WordWrap, AWordLongerThanTheLineIsBrokenInsideIt) {
  TTestFormattedData data(40, 100);  // text width 30: five characters
  data.AddText("abcdefghijkl", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(0).Length, 5);
  EXPECT_EQ(data.Line(1).Length, 5);
  EXPECT_EQ(data.Line(2).Length, 2);
}

TEST(WordWrap, ATooNarrowWindowStillTakesOneCharacterALine) {
  TTestFormattedData data(12, 100);  // text width 2: nothing fits
  data.AddText("abc", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  for (int d = 0; d < 3; ++d) EXPECT_EQ(data.Line(d).Length, 1);
}

TEST(WordWrap, ASurrogatePairIsNeverSplit) {
  TTestFormattedData data(12, 100);
  data.style.TextStyles()[0].Charset = 1;
  std::string text = AnsiToRawUnicode(1252, "a");
  text += std::string("\x3D\xD8\x00\xDE", 4);  // U+1F600 as a surrogate pair
  data.AddItemAtEnd(text, CreateRDItem(0, &data));
  data.GetItem(0)->ItemOptions |= rdioUnicodeText;
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 2);
  EXPECT_EQ(data.Line(0).Length, 1);
  EXPECT_EQ(data.Line(1).Length, 2);
}

void AddUnicodeText(TTestFormattedData& data, const std::u16string& text) {
  data.style.TextStyles()[0].Unicode = true;
  data.AddItemAtEnd(WideStringToRawUnicode(text), CreateRDItem(0, &data));
  data.GetItem(data.Items.Count() - 1)->ItemOptions |= rdioUnicodeText;
}

TEST(SoftHyphens, AWrapAtASoftHyphenTakesAHyphensWidth) {
  TTestFormattedData data(40, 100);  // text width 30: five characters
  AddUnicodeText(data, u"abc\u00ADdef");
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 2);
  EXPECT_EQ(data.Line(0).Length, 4);     // "abc" and the soft hyphen
  EXPECT_EQ(data.Line(0).Width, 4 * W);  // the hyphen shows at the wrap
  EXPECT_EQ(data.Line(1).Offs, 5);
  EXPECT_EQ(data.Line(1).Length, 3);
  EXPECT_EQ(data.Line(1).Width, 3 * W);
}

TEST(SoftHyphens, ASoftHyphenWhoseHyphenDoesNotFitIsNotABreak) {
  TTestFormattedData data(30, 100);  // text width 20: "abc" fits, "abc-" does not
  AddUnicodeText(data, u"abc\u00ADdef");
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(0).Length, 2);  // the fit stops short of the soft hyphen
  EXPECT_EQ(data.Line(0).Width, 2 * W);
  EXPECT_EQ(data.Line(1).Offs, 3);
  EXPECT_EQ(data.Line(1).Length, 2);
  EXPECT_EQ(data.Line(1).Width, 2 * W);
  EXPECT_EQ(data.Line(2).Length, 3);
}

TEST(SoftHyphens, InsideALineOrShownAsSpecialCharactersTheyAddNothing) {
  TTestFormattedData data(200, 100);
  AddUnicodeText(data, u"abc\u00ADdef");
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 1);
  EXPECT_EQ(data.Line(0).Width, 6 * W);
  TTestFormattedData shown(40, 100);
  shown.SetOptions(rdoShowSpecialCharacters);
  AddUnicodeText(shown, u"abc\u00ADdef");
  shown.Format();
  ASSERT_GT(shown.DrawItems.Count(), 1);
  for (int d = 0; d < shown.DrawItems.Count(); ++d)
    EXPECT_EQ(shown.Line(d).Width, shown.Line(d).Length * W);  // the mark is a character
}

TEST(WordWrap, ItemsOfOneParagraphShareTheLine) {
  TTestFormattedData data(200, 100);
  data.AddText("ab", 0, 0);
  data.AddText("cd", 1, -1);
  data.AddText("ef", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_FALSE(data.Line(1).FromNewLine);
  EXPECT_EQ(data.Line(1).Left, 5 + 2 * W);
  EXPECT_EQ(data.Line(1).Top, data.Line(0).Top);
  EXPECT_TRUE(data.Line(2).FromNewLine);
  EXPECT_EQ(data.GetLineNumber(2, 1), 2);
  EXPECT_EQ(data.GetLineNumber(1, 1), 1);
}

TEST(WordWrap, EmptyDocumentHasOnlyItsMargins) {
  TTestFormattedData data(100, 100);
  data.Format();
  EXPECT_EQ(data.DrawItems.Count(), 0);
  EXPECT_EQ(data.DocumentHeight, 10);
  EXPECT_EQ(data.FindFirstVisibleDrawItem(50, 0), 0);
  EXPECT_EQ(data.FindDrawItemAtPoint(10, 10), -1);
  EXPECT_EQ(data.GetFirstVisibleItemNo(), -1);
}

TEST(MaxLength, ALineHoldsNoMoreCharactersThanTheLimit) {
  TTestFormattedData data(300, 100);  // room for 48 characters
  data.max_length = 5;
  data.AddText("abcdefghijkl", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(0).Length, 5);
  EXPECT_EQ(data.Line(1).Offs, 6);
  EXPECT_EQ(data.Line(1).Length, 5);
  EXPECT_TRUE(data.Line(1).FromNewLine);
  EXPECT_EQ(data.Line(2).Length, 2);
  EXPECT_EQ(data.Line(2).Top, 25);
}

TEST(MaxLength, TheLimitBreaksAtASpaceInsideIt) {
  TTestFormattedData data(300, 100);
  data.max_length = 4;
  data.AddText("ab cd ef", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(0).Length, 2);
  EXPECT_EQ(data.Line(1).Offs, 4);
  EXPECT_EQ(data.Line(1).Length, 2);
  EXPECT_EQ(data.Line(2).Offs, 7);
  EXPECT_EQ(data.Line(2).Length, 2);
}

TEST(MaxLength, ReachedTheNextItemsOfTheParagraphStartNewLines) {
  TTestFormattedData data(300, 100);
  data.style.DefTabWidth = 48;
  data.max_length = 4;
  data.AddText("abc", 0, 0);
  data.AddText("def", 0, -1);  // one more character fits: the word goes on whole
  data.AddText("g", 0, -1);    // the fourth character of that line
  data.AddItemAtEnd("", CreateRDItem(rdsTab, &data));
  data.GetItem(3)->ItemOptions |= rdioContinuesPara;  // the limit is reached
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 4);
  EXPECT_EQ(data.Line(0).Length, 3);
  EXPECT_TRUE(data.Line(1).FromNewLine);
  EXPECT_EQ(data.Line(1).Left, 5);
  EXPECT_EQ(data.Line(1).Length, 3);
  EXPECT_FALSE(data.Line(2).FromNewLine);
  EXPECT_TRUE(data.Line(3).FromNewLine);
  EXPECT_EQ(data.Line(3).Top, 25);
  // Without a limit all of it is one line.
  data.max_length = 0;
  data.Format();
  for (int d = 1; d < 4; ++d) EXPECT_FALSE(data.Line(d).FromNewLine);
}

TEST(ExternalLeading, TheFontsLeadingWidensEveryLineWithItsFlag) {
  constexpr int L = TRasterCanvas::kExternalLeading;
  TTestFormattedData data(200, 100);
  data.AddText("a", 0, 0);
  data.AddText("b", 0, 0);
  data.AddText("c", 0, -1);
  data.SetFlags(data.GetFlags() | rdfExternalLeading);
  data.Format();
  EXPECT_EQ(data.Line(0).Top, 5);
  EXPECT_EQ(data.Line(1).Top, 5 + 10 + L);
  EXPECT_EQ(data.Line(2).Top, data.Line(1).Top);
  EXPECT_EQ(data.Line(1).Height, 10);
  EXPECT_EQ(data.DocumentHeight, 5 + 2 * (10 + L) + 5);
  data.SetFlags(data.GetFlags() & ~rdfExternalLeading);
  data.Format();
  EXPECT_EQ(data.Line(1).Top, 15);
  EXPECT_EQ(data.DocumentHeight, 30);
}

TEST(Alignment, RightAndCentreShiftTheLine) {
  TTestFormattedData data(110, 100);  // text width 100
  TParaInfo& right = data.style.ParaStyles().Add();
  right.Alignment = rdaRight;
  data.AddText("abcd", 0, 2);  // 24 wide
  data.AddText("abcd", 0, 1);  // the sheet's "Centered"
  data.Format();
  EXPECT_EQ(data.Line(0).Left, 5 + 100 - 24);
  EXPECT_EQ(data.Line(1).Left, 5 + (100 - 24) / 2);
}

TEST(Alignment, ALineWiderThanItsRoomStaysAtItsIndent) {
  TTestFormattedData data(40, 100);  // text width 30
  TParaInfo& right = data.style.ParaStyles().Add();
  right.Alignment = rdaRight;
  right.Options = rdpaoNoWrap;
  data.AddText("abcdefghij", 0, 2);  // 60 wide, never wrapped
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 1);
  EXPECT_EQ(data.Line(0).Left, 5);
  EXPECT_GE(data.DocumentWidth, 60);
}

TEST(Alignment, JustifyStretchesThePiecesThatBeginWithASpace) {
  TTestFormattedData data(75, 100);  // text width 65
  TParaInfo& justify = data.style.ParaStyles().Add();
  justify.Alignment = rdaJustify;
  data.AddText("aa bb cc dd ee ff", 0, 2);
  data.Format();
  // "aa bb cc" (48 pixels) fits, " dd" would end at 66.
  int first, last;
  data.GetLineDrawItemRange(0, first, last);
  EXPECT_EQ(first, 0);
  ASSERT_GE(last, 2);
  const TRDDrawLineInfo& end = data.Line(last);
  EXPECT_EQ(end.Left + end.Width, 5 + 65);  // the line ends at its right edge
  int extra = 0;
  for (int d = first; d <= last; ++d) extra += data.Line(d).JustifyExtra;
  EXPECT_EQ(extra, 65 - 48);
  EXPECT_LE(data.Line(1).JustifyExtra, data.Line(2).JustifyExtra);  // later, larger shares
  // The paragraph's last line stays left-aligned.
  const TRDDrawLineInfo& tail = data.Line(data.DrawItems.Count() - 1);
  EXPECT_EQ(tail.JustifyExtra, 0);
}

TEST(LineSpacing, PercentAddsBelowTheLine) {
  TTestFormattedData data(200, 100);
  TParaInfo& spaced = data.style.ParaStyles().Add();
  spaced.LineSpacing = 150;
  data.AddText("a", 0, 2);
  data.AddText("b", 0, 2);
  data.Format();
  EXPECT_EQ(data.Line(0).ExtraSpaceBelow, 5);
  EXPECT_EQ(data.Line(1).Top, 5 + 10 + 5);
  spaced.LineSpacing = 49;
  data.Format();
  EXPECT_EQ(data.Line(0).ExtraSpaceBelow, 0);
}

TEST(Tabs, ALeftTabReachesTheNextStop) {
  TTestFormattedData data(300, 100);
  data.style.DefTabWidth = 48;
  data.AddText("ab", 0, 0);
  data.AddItemAtEnd("", CreateRDItem(rdsTab, &data));
  data.GetItem(1)->ItemOptions |= rdioContinuesPara;
  data.AddText("c", 0, -1);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(2).Left, 5 + 48);
}

TEST(Tabs, ARightTabMakesTheTextAfterItEndAtTheStop) {
  TTestFormattedData data(300, 100);
  data.style.ParaStyles()[0].Tabs.Add(120, rdtaRight);
  data.AddText("ab", 0, 0);
  data.AddItemAtEnd("", CreateRDItem(rdsTab, &data));
  data.GetItem(1)->ItemOptions |= rdioContinuesPara;
  data.AddText("cde", 0, -1);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(2).Left + data.Line(2).Width, 5 + 120);
}

TEST(FullLineItems, ABreakLineIsElevenPixelsHigh) {
  TTestFormattedData data(200, 100);
  data.AddText("a", 0, 0);
  data.AddItemAtEnd("", CreateRDItem(rdsBreak, &data));
  data.AddText("b", 0, 0);
  data.Format();
  ASSERT_EQ(data.DrawItems.Count(), 3);
  EXPECT_EQ(data.Line(1).Height, 11);
  EXPECT_EQ(data.Line(1).Top, 15);
  EXPECT_EQ(data.Line(2).Top, 15 + 11);
}

TEST(FormatTail, LaysOutOnlyWhatCameAfterTheLastFormat) {
  TTestFormattedData data(200, 40);
  data.SetOptions(rdoScrollToEnd);
  for (int i = 0; i < 5; ++i) data.AddText("line", 0, 0);
  data.FormatTail();  // never formatted: everything
  ASSERT_EQ(data.DrawItems.Count(), 5);
  TRDDrawLineInfo* kept = data.DrawItems[2];
  data.AddText("more", 0, 0);
  data.FormatTail();
  ASSERT_EQ(data.DrawItems.Count(), 6);
  EXPECT_EQ(data.DrawItems[2], kept);  // earlier lines are not laid out again
  EXPECT_EQ(data.Line(5).Top, 5 + 50);
  EXPECT_EQ(data.DocumentHeight, 70);
  EXPECT_EQ(data.v_offs, 70 - 40);  // scrolled to the end
}

TEST(FormatTail, PicksUpTextAddedToTheLastParagraph) {
  TTestFormattedData data(200, 40);
  data.AddText("ab", 0, 0);
  data.FormatTail();
  data.Items.SetString(0, "abcd");
  data.AddText("ef", 1, -1);
  data.FormatTail();
  ASSERT_EQ(data.DrawItems.Count(), 2);
  EXPECT_EQ(data.Line(0).Length, 4);
  EXPECT_EQ(data.Line(1).Left, 5 + 4 * W);
}

TEST(FormatTail, WithoutScrollToEndTheViewStays) {
  TTestFormattedData data(200, 40);
  for (int i = 0; i < 10; ++i) data.AddText("line", 0, 0);
  data.Format();
  data.ScrollTo(20, false);
  data.AddText("more", 0, 0);
  data.FormatTail();
  EXPECT_EQ(data.v_offs, 20);
}

TEST(SecondPass, AScrollBarThatAppearsFormatsOnceMore) {
  TTestFormattedData data(70, 20);
  data.bar_width = 20;  // text width 60, then 40
  data.AddText("aaaa bbbb cccc dddd", 0, 0);
  data.Format();
  EXPECT_EQ(data.area_calls, 2);
  EXPECT_EQ(data.TextWidth, 40);
  EXPECT_EQ(data.Line(0).Length, 4);
}

TEST(HitTests, PositionsAtBordersAndBetweenDrawLines) {
  TTestFormattedData data(70, 100);
  data.AddText("aaaa bbbb cccc", 0, 0);
  data.Format();
  int d, offs;
  data.FindDrawItemAtPos(5, 6, false, d, offs);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(offs, 1);
  data.FindDrawItemAtPos(5 + W + 2, 6, false, d, offs);  // nearer the boundary after 'a'
  EXPECT_EQ(offs, 2);
  data.FindDrawItemAtPos(5 + W / 2, 6, false, d, offs);  // a tie: the earlier boundary
  EXPECT_EQ(offs, 1);
  data.FindDrawItemAtPos(300, 16, false, d, offs);  // right of the second line
  EXPECT_EQ(d, 1);
  EXPECT_EQ(offs, 5);
  data.FindDrawItemAtPos(300, 16, true, d, offs);
  EXPECT_EQ(d, -1);
  // The caret after "bbbb" lies on the border of both draw lines: the earlier one.
  int dItem, dOffs;
  data.ItemToDrawItem(0, 10, dItem, dOffs);
  EXPECT_EQ(dItem, 0);
  EXPECT_EQ(dOffs, 10);
  data.ItemToDrawItem(0, 12, dItem, dOffs);
  EXPECT_EQ(dItem, 1);
  EXPECT_EQ(dOffs, 2);
  int itemNo, itemOffs;
  data.DrawItemToItem(-1, 0, itemNo, itemOffs);
  EXPECT_EQ(itemNo, -1);
  data.DrawItemToItem(1, 2, itemNo, itemOffs);
  EXPECT_EQ(itemOffs, 12);
}

TEST(Formatting, ClearFormattingLeavesTheMargins) {
  TTestFormattedData data(70, 100);
  data.AddText("a", 0, 0);
  data.Format();
  data.ClearFormatting();
  EXPECT_EQ(data.DocumentHeight, 10);
  EXPECT_EQ(data.LastFormattedItem, -1);
  EXPECT_EQ(data.GetItem(0)->DrawItemNo, -1);
}

TEST(FormattedDeletion, LeadingParagraphsGoAndTheRestMovesUp) {
  TTestFormattedData data(200, 40);
  for (int i = 0; i < 4; ++i) data.AddText(std::string(1, char('a' + i)), 0, 0);
  data.Format();
  data.SetSelectionBounds(3, 1, 3, 2);
  TRDDrawLineInfo* kept = data.DrawItems[3];
  data.DeleteItemsFormatted(0, 2);
  ASSERT_EQ(data.DrawItems.Count(), 2);
  EXPECT_EQ(data.DrawItems[1], kept);
  EXPECT_EQ(data.Line(0).Top, 5);
  EXPECT_EQ(data.Line(1).ItemNo, 1);
  EXPECT_EQ(data.DocumentHeight, 30);
  EXPECT_EQ(data.LastFormattedItem, 1);
  int s, so, e, eo;
  data.GetSelectionBounds(s, so, e, eo, true);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(eo, 2);
}

TEST(FitSearch, AVeryLongItemFitsWithoutOverflow) {
  TTestFormattedData data(2'000'000, 100);
  data.AddText(std::string(400'000, 'x'), 0, 0);
  data.Format();
  EXPECT_GT(data.DrawItems.Count(), 1);
  EXPECT_EQ(data.Line(0).Length, (2'000'000 - 10) / W);
}

// A document's height is bounded, it never wraps round: 70,000 pictures, each as high as
// a picture may be (a file asking 2,147,483,647 pixels gets 32,767), laid out one a line
// made a document of -2,001,137,226 pixels. Lines past the bound stay at it, below the
// lines before them.
TEST(DocumentHeight, LinesPastTheBoundStayAtItInsteadOfWrappingRound) {
  TTestFormattedData data(100, 100);
  const auto addPictures = [&](int count) {
    for (int i = 0; i < count; ++i) {
      auto picture =
          TRDGraphicItemInfo::CreateWithGraphic(&data, SolidPicture(4, 4, clRed), rdvaBaseline);
      ReadRDFExtraProperty(*picture, "height=2147483647");
      data.AddItemAtEnd("", std::move(picture));
    }
  };
  addPictures(1000);
  data.Format();
  const int thousand = data.DocumentHeight;
  EXPECT_GT(thousand, 1000 * 32767);
  addPictures(69000);
  data.Format();
  EXPECT_GE(data.DocumentHeight, thousand);
  int top = 0;
  for (int d = 0; d < data.DrawItems.Count(); ++d) {
    ASSERT_GE(data.Line(d).Top, top) << d;
    top = data.Line(d).Top;
  }
  EXPECT_LT(top, data.DocumentHeight);
}

// The real font's canvas, measuring every prefix a line fit asks for by itself, as a
// canvas without a cut of its own does.
class TEachPrefixCanvas : public TRDPlatformCanvas {
 public:
  using TRDPlatformCanvas::TRDPlatformCanvas;
  std::unique_ptr<TTextPrefixes> TextPrefixesW(std::u16string_view text) override {
    return TRDCanvas::TextPrefixesW(text);
  }
};

// Paragraphs as users write them, wrapped in a real font, are cut into the same lines at
// the same places whether a line's candidates share one cut of its text or each is
// measured alone: Hebrew, pointed Hebrew, Arabic with vowels and lam-alef, Hebrew mixed
// with Latin words and numbers, with tabs, zero-width characters and soft hyphens, in
// paragraphs set right to left, left to right and justified, in one item and word by
// word.
TEST(WordWrap, LinesOfRealScriptsAreCutAsEachCandidateMeasuredAlone) {
  const char16_t points[] = {0x05B8, 0x05B7, 0x05B4, 0x05BC, 0x05B6, 0x05B5, 0x05B0};
  const char16_t vowels[] = {0x064E, 0x0650, 0x064F, 0x0651};
  std::vector<std::u16string> paragraphs(5);
  for (int i = 0; i < 160; ++i) {
    std::u16string hebrew, pointed, arabic;
    for (int k = 0; k < 2 + (i * 7 + i / 5) % 6; ++k) {
      const int n = i * 3 + k * 5;
      hebrew += char16_t(0x05D0 + n % 27);
      pointed += {char16_t(0x05D0 + n % 27), points[size_t(i + k) % std::size(points)]};
      arabic += char16_t(n % 36 < 26 ? 0x0621 + n % 36 : 0x0641 + n % 36 - 26);
      if (i % 2 == 0 && k % 2 == 1) arabic += vowels[size_t(i + k) % std::size(vowels)];
    }
    paragraphs[0] += hebrew + u' ';
    paragraphs[1] += pointed + u' ';
    paragraphs[2] += arabic + (i % 9 == 0 ? u" \u0644\u0627 " : u" ");
    paragraphs[3] += (i % 4 == 1   ? u"APRS" + std::u16string(1, char16_t(u'a' + i % 26))
                      : i % 4 == 3 ? std::u16string(u"1234")
                                   : hebrew) +
                     u' ';
    paragraphs[4] += hebrew +
                     (i % 7 == 0   ? u"\t"
                      : i % 7 == 3 ? u"\u200B"
                                   : u"") +
                     (i % 5 == 0 ? u"\u00AD" : u"") + arabic + u' ';
  }
  const TRDBiDiMode modes[] = {rdbdRightToLeft, rdbdLeftToRight, rdbdRightToLeft};
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TRDPlatformCanvas shared(bitmap.Canvas());
  TEachPrefixCanvas alone(bitmap.Canvas());
  for (bool wordByWord : {false, true}) {
    SCOPED_TRACE(wordByWord ? "an item a word" : "one item");
    TTestFormattedData data(570, 400);
    data.style.TextStyles()[0].Unicode = true;
    data.style.TextStyles()[0].FontName = "DejaVu Sans";
    for (size_t m = 0; m < std::size(modes); ++m) {
      TParaInfo& para = data.style.ParaStyles().Add();
      para.BiDiMode = modes[m];
      if (m == 2) para.Alignment = rdaJustify;
      for (const std::u16string& text : paragraphs) {
        const int paraNo = data.style.ParaStyles().Count() - 1;
        size_t from = 0;
        for (size_t end = 0; end <= text.size(); ++end) {
          if (end < text.size() && (!wordByWord || text[end] != u' ')) continue;
          AddUnicodeText(data, text.substr(from, end - from));
          TCustomRDItemInfo& item = *data.GetItem(data.Items.Count() - 1);
          item.ParaNo = paraNo;
          if (from != 0) item.ItemOptions |= rdioContinuesPara;
          from = end;
        }
      }
    }
    const auto lines = [&](TRDCanvas& canvas) {
      data.FormatItems(false, true, false, 0, &canvas, false, true, false);
      std::vector<std::vector<int>> all;
      for (int d = 0; d < data.DrawItems.Count(); ++d) {
        const TRDDrawLineInfo& line = data.Line(d);
        all.push_back({line.ItemNo, line.Offs, line.Length, line.Left, line.Top, line.Width});
      }
      return all;
    };
    const std::vector<std::vector<int>> measuredAlone = lines(alone);
    EXPECT_GT(measuredAlone.size(), 30u * std::size(modes));
    EXPECT_EQ(lines(shared), measuredAlone);
  }
}

}  // namespace
