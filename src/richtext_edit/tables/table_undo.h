// Undo of table changes in an editor: the records that grid changes and property
// changes of a table and its cells leave in the editor's undo list, each naming the
// table by its item number. Undoing a record makes the change back through the grid's
// inverse step and records the opposite, so that redo repeats the change.
//
// TRDTableUndoRecorder turns the grid's reports (TRDTableGridUndo) into these records
// while the table lies in an editor that keeps undo.
#pragma once

#include <memory>
#include <vector>

#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/undo_records.h"
#include "richtext_edit/tables/table_rows.h"

class TGraphic;
class TRDTableItemInfo;

// The base of the grid records: the table found by item number, and the record made in
// the list that receives what undoing records.
class TRDTableUndoInfo : public TRDUndoModifyItemProps {
 public:
  TRecordClass GetOppositeClass() const override { return nullptr; }

 protected:
  TRDTableItemInfo& Table(TRDEditRDData& data) const;
  // A record of class T for this record's table in data's recording list (nullptr when
  // nothing is recorded), with the record kind and the two reformat flags.
  template <class T>
  T* Opposite(TRDEditRDData& data) const;
};

// A record of class T for item itemNo in the list that currently records, or nullptr.
template <class T>
T* AddTableUndoInfo(TRDEditRDData& data, int itemNo, bool affectsWidth, bool affectsSize) {
  TRDUndoList* list = data.GetUndoListForRecording();
  if (!list) return nullptr;
  auto record = std::make_unique<T>();
  record->Kind = rdrkModifyItem;
  record->ItemNo = itemNo;
  record->AffectsWidth = affectsWidth;
  record->AffectsSize = affectsSize;
  return list->Add(std::move(record));
}

template <class T>
T* TRDTableUndoInfo::Opposite(TRDEditRDData& data) const {
  return AddTableUndoInfo<T>(data, ItemNo, AffectsWidth, AffectsSize);
}

// A grid change that undoes in either direction: Forward says which of the two undoing
// makes, and the record undoing leaves is the same change with the same arguments turned
// round (TArgs: a plain struct of the change's arguments).
template <class TArgs>
class TRDTableGridUndoInfo : public TRDTableUndoInfo {
 public:
  TArgs Args;
  bool Forward = false;

 protected:
  // The opposite record of class T (this record's own class), or nullptr when nothing is
  // recorded.
  template <class T>
  T* Turned(TRDEditRDData& data) const {
    T* opposite = Opposite<T>(data);
    if (opposite) {
      opposite->Args = Args;
      opposite->Forward = !Forward;
    }
    return opposite;
  }
};

struct TRDRangeArgs {
  int Index = 0, Count = 0;
};
struct TRDSlotArgs {
  int Row = 0, Col = 0;
};
struct TRDSpreadArgs {
  int Row = 0, Col = 0, ColSpan = 1;
};
struct TRDBlockArgs {
  int Row = 0, Col = 0, ColCount = 0, RowCount = 0;
};
// A cell cut in two at row (column) At.
struct TRDSplitArgs {
  bool Horizontal = true;
  bool DecreaseSize = false;
  int Row = 0, Col = 0, At = 0;
};
struct TRDClearArgs {
  TRDIntegerList RowList, ColList;
};
struct TRDMergeArgs {
  int TopRow = 0, LeftCol = 0, OldColSpan = 1, OldRowSpan = 1, ColCount = 1, RowCount = 1;
  int OldBestWidth = 0;
};

class TRDUndoInsertTableRows : public TRDTableGridUndoInfo<TRDRangeArgs> {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoInsertTableCell : public TRDTableGridUndoInfo<TRDSlotArgs> {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoSpreadOverEmptyCells : public TRDTableGridUndoInfo<TRDSpreadArgs> {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoSpan : public TRDTableUndoInfo {
 public:
  bool IsColSpan = false;
  int Row = 0, Col = 0, Value = 1;
  void Undo(TRDEditRDData& data) override;
};

// Empty cells freed (Forward: the undo frees them) or made again.
class TRDUndoFreeEmptyCell : public TRDTableGridUndoInfo<TRDBlockArgs> {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoInsertEmptyCell : public TRDTableGridUndoInfo<TRDBlockArgs> {
 public:
  void Undo(TRDEditRDData& data) override;
};

// A cell cut in two, or joined again with OldSize as its size.
class TRDUndoCellSplit : public TRDTableGridUndoInfo<TRDSplitArgs> {
 public:
  int OldSize = 0;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoDeleteRows : public TRDTableGridUndoInfo<TRDRangeArgs> {
 public:
  std::vector<std::unique_ptr<TRDTableRow>> RowList;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoDeleteCols : public TRDTableGridUndoInfo<TRDRangeArgs> {
 public:
  std::vector<std::unique_ptr<TRDTableCellData>> CellList;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoCellsClear : public TRDTableGridUndoInfo<TRDClearArgs> {
 public:
  std::vector<std::unique_ptr<TRDTableCellData>> CellList;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoMerge : public TRDTableGridUndoInfo<TRDMergeArgs> {
 public:
  std::vector<TRDMergedCell> MergeItems;
  void Undo(TRDEditRDData& data) override;
};

// The cell at (Row, Col) of the table at ItemNo, marked changed: what a property record
// of a cell sets again when undone.
TRDNamedProperties* CellForUndo(TRDEditRDData& data, int itemNo, int row, int col);

// A property of the cell at (Row, Col), set by name through the cell's property table:
// the item's record of that kind, with the cell found again by its place when undone.
template <class TItemRecord>
class TRDUndoModifyCellProperty : public TItemRecord {
 public:
  static std::unique_ptr<TRDUndoModifyItemProps> Create() {
    return std::make_unique<TRDUndoModifyCellProperty>();
  }
  int Row = 0, Col = 0;
  TRDUndoModifyItemProps::TRecordClass GetOppositeClass() const override { return &Create; }
  void CompleteOpposite(TRDUndoModifyItemProps& opposite) const override {
    auto& cell = static_cast<TRDUndoModifyCellProperty&>(opposite);
    cell.Row = Row;
    cell.Col = Col;
  }
  void Undo(TRDEditRDData& data) override {
    this->SubObject = CellForUndo(data, this->ItemNo, Row, Col);
    TItemRecord::Undo(data);
  }
};
using TRDUndoModifyCellIntProperty = TRDUndoModifyCellProperty<TRDUndoModifyItemIntProperty>;
using TRDUndoModifyCellStrProperty = TRDUndoModifyCellProperty<TRDUndoModifyItemStrProperty>;

class TRDUndoModifyCellIntProperties : public TRDUndoModifyItemIntProperties {
 public:
  static std::unique_ptr<TRDUndoModifyItemProps> Create();
  int Row = 0, Col = 0;
  TRecordClass GetOppositeClass() const override { return &Create; }
  void Undo(TRDEditRDData& data) override;
};

// The visible sides of a cell's (Row, Col) or, with -1, -1, the table's border.
class TRDUndoModifyVisibleBorders : public TRDTableUndoInfo {
 public:
  int Row = -1, Col = -1;
  bool Left = true, Top = true, Right = true, Bottom = true;
  void Undo(TRDEditRDData& data) override;
};

// A background picture of a cell or (Row -1) the table, owned until put back.
class TRDUndoModifyBackgroundImage : public TRDTableUndoInfo {
 public:
  ~TRDUndoModifyBackgroundImage() override;
  int Row = -1, Col = -1;
  std::unique_ptr<TGraphic> Image;
  void Undo(TRDEditRDData& data) override;
};

// The steps made in a cell editor, as that editor's whole undo list (with Flag, its redo
// list): undoing hands them back to an editor on the cell, which then takes back the
// last of them, so that cell edits come back one by one and in their real order among
// the table's own changes.
class TRDUndoCellModify : public TRDCompositeUndo {
 public:
  int Row = 0, Col = 0;
  int CaretItemNo = -1, CaretOffs = -1;
  void Undo(TRDEditRDData& data) override;
};

// A style operation applied to many cells: the hidden editor's steps for them, cell after
// cell (StepCounts[k] of them for the cell at RowList[k], ColList[k]), undone through a
// hidden editor again.
class TRDUndoMultiCellsModify : public TRDTableUndoInfo {
 public:
  TRDIntegerList RowList, ColList, StepCounts;
  std::vector<std::unique_ptr<TRDUndoInfos>> Steps;
  // Takes every step of list, oldest first, as the next cell's, at (row, col).
  void TakeCellSteps(int row, int col, TRDUndoList& list);
  void Undo(TRDEditRDData& data) override;
};

// The grid's reports turned into records of the table at its current item number.
class TRDTableUndoRecorder : public TRDTableGridUndo {
 public:
  TRDTableUndoRecorder(TRDTableItemInfo& table, TRDEditRDData& data) : table_(table), data_(data) {}
  void BeginOperation() override;
  void EndOperation() override;
  void NewRowsInserted(int index, int count) override;
  void NewCellInserted(int row, int col) override;
  void CellSpread(int row, int col, int colSpan) override;
  void SpanChanged(bool isColSpan, int row, int col, int oldValue) override;
  void EmptyCellsFreed(int row, int col, int colCount, int rowCount) override;
  void EmptySlotsInserted(int row, int col, int colCount, int rowCount) override;
  void CellSplit(bool horizontal, int row, int col, int at, bool decreaseSize,
                 int oldSize) override;
  void RowsDeleted(int index, std::vector<std::unique_ptr<TRDTableRow>> rows) override;
  void ColsDeleted(int index, int count,
                   std::vector<std::unique_ptr<TRDTableCellData>> cells) override;
  void CellsMerged(int topRow, int leftCol, int oldColSpan, int oldRowSpan, int colCount,
                   int rowCount, int oldBestWidth, std::vector<TRDMergedCell> cells) override;
  void CellsCleared(const TRDIntegerList& rows, const TRDIntegerList& cols,
                    std::vector<std::unique_ptr<TRDTableCellData>> cells) override;

 private:
  template <class T>
  T* Add(bool affectsWidth = true, bool affectsSize = true);
  TRDTableItemInfo& table_;
  TRDEditRDData& data_;
};
