// Tag, text, detection, scaling, colour and list routines shared by the component.
#include <gtest/gtest.h>

#include "richtext/base/rd_colors.h"
#include "richtext/base/rd_lists.h"
#include "richtext/base/text_routines.h"

namespace {

TEST(Tags, StringTagsAreCopiedAndComparedAsText) {
  TRDTag tag{0, std::string("abc")};
  TRDTag copy = CopyItemTag(tag, true);
  EXPECT_EQ(copy.Text, tag.Text);
  copy.Text->push_back('d');
  EXPECT_EQ(*tag.Text, "abc");
  EXPECT_TRUE(CompareItemTags(TRDTag{}, TRDTag{}, true));
  EXPECT_FALSE(CompareItemTags(TRDTag{0, "x"}, TRDTag{}, true));
  EXPECT_FALSE(CompareItemTags(TRDTag{0, "x"}, TRDTag{0, "X"}, true));
  EXPECT_TRUE(CompareItemTags(TRDTag{5, {}}, TRDTag{5, "other"}, false));
}

TEST(TextRoutines, Tabs) {
  EXPECT_EQ(ReplaceTabs("a\tb", 3), "a   b");
  EXPECT_EQ(ReplaceTabsW(std::string("a\0\t\0", 4), 2), std::string("a\0 \0 \0", 6));
}

TEST(TextRoutines, Replacing) {
  std::string s = "aaa";
  ReplaceAllFromStart(s, "aa", "a");
  EXPECT_EQ(s, "a");
  s = "xax";
  ReplaceAllFromStart(s, "a", "aa");  // would never end restarting from the start
  EXPECT_EQ(s, "xaax");
  s = "abab";
  ReplaceAllForward(s, "ab", "b");
  EXPECT_EQ(s, "bb");
  // The new text holds the old one, or the old one is empty: each ends.
  s = "a-a";
  ReplaceAllStr(s, "a", "aa");
  EXPECT_EQ(s, "aa-aa");
  ReplaceAllStr(s, "", "x");
  EXPECT_EQ(s, "aa-aa");
  ReplaceAllStr(s, "aa", "b");
  EXPECT_EQ(s, "b-b");
  s = "";
  AppendWithSeparator(s, "a", ", ");
  AppendWithSeparator(s, "", ", ");
  AppendWithSeparator(s, "b", ", ");
  EXPECT_EQ(s, "a, b");
  AppendWithSpace(s, "c");
  EXPECT_EQ(s, "a, b c");
  s = "a{b}c";
  ReplaceCharsInSet(s, '_', "{}");
  EXPECT_EQ(s, "a_b_c");
  s = "a{b}";
  PrefixCharsInSet(s, "\\", "{}");
  EXPECT_EQ(s, "a\\{b\\}");
  EXPECT_EQ(FindCharInBuf("abc", 'c', 3), 3);
  EXPECT_EQ(FindCharInBuf("abc", 'c', 2), 0);
}

TEST(TextRoutines, PercentEscapesAndHexDigits) {
  EXPECT_EQ(DecodePercentEscapes("a%2Fb%zz"), "a/b%zz");
  EXPECT_EQ(DecodePercentEscapes("%4a%"), "J%");
  EXPECT_EQ(DecodePercentEscapes("%4"), "%4");
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('g'), 0);
}

TEST(TextRoutines, UrlsAndMailAddresses) {
  EXPECT_TRUE(IsURL("HTTP://example.org"));
  EXPECT_TRUE(IsURL("www.x"));
  EXPECT_FALSE(IsURL("www."));
  EXPECT_FALSE(IsURL("example.org"));
  EXPECT_FALSE(IsEmailAddress("a.b@host"));
  EXPECT_TRUE(IsEmailAddress("a@host.org"));
  EXPECT_FALSE(IsEmailAddress("host.org"));
}

TEST(TextRoutines, PointInBoxExcludesTheFarEdges) {
  EXPECT_TRUE(IsPointInBox(0, 0, 0, 0, 2, 2));
  EXPECT_FALSE(IsPointInBox(2, 1, 0, 0, 2, 2));
  EXPECT_FALSE(IsPointInBox(1, 2, 0, 0, 2, 2));
}

TEST(Scaling, RDMulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(RDMulDiv(5, 1, 2), 3);
  EXPECT_EQ(RDMulDiv(-5, 1, 2), -3);
  EXPECT_EQ(RDMulDiv(10, 300, 96), 31);
  EXPECT_EQ(RDMulDiv(1, 1, 0), -1);
  TRDResolution r;
  r.DevicePixelsPerInchX = 600;
  r.DevicePixelsPerInchY = 300;
  EXPECT_EQ(ScreenToDeviceX(96, r), 600);
  EXPECT_EQ(ScreenToDeviceY(96, r), 300);
  EXPECT_EQ(ScaleByRatioX(600, r), 96);
  EXPECT_EQ(ScaleByRatioY(300, r), 96);
  TRect rect{600, 300, 1200, 600};
  ScaleRectToScreen(rect, r);
  EXPECT_EQ(rect, (TRect{96, 96, 192, 192}));
}

TEST(Colors, GreyAndColourModes) {
  EXPECT_EQ(RGBToGrayLevel(clWhite), 255);
  EXPECT_EQ(RGBToGrayLevel(clRed), 76);  // 76.5, halves to even
  EXPECT_EQ(ColorToGray(clRed), TColor(0x4C4C4C));
  EXPECT_EQ(ColorToGray(clNone), clNone);
  EXPECT_EQ(ReplaceSystemColor(clBtnFace), clSilver);
  EXPECT_EQ(ReplaceSystemColor(clWindowText), clBlack);
  EXPECT_EQ(ReplaceSystemColor(clHighlight), clHighlight);
  EXPECT_EQ(ConvertTextColor(clBtnFace, 3), clBlack);
  EXPECT_EQ(ConvertTextColor(clWhite, 3), clWhite);
  EXPECT_EQ(ConvertTextColor(clNone, 2), clNone);
  EXPECT_EQ(ConvertTextColor(clBtnShadow, 2), TColor(0x808080));
  EXPECT_EQ(ConvertBackColor(clRed, 3), clWhite);
  EXPECT_EQ(ConvertBackColor(clNone, 3), clNone);
}

TEST(Similarity, ValueScoresRoundHalvesToEven) {
  EXPECT_EQ(RateValueSimilarity(10, 10, 1000), 1000);
  EXPECT_EQ(RateValueSimilarity(10, 5, 1000), 500);
  EXPECT_EQ(RateValueSimilarity(0, 0, 7), 7);
  EXPECT_EQ(RateValueSimilarity(0, 3, 10), -20);
  EXPECT_EQ(RateValueSimilarity(4, 3, 2), 2);   // 1.5 -> 2
  EXPECT_EQ(RateValueSimilarity(4, 3, 10), 8);  // 7.5 -> 8
  EXPECT_EQ(RateValueSimilarity(8, 7, 4), 4);   // 3.5 -> 4
  EXPECT_EQ(RateValueSimilarity(8, 5, 4), 2);   // 2.5 -> 2
  EXPECT_EQ(RateValueSimilarity(-10, -5, 100), 50);
}

TEST(Similarity, ColourScores) {
  EXPECT_EQ(RateColorSimilarity(clNone, clNone, 10, 5), 35);
  EXPECT_EQ(RateColorSimilarity(clNone, clRed, 10, 5), 0);
  EXPECT_EQ(RateColorSimilarity(clRed, clRed, 3333, 3000), 3000);
  EXPECT_EQ(RateColorSimilarity(clBlack, clWhite, 255, 7), -765);
  EXPECT_EQ(RateColorSimilarity(clWindowText, clBlack, 100, 9), 9);  // system colour resolved
}

TEST(Lists, IntegerListsCheckTheirIndex) {
  TRDIntegerList list(3, 7);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetValue(2), 7);
  list.SetValue(1, 4);
  EXPECT_EQ(list.AddUnique(4), 1);
  EXPECT_EQ(list.AddUnique(9), 3);
  list.SortAscending();
  EXPECT_EQ(list.GetValue(0), 4);
  EXPECT_THROW(list.GetValue(4), ERDListIndexError);
  EXPECT_THROW(list.SetValue(-1, 0), ERDListIndexError);
  try {
    list.GetValue(9);
  } catch (const ERDListIndexError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (9)");
  }
  TRDColorList colors;
  colors.AddUniqueColor(clNone);
  colors.AddUniqueColor(clRed);
  colors.AddUniqueColor(clRed);
  EXPECT_EQ(colors.Count(), 1);
}

TEST(Lists, OwningListFreesAndHandsOver) {
  TRDList<int> list;
  list.Add(std::make_unique<int>(1));
  list.Add(std::make_unique<int>(2));
  list.Add(std::make_unique<int>(3));
  list.FreeAndDelete(0);
  std::unique_ptr<int> taken = list.DeleteWithoutFree(0);
  EXPECT_EQ(*taken, 2);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(*list[0], 3);
  EXPECT_THROW(list.Get(1), ERDListIndexError);
}

}  // namespace
