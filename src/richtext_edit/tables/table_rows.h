// The grid of a table: rows of slots, each slot holding a cell or nothing. A merged cell
// sits in the slot of its top-left corner and covers RowSpan rows and ColSpan columns
// from there; every other slot it covers is empty, and every empty slot is covered by
// exactly one cell above and/or left of it. Every row has the same number of slots.
//
// Besides access and the measures the layout reads per column, the grid merges cells
// and inserts and deletes rows and columns. Each such change is made of primitive
// steps that have inverses; while the table lies in a document that keeps undo, the
// steps are reported to a TRDTableGridUndo, which keeps what they remove.
//
// A slot may also hold a plain cell: a cell as made (one empty paragraph in style 0, no
// look of its own) that has no object yet. A row of them costs a bit a slot, so empty
// and merged slots cost next to nothing; the object is made when a slot's cell is asked
// for (Items, Cell), in its place in the table's layout. Walks over many cells that only
// read use Peek (a plain cell answered by the grid's stand-in) or Object (none).
//
// Example: in a 2 x 2 grid where the cell at (0, 0) has ColSpan 2 and RowSpan 2, slots
// (0, 1), (1, 0) and (1, 1) are empty and GetMainCell of each gives the cell at (0, 0).
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "richtext/base/rd_lists.h"
#include "richtext_edit/tables/table_cell.h"

class TCustomRDData;
class TRDTableItemInfo;
class TRDTableRows;

class TRDTableRow {
 public:
  // colCount plain cells.
  TRDTableRow(int colCount, TRDTableRows* rows);
  ~TRDTableRow();
  TRDTableRow(const TRDTableRow&) = delete;
  TRDTableRow& operator=(const TRDTableRow&) = delete;

  TRDCellVAlign VAlign = rdcTop;
  bool PageBreakBefore = false;
  TRDTableRows* Rows;

  int Count() const { return int(slots_.size()); }
  // The slot's cell, its object made now for a plain cell; nullptr for a covered slot.
  TRDTableCellData* Items(int index) const {
    if (plain_[size_t(index)]) MakeObject(index);
    return slots_[size_t(index)].get();
  }
  bool IsPlain(int index) const { return plain_[size_t(index)]; }
  // The slot's cell object: nullptr for a plain cell too.
  TRDTableCellData* Object(int index) const { return slots_[size_t(index)].get(); }
  // The slot holding the cell object, -1 for none.
  int IndexOf(const TRDTableCellData* cell) const;
  // The slot's cell to read: a plain cell is answered by the grid's stand-in (as a cell
  // of this row), which must not be changed and has no place in the layout; nullptr for a
  // covered slot.
  TRDTableCellData* Peek(int index) const;
  // Stores a cell (or nothing) in a slot, freeing what was there, and links the cell.
  void SetItem(int index, std::unique_ptr<TRDTableCellData> cell);
  // The slot gets a plain cell, its object (if any) freed.
  void SetPlain(int index);
  std::unique_ptr<TRDTableCellData> TakeItem(int index);
  TRDTableCellData* AddCell();
  TRDTableCellData* InsertCell(int index);
  void InsertEmptySlot(int index);
  void InsertPlainSlot(int index);
  void InsertCellObject(int index, std::unique_ptr<TRDTableCellData> cell);
  // Removes the slot, handing its cell (if any) back.
  std::unique_ptr<TRDTableCellData> DeleteSlot(int index);

  int GetBestHeight() const;
  int GetHeight(bool useBestHeight) const;
  bool HasCellEndingWithin(int rowIndex, int firstRow, int rowCount) const;

 private:
  friend class TRDTableRows;
  // Where a cell was last found to cover an empty slot: the position of its own slot.
  struct TCoverAt {
    int Row = -1, Col = -1;
  };
  void MakeObject(int index) const;
  mutable std::vector<std::unique_ptr<TRDTableCellData>> slots_;
  mutable std::vector<bool> plain_;
  // By slot; TRDTableRows::GetMainCell checks an entry against the grid before it trusts
  // it, so edits of the grid leave the entries as they are.
  mutable std::vector<TCoverAt> covers_;
};

// A cell that a merge took out of the grid, with how many items it handed over (Cell
// null for a plain cell).
struct TRDMergedCell {
  int Row = 0;
  int Col = 0;
  int ItemCount = 0;
  std::unique_ptr<TRDTableCellData> Cell;
};

// Receives the primitive steps of grid changes for undo. Each call describes a step
// already made; what the step removed is handed over and kept by the receiver.
class TRDTableGridUndo {
 public:
  virtual ~TRDTableGridUndo() = default;
  // One user action: everything between Begin and End undoes as a whole.
  virtual void BeginOperation() = 0;
  virtual void EndOperation() = 0;
  virtual void NewRowsInserted(int index, int count) = 0;
  virtual void NewCellInserted(int row, int col) = 0;
  virtual void CellSpread(int row, int col, int colSpan) = 0;
  virtual void SpanChanged(bool isColSpan, int row, int col, int oldValue) = 0;
  virtual void EmptyCellsFreed(int row, int col, int colCount, int rowCount) = 0;
  virtual void EmptySlotsInserted(int row, int col, int colCount, int rowCount) = 0;
  virtual void CellSplit(bool horizontal, int row, int col, int at, bool decreaseSize,
                         int oldSize) = 0;
  virtual void RowsDeleted(int index, std::vector<std::unique_ptr<TRDTableRow>> rows) = 0;
  // The cells row by row, each row's from the rightmost column to the leftmost.
  virtual void ColsDeleted(int index, int count,
                           std::vector<std::unique_ptr<TRDTableCellData>> cells) = 0;
  virtual void CellsMerged(int topRow, int leftCol, int oldColSpan, int oldRowSpan, int colCount,
                           int rowCount, int oldBestWidth, std::vector<TRDMergedCell> cells) = 0;
  virtual void CellsCleared(const TRDIntegerList& rows, const TRDIntegerList& cols,
                            std::vector<std::unique_ptr<TRDTableCellData>> cells) = 0;
};

// The content of cells a read cuts off goes to the end of the kept cells they join, as a
// merge moves it. A kept cell's list markers leave the document's numbering at its first
// join and take their new place once, at Finish, so that a join costs what it moves and
// not what the kept cell holds already.
class TRDCutCellJoins {
 public:
  void Join(TRDTableCellData& from, TRDTableCellData& into);
  void Finish();

 private:
  std::vector<TRDTableCellData*> joined_;
  std::unordered_set<const TRDTableCellData*> unlisted_;
};

class TRDTableRows {
 public:
  // The most slots (rows x columns) a table may have: building, laying out and painting
  // a table cost time and memory by its slots, and the layout's sums of the table's
  // lengths over every row or column stay in the integer range up to it. Whatever makes
  // or grows a table keeps to it (a document file, an import, inserting rows or
  // columns), so that every table written reads back.
  static constexpr int kMaxSlots = 1 << 17;
  static bool HoldsSlots(std::int64_t rowCount, std::int64_t colCount) {
    return rowCount >= 0 && colCount >= 0 && rowCount * colCount <= kMaxSlots;
  }
  // What a table costs of a read's budget (table_budget.h), in bytes: its rows and slots
  // (merged or plain), and each cell object.
  static constexpr std::int64_t kRowBytes = 128;
  static constexpr std::int64_t kSlotBytes = 16;
  static constexpr std::int64_t kCellBytes = 2048;
  static std::int64_t GridBytes(std::int64_t rowCount, std::int64_t colCount) {
    return rowCount * (kRowBytes + colCount * kSlotBytes);
  }

  // Raises ERichDocError for a size beyond kMaxSlots.
  TRDTableRows(int rowCount, int colCount, TCustomRDData* mainRDData, TRDTableItemInfo* table);
  ~TRDTableRows();
  TRDTableRows(const TRDTableRows&) = delete;
  TRDTableRows& operator=(const TRDTableRows&) = delete;

  TCustomRDData* MainRDData;
  TRDTableItemInfo* Table;
  // Set while the table lies in a document that keeps undo.
  TRDTableGridUndo* Undo = nullptr;

  int Count() const { return int(rows_.size()); }
  TRDTableRow* Items(int index) const { return rows_[size_t(index)].get(); }
  int IndexOf(const TRDTableRow* row) const;
  // The slot's cell (made now for a plain cell), cell object and cell to read, as
  // TRDTableRow's Items, Object and Peek.
  TRDTableCellData* Cell(int row, int col) const { return Items(row)->Items(col); }
  TRDTableCellData* Object(int row, int col) const { return Items(row)->Object(col); }
  TRDTableCellData* Peek(int row, int col) const { return Items(row)->Peek(col); }
  bool IsPlain(int row, int col) const { return Items(row)->IsPlain(col); }
  // What every plain cell of the grid reads as; laid out by FormatStandIn, at a width
  // plain cells have (an empty paragraph is as high at any width).
  TRDTableCellData& StandIn() const;
  void FormatStandIn(int width, TRDCanvas& canvas);
  // The stand-in laid out again at the width of the slot it is painted in, where that
  // differs from the last: a centred or right-aligned paragraph's mark stands by it.
  void FitStandIn(int width);
  // The stand-in as a plain cell of row (its vertical alignment the row's).
  TRDTableCellData& StandInFor(const TRDTableRow& row) const;
  // The cell objects of the grid (plain cells have none).
  std::int64_t ObjectCount() const;
  void Clear() { rows_.clear(); }
  void Reset(int rowCount, int colCount);
  // rowCount rows of colCount empty slots, for a reader that makes the cells it reads.
  void ResetEmpty(int rowCount, int colCount);
  TRDTableRow* AddRow(int colCount);
  TRDTableRow* InsertRow(int index, int colCount);
  void InsertRowObject(int index, std::unique_ptr<TRDTableRow> row);
  std::unique_ptr<TRDTableRow> TakeRow(int index);
  bool IsEmpty() const { return rows_.empty() || rows_[0]->Count() == 0; }
  int GetColCount() const { return rows_.empty() ? 0 : rows_[0]->Count(); }

  // The cell covering slot (row, col) and the position of its own slot; nullptr for a
  // slot outside the grid or one no cell covers (the walk never leaves the grid). Each
  // empty slot the walk passes remembers the cell found when it covers that slot too, so
  // asking for every slot of a table costs time linear in the table, even where a cell
  // covers thousands of rows.
  TRDTableCellData* GetMainCell(int row, int col, int& mRow, int& mCol) const;
  // The same without making an object: a plain cell is answered by the stand-in.
  TRDTableCellData* PeekMainCell(int row, int col, int& mRow, int& mCol) const;
  // Whether every empty slot is covered by exactly one cell, every cell's spans stay
  // inside the grid and cover only empty slots, and all rows are equally long.
  bool IsConsistent() const;

  // Column measures over the cells that span one column.
  int GetMinColWidth(int col, const TRDResolution* resolution, TRDCanvas& canvas) const;
  bool IsPercentWidthColumn(int col) const;
  int GetPercentColWidth(int col, int tableWidth) const;
  int GetPixelColWidth(int col) const;
  int GetMergedBestWidth(int row, int col, int colCount, int rowCount) const;

  // Editing; bad arguments raise ERichDocError.
  void MergeCells(int topRow, int leftCol, int colCount, int rowCount, bool allowMergeRC,
                  bool changeBestWidth);
  bool CanMergeCells(int topRow, int leftCol, int colCount, int rowCount, bool allowMergeRC) const;
  void InsertRows(int index, int count, int copyIndex, bool divideHeights);
  void InsertCols(int index, int count, int copyIndex, bool divideWidths);
  void DeleteRows(int index, int count, bool decreaseHeight);
  void DeleteCols(int index, int count, bool decreaseWidth);
  // Empties the cells at the listed positions; with undo the old cells are kept by it
  // and new cells with their attributes take their slots.
  void ClearCells(const TRDIntegerList& rowList, const TRDIntegerList& colList);

  // Primitive steps and their inverses (used by the operations above and by undo).
  void SpreadCellOverSlots(int row, int col, int colSpan);
  void UnspreadCell(int row, int col, int colSpan);
  void FreeCells(int row, int col, int colCount, int rowCount);
  void RecreateCells(int row, int col, int colCount, int rowCount);
  void InsertEmptySlots(int row, int col, int colCount, int rowCount);
  void DeleteSlots(int row, int col, int colCount, int rowCount);
  void SplitCellHorz(int row, int col, int atRow, bool decreaseHeight);
  void UnsplitCellHorz(int row, int col, int atRow, int oldBestHeight);
  void SplitCellVert(int row, int col, int atCol, bool decreaseWidth);
  void UnsplitCellVert(int row, int col, int atCol, int oldBestWidth);
  void InsertNewRows(int index, int count);
  void FreeRows(int index, int count);
  std::vector<std::unique_ptr<TRDTableRow>> RemoveRows(int index, int count);
  void RestoreRows(int index, std::vector<std::unique_ptr<TRDTableRow>>& rows);
  std::vector<std::unique_ptr<TRDTableCellData>> RemoveCols(int index, int count);
  void RestoreCols(int index, std::vector<std::unique_ptr<TRDTableCellData>>& cells);
  // With keep the cells taken out are handed back (for undo); otherwise they are freed.
  std::vector<TRDMergedCell> DoMergeCells(int topRow, int leftCol, int colCount, int rowCount,
                                          bool changeBestWidth, bool keep);
  void UndoMergeCells(int row, int col, int oldColSpan, int oldRowSpan,
                      std::vector<TRDMergedCell>& cells, int oldBestWidth);
  void SetSpan(int row, int col, int value, bool isColSpan);
  std::vector<std::unique_ptr<TRDTableCellData>> TakeClearedCells(const TRDIntegerList& rowList,
                                                                  const TRDIntegerList& colList);
  void RestoreClearedCells(const TRDIntegerList& rowList, const TRDIntegerList& colList,
                           std::vector<std::unique_ptr<TRDTableCellData>>& cells);

 private:
  // A new cell at (row, col) takes the look of source, with the given sizes and rows.
  void CopyToNewCell(int row, int col, const TRDTableCellData& source, int bestWidth,
                     int bestHeight, int rowSpan);
  std::unique_ptr<TRDTableCellData> NewCell(TRDTableRow* row) const;
  // The cell remembered for the empty slot (row, col) with its own slot, when it still
  // covers that slot; else nullptr.
  TRDTableCellData* RememberedCover(int row, int col, int& mRow, int& mCol) const;
  std::vector<std::unique_ptr<TRDTableRow>> rows_;
  // The stand-in for plain cells, in a row of its own that no walk sees.
  mutable std::unique_ptr<TRDTableRow> stand_in_row_;
  mutable std::unique_ptr<TRDTableCellData> stand_in_;
  int stand_in_width_ = -1;
};
