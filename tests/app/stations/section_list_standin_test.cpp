#include <gtest/gtest.h>

#include "lists/ex_section_list_standin.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/paint_to.h"

namespace {

class SectionListTest : public ::testing::Test {
 protected:
  SectionListTest() : list(nullptr) {
    list.AddColumn("Name", 80);
    list.AddColumn("Value", 40).SortType = sstNumeric;
    group = list.AddGroup("");
  }
  TSectionNode* Add(const std::string& Name, const std::string& Value) {
    TSectionItemStrings& row = list.AddItem(group);
    row.Add(Name);
    row.Add(Value);
    return &row.Node();
  }
  std::string Names() const {
    std::string names;
    for (int i = 0; i < group->GetCount(); ++i) names += group->GetItemStrings(i).Get(0);
    return names;
  }

  TExSectionList list;
  TSectionGroup* group;
};

}  // namespace

TEST_F(SectionListTest, UnsortedItemsKeepTheirOrderOfAddition) {
  Add("b", "2");
  Add("a", "10");
  Add("c", "1");
  EXPECT_EQ(Names(), "bac");
  EXPECT_THROW(group->GetItemStrings(3), ESectionListError);
  EXPECT_THROW(group->GetItemNode(-1), ESectionListError);
  try {
    group->DeleteItem(3);
    FAIL();
  } catch (const ESectionListError& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds");
  }
}

TEST_F(SectionListTest, SortByTextOrNumberEitherWayAndFollowChanges) {
  TSectionNode* b = Add("b", "2");
  Add("A", "10");
  Add("c", "1");
  list.SetSortColumn(1, false);
  EXPECT_EQ(Names(), "bAc");  // takes effect with Sort
  list.Sort();
  EXPECT_EQ(Names(), "Abc");  // case-insensitive
  list.SetSortColumn(2, true);
  list.Sort();
  EXPECT_EQ(Names(), "Abc");  // 10, 2, 1: numbers, not texts
  list.SetSortColumn(2, false);
  list.Sort();
  EXPECT_EQ(Names(), "cbA");

  // A changed sort text moves its item at once; other texts do not move it.
  list.GetNodeStrings(b)->Put(1, "0");
  EXPECT_EQ(Names(), "bcA");
  EXPECT_EQ(group->IndexOfNode(b), 0);
  list.GetNodeStrings(b)->Put(0, "z");
  EXPECT_EQ(Names(), "zcA");
  Add("d", "5");
  EXPECT_EQ(Names(), "zcdA");
}

TEST_F(SectionListTest, EqualKeysKeepTheOrderOfAddition) {
  list.SetSortColumn(2, true);
  list.Sort();
  Add("a", "1");
  Add("b", "1");
  Add("c", "2");
  EXPECT_EQ(Names(), "cab");
}

TEST_F(SectionListTest, CustomCompareDecidesForCustomColumns) {
  list.Columns(1).SortType = sstCustom;
  list.OnCustomCompare = [](TComponent*, TSectionNode*, TSectionNode*, int Column,
                            const std::string& A, const std::string& B, int& Result) {
    EXPECT_EQ(Column, 1);
    Result = static_cast<int>(A.size()) - static_cast<int>(B.size());
  };
  Add("ccc", "");
  Add("a", "");
  Add("bb", "");
  list.SetSortColumn(1, false);
  list.Sort();
  EXPECT_EQ(Names(), "abbccc");
}

TEST_F(SectionListTest, DeletingTheSelectedItemClearsTheSelection) {
  Add("a", "1");
  TSectionNode* b = Add("b", "2");
  list.SelectNode(b);
  group->DeleteItem(0);
  EXPECT_EQ(list.Selected(), b);
  EXPECT_EQ(group->IndexOfNode(b), 0);
  group->DeleteItem(0);
  EXPECT_EQ(list.Selected(), nullptr);
  EXPECT_EQ(group->GetCount(), 0);
  EXPECT_EQ(list.GetNodeStrings(nullptr), nullptr);
}

TEST_F(SectionListTest, ACompareThatRaisesKeepsTheItemInTheList) {
  list.Columns(2).SortType = sstCustom;
  list.OnCustomCompare = [](TComponent*, TSectionNode*, TSectionNode*, int, const std::string& A,
                            const std::string& B, int& Result) {
    Result = static_cast<int>(StrToFloat(A) - StrToFloat(B));
  };
  list.SetSortColumn(2, false);
  list.Sort();
  Add("a", "2");
  Add("b", "1");
  Add("c", "far");
  EXPECT_EQ(group->GetCount(), 3);
  EXPECT_EQ(group->GetItemStrings(0).Get(0), "b");
  group->DeleteItem(group->GetCount() - 1);
  EXPECT_EQ(group->GetCount(), 2);
}

TEST_F(SectionListTest, PaintsTheImageColumnAndTheSelectedRow) {
  TImageList images(nullptr, 20, 20);
  TBitmap red;
  red.SetSize(20, 20);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().FillRect(Rect(0, 0, 20, 20));
  images.Add(red);
  TExSectionList grid(nullptr);
  grid.Images = &images;
  grid.SetItemHeight(22);
  grid.AddColumn("SYM", 35).ImageColumn = true;
  grid.AddColumn("Station", 80);
  grid.SetBounds(0, 0, 200, 100);
  TSectionGroup* rows = grid.AddGroup("");
  for (const char* index : {"0", "7"}) {  // 7: no such image, nothing drawn
    TSectionItemStrings& row = grid.AddItem(rows);
    row.Add(index);
    row.Add("N0CALL");
  }
  grid.SelectNode(rows->GetItemNode(1));
  TBitmap shot;
  shot.SetSize(200, 100);
  PaintTo(grid, shot.Canvas(), 0, 0);
  // Header, group line, then the rows from y = 44.
  EXPECT_EQ(shot.Canvas().Pixels(17, 44 + 11), clRed);
  EXPECT_EQ(shot.Canvas().Pixels(17, 66 + 11), shot.Canvas().Pixels(2, 66 + 2));
  EXPECT_NE(shot.Canvas().Pixels(2, 66 + 2), shot.Canvas().Pixels(2, 44 + 2));  // selected
  EXPECT_EQ(grid.NodeAt(44 + 5), rows->GetItemNode(0));
  EXPECT_EQ(grid.NodeAt(22 + 5), nullptr);  // the group's line
}
