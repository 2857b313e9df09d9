#include "richtext_edit/tables/table_undo.h"

#include "platform/gui/bitmap.h"
#include "richtext_edit/tables/table_item.h"

// --- grid records -----------------------------------------------------------------------------

TRDTableItemInfo& TRDTableUndoInfo::Table(TRDEditRDData& data) const {
  return data.CheckItemClass<TRDTableItemInfo>(ItemNo);
}

void TRDUndoInsertTableRows::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  if (auto* opposite = Opposite<TRDUndoInsertTableRows>(data)) {
    opposite->Index = Index;
    opposite->Count = Count;
    opposite->Forward = !Forward;
  }
  if (Forward)
    table.Rows->InsertNewRows(Index, Count);
  else
    table.Rows->FreeRows(Index, Count);
  table.MarkChanged();
}

void TRDUndoInsertTableCell::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  if (auto* opposite = Opposite<TRDUndoInsertTableCell>(data)) {
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->Forward = !Forward;
  }
  if (Forward)
    table.Rows->Items(Row)->InsertCell(Col);
  else
    table.Rows->Items(Row)->DeleteSlot(Col);
  table.MarkChanged();
}

void TRDUndoSpreadOverEmptyCells::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  if (auto* opposite = Opposite<TRDUndoSpreadOverEmptyCells>(data)) {
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->ColSpan = ColSpan;
    opposite->Forward = !Forward;
  }
  if (Forward)
    table.Rows->SpreadCellOverSlots(Row, Col, ColSpan);
  else
    table.Rows->UnspreadCell(Row, Col, ColSpan);
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
  if (auto* opposite = Opposite<TRDUndoFreeEmptyCell>(data)) {
    opposite->Forward = !Forward;
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->ColCount = ColCount;
    opposite->RowCount = RowCount;
  }
  if (Forward)
    table.Rows->FreeCells(Row, Col, ColCount, RowCount);
  else
    table.Rows->RecreateCells(Row, Col, ColCount, RowCount);
  table.MarkChanged();
}

void TRDUndoInsertEmptyCell::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  if (auto* opposite = Opposite<TRDUndoInsertEmptyCell>(data)) {
    opposite->Forward = !Forward;
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->ColCount = ColCount;
    opposite->RowCount = RowCount;
  }
  if (Forward)
    table.Rows->InsertEmptySlots(Row, Col, ColCount, RowCount);
  else
    table.Rows->DeleteSlots(Row, Col, ColCount, RowCount);
  table.MarkChanged();
}

void TRDUndoCellSplit::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  TRDTableCellData& cell = *table.Cells(Row, Col);
  if (auto* opposite = Opposite<TRDUndoCellSplit>(data)) {
    opposite->Horizontal = Horizontal;
    opposite->Forward = !Forward;
    opposite->DecreaseSize = DecreaseSize;
    opposite->Row = Row;
    opposite->Col = Col;
    opposite->At = At;
    opposite->OldSize = Horizontal ? cell.BestHeight : cell.BestWidth;
  }
  if (Horizontal) {
    if (Forward)
      table.Rows->SplitCellHorz(Row, Col, At, DecreaseSize);
    else
      table.Rows->UnsplitCellHorz(Row, Col, At, OldSize);
  } else {
    if (Forward)
      table.Rows->SplitCellVert(Row, Col, At, DecreaseSize);
    else
      table.Rows->UnsplitCellVert(Row, Col, At, OldSize);
  }
  table.MarkChanged();
}

void TRDUndoDeleteRows::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Opposite<TRDUndoDeleteRows>(data);
  if (opposite) {
    opposite->Forward = !Forward;
    opposite->Index = Index;
    opposite->Count = Count;
  }
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableRow>> removed = table.Rows->RemoveRows(Index, Count);
    for (auto& row : removed)
      for (int c = 0; c < row->Count(); ++c)
        if (TRDTableCellData* cell = row->Items(c)) cell->MovingToUndoList(opposite, &data);
    if (opposite) opposite->RowList = std::move(removed);
  } else {
    table.Rows->RestoreRows(Index, RowList);
  }
  table.MarkChanged();
}

void TRDUndoDeleteCols::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Opposite<TRDUndoDeleteCols>(data);
  if (opposite) {
    opposite->Forward = !Forward;
    opposite->Index = Index;
    opposite->Count = Count;
  }
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableCellData>> removed = table.Rows->RemoveCols(Index, Count);
    for (auto& cell : removed)
      if (cell) cell->MovingToUndoList(opposite, &data);
    if (opposite) opposite->CellList = std::move(removed);
  } else {
    table.Rows->RestoreCols(Index, CellList);
  }
  table.MarkChanged();
}

void TRDUndoCellsClear::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Opposite<TRDUndoCellsClear>(data);
  if (opposite) {
    opposite->Forward = !Forward;
    opposite->RowList = RowList;
    opposite->ColList = ColList;
  }
  if (Forward) {
    std::vector<std::unique_ptr<TRDTableCellData>> old =
        table.Rows->TakeClearedCells(RowList, ColList);
    if (opposite) opposite->CellList = std::move(old);
  } else {
    table.Rows->RestoreClearedCells(RowList, ColList, CellList);
  }
  table.MarkChanged();
}

void TRDUndoMerge::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  auto* opposite = Opposite<TRDUndoMerge>(data);
  if (opposite) {
    opposite->Forward = !Forward;
    opposite->TopRow = TopRow;
    opposite->LeftCol = LeftCol;
    opposite->OldColSpan = OldColSpan;
    opposite->OldRowSpan = OldRowSpan;
    opposite->ColCount = ColCount;
    opposite->RowCount = RowCount;
    opposite->OldBestWidth = OldBestWidth;
  }
  if (Forward) {
    std::vector<TRDMergedCell> taken =
        table.Rows->DoMergeCells(TopRow, LeftCol, ColCount, RowCount, true, opposite != nullptr);
    if (opposite) opposite->MergeItems = std::move(taken);
  } else {
    table.Rows->UndoMergeCells(TopRow, LeftCol, OldColSpan, OldRowSpan, MergeItems, OldBestWidth);
  }
  table.MarkChanged();
}

// --- property records -------------------------------------------------------------------------

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyCellIntProperty::Create() {
  return std::make_unique<TRDUndoModifyCellIntProperty>();
}

void TRDUndoModifyCellIntProperty::CompleteOpposite(TRDUndoModifyItemProps& opposite) const {
  auto& cell = static_cast<TRDUndoModifyCellIntProperty&>(opposite);
  cell.Row = Row;
  cell.Col = Col;
}

void TRDUndoModifyCellIntProperty::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = data.CheckItemClass<TRDTableItemInfo>(ItemNo);
  SubObject = table.Cells(Row, Col);
  table.MarkChanged();
  TRDUndoModifyItemIntProperty::Undo(data);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyCellStrProperty::Create() {
  return std::make_unique<TRDUndoModifyCellStrProperty>();
}

void TRDUndoModifyCellStrProperty::CompleteOpposite(TRDUndoModifyItemProps& opposite) const {
  auto& cell = static_cast<TRDUndoModifyCellStrProperty&>(opposite);
  cell.Row = Row;
  cell.Col = Col;
}

void TRDUndoModifyCellStrProperty::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = data.CheckItemClass<TRDTableItemInfo>(ItemNo);
  SubObject = table.Cells(Row, Col);
  table.MarkChanged();
  TRDUndoModifyItemStrProperty::Undo(data);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyCellIntProperties::Create() {
  return std::make_unique<TRDUndoModifyCellIntProperties>();
}

void TRDUndoModifyCellIntProperties::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = data.CheckItemClass<TRDTableItemInfo>(ItemNo);
  SubObject = table.Cells(Row, Col);
  table.MarkChanged();
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
  if (auto* r = Add<TRDUndoInsertTableRows>())
    r->Index = index, r->Count = count, r->Forward = false;
}

void TRDTableUndoRecorder::NewCellInserted(int row, int col) {
  if (auto* r = Add<TRDUndoInsertTableCell>()) r->Row = row, r->Col = col, r->Forward = false;
}

void TRDTableUndoRecorder::CellSpread(int row, int col, int colSpan) {
  if (auto* r = Add<TRDUndoSpreadOverEmptyCells>())
    r->Row = row, r->Col = col, r->ColSpan = colSpan, r->Forward = false;
}

void TRDTableUndoRecorder::SpanChanged(bool isColSpan, int row, int col, int oldValue) {
  if (auto* r = Add<TRDUndoSpan>())
    r->IsColSpan = isColSpan, r->Row = row, r->Col = col, r->Value = oldValue;
}

void TRDTableUndoRecorder::EmptyCellsFreed(int row, int col, int colCount, int rowCount) {
  if (auto* r = Add<TRDUndoFreeEmptyCell>())
    r->Forward = false, r->Row = row, r->Col = col, r->ColCount = colCount, r->RowCount = rowCount;
}

void TRDTableUndoRecorder::EmptySlotsInserted(int row, int col, int colCount, int rowCount) {
  if (auto* r = Add<TRDUndoInsertEmptyCell>())
    r->Forward = false, r->Row = row, r->Col = col, r->ColCount = colCount, r->RowCount = rowCount;
}

void TRDTableUndoRecorder::CellSplit(bool horizontal, int row, int col, int at, bool decreaseSize,
                                     int oldSize) {
  if (auto* r = Add<TRDUndoCellSplit>(!horizontal, true)) {
    r->Horizontal = horizontal;
    r->Forward = false;
    r->DecreaseSize = decreaseSize;
    r->Row = row;
    r->Col = col;
    r->At = at;
    r->OldSize = oldSize;
  }
}

void TRDTableUndoRecorder::RowsDeleted(int index, std::vector<std::unique_ptr<TRDTableRow>> rows) {
  if (auto* r = Add<TRDUndoDeleteRows>()) {
    r->Forward = false;
    r->Index = index;
    r->Count = int(rows.size());
    r->RowList = std::move(rows);
  }
}

void TRDTableUndoRecorder::ColsDeleted(int index, int count,
                                       std::vector<std::unique_ptr<TRDTableCellData>> cells) {
  if (auto* r = Add<TRDUndoDeleteCols>()) {
    r->Forward = false;
    r->Index = index;
    r->Count = count;
    r->CellList = std::move(cells);
  }
}

void TRDTableUndoRecorder::CellsMerged(int topRow, int leftCol, int oldColSpan, int oldRowSpan,
                                       int colCount, int rowCount, int oldBestWidth,
                                       std::vector<TRDMergedCell> cells) {
  if (auto* r = Add<TRDUndoMerge>()) {
    r->Forward = false;
    r->TopRow = topRow;
    r->LeftCol = leftCol;
    r->OldColSpan = oldColSpan;
    r->OldRowSpan = oldRowSpan;
    r->ColCount = colCount;
    r->RowCount = rowCount;
    r->OldBestWidth = oldBestWidth;
    r->MergeItems = std::move(cells);
  }
}

void TRDTableUndoRecorder::CellsCleared(const TRDIntegerList& rows, const TRDIntegerList& cols,
                                        std::vector<std::unique_ptr<TRDTableCellData>> cells) {
  if (auto* r = Add<TRDUndoCellsClear>()) {
    r->Forward = false;
    r->RowList = rows;
    r->ColList = cols;
    r->CellList = std::move(cells);
  }
}
