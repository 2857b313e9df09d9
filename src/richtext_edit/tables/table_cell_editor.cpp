// The table's side of cell editing: opening the cell editor over a cell with the cell's
// items moved into it, closing it with the items moved back and its undo steps handed to
// the document's undo list as one record per list, laying the table out again as the
// edited content grows or shrinks, and moving the editor from cell to cell.
#include <algorithm>
#include <utility>

#include "platform/sys/date_time.h"

#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_undo.h"

TCustomRichDocEdit* TRDTableItemInfo::GetInplaceEditor() const {
  return InplaceEditor;
}

void TRDTableItemInfo::CloseInplaceEditor() {
  DestroyInplaceEditor(true);
}

TRDTableInplaceEdit* TRDTableItemInfo::GetEditedCell(int& row, int& col) const {
  row = InplaceEditor ? InplaceEditor->Row() : -1;
  col = InplaceEditor ? InplaceEditor->Col() : -1;
  return InplaceEditor;
}

// The editor lies over the cell's box, in the outer editor's client coordinates.
void TRDTableItemInfo::PlaceEditor() {
  TRDEditRDData* data = EditData();
  if (!InplaceEditor || !data) return;
  int left = 0, top = 0;
  data->GetItemCoords(GetMyItemNo(), left, top);
  int ox, oy;
  data->GetOrigin(ox, oy);
  MoveToPosition(left - data->GetHOffs() + ox, top - data->GetVOffs() + oy, false);
}

bool TRDTableItemInfo::OpenCellEditor(int row, int col, bool automatic, bool byMouse,
                                      bool caretAtEnd, bool caretAtStart, bool hyperlinkMode) {
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  TCustomRichDocEdit* outer = data ? data->Editor() : nullptr;
  if (!outer || row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) return false;
  TRDTableCellData* cell = Rows->Cell(row, col);
  if (!cell || (!automatic && !CanEditCell(row, col, false))) return false;
  DestroyInplaceEditor(true);
  data->Deselect(false);
  Deselect();
  InplaceEditor = new TRDTableInplaceEdit(*outer, *this, row, col);
  if (byMouse) InplaceEditor->SetOpeningClickTime(GetTickCount());
  data->ChosenItem = this;
  ChosenRow = row;
  ChosenCol = col;
  TRDTableInplaceRDData& editorData = InplaceEditor->InplaceData();
  // The row keeps the height of the content laid out at the cell's width now: the cell's
  // last layout may be older than its content (a column deleted beside it).
  cell->FormatItems(false, true, false, 0, &data->GetCanvas(), false, true, false);
  cell->EditedHeight = cell->ContentHeight();
  editorData.MoveItemsFrom(*cell);
  PlaceEditor();
  InplaceEditor->FormatDocument();
  if (hyperlinkMode || outer->GetReadOnly()) editorData.EnterHyperlinkMode(true);
  InplaceEditor->Show();
  outer->SetActiveSubData(cell, this);
  const int last = editorData.GetItemCount() - 1;
  if (caretAtEnd && last >= 0)
    editorData.PlaceCaretAtItem(last, editorData.GetItemEndOffset(last), false);
  else if (last >= 0)
    editorData.PlaceCaretAtItem(0, editorData.GetItemStartOffset(0), false);
  (void)caretAtStart;
  EditorMinWidth = cell->GetMinWidth(nullptr, data->GetCanvas());
  TableMinWidth = data->GetLinesMinWidth(GetMyItemNo(), GetMyItemNo());
  InplaceEditor->SetFocus();
  outer->Invalidate();
  return true;
}

bool TRDTableItemInfo::EnterTable(int direction, int x) {
  if (Rows->IsEmpty() || !(Options & rdtoEditing)) return false;
  const int last = RowCount() - 1;
  int row = 0, col = 0, mr, mc;
  switch (direction) {
    case 0:
      break;
    case 1:
      row = last;
      col = ColCount() - 1;
      break;
    case 2:
    case 3:
      col = GetColAt(x);
      if (col < 0) return false;
      row = direction == 2 ? 0 : last;
      break;
    default:
      return false;
  }
  if (!Rows->GetMainCell(row, col, mr, mc)) return false;
  return OpenCellEditor(mr, mc, false, false, direction == 1 || direction == 3,
                        direction == 0 || direction == 2, false);
}

void TRDTableItemInfo::FlushEditorUndo(bool) {
  TRDEditRDData* data = EditData();
  if (!InplaceEditor || !data) return;
  TRDEditRDData& inner = InplaceEditor->EditData();
  const int itemNo = GetMyItemNo();
  auto flush = [&](std::unique_ptr<TRDUndoList>& innerList, TRDUndoList& outerList, bool redo) {
    if (innerList->Count() == 0) {
      outerList.DropEmptyLastStep();
      return;
    }
    if (!outerList.BeginStep(rdutModifyItem, "", itemNo, 0)) return;
    if (outerList.InGroupMode()) {
      // The steps join a step the document has begun (a drop moving a part out of or
      // into the cell): they are taken back and made again whole, with that step.
      auto record = std::make_unique<TRDUndoMultiCellsModify>();
      record->Kind = rdrkModifyItem;
      record->ItemNo = itemNo;
      record->AffectsWidth = record->AffectsSize = true;
      record->TakeCellSteps(InplaceEditor->Row(), InplaceEditor->Col(), *innerList);
      outerList.Add(std::move(record));
      return;
    }
    auto record = std::make_unique<TRDUndoCellModify>();
    record->Kind = rdrkModifyItem;
    record->ItemNo = itemNo;
    record->Row = InplaceEditor->Row();
    record->Col = InplaceEditor->Col();
    record->CaretItemNo = inner.GetCurrentItemNo();
    record->CaretOffs = inner.GetOffsetInCurrentItem();
    record->Flag = redo;
    record->UndoList = std::move(innerList);
    outerList.Add(std::move(record));
    // The editor records on into a list of its own.
    innerList = std::make_unique<TRDUndoList>(inner.GetAbsoluteRootData());
    innerList->SetLimit(data->UndoList->Limit());
  };
  flush(inner.UndoList, *data->UndoList, false);
  flush(inner.RedoList, *data->RedoList, true);
}

void TRDTableItemInfo::MergeEditorUndo(TCustomRDData*) {
  FlushEditorUndo(false);
}

void TRDTableItemInfo::EndCellEditing(bool forced) {
  TRDTableInplaceEdit* editor = InplaceEditor;
  if (!editor) return;
  editor->SetClosing();
  TRDEditRDData* data = EditData();
  const bool clearing = forced || !data || (data->State & rddsClearing);
  FlushEditorUndo(true);
  const int row = editor->Row(), col = editor->Col();
  TRDEditRDData& inner = editor->EditData();
  int startItem, startOffs, endItem, endOffs;
  inner.GetSelectionBounds(startItem, startOffs, endItem, endOffs, false);
  TRDTableCellData& cell = *Rows->Cell(row, col);
  cell.MoveItemsFrom(inner);
  if (cell.GetItemCount() == 0) cell.AddText("", 0, 0);
  cell.EditedHeight = -1;
  InplaceEditor = nullptr;
  HatchedCell = nullptr;
  if (data && data->ChosenItem == this) data->ChosenItem = nullptr;
  if (!clearing) {
    MarkChanged();
    data->FormatWhole();
    if (startItem >= 0 && startItem < cell.GetItemCount() && endItem < cell.GetItemCount())
      cell.SetSelectionBounds(startItem, startOffs, endItem, endOffs);
    // An editor that gave way to selected cells hands the caret to the document.
    PlaceCaretAfterCells();
    data->InvalidateControl();
    // The cell's links are the root document's again: with the root editor in charge,
    // its links are collected anew, in hyperlink mode.
    if (TCustomRichDocEdit* outer = data->Editor(); outer && IsInEditor()) {
      TCustomRichDocEdit& root = outer->RootEditor();
      if (root.Focused()) root.EditData().EnterHyperlinkMode(true);
    }
  }
  if (OnCellEndEdit) OnCellEndEdit(this, row, col, clearing);
}

void TRDTableItemInfo::DestroyInplaceEditor(bool storeContent) {
  TRDTableInplaceEdit* editor = InplaceEditor;
  if (!editor) return;
  // A table inside the cell puts its edited cell back first, so that the cell's content
  // and undo steps are whole when they leave this editor.
  editor->CloseInplaceEditor();
  if (storeContent) {
    EndCellEditing(false);
  } else {
    // What the editor held goes with it; the cell is left with an empty line.
    TRDTableCellData& cell = *Rows->Cell(editor->Row(), editor->Col());
    cell.EditedHeight = -1;
    cell.Clear();
    cell.AddText("", 0, 0);
    InplaceEditor = nullptr;
    HatchedCell = nullptr;
    if (TRDEditRDData* data = EditData(); data && data->ChosenItem == this)
      data->ChosenItem = nullptr;
  }
  TCustomRichDocEdit& outer = editor->Outer();
  TRDTableCellData* cell = Rows->Cell(editor->Row(), editor->Col());
  const bool focused = editor->Focused();
  // A drag still running shows its drop caret in no document rather than in the editor's.
  TRDDragDropCaretInfo* caret = outer.RootEditor().EditData().DragCaret.get();
  if (caret && (caret->RDData == &editor->EditData() || caret->HostData == &editor->EditData()))
    caret->RDData = caret->HostData = nullptr;
  delete editor;
  outer.ReleaseActiveSubData(cell);
  if (focused) outer.FocusIfPossible();
}

void TRDTableItemInfo::SaveEditorForReformat() {
  int row, col;
  if (!GetEditedCell(row, col)) return;
  // The layout waits rather than closing the editor under its own handling; the editor
  // and what it holds stay as they are.
  if (InplaceEditor->Busy())
    throw ERDTableInplaceError("Cannot destroy cell inplace editor at this time");
  EditorState.Valid = true;
  EditorState.Row = row;
  EditorState.Col = col;
  // The selection, or the caret where there is none, comes back when the editor does.
  InplaceEditor->GetSelectionRange(EditorState.StartItemNo, EditorState.StartOffs,
                                   EditorState.EndItemNo, EditorState.EndOffs, false);
  EditorState.VScrollPos = InplaceEditor->VScrollPos();
  DestroyInplaceEditor(true);
}

void TRDTableItemInfo::RestoreEditorAfterReformat() {
  if (!EditorState.Valid) return;
  EditorState.Valid = false;
  if (!OpenCellEditor(EditorState.Row, EditorState.Col, true, false, false, false, false)) return;
  TRDEditRDData& inner = InplaceEditor->EditData();
  const int count = inner.GetItemCount();
  if (EditorState.StartItemNo >= 0 && EditorState.StartItemNo < count &&
      EditorState.EndItemNo >= 0 && EditorState.EndItemNo < count) {
    inner.SetSelectionBounds(EditorState.StartItemNo, EditorState.StartOffs, EditorState.EndItemNo,
                             EditorState.EndOffs);
    inner.MoveCaretToSelectionEnd(false);
  }
  InplaceEditor->SetVScrollPos(EditorState.VScrollPos);
  InplaceEditor->Invalidate();
}

void TRDTableItemInfo::ResizeEditorAfterChange() {
  TRDEditRDData* data = EditData();
  if (!InplaceEditor || !data || (State & rdtsEditorResizing)) return;
  State |= rdtsEditorResizing;
  TRDEditRDData& inner = InplaceEditor->EditData();
  TRDTableCellData& cell = *Rows->Cell(InplaceEditor->Row(), InplaceEditor->Col());
  const int padding = cell_padding_;
  const int height = std::max(0, inner.DocumentHeight - 2 * padding);
  // Measured as the table's layout measures the cell.
  const int minWidth = cell.GetMinWidth(nullptr, data->GetCanvas());
  // The table is laid out again only when the edited content needs another size, and
  // the document around it only where the table is, unless the table's narrowest width
  // changes the document's: it grew past it, or it was what made it.
  if (height != cell.EditedHeight || minWidth != EditorMinWidth) {
    cell.EditedHeight = height;
    const int itemNo = GetMyItemNo();
    bool full = false;
    // An edit that leaves the columns as they are changes the height of its row at most:
    // that row and the rows below it move, and nothing else of the table is measured or
    // laid out again.
    const bool rowOnly =
        !(State & rdtsLayoutInvalid) &&
        KeepsColumnWidths(InplaceEditor->Row(), InplaceEditor->Col(), EditorMinWidth, minWidth) &&
        PlaceRowAgain(InplaceEditor->Row());
    if (rowOnly) {
      EditorMinWidth = minWidth;
    } else {
      // A key that widens (or narrows) its column: that column is measured again, the
      // others' widths are taken as they stand.
      MeasureColumnAgain(InplaceEditor->Row(), InplaceEditor->Col(), EditorMinWidth, minWidth,
                         data->GetCanvas());
      MarkChanged();
    }
    if (minWidth != EditorMinWidth) {
      EditorMinWidth = minWidth;
      const int tableMinWidth = data->GetLinesMinWidth(itemNo, itemNo);
      if (tableMinWidth != TableMinWidth) {
        full = tableMinWidth > data->MinDocumentWidth || data->MinDocumentWidth <= TableMinWidth;
        TableMinWidth = tableMinWidth;
      }
    }
    const int d = DrawItemNo;
    if (full || d < 0 || d >= data->DrawItems.Count()) {
      data->FormatWhole();
    } else {
      int first, last;
      data->ExpandDrawItemsToParas(d, d, first, last);
      // The new layout keeps selected cells selected.
      const int partial = std::exchange(data->PartialSelectedItem, -1);
      const bool kept = std::exchange(layout_kept_, rowOnly);
      data->FormatParas(first, last, 0);
      layout_kept_ = kept;
      data->PartialSelectedItem = partial;
    }
    PlaceEditor();
    // The caret was scrolled into view before the document took the table's new width
    // (typing past the right edge of a table wider than the window): again, now.
    if (full) InplaceEditor->EditData().ShowCaret(false, true, true, false);
    // A table in an edited cell changed that cell's content: the table around it is
    // measured again just as when the cell's own text changes.
    if (auto* host = dynamic_cast<TRDTableInplaceEdit*>(data->Editor()))
      host->Table().ResizeEditorAfterChange();
  }
  remeasured_column_ = -1;
  State &= TRDTableStates(~rdtsEditorResizing);
}

// --- moving between cells ---------------------------------------------------------------------

bool TRDTableItemInfo::GetCellTo(int row, int col, bool allowAddRow, bool quiet, int& newRow,
                                 int& newCol, int direction) {
  newRow = newCol = -1;
  const int rows = RowCount(), cols = ColCount();
  const TRDTableCellData* cell =
      row >= 0 && row < rows && col >= 0 && col < cols ? Rows->Cell(row, col) : nullptr;
  if (!cell) return false;
  int mr, mc;
  auto found = [&](const TRDTableCellData* c) {
    if (!c) return false;
    newRow = mr;
    newCol = mc;
    return true;
  };
  // The next (previous) slot holding a cell in reading order (rows may have been added).
  auto scan = [&](bool forward) {
    int r = row, c = col;
    for (;;) {
      c += forward ? 1 : -1;
      if (c >= cols) c = 0, ++r;
      if (c < 0) c = cols - 1, --r;
      if (r < 0 || r >= RowCount()) return false;
      if (Rows->Cell(r, c)) {
        newRow = r;
        newCol = c;
        return true;
      }
    }
  };
  bool ok = false;
  switch (direction) {
    case 0:
      ok = col > 0 ? found(Rows->GetMainCell(row, col - 1, mr, mc)) : scan(false);
      break;
    case 1:
      ok = row > 0 && found(Rows->GetMainCell(row - 1, col, mr, mc));
      break;
    case 2:
      ok = col + cell->ColSpan < cols ? found(Rows->GetMainCell(row, col + cell->ColSpan, mr, mc))
                                      : scan(true);
      break;
    case 3:
      ok = row + cell->RowSpan < rows && found(Rows->GetMainCell(row + cell->RowSpan, col, mr, mc));
      break;
    case kCellNext:
      ok = scan(true);
      if (!ok && allowAddRow && IsInEditor()) {
        InsertRows(rows, 1, rows - 1, false);
        ok = scan(true);
      }
      break;
    case kCellPrevious:
      ok = scan(false);
      break;
    default:
      return false;
  }
  if (!ok && !quiet)
    if (TCustomRDData* document = GetDocument()) document->Beep();
  return ok;
}

void TRDTableItemInfo::MoveFromCell(int row, int col, int code) {
  int editedRow, editedCol;
  TRDEditRDData* data = EditData();
  TCustomRichDocEdit* outer = data ? data->Editor() : nullptr;
  if (!outer || !GetEditedCell(editedRow, editedCol) || editedRow != row || editedCol != col)
    return;
  if (code == rddTop || code == rddBottom) {
    DestroyInplaceEditor(true);
    if (code == rddTop)
      data->MoveCaretToDocStart();
    else
      data->MoveCaretToDocEnd();
    outer->SetFocus();
    return;
  }
  int newRow, newCol;
  if (GetCellTo(row, col, code == kCellNext && TableTabAddsRows, code < kCellNext, newRow, newCol,
                code)) {
    const bool atEnd = code == rddLeft || code == rddUp || code == kCellPrevious;
    OpenCellEditor(newRow, newCol, false, false, atEnd, !atEnd, false);
    return;
  }
  const TRDTableCellData& cell = *Rows->Cell(row, col);
  const bool before = (code == rddLeft && col == 0) || (code == rddUp && row == 0);
  const bool after = (code == rddRight && col + cell.ColSpan >= ColCount()) ||
                     (code == rddDown && row + cell.RowSpan >= RowCount());
  if (!before && !after) return;
  const int itemNo = GetMyItemNo();
  DestroyInplaceEditor(true);
  data->PlaceCaretAtItem(itemNo, before ? 0 : 1, false);
  outer->SetFocus();
}
