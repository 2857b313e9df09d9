// A style operation of the editor applied to the cells of a table (all of them, or the
// selected ones), each cell's content run through a hidden editor, and undone cell by
// cell through the same editor.
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_temporal_editor.h"
#include "richtext_edit/tables/table_undo.h"

namespace {

class TChangeNotificationLock {
 public:
  explicit TChangeNotificationLock(TCustomRichDocEdit& editor) : editor_(editor) {
    editor_.LockChangeNotification();
  }
  ~TChangeNotificationLock() { editor_.UnlockChangeNotification(); }

 private:
  TCustomRichDocEdit& editor_;
};

// The handler the editor that holds the table runs its conversion with: its own while
// it applies one (a cell editor holding a nested table has it, not the root editor).
void TakeConversionHandler(TRDTableTemporalEditor& temp, TCustomRichDocEdit& main) {
  temp.StyleConversionHandler = main.StyleConversionHandler
                                    ? main.StyleConversionHandler
                                    : main.RootEditor().StyleConversionHandler;
}

// Runs operation on the whole content of the hidden editor (see ApplyToCells).
void RunOperation(TRDTableTemporalEditor& temp, TCustomRichDocEdit& main, int operation,
                  int param) {
  TRDEditRDData& data = temp.EditData();
  switch (operation) {
    case 0:
      temp.StyleConversionHandler = [param](TCustomRichDocEdit*, int, int, int, bool,
                                            int& newStyleNo, bool) { newStyleNo = param; };
      data.ApplyTextStyleConversion(param, operation, false);
      break;
    case 2:
      TakeConversionHandler(temp, main);
      data.CurTextStyleNo = main.CurTextStyleNo();
      data.ApplyTextStyleConversion(param, operation, false);
      break;
    case 1:
    case 3:
      if (operation == 3) {
        TakeConversionHandler(temp, main);
        data.CurParaStyleNo = main.CurParaStyleNo();
      }
      data.BeginUndoStep(rdutPara, true);
      data.ApplyParaStyleConversion(param, operation == 3);
      break;
    case 4:
      temp.ApplyTextStyleTemplate(param, false);
      break;
    case 5:
      temp.ApplyParaStyleTemplate(param);
      break;
    default:
      break;
  }
}

// The cell's content into the hidden editor, laid out and selected whole.
void LoadCell(TRDTableTemporalEditor& temp, TRDTableCellData& cell) {
  TRDEditRDData& data = temp.EditData();
  data.Clear();
  data.MoveItemsFrom(cell);
  temp.FormatDocument();
  data.SelectAll();
}

void StoreCell(TRDTableTemporalEditor& temp, TRDTableCellData& cell) {
  cell.MoveItemsFrom(temp.EditData());
  if (cell.GetItemCount() == 0) cell.AddText("", 0, 0);
}

}  // namespace

void TRDUndoMultiCellsModify::TakeCellSteps(int row, int col, TRDUndoList& list) {
  const size_t at = Steps.size();
  int count = 0;
  while (std::unique_ptr<TRDUndoInfos> step = list.ExtractLastStep()) {
    Steps.insert(Steps.begin() + long(at), std::move(step));
    ++count;
  }
  RowList.AddValue(row);
  ColList.AddValue(col);
  StepCounts.AddValue(count);
}

void TRDTableItemInfo::ApplyToCells(int operation, int param, bool selectedOnly) {
  if (!(Options & rdtoEditing)) return;
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  TCustomRichDocEdit* main = data ? data->Editor() : nullptr;
  if (!main) return;
  if (selectedOnly && (!(State & rdtsCellsSelected) || !main->BeforeChange(true))) return;
  DestroyInplaceEditor(true);
  if (selectedOnly) {
    const bool paragraphs = operation == 1 || operation == 3 || operation == 5;
    data->BeginUndoStep(paragraphs ? rdutPara : rdutStyleNo, true);
    data->SetUndoGroupMode(true);
  }
  TRDTableTemporalEditor temp(*main);
  // The operation asks permission and reports the change once, not once a cell.
  TChangeNotificationLock lock(*main);
  auto* record = AddTableUndoInfo<TRDUndoMultiCellsModify>(*data, GetMyItemNo(), true, true);
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c) {
      TRDTableCellData* cell = Rows->Cell(r, c);
      if (!cell || (selectedOnly && !IsCellSelected(r, c)) || !CanEditCell(r, c, true)) continue;
      LoadCell(temp, *cell);
      RunOperation(temp, *main, operation, param);
      if (record) record->TakeCellSteps(r, c, *temp.EditData().UndoList);
      temp.EditData().UndoList->Clear();
      StoreCell(temp, *cell);
      MarkChanged();
    }
  // New paragraph styles: the item's words are checked again.
  if (operation == 1 || operation == 3 || operation == 5) RecheckSpelling();
  if (selectedOnly) {
    data->SetUndoGroupMode(false);
    data->UndoList->DropEmptyLastStep();
    ReformatAfterChange();
  }
}

void TRDUndoMultiCellsModify::Undo(TRDEditRDData& data) {
  TRDTableItemInfo& table = Table(data);
  TCustomRichDocEdit* main = data.Editor();
  if (!main) throw ERichDocError("Undo error");
  auto* opposite = Opposite<TRDUndoMultiCellsModify>(data);
  TRDTableTemporalEditor temp(*main);
  TRDEditRDData& inner = temp.EditData();
  size_t taken = 0;
  for (int k = 0; k < RowList.Count(); ++k) {
    TRDTableCellData& cell = *table.Cells(RowList[k], ColList[k]);
    LoadCell(temp, cell);
    inner.Deselect(false);
    // The steps went in oldest first; what undoing them records is collected for redo,
    // which runs the same way.
    for (int i = 0; i < StepCounts[k] && taken < Steps.size(); ++i)
      inner.UndoList->AddStep(std::move(Steps[taken++]));
    while (inner.UndoList->Count() > 0) inner.UndoList->Undo(inner);
    if (opposite) opposite->TakeCellSteps(RowList[k], ColList[k], *inner.RedoList);
    inner.RedoList->Clear();
    StoreCell(temp, cell);
  }
  Steps.clear();
  RowList.Clear();
  ColList.Clear();
  StepCounts.Clear();
  table.MarkChanged();
}
