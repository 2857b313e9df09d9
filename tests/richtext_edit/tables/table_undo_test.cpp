// Tables in an editor: grid changes and property changes of the table and its cells are
// recorded step by step, undo gives back the grid cell by cell with contents, spans and
// looks, and redo repeats the change.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

TEST(TableUndo, TheTableKnowsItsEditor) {
  TTableEdit f(1, 1, {});
  EXPECT_TRUE(f.table->IsInEditor());
  EXPECT_TRUE(f.table->IsUndoEnabled());
  EXPECT_EQ(f.table->GetEditorItemNo(), 1);
  f.edit.SetUndoLimit(0);
  EXPECT_FALSE(f.table->IsUndoEnabled());
  EXPECT_EQ(f.table->GetEditorItemNo(), -1);
}

TEST(TableUndo, MergeAndBack) {
  TTableEdit f(2, 3, {"a", "b", "c", "d", "e", "f"});
  const std::string before = DescribeGrid(*f.table);
  f.table->Rows->MergeCells(0, 0, 2, 2, true, true);
  const std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a|b|d|e]2x2,-,[c] / -,-,[f]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.ExpectUndoRedo(before, after);
}

TEST(TableUndo, InsertingColumnsAndRowsAndBack) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  f.table->Cells(0, 1)->Color = clRed;
  f.table->Cells(0, 1)->BestWidth = 90;
  f.table->Rows->MergeCells(0, 0, 1, 2, true, false);
  f.data.UndoList->Clear();
  std::string before = DescribeGrid(*f.table);
  // A copied column takes its source's look and half its width.
  f.table->Rows->InsertCols(2, 1, 1, true);
  std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a|c]1x2,[b]c255w45,[]c255w45 / -,[d],[]");
  f.ExpectUndoRedo(before, after);
  // Rows inside the merged cell widen it.
  before = after;
  f.table->Rows->InsertRows(1, 2, -1, false);
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a|c]1x4,[b]c255w45,[]c255w45 / -,[],[] / -,[],[] / -,[d],[]");
  f.ExpectUndoRedo(before, after);
  EXPECT_EQ(f.data.UndoList->Count(), 2);
}

TEST(TableUndo, DeletingRowsAndColumnsAndBack) {
  TTableEdit f(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  f.table->Rows->MergeCells(0, 1, 2, 2, true, false);
  f.table->Rows->MergeCells(1, 0, 1, 2, true, false);
  std::string before = DescribeGrid(*f.table);
  // Row 1 goes: the cell from row 0 loses it, the cell from row 1 is cut at row 2.
  f.table->Rows->DeleteRows(1, 1, true);
  std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a],[b|c|e|f]2x1,- / [],[h],[i]");
  f.ExpectUndoRedo(before, after);
  before = after;
  f.table->Rows->DeleteCols(1, 1, true);
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a],[] / [],[i]");
  f.ExpectUndoRedo(before, after);
}

TEST(TableUndo, ClearingCellsAndBack) {
  TTableEdit f(1, 2, {"a", "b"});
  f.table->Cells(0, 1)->Color = clBlue;
  const std::string before = DescribeGrid(*f.table);
  TRDIntegerList rows, cols;
  rows.AddValue(0);
  cols.AddValue(1);
  f.table->Rows->ClearCells(rows, cols);
  const std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a],[]c16711680");
  f.ExpectUndoRedo(before, after);
}

TEST(TableUndo, TablePropertiesByName) {
  TTableEdit f(1, 1, {"a"});
  f.table->SetBestWidth(-50);
  EXPECT_EQ(f.table->BestWidth(), -50);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.table->SetCellPadding(4);
  f.Format();
  EXPECT_EQ(f.table->Cells(0, 0)->Left(), 2);
  f.edit.Undo();
  EXPECT_EQ(f.table->CellPadding(), 1);
  EXPECT_TRUE(f.table->State & rdtsInDocument);
  EXPECT_EQ(f.table->BestWidth(), -50);
  f.edit.Undo();
  EXPECT_EQ(f.table->BestWidth(), 0);
  f.edit.Redo();
  EXPECT_EQ(f.table->BestWidth(), -50);
  // The same value again records nothing.
  const int steps = f.data.UndoList->Count();
  f.table->SetBestWidth(-50);
  const TRDUndoInfos* last = f.data.UndoList->LastStep();
  EXPECT_TRUE(f.data.UndoList->Count() == steps || (last && last->Count() == 0));
  f.table->SetBackgroundStyle(rdbsTiled);
  EXPECT_NE(f.table->GetTableBackground(), nullptr);
  f.edit.Undo();
  EXPECT_EQ(f.table->GetTableBackground(), nullptr);
}

TEST(TableUndo, CellPropertiesBordersAndPictures) {
  TTableEdit f(1, 2, {"a", "b"});
  // Each setter is a step of its own, after the edits of an open cell editor.
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  f.table->InplaceEditor->InsertText("x");
  f.table->SetCellBestHeight(30, 0, 1);
  f.table->SetCellBackgroundImageFileName("back.png", 0, 1);
  EXPECT_EQ(f.table->Cells(0, 1)->BestHeight, 30);
  EXPECT_EQ(f.table->Cells(0, 1)->BackgroundImageFileName, "back.png");
  f.edit.CloseInplaceEditor();
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 1)->BackgroundImageFileName, "");
  EXPECT_EQ(DescribeGrid(*f.table), "[ax],[b]h30");
  f.edit.Undo();
  EXPECT_EQ(DescribeGrid(*f.table), "[ax],[b]");
  f.edit.Undo();
  SettleEditors(f.edit);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b]");
  for (int redo = 0; redo < 3; ++redo) {
    f.edit.Redo();
    SettleEditors(f.edit);
  }
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[ax],[b]h30");
  // In a group they undo together.
  f.edit.BeginUndoGroup(rdutModifyItem);
  f.edit.SetUndoGroupMode(true);
  f.table->SetCellBestWidth(70, 0, 1);
  f.table->SetCellHint("tip", 0, 1);
  f.table->SetCellVisibleBorders(-1, 0, 1, false, true, true, false);
  f.edit.SetUndoGroupMode(false);
  EXPECT_EQ(f.table->Cells(0, 1)->BestWidth, 70);
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 1)->BestWidth, 0);
  EXPECT_EQ(f.table->Cells(0, 1)->Hint, "");
  EXPECT_TRUE(f.table->Cells(0, 1)->VisibleBorders.IsAllEqualTo(true));
  f.edit.Redo();
  EXPECT_EQ(f.table->Cells(0, 1)->Hint, "tip");
  EXPECT_FALSE(f.table->Cells(0, 1)->VisibleBorders.Left);
  TBitmap picture;
  picture.SetSize(3, 3);
  f.table->SetCellBackgroundImage(&picture, 0, 0);
  ASSERT_NE(f.table->Cells(0, 0)->GetBackgroundImage(), nullptr);
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 0)->GetBackgroundImage(), nullptr);
  f.edit.Redo();
  ASSERT_NE(f.table->Cells(0, 0)->GetBackgroundImage(), nullptr);
  EXPECT_EQ(f.table->Cells(0, 0)->GetBackgroundImage()->Width(), 3);
  // A slot that a merged cell covers has no properties to set: refused, nothing recorded.
  f.table->Rows->MergeCells(0, 0, 2, 1, true, false);
  const int steps = f.data.UndoList->Count();
  const std::string merged = DescribeGrid(*f.table);
  const std::function<void()> setters[] = {
      [&] { f.table->SetCellBestWidth(5, 0, 1); }, [&] { f.table->SetCellHint("x", 0, 1); },
      [&] { f.table->SetCellVisibleBorders(-1, 0, 1, false, false, false, false); },
      [&] { f.table->SetCellBackgroundImage(&picture, 0, 1); },
      [&] { f.table->SetCellIntProperty(-1, "Color", false, false, 0, 1, 5); }};
  for (const auto& set : setters) EXPECT_THROW(set(), ERichDocError);
  EXPECT_EQ(f.data.UndoList->Count(), steps);
  EXPECT_EQ(DescribeGrid(*f.table), merged);
}

TEST(TableUndo, CopiedAttributesAreSeveralRecordsOfOneStep) {
  TTableEdit f(1, 2, {"a", "b"});
  TRDTableCellData& source = *f.table->Cells(0, 0);
  source.Color = clYellow;
  source.Hint = "h";
  source.VAlign = rdcBottom;
  source.VisibleBorders.Top = false;
  f.data.BeginUndoStep(rdutModifyItem, false);
  f.table->AssignCellAttributes(-1, 0, 1, source, true, 2, 1);
  const TRDTableCellData& cell = *f.table->Cells(0, 1);
  EXPECT_EQ(cell.Color, clYellow);
  EXPECT_EQ(cell.VAlign, rdcBottom);
  EXPECT_FALSE(cell.VisibleBorders.Top);
  EXPECT_GE(f.data.UndoList->LastStep()->Count(), 3);
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 1)->Color, clNone);
  EXPECT_EQ(f.table->Cells(0, 1)->Hint, "");
  EXPECT_EQ(f.table->Cells(0, 1)->VAlign, rdcVDefault);
  EXPECT_TRUE(f.table->Cells(0, 1)->VisibleBorders.Top);
}

TEST(TableUndo, OutsideAnyDocumentSettersOnlyStore) {
  TRDTableItemInfo table(2, 2, nullptr);
  table.SetBestWidth(300);
  table.SetCellBestWidth(20, 1, 1);
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  EXPECT_EQ(table.BestWidth(), 300);
  EXPECT_EQ(table.Cells(1, 1)->BestWidth, 20);
  EXPECT_FALSE(table.IsUndoEnabled());
}

TEST(TableUndo, UndoingASpacingLaysTheTableOutAgain) {
  TTableEdit f(2, 1, {"a", "b"});
  const TRDTableItemInfo& table = *f.table;
  const auto lineHeight = [&] { return f.data.DrawItems[table.DrawItemNo]->Height; };
  const int before = lineHeight();
  // Spacings change the table's height but not the width it needs.
  f.table->SetCellVSpacing(9);
  f.Format();
  f.table->SetBorderVSpacing(7);
  f.Format();
  const int spaced = lineHeight();
  ASSERT_GT(spaced, before);
  for (int round = 0; round < 2; ++round) {
    f.edit.Undo();
    f.edit.Undo();
    EXPECT_EQ(lineHeight(), before) << round;
    f.edit.Redo();
    f.edit.Redo();
    EXPECT_EQ(lineHeight(), spaced) << round;
  }
}
