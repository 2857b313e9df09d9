// The document data: the append rules with their option bits, text sanitising, tabs,
// deletion, checkpoints, joining, style usage, navigation and linear positions.
#include <gtest/gtest.h>

#include "richtext/base/code_pages.h"
#include "richtext/model/break_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/tab_item.h"
#include "richtext/styles/rd_style.h"

namespace {

std::unique_ptr<TCustomRDItemInfo> Break(int paraNo = 0) {
  auto item = CreateRDItem(rdsBreak, nullptr);
  item->ParaNo = paraNo;
  return item;
}

TEST(AppendRules, FirstItemStartsAParagraphWithParaZero) {
  TCustomRDData data;
  data.AddText("a", 0, -1);
  EXPECT_EQ(data.GetItemPara(0), 0);
  EXPECT_TRUE(data.IsParaStart(0));
  EXPECT_EQ(data.GetItemOptions(0), 0);
}

TEST(AppendRules, ParaMinusOneContinuesTheParagraph) {
  TCustomRDData data;
  data.AddText("a", 0, 1);
  data.AddText("b", 2, -1);
  EXPECT_EQ(data.GetItemPara(1), 1);
  EXPECT_EQ(data.GetItemOptions(1), rdioContinuesPara);
  EXPECT_FALSE(data.IsItemLineStart(1));
}

TEST(AppendRules, AfterABreakLineANewLineStarts) {
  TCustomRDData data;
  data.AddText("a", 0, 0);
  data.AddItemAtEnd("", Break());
  data.AddText("b", 0, -1);
  EXPECT_EQ(data.GetItemPara(2), 0);
  EXPECT_EQ(data.GetItemOptions(2), 0);
  EXPECT_TRUE(data.IsParaStart(2));
}

TEST(AppendRules, NewLinesInsideTheParagraphWhenParagraphsAreOff) {
  TCustomRDData data;
  data.NewLinesStartParas = false;
  data.AddText("a", 0, 0);
  data.AddText("b", 0, 0);
  EXPECT_EQ(data.GetItemOptions(1), rdioLineBreakBefore);
  EXPECT_TRUE(data.IsItemLineStart(1));
  EXPECT_FALSE(data.IsParaStart(1));
  data.AddItemAtEnd("", Break());
  EXPECT_EQ(data.GetItemOptions(2), 0);  // full-line items never take a line break
}

TEST(AppendRules, ParagraphAfterAListMarkerGetsAnEmptyTextFirst) {
  class TMarker : public TRDFullLineItemInfo {
   public:
    using TRDFullLineItemInfo::TRDFullLineItemInfo;
    std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* d) const override {
      return std::make_unique<TMarker>(d);
    }
    bool QueryItemFlag(std::uint8_t code) const override { return code == 1 || code == 2; }
  };
  TCustomRDData data;
  auto marker = std::make_unique<TMarker>(&data);
  marker->StyleNo = rdsListMarker;
  data.AddItemAtEnd("", std::move(marker));
  data.AddText("x", 0, 0);
  ASSERT_EQ(data.GetItemCount(), 3);
  EXPECT_EQ(data.GetItem(1)->StyleNo, 0);
  EXPECT_EQ(data.GetItemTextRaw(1), "");
  EXPECT_TRUE(data.GetItem(1)->GetContinuesPara());
  EXPECT_EQ(data.GetItemTextRaw(2), "x");
}

TEST(AppendRules, NegativeStyleFollowsTheParagraph) {
  TRDStyle sheet;
  TCustomRDData data;
  data.AddText("x", -5, 0);
  EXPECT_EQ(data.GetItem(0)->StyleNo, kFollowParaStyleNo);
  EXPECT_EQ(data.GetItemStyle(0), 0);
  data.SetRDStyle(&sheet);
  sheet.ParaStyles()[0].DefStyleNo = 3;
  EXPECT_EQ(data.GetItemStyle(0), 3);
  EXPECT_EQ(data.GetItem(0)->GetActualStyleNo(&sheet), 3);
}

TEST(AppendRules, TabsBecomeBlanksOrStayTabs) {
  TCustomRDData plain;
  plain.AddText("a\tb", 0, 0);
  EXPECT_EQ(plain.GetItemTextRaw(0), "a        b");
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("a\tb", 0, 0);
  EXPECT_EQ(data.GetItemTextRaw(0), "a\tb");  // no tab width: the tab is kept, not deleted
  sheet.SpacesInTab = 2;
  data.AddText("a\tb", 0, 0);
  EXPECT_EQ(data.GetItemTextRaw(1), "a  b");
}

TEST(AppendRules, ReceivedLineBreaksAndNulsNeverReachAnItem) {
  TCustomRDData data;
  data.AddText(std::string("a\r\nb\0c", 6), 0, 0);
  EXPECT_EQ(data.GetItemTextRaw(0), "a  b?c");
  TRDStyle sheet;
  sheet.TextStyles()[0].Unicode = true;
  TCustomRDData unicode;
  unicode.SetRDStyle(&sheet);
  unicode.AddText(WideStringToRawUnicode(u"x\ny\u0A00") + "z", 0, 0);
  EXPECT_EQ(unicode.GetItemOptions(0), rdioUnicodeText);
  EXPECT_EQ(unicode.GetItemTextRaw(0),
            WideStringToRawUnicode(u"x y\u0A00"));  // the odd byte dropped
}

TEST(Deleting, FreeItemLeavesTheEntryToTheCaller) {
  TCustomRDData data;
  data.AddText("a", 0, 0);
  data.SetPendingCheckpoint("cp", false, TRDTag{});
  data.AddText("b", 0, 0);
  std::string destroyedText;
  data.OnItemAction = [&](TCustomRDData* d, TRDItemAction action, TCustomRDItemInfo* item) {
    if (action == rdiaDestroying) destroyedText = d->GetItemTextRaw(d->GetItemNo(item));
  };
  data.FreeItem(1, false);
  EXPECT_EQ(destroyedText, "b");
  EXPECT_EQ(data.GetItemCount(), 2);
  EXPECT_EQ(data.GetItem(1), nullptr);
  EXPECT_EQ(data.FirstCP, nullptr);
  EXPECT_EQ(data.CPCount, 0);
}

TEST(Deleting, RangeIsCutToTheItemsThatExist) {
  TCustomRDData data;
  for (int i = 0; i < 10; ++i) data.AddText(std::to_string(i), 0, 0);
  int destroyed = 0;
  data.OnItemAction = [&](TCustomRDData*, TRDItemAction action, TCustomRDItemInfo*) {
    if (action == rdiaDestroying) ++destroyed;
  };
  data.DeleteItems(5, 100);
  EXPECT_EQ(data.GetItemCount(), 5);
  EXPECT_EQ(destroyed, 5);
  data.DeleteItems(5, 1);
  data.DeleteItems(-1, 1);
  EXPECT_EQ(data.GetItemCount(), 5);
}

TEST(Queries, OffsetsLengthsAndBounds) {
  TCustomRDData data;
  data.AddText("abc", 0, 0);
  data.AddItemAtEnd("", Break());
  EXPECT_EQ(data.GetItemLength(0), 3);
  EXPECT_EQ(data.GetItemStartOffset(0), 1);
  EXPECT_EQ(data.GetItemEndOffset(0), 4);
  EXPECT_EQ(data.GetItemLength(1), 1);
  EXPECT_EQ(data.GetItemStartOffset(1), 0);
  EXPECT_EQ(data.GetItemEndOffset(1), 1);
  try {
    data.IsPageBreakBefore(2);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Item index is out of bounds");
  }
  try {
    data.CheckItemClass<TRDBreakItemInfo>(0);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Can't get or set this kind of information for this item");
  }
  EXPECT_EQ(data.CheckItemClass<TRDBreakItemInfo>(1).LineWidth, 1);
  int item = 7;
  data.ClampItemNo(item);
  EXPECT_EQ(item, 1);
  TCustomRDData empty;
  item = 7;
  empty.ClampItemNo(item);
  EXPECT_EQ(item, 0);
  int s, so, e, eo;
  empty.GetOutputRange(s, so, e, eo);
  EXPECT_EQ(e, -1);
}

TEST(Checkpoints, PendingCheckpointGoesToTheNextItem) {
  TCustomRDData data;
  data.AddText("a", 0, 0);
  EXPECT_EQ(data.SetPendingCheckpoint("one", true, TRDTag{}), 0);
  EXPECT_EQ(data.SetPendingCheckpoint("ignored", false, TRDTag{}), 0);
  data.AddText("b", 0, 0);
  ASSERT_NE(data.GetItemCheckpoint(1), nullptr);
  EXPECT_EQ(data.GetItemCheckpoint(1)->Name, "one");
  EXPECT_EQ(data.FirstCP, data.GetItemCheckpoint(1));
  EXPECT_EQ(data.LastCP, data.FirstCP);
  data.SetPendingCheckpoint("two", false, TRDTag{});
  data.AddText("c", 0, 0);
  EXPECT_EQ(data.FirstCP->Next, data.GetItemCheckpoint(2));
  EXPECT_EQ(data.CPCount, 2);
  data.DeleteItems(1, 1);
  EXPECT_EQ(data.FirstCP, data.GetItemCheckpoint(1));
  EXPECT_EQ(data.FirstCP->Prev, nullptr);
  EXPECT_EQ(data.CPCount, 1);
  data.SetPendingCheckpoint("three", false, TRDTag{});
  data.Clear();
  EXPECT_EQ(data.FirstCP, nullptr);
  EXPECT_EQ(data.LastCP, nullptr);
  EXPECT_EQ(data.NotAddedCP, nullptr);
}

TEST(Checkpoints, SortedInsertAndPositions) {
  TCustomRDData data;
  for (int i = 0; i < 4; ++i) data.AddText("x", 0, 0);
  TRDCPInfo late, early;
  late.ItemInfo = data.GetItem(3);
  early.ItemInfo = data.GetItem(0);
  data.InsertCheckpointSorted(&late, 3);
  data.InsertCheckpointSorted(&early, 0);
  EXPECT_EQ(data.FirstCP, &early);
  EXPECT_EQ(data.LastCP, &late);
  early.Y = 10;
  late.Y = 50;
  EXPECT_EQ(data.GetCheckpointBeforeY(5), nullptr);
  EXPECT_EQ(data.GetCheckpointBeforeY(30), &early);
  EXPECT_EQ(data.GetCheckpointBeforeY(60), &late);
  data.UnlinkCheckpoint(&early, false);
  data.UnlinkCheckpoint(&late, false);
  EXPECT_EQ(data.FirstCP, nullptr);
}

TEST(Joining, RulesForTextItems) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("", 1, 0);
  data.AddText("b", 0, -1);
  data.AddText("c", 0, -1);
  data.AddText("d", 0, 0);  // a new paragraph is not joined
  data.JoinItemsInRange(0, 10);
  ASSERT_EQ(data.GetItemCount(), 2);
  EXPECT_EQ(data.GetItemTextRaw(0), "bc");
  sheet.TextStyles()[0].Protection = rdprConcateProtect;
  TCustomRDData guarded;
  guarded.SetRDStyle(&sheet);
  guarded.AddText("a", 0, 0);
  guarded.AddText("b", 0, -1);
  EXPECT_FALSE(guarded.CanJoinItems(0, *guarded.GetItem(0), false, *guarded.GetItem(1)));
  guarded.AddText("", 0, -1);
  EXPECT_TRUE(guarded.CanJoinItems(1, *guarded.GetItem(1), false, *guarded.GetItem(2)));
}

TEST(Joining, ACheckpointMovesToTheStartOfTheJoinedItem) {
  TCustomRDData data;
  data.AddText("", 0, 0);
  data.SetPendingCheckpoint("here", false, TRDTag{});
  data.AddText("b", 0, -1);
  data.JoinItemsInRange(0, 1);
  ASSERT_EQ(data.GetItemCount(), 1);
  ASSERT_NE(data.GetItemCheckpoint(0), nullptr);
  EXPECT_EQ(data.GetItemCheckpoint(0)->Name, "here");
  EXPECT_EQ(data.GetItemCheckpoint(0)->ItemInfo, data.GetItem(0));
  EXPECT_EQ(data.FirstCP, data.GetItemCheckpoint(0));
  // Behind text the checkpoint has nowhere to go: the items stay apart.
  data.AddText("", 0, -1);
  data.SetPendingCheckpoint("there", false, TRDTag{});
  data.AddText("c", 0, -1);
  data.JoinItemsInRange(0, 2);
  EXPECT_EQ(data.CPCount, 2);
  EXPECT_NE(data.GetItemCheckpoint(data.GetItemCount() - 1), nullptr);
}

TEST(StyleUsage, ItemsAndReferencesMarkTheirStyles) {
  TRDStyle sheet;
  for (int i = 0; i < 6; ++i) sheet.TextStyles()[i].SetStandard(false);
  sheet.TextStyles()[4].NextStyleNo = 5;
  sheet.ParaStyles()[0].DefStyleNo = 3;
  sheet.ParaStyles()[1].SetStandard(false);
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("a", 4, 0);
  auto tab = std::make_unique<TRDTabItemInfo>(&data);
  tab->StyleNo = rdsTab;
  tab->TextStyleNo = 1;
  data.AddItemAtEnd("", std::move(tab));
  TRDStyleUsage usage;
  usage.CheckTextStyles = usage.CheckParaStyles = true;
  data.FindUsedStyles(usage);
  const int expected[] = {0, 1, 0,
                          1, 1, 1};  // tab's style, the default style, the item's and its next
  for (int i = 0; i < 6; ++i) EXPECT_EQ(usage.UsedTextStyles[i], expected[i]) << i;
  EXPECT_EQ(usage.UsedParaStyles[0], 1);
  EXPECT_EQ(usage.UsedParaStyles[1], 0);  // neither used nor standard
}

TEST(Navigation, ParagraphsAndLines) {
  TCustomRDData data;
  data.NewLinesStartParas = false;
  data.AddText("a", 0, 0);
  data.AddText("b", 0, -1);
  data.AddText("c", 0, 0);  // a new line in the same paragraph
  data.NewLinesStartParas = true;
  data.AddText("d", 0, 0);
  EXPECT_EQ(data.GetFirstItemOfPara(2), 0);
  EXPECT_EQ(data.GetFirstItemOfLine(1), 0);
  EXPECT_EQ(data.GetFirstItemOfLine(2), 2);
  int first, last;
  data.ExpandRangeToParas(1, 1, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 2);
  data.ExpandRangeToLines(0, 0, first, last);
  EXPECT_EQ(last, 1);
}

TEST(LinearPositions, TwoParagraphs) {
  TCustomRDData data;
  data.AddText("ab", 0, 0);
  data.AddText("cd", 0, 0);
  EXPECT_EQ(data.GetTextRange(0, -1), WideStringToRawUnicode(u"ab\rcd"));
  EXPECT_EQ(data.GetTextRange(1, 4), WideStringToRawUnicode(u"b\rc"));
  EXPECT_EQ(data.ItemToLinear(1, 1), 3);
  EXPECT_EQ(data.ItemToLinear(0, 3), 2);
  int item, offset;
  data.LinearToItem(3, item, offset);
  EXPECT_EQ(item, 1);
  EXPECT_EQ(offset, 1);
  data.LinearToItem(5, item, offset);
  EXPECT_EQ(item, 1);
  EXPECT_EQ(offset, 3);
  data.LinearToItem(99, item, offset);
  EXPECT_EQ(offset, 3);
}

TEST(ComparingPositions, SameAndNestedDocuments) {
  class TCellData : public TCustomRDData {
   public:
    TCellData(TCustomRDData* parent, int itemNo) : parent_(parent), item_no_(itemNo) {}
    TCustomRDData* GetAbsoluteParentData() override { return parent_; }
    int GetParentItemNo() const override { return item_no_; }

   private:
    TCustomRDData* parent_;
    int item_no_;
  };
  TCustomRDData root;
  TCellData cell(&root, 2);
  EXPECT_LT(TCustomRDData::ComparePositions(root, 1, root, 3), 0);
  EXPECT_EQ(TCustomRDData::ComparePositions(root, 3, root, 3), 0);
  EXPECT_LT(TCustomRDData::ComparePositions(cell, 0, root, 4), 0);
  EXPECT_GT(TCustomRDData::ComparePositions(cell, 0, root, 2), 0);
  EXPECT_LT(TCustomRDData::ComparePositions(root, 2, cell, 5), 0);
  TCustomRDData other;
  try {
    TCustomRDData::ComparePositions(root, 0, other, 0);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Error when comparing positions in the document");
  }
}

TEST(MovingItems, TagKindsMustAgree) {
  TCustomRDData source, target;
  source.AddText("a", 0, 0);
  source.SetPendingCheckpoint("cp", false, TRDTag{});
  source.AddText("b", 0, -1);
  target.SetOptions(rdoTagsArePChars);
  try {
    target.MoveItemsFrom(source);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Can't assign RichDoc to RichDoc - tags types mismatch");
  }
  target.SetOptions(0);
  target.AddText("x", 0, 0);
  target.MoveItemsFrom(source);
  EXPECT_EQ(source.GetItemCount(), 0);
  ASSERT_EQ(target.GetItemCount(), 3);
  EXPECT_TRUE(target.GetItem(2)->GetContinuesPara());
  ASSERT_NE(target.GetItemCheckpoint(2), nullptr);
  EXPECT_EQ(target.GetItemCheckpoint(2)->Name, "cp");
  EXPECT_EQ(target.FirstCP, target.GetItemCheckpoint(2));
}

}  // namespace
