// Inserting an item at the caret and deleting the selection, each as the editor does
// them: the document afterwards, the caret, and the undo back to the document before.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

std::unique_ptr<TCustomRDItemInfo> Picture(TRDEditRDData& data) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(16, 16);
  return TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
}

}  // namespace

TEST(InsertItem, APictureInsideAWordSplitsItsItem) {
  TEditFixture f;
  f.AddPara({{"abcdef", 2}});
  f.data.GetItem(0)->Tag.Number = 9;
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 4, false);
  ASSERT_TRUE(f.edit.InsertItem(Picture(f.data), ""));
  EXPECT_EQ(Texts(f.data), "[abc] <-3> [def]");
  EXPECT_EQ(f.data.GetItem(2)->StyleNo, 2);
  EXPECT_EQ(f.data.GetItem(2)->Tag.Number, 9);
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  EXPECT_EQ(f.edit.CaretItemOffset(), 1);
  EXPECT_TRUE(f.edit.Modified);
  ExpectUndoRedo(f, before);
}

TEST(InsertItem, AtAParagraphStartTheOldFirstItemContinuesIt) {
  TEditFixture f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.Format();
  f.data.GetItem(1)->SetLineBreakBefore(true);
  f.data.GetItem(1)->SetContinuesPara(false);
  f.Format();
  f.data.PlaceCaretAtItem(1, 1, false);
  ASSERT_TRUE(f.edit.InsertItem(Picture(f.data), ""));
  // The new item takes over the line break; the old first item continues its line.
  EXPECT_EQ(Texts(f.data), "[one] / <-3> [two]");
  EXPECT_TRUE(f.data.GetItem(2)->GetContinuesPara());
  EXPECT_FALSE(f.data.GetItem(2)->GetLineBreakBefore());
}

TEST(InsertItem, IntoAnEmptyLineReplacesItWithItsBreaks) {
  TEditFixture f;
  f.AddPara({{"a", 0}});
  f.AddPara({{"", 0}});
  f.AddPara({{"b", 0}});
  f.data.GetItem(1)->SetPageBreakBefore(true);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(1, 1, false);
  ASSERT_TRUE(f.edit.InsertItem(Picture(f.data), ""));
  EXPECT_EQ(Texts(f.data), "[a] | <-3> | [b]");
  EXPECT_TRUE(f.data.GetItem(1)->GetPageBreakBefore());
  ExpectUndoRedo(f, before);
}

TEST(InsertItem, TextLeavesTheCaretAfterIt) {
  TEditFixture f;
  f.AddPara({{"ab", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 3, false);
  ASSERT_TRUE(f.edit.InsertItem(f.data.CreateTextItem(1, 0, false, false, TRDTag{}), "xyz"));
  EXPECT_EQ(Texts(f.data), "[ab] [xyz]");
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  EXPECT_EQ(f.edit.CaretItemOffset(), 4);
}

TEST(InsertItem, AListMarkerAnywhereButAnEmptyLineIsDropped) {
  TEditFixture f;
  f.AddPara({{"ab", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 2, false);
  EXPECT_TRUE(f.edit.InsertItem(CreateRDItem(rdsListMarker, &f.data), ""));
  EXPECT_EQ(Texts(f.data), "[ab]");
}

TEST(InsertItem, RefusedIntoReadOnlyAndProtectedText) {
  TEditFixture f;
  f.AddPara({{"locked", 0}}, f.readOnlyPara);
  f.AddPara({{"guarded", f.protectedStyle}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  EXPECT_FALSE(f.edit.InsertItem(Picture(f.data), ""));
  f.data.PlaceCaretAtItem(1, 3, false);
  EXPECT_FALSE(f.edit.InsertItem(Picture(f.data), ""));
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(DeleteSelection, AWholeParagraphLeavesItsEmptyLine) {
  TEditFixture f;
  f.AddPara({{"first", 0}});
  f.AddPara({{"second", 3}, {" part", 1}}, 1);
  f.AddPara({{"third", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 1, 1, 2, 6);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(Texts(f.data), "[first] | [] | [third]");
  EXPECT_EQ(f.data.GetItemPara(1), 1);
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, f.data.CurTextStyleNo);
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  ExpectUndoRedo(f, before);
}

TEST(DeleteSelection, FromOneParagraphIntoTheNextJoinsThem) {
  TEditFixture f;
  f.AddPara({{"alpha", 0}});
  f.AddPara({{"beta", 1}}, 1);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 3, 1, 3);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(Texts(f.data), "[al] [ta]");
  EXPECT_EQ(f.data.GetItemPara(1), 0);  // the first paragraph's style
  EXPECT_EQ(f.edit.CaretItemNo(), 0);
  EXPECT_EQ(f.edit.CaretItemOffset(), 3);
  ExpectUndoRedo(f, before);
}

// A table or break line ends its paragraph: the text left after one keeps its own,
// whether the selection ended inside the paragraph's first item or took it whole.
TEST(DeleteSelection, FromAFullLineItemIntoTextLeavesTheTextItsParagraph) {
  for (const auto& [endOffs, left] : {std::pair{2, "<-1> | [x] [ more]"}, {3, "<-1> | [ more]"}}) {
    TEditFixture f;
    f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
    f.AddPara({{"zx", 0}, {" more", 1}});
    f.Format();
    const std::string before = DescribeDocument(f.data);
    Select(f, 0, 1, 1, endOffs);
    ASSERT_TRUE(f.edit.DeleteSelection());
    EXPECT_EQ(Texts(f.data), left);
    EXPECT_TRUE(f.data.GetItem(1)->IsParaStart());
    ExpectUndoRedo(f, before);
  }
}

TEST(DeleteSelection, ItemsOfOneStyleLeftSideBySideBecomeOne) {
  TEditFixture f;
  f.AddPara({{"one ", 0}, {"two ", 1}, {"three", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 1, 1, 1, 5);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(Texts(f.data), "[one three]");
  ExpectUndoRedo(f, before);
}

TEST(DeleteSelection, ReadOnlyParagraphsGoOnlyWhole) {
  TEditFixture f;
  f.AddPara({{"free", 0}});
  f.AddPara({{"locked", 0}}, f.readOnlyPara);
  f.AddPara({{"end", 0}});
  f.Format();
  Select(f, 1, 2, 1, 4);
  EXPECT_FALSE(f.edit.DeleteSelection());
  Select(f, 0, 3, 1, 3);
  EXPECT_FALSE(f.edit.DeleteSelection());
  Select(f, 1, 1, 1, 7);
  EXPECT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(Texts(f.data), "[free] | [] | [end]");
}

TEST(DeleteSelection, ProtectedTextIsRefusedWithABeep) {
  TEditFixture f;
  int beeps = 0;
  f.data.OnBeep = [&] { ++beeps; };
  f.AddPara({{"a ", 0}, {"guarded", f.protectedStyle}, {" b", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 1, 2, 3);  // covers the protected item whole
  EXPECT_FALSE(f.edit.DeleteSelection());
  Select(f, 1, 2, 1, 4);  // a part of it
  EXPECT_FALSE(f.edit.DeleteSelection());
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(f.data.UndoList->Count(), 0);
}

TEST(DeleteSelection, AParagraphCheckpointOfADeletedItemSurvivesWhereTheSelectionBegan) {
  TEditFixture f;
  f.AddPara({{"one", 0}, {"two", 1}, {"three", 0}});
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Name = "keep";
  cp->Persistent = true;
  f.Begin();
  f.data.AddCheckpointWithUndo(1, std::move(cp));
  f.edit.ClearUndo();
  f.Format();
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 2, 2, 3);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(Texts(f.data), "[oree]");
  ASSERT_NE(f.data.GetItem(0)->Checkpoint, nullptr);
  EXPECT_EQ(f.data.GetItem(0)->Checkpoint->Name, "keep");
  ExpectUndoRedo(f, before);
}

TEST(DeleteSelection, AParagraphCheckpointBlocksJoiningAcrossIt) {
  TEditFixture f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Persistent = true;
  f.Begin();
  f.data.AddCheckpointWithUndo(1, std::move(cp));
  f.Format();
  Select(f, 0, 2, 1, 2);
  EXPECT_FALSE(f.data.CanDeleteSelection());
}

// A click leaves where Shift+click selects from, as drawn positions; a whole layout after
// an edit that took that line away must not leave it naming a line of the old layout.
TEST(SelectionAnchor, AWholeLayoutDropsTheLineItNamed) {
  TEditFixture f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.Format();
  f.data.SetSelectionBounds(1, 4, 1, 4);
  f.Begin();
  bool full = false;
  f.data.DeleteItemWithUndo(1, full);
  f.data.FormatWhole();
  f.data.MouseDown(mbLeft, ssShift, 20, 10);
  f.data.MouseUp(mbLeft, ssShift, 20, 10);
  int startNo, startOffs, endNo, endOffs;
  f.data.GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  EXPECT_EQ(startNo, 0);
  EXPECT_EQ(endNo, 0);
}
