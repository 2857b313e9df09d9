// Tables of an RTF import. Rows are collected as they end, with their cells' content and
// properties; when the table ends, the column edges of all rows (\trleft and every
// \cellx, edges within 1 twip of each other counting as one) give the table's columns,
// each cell spans the columns between its left and right edges, and merged cells
// (\clmrg, \clvmrg) join the cell on their left or above.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/table_budget.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_importer.h"
#include "richtext_edit/rtf/rtf_importer_state.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));
}

// More columns than a row may have cells: a file whose rows keep naming new edges would
// otherwise widen every row above again and again.
constexpr int kMaxColumns = int(TRDRTFRowProperties::kMaxCells);
// A cell without its \cellx gets this width (one inch) so that its text is kept.
constexpr int kDefaultCellWidth = 1440;

// The padding of a row's side in twips: the cells' own where they give it (the table has
// one padding for all its cells, so the widest), else the row's.
int SidePadding(const TRDRTFRowProperties& row, size_t side) {
  int padding = row.PaddingInTwips[side] ? row.Padding[side] : 0;
  bool cellsGiven = false;
  for (const TRDRTFCellProperties& cell : row.Cells)
    if (cell.PaddingInTwips[side]) {
      padding = cellsGiven ? std::max(padding, cell.Padding[side]) : cell.Padding[side];
      cellsGiven = true;
    }
  return padding;
}

bool HasKind(const std::optional<TRDRTFBorderSide>& side) {
  return side && side->Style != 0;
}

// The ascending column edges of a table, in twips.
class TColumnEdges {
 public:
  void Add(int x) {
    auto it = std::lower_bound(edges_.begin(), edges_.end(), x - 1);
    if (it != edges_.end() && *it <= x + 1) return;
    if (int(edges_.size()) > kMaxColumns) return;  // the edge falls into a column we have
    edges_.insert(it, x);
  }
  // The edge at or beyond x (within 1 twip), the last one when x is beyond all.
  int IndexOf(int x) const {
    auto it = std::lower_bound(edges_.begin(), edges_.end(), x - 1);
    return it == edges_.end() ? int(edges_.size()) - 1 : int(it - edges_.begin());
  }
  int Count() const { return int(edges_.size()); }
  int operator[](int index) const { return edges_[size_t(index)]; }

 private:
  std::vector<int> edges_;
};

// The right edges of a row's cells: \cellx values, made to rise, and one for every cell
// the row holds without one.
std::vector<int> CellRights(const TRDRTFRowProperties& props, int cellCount) {
  std::vector<int> rights;
  int previous = props.Left;
  const int count = std::max(cellCount, int(props.Cells.size()));
  for (int i = 0; i < count; ++i) {
    int x =
        i < int(props.Cells.size()) ? props.Cells[size_t(i)].Right : previous + kDefaultCellWidth;
    x = std::max(x, previous + 2);
    rights.push_back(x);
    previous = x;
  }
  return rights;
}

// Cell i of the row is merged into the next one (\clmrg).
bool JoinsNext(const TRDRTFRowProperties& props, size_t i) {
  return i + 1 < props.Cells.size() && props.Cells[i + 1].HMerge == 2;
}

// The right edge of cell i, or of the last cell merged into it.
int MergedRight(const TRDRTFRowProperties& props, const std::vector<int>& rights, size_t i) {
  while (i + 1 < rights.size() && JoinsNext(props, i)) ++i;
  return rights[i];
}

bool ContinuesVerticalMerge(const TRDRTFRowProperties& props) {
  return std::any_of(props.Cells.begin(), props.Cells.end(),
                     [](const TRDRTFCellProperties& cell) { return cell.VMerge == 2; });
}

// The cell objects a row of the table may make: one for each cell with a look or text of
// its own, and one for the room left and right of the row's cells (plain cells and the
// slots a merge covers have none).
std::int64_t RowObjects(const TRDRTFRowProperties& props, int cellCount, const TRDTableRow& cells) {
  const int count = std::max(cellCount, int(props.Cells.size()));
  std::int64_t objects = 2;
  for (int i = 0; i < count; ++i)
    if (i < int(props.Cells.size()) || (i < cells.Count() && cells.Object(i))) ++objects;
  return objects;
}

// What a table of rows x cols slots and that many cell objects costs of the read's budget.
std::int64_t TableBytes(std::int64_t rows, std::int64_t cols, std::int64_t objects) {
  return TRDTableRows::GridBytes(rows, cols) + objects * TRDTableRows::kCellBytes;
}

// The cells of heading rows as read, for the tables that repeat them.
using THeadingCopies = std::vector<std::unique_ptr<TRDTableRow>>;

// A copy of a row's cells, their content through RDF (a copy keeps its text, styles,
// pictures and tables); the copy belongs to the same working table.
std::unique_ptr<TRDTableRow> CopyCells(const TRDTableRow& row) {
  auto copy = std::make_unique<TRDTableRow>(0, row.Rows);
  for (int i = 0; i < row.Count(); ++i) {
    TRDTableCellData* cell = row.Items(i);
    if (!cell) {
      copy->InsertEmptySlot(i);
      continue;
    }
    TMemoryStream content;
    SaveRDFToStream(*cell, content, false);
    content.SetPosition(0);
    copy->InsertCellObject(i, std::make_unique<TRDTableCellData>(copy.get()));
    copy->Items(i)->Clear();
    LoadRDFFromStream(*copy->Items(i), content);
  }
  return copy;
}

// The cells merged into the cell above them, gathered while the rows are built: a run of
// them is merged once, when it ends, rather than merged again and checked whole for every
// row it grows by. Until then the cells it covers stay in the grid, unused, and the
// questions below answer as the grid will once the runs are merged.
class TVerticalRuns {
 public:
  using TMerge = std::function<void(int top, int left, int colCount, int rowCount)>;
  TVerticalRuns(TRDTableRows& grid, int cols, TMerge merge)
      : grid_(grid), merge_(std::move(merge)), owner_(size_t(cols), -1), runs_(size_t(cols)) {}

  // The cell that covers (row, col).
  TRDTableCellData* MainCell(int row, int col, int& mRow, int& mCol) const {
    if (const TRun* run = RunAt(row, col)) {
      mRow = run->Top;
      mCol = run->Left;
      return grid_.Cell(run->Top, run->Left);
    }
    return grid_.GetMainCell(row, col, mRow, mCol);
  }
  // (row, col) lies in a run below its main cell.
  bool Covers(int row, int col) const {
    const TRun* run = RunAt(row, col);
    return run && row > run->Top;
  }
  // Cell (row, col), width columns wide, joins the cell above when that one (with what
  // has joined it) starts at col, is as wide and ends in the row above; false when the
  // cells do not line up so (the caller merges them in the grid).
  bool Extend(int row, int col, int width) {
    const TRDTableCellData* own = grid_.Peek(row, col);
    if (!own || own->ColSpan != width || own->RowSpan != 1) return false;
    if (TRun* run = RunAt(row - 1, col)) {
      if (run->Left != col || run->Width != width || run->Bottom != row - 1) return false;
      run->Bottom = row;
      return true;
    }
    int mRow, mCol;
    const TRDTableCellData* above = grid_.PeekMainCell(row - 1, col, mRow, mCol);
    if (!above || mCol != col || above->ColSpan != width || mRow + above->RowSpan != row)
      return false;
    for (int c = col; c < col + width; ++c)
      if (owner_[size_t(c)] >= 0) return false;
    runs_[size_t(col)] = TRun{mRow, col, width, row};
    for (int c = col; c < col + width; ++c) owner_[size_t(c)] = col;
    return true;
  }
  // Merges the runs that row did not continue.
  void MergeEndedBefore(int row) {
    for (int col = 0; col < int(runs_.size()); ++col)
      if (runs_[size_t(col)] && runs_[size_t(col)]->Bottom < row) Merge(col);
  }
  void MergeAll() { MergeEndedBefore(grid_.Count()); }

 private:
  struct TRun {
    int Top, Left, Width, Bottom;
  };
  const TRun* RunAt(int row, int col) const {
    if (row < 0 || col < 0 || col >= int(owner_.size()) || owner_[size_t(col)] < 0) return nullptr;
    const TRun& run = *runs_[size_t(owner_[size_t(col)])];
    return row >= run.Top && row <= run.Bottom ? &run : nullptr;
  }
  TRun* RunAt(int row, int col) { return const_cast<TRun*>(std::as_const(*this).RunAt(row, col)); }
  void Merge(int col) {
    const TRun run = *runs_[size_t(col)];
    runs_[size_t(col)].reset();
    for (int c = run.Left; c < run.Left + run.Width; ++c) owner_[size_t(c)] = -1;
    merge_(run.Top, run.Left, run.Width, run.Bottom - run.Top + 1);
  }

  TRDTableRows& grid_;
  TMerge merge_;
  std::vector<int> owner_;                 // per column: the left column of its run, or -1
  std::vector<std::optional<TRun>> runs_;  // by left column
};

}  // namespace

void TRDRTFImporter::TableEvent(TRDRTFTableEventKind kind) {
  switch (kind) {
    case rdf_tbl_TableStart:
      StartTable();
      break;
    case rdf_tbl_CellEnd:
      if (!tables_.empty()) EndCell();
      break;
    case rdf_tbl_RowEnd:
      if (!tables_.empty()) EndRow();
      break;
    case rdf_tbl_TableEnd:
      if (!tables_.empty()) EndTable();
      break;
  }
}

void TRDRTFImporter::StartTable() {
  // Hidden text whose paragraph runs on into the table began no paragraph that shows:
  // the table starts it.
  if (reader_->NextPosition() == rtf_ts_ContinuePara) held_break_ = rtf_ts_ContinuePara;
  SettleHeldBreak();
  auto info = std::make_unique<TTableInfo>();
  info->Enclosing = current_;
  info->SavedRow = row_;
  info->SavedCol = col_;
  if (page_break_pending_ && page_break_data_ == current_) {
    info->PageBreak = true;
    page_break_pending_ = false;
  }
  // The first row's definition, with its alignment, comes before the table starts.
  if (reader_->RowAlignmentSet()) info->Alignment = reader_->RowAlignment();
  info->WorkRow = std::make_unique<TRDTableItemInfo>(1, 1, &workbench_);
  TRDTableCellData* cell = info->WorkRow->Cells(0, 0);
  cell->Clear();
  EnterData(cell);
  row_ = 0;
  col_ = 0;
  tables_.push_back(std::move(info));
}

void TRDRTFImporter::EndCell() {
  SettleHeldBreak();
  TTableInfo& info = *tables_.back();
  TRDTableRow& row = *info.WorkRow->Rows->Items(0);
  // A cell that holds nothing (or only the empty paragraph an emptied cell gets) keeps no
  // cell object: its slot stays empty and the same object takes the next cell.
  std::unique_ptr<TRDTableCellData> next;
  if (row.Items(col_)->GetItemCount() == 0 || HoldsEmptyParagraphOnly(*row.Items(col_))) {
    next = row.TakeItem(col_);
  } else {
    next = std::make_unique<TRDTableCellData>(&row);
  }
  next->Clear();
  ++col_;
  row.InsertCellObject(col_, std::move(next));
  EnterData(row.Items(col_));
}

void TRDRTFImporter::EndRow() {
  // Hidden text between the last cell and the row's end began no paragraph of a cell.
  held_break_ = rtf_ts_ContinuePara;
  TTableInfo& info = *tables_.back();
  TRDRTFReaderState& state = reader_->State();
  const TRDRTFRowProperties& props = state.GetRowProps();
  TTableInfo::TRow record;
  if (!info.Rows.empty() && *info.Rows.back().Props == props)
    record.Props = info.Rows.back().Props;
  else
    record.Props = std::make_shared<const TRDRTFRowProperties>(props);
  record.CellCount = col_;
  TRDTableRows& work = *info.WorkRow->Rows;
  TRDTableRow& cells = *work.Items(0);
  // Text after the last \cell still belongs to the row.
  if (cells.Items(col_)->GetItemCount() > 0) record.CellCount = col_ + 1;
  // Empty cells beyond those the row defines add no column (LibreOffice ends one cell too
  // many after a nested table); one that holds something stays.
  const int defined = int(props.Cells.size());
  const auto holdsData = [&cells](int col) {
    return cells.Items(col) && cells.Items(col)->HasData(false);
  };
  while (defined > 0 && record.CellCount > defined && !holdsData(record.CellCount - 1))
    --record.CellCount;
  // The cell being read, when still empty, goes on as the next row's first.
  std::unique_ptr<TRDTableCellData> open;
  if (cells.Items(col_)->GetItemCount() == 0 || HoldsEmptyParagraphOnly(*cells.Items(col_)))
    open = cells.TakeItem(col_);
  record.Cells = work.TakeRow(0);
  TRDTableRow& next = *work.AddRow(0);
  next.InsertCellObject(0, open ? std::move(open) : std::make_unique<TRDTableCellData>(&next));
  next.Items(0)->Clear();

  const bool first = info.Rows.empty();
  // Spacing and padding count only where given in twips.
  const auto& sp = props.Spacing;
  const auto& inTwips = props.SpacingInTwips;
  const bool topGiven = inTwips[1];
  const bool bottomGiven = inTwips[3] && sp[3] >= 0;
  const bool leftGiven = inTwips[0] && sp[0] >= 0;
  const bool rightGiven = inTwips[2] && sp[2] >= 0;
  const auto& sides = props.Border.Sides;
  if (topGiven) {
    if (!first) {
      info.VSpacing += sp[1];
    } else {
      info.OuterTop = sp[1];
      info.VisibleBorders.Top = HasKind(sides[1]);
      info.VisibleBorders.Left = HasKind(sides[0]);
      info.VisibleBorders.Right = HasKind(sides[2]);
    }
    if (sp[1] > 0) info.VSpacingGiven = true;
  }
  info.VisibleBorders.Bottom = HasKind(sides[3]);
  info.VSpacing += info.OuterBottom;
  info.OuterBottom = bottomGiven ? sp[3] : 0;
  if (bottomGiven && sp[3] > 0) info.VSpacingGiven = true;
  // A side without spacing of its own has what \trgaph leaves beyond its padding, and
  // none where the padding is wider.
  for (const int side : {0, 2}) {
    const bool given = side == 0 ? leftGiven : rightGiven;
    const int padding = props.PaddingInTwips[size_t(side)] ? props.Padding[size_t(side)] : 0;
    info.HSpacing += given ? sp[size_t(side)] : std::max(props.GapH - padding, 0);
    if (given && sp[size_t(side)] > 0) info.HSpacingGiven = true;
  }
  for (const auto& side : sides)
    if (HasKind(side)) {
      info.TableBorderSum += side->Width;
      ++info.TableBorderCount;
    }
  for (size_t side = 0; side < 4; ++side) info.Padding += SidePadding(props, side);
  info.PaddingCount += 4;
  if (props.HasComponentSizes) {
    info.ComponentSizes = true;
    info.BestWidth = props.BestWidth;
  } else if (info.BestWidth == 0 || (info.BestWidth < 0 && props.BestWidth < 0)) {
    info.BestWidth =
        info.BestWidth == 0 ? props.BestWidth : std::min(info.BestWidth, props.BestWidth);
  } else if (info.BestWidth > 0 && props.BestWidth > 0) {
    info.BestWidth = std::max(info.BestWidth, props.BestWidth);
  }
  if (HasKind(sides[0]))
    info.BorderLightColor = sides[0]->Color;
  else if (HasKind(sides[1]))
    info.BorderLightColor = sides[1]->Color;
  if (HasKind(sides[2]))
    info.BorderColor = sides[2]->Color;
  else if (HasKind(sides[3]))
    info.BorderColor = sides[3]->Color;
  for (const TRDRTFCellProperties& cell : props.Cells)
    if (cell.BestWidth != 0) info.CellHadBestWidth = true;
  if (reader_->RowAlignmentSet()) info.Alignment = reader_->RowAlignment();
  info.Rows.push_back(std::move(record));
  // Heading rows are those at the top of the table: a \trhdr row below a row without it
  // heads nothing (word processors repeat no such row).
  if (props.Heading && info.HeadingRowCount == int(info.Rows.size()) - 1)
    info.HeadingRowCount = int(info.Rows.size());
  ++row_;
  col_ = 0;
  EnterData(next.Items(0));
}

void TRDRTFImporter::AddEmptyParagraph(TCustomRDData& cell) {
  cell.AddText("", EmptyCellTextStyle(), matcher_.TableParaStyle(0));
}

int TRDRTFImporter::EmptyCellTextStyle() const {
  return options_.TextStyleMode == rdrsUseSpecified ? options_.TextStyleNo() : 0;
}

bool TRDRTFImporter::PlainCellsEmpty() {
  return EmptyCellTextStyle() == 0 && matcher_.TableParaStyle(0) == 0;
}

bool TRDRTFImporter::HoldsEmptyParagraphOnly(const TCustomRDData& cell) {
  if (cell.GetItemCount() != 1 || !cell.GetItemTextRaw(0).empty()) return false;
  const TCustomRDItemInfo& item = *cell.GetItem(0);
  return item.StyleNo == EmptyCellTextStyle() && item.ParaNo == matcher_.TableParaStyle(0) &&
         !item.Checkpoint && item.Tag == TRDTag{} && item.IsParaStart() &&
         !item.GetPageBreakBefore();
}

void TRDRTFImporter::EmptyCell(TRDTableItemInfo& table, int row, int col, bool hideBorders) {
  TRDTableRow& line = *table.Rows->Items(row);
  if (!hideBorders && line.IsPlain(col) && PlainCellsEmpty()) return;
  TRDTableCellData& cell = *line.Items(col);
  cell.Clear();
  if (hideBorders) cell.VisibleBorders.SetAll(false);
  AddEmptyParagraph(cell);
  // A cell as made keeps no object.
  if (cell.IsPlain()) line.SetPlain(col);
}

// The table of an RTF table that ended, built from the rows collected from first on, as
// many as a table and the read's slots left may hold: its columns from the edges of
// those rows, each row's cells placed and merged in them, then the table's measures from
// what all the rows gave. A table that goes on from another starts with copies of the
// heading rows (headings, their cells' content as read).
class TRDRTFImporter::TTableBuilder {
 public:
  TTableBuilder(TRDRTFImporter& importer, TTableInfo& info, size_t first,
                const THeadingCopies* headings)
      : importer_(importer),
        info_(info),
        p_(importer.pixels_per_twip_),
        first_(first),
        headings_(headings) {}
  // Null when not one row fits into the slots left.
  std::unique_ptr<TRDTableItemInfo> Build();
  size_t RowsBuilt() const { return rows_.size() - repeated_; }

 private:
  // The rows the table takes: as many as fit, but a vertical merge that the table's bound
  // would cut goes on whole in the next table.
  void ChooseRows();
  void AddEdges(TColumnEdges& edges, size_t row, const std::vector<int>& rights) const;
  void Merge(int top, int left, int colCount, int rowCount);
  void FillRow(int r, TVerticalRuns& runs);
  void SetCellLook(TRDTableCellData& own, const TRDRTFCellProperties& cellProps,
                   const TRDRTFRowProperties& rowProps, int widthInTwips);
  void SetTableMeasures();

  TRDRTFImporter& importer_;
  TTableInfo& info_;
  const double p_;
  const size_t first_;
  const THeadingCopies* headings_;
  size_t repeated_ = 0;
  TColumnEdges edges_;
  // The rows taken (indices into info_.Rows), with the right edges of their cells.
  std::vector<size_t> rows_;
  std::vector<std::vector<int>> rights_;
  // The cell objects the rows taken may make (RowObjects).
  std::int64_t objects_ = 0;
  int cols_ = 0;
  std::unique_ptr<TRDTableItemInfo> table_;
};

void TRDRTFImporter::TTableBuilder::AddEdges(TColumnEdges& edges, size_t row,
                                             const std::vector<int>& rights) const {
  const TRDRTFRowProperties& props = *info_.Rows[row].Props;
  edges.Add(props.Left);
  // A cell merged into the next (\clmrg) ends no column: the merged cell is one cell
  // from its left edge to the right edge of the last cell merged into it.
  for (size_t i = 0; i < rights.size(); ++i)
    if (!JoinsNext(props, i)) edges.Add(rights[i]);
}

void TRDRTFImporter::TTableBuilder::ChooseRows() {
  const auto take = [this](size_t repeated) {
    repeated_ = repeated;
    objects_ = 0;
    rows_.clear();
    rights_.clear();
    edges_ = TColumnEdges();
    std::vector<size_t> candidates;
    for (size_t h = 0; h < repeated; ++h) candidates.push_back(h);
    for (size_t r = first_; r < info_.Rows.size(); ++r) candidates.push_back(r);
    for (const size_t r : candidates) {
      const TTableInfo::TRow& row = info_.Rows[r];
      rights_.push_back(CellRights(*row.Props, row.CellCount));
      TColumnEdges edges = edges_;
      AddEdges(edges, r, rights_.back());
      const std::int64_t cols = std::max(edges.Count() - 1, 1);
      const auto rowCount = std::int64_t(rows_.size()) + 1;
      const bool bound = rows_.size() > repeated && !TRDTableRows::HoldsSlots(rowCount, cols);
      const std::int64_t objects = objects_ + RowObjects(*row.Props, row.CellCount, *row.Cells);
      if (bound || TableBytes(rowCount, cols, objects) > TRDTableBudget::Left()) {
        rights_.pop_back();
        return bound;
      }
      edges_ = std::move(edges);
      rows_.push_back(r);
      objects_ = objects;
    }
    return false;
  };
  const size_t headings = headings_ && first_ > 0 ? headings_->size() : 0;
  bool boundReached = take(headings);
  // Headings that leave no room for a row of the table's own are not repeated.
  if (headings > 0 && rows_.size() <= headings) boundReached = take(0);
  if (rows_.size() <= repeated_) {
    rows_.clear();
    rights_.clear();
    return;
  }
  // A vertical merge that the bound cuts goes on whole in the next table: this one ends
  // before the merge's first row, unless the merge began with the table.
  if (!boundReached || !ContinuesVerticalMerge(*info_.Rows[rows_.back() + 1].Props)) return;
  size_t end = rows_.size() - 1;
  while (end > repeated_ && ContinuesVerticalMerge(*info_.Rows[rows_[end]].Props)) --end;
  if (end <= repeated_) return;
  rows_.resize(end);
  rights_.resize(end);
  edges_ = TColumnEdges();
  objects_ = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    AddEdges(edges_, rows_[i], rights_[i]);
    objects_ += RowObjects(*info_.Rows[rows_[i]].Props, info_.Rows[rows_[i]].CellCount,
                           *info_.Rows[rows_[i]].Cells);
  }
}

std::unique_ptr<TRDTableItemInfo> TRDRTFImporter::TTableBuilder::Build() {
  ChooseRows();
  if (rows_.empty()) return nullptr;
  if (edges_.Count() < 2) edges_.Add(edges_[0] + kDefaultCellWidth);
  cols_ = edges_.Count() - 1;
  TRDTableBudget::Take(TableBytes(std::int64_t(rows_.size()), cols_, objects_));
  table_ = std::make_unique<TRDTableItemInfo>(0, cols_, &importer_.workbench_);
  table_->SetColor(clNone);
  table_->SetBorderStyle(rdtbRaisedColor);
  table_->SetCellBorderStyle(rdtbLoweredColor);
  for (const auto setter :
       {&TRDTableItemInfo::SetBorderColor, &TRDTableItemInfo::SetBorderLightColor,
        &TRDTableItemInfo::SetCellBorderColor, &TRDTableItemInfo::SetCellBorderLightColor})
    (table_.get()->*setter)(clWindowText);
  TVerticalRuns runs(*table_->Rows, cols_, [this](int top, int left, int colCount, int rowCount) {
    Merge(top, left, colCount, rowCount);
  });
  for (int r = 0; r < int(rows_.size()); ++r) FillRow(r, runs);
  runs.MergeAll();
  SetTableMeasures();
  return std::move(table_);
}

void TRDRTFImporter::TTableBuilder::Merge(int top, int left, int colCount, int rowCount) {
  TRDTableRows& grid = *table_->Rows;
  if (colCount < 1 || rowCount < 1 || (colCount < 2 && rowCount < 2)) return;
  if (grid.CanMergeCells(top, left, colCount, rowCount, true))
    grid.MergeCells(top, left, colCount, rowCount, true, false);
}

// Row r of the grid: each cell spans the columns between its edges and joins the cell on
// its left (\clmrg) or above (\clvmrg); its text goes with it.
void TRDRTFImporter::TTableBuilder::FillRow(int r, TVerticalRuns& runs) {
  TRDTableRows& grid = *table_->Rows;
  const int cols = cols_;
  const TTableInfo::TRow& row = info_.Rows[rows_[size_t(r)]];
  const TRDRTFRowProperties& props = *row.Props;
  // A repeated heading row shows a copy of the heading's cells.
  const std::unique_ptr<TRDTableRow> copied =
      size_t(r) < repeated_ ? CopyCells(*(*headings_)[size_t(r)]) : nullptr;
  const TRDTableRow& cells = copied ? *copied : *row.Cells;
  grid.AddRow(cols);
  const std::vector<int>& xs = rights_[size_t(r)];
  // Past the edges a table keeps, a row's edges fall into columns of others; each cell not
  // merged into the one on its left still keeps a column of its own, so that no two
  // cells' texts become one: the cells after it leave it columns for theirs.
  const auto ownsColumn = [&props](int i) {
    return i >= int(props.Cells.size()) || props.Cells[size_t(i)].HMerge != 2;
  };
  int later = 0;
  for (int i = 1; i < int(xs.size()); ++i) later += ownsColumn(i);
  int start = std::clamp(edges_.IndexOf(props.Left), 0, std::max(cols - 1 - later, 0));
  if (start > 0) {  // room left of the row: one empty cell
    Merge(r, 0, start, 1);
    importer_.EmptyCell(*table_, r, 0, true);
  }
  for (int i = 0; i < int(xs.size()); ++i) {
    if (i > 0 && ownsColumn(i)) --later;
    const TRDRTFCellProperties* cellProps =
        i < int(props.Cells.size()) ? &props.Cells[size_t(i)] : nullptr;
    // A cell that ended empty left no cell object.
    TRDTableCellData* source = i < cells.Count() ? cells.Items(i) : nullptr;
    const bool read = i < row.CellCount;
    const bool holdsText = source && read && source->HasData(false);
    const std::uint8_t hMerge = cellProps ? cellProps->HMerge : 0;
    const std::uint8_t vMerge = cellProps ? cellProps->VMerge : 0;
    int mr, mc;
    if (start >= cols || (hMerge == 2 && start > 0 && edges_.IndexOf(xs[size_t(i)]) <= start)) {
      // No column left, or a cell merged into the one on its left that ends no column of
      // its own: the text joins the cell on the left.
      if (TRDTableCellData* left = runs.MainCell(r, start - 1, mr, mc); left && holdsText)
        left->MoveItemsFrom(*source);
      continue;
    }
    const int end =
        std::clamp(edges_.IndexOf(xs[size_t(i)]), start + 1, std::max(cols - later, start + 1));
    Merge(r, start, end - start, 1);
    // The first row of a table joins no cell above, even where it went on from another;
    // repeated heading rows join each other as the heading did, so that they write as it.
    const bool joinsAbove = vMerge == 2 && r > 0 && size_t(r) != repeated_;
    if (hMerge == 2 && start > 0) {
      runs.MergeAll();
      if (grid.PeekMainCell(r, start - 1, mr, mc)) Merge(mr, mc, end - mc, r - mr + 1);
    } else if (joinsAbove && !runs.Extend(r, start, end - start)) {
      runs.MergeAll();
      if (const TRDTableCellData* above = grid.PeekMainCell(r - 1, start, mr, mc))
        Merge(mr, mc, std::max(end - mc, above->ColSpan), r - mr + 1);
    }
    // The slot's own cell; its object is made only for a look or text of its own.
    const bool own = !runs.Covers(r, start) && grid.Peek(r, start);
    if (own && cellProps)
      SetCellLook(*grid.Cell(r, start), *cellProps, props,
                  MergedRight(props, xs, size_t(i)) - edges_[start]);
    if (own && read && !joinsAbove) {
      if (source) {
        TRDTableCellData& cell = *grid.Cell(r, start);
        cell.Clear();
        cell.MoveItemsFrom(*source);
      } else {
        importer_.EmptyCell(*table_, r, start, false);
      }
    } else if (holdsText) {
      // Text in a cell merged into another joins that cell rather than vanish.
      if (TRDTableCellData* main = runs.MainCell(r, start, mr, mc)) main->MoveItemsFrom(*source);
    }
    start = end;
  }
  // The room right of the row's cells: one emptied cell for each run of free slots.
  const auto free = [&](int c) { return grid.Peek(r, c) && !runs.Covers(r, c); };
  for (int c = start; c < cols;) {
    if (!free(c)) {
      ++c;
      continue;
    }
    int end = c + 1;
    while (end < cols && free(end)) ++end;
    Merge(r, c, end - c, 1);
    importer_.EmptyCell(*table_, r, c, true);
    c = end;
  }
  runs.MergeEndedBefore(r);
}

// The cell's look: colour, height, borders, width and vertical alignment; the table's
// border sums and colours learn from it.
void TRDRTFImporter::TTableBuilder::SetCellLook(TRDTableCellData& own,
                                                const TRDRTFCellProperties& cellProps,
                                                const TRDRTFRowProperties& rowProps,
                                                int widthInTwips) {
  own.Color = cellProps.Color;
  if (rowProps.HasComponentSizes)
    own.BestHeight = cellProps.BestHeight;
  else if (rowProps.Height > 0)
    own.BestHeight = Round(rowProps.Height * p_);
  own.VisibleBorders.SetAll(false);
  const auto& cs = cellProps.Border.Sides;
  own.VisibleBorders.SetValues(HasKind(cs[0]), HasKind(cs[1]), HasKind(cs[2]), HasKind(cs[3]));
  for (const auto& side : cs)
    if (HasKind(side)) {
      info_.CellBorderSum += side->Width;
      ++info_.CellBorderCount;
    }
  own.BorderColor = HasKind(cs[0]) ? cs[0]->Color : HasKind(cs[1]) ? cs[1]->Color : clNone;
  own.BorderLightColor = HasKind(cs[2]) ? cs[2]->Color : HasKind(cs[3]) ? cs[3]->Color : clNone;
  for (const TColor color : {own.BorderColor, own.BorderLightColor}) {
    if (color == clNone) continue;
    if (info_.CellBorderColor == clNone)
      info_.CellBorderColor = color;
    else if (color != info_.CellBorderColor)
      info_.CellBorderColorsAlike = false;
  }
  if (rowProps.HasComponentSizes) {
    own.BestWidth = cellProps.BestWidth;
  } else if (info_.CellHadBestWidth) {
    own.BestWidth =
        cellProps.BestWidth < 1 ? cellProps.BestWidth / 50 : Round(cellProps.BestWidth * p_);
  } else {
    own.BestWidth = Round(widthInTwips * p_);
  }
  own.VAlign = cellProps.VAlign == 1 ? rdcBottom : cellProps.VAlign == 2 ? rdcMiddle : rdcTop;
}

// The table's measures from what the rows gave: border styles and colours, padding,
// spacing, widths; cells left without content get an empty paragraph.
void TRDRTFImporter::TTableBuilder::SetTableMeasures() {
  TTableInfo& info = info_;
  TRDTableItemInfo* table = table_.get();
  TRDTableRows& grid = *table->Rows;
  const double p = p_;
  if (info.CellBorderColorsAlike) table->SetCellBorderStyle(rdtbColor);
  table->SetBorderColor(info.BorderColor);
  table->SetBorderLightColor(info.BorderLightColor);
  if (table->BorderColor() == table->BorderLightColor()) table->SetBorderStyle(rdtbColor);
  table->SetVisibleBorders(info.VisibleBorders);
  const int padding = info.PaddingCount > 0 ? Round(info.Padding * p / info.PaddingCount) : 0;
  table->SetCellPadding(padding);
  const int rowCount = grid.Count();
  for (int r = 0; r < rowCount; ++r)
    for (int c = 0; c < cols_; ++c)
      if (TRDTableCellData* cell = grid.Object(r, c)) {
        if (!info.ComponentSizes && cell->BestWidth > 2 * padding) cell->BestWidth -= 2 * padding;
        cell->ClampSizes();
        if (cell->GetItemCount() == 0) importer_.EmptyCell(*table, r, c, false);
      }
  if (info.VSpacingGiven) {
    // The sums are over all the rows read, which may make more than this table.
    const auto rowsRead = std::int64_t(info.Rows.size());
    if (rowsRead > 1) table->SetCellVSpacing(Round(info.VSpacing * p / (rowsRead - 1)));
    table->SetBorderVSpacing(Round((info.OuterTop + info.OuterBottom) * p));
  } else {
    table->SetCellVSpacing(-1);
    table->SetBorderVSpacing(-1);
  }
  table->SetCellHSpacing(
      info.HSpacingGiven ? Round(info.HSpacing * p / std::int64_t(info.Rows.size())) : -1);
  table->SetBorderHSpacing(table->CellHSpacing());
  if (info.ComponentSizes) {
    table->SetBestWidth(info.BestWidth);
  } else if (info.BestWidth > 0) {
    const double border =
        info.TableBorderCount > 0 ? double(info.TableBorderSum) / info.TableBorderCount : 0;
    table->SetBestWidth(Round((info.BestWidth - border) * p));
  } else {
    table->SetBestWidth(info.BestWidth / 50);
  }
  const auto averageWidth = [p](long long sum, int count) {
    if (count <= 0) return 0;
    // A border thinner than a pixel (a hairline) is still a border: one pixel.
    const int width = Round(double(sum) * p / count);
    return width == 0 && sum > 0 ? 1 : width;
  };
  table->SetCellBorderWidth(averageWidth(info.CellBorderSum, info.CellBorderCount));
  table->SetBorderWidth(averageWidth(info.TableBorderSum, info.TableBorderCount));
  if (!info.VSpacingGiven && !info.HSpacingGiven &&
      table->BorderWidth() == table->CellBorderWidth()) {
    table->SetBorderWidth(0);
    table->SetBorderHSpacing(0);
    table->SetBorderVSpacing(0);
  }
  if (first_ == 0 && info.HeadingRowCount > 0)
    table->SetHeadingRowCount(std::min(info.HeadingRowCount, grid.Count()));
  else if (repeated_ > 0)
    table->SetHeadingRowCount(int(repeated_));
  if (importer_.options_.AutoHideTableGridLines) table->Options |= rdtoHideGridLines;
  table->ParaNo = importer_.matcher_.TableParaStyle(info.Alignment);
}

// Whether the rows may make more than one table: their slots, with as many columns as
// all their edges could make, are more than a table or the read may take.
bool TRDRTFImporter::MayTakeSeveralTables(const TTableInfo& info) const {
  std::int64_t edges = 1;
  for (const TTableInfo::TRow& row : info.Rows)
    edges += std::max<std::int64_t>(std::int64_t(row.Props->Cells.size()), row.CellCount) + 1;
  const std::int64_t rows = std::int64_t(info.Rows.size());
  const std::int64_t cols = std::min<std::int64_t>(edges, kMaxColumns + 1);
  std::int64_t objects = 0;
  for (const TTableInfo::TRow& row : info.Rows)
    objects += RowObjects(*row.Props, row.CellCount, *row.Cells);
  return !TRDTableRows::HoldsSlots(rows, cols) ||
         TableBytes(rows, cols, objects) > TRDTableBudget::Left();
}

void TRDRTFImporter::EndTable() {
  SettleHeldBreak();
  std::unique_ptr<TTableInfo> owned = std::move(tables_.back());
  tables_.pop_back();
  TTableInfo& info = *owned;
  EnterData(info.Enclosing);
  row_ = info.SavedRow;
  col_ = info.SavedCol;

  // Heading rows, as read, for the tables that may go on from the first.
  THeadingCopies headings;
  if (info.HeadingRowCount > 0 && size_t(info.HeadingRowCount) < info.Rows.size() &&
      MayTakeSeveralTables(info))
    for (int h = 0; h < info.HeadingRowCount; ++h)
      headings.push_back(CopyCells(*info.Rows[size_t(h)].Cells));
  // Rows beyond what one table may hold go on in a table of their own, so that every
  // table read can be written and read back; rows beyond what the read may build are
  // left out of the tables.
  size_t first = 0;
  while (first < info.Rows.size()) {
    TTableBuilder builder(*this, info, first, headings.empty() ? nullptr : &headings);
    std::unique_ptr<TRDTableItemInfo> table = builder.Build();
    if (!table) break;
    if (table->RowCount() > 0 && table->ColCount() > 0) {
      if (info.PageBreak && first == 0) {
        page_break_pending_ = true;
        page_break_data_ = current_;
      }
      TRDTableItemInfo& added = *table;
      AddItem("", std::move(table), rtf_ts_NewPara);
      if (cell_markers_ && current_->KeepsMarkerList()) added.NotifyCellItems();
    }
    // Headings that filled the first table whole are not repeated.
    if (first == 0 && builder.RowsBuilt() <= size_t(info.HeadingRowCount)) headings.clear();
    first += builder.RowsBuilt();
  }
  if (first < info.Rows.size()) {
    TCustomRDData& root = *target_.GetAbsoluteRootData();
    root.SetRDFWarnings(root.GetRDFWarnings() | rdfwTableCellsLeftOut);
    MoveRowsOut(info, first);
  }
  MoveOpenRowOut(info);
  // Every table read so far stands in the document now.
  if (current_->KeepsMarkerList()) cell_markers_ = false;
}

void TRDRTFImporter::MoveRowsOut(TTableInfo& info, size_t first) {
  for (size_t r = first; r < info.Rows.size(); ++r) {
    TRDTableRow& cells = *info.Rows[r].Cells;
    for (int c = 0; c < cells.Count(); ++c)
      if (TRDTableCellData* cell = cells.Items(c)) MoveCellOut(*cell);
  }
}

// Text of a row that never ended is kept as paragraphs of the enclosing document.
void TRDRTFImporter::MoveOpenRowOut(TTableInfo& info) {
  TRDTableRow& open = *info.WorkRow->Rows->Items(0);
  for (int c = 0; c < open.Count(); ++c)
    if (TRDTableCellData* cell = open.Items(c)) MoveCellOut(*cell);
}

void TRDRTFImporter::MoveCellOut(TRDTableCellData& cell) {
  const int count = cell.GetItemCount();
  if (count == 0 || !cell.HasData(false)) return;
  moving_out_table_ = true;
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(cell.GetItemTextRaw(i));
  std::vector<std::unique_ptr<TCustomRDItemInfo>> items = cell.Items.Delete(0, count);
  for (int i = 0; i < count; ++i) {
    TCustomRDItemInfo& item = *items[size_t(i)];
    const TRDRTFPosition position = item.IsParaStart()          ? rtf_ts_NewPara
                                    : item.GetLineBreakBefore() ? rtf_ts_NewLine
                                                                : rtf_ts_ContinuePara;
    AddItem(std::move(texts[size_t(i)]), std::move(items[size_t(i)]), position);
    // A finished table that comes out with the text.
    if (cell_markers_ && current_->KeepsMarkerList()) item.NotifyCellItems();
  }
  cell.Clear();
  moving_out_table_ = false;
}
