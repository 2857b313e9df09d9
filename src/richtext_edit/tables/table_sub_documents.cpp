// The table's cells as documents inside the document around the table: opening or
// choosing one from anywhere (a table inside a cell opens its outer cell first), walking
// them and their words in reading order, finding the one under a point or holding an
// item, their links numbered on from the document's, and their items going to the undo
// list with the table.
#include <climits>

#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/model/control_item.h"
#include "richtext/view/live_spelling.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

bool TRDTableItemInfo::GetCellPosition(const TRDTableCellData& cell, int& row, int& col) const {
  for (row = 0; row < RowCount(); ++row)
    for (col = 0; col < ColCount(); ++col)
      if (Rows->Object(row, col) == &cell) return true;
  row = col = -1;
  return false;
}

void TRDTableItemInfo::EditCell(int row, int col, bool automatic) {
  TCustomRDData* document = GetDocument();
  if (!document) return;
  // Outside an editor the cell becomes the document's active part instead.
  if (!dynamic_cast<TRDEditRDData*>(document->GetAbsoluteRootData())) {
    ChooseCell(row, col);
    return;
  }
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
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell) continue;
      // The edited cell's links are the editor's.
      TCustomRDFormattedData* holder = cell;
      if (InplaceEditor && InplaceEditor->Row() == r && InplaceEditor->Col() == c)
        holder = &InplaceEditor->EditData();
      holder->FirstJumpNo = jumpNo;
      jumpNo += holder->JumpCount;
    }
}

// --- the cells one after another --------------------------------------------------------

namespace {

// The last slot at or before (row, col) in reading order that holds a cell.
bool LastCellFrom(const TRDTableRows& rows, int& row, int& col) {
  const int cols = rows.GetColCount();
  for (int index = row * cols + col; index >= 0; --index)
    if (rows.Peek(index / cols, index % cols)) {
      row = index / cols;
      col = index % cols;
      return true;
    }
  return false;
}

}  // namespace

TCustomRDData* TRDTableItemInfo::GetSubDocument(std::unique_ptr<TRDStoreSubRDData>& position,
                                                int kind) {
  if (Rows->IsEmpty()) return nullptr;
  int row = -1, col = -1, top, left, cols, rows;
  bool found = false;
  switch (kind) {
    case 0:
      found = Rows->GetMainCell(0, 0, row, col) != nullptr;
      break;
    case 1:
      row = RowCount() - 1;
      col = ColCount() - 1;
      found = LastCellFrom(*Rows, row, col);
      break;
    case 2:
    case 3:
      if (GetNormalizedSelectionBounds(false, top, left, cols, rows))
        found = kind == 3 ? Rows->GetMainCell(top, left, row, col) != nullptr
                          : Rows->GetMainCell(top + rows - 1, left + cols - 1, row, col) != nullptr;
      else if (ChosenRow >= 0 && ChosenCol >= 0 && ChosenRow < RowCount() && ChosenCol < ColCount())
        found = Rows->GetMainCell(ChosenRow, ChosenCol, row, col) != nullptr;
      break;
    case 4:
    case 5:
      found = position && GetCellTo(position->GetRow(), position->GetCol(), false, true, row, col,
                                    kind == 4 ? kCellNext : kCellPrevious);
      break;
    default:
      break;
  }
  if (!found) return nullptr;
  position = std::make_unique<TRDTableStoreSubRDData>(row, col);
  return Rows->Cell(row, col);
}

// --- the chosen cell --------------------------------------------------------------------

void TRDTableItemInfo::ChooseCell(int row, int col) {
  auto* document = dynamic_cast<TCustomRDFormattedData*>(GetDocument());
  int mr, mc;
  TRDTableCellData* cell = document && row >= 0 && col >= 0 && row < RowCount() && col < ColCount()
                               ? Rows->GetMainCell(row, col, mr, mc)
                               : nullptr;
  if (!cell) return;
  int startItem, startOffs, endItem, endOffs;
  cell->GetSelectionBounds(startItem, startOffs, endItem, endOffs, false);
  if (IsInEditor()) {
    // In an editor the chosen cell is the edited one, with the selection it had.
    if (!OpenCellEditor(mr, mc, true, false, false, false, false)) return;
    TRDEditRDData& inner = InplaceEditor->EditData();
    if (startItem >= 0 && endItem >= 0 && startItem < inner.GetItemCount() &&
        endItem < inner.GetItemCount())
      inner.SetSelectionBounds(startItem, startOffs, endItem, endOffs);
    return;
  }
  // The document's own selection gives way to the one inside the cell.
  document->Deselect(false);
  document->PartialSelectedItem = GetMyItemNo();
  ChosenRow = mr;
  ChosenCol = mc;
  document->InvalidateControl();
}

bool TRDTableItemInfo::ChooseSubDoc(TCustomRDData& subDoc) {
  auto* cell = dynamic_cast<TRDTableCellData*>(&subDoc);
  int row, col;
  if (!cell || !GetCellPosition(*cell, row, col)) return false;
  ChooseCell(row, col);
  return ChosenRow == row && ChosenCol == col;
}

bool TRDTableItemInfo::IsSubDocSelected(int index) const {
  const int cols = ColCount();
  if (cols == 0 || index < 0 || index >= GetSubDocCount() || !(State & rdtsCellsSelected))
    return false;
  return CellInSelection(index / cols, index % cols);
}

bool TRDTableItemInfo::CellInSelection(int row, int col) const {
  if (Rows->IsPlain(row, col)) return (State & rdtsCellsSelected) && IsCellSelected(row, col);
  const TRDTableCellData* cell = Rows->Object(row, col);
  return cell && cell->InSelection;
}

void TRDTableItemInfo::UnchooseCell() {
  int row, col;
  if (GetEditedCell(row, col))
    DestroyInplaceEditor(true);
  else if (ChosenRow >= 0 && ChosenCol >= 0 && ChosenRow < RowCount() && ChosenCol < ColCount())
    if (TRDTableCellData* cell = Rows->Cell(ChosenRow, ChosenCol)) cell->Deselect(true);
  ChosenRow = ChosenCol = -1;
}

// --- words ------------------------------------------------------------------------------

namespace {

// The words of a cell's text item, in the cell's delimiters.
std::vector<TRDWordRange> ItemWords(const TRDTableCellData& cell, int itemNo) {
  const TCustomRDItemInfo& item = *cell.GetItem(itemNo);
  if (item.StyleNo < 0) return {};
  const std::string& raw = cell.GetItemTextRaw(itemNo);
  const std::u16string text = IsUnicodeItem(item.ItemOptions)
                                  ? RawUnicodeToWideString(raw)
                                  : RawUnicodeToWideString(AnsiToRawUnicode(
                                        cell.GetStyleCodePage(cell.GetActualStyle(item)), raw));
  std::vector<bool> delimiters(256);
  for (int c = 0; c < 256; ++c) delimiters[size_t(c)] = cell.IsDelimiter(char16_t(c));
  return RDFindWords(text, delimiters);
}

}  // namespace

bool TRDTableItemInfo::GetNextWord(bool forward, TRDTableWord& word) {
  if (Rows->IsEmpty()) return false;
  if (IterRow < 0 || IterCol < 0 || IterRow >= RowCount() || IterCol >= ColCount() ||
      !Rows->Peek(IterRow, IterCol)) {
    std::unique_ptr<TRDStoreSubRDData> start;
    if (!GetSubDocument(start, forward ? 0 : 1)) return false;
    IterRow = start->GetRow();
    IterCol = start->GetCol();
    iter_item_ = -1;
  }
  for (;;) {
    // A plain cell (read through the stand-in) holds no word.
    TRDTableCellData& cell = *Rows->Peek(IterRow, IterCol);
    const int count = cell.GetItemCount();
    if (iter_item_ < 0) {
      // A new cell: from its first (last) item on.
      iter_item_ = forward ? 0 : count - 1;
      iter_offs_ = forward ? 0 : INT_MAX;
    }
    for (; iter_item_ >= 0 && iter_item_ < count; iter_item_ += forward ? 1 : -1) {
      const std::vector<TRDWordRange> words = ItemWords(cell, iter_item_);
      const TRDWordRange* found = nullptr;
      if (forward) {
        for (const TRDWordRange& w : words)
          if (w.Start > iter_offs_) {
            found = &w;
            break;
          }
      } else {
        for (auto w = words.rbegin(); w != words.rend(); ++w)
          if (w->Start < iter_offs_) {
            found = &*w;
            break;
          }
      }
      if (found) {
        word = {&cell, iter_item_, found->Start, found->Length};
        iter_offs_ = found->Start;
        return true;
      }
      iter_offs_ = forward ? 0 : INT_MAX;
    }
    int nextRow, nextCol;
    if (!GetCellTo(IterRow, IterCol, false, true, nextRow, nextCol,
                   forward ? kCellNext : kCellPrevious)) {
      StopWordIteration();
      return false;
    }
    IterRow = nextRow;
    IterCol = nextCol;
    iter_item_ = -1;
  }
}

void TRDTableItemInfo::StopWordIteration() {
  IterRow = IterCol = -1;
  iter_item_ = -1;
  iter_offs_ = 0;
}

// --- queries ----------------------------------------------------------------------------

namespace {

// Where the cell's items are: in the cell, or in its editor while it is edited.
const TCustomRDData* ContentOf(const TRDTableItemInfo& table, int row, int col) {
  const TRDTableInplaceEdit* editor = table.InplaceEditor;
  if (editor && editor->Row() == row && editor->Col() == col) return &editor->EditData();
  return table.Rows->Peek(row, col);
}

// Whether data holds item, among its own items or inside a table among them (whose
// number is given).
bool Holds(const TCustomRDData& data, const TCustomRDItemInfo* item, int& itemNo) {
  for (itemNo = 0; itemNo < data.GetItemCount(); ++itemNo) {
    const TCustomRDItemInfo* own = data.GetItem(itemNo);
    if (own == item) return true;
    int row, col, inner;
    if (auto* table = dynamic_cast<const TRDTableItemInfo*>(own);
        table && table->FindCellOfData(item, row, col, inner))
      return true;
  }
  itemNo = -1;
  return false;
}

bool HoldsControl(const TCustomRDData& data, const TControl* control) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* own = data.GetItem(i);
    if (auto* item = dynamic_cast<const TRDControlItemInfo*>(own);
        item && item->OwnsControl(control))
      return true;
    if (auto* table = dynamic_cast<const TRDTableItemInfo*>(own);
        table && table->OwnsControl(control))
      return true;
  }
  return false;
}

}  // namespace

bool TRDTableItemInfo::FindCellOfData(const TCustomRDItemInfo* item, int& row, int& col,
                                      int& itemNo) const {
  for (row = 0; row < RowCount(); ++row)
    for (col = 0; col < ColCount(); ++col)
      if (const TCustomRDData* data = ContentOf(*this, row, col);
          data && Holds(*data, item, itemNo))
        return true;
  row = col = itemNo = -1;
  return false;
}

bool TRDTableItemInfo::OwnsControl(const TControl* control) const {
  if (!control) return false;
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c)
      if (const TCustomRDData* data = ContentOf(*this, r, c); data && HoldsControl(*data, control))
        return true;
  return false;
}

bool TRDTableItemInfo::IsInplaceEditorControl(const TControl* control) const {
  return control && control == InplaceEditor;
}

int TRDTableItemInfo::GetRowTop(int index) const {
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  return index >= 0 && index < info.RowStarts.Count() ? info.RowStarts[index] : info.Height;
}

// --- the table going to the undo list and back -----------------------------------------

void TRDTableItemInfo::MovingToUndoList(int itemNo, TCustomRDData* rdData) {
  // What the cell editor holds goes back into its cell first, so that undo brings the
  // table back whole.
  DestroyInplaceEditor(true);
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c))
        for (int i = 0; i < cell->GetItemCount(); ++i) cell->GetItem(i)->MovingToUndoList(i, cell);
  TRDFullLineItemInfo::MovingToUndoList(itemNo, rdData);
  DetachFromDocument();
}

void TRDTableItemInfo::MovingFromUndoList(int itemNo, TCustomRDData* rdData) {
  TRDFullLineItemInfo::MovingFromUndoList(itemNo, rdData);
  // Back in a document (a cell's, for a table in a row or column that undo restores):
  // its cells reach the style sheet and record their undo through it again.
  AttachToDocument(rdData);
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c))
        for (int i = 0; i < cell->GetItemCount(); ++i)
          cell->GetItem(i)->MovingFromUndoList(i, cell);
}
