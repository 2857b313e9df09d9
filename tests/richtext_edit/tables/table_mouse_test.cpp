// The table under the mouse: cells, columns and borders found at a point, cell
// selections made by dragging across cells and by clicking the table's edges, border
// drags that resize columns and rows with undo, and the row and column operations.
#include <gtest/gtest.h>

#include "platform/test_support/gui_test_support.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/tables/table_edit_fixture.h"

namespace {

struct TLaidOut : TTableDocument {
  TRDTableItemInfo& table;
  TLaidOut(int rows, int cols) : table(AddTable(rows, cols)) { Format(); }
};

std::string Selected(const TRDTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.RowCount(); ++r) {
    if (r > 0) out += '/';
    for (int c = 0; c < table.ColCount(); ++c) out += table.IsCellSelected(r, c) ? 'x' : '.';
  }
  return out;
}

}  // namespace

TEST(TableHitTest, CellsColumnsAndRowsUnderAPoint) {
  TLaidOut d(2, 3);
  TRDTableItemInfo& t = d.table;
  const TRDTableItemFormattingInfo& info = *t.FormattingInfo;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      const TRDTableCellData& cell = *t.Cells(r, c);
      int row, col;
      ASSERT_TRUE(t.GetCellAt(cell.Left() + cell.Width / 2, cell.Top + cell.Height / 2, row, col));
      EXPECT_EQ(row, r);
      EXPECT_EQ(col, c);
      // The cell's outermost pixel belongs to no cell.
      EXPECT_FALSE(t.GetCellAt(cell.Left(), cell.Top + 2, row, col));
      EXPECT_EQ(t.GetColAt(info.ColStarts[c] + 1), c);
    }
  int row, col;
  EXPECT_FALSE(t.GetCellAt(0, 0, row, col));
  EXPECT_FALSE(t.GetCellAt(info.Width + 5, 5, row, col));
  // Between two columns lies no column.
  EXPECT_EQ(t.GetColAt(info.ColStarts[1] - 1), -1);
  EXPECT_EQ(t.GetColAt(info.Width + 10), -1);
  EXPECT_EQ(t.GetRowAt(info.RowStarts[1] + 1), 1);

  // A merged cell is found from any of its slots, as its own.
  t.Rows->MergeCells(0, 1, 2, 2, true, false);
  d.Format();
  const TRDTableCellData& merged = *t.Cells(0, 1);
  ASSERT_TRUE(t.GetCellAtCached(merged.Left() + merged.Width - 3, merged.Top + merged.Height - 3,
                                row, col));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(col, 1);
  // The cache answers the same cell, and lets go of it outside.
  ASSERT_TRUE(t.GetCellAtCached(merged.Left() + 3, merged.Top + 3, row, col));
  EXPECT_EQ(col, 1);
  const TRDTableCellData& first = *t.Cells(1, 0);
  ASSERT_TRUE(t.GetCellAtCached(first.Left() + 3, first.Top + 3, row, col));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 0);
}

TEST(TableHitTest, BordersAreHitWithinHalfTheirBandAndTwoPixelsAtLeast) {
  TLaidOut d(2, 2);
  TRDTableItemInfo& t = d.table;
  t.SetCellHSpacing(3);
  d.Format();
  const TRDTableItemFormattingInfo& info = *t.FormattingInfo;
  int minPos, pos;
  const int centre = info.ColStarts[1] - 3 / 2;
  for (int dx = -2; dx <= 2; ++dx) {
    EXPECT_EQ(t.GetColBorderAt(centre + dx, minPos, pos), 1) << dx;
    EXPECT_EQ(minPos, info.ColStarts[0]);
    EXPECT_EQ(pos, info.ColStarts[1] - 2);
  }
  EXPECT_EQ(t.GetColBorderAt(centre - 3, minPos, pos), -1);
  EXPECT_EQ(t.GetColBorderAt(centre + 3, minPos, pos), -1);
  // The outer edges: index 0 on the left, the column count on the right.
  EXPECT_EQ(t.GetColBorderAt(0, minPos, pos), 0);
  EXPECT_EQ(minPos, -1);
  EXPECT_EQ(t.GetColBorderAt(info.Width, minPos, pos), 2);
  EXPECT_EQ(minPos, info.ColStarts[1]);
  EXPECT_EQ(t.GetColBorderAt(info.Width + 1, minPos, pos), -1);
  EXPECT_EQ(t.GetRowBorderAt(info.RowStarts[1] - 1, minPos, pos), 1);
  EXPECT_EQ(t.GetRowBorderAt(info.Height, minPos, pos), 2);
}

TEST(TableSelection, MergedCellsWidenTheRectangle) {
  TLaidOut d(4, 3);
  TRDTableItemInfo& t = d.table;
  // Without a document that allows selecting, nothing is selected.
  d.SetOptions(d.GetOptions() & ~rdoAllowSelection);
  t.Select(0, 0, 1, 1);
  EXPECT_EQ(Selected(t), ".../.../.../...");
  d.SetOptions(d.GetOptions() | rdoAllowSelection);

  // A 2 x 2 block whose top-left cell spans three rows covers three rows.
  t.Rows->MergeCells(0, 0, 1, 3, true, false);
  d.Format();
  t.Select(0, 0, 1, 1);
  int top, left, cols, rows;
  ASSERT_TRUE(t.GetNormalizedSelectionBounds(false, top, left, cols, rows));
  EXPECT_EQ(top, 0);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(cols, 2);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(Selected(t), "xx./xx./xx./...");
  EXPECT_TRUE(t.Cells(0, 1)->State & rddsSelectedAsWhole);
  EXPECT_FALSE(t.Cells(0, 2)->State & rddsSelectedAsWhole);

  // For saving, a merged cell that crosses the right edge is taken in whole.
  t.Rows->MergeCells(2, 1, 2, 2, true, false);
  t.Select(1, 1, -1, 0);
  ASSERT_TRUE(t.GetNormalizedSelectionBounds(false, top, left, cols, rows));
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(cols, 2);
  ASSERT_TRUE(t.GetSelectionBoundsForSave(top, left, cols, rows));
  EXPECT_EQ(top, 0);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(cols, 3);
  EXPECT_EQ(rows, 4);

  // Whole columns and rows; a stale selection is dropped.
  // The column's last slot lies in the merged cell, which starts a column further left.
  t.SelectCols(2, 1);
  EXPECT_EQ(Selected(t), ".xx/.xx/.xx/.xx");
  t.Deselect();
  EXPECT_EQ(Selected(t), ".../.../.../...");
  EXPECT_FALSE(t.Cells(2, 1)->State & rddsSelectedAsWhole);
  t.State |= rdtsCellsSelected;
  EXPECT_FALSE(t.GetNormalizedSelectionBounds(false, top, left, cols, rows));
  EXPECT_FALSE(t.State & rdtsCellsSelected);
}

TEST(TableMouse, DraggingAcrossCellsSelectsThemAndBackToTheFirstSelectsNone) {
  TTableEdit f(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  const TPoint a = f.ClientOfTable(f.CellMiddle(0, 0).X, f.CellMiddle(0, 0).Y);
  const TPoint b = f.ClientOfTable(f.CellMiddle(1, 1).X, f.CellMiddle(1, 1).Y);
  SimulateMouseDown(f.edit, mbLeft, a.X, a.Y);
  EXPECT_TRUE(f.table->MouseCaptured);
  EXPECT_EQ(f.data.CaptureItem(), f.table);
  SimulateMouseMove(f.edit, b.X, b.Y, ssLeft);
  EXPECT_EQ(Selected(*f.table), "xx./xx./...");
  SimulateMouseMove(f.edit, a.X + 2, a.Y, ssLeft);
  EXPECT_FALSE(f.table->State & rdtsCellsSelected);
  SimulateMouseMove(f.edit, b.X, b.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, b.X, b.Y);
  EXPECT_FALSE(f.table->MouseCaptured);
  EXPECT_EQ(f.data.CaptureItem(), nullptr);
  EXPECT_EQ(Selected(*f.table), "xx./xx./...");

  // A right click on a selected cell keeps the selection.
  SimulateMouseDown(f.edit, mbRight, b.X, b.Y);
  SimulateMouseUp(f.edit, mbRight, b.X, b.Y);
  EXPECT_EQ(Selected(*f.table), "xx./xx./...");
}

// Cells a viewer's mouse selects are a mouse selection as text is: the viewer offers it
// to other programs (the X11 primary selection) as it does selected text.
TEST(TableMouse, CellsSelectedInAViewerAreAMouseSelection) {
  struct TViewer : TTableDocument {
    int mouse_selections = 0;
    void DoMouseSelected() override { ++mouse_selections; }
  } viewer;
  viewer.SetOptions(viewer.GetOptions() | rdoAllowSelection);
  TRDTableItemInfo& t = viewer.AddTable(2, 2, {"p", "q", "r", "s"});
  viewer.Format();
  int left = 0, top = 0, ox = 0, oy = 0;
  viewer.GetItemCoords(0, left, top);
  viewer.GetOrigin(ox, oy);
  const auto middle = [&](int row, int col) {
    const TRDTableCellData& cell = *t.Cells(row, col);
    return Point(left + ox + cell.Left() + cell.Width / 2, top + oy + cell.Top + cell.Height / 2);
  };
  const TPoint a = middle(0, 0), b = middle(1, 1);
  viewer.MouseDown(mbLeft, 0, a.X, a.Y);
  viewer.MouseMove(ssLeft, b.X, b.Y);
  viewer.MouseUp(mbLeft, 0, b.X, b.Y);
  EXPECT_EQ(Selected(t), "xx/xx");
  EXPECT_EQ(viewer.mouse_selections, 1);
}

TEST(TableMouse, TheEdgesSelectRowsAndColumns) {
  TTableEdit f(2, 3, {});
  const TRDTableItemFormattingInfo& info = *f.table->FormattingInfo;
  // The left edge selects the row under the pointer.
  TPoint p = f.ClientOfTable(0, info.RowStarts[1] + 3);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  EXPECT_EQ(Selected(*f.table), ".../xxx");
  // The top edge the column.
  p = f.ClientOfTable(info.ColStarts[2] + 3, 0);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  EXPECT_EQ(Selected(*f.table), "..x/..x");
  EXPECT_EQ(f.data.CaptureItem(), nullptr);
  // Without the options, the edges select nothing.
  f.table->Options &= TRDTableOptions(~(rdtoRowSelect | rdtoColSelect));
  f.table->Deselect();
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  EXPECT_EQ(Selected(*f.table), ".../...");
}

TEST(TableMouse, DraggingAColumnBorderResizesWithOneUndoStep) {
  TTableEdit f(2, 3, {"a", "b", "c", "d", "e", "f"});
  const std::string before = DescribeGrid(*f.table);
  const TRDTableItemFormattingInfo& info = *f.table->FormattingInfo;
  const int border = info.ColStarts[1] - 1;
  const TPoint p = f.ClientOfTable(border, info.RowStarts[0] + 3);
  const int steps = f.data.UndoList->Count();
  // A drag that ends where it began changes nothing.
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  EXPECT_TRUE(f.data.IsXorDrawHandler(f.table));
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  EXPECT_FALSE(f.data.IsXorDrawHandler(f.table));
  EXPECT_EQ(DescribeGrid(*f.table), before);
  EXPECT_EQ(f.data.UndoList->Count(), steps);

  const int oldFirst = info.ColWidths[0], oldSecond = info.ColWidths[1];
  const int oldThirdStart = info.ColStarts[2];
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseMove(f.edit, p.X + 30, p.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, p.X + 30, p.Y);
  EXPECT_EQ(f.data.UndoList->Count(), steps + 1);
  EXPECT_EQ(f.data.CaptureItem(), nullptr);
  const std::string after = DescribeGrid(*f.table);
  EXPECT_NE(after, before);
  // The first column grew by the drag, the second gave it up: the third stays.
  EXPECT_EQ(f.table->FormattingInfo->ColWidths[0], oldFirst + 30);
  EXPECT_EQ(f.table->FormattingInfo->ColWidths[1], oldSecond - 30);
  EXPECT_EQ(f.table->FormattingInfo->ColStarts[2], oldThirdStart);
  f.ExpectUndoRedo(before, after);
}

TEST(TableMouse, ShiftDraggingChangesOnlyTheDraggedColumnAndRowsResizeToo) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  f.table->Rows->MergeCells(0, 0, 1, 2, true, false);
  f.data.UndoList->Clear();
  f.Format();
  const TRDTableItemFormattingInfo& info = *f.table->FormattingInfo;
  TPoint p = f.ClientOfTable(info.ColStarts[1] - 1, info.RowStarts[0] + 3);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y, ssShift);
  SimulateMouseUp(f.edit, mbLeft, p.X - 20, p.Y, ssShift);
  EXPECT_EQ(f.table->Cells(0, 1)->BestWidth, 0);
  EXPECT_GT(f.table->Cells(0, 0)->BestWidth, 0);
  // The row border below row 0: the single-row cell of the row takes the height, the
  // merged cell that does not end there is left alone.
  f.data.UndoList->Clear();
  const std::string before = DescribeGrid(*f.table);
  p = f.ClientOfTable(info.ColStarts[1] + 5, info.RowStarts[1] - 1);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y + 25);
  EXPECT_GT(f.table->Cells(0, 1)->BestHeight, 0);
  EXPECT_EQ(f.table->Cells(0, 0)->BestHeight, 0);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.ExpectUndoRedo(before, DescribeGrid(*f.table));
}

TEST(TableResize, APercentColumnOfATableWithNoRoomStaysAsItWas) {
  TTableEdit f(1, 2, {"a", "b"});
  f.table->Cells(0, 0)->BestWidth = -40;
  f.Format();
  f.table->ApplyColResize(0, 100, true);
  EXPECT_LT(f.table->Cells(0, 0)->BestWidth, 0);
  EXPECT_NE(f.table->Cells(0, 0)->BestWidth, -40);
  // The whole width taken by borders and spacing: no percentage can be told.
  const int fixed = f.table->CellHSpacing() + 2 * f.table->BorderHSpacing();
  f.table->Cells(0, 0)->BestWidth = -40;
  f.table->FormattingInfo->Width = fixed;
  f.table->ApplyColResize(0, 100, true);
  EXPECT_EQ(f.table->Cells(0, 0)->BestWidth, -40);
}

TEST(TableRowsAndColumns, OperationsCheckIndicesAndUndoAsOneStep) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  EXPECT_THROW(f.table->DeleteRows(0, 3, false), ERichDocError);
  EXPECT_THROW(f.table->DeleteCols(2, 1, false), ERichDocError);
  EXPECT_THROW(f.table->InsertCols(3, 1, -1, false), ERichDocError);
  EXPECT_THROW(f.table->InsertRows(0, 1, 2, false), ERichDocError);
  EXPECT_EQ(f.data.UndoList->Count(), 0);

  std::string before = DescribeGrid(*f.table);
  // At the column count the columns are appended, and selected when asked.
  f.table->InsertCols(2, 1, -1, true);
  std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a],[b],[] / [c],[d],[]");
  EXPECT_EQ(Selected(*f.table), "..x/..x");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.ExpectUndoRedo(before, after);

  before = after;
  f.table->InsertRows(0, 1, 1, false);
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[],[],[] / [a],[b],[] / [c],[d],[]");
  f.ExpectUndoRedo(before, after);

  // Deleting opens the cell editor near where the rows went; closed, the cell is whole.
  before = after;
  f.table->DeleteRows(1, 1, false);
  f.edit.CloseInplaceEditor();
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[],[],[] / [c],[d],[]");
  f.ExpectUndoRedo(before, after);

  before = after;
  f.table->DeleteCols(0, 2, false);
  f.edit.CloseInplaceEditor();
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[] / []");
  f.ExpectUndoRedo(before, after);
  EXPECT_EQ(f.data.UndoList->Count(), 4);
}

TEST(TableRowsAndColumns, RowsThatMergedCellsCoverWhollyAreDeleted) {
  TTableEdit f(3, 2, {"a", "b", "c", "d", "e", "f"});
  f.table->Rows->MergeCells(0, 0, 2, 2, true, false);
  // Row 1 is all covered now.
  f.table->DeleteEmptyRows();
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a|b|c|d]2x1,- / [e],[f]");
  EXPECT_TRUE(f.table->Rows->IsConsistent());
}
