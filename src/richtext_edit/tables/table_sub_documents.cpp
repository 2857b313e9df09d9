// The table's cells as documents inside the document around the table: opening one for
// editing from anywhere (a table inside a cell opens its outer cell first), and their
// links numbered on from the document's.
#include "richtext/rich_doc_error.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

bool TRDTableItemInfo::GetCellPosition(const TRDTableCellData& cell, int& row, int& col) const {
  for (row = 0; row < RowCount(); ++row)
    for (col = 0; col < ColCount(); ++col)
      if (Rows->Cell(row, col) == &cell) return true;
  row = col = -1;
  return false;
}

void TRDTableItemInfo::EditCell(int row, int col, bool automatic) {
  TCustomRDData* document = GetDocument();
  if (!document || !dynamic_cast<TRDEditRDData*>(document->GetAbsoluteRootData())) return;
  if (!automatic && !(Options & rdtoEditing)) return;
  // Inside a cell of another table the content is edited in that cell's editor.
  if (auto* cell = dynamic_cast<TRDTableCellData*>(document)) {
    TRDTableItemInfo* outer = cell->GetTable();
    int outerRow, outerCol;
    if (!outer || !outer->GetCellPosition(*cell, outerRow, outerCol))
      throw ERichDocError("Internal error");
    outer->EditCell(outerRow, outerCol, automatic);
  }
  OpenCellEditor(row, col, automatic, false, false, false, false);
}

void TRDTableItemInfo::BuildJumps(int& jumpNo) {
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c) {
      TRDTableCellData* cell = Rows->Cell(r, c);
      if (!cell) continue;
      // The edited cell's links are the editor's.
      TCustomRDFormattedData* holder = cell;
      if (InplaceEditor && InplaceEditor->Row() == r && InplaceEditor->Col() == c)
        holder = &InplaceEditor->EditData();
      holder->FirstJumpNo = jumpNo;
      jumpNo += holder->JumpCount;
    }
}
