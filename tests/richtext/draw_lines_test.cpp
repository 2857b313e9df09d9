// The draw-item list and its deferred-delete window, and the text of draw items.
#include <gtest/gtest.h>

#include "richtext/base/code_pages.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/rd_data.h"

namespace {

// A draw item that counts how many of its kind are alive.
struct TCountedDrawItem : TRDDrawLineInfo {
  static inline int Alive = 0;
  explicit TCountedDrawItem(int itemNo) {
    ItemNo = itemNo;
    ++Alive;
  }
  ~TCountedDrawItem() override { --Alive; }
};

void Fill(TRDDrawLines& lines, int count) {
  for (int i = 0; i < count; ++i) lines.Add(std::make_unique<TCountedDrawItem>(i));
}

TEST(DrawLines, IndexOutsideTheListRaises) {
  TRDDrawLines lines;
  Fill(lines, 2);
  EXPECT_THROW(lines.GetItem(-1), ERDListIndexError);
  EXPECT_THROW(lines.GetItem(2), ERDListIndexError);
  EXPECT_EQ(lines.GetItem(1)->ItemNo, 1);
  EXPECT_EQ(lines.DelStart, -1);
}

TEST(DrawLines, FullWindowRefilledKeepsTheLength) {
  TCountedDrawItem::Alive = 0;
  TRDDrawLines lines;
  Fill(lines, 6);
  lines.MarkForDelete(2, 4);
  EXPECT_EQ(TCountedDrawItem::Alive, 3);
  EXPECT_EQ(lines.GetItem(2), nullptr);  // a freed slot
  for (int i = 0; i < 3; ++i) lines.InsertItem(2 + i, std::make_unique<TCountedDrawItem>(10 + i));
  EXPECT_EQ(lines.Count(), 6);
  EXPECT_EQ(lines.DelCount, 0);
  EXPECT_EQ(lines.GetItem(4)->ItemNo, 12);
  EXPECT_EQ(lines.GetItem(5)->ItemNo, 5);
}

TEST(DrawLines, PartlyRefilledWindowIsCutOut) {
  TRDDrawLines lines;
  Fill(lines, 6);
  lines.MarkForDelete(2, 4);
  lines.InsertItem(2, std::make_unique<TCountedDrawItem>(10));
  lines.InsertItem(3, std::make_unique<TCountedDrawItem>(11));
  lines.DeleteMarked();
  ASSERT_EQ(lines.Count(), 5);
  EXPECT_EQ(lines.GetItem(3)->ItemNo, 11);
  EXPECT_EQ(lines.GetItem(4)->ItemNo, 5);
  EXPECT_EQ(lines.DelStart, 4);  // kept after the cut
}

TEST(DrawLines, EmptyWindowInsertsNormally) {
  TRDDrawLines lines;
  Fill(lines, 5);
  lines.MarkForDelete(5, 4);
  EXPECT_EQ(lines.DelCount, 0);
  lines.InsertItem(5, std::make_unique<TCountedDrawItem>(9));
  EXPECT_EQ(lines.Count(), 6);
  lines.DeleteMarked();
  EXPECT_EQ(lines.Count(), 6);
}

TEST(DrawLines, DeletingWithAndWithoutAWindow) {
  TCountedDrawItem::Alive = 0;
  TRDDrawLines lines;
  Fill(lines, 4);
  lines.DeleteItem(0);
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(TCountedDrawItem::Alive, 3);
  lines.MarkForDelete(2, 2);
  lines.DeleteItem(1);  // the slot just before the window joins it
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.DelStart, 1);
  EXPECT_EQ(lines.DelCount, 2);
  EXPECT_EQ(TCountedDrawItem::Alive, 1);
  lines.DeleteMarked();
  EXPECT_EQ(lines.Count(), 1);
  EXPECT_THROW(lines.MarkForDelete(1, 3), ERDListIndexError);
}

TEST(DrawLines, CreateExGoesThroughTheVirtualSetters) {
  auto info = TRDDrawLineInfo::CreateEx(1, 2, 3, 4, 5, true);
  EXPECT_EQ(info->Left, 1);
  EXPECT_EQ(info->Top, 2);
  EXPECT_EQ(info->Width, 3);
  EXPECT_EQ(info->Height, 4);
  EXPECT_EQ(info->ItemNo, 5);
  EXPECT_TRUE(info->FromNewLine);
  EXPECT_EQ(info->XShift, 0);
  EXPECT_FALSE(info->InitSplit());
}

TEST(DrawLines, TextOfDrawItems) {
  TCustomRDData data;
  data.AddText("hello world", 0, 0);
  data.AddText(WideStringToRawUnicode(u"\u4E00\u4E01\u4E02"), 0, 0);
  data.GetItem(1)->ItemOptions |= rdioUnicodeText;
  TRDDrawLines lines;
  auto first = TRDDrawLineInfo::CreateEx(0, 0, 10, 10, 0, true);
  first->Offs = 7;
  first->Length = 5;
  lines.Add(std::move(first));
  auto second = TRDDrawLineInfo::CreateEx(0, 10, 10, 10, 1, true);
  second->Offs = 2;
  second->Length = 2;
  lines.Add(std::move(second));
  EXPECT_EQ(lines.GetDrawItemText(0, data.Items), "world");
  EXPECT_EQ(lines.GetSubDrawItemText(0, data.Items, 2, 2), "or");
  EXPECT_EQ(lines.GetSubDrawItemText(0, data.Items, 4, 10), "ld");
  EXPECT_EQ(lines.GetDrawItemText(1, data.Items), WideStringToRawUnicode(u"\u4E01\u4E02"));
}

}  // namespace
