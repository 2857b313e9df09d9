// Row and column operations of the table as the user makes them: each is one undo step
// in an editor, clears or moves the cell selection and lays the document out again.
#include <algorithm>
#include <cstdint>

#include "richtext/base/rich_doc_error.h"
#include "richtext/view/rich_doc.h"
#include "richtext/view/rich_doc_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/tables/table_item.h"

bool TRDTableItemInfo::CanChange() const {
  TRDEditRDData* data = EditData();
  TCustomRichDocEdit* editor = data ? data->Editor() : nullptr;
  return editor && editor->BeforeChange(true);
}

// Everything between the two is one undo step of the editor, judged as one change of
// this item.
void TRDTableItemInfo::BeginModify() {
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  if (!data) return;
  data->BeginUndoStep(rdutModifyItem, true);
  data->SetUndoGroupMode(true);
  data->AddModifyItemTerminator(GetMyItemNo(), true);
}

void TRDTableItemInfo::EndModify() {
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  if (!data) return;
  data->AddModifyItemTerminator(GetMyItemNo(), false);
  data->SetUndoGroupMode(false);
  data->UndoList->DropEmptyLastStep();
}

void TRDTableItemInfo::ReformatAfterChange() {
  MarkChanged();
  auto* document = dynamic_cast<TCustomRDFormattedData*>(GetDocument());
  if (!document || !(State & rdtsInDocument) || !document->GetRDStyle()) return;
  if (TRDEditRDData* data = EditData()) {
    data->FormatWhole();
    data->NotifyChanged(true);
  } else {
    document->FormatItems(false, true, false, 0, nullptr, false, true, false);
    document->InvalidateControl();
  }
}

void TRDTableItemInfo::RecheckSpelling() {
  TCustomRDData* document = GetDocument();
  auto* root = document ? dynamic_cast<TRichDocRDData*>(document->GetAbsoluteRootData()) : nullptr;
  if (root) root->RichDoc().RecheckWordsFrom(document, GetMyItemNo(), 0);
}

namespace {

[[noreturn]] void BadIndex() {
  throw ERichDocError("Invalid row or column index");
}

}  // namespace

// A table may not grow past the slots a table can have (every table written must read
// back): the user hears a beep instead.
bool TRDTableItemInfo::CanGrowBy(int rowCount, int colCount) const {
  if (TRDTableRows::HoldsSlots(std::int64_t(RowCount()) + rowCount,
                               std::int64_t(ColCount()) + colCount))
    return true;
  if (TCustomRDData* document = GetDocument()) document->Beep();
  return false;
}

void TRDTableItemInfo::InsertCols(int index, int count, int copyIndex, bool select) {
  if (index < 0 || index > ColCount() || copyIndex < -1 || copyIndex >= ColCount()) BadIndex();
  if (count <= 0 || !CanGrowBy(0, count)) return;
  DestroyInplaceEditor(true);
  BeginModify();
  Rows->InsertCols(index, count, copyIndex, true);
  EndModify();
  if (select) SelectCols(index, count);
  ReformatAfterChange();
}

void TRDTableItemInfo::InsertRows(int index, int count, int copyIndex, bool select) {
  if (index < 0 || index > RowCount() || copyIndex < -1 || copyIndex >= RowCount()) BadIndex();
  if (count <= 0 || !CanGrowBy(count, 0)) return;
  DestroyInplaceEditor(true);
  BeginModify();
  Rows->InsertRows(index, count, copyIndex, true);
  EndModify();
  if (select) SelectRows(index, count);
  ReformatAfterChange();
}

void TRDTableItemInfo::DeleteRows(int index, int count, bool decreaseHeight) {
  if (Rows->IsEmpty()) return;
  if (index < 0 || index >= RowCount() || count <= 0 || (index == 0 && count > RowCount()))
    BadIndex();
  int row, col;
  const bool editing = GetEditedCell(row, col) != nullptr;
  if (!editing)
    row = index, col = 0;
  else if (row >= index + count)
    row -= count;
  else if (row >= index)
    row = index;
  Deselect();
  BeginModify();
  Rows->DeleteRows(index, count, decreaseHeight);
  EndModify();
  ReformatAfterChange();
  if (RowCount() > 0 && (Options & rdtoEditing)) ReopenEditorNear(row, col);
}

void TRDTableItemInfo::DeleteCols(int index, int count, bool decreaseWidth) {
  if (Rows->IsEmpty()) return;
  if (index < 0 || index >= ColCount() || count <= 0 || (index == 0 && count > ColCount()))
    BadIndex();
  int row, col;
  const bool editing = GetEditedCell(row, col) != nullptr;
  if (!editing)
    row = 0, col = index;
  else if (col >= index + count)
    col -= count;
  else if (col >= index)
    col = index;
  Deselect();
  BeginModify();
  Rows->DeleteCols(index, count, decreaseWidth);
  EndModify();
  ReformatAfterChange();
  if (ColCount() > 0 && IsInEditor() && (Options & rdtoEditing)) ReopenEditorNear(row, col);
}

void TRDTableItemInfo::ReopenEditorNear(int row, int col) {
  if (!IsInEditor() || Rows->IsEmpty()) return;
  int mr, mc;
  if (Rows->GetMainCell(std::min(row, RowCount() - 1), std::min(col, ColCount() - 1), mr, mc))
    OpenCellEditor(mr, mc, true, false, false, false, false);
}

bool TRDTableItemInfo::CanClearSelectedCells() {
  if (!(Options & rdtoEditing) || !(State & rdtsCellsSelected) || !EditData()) return false;
  bool any = false;
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c)
      if (Rows->Peek(r, c) && IsCellSelected(r, c)) {
        if (!CanEditCell(r, c, true)) return false;
        any = true;
      }
  return any;
}

void TRDTableItemInfo::ClearSelectedCells() {
  TRDIntegerList rows, cols;
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c)
      // A plain cell is as clearing leaves it.
      if (Rows->Object(r, c) && IsCellSelected(r, c) && CanEditCell(r, c, true)) {
        rows.AddValue(r);
        cols.AddValue(c);
      }
  if (rows.Count() == 0) return;
  DestroyInplaceEditor(true);
  BeginModify();
  Rows->ClearCells(rows, cols);
  EndModify();
  RecheckSpelling();
  ReformatAfterChange();
}

void TRDTableItemInfo::MergeCellsWithUndo(int topRow, int leftCol, int colCount, int rowCount,
                                          bool allowMergeRC) {
  DestroyInplaceEditor(true);
  BeginModify();
  Rows->MergeCells(topRow, leftCol, colCount, rowCount, allowMergeRC, true);
  EndModify();
  RecheckSpelling();
  ReformatAfterChange();
}

void TRDTableItemInfo::DeleteEmptyRows() {
  for (int r = RowCount() - 1; r >= 0; --r) {
    const TRDTableRow& row = *Rows->Items(r);
    bool empty = true;
    for (int c = 0; c < row.Count() && empty; ++c) empty = row.Peek(c) == nullptr;
    if (empty) DeleteRows(r, 1, false);
  }
}
