// Table and cell properties changed through their setters: stored directly outside an
// editor, recorded for undo by their names inside one (so that undo and redo assign
// them back through the same names), and the table laid out again.
#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_undo.h"

namespace {

// The last record the list that records received, when it is of class T.
template <class T>
T* LastRecord(TRDEditRDData& data) {
  TRDUndoList* list = data.GetUndoListForRecording();
  TRDUndoInfos* step = list ? list->LastStep() : nullptr;
  return step && !step->Records.empty() ? dynamic_cast<T*>(step->Records.back().get()) : nullptr;
}

}  // namespace

TRDTableCellData& TRDTableItemInfo::CellToSet(int row, int col) const {
  // A slot covered by a merged cell has no properties of its own.
  TRDTableCellData* cell = Cells(row, col);
  if (!cell) throw ERichDocError("Invalid row or column index");
  return *cell;
}

TRDEditRDData* TRDTableItemInfo::EditData() const {
  return (State & rdtsInEditor) ? dynamic_cast<TRDEditRDData*>(GetDocument()) : nullptr;
}

void TRDTableItemInfo::BeforeUndoChangeProperty() {
  State &= TRDTableStates(~rdtsInDocument);
}

void TRDTableItemInfo::AfterUndoChangeProperty() {
  State |= rdtsInDocument;
  MarkChanged();
}

void TRDTableItemInfo::ChangeIntProperty(const char* name, int& field, int value, bool affectsWidth,
                                         bool affectsLayout) {
  if (RecordChange(name, value, affectsWidth, affectsLayout)) return;
  field = value;
  MarkChanged();
}

TRDEditRDData* TRDTableItemInfo::BeginChangeStep() {
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  // Beginning it hands the step the open cell editor's edits first.
  if (data) data->BeginUndoStep(rdutModifyItem, true);
  return data;
}

bool TRDTableItemInfo::RecordChange(const char* name, int value, bool affectsWidth,
                                    bool affectsLayout) {
  TRDEditRDData* data = BeginChangeStep();
  if (!data) return false;
  // The assignment by name comes back to the setter, which then stores the value.
  State &= TRDTableStates(~rdtsInDocument);
  data->SetIntPropertyWithUndo(GetMyItemNo(), nullptr, nullptr, affectsLayout, affectsWidth, value,
                               name);
  data->InvalidateControl();
  State |= rdtsInDocument;
  MarkChanged();
  return true;
}

void TRDTableItemInfo::SetCellIntProperty(int itemNo, const std::string& name, bool affectsWidth,
                                          bool affectsLayout, int row, int col, int value) {
  TRDTableCellData& cell = CellToSet(row, col);
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  if (!data) {
    SetIntProperty(cell, name, value);
    MarkChanged();
    return;
  }
  if (itemNo < 0) itemNo = GetMyItemNo();
  if (auto* record = static_cast<TRDUndoModifyCellIntProperty*>(
          data->SetIntPropertyWithUndo(itemNo, &cell, &TRDUndoModifyCellIntProperty::Create,
                                       affectsLayout, affectsWidth, value, name))) {
    record->Row = row;
    record->Col = col;
  }
}

void TRDTableItemInfo::SetCellStrProperty(int itemNo, const std::string& name, int row, int col,
                                          const std::string& value) {
  TRDTableCellData& cell = CellToSet(row, col);
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  if (!data) {
    SetStrProperty(cell, name, value);
    MarkChanged();
    return;
  }
  if (itemNo < 0) itemNo = GetMyItemNo();
  if (auto* record = static_cast<TRDUndoModifyCellStrProperty*>(data->SetStrPropertyWithUndo(
          itemNo, &cell, &TRDUndoModifyCellStrProperty::Create, value, name))) {
    record->Row = row;
    record->Col = col;
  }
}

void TRDTableItemInfo::SetCellBestWidth(int itemNo, TRDHTMLLength value, int row, int col) {
  SetCellIntProperty(itemNo, "BestWidth", true, true, row, col, value);
}

void TRDTableItemInfo::SetCellBestHeight(int itemNo, int value, int row, int col) {
  SetCellIntProperty(itemNo, "BestHeight", false, true, row, col, value);
}

void TRDTableItemInfo::SetCellBestWidth(TRDHTMLLength value, int row, int col) {
  CellToSet(row, col);
  BeginChangeStep();
  SetCellBestWidth(-1, value, row, col);
}

void TRDTableItemInfo::SetCellBestHeight(int value, int row, int col) {
  CellToSet(row, col);
  BeginChangeStep();
  SetCellBestHeight(-1, value, row, col);
}

void TRDTableItemInfo::SetCellBackgroundImageFileName(const std::string& value, int row, int col) {
  CellToSet(row, col);
  BeginChangeStep();
  SetCellStrProperty(-1, "BackgroundImageFileName", row, col, value);
}

void TRDTableItemInfo::SetCellHint(const std::string& value, int row, int col) {
  CellToSet(row, col);
  BeginChangeStep();
  SetCellStrProperty(-1, "Hint", row, col, value);
}

void TRDTableItemInfo::SetCellVisibleBorders(int itemNo, int row, int col, bool left, bool top,
                                             bool right, bool bottom) {
  TRDBooleanRect& sides = row < 0 ? visible_borders_ : CellToSet(row, col).VisibleBorders;
  if (sides.IsEqualToValues(left, top, right, bottom)) return;
  if (TRDEditRDData* data = itemNo < 0                 ? BeginChangeStep()
                            : (State & rdtsInDocument) ? EditData()
                                                       : nullptr) {
    if (itemNo < 0) itemNo = GetMyItemNo();
    if (auto* record = AddTableUndoInfo<TRDUndoModifyVisibleBorders>(*data, itemNo, false, false)) {
      record->Row = row;
      record->Col = col;
      record->Left = sides.Left;
      record->Top = sides.Top;
      record->Right = sides.Right;
      record->Bottom = sides.Bottom;
    }
  }
  sides.SetValues(left, top, right, bottom);
  MarkChanged();
}

void TRDTableItemInfo::SetCellBackgroundImage(const TGraphic* picture, int row, int col) {
  const TGraphic* current =
      row < 0 ? GetBackgroundImage() : CellToSet(row, col).GetBackgroundImage();
  if (picture == current) return;
  TRDEditRDData* data = BeginChangeStep();
  SetCellBackgroundImageOwned(-1, row, col, picture ? picture->Clone() : nullptr);
  if (data) data->InvalidateControl();
}

void TRDTableItemInfo::SetCellBackgroundImageOwned(int itemNo, int row, int col,
                                                   std::unique_ptr<TGraphic> picture) {
  TRDBackground* background = row < 0 ? background_.get() : CellToSet(row, col).GetCellBackground();
  std::unique_ptr<TGraphic> old =
      background && background->GetBitmap() ? background->GetBitmap()->Clone() : nullptr;
  if (TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr) {
    if (itemNo < 0) itemNo = GetMyItemNo();
    if (auto* record =
            AddTableUndoInfo<TRDUndoModifyBackgroundImage>(*data, itemNo, false, false)) {
      record->Row = row;
      record->Col = col;
      record->Image = std::move(old);
    }
  }
  if (row < 0) {
    AssignBackgroundImage(picture.get());
  } else {
    Cells(row, col)->SetBackgroundImage(picture.get());
    if (InplaceEditor) InplaceEditor->Invalidate();
  }
  MarkChanged();
}

void TRDTableItemInfo::AssignCellAttributes(int itemNo, int row, int col,
                                            const TRDTableCellData& source, bool copySizes,
                                            int widthDivisor, int heightDivisor) {
  TRDTableCellData& cell = CellToSet(row, col);
  TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  if (!data) {
    cell.AssignAttributesFrom(source, copySizes, heightDivisor, widthDivisor);
    MarkChanged();
    return;
  }
  if (itemNo < 0) itemNo = GetMyItemNo();
  const TRDBooleanRect& s = source.VisibleBorders;
  SetCellVisibleBorders(itemNo, row, col, s.Left, s.Top, s.Right, s.Bottom);
  if (source.GetBackgroundImage() || cell.GetBackgroundImage())
    SetCellBackgroundImageOwned(
        itemNo, row, col,
        source.GetBackgroundImage() ? source.GetBackgroundImage()->Clone() : nullptr);
  SetCellStrProperty(itemNo, "BackgroundImageFileName", row, col, source.BackgroundImageFileName);
  SetCellStrProperty(itemNo, "Hint", row, col, source.Hint);
  std::vector<std::pair<std::string, int>> values = {
      {"Color", source.Color},
      {"BorderColor", source.BorderColor},
      {"BorderLightColor", source.BorderLightColor},
      {"VAlign", source.VAlign},
      {"BackgroundStyle", source.GetBackgroundStyle()}};
  if (copySizes) {
    values.emplace_back("BestWidth", source.BestWidth / std::max(widthDivisor, 1));
    values.emplace_back("BestHeight", source.BestHeight / std::max(heightDivisor, 1));
  }
  data->SetIntPropertiesWithUndo(itemNo, &cell, &TRDUndoModifyCellIntProperties::Create, true,
                                 copySizes, values);
  if (auto* record = LastRecord<TRDUndoModifyCellIntProperties>(*data)) {
    record->Row = row;
    record->Col = col;
  }
  MarkChanged();
}
