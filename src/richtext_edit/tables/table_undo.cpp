#include "richtext_edit/tables/table_undo.h"

#include "platform/gui/graphics/bitmap.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

// --- cell edits -------------------------------------------------------------------------------

void TRDUndoCellModify::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = data.CheckItemClass<TRDTableItemInfo>(ItemNo);
  int row, col;
  if (!table.GetEditedCell(row, col) || row != Row || col != Col)
    table.OpenCellEditor(Row, Col, true, false, false, false, false);
  TCustomRichDocEdit* outer = data.Editor();
  if (!table.GetEditedCell(row, col) || row != Row || col != Col || !outer || !UndoList)
    throw ERichDocError("Undo error");
  TRDEditRDData& inner = table.InplaceEditor->EditData();
  (Flag ? inner.RedoList : inner.UndoList) = std::move(UndoList);
  if (CaretItemNo >= 0 && CaretItemNo < inner.GetItemCount())
    inner.PlaceCaretAtItem(CaretItemNo, CaretOffs, false);
  // The editor takes its step back once this undo has finished.
  outer->QueueCall([outer, redo = Flag] {
    if (TCustomRichDocEdit* editor = outer->InplaceEditor()) redo ? editor->Redo() : editor->Undo();
  });
}

// --- grid records -----------------------------------------------------------------------------

TRDTableItemInfo& TRDTableUndoInfo::Table(TRDEditRDData& data) const {
  return data.CheckItemClass<TRDTableItemInfo>(ItemNo);
}

void TRDUndoInsertTableRows::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  Turned<TRDUndoInsertTableRows>(data);
  if (Forward)
    table.Rows->InsertNewRows(Args.Index, Args.Count);
  else
    table.Rows->FreeRows(Args.Index, Args.Count);
  table.MarkChanged();
}

void TRDUndoInsertTableCell::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  Turned<TRDUndoInsertTableCell>(data);
  if (Forward)
    table.Rows->Items(Args.Row)->InsertPlainSlot(Args.Col);
  else
    table.Rows->Items(Args.Row)->DeleteSlot(Args.Col);
  table.MarkChanged();
}

void TRDUndoSpreadOverEmptyCells::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  Turned<TRDUndoSpreadOverEmptyCells>(data);
  if (Forward)
    table.Rows->SpreadCellOverSlots(Args.Row, Args.Col, Args.ColSpan);
  else
    table.Rows->UnspreadCell(Args.Row, Args.Col, Args.ColSpan);
  table.MarkChanged();
}

void TRDUndoSpan::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  TRDTableCellData& cell = *table.Cells(Row, Col);
  int& span = IsColSpan ? cell.ColSpan : cell.RowSpan;
  if (auto* opposite = Opposite<TRDUndoSpan>(data)) {
    opposite->IsColSpan = IsColSpan;
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->Value = span;
  }
  span = Value;
  table.MarkChanged();
}

void TRDUndoFreeEmptyCell::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  Turned<TRDUndoFreeEmptyCell>(data);
  if (Forward)
    table.Rows->FreeCells(Args.Row, Args.Col, Args.ColCount, Args.RowCount);
  else
    table.Rows->RecreateCells(Args.Row, Args.Col, Args.ColCount, Args.RowCount);
  table.MarkChanged();
}

void TRDUndoInsertEmptyCell::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  Turned<TRDUndoInsertEmptyCell>(data);
  if (Forward)
    table.Rows->InsertEmptySlots(Args.Row, Args.Col, Args.ColCount, Args.RowCount);
  else
    table.Rows->DeleteSlots(Args.Row, Args.Col, Args.ColCount, Args.RowCount);
  table.MarkChanged();
}

void TRDUndoCellSplit::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  const TRDSplitArgs& a = Args;
  TRDTableCellData& cell = *table.Cells(a.Row, a.Col);
  if (auto* opposite = Turned<TRDUndoCellSplit>(data))
    opposite->OldSize = a.Horizontal ? cell.BestHeight : cell.BestWidth;
  if (a.Horizontal) {
    if (Forward)
      table.Rows->SplitCellHorz(a.Row, a.Col, a.At, a.DecreaseSize);
    else
      table.Rows->UnsplitCellHorz(a.Row, a.Col, a.At, OldSize);
  } else {
    if (Forward)
      table.Rows->SplitCellVert(a.Row, a.Col, a.At, a.DecreaseSize);
    else
      table.Rows->UnsplitCellVert(a.Row, a.Col, a.At, OldSize);
  }
  table.MarkChanged();
}

void TRDUndoDeleteRows::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Turned<TRDUndoDeleteRows>(data);
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableRow>> removed =
        table.Rows->RemoveRows(Args.Index, Args.Count);
    for (auto& row : removed)
      for (int c = 0; c < row->Count(); ++c)
        if (TRDTableCellData* cell = row->Object(c)) cell->MovingToUndoList(opposite, &data);
    if (opposite) opposite->RowList = std::move(removed);
  } else {
    table.Rows->RestoreRows(Args.Index, RowList);
  }
  table.MarkChanged();
}

void TRDUndoDeleteCols::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Turned<TRDUndoDeleteCols>(data);
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableCellData>> removed =
        table.Rows->RemoveCols(Args.Index, Args.Count);
    for (auto& cell : removed)
      if (cell) cell->MovingToUndoList(opposite, &data);
    if (opposite) opposite->CellList = std::move(removed);
  } else {
    table.Rows->RestoreCols(Args.Index, CellList);
  }
  table.MarkChanged();
}

void TRDUndoCellsClear::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Turned<TRDUndoCellsClear>(data);
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableCellData>> old =
        table.Rows->TakeClearedCells(Args.RowList, Args.ColList);
    if (opposite) opposite->CellList = std::move(old);
  } else {
    table.Rows->RestoreClearedCells(Args.RowList, Args.ColList, CellList);
  }
  table.MarkChanged();
}

void TRDUndoMerge::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  const TRDMergeArgs& a = Args;
  auto* opposite = Turned<TRDUndoMerge>(data);
  if (Forward) {
    std::vector<TRDMergedCell> taken = table.Rows->DoMergeCells(
        a.TopRow, a.LeftCol, a.ColCount, a.RowCount, true, opposite != nullptr);
    if (opposite) opposite->MergeItems = std::move(taken);
  } else {
    table.Rows->UndoMergeCells(a.TopRow, a.LeftCol, a.OldColSpan, a.OldRowSpan, MergeItems,
                               a.OldBestWidth);
  }
  table.MarkChanged();
}

// --- property records -------------------------------------------------------------------------

TRDNamedProperties* CellForUndo(TRDEditRDData& data, int itemNo, int row, int col) {
  TRDTableItemInfo& table = data.CheckItemClass<TRDTableItemInfo>(itemNo);
  table.MarkChanged();
  return table.Cells(row, col);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyCellIntProperties::Create() {
  return std::make_unique<TRDUndoModifyCellIntProperties>();
}

void TRDUndoModifyCellIntProperties::Undo(TRDEditRDData& data) {
  SubObject = CellForUndo(data, ItemNo, Row, Col);
  // The opposite record is the last one the list receives.
  TRDUndoList* list = data.GetUndoListForRecording();
  const int before = list && list->LastStep() ? list->LastStep()->Count() : -1;
  TRDUndoModifyItemIntProperties::Undo(data);
  if (list && list->LastStep() && list->LastStep()->Count() > before)
    if (auto* opposite =
            dynamic_cast<TRDUndoModifyCellIntProperties*>(list->LastStep()->Records.back().get())) {
      opposite->Row = Row;
      opposite->Col = Col;
    }
}

void TRDUndoModifyVisibleBorders::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  table.SetCellVisibleBorders(ItemNo, Row, Col, Left, Top, Right, Bottom);
}

TRDUndoModifyBackgroundImage::~TRDUndoModifyBackgroundImage() = default;

void TRDUndoModifyBackgroundImage::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  table.SetCellBackgroundImageOwned(ItemNo, Row, Col, std::move(Image));
}

// --- the recorder -----------------------------------------------------------------------------

template <class T>
T* TRDTableUndoRecorder::Add(bool affectsWidth, bool affectsSize) {
  return AddTableUndoInfo<T>(data_, table_.GetMyItemNo(), affectsWidth, affectsSize);
}

void TRDTableUndoRecorder::BeginOperation() {
  data_.BeginUndoStep(rdutModifyItem, true);
  data_.AddModifyItemTerminator(table_.GetMyItemNo(), true);
}

void TRDTableUndoRecorder::EndOperation() {
  data_.AddModifyItemTerminator(table_.GetMyItemNo(), false);
}

void TRDTableUndoRecorder::NewRowsInserted(int index, int count) {
  if (auto* r = Add<TRDUndoInsertTableRows>()) r->Args = {index, count};
}

void TRDTableUndoRecorder::NewCellInserted(int row, int col) {
  if (auto* r = Add<TRDUndoInsertTableCell>()) r->Args = {row, col};
}

void TRDTableUndoRecorder::CellSpread(int row, int col, int colSpan) {
  if (auto* r = Add<TRDUndoSpreadOverEmptyCells>()) r->Args = {row, col, colSpan};
}

void TRDTableUndoRecorder::SpanChanged(bool isColSpan, int row, int col, int oldValue) {
  if (auto* r = Add<TRDUndoSpan>())
    r->IsColSpan = isColSpan, r->Row = row, r->Col = col, r->Value = oldValue;
}

void TRDTableUndoRecorder::EmptyCellsFreed(int row, int col, int colCount, int rowCount) {
  if (auto* r = Add<TRDUndoFreeEmptyCell>()) r->Args = {row, col, colCount, rowCount};
}

void TRDTableUndoRecorder::EmptySlotsInserted(int row, int col, int colCount, int rowCount) {
  if (auto* r = Add<TRDUndoInsertEmptyCell>()) r->Args = {row, col, colCount, rowCount};
}

void TRDTableUndoRecorder::CellSplit(bool horizontal, int row, int col, int at, bool decreaseSize,
                                     int oldSize) {
  if (auto* r = Add<TRDUndoCellSplit>(!horizontal, true)) {
    r->Args = {horizontal, decreaseSize, row, col, at};
    r->OldSize = oldSize;
  }
}

void TRDTableUndoRecorder::RowsDeleted(int index, std::vector<std::unique_ptr<TRDTableRow>> rows) {
  if (auto* r = Add<TRDUndoDeleteRows>()) {
    r->Args = {index, int(rows.size())};
    r->RowList = std::move(rows);
  }
}

void TRDTableUndoRecorder::ColsDeleted(int index, int count,
                                       std::vector<std::unique_ptr<TRDTableCellData>> cells) {
  if (auto* r = Add<TRDUndoDeleteCols>()) {
    r->Args = {index, count};
    r->CellList = std::move(cells);
  }
}

void TRDTableUndoRecorder::CellsMerged(int topRow, int leftCol, int oldColSpan, int oldRowSpan,
                                       int colCount, int rowCount, int oldBestWidth,
                                       std::vector<TRDMergedCell> cells) {
  if (auto* r = Add<TRDUndoMerge>()) {
    r->Args = {topRow, leftCol, oldColSpan, oldRowSpan, colCount, rowCount, oldBestWidth};
    r->MergeItems = std::move(cells);
  }
}

void TRDTableUndoRecorder::CellsCleared(const TRDIntegerList& rows, const TRDIntegerList& cols,
                                        std::vector<std::unique_ptr<TRDTableCellData>> cells) {
  if (auto* r = Add<TRDUndoCellsClear>()) {
    r->Args = {rows, cols};
    r->CellList = std::move(cells);
  }
}
