// Row and column operations of the table as the user makes them: each is one undo step
// in an editor, clears or moves the cell selection and lays the document out again.
#include <algorithm>

#include "richtext/rich_doc_error.h"
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

namespace {

[[noreturn]] void BadIndex() {
  throw ERichDocError("Invalid row or column index");
}

}  // namespace

void TRDTableItemInfo::InsertCols(int index, int count, int copyIndex, bool select) {
  if (index < 0 || index > ColCount() || copyIndex < -1 || copyIndex >= ColCount()) BadIndex();
  if (count <= 0) return;
  BeginModify();
  Rows->InsertCols(index, count, copyIndex, true);
  EndModify();
  if (select) SelectCols(index, count);
  ReformatAfterChange();
}

void TRDTableItemInfo::InsertRows(int index, int count, int copyIndex, bool select) {
  if (index < 0 || index > RowCount() || copyIndex < -1 || copyIndex >= RowCount()) BadIndex();
  if (count <= 0) return;
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
  Deselect();
  BeginModify();
  Rows->DeleteRows(index, count, decreaseHeight);
  EndModify();
  ReformatAfterChange();
}

void TRDTableItemInfo::DeleteCols(int index, int count, bool decreaseWidth) {
  if (Rows->IsEmpty()) return;
  if (index < 0 || index >= ColCount() || count <= 0 || (index == 0 && count > ColCount()))
    BadIndex();
  Deselect();
  BeginModify();
  Rows->DeleteCols(index, count, decreaseWidth);
  EndModify();
  ReformatAfterChange();
}

void TRDTableItemInfo::DeleteEmptyRows() {
  for (int r = RowCount() - 1; r >= 0; --r) {
    const TRDTableRow& row = *Rows->Items(r);
    bool empty = true;
    for (int c = 0; c < row.Count() && empty; ++c) empty = row.Items(c) == nullptr;
    if (empty) DeleteRows(r, 1, false);
  }
}
