// The grid of a table: merged cells and how slots resolve to them, the column measures,
// merging with content moved and back, inserting and deleting rows and columns with
// cells cut where they straddle the edge.
#include <gtest/gtest.h>

#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/tables/table_document.h"

namespace {

// Keeps what grid operations hand over, so that tests can put it back with the inverse
// steps.
class TKeptSteps : public TRDTableGridUndo {
 public:
  int operations = 0;
  std::vector<TRDMergedCell> merged;
  int oldColSpan = 0, oldRowSpan = 0, oldBestWidth = 0;
  std::vector<std::unique_ptr<TRDTableRow>> rows;
  std::vector<std::unique_ptr<TRDTableCellData>> cells;
  std::vector<std::string> steps;

  void BeginOperation() override { ++operations; }
  void EndOperation() override {}
  void NewRowsInserted(int, int) override { steps.push_back("rows"); }
  void NewCellInserted(int, int) override { steps.push_back("cell"); }
  void CellSpread(int, int, int) override { steps.push_back("spread"); }
  void SpanChanged(bool isColSpan, int, int, int) override {
    steps.push_back(isColSpan ? "colspan" : "rowspan");
  }
  void EmptyCellsFreed(int, int, int, int) override { steps.push_back("freed"); }
  void EmptySlotsInserted(int, int, int, int) override { steps.push_back("slots"); }
  void CellSplit(bool horizontal, int, int, int, bool, int) override {
    steps.push_back(horizontal ? "splith" : "splitv");
  }
  void RowsDeleted(int, std::vector<std::unique_ptr<TRDTableRow>> removed) override {
    rows = std::move(removed);
  }
  void ColsDeleted(int, int, std::vector<std::unique_ptr<TRDTableCellData>> removed) override {
    cells = std::move(removed);
  }
  void CellsMerged(int, int, int colSpan, int rowSpan, int, int, int bestWidth,
                   std::vector<TRDMergedCell> taken) override {
    oldColSpan = colSpan;
    oldRowSpan = rowSpan;
    oldBestWidth = bestWidth;
    merged = std::move(taken);
  }
  void CellsCleared(const TRDIntegerList&, const TRDIntegerList&,
                    std::vector<std::unique_ptr<TRDTableCellData>> old) override {
    cells = std::move(old);
  }
};

std::string Texts(TRDTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.RowCount(); ++r) {
    if (r > 0) out += " / ";
    for (int c = 0; c < table.ColCount(); ++c) {
      if (c > 0) out += ",";
      const TRDTableCellData* cell = table.Cells(r, c);
      out += cell ? "[" + TTableDocument::CellText(*cell) + "]" : "-";
    }
  }
  return out;
}

TEST(TableGrid, MergedCellCoversItsSlotsAndResolvesThem) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  table.Rows->MergeCells(0, 0, 2, 2, true, true);
  EXPECT_EQ(Texts(table), "[a|b|d|e],-,[c] / -,-,[f] / [g],[h],[i]");
  EXPECT_TRUE(table.Rows->IsConsistent());
  for (auto [r, c] : {std::pair{0, 1}, {1, 0}, {1, 1}}) {
    int mr = -1, mc = -1;
    EXPECT_EQ(table.Rows->GetMainCell(r, c, mr, mc), table.Cells(0, 0));
    EXPECT_EQ(mr, 0);
    EXPECT_EQ(mc, 0);
  }
  // Outside the grid there is no cell, and the walk never goes above row 0.
  int mr, mc;
  EXPECT_EQ(table.Rows->GetMainCell(3, 0, mr, mc), nullptr);
  EXPECT_EQ(table.Rows->GetMainCell(0, -1, mr, mc), nullptr);
  table.Rows->Items(0)->SetItem(2, nullptr);  // a damaged grid: nothing covers (0, 2)
  EXPECT_EQ(table.Rows->GetMainCell(0, 2, mr, mc), nullptr);
  EXPECT_FALSE(table.Rows->IsConsistent());
}

TEST(TableGrid, MergingMovesContentAndUndoGivesItBack) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 3, {"", "x", ""});
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  // An empty top-left cell keeps its empty item in front of what it receives; an empty
  // neighbour hands over nothing.
  table.Rows->MergeCells(0, 0, 3, 1, true, true);
  EXPECT_EQ(Texts(table), "[|x],-,-");
  EXPECT_EQ(table.Cells(0, 0)->GetItemCount(), 2);
  ASSERT_EQ(kept.merged.size(), 2u);
  EXPECT_EQ(kept.merged[0].ItemCount, 1);
  EXPECT_EQ(kept.merged[1].ItemCount, 0);
  table.Rows->UndoMergeCells(0, 0, kept.oldColSpan, kept.oldRowSpan, kept.merged,
                             kept.oldBestWidth);
  EXPECT_EQ(Texts(table), "[],[x],[]");
  EXPECT_TRUE(table.Rows->IsConsistent());
  EXPECT_EQ(table.Cells(0, 1)->GetRow(), table.Rows->Items(0));
}

TEST(TableGrid, MergingTwoFilledCellsAndBack) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"p", "q", "r", "s"});
  table.Cells(0, 1)->AddText("q2", 0, 0);
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  table.Rows->MergeCells(0, 0, 2, 2, true, false);
  EXPECT_EQ(Texts(table), "[p|q|q2|r|s],- / -,-");
  table.Rows->UndoMergeCells(0, 0, kept.oldColSpan, kept.oldRowSpan, kept.merged,
                             kept.oldBestWidth);
  EXPECT_EQ(Texts(table), "[p],[q|q2] / [r],[s]");
  EXPECT_TRUE(table.Rows->IsConsistent());
}

TEST(TableGrid, MergeParametersAndRefusals) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2);
  EXPECT_THROW(table.Rows->MergeCells(0, 0, 0, 3, true, true), ERichDocError);
  EXPECT_THROW(table.Rows->MergeCells(5, 0, 2, 2, true, true), ERichDocError);
  // A rectangle of one slot changes nothing.
  table.Rows->MergeCells(1, 1, 5, 5, true, true);
  EXPECT_EQ(table.Cells(1, 1)->ColSpan, 1);
  // Without AllowMergeRC, a merge that leaves a column without a cell of its own is
  // refused, with a beep.
  int beeps = 0;
  doc.OnBeep = [&] { ++beeps; };
  table.Rows->MergeCells(0, 0, 2, 1, false, true);
  table.Rows->MergeCells(1, 0, 2, 1, false, true);
  EXPECT_EQ(table.Cells(1, 0)->ColSpan, 1);
  EXPECT_EQ(beeps, 1);
  // A whole column of a two-column table whose other column keeps its cells is allowed.
  TRDTableItemInfo& other = doc.AddTable(2, 2);
  other.Rows->MergeCells(0, 0, 1, 2, false, true);
  EXPECT_EQ(other.Cells(0, 0)->RowSpan, 2);
  // A rectangle that cuts a merged cell is not merged.
  TRDTableItemInfo& third = doc.AddTable(2, 3);
  third.Rows->MergeCells(0, 1, 2, 1, true, true);
  third.Rows->MergeCells(0, 0, 2, 2, true, true);
  EXPECT_EQ(third.Cells(0, 0)->ColSpan, 1);
  EXPECT_EQ(beeps, 2);
}

TEST(TableGrid, MergedBestWidthPrefersPercentages) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2);
  table.Cells(0, 0)->BestWidth = 100;
  table.Cells(0, 1)->BestWidth = 50;
  table.Cells(1, 0)->BestWidth = -20;
  table.Cells(1, 1)->BestWidth = 70;
  EXPECT_EQ(table.Rows->GetMergedBestWidth(0, 0, 2, 1), 150);
  EXPECT_EQ(table.Rows->GetMergedBestWidth(0, 0, 2, 2), -20);
  table.Cells(0, 1)->BestWidth = -30;
  EXPECT_EQ(table.Rows->GetMergedBestWidth(0, 0, 2, 2), -30);
}

TEST(TableGrid, ColumnMeasures) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 2);
  table.Cells(0, 0)->BestWidth = 80;
  table.Cells(1, 0)->BestWidth = 120;
  EXPECT_EQ(table.Rows->GetPixelColWidth(0), 120);
  table.Cells(2, 0)->BestWidth = -10;
  EXPECT_EQ(table.Rows->GetPixelColWidth(0), 0);
  EXPECT_EQ(table.Rows->GetPercentColWidth(0, 333), 33);
  EXPECT_TRUE(table.Rows->IsPercentWidthColumn(0));
  EXPECT_FALSE(table.Rows->IsPercentWidthColumn(1));
  // A merged percent cell counts for the column it ends in.
  table.Cells(0, 0)->BestWidth = 0;
  table.Cells(1, 0)->BestWidth = 0;
  table.Cells(2, 0)->BestWidth = -40;
  table.Rows->MergeCells(2, 0, 2, 1, true, false);
  EXPECT_FALSE(table.Rows->IsPercentWidthColumn(0));
  EXPECT_TRUE(table.Rows->IsPercentWidthColumn(1));
}

TEST(TableGrid, RowHeights) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2);
  EXPECT_EQ(table.Rows->Items(0)->GetHeight(false), 10);  // nothing laid out yet
  table.Cells(0, 0)->BestHeight = -5;
  EXPECT_EQ(table.Cells(0, 0)->GetCellHeight(true), 0);
  table.Cells(0, 1)->BestHeight = 33;
  EXPECT_EQ(table.Rows->Items(0)->GetHeight(true), 33);
  EXPECT_EQ(table.Rows->Items(0)->GetBestHeight(), 33);
}

TEST(TableGrid, InsertingColumnsInsideAndBesideAMergedCell) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"a", "b", "c", "d", "e", "f"});
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  table.Rows->InsertCols(1, 2, -1, false);
  EXPECT_EQ(table.Cells(0, 0)->ColSpan, 4);
  EXPECT_EQ(Texts(table), "[a|b],-,-,-,[c] / [d],[],[],[e],[f]");
  EXPECT_TRUE(table.Rows->IsConsistent());
  // At the merged cell's left edge, without a copy source, every row gets new cells.
  table.Rows->InsertCols(0, 1, -1, false);
  EXPECT_EQ(Texts(table), "[],[a|b],-,-,-,[c] / [],[d],[],[],[e],[f]");
  EXPECT_TRUE(table.Rows->IsConsistent());
  EXPECT_THROW(table.Rows->InsertCols(7, 1, -1, false), ERichDocError);
  EXPECT_THROW(table.Rows->InsertCols(0, 1, 6, false), ERichDocError);
}

TEST(TableGrid, InsertedColumnCopiesItsSourceAndDividesItsWidth) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2);
  TRDTableCellData& source = *table.Cells(0, 1);
  source.BestWidth = 90;
  source.Color = clRed;
  source.RowSpan = 2;
  table.Rows->Items(1)->SetItem(1, nullptr);
  ASSERT_TRUE(table.Rows->IsConsistent());
  table.Rows->InsertCols(2, 2, 1, true);
  EXPECT_EQ(source.BestWidth, 30);
  EXPECT_EQ(table.Cells(0, 2)->BestWidth, 30);
  EXPECT_EQ(table.Cells(0, 3)->Color, clRed);
  EXPECT_EQ(table.Cells(0, 3)->RowSpan, 2);
  EXPECT_EQ(table.Cells(1, 2), nullptr);
  EXPECT_TRUE(table.Rows->IsConsistent());
}

TEST(TableGrid, InsertingRowsInsideAMergedCellAndCopyingARow) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 2, {"a", "b", "c", "d", "e", "f"});
  table.Rows->MergeCells(0, 0, 1, 3, true, false);
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  table.Rows->InsertRows(1, 1, -1, false);
  EXPECT_EQ(table.Cells(0, 0)->RowSpan, 4);
  EXPECT_EQ(Texts(table), "[a|c|e],[b] / -,[] / -,[d] / -,[f]");
  EXPECT_TRUE(table.Rows->IsConsistent());
  EXPECT_EQ(kept.operations, 1);
  // A copied row spreads its cells like the source row.
  TRDTableItemInfo& second = doc.AddTable(1, 3);
  second.Rows->MergeCells(0, 1, 2, 1, true, false);
  second.Cells(0, 1)->BestHeight = 40;
  second.Rows->InsertRows(0, 2, 0, true);
  EXPECT_EQ(second.Cells(0, 1)->ColSpan, 2);
  EXPECT_EQ(second.Cells(1, 1)->ColSpan, 2);
  EXPECT_EQ(second.Cells(2, 1)->BestHeight, 13);
  EXPECT_TRUE(second.Rows->IsConsistent());
}

TEST(TableGrid, DeletingTheFirstRowOfATallCellLeavesTheRestEmpty) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 2, {"a", "b", "c", "d", "e", "f"});
  table.Rows->MergeCells(0, 0, 1, 3, true, false);
  table.Cells(0, 0)->BestHeight = 90;
  table.Rows->DeleteRows(0, 1, true);
  EXPECT_EQ(Texts(table), "[],[d] / -,[f]");
  EXPECT_EQ(table.Cells(0, 0)->RowSpan, 2);
  EXPECT_EQ(table.Cells(0, 0)->BestHeight, 60);
  EXPECT_TRUE(table.Rows->IsConsistent());
}

TEST(TableGrid, DeletingRowsAndColumnsComesBackWhole) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  table.Rows->MergeCells(0, 1, 2, 2, true, false);
  const std::string before = Texts(table);
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  // A cell starting above the block loses the deleted row.
  table.Rows->DeleteRows(1, 1, false);
  EXPECT_EQ(Texts(table), "[a],[b|c|e|f],- / [g],[h],[i]");
  EXPECT_EQ(table.Cells(0, 1)->RowSpan, 1);
  EXPECT_TRUE(table.Rows->IsConsistent());
  table.Rows->SetSpan(0, 1, 2, false);
  table.Rows->RestoreRows(1, kept.rows);
  EXPECT_TRUE(table.Rows->IsConsistent());
  // Columns: the removed cells come back in their places.
  table.Rows->DeleteCols(0, 1, false);
  EXPECT_EQ(Texts(table), "[b|c|e|f],- / -,- / [h],[i]");
  table.Rows->RestoreCols(0, kept.cells);
  EXPECT_TRUE(table.Rows->IsConsistent());
  EXPECT_EQ(Texts(table), "[a],[b|c|e|f],- / [d],-,- / [g],[h],[i]");
  EXPECT_NE(before, "");
  EXPECT_THROW(table.Rows->DeleteRows(0, 4, false), ERichDocError);
  EXPECT_THROW(table.Rows->DeleteCols(3, 1, false), ERichDocError);
}

TEST(TableGrid, DeletingAColumnThroughAWideCellSplitsIt) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"a", "b", "c", "d", "e", "f"});
  table.Rows->MergeCells(0, 0, 3, 1, true, false);
  table.Cells(0, 0)->BestWidth = 90;
  table.Cells(0, 0)->Color = clBlue;
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  table.Rows->DeleteCols(0, 1, true);
  // The cut-off part is a new empty cell with the old cell's look.
  EXPECT_EQ(Texts(table), "[],- / [e],[f]");
  EXPECT_EQ(table.Cells(0, 0)->ColSpan, 2);
  EXPECT_EQ(table.Cells(0, 0)->BestWidth, 60);
  EXPECT_EQ(table.Cells(0, 0)->Color, clBlue);
  EXPECT_TRUE(table.Rows->IsConsistent());
  EXPECT_EQ(kept.steps.front(), "splitv");
}

TEST(TableGrid, ClearingCells) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"a", "b"});
  table.Cells(0, 1)->Color = clRed;
  TRDIntegerList rows, cols;
  rows.AddValue(0);
  cols.AddValue(1);
  table.Rows->ClearCells(rows, cols);
  EXPECT_EQ(Texts(table), "[a],[]");
  TKeptSteps kept;
  table.Rows->Undo = &kept;
  table.Rows->ClearCells(rows, cols);
  ASSERT_EQ(kept.cells.size(), 1u);
  EXPECT_EQ(table.Cells(0, 1)->Color, clRed);
  table.Rows->RestoreClearedCells(rows, cols, kept.cells);
  EXPECT_TRUE(table.Rows->IsConsistent());
}

}  // namespace
