#include "richtext_edit/tables/table_rows.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "richtext/base/rich_doc_error.h"
#include "richtext/model/rd_data.h"
#include "richtext_edit/tables/table_item.h"

namespace {

[[noreturn]] void BadIndex() {
  throw ERichDocError("Invalid row or column index");
}

// Moves count items from first of source to the end of target, keeping paragraphs.
void MoveItemRange(TCustomRDData& source, int first, int count, TCustomRDData& target) {
  std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> moved;
  for (int i = first; i < first + count; ++i) {
    TCustomRDItemInfo* item = source.GetItem(i);
    if (item->Checkpoint) source.UnlinkCheckpoint(item->Checkpoint.get(), true);
    moved.emplace_back(source.Items.Strings(i), source.Items.TakeObject(i));
  }
  source.Items.Delete(first, count);
  for (auto& [text, item] : moved) {
    if (item->GetContinuesPara()) item->ParaNo = -1;
    target.AddItemAtEnd(std::move(text), std::move(item));
  }
}

// Items moved from cell to cell stand elsewhere in document order: their markers (and
// those of tables among them) leave the document's list before the move and take their
// new place after it.
void UnlistMarkers(TCustomRDData& data) {
  data.EnumItems([](TCustomRDData& d, int itemNo, bool&) { d.RemoveMarkerFromList(itemNo); });
}

void ListMarkers(TCustomRDData& data) {
  data.EnumItems([](TCustomRDData& d, int itemNo, bool&) { d.AddMarkerToList(itemNo); });
}

void ClearLayout(TRDTableCellData& cell) {
  cell.ClearFormatting();
}

// Whether the cell whose own slot is (cellRow, cellCol) covers slot (row, col).
bool Covers(const TRDTableCellData& cell, int cellRow, int cellCol, int row, int col) {
  return cellRow <= row && cellCol <= col && cell.RowSpan > row - cellRow &&
         cell.ColSpan > col - cellCol;
}

}  // namespace

// --- rows -------------------------------------------------------------------------------------

TRDTableRow::TRDTableRow(int colCount, TRDTableRows* rows)
    : Rows(rows), slots_(size_t(colCount)), plain_(size_t(colCount), true) {}

TRDTableRow::~TRDTableRow() = default;

TRDTableCellData* TRDTableRow::Peek(int index) const {
  return plain_[size_t(index)] ? &Rows->StandInFor(*this) : slots_[size_t(index)].get();
}

int TRDTableRow::IndexOf(const TRDTableCellData* cell) const {
  for (size_t c = 0; c < slots_.size(); ++c)
    if (slots_[c].get() == cell) return int(c);
  return -1;
}

// The object of a plain cell, in its place in the table's layout when there is one.
void TRDTableRow::MakeObject(int index) const {
  auto& self = const_cast<TRDTableRow&>(*this);
  plain_[size_t(index)] = false;
  slots_[size_t(index)] = std::make_unique<TRDTableCellData>(&self);
  if (Rows && Rows->Table)
    if (const int row = Rows->IndexOf(this); row >= 0) Rows->Table->CellMade(row, index);
}

void TRDTableRow::SetItem(int index, std::unique_ptr<TRDTableCellData> cell) {
  if (cell) cell->SetRow(this);
  slots_[size_t(index)] = std::move(cell);
  plain_[size_t(index)] = false;
}

void TRDTableRow::SetPlain(int index) {
  if (slots_[size_t(index)]) UnlistMarkers(*slots_[size_t(index)]);
  slots_[size_t(index)].reset();
  plain_[size_t(index)] = true;
}

// A cell leaving its row leaves the document's numbering while it still reaches the
// document: freed or kept by an undo record, it no longer can.
std::unique_ptr<TRDTableCellData> TRDTableRow::TakeItem(int index) {
  Items(index);
  std::unique_ptr<TRDTableCellData> cell = std::move(slots_[size_t(index)]);
  if (cell) {
    UnlistMarkers(*cell);
    cell->SetRow(nullptr);
  }
  return cell;
}

TRDTableCellData* TRDTableRow::AddCell() {
  InsertCellObject(Count(), std::make_unique<TRDTableCellData>(this));
  return slots_.back().get();
}

TRDTableCellData* TRDTableRow::InsertCell(int index) {
  InsertCellObject(index, std::make_unique<TRDTableCellData>(this));
  return Items(index);
}

void TRDTableRow::InsertEmptySlot(int index) {
  slots_.insert(slots_.begin() + index, nullptr);
  plain_.insert(plain_.begin() + index, false);
}

void TRDTableRow::InsertPlainSlot(int index) {
  slots_.insert(slots_.begin() + index, nullptr);
  plain_.insert(plain_.begin() + index, true);
}

void TRDTableRow::InsertCellObject(int index, std::unique_ptr<TRDTableCellData> cell) {
  if (cell) cell->SetRow(this);
  slots_.insert(slots_.begin() + index, std::move(cell));
  plain_.insert(plain_.begin() + index, false);
}

std::unique_ptr<TRDTableCellData> TRDTableRow::DeleteSlot(int index) {
  Items(index);
  std::unique_ptr<TRDTableCellData> cell = std::move(slots_[size_t(index)]);
  slots_.erase(slots_.begin() + index);
  plain_.erase(plain_.begin() + index);
  if (cell) {
    UnlistMarkers(*cell);
    cell->SetRow(nullptr);
  }
  return cell;
}

int TRDTableRow::GetBestHeight() const {
  int best = 0;
  for (const auto& cell : slots_)
    if (cell && cell->RowSpan == 1) best = std::max(best, cell->BestHeight);
  return best;
}

int TRDTableRow::GetHeight(bool useBestHeight) const {
  int height = 0;
  for (const auto& cell : slots_)
    if (cell && cell->RowSpan == 1) height = std::max(height, cell->GetCellHeight(useBestHeight));
  if (std::find(plain_.begin(), plain_.end(), true) != plain_.end())
    height = std::max(height, Rows->StandIn().GetCellHeight(useBestHeight));
  return height == 0 ? 10 : height;
}

bool TRDTableRow::HasCellEndingWithin(int rowIndex, int firstRow, int rowCount) const {
  if (firstRow > rowIndex) return false;
  if (rowIndex <= firstRow + rowCount - 1 &&
      std::find(plain_.begin(), plain_.end(), true) != plain_.end())
    return true;
  for (const auto& cell : slots_)
    if (cell && rowIndex + cell->RowSpan - 1 <= firstRow + rowCount - 1) return true;
  return false;
}

// --- the grid ---------------------------------------------------------------------------------

TRDTableRows::TRDTableRows(int rowCount, int colCount, TCustomRDData* mainRDData,
                           TRDTableItemInfo* table)
    : MainRDData(mainRDData), Table(table) {
  Reset(rowCount, colCount);
}

TRDTableRows::~TRDTableRows() = default;

void TRDTableRows::Reset(int rowCount, int colCount) {
  if (!HoldsSlots(rowCount, colCount)) BadIndex();
  rows_.clear();
  for (int r = 0; r < rowCount; ++r) AddRow(colCount);
}

void TRDTableRows::ResetEmpty(int rowCount, int colCount) {
  if (!HoldsSlots(rowCount, colCount)) BadIndex();
  rows_.clear();
  for (int r = 0; r < rowCount; ++r) {
    TRDTableRow& row = *AddRow(0);
    row.slots_.resize(size_t(colCount));
    row.plain_.resize(size_t(colCount), false);
  }
}

TRDTableRow* TRDTableRows::AddRow(int colCount) {
  rows_.push_back(std::make_unique<TRDTableRow>(colCount, this));
  return rows_.back().get();
}

TRDTableRow* TRDTableRows::InsertRow(int index, int colCount) {
  InsertRowObject(index, std::make_unique<TRDTableRow>(colCount, this));
  return Items(index);
}

void TRDTableRows::InsertRowObject(int index, std::unique_ptr<TRDTableRow> row) {
  row->Rows = this;
  for (int c = 0; c < row->Count(); ++c)
    if (TRDTableCellData* cell = row->Object(c)) cell->SetRow(row.get());
  rows_.insert(rows_.begin() + index, std::move(row));
}

int TRDTableRows::IndexOf(const TRDTableRow* row) const {
  for (size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].get() == row) return int(r);
  return -1;
}

TRDTableCellData& TRDTableRows::StandIn() const {
  if (!stand_in_) {
    auto& self = const_cast<TRDTableRows&>(*this);
    stand_in_row_ = std::make_unique<TRDTableRow>(0, &self);
    stand_in_ = std::make_unique<TRDTableCellData>(stand_in_row_.get());
  }
  return *stand_in_;
}

TRDTableCellData& TRDTableRows::StandInFor(const TRDTableRow& row) const {
  TRDTableCellData& standIn = StandIn();
  stand_in_row_->VAlign = row.VAlign;
  return standIn;
}

void TRDTableRows::FormatStandIn(int width, TRDCanvas& canvas) {
  TRDTableCellData& standIn = StandIn();
  standIn.Width = width;
  standIn.FormatItems(false, true, false, 0, &canvas, false, true, false);
  stand_in_width_ = width;
}

void TRDTableRows::FitStandIn(int width) {
  if (width == stand_in_width_) return;
  TRDTableCellData& standIn = StandIn();
  standIn.Width = width;
  standIn.FormatItems(false, true, false, 0, nullptr, false, true, false);
  stand_in_width_ = width;
}

void TRDCutCellJoins::Join(TRDTableCellData& from, TRDTableCellData& into) {
  if (unlisted_.insert(&into).second) {
    UnlistMarkers(into);
    joined_.push_back(&into);
  }
  UnlistMarkers(from);
  into.MoveItemsFrom(from);
}

void TRDCutCellJoins::Finish() {
  for (TRDTableCellData* cell : joined_) ListMarkers(*cell);
  joined_.clear();
  unlisted_.clear();
}

std::int64_t TRDTableRows::ObjectCount() const {
  std::int64_t count = 0;
  for (const auto& row : rows_)
    for (const auto& cell : row->slots_)
      if (cell) ++count;
  return count;
}

std::unique_ptr<TRDTableRow> TRDTableRows::TakeRow(int index) {
  std::unique_ptr<TRDTableRow> row = std::move(rows_[size_t(index)]);
  rows_.erase(rows_.begin() + index);
  return row;
}

std::unique_ptr<TRDTableCellData> TRDTableRows::NewCell(TRDTableRow* row) const {
  return std::make_unique<TRDTableCellData>(row);
}

TRDTableCellData* TRDTableRows::RememberedCover(int row, int col, int& mRow, int& mCol) const {
  const std::vector<TRDTableRow::TCoverAt>& covers = Items(row)->covers_;
  if (size_t(col) >= covers.size()) return nullptr;
  const TRDTableRow::TCoverAt at = covers[size_t(col)];
  if (at.Row < 0 || at.Row > row || at.Col < 0 || at.Col >= Items(at.Row)->Count()) return nullptr;
  TRDTableCellData* cell = Peek(at.Row, at.Col);
  if (!cell || !Covers(*cell, at.Row, at.Col, row, col)) return nullptr;
  mRow = at.Row;
  mCol = at.Col;
  return cell;
}

TRDTableCellData* TRDTableRows::GetMainCell(int row, int col, int& mRow, int& mCol) const {
  TRDTableCellData* cell = PeekMainCell(row, col, mRow, mCol);
  return cell && IsPlain(mRow, mCol) ? Cell(mRow, mCol) : cell;
}

TRDTableCellData* TRDTableRows::PeekMainCell(int row, int col, int& mRow, int& mCol) const {
  mRow = row;
  mCol = col;
  if (row < 0 || row >= Count() || col < 0 || col >= Items(row)->Count()) return nullptr;
  if (TRDTableCellData* cell = Peek(row, col)) return cell;
  // The covering cell starts in this row or above, at this column or left of it. In each
  // row the walk goes left over empty slots to the first that holds a cell, or to one
  // whose remembered cell covers it: a cell further left would have to cover that slot
  // too, so the row holds no other candidate.
  std::vector<std::pair<int, int>> passed;
  TRDTableCellData* found = nullptr;
  for (int r = row; r >= 0 && !found; --r) {
    const TRDTableRow& line = *Items(r);
    for (int c = std::min(col, line.Count() - 1); c >= 0; --c) {
      if (TRDTableCellData* cell = line.Peek(c)) {
        if (Covers(*cell, r, c, row, col)) found = cell, mRow = r, mCol = c;
        break;
      }
      int kr, kc;
      if (TRDTableCellData* known = RememberedCover(r, c, kr, kc)) {
        if (Covers(*known, kr, kc, row, col)) found = known, mRow = kr, mCol = kc;
        break;
      }
      passed.emplace_back(r, c);
    }
  }
  if (!found) {
    mRow = mCol = -1;
    return nullptr;
  }
  for (const auto& [r, c] : passed) {
    if (!Covers(*found, mRow, mCol, r, c)) continue;
    std::vector<TRDTableRow::TCoverAt>& covers = Items(r)->covers_;
    if (covers.size() <= size_t(c)) covers.resize(size_t(Items(r)->Count()));
    covers[size_t(c)] = {mRow, mCol};
  }
  return found;
}

bool TRDTableRows::IsConsistent() const {
  const int rowCount = Count();
  const int colCount = GetColCount();
  std::vector<char> covered(size_t(rowCount) * size_t(colCount), 0);
  for (int r = 0; r < rowCount; ++r) {
    if (Items(r)->Count() != colCount) return false;
    for (int c = 0; c < colCount; ++c) {
      const TRDTableCellData* cell = Peek(r, c);
      if (!cell) continue;
      if (cell->RowSpan < 1 || cell->ColSpan < 1 || cell->RowSpan > rowCount - r ||
          cell->ColSpan > colCount - c)
        return false;
      for (int rr = r; rr < r + cell->RowSpan; ++rr)
        for (int cc = c; cc < c + cell->ColSpan; ++cc) {
          char& mark = covered[size_t(rr) * size_t(colCount) + size_t(cc)];
          if (mark || ((rr != r || cc != c) && Peek(rr, cc))) return false;
          mark = 1;
        }
    }
  }
  return std::all_of(covered.begin(), covered.end(), [](char mark) { return mark != 0; });
}

// --- column measures --------------------------------------------------------------------------

int TRDTableRows::GetMinColWidth(int col, const TRDResolution* resolution,
                                 TRDCanvas& canvas) const {
  int result = 0;
  bool plain = false;
  for (int r = 0; r < Count(); ++r) {
    plain = plain || IsPlain(r, col);
    TRDTableCellData* cell = Object(r, col);
    if (cell && cell->ColSpan == 1)
      result = std::max(result, cell->GetMinWidth(resolution, canvas));
  }
  if (plain) result = std::max(result, StandIn().GetMinWidth(resolution, canvas));
  return result;
}

bool TRDTableRows::IsPercentWidthColumn(int col) const {
  for (int r = 0; r < Count(); ++r) {
    int mr, mc;
    const TRDTableCellData* cell = PeekMainCell(r, col, mr, mc);
    if (cell && cell->BestWidth < 0 && mc + cell->ColSpan - 1 == col) return true;
  }
  return false;
}

int TRDTableRows::GetPercentColWidth(int col, int tableWidth) const {
  std::int64_t result = 0;
  for (int r = 0; r < Count(); ++r) {
    const TRDTableCellData* cell = Object(r, col);
    if (cell && cell->ColSpan == 1 && cell->BestWidth < 0)
      result = std::max(result, -(std::int64_t(cell->BestWidth) * tableWidth) / 100);
  }
  return int(std::min<std::int64_t>(result, INT_MAX / 4));
}

int TRDTableRows::GetPixelColWidth(int col) const {
  int result = 0;
  for (int r = 0; r < Count(); ++r) {
    const TRDTableCellData* cell = Object(r, col);
    if (!cell || cell->ColSpan != 1) continue;
    if (cell->BestWidth < 0) return 0;
    result = std::max(result, cell->BestWidth);
  }
  return result;
}

int TRDTableRows::GetMergedBestWidth(int row, int col, int colCount, int rowCount) const {
  int result = 0;
  for (int r = row; r < row + rowCount; ++r) {
    std::int64_t sum = 0;
    for (int c = col; c < col + colCount; ++c) {
      const TRDTableCellData* cell = Object(r, c);
      if (!cell || cell->BestWidth == 0) continue;
      if (cell->BestWidth > 0) {
        if (sum >= 0) sum += cell->BestWidth;
      } else {
        if (sum > 0) sum = 0;
        sum += cell->BestWidth;
      }
    }
    const int s = int(std::clamp<std::int64_t>(sum, INT_MIN / 2, INT_MAX / 2));
    if (result >= 0) {
      if (s < 0 || s > result) result = s;
    } else if (s < result) {
      result = s;
    }
  }
  return result;
}

// --- primitive steps --------------------------------------------------------------------------

void TRDTableRows::SpreadCellOverSlots(int row, int col, int colSpan) {
  TRDTableRow& r = *Items(row);
  r.Items(col)->ColSpan = colSpan;
  for (int c = col + 1; c < col + colSpan; ++c) r.SetItem(c, nullptr);
}

void TRDTableRows::UnspreadCell(int row, int col, int colSpan) {
  TRDTableRow& r = *Items(row);
  r.Items(col)->ColSpan = 1;
  for (int c = col + 1; c < col + colSpan; ++c) r.SetPlain(c);
}

void TRDTableRows::FreeCells(int row, int col, int colCount, int rowCount) {
  for (int r = row; r < row + rowCount; ++r)
    for (int c = col; c < col + colCount; ++c) Items(r)->SetItem(c, nullptr);
}

void TRDTableRows::RecreateCells(int row, int col, int colCount, int rowCount) {
  for (int r = row; r < row + rowCount; ++r)
    for (int c = col; c < col + colCount; ++c) Items(r)->SetPlain(c);
}

void TRDTableRows::InsertEmptySlots(int row, int col, int colCount, int rowCount) {
  for (int r = row; r < row + rowCount; ++r)
    for (int i = 0; i < colCount; ++i) Items(r)->InsertEmptySlot(col);
}

void TRDTableRows::DeleteSlots(int row, int col, int colCount, int rowCount) {
  for (int r = row; r < row + rowCount; ++r)
    for (int i = 0; i < colCount; ++i) Items(r)->DeleteSlot(col);
}

void TRDTableRows::SplitCellHorz(int row, int col, int atRow, bool decreaseHeight) {
  TRDTableCellData& cell = *Cell(row, col);
  const int oldSpan = cell.RowSpan;
  const int oldHeight = cell.BestHeight;
  TRDTableRow& lower = *Items(atRow);
  lower.SetItem(col, NewCell(&lower));
  TRDTableCellData& part = *lower.Items(col);
  part.AssignAttributesFrom(cell, false, 1, 1);
  part.BestWidth = cell.BestWidth;
  part.ColSpan = cell.ColSpan;
  part.RowSpan = row + oldSpan - atRow;
  part.BestHeight = int(std::int64_t(oldHeight) * part.RowSpan / oldSpan);
  if (decreaseHeight)
    cell.BestHeight = int(std::int64_t(oldHeight) * (oldSpan - part.RowSpan) / oldSpan);
  cell.RowSpan -= part.RowSpan;
}

void TRDTableRows::UnsplitCellHorz(int row, int col, int atRow, int oldBestHeight) {
  TRDTableCellData& cell = *Cell(row, col);
  cell.BestHeight = oldBestHeight;
  cell.RowSpan += Cell(atRow, col)->RowSpan;
  Items(atRow)->SetItem(col, nullptr);
}

void TRDTableRows::SplitCellVert(int row, int col, int atCol, bool decreaseWidth) {
  TRDTableCellData& cell = *Cell(row, col);
  const int oldSpan = cell.ColSpan;
  const int oldWidth = cell.BestWidth;
  TRDTableRow& r = *Items(row);
  r.SetItem(atCol, NewCell(&r));
  TRDTableCellData& part = *r.Items(atCol);
  part.AssignAttributesFrom(cell, false, 1, 1);
  part.BestHeight = cell.BestHeight;
  part.RowSpan = cell.RowSpan;
  part.ColSpan = col + oldSpan - atCol;
  part.BestWidth = int(std::int64_t(oldWidth) * part.ColSpan / oldSpan);
  if (decreaseWidth)
    cell.BestWidth = int(std::int64_t(oldWidth) * (oldSpan - part.ColSpan) / oldSpan);
  cell.ColSpan -= part.ColSpan;
}

void TRDTableRows::UnsplitCellVert(int row, int col, int atCol, int oldBestWidth) {
  TRDTableCellData& cell = *Cell(row, col);
  cell.BestWidth = oldBestWidth;
  cell.ColSpan += Cell(row, atCol)->ColSpan;
  Items(row)->SetItem(atCol, nullptr);
}

void TRDTableRows::InsertNewRows(int index, int count) {
  const int colCount = GetColCount();
  for (int i = 0; i < count; ++i) InsertRow(index, colCount);
}

void TRDTableRows::FreeRows(int index, int count) {
  rows_.erase(rows_.begin() + index, rows_.begin() + index + count);
}

std::vector<std::unique_ptr<TRDTableRow>> TRDTableRows::RemoveRows(int index, int count) {
  std::vector<std::unique_ptr<TRDTableRow>> removed;
  for (int i = 0; i < count; ++i) removed.push_back(TakeRow(index));
  return removed;
}

void TRDTableRows::RestoreRows(int index, std::vector<std::unique_ptr<TRDTableRow>>& rows) {
  const int count = int(rows.size());
  for (int i = count - 1; i >= 0; --i) InsertRowObject(index, std::move(rows[size_t(i)]));
  rows.clear();
  for (int r = index; r < index + count; ++r)
    for (int c = 0; c < Items(r)->Count(); ++c)
      if (TRDTableCellData* cell = Items(r)->Object(c)) cell->MovingFromUndoList();
}

std::vector<std::unique_ptr<TRDTableCellData>> TRDTableRows::RemoveCols(int index, int count) {
  std::vector<std::unique_ptr<TRDTableCellData>> removed;
  for (int r = 0; r < Count(); ++r)
    for (int c = index + count - 1; c >= index; --c) removed.push_back(Items(r)->DeleteSlot(c));
  return removed;
}

void TRDTableRows::RestoreCols(int index, std::vector<std::unique_ptr<TRDTableCellData>>& cells) {
  const int rowCount = Count();
  if (rowCount == 0) return;
  const int perRow = int(cells.size()) / rowCount;
  size_t k = 0;
  for (int r = 0; r < rowCount; ++r)
    for (int i = 0; i < perRow; ++i, ++k) Items(r)->InsertCellObject(index, std::move(cells[k]));
  cells.clear();
  for (int r = 0; r < rowCount; ++r)
    for (int c = index; c < index + perRow; ++c)
      if (TRDTableCellData* cell = Items(r)->Object(c)) cell->MovingFromUndoList();
}

void TRDTableRows::SetSpan(int row, int col, int value, bool isColSpan) {
  TRDTableCellData& cell = *Cell(row, col);
  int& span = isColSpan ? cell.ColSpan : cell.RowSpan;
  if (Undo) Undo->SpanChanged(isColSpan, row, col, span);
  span = value;
}

void TRDTableRows::CopyToNewCell(int row, int col, const TRDTableCellData& source, int bestWidth,
                                 int bestHeight, int rowSpan) {
  Table->AssignCellAttributes(-1, row, col, source, false, 1, 1);
  Table->SetCellBestWidth(-1, bestWidth, row, col);
  Table->SetCellBestHeight(-1, bestHeight, row, col);
  if (rowSpan != 1) SetSpan(row, col, rowSpan, false);
}

// --- merging ----------------------------------------------------------------------------------

bool TRDTableRows::CanMergeCells(int topRow, int leftCol, int colCount, int rowCount,
                                 bool allowMergeRC) const {
  int cells = 0;
  for (int r = topRow; r < topRow + rowCount; ++r)
    for (int c = leftCol; c < leftCol + colCount; ++c) {
      int mr, mc;
      const TRDTableCellData* cell = PeekMainCell(r, c, mr, mc);
      if (!cell || mr < topRow || mc < leftCol || mr + cell->RowSpan > topRow + rowCount ||
          mc + cell->ColSpan > leftCol + colCount)
        return false;
      if (mr == r && mc == c) ++cells;
    }
  if (allowMergeRC) return cells > 1;
  // No row or column may be left without a cell slot of its own.
  if (colCount > 1)
    for (int c = leftCol + 1; c < leftCol + colCount; ++c) {
      bool own = false;
      for (int r = 0; r < Count() && !own; ++r)
        if ((r < topRow || r >= topRow + rowCount) && Peek(r, c)) own = true;
      if (!own) return false;
    }
  if (rowCount > 1)
    for (int r = topRow + 1; r < topRow + rowCount; ++r) {
      bool own = false;
      for (int c = 0; c < Items(r)->Count() && !own; ++c)
        if ((c < leftCol || c >= leftCol + colCount) && Peek(r, c)) own = true;
      if (!own) return false;
    }
  return true;
}

void TRDTableRows::MergeCells(int topRow, int leftCol, int colCount, int rowCount,
                              bool allowMergeRC, bool changeBestWidth) {
  if (topRow < 0 || topRow >= Count() || leftCol < 0 || leftCol >= Items(topRow)->Count())
    throw ERichDocError("Parameters for cell merging are not correct");
  rowCount = std::min(rowCount, Count() - topRow);
  colCount = std::min(colCount, Items(topRow)->Count() - leftCol);
  if (colCount < 2 && rowCount < 2) return;
  if (colCount < 1 || rowCount < 1)
    throw ERichDocError("Parameters for cell merging are not correct");
  TRDTableCellData* main = Cell(topRow, leftCol);
  if (!main || (main->ColSpan >= colCount && main->RowSpan >= rowCount)) return;
  if (!CanMergeCells(topRow, leftCol, colCount, rowCount, allowMergeRC)) {
    if (MainRDData) MainRDData->Beep();
    return;
  }
  const int oldColSpan = main->ColSpan, oldRowSpan = main->RowSpan, oldWidth = main->BestWidth;
  if (Undo) Undo->BeginOperation();
  std::vector<TRDMergedCell> merged =
      DoMergeCells(topRow, leftCol, colCount, rowCount, changeBestWidth, Undo != nullptr);
  if (Undo) {
    Undo->CellsMerged(topRow, leftCol, oldColSpan, oldRowSpan, colCount, rowCount, oldWidth,
                      std::move(merged));
    Undo->EndOperation();
  }
}

std::vector<TRDMergedCell> TRDTableRows::DoMergeCells(int topRow, int leftCol, int colCount,
                                                      int rowCount, bool changeBestWidth,
                                                      bool keep) {
  TRDTableCellData& main = *Cell(topRow, leftCol);
  if (changeBestWidth) main.BestWidth = GetMergedBestWidth(topRow, leftCol, colCount, rowCount);
  std::vector<TRDMergedCell> merged;
  UnlistMarkers(main);
  for (int r = topRow; r < topRow + rowCount; ++r)
    for (int c = leftCol; c < leftCol + colCount; ++c) {
      if (r == topRow && c == leftCol) continue;
      if (IsPlain(r, c)) {
        Items(r)->SetItem(c, nullptr);
        if (keep) merged.push_back(TRDMergedCell{r, c, 0, nullptr});
        continue;
      }
      TRDTableCellData* cell = Object(r, c);
      if (!cell) continue;
      const bool content = cell->HasData(false);
      const int itemCount = content ? cell->GetItemCount() : 0;
      if (content) {
        UnlistMarkers(*cell);
        main.MoveItemsFrom(*cell);
      }
      std::unique_ptr<TRDTableCellData> taken = Items(r)->TakeItem(c);
      if (keep) {
        taken->InSelection = false;
        taken->MovingToUndoList(Undo, MainRDData);
        merged.push_back(TRDMergedCell{r, c, itemCount, std::move(taken)});
      }
    }
  main.ColSpan = colCount;
  main.RowSpan = rowCount;
  ClearLayout(main);
  ListMarkers(main);
  return merged;
}

void TRDTableRows::UndoMergeCells(int row, int col, int oldColSpan, int oldRowSpan,
                                  std::vector<TRDMergedCell>& cells, int oldBestWidth) {
  TRDTableCellData& main = *Cell(row, col);
  main.BestWidth = oldBestWidth;
  UnlistMarkers(main);
  int n = main.GetItemCount();
  std::vector<TRDTableCellData*> restored;
  for (int k = int(cells.size()) - 1; k >= 0; --k) {
    TRDMergedCell& entry = cells[size_t(k)];
    if (!entry.Cell) {
      Items(entry.Row)->SetPlain(entry.Col);
      continue;
    }
    TRDTableCellData& cell = *entry.Cell;
    Items(entry.Row)->SetItem(entry.Col, std::move(entry.Cell));
    cell.MovingFromUndoList();
    n -= entry.ItemCount;
    if (entry.ItemCount > 0) {
      cell.Clear();
      MoveItemRange(main, n, entry.ItemCount, cell);
    }
    restored.push_back(&cell);
  }
  cells.clear();
  main.ColSpan = oldColSpan;
  main.RowSpan = oldRowSpan;
  ClearLayout(main);
  ListMarkers(main);
  for (TRDTableCellData* cell : restored) ListMarkers(*cell);
}

// --- inserting --------------------------------------------------------------------------------

void TRDTableRows::InsertCols(int index, int count, int copyIndex, bool divideWidths) {
  const int colCount = GetColCount();
  if (index < 0 || index > colCount || copyIndex < -1 || copyIndex >= colCount || count < 1 ||
      !HoldsSlots(Count(), std::int64_t(colCount) + count))
    BadIndex();
  if (Undo) Undo->BeginOperation();
  std::vector<char> flags(size_t(Count()), 0);
  if (index != colCount)
    for (int r = Count() - 1; r >= 0;) {
      int mr, mc;
      TRDTableCellData* cell = PeekMainCell(r, index, mr, mc);
      if (cell && index > mc && index <= mc + cell->ColSpan - 1) {
        for (int k = mr; k < mr + cell->RowSpan; ++k) flags[size_t(k)] = 1;
        SetSpan(mr, mc, cell->ColSpan + count, true);
      }
      r = cell ? mr - 1 : r - 1;
    }
  for (int r = 0; r < Count();) {
    if (flags[size_t(r)]) {
      InsertEmptySlots(r, index, count, 1);
      if (Undo) Undo->EmptySlotsInserted(r, index, count, 1);
      ++r;
      continue;
    }
    // A plain cell gives the new ones nothing a plain cell lacks.
    TRDTableCellData* source =
        copyIndex != -1 && !IsPlain(r, copyIndex) ? Cell(r, copyIndex) : nullptr;
    if (source && divideWidths)
      Table->SetCellBestWidth(
          -1, int(std::int64_t(source->BestWidth) * source->ColSpan / (source->ColSpan + count)), r,
          copyIndex);
    // copyIndex is a column index before the insertion; past it the source moved right.
    for (int i = 0; i < count; ++i) {
      Items(r)->InsertPlainSlot(index);
      if (Undo) Undo->NewCellInserted(r, index);
      if (source)
        CopyToNewCell(r, index, *source, source->BestWidth / source->ColSpan, source->BestHeight,
                      source->RowSpan);
    }
    if (source) {
      const int span = source->RowSpan;
      if (span > 1) {
        InsertEmptySlots(r + 1, index, count, span - 1);
        if (Undo) Undo->EmptySlotsInserted(r + 1, index, count, span - 1);
      }
      r += span;
    } else {
      ++r;
    }
  }
  if (Undo) Undo->EndOperation();
}

void TRDTableRows::InsertRows(int index, int count, int copyIndex, bool divideHeights) {
  const int rowCount = Count();
  if (index < 0 || index > rowCount || copyIndex < -1 || copyIndex >= rowCount || count < 1 ||
      !HoldsSlots(std::int64_t(rowCount) + count, GetColCount()))
    BadIndex();
  if (Undo) Undo->BeginOperation();
  const int colCount = GetColCount();
  std::vector<char> flags(size_t(colCount), 0);
  if (index != rowCount)
    for (int c = colCount - 1; c >= 0;) {
      int mr, mc;
      TRDTableCellData* cell = PeekMainCell(index, c, mr, mc);
      if (cell && index > mr && index <= mr + cell->RowSpan - 1) {
        for (int k = mc; k < mc + cell->ColSpan; ++k) flags[size_t(k)] = 1;
        SetSpan(mr, mc, cell->RowSpan + count, false);
      }
      c = cell ? mc - 1 : c - 1;
    }
  if (copyIndex >= index) copyIndex += count;
  InsertNewRows(index, count);
  if (Undo) Undo->NewRowsInserted(index, count);
  for (int c = 0; c < colCount;) {
    if (flags[size_t(c)]) {
      FreeCells(index, c, 1, count);
      if (Undo) Undo->EmptyCellsFreed(index, c, 1, count);
      ++c;
      continue;
    }
    TRDTableCellData* source =
        copyIndex != -1 && !IsPlain(copyIndex, c) ? Cell(copyIndex, c) : nullptr;
    if (!source) {
      ++c;
      continue;
    }
    if (divideHeights)
      Table->SetCellBestHeight(
          -1, int(std::int64_t(source->BestHeight) * source->RowSpan / (source->RowSpan + count)),
          copyIndex, c);
    for (int r = index; r < index + count; ++r) {
      CopyToNewCell(r, c, *source, source->BestWidth, source->BestHeight / source->RowSpan, 1);
      if (source->ColSpan > 1) {
        SpreadCellOverSlots(r, c, source->ColSpan);
        if (Undo) Undo->CellSpread(r, c, source->ColSpan);
      }
    }
    c += source->ColSpan;
  }
  if (Undo) Undo->EndOperation();
}

// --- deleting ---------------------------------------------------------------------------------

void TRDTableRows::DeleteRows(int index, int count, bool decreaseHeight) {
  const int rowCount = Count();
  if (index < 0 || index >= rowCount || count < 1 || (index == 0 && count > rowCount)) BadIndex();
  count = std::min(count, rowCount - index);
  if (Undo) Undo->BeginOperation();
  const int colCount = GetColCount();
  const int below = index + count;
  // Cells that start inside the block and reach below it are cut at its lower edge.
  if (below < rowCount)
    for (int c = colCount - 1; c >= 0;) {
      int mr, mc;
      TRDTableCellData* cell = PeekMainCell(below - 1, c, mr, mc);
      if (!cell) {
        --c;
        continue;
      }
      if (mr >= index && mr + cell->RowSpan > below) {
        const int oldHeight = cell->BestHeight;
        SplitCellHorz(mr, mc, below, decreaseHeight);
        if (Undo) Undo->CellSplit(true, mr, mc, below, decreaseHeight, oldHeight);
      }
      c = mc - 1;
    }
  // Cells that start above the block lose the rows of the block.
  for (int c = colCount - 1; c >= 0;) {
    int mr, mc;
    TRDTableCellData* cell = PeekMainCell(index, c, mr, mc);
    if (!cell) {
      --c;
      continue;
    }
    if (mr < index) {
      const int span = cell->RowSpan;
      const int r = mr + span > below ? span - count : index - mr;
      if (decreaseHeight)
        Table->SetCellBestHeight(-1, int(std::int64_t(cell->BestHeight) * r / span), mr, mc);
      SetSpan(mr, mc, r, false);
    }
    c = mc - 1;
  }
  std::vector<std::unique_ptr<TRDTableRow>> removed = RemoveRows(index, count);
  if (Undo) {
    for (auto& row : removed)
      for (int c = 0; c < row->Count(); ++c)
        if (TRDTableCellData* cell = row->Object(c)) cell->MovingToUndoList(Undo, MainRDData);
    Undo->RowsDeleted(index, std::move(removed));
    Undo->EndOperation();
  }
}

void TRDTableRows::DeleteCols(int index, int count, bool decreaseWidth) {
  const int colCount = GetColCount();
  if (index < 0 || index >= colCount || count < 1 || (index == 0 && count > colCount)) BadIndex();
  count = std::min(count, colCount - index);
  if (Undo) Undo->BeginOperation();
  const int right = index + count;
  if (right < colCount)
    for (int r = Count() - 1; r >= 0;) {
      int mr, mc;
      TRDTableCellData* cell = PeekMainCell(r, right - 1, mr, mc);
      if (!cell) {
        --r;
        continue;
      }
      if (mc >= index && mc + cell->ColSpan > right) {
        const int oldWidth = cell->BestWidth;
        SplitCellVert(mr, mc, right, decreaseWidth);
        if (Undo) Undo->CellSplit(false, mr, mc, right, decreaseWidth, oldWidth);
      }
      r = mr - 1;
    }
  for (int r = Count() - 1; r >= 0;) {
    int mr, mc;
    TRDTableCellData* cell = PeekMainCell(r, index, mr, mc);
    if (!cell) {
      --r;
      continue;
    }
    if (mc < index) {
      const int span = cell->ColSpan;
      const int c = mc + span > right ? span - count : index - mc;
      if (decreaseWidth)
        Table->SetCellBestWidth(-1, int(std::int64_t(cell->BestWidth) * c / span), mr, mc);
      SetSpan(mr, mc, c, true);
    }
    r = mr - 1;
  }
  std::vector<std::unique_ptr<TRDTableCellData>> removed = RemoveCols(index, count);
  if (Undo) {
    for (auto& cell : removed)
      if (cell) cell->MovingToUndoList(Undo, MainRDData);
    Undo->ColsDeleted(index, count, std::move(removed));
    Undo->EndOperation();
  }
}

// --- clearing ---------------------------------------------------------------------------------

std::vector<std::unique_ptr<TRDTableCellData>> TRDTableRows::TakeClearedCells(
    const TRDIntegerList& rowList, const TRDIntegerList& colList) {
  std::vector<std::unique_ptr<TRDTableCellData>> old;
  for (int i = 0; i < rowList.Count(); ++i) {
    TRDTableRow& row = *Items(rowList[i]);
    std::unique_ptr<TRDTableCellData> cell = row.TakeItem(colList[i]);
    row.SetItem(colList[i], NewCell(&row));
    TRDTableCellData& fresh = *row.Items(colList[i]);
    fresh.AssignAttributesFrom(*cell, true, 1, 1);
    fresh.AssignSizeFrom(*cell);
    fresh.ColSpan = cell->ColSpan;
    fresh.RowSpan = cell->RowSpan;
    cell->InSelection = false;
    cell->MovingToUndoList(Undo, MainRDData);
    old.push_back(std::move(cell));
  }
  return old;
}

void TRDTableRows::RestoreClearedCells(const TRDIntegerList& rowList, const TRDIntegerList& colList,
                                       std::vector<std::unique_ptr<TRDTableCellData>>& cells) {
  for (int i = 0; i < rowList.Count() && size_t(i) < cells.size(); ++i) {
    TRDTableCellData& cell = *cells[size_t(i)];
    Items(rowList[i])->SetItem(colList[i], std::move(cells[size_t(i)]));
    cell.MovingFromUndoList();
  }
  cells.clear();
}

void TRDTableRows::ClearCells(const TRDIntegerList& rowList, const TRDIntegerList& colList) {
  if (Undo) {
    Undo->BeginOperation();
    Undo->CellsCleared(rowList, colList, TakeClearedCells(rowList, colList));
    Undo->EndOperation();
    return;
  }
  for (int i = 0; i < rowList.Count(); ++i) {
    TRDTableCellData& cell = *Cell(rowList[i], colList[i]);
    cell.Clear();
    cell.AddText("", 0, 0);
  }
}
