// Applying text and paragraph styles through the style-conversion handler: which items
// split and join, what keeps its tag, text moving between ANSI and Unicode styles, and
// the list numbers laid out again after an edit.
#include <gtest/gtest.h>

#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// Every text style becomes the user data's style, except the fixture's protected one.
void ConvertTo(TEditFixture& f, int styleNo, bool wholeParagraphs = false) {
  f.edit.StyleConversionHandler = [&f](TCustomRichDocEdit*, int oldStyle, int, int userData, bool,
                                       int& newStyle, bool) {
    if (oldStyle != f.protectedStyle) newStyle = userData;
  };
  f.data.ApplyTextStyleConversion(styleNo, 0, wholeParagraphs);
}

std::string Styles(const TRDEditRDData& data) {
  std::string out;
  for (int i = 0; i < data.GetItemCount(); ++i)
    out += (i ? " " : "") + std::to_string(data.GetItem(i)->StyleNo);
  return out;
}

}  // namespace

TEST(ApplyTextStyle, PartOfAnItemSplitsItIntoThreeAndUndoJoinsThemBack) {
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  f.data.AddCheckpointWithUndo(0, std::make_unique<TRDCPInfo>());
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 2, 0, 4);
  ConvertTo(f, 2);
  EXPECT_EQ(Texts(f.data), "[a] [bc] [d]");
  EXPECT_EQ(Styles(f.data), "0 2 0");
  EXPECT_TRUE(f.data.GetItem(0)->Checkpoint);  // stays at the start
  int s, so, e, eo;
  f.data.GetSelectionBounds(s, so, e, eo, true);
  EXPECT_EQ(f.data.ItemToLinear(s, so), 1);
  EXPECT_EQ(f.data.ItemToLinear(e, eo), 3);
  EXPECT_EQ(f.data.UndoList->CurrentKind(), rdutStyleNo);
  ExpectUndoRedo(f, before);
  // The old style applied back makes one item again.
  Select(f, 1, 1, 1, 3);
  ConvertTo(f, 0);
  EXPECT_EQ(Texts(f.data), "[abcd]");
}

TEST(ApplyTextStyle, HeadsAndTailsOfSeveralItemsSplitAndPiecesJoinTheirNeighbours) {
  TEditFixture f;
  f.AddPara({{"one", 0}, {"two", 1}, {"six", 2}});
  f.AddPara({{"ten", 2}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 2, 3, 3);  // "ne" .. "te"
  ConvertTo(f, 2);
  // "ne" and "two" join; "six" joins them; "te" starts the second paragraph.
  EXPECT_EQ(Texts(f.data), "[o] [netwosix] | [ten]");
  EXPECT_EQ(Styles(f.data), "0 2 2");
  EXPECT_EQ(f.data.GetItem(2)->StyleNo, 2);
  ExpectUndoRedo(f, before);
  // Whole paragraphs: the second paragraph's other pieces go along.
  f.data.Deselect(false);
  f.data.PlaceCaretAtItem(0, 1, false);
  ConvertTo(f, 3, true);
  EXPECT_EQ(Texts(f.data), "[onetwosix] | [ten]");
  EXPECT_EQ(Styles(f.data), "3 2");
}

// Many lines of pieces, an empty piece among them, joined into one item a line; undo
// parts them as they were and redo joins them again, twice over.
TEST(ApplyTextStyle, LinesOfPiecesJoinAndUndoAndRedoGiveEachStateBack) {
  TEditFixture f;
  for (int line = 0; line < 30; ++line)
    f.AddPara({{"line" + std::to_string(line), 0}, {"b", 1}, {"", 3}, {"cd", 3}, {"e", 1}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 3, f.data.GetItemCount() - 1, 1);
  ConvertTo(f, 2);
  EXPECT_EQ(f.data.GetItemCount(), 30 + 2);
  EXPECT_EQ(f.data.GetItemTextRaw(2), "line1bcde");
  const std::string after = DescribeDocument(f.data);
  for (int round = 0; round < 2; ++round) {
    f.edit.Undo();
    EXPECT_EQ(DescribeDocument(f.data), before) << round;
    f.edit.Redo();
    EXPECT_EQ(DescribeDocument(f.data), after) << round;
  }
}

TEST(ApplyTextStyle, TheSameStyleChangesNothingAndProtectedTextKeepsItsStyle) {
  TEditFixture f;
  f.AddPara({{"ab", 2}, {"cd", f.protectedStyle}, {"ef", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 1, 0, 3);
  ConvertTo(f, 2);
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_TRUE(f.data.UndoList->Count() == 0 || f.data.UndoList->LastStep()->Count() == 0);
  Select(f, 0, 2, 2, 2);
  ConvertTo(f, 3);
  EXPECT_EQ(Texts(f.data), "[a] [b] [cd] [e] [f]");
  EXPECT_EQ(Styles(f.data), std::string("2 3 ") + std::to_string(f.protectedStyle) + " 3 0");
  ExpectUndoRedo(f, before);
}

TEST(ApplyTextStyle, TagsGoOnlyFromConvertedPiecesWithClearTagOption) {
  TEditFixture f;
  f.edit.EditorOptions |= rdoClearTagOnStyleApp;
  f.AddPara({{"abcdef", 0}});
  f.data.GetItem(0)->Tag.Number = 7;
  f.Format();
  Select(f, 0, 3, 0, 5);
  ConvertTo(f, 1);
  ASSERT_EQ(Texts(f.data), "[ab] [cd] [ef]");
  EXPECT_EQ(f.data.GetItem(0)->Tag.Number, 7);
  EXPECT_EQ(f.data.GetItem(1)->Tag.Number, 0);
  EXPECT_EQ(f.data.GetItem(2)->Tag.Number, 7);
}

TEST(ApplyTextStyle, TextKeepsItsCharactersBetweenAnsiAndUnicodeStyles) {
  TEditFixture f;
  TFontInfo& cyrillic = f.style.TextStyles().Add();
  cyrillic.Charset = 204;  // code page 1251
  const int cyrillicStyle = f.style.TextStyles().Count() - 1;
  f.AddPara({{"x\xE0\xE1y", cyrillicStyle}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 2, 0, 4);
  ConvertTo(f, f.unicodeStyle);
  ASSERT_EQ(f.data.GetItemCount(), 3);
  EXPECT_EQ(f.data.GetItemTextRaw(1), std::string("\x30\x04\x31\x04", 4));
  EXPECT_TRUE(IsUnicodeItem(f.data.GetItem(1)->ItemOptions));
  ExpectUndoRedo(f, before);
  // And back: the whole text becomes one ANSI item again.
  Select(f, 0, 1, 2, 2);
  ConvertTo(f, cyrillicStyle);
  EXPECT_EQ(Texts(f.data), "[x\xE0\xE1y]");
}

TEST(ApplyTextStyle, WithoutASelectionOnlyTheCurrentStyleChangesUnlessTheLineIsEmpty) {
  TEditFixture f;
  f.AddPara({{"abc", 0}});
  f.AddPara({{"", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 2, false);
  ConvertTo(f, 2);
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(f.edit.CurTextStyleNo(), 2);
  f.data.PlaceCaretAtItem(1, 1, false);
  ConvertTo(f, 3);
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 3);
  EXPECT_EQ(f.edit.CurTextStyleNo(), 3);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(ApplyTextStyle, NoHandlerChangesNothing) {
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 2, 0, 4);
  f.data.ApplyTextStyleConversion(2, 0, false);
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(ApplyParaStyle, SelectedParagraphsTakeTheStyleWholeAndUndoRestoresEach) {
  TEditFixture f;
  f.AddPara({{"one", 0}, {"two", 1}});
  f.AddPara({{"three", 0}}, 1);
  f.AddPara({{"four", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 1, 2, 2, 2);
  f.data.BeginUndoStep(rdutPara, true);
  f.data.ApplyParaStyleConversion(1, 0);
  EXPECT_EQ(f.data.GetItemPara(0), 1);
  EXPECT_EQ(f.data.GetItemPara(1), 1);
  EXPECT_EQ(f.data.GetItemPara(2), 1);
  EXPECT_EQ(f.data.GetItemPara(3), 0);
  EXPECT_EQ(f.edit.CurParaStyleNo(), 1);
  ExpectUndoRedo(f, before);
  // Through the handler each paragraph's own style is converted.
  f.edit.StyleConversionHandler = [](TCustomRichDocEdit*, int oldStyle, int, int, bool, int& to,
                                     bool paragraph) { to = paragraph ? 1 - oldStyle : oldStyle; };
  f.data.PlaceCaretAtItem(3, 1, false);
  f.data.BeginUndoStep(rdutPara, true);
  f.data.ApplyParaStyleConversion(0, 1);
  EXPECT_EQ(f.data.GetItemPara(3), 1);
}

// --- list numbering after edits --------------------------------------------------------------

namespace {

// Paragraphs "1." .. "n." of one decimal list.
void AddNumberedList(TEditFixture& f, int count) {
  TRDListInfo& list = f.style.ListStyles().Add();
  TRDListLevel& level = list.AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
  for (int i = 0; i < count; ++i) {
    f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
    f.AddItem(0, "item " + std::to_string(i + 1), true);
  }
}

std::string MarkerTexts(TRDEditRDData& data) {
  std::string out;
  TRDMarkerList* list = data.GetMarkers(false);
  for (int i = 0; list && i < list->Count(); ++i) out += list->Items(i)->DisplayString + " ";
  return out;
}

}  // namespace

TEST(ListRenumbering, DeletingAListParagraphRenumbersAndLaysOutTheRest) {
  TEditFixture f;
  AddNumberedList(f, 11);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  const std::string layoutBefore = DescribeLayout(f.data);
  // From the end of "item 1" to the end of "item 2": the second paragraph goes.
  Select(f, 1, 7, 3, 7);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(MarkerTexts(f.data), "1. 2. 3. 4. 5. 6. 7. 8. 9. 10. ");
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(MarkerTexts(f.data), "1. 2. 3. 4. 5. 6. 7. 8. 9. 10. 11. ");
  EXPECT_EQ(DescribeLayout(f.data), layoutBefore);
}

TEST(ListRenumbering, DeletingFromAListItemsTextIntoATableTakesItsMarkerToo) {
  TEditFixture f;
  f.AddPara({{"Intro", 0}});
  AddNumberedList(f, 2);
  f.data.AddItemAtEnd("", std::make_unique<TRDTableItemInfo>(1, 2, &f.data));
  f.AddPara({{"after", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  // From just after the first marker to the start of the table.
  Select(f, 2, 1, 5, 0);
  ASSERT_TRUE(f.edit.DeleteSelection());
  // The marker keeps an empty line of text for the caret, as when its whole paragraph goes.
  EXPECT_EQ(Texts(f.data), "[Intro] | <-11> [] | <-60> | [after]");
  EXPECT_EQ(f.edit.CaretItemNo(), 2);
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
  ExpectUndoRedo(f, before);
}

TEST(ListRenumbering, AStyleThatJoinsItemsOfManyListParagraphsAppliesWhole) {
  TEditFixture f;
  AddNumberedList(f, 0);
  // Two items in each paragraph: the style given to the whole selection joins them.
  for (int i = 1; i <= 11; ++i) {
    f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
    f.AddItem(0, "item " + std::to_string(i), true);
    f.AddItem(1, "!", true);
  }
  f.Format();
  const std::string before = DescribeDocument(f.data);
  const int last = f.data.GetItemCount() - 1;
  Select(f, 1, 1, last, f.data.GetItemEndOffset(last));
  f.edit.ApplyTextStyle(0);
  EXPECT_EQ(f.data.GetItemCount(), 2 * 11);
  EXPECT_EQ(f.data.GetItemTextRaw(last - 11), "item 11!");
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
  ExpectUndoRedo(f, before);
}

TEST(ListRenumbering, AMarkerInAnEmptyLineAfterAnEqualListContinuesIt) {
  TEditFixture f;
  AddNumberedList(f, 2);
  // An equal list of its own: the new marker is made for it, but counts on in list 0.
  TRDListInfo& twin = f.style.ListStyles().Add();
  twin.Assign(f.style.ListStyles().Items(0));
  f.AddPara({{"", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(4, 1, false);
  ASSERT_TRUE(f.edit.InsertItem(TRDMarkerItemInfo::CreateMarker(&f.data, 1, 0, 1, false), ""));
  const auto& marker = f.data.CheckItemClass<TRDMarkerItemInfo>(4);
  EXPECT_EQ(marker.ListNo, 0);
  EXPECT_EQ(marker.DisplayString, "3.");
}

TEST(ParagraphCheckpoints, ItemInsertedAtAParagraphStartTakesItsCheckpoint) {
  TEditFixture f;
  f.AddPara({{"first", 0}});
  f.AddPara({{"second", 0}});
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Persistent = true;
  cp->Name = "para";
  f.Format();
  f.data.AddCheckpointWithUndo(1, std::move(cp));
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(1, 1, false);
  ASSERT_TRUE(f.edit.InsertItem(f.data.CreateTextItem(2, 0, false, false, TRDTag{}), "new"));
  EXPECT_EQ(Texts(f.data), "[first] | [new] [second]");
  ASSERT_TRUE(f.data.GetItem(1)->Checkpoint);
  EXPECT_EQ(f.data.GetItem(1)->Checkpoint->Name, "para");
  EXPECT_FALSE(f.data.GetItem(2)->Checkpoint);
  ExpectUndoRedo(f, before);
}
