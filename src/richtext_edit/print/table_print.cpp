#include "richtext_edit/print/table_print.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "richtext/base/rd_colors.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/styles/rd_background.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

constexpr const char* kRowTooTall = "A table row is taller than the page: it is printed cut off";
constexpr const char* kBoundRows =
    "Merged cells join the table's rows on this page: the table is printed uncut";
constexpr const char* kBoundBreak =
    "A table row with a page break before it is joined to the rows above by merged cells: "
    "the page break is left out";
constexpr const char* kTooWide =
    "A table is wider than the page: what lies beyond its right edge is not printed";
constexpr const char* kCellTooNarrow =
    "A table cell has no room for its text between its borders: its text is not printed";

class TDeviceScope {
 public:
  TDeviceScope(TRDTableItemInfo& table, const TRDResolution* resolution)
      : table_(table), saved_(table.DeviceInfo) {
    table_.DeviceInfo = resolution;
  }
  ~TDeviceScope() { table_.DeviceInfo = saved_; }
  TDeviceScope(const TDeviceScope&) = delete;
  TDeviceScope& operator=(const TDeviceScope&) = delete;

 private:
  TRDTableItemInfo& table_;
  const TRDResolution* saved_;
};

// The cell whose document is being printed, for what lies behind its items.
class TPrintingCellScope {
 public:
  TPrintingCellScope(TRDTableItemInfo& table, const TRDTableCellData& cell, const TRect& box,
                     const TRDResolution& resolution)
      : table_(table) {
    table_.PrintingCell = &cell;
    table_.PrintingCellRect = box;
    ScaleRectToScreen(table_.PrintingCellRect, resolution);
  }
  ~TPrintingCellScope() { table_.PrintingCell = nullptr; }
  TPrintingCellScope(const TPrintingCellScope&) = delete;
  TPrintingCellScope& operator=(const TPrintingCellScope&) = delete;

 private:
  TRDTableItemInfo& table_;
};

// Whether page of a cell's document has a line to print in a window height pixels high.
bool HasLinesIn(const TCellPtblRDData& document, int page, int height) {
  if (document.Pages.Count() == 0) return true;
  const TRDPageInfo& from = document.Pages.Page(page);
  if (from.StartDrawItemNo >= document.DrawItems.Count()) return false;
  return document.DrawItems[from.StartDrawItemNo]->Top - from.StartY < height;
}

void FillBox(TRDCanvas& canvas, TColor color, const TRect& r) {
  if (color == clNone || r.Right <= r.Left || r.Bottom <= r.Top) return;
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = color;
  canvas.FillRect(r);
}

}  // namespace

// --- cells ------------------------------------------------------------------------------------

TCellPtblRDData::TCellPtblRDData(TRDTableCellData& cell, TCustomRDData& shown,
                                 TCustomPrintableRDData& parent)
    : TRectPtblRDData(shown, parent), Cell(cell) {}

void TCellPtblRDData::FormatForWidth(int width, TRDCanvas& canvas) {
  Width = width;
  FormatItems(false, true, true, 0, &canvas, false, false, false);
}

// --- the draw line ----------------------------------------------------------------------------

TRDTablePrintInfo::TRDTablePrintInfo(TRDTableItemInfo& table, TCustomPrintableRDData& printable,
                                     const TRDResolution& resolution)
    : Table(table), Resolution(resolution) {
  const int rows = table.RowCount(), cols = table.ColCount();
  // Heading rows with no body row after them are the table itself: printed once, cut over
  // pages as body rows are, never held whole above runs that are not there.
  RepeatHeading = table.HeadingRowsComplete() && table.HeadingRowCount() < rows;
  FormattingInfo.Cells.resize(size_t(rows) * size_t(cols));
  // A cell being edited has its items in its editor: those are printed.
  int editedRow, editedCol;
  TRDTableInplaceEdit* editor = table.GetEditedCell(editedRow, editedCol);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (TRDTableCellData* cell = table.Cells(r, c)) {
        TCustomRDData& shown = editor && r == editedRow && c == editedCol
                                   ? static_cast<TCustomRDData&>(editor->InplaceData())
                                   : *cell;
        auto document = std::make_unique<TCellPtblRDData>(*cell, shown, printable);
        document->ParentItem = &table;
        document->Color = table.GetCellColor(*cell);
        document->Transparent = table.IsCellTransparent(*cell);
        FormattingInfo.Cells[size_t(r) * size_t(cols) + size_t(c)] = std::move(document);
      }
}

int TRDTablePrintInfo::HeadingRows() const {
  return RepeatHeading ? std::min(Table.HeadingRowCount(), Table.RowCount()) : 0;
}

int TRDTablePrintInfo::PartHeading(const TRDTablePrintPart& part) const {
  return HeadingAbove(part, HeadingRows());
}

TCellPtblRDData* TRDTablePrintInfo::CellDocument(int row, int col) const {
  // The print line made every cell layout, each a TCellPtblRDData.
  return static_cast<TCellPtblRDData*>(FormattingInfo.CellLayout(row, col, Table.ColCount()));
}

int TRDTablePrintInfo::FirstContent(const TRDTablePrintPart& part) const {
  const auto cut = pieces_.find(part.StartRow);
  if (cut != pieces_.end() && part.StartPiece < int(cut->second.size()))
    return cut->second[size_t(part.StartPiece)];
  return GroupHeight(part.StartRow);
}

int TRDTablePrintInfo::Shrink(const TRDTablePrintPart& part) const {
  return GroupHeight(part.StartRow) - FirstContent(part);
}

int TRDTablePrintInfo::WindowFirstRow(const TRDTablePrintPart& part) const {
  const auto cut = window_rows_.find(part.StartRow);
  if (cut == window_rows_.end() || part.StartPiece >= int(cut->second.size())) return part.StartRow;
  return cut->second[size_t(part.StartPiece)];
}

const std::vector<std::pair<int, int>>& TRDTablePrintInfo::GroupSpans(int first) const {
  static const std::vector<std::pair<int, int>> none;
  const auto spans = group_spans_.find(first);
  return spans == group_spans_.end() ? none : spans->second;
}

int TRDTablePrintInfo::WindowStart(const TRDTablePrintPart& part) const {
  const auto cut = windows_.find(part.StartRow);
  if (cut == windows_.end() || part.StartPiece >= int(cut->second.size())) return -1;
  return cut->second[size_t(part.StartPiece)];
}

int TRDTablePrintInfo::GroupEnd(int row) const {
  // Finding the cell that covers a slot walks up the rows, so a group bound by a cell of
  // thousands of rows is found once.
  if (group_ends_.size() != size_t(Table.RowCount()))
    group_ends_.assign(size_t(Table.RowCount()), -1);
  if (row < 0 || row >= int(group_ends_.size())) return Table.GetRowGroupEnd(row);
  int& end = group_ends_[size_t(row)];
  if (end < 0) end = Table.GetRowGroupEnd(row);
  return end;
}

int TRDTablePrintInfo::GroupHeight(int row) const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int last = std::min(GroupEnd(row), f.RowStarts.Count() - 1);
  return f.RowStarts[last] + f.RowHeights[last] - f.RowStarts[row];
}

int TRDTablePrintInfo::Outside(int heading) const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int last = f.RowStarts.Count() - 1;
  if (last < 0 || heading > last) return f.Height;
  return f.Height + f.RowStarts[heading] - f.RowStarts[last] - f.RowHeights[last];
}

int TRDTablePrintInfo::RunHeight(const TRDTablePrintPart& part, int lastRow) const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int first = part.StartRow;
  // The rows below a cut first row move up by what of it is printed elsewhere.
  return f.RowStarts[lastRow] + f.RowHeights[lastRow] - f.RowStarts[first] - Shrink(part) +
         Outside(PartHeading(part));
}

void TRDTablePrintInfo::LeaveOutHeadingWithoutRoom(TRDTablePrintPart& part, int y) {
  const int heading = PartHeading(part);
  if (heading == 0) return;
  const int need = FirstContent(part);
  const int room = y - Outside(heading);
  if (room > 0 && (room >= need || y - Outside(0) < need)) return;
  part.RepeatsHeading = false;
  if (PartsList.Count() == 1 && part.StartPiece == 0) {
    part.StartRow -= heading;
    part.RowCount += heading;
  }
  part.Height = RunHeight(part, part.StartRow + part.RowCount - 1);
}

bool TRDTablePrintInfo::LayOutForPrinting(TRDCanvas& canvas, int docWidth, int& width,
                                          int& height) {
  {
    TDeviceScope device(Table, &Resolution);
    Table.Format(docWidth, FormattingInfo, canvas, false);
    pad_y_ = Table.ScaleY(Table.CellPadding());
  }
  Width = width = FormattingInfo.Width;
  Height = height = FormattingInfo.Height;
  LayoutWarning = CellsNotPrinted(docWidth);
  return true;
}

std::string TRDTablePrintInfo::CellsNotPrinted(int docWidth) const {
  if (FormattingInfo.Width > docWidth) return kTooWide;
  const int pad = Table.ScaleX(Table.CellPadding());
  for (const auto& layout : FormattingInfo.Cells) {
    const auto* document = dynamic_cast<const TCellPtblRDData*>(layout.get());
    if (!document || document->GetItemCount() == 0) continue;
    const bool empty = document->GetItemCount() == 1 && document->GetItemStyle(0) >= 0 &&
                       document->GetItemTextRaw(0).empty();
    if (!empty && document->BoxWidth - 2 * pad < 1) return kCellTooNarrow;
    // A table inside the cell tells what of it is lost.
    for (int d = 0; d < document->DrawItems.Count(); ++d)
      if (const auto* line = dynamic_cast<const TRDMultiDrawItemInfo*>(document->DrawItems[d]);
          line && !line->LayoutWarning.empty())
        return line->LayoutWarning;
  }
  return "";
}

void TRDTablePrintInfo::ForgetRowCuts() {
  pagers_.clear();
  for (const auto& [first, heights] : pieces_)
    for (int row = first; row <= GroupEnd(first); ++row)
      for (int c = 0; c < Table.ColCount(); ++c) {
        TCellPtblRDData* document = CellDocument(row, c);
        if (!document) continue;
        document->Pages.Clear();
        document->FirstPiece = 0;
        for (int d = 0; d < document->DrawItems.Count(); ++d)
          if (auto* line = dynamic_cast<TRDMultiDrawItemInfo*>(document->DrawItems[d])) {
            if (auto* table = dynamic_cast<TRDTablePrintInfo*>(line)) table->ForgetRowCuts();
            line->PartsList.Clear();
          }
      }
  pieces_.clear();
  windows_.clear();
  window_rows_.clear();
  group_spans_.clear();
}

bool TRDTablePrintInfo::InitSplit() {
  PartsList.Clear();
  SplitRefusal.clear();
  ForgetRowCuts();
  const int rows = std::min(Table.RowCount(), FormattingInfo.RowStarts.Count());
  if (rows == 0) return false;
  if (!(Table.PrintOptions & rdtoRowsSplit) && !Table.HasPageBreakRows(-1, -1)) return false;
  const int h = HeadingRows();
  if (h >= rows) return false;
  auto part = std::make_unique<TRDTablePrintPart>();
  part->StartRow = h;
  part->RowCount = rows - h;
  part->Height = FormattingInfo.Height;
  PartsList.Add(std::move(part));
  return true;
}

bool TRDTablePrintInfo::CanSplitFirst(int y) const {
  const int h = HeadingRows();
  if (h >= FormattingInfo.RowStarts.Count()) return false;
  const int g = GroupEnd(h);
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  return y - Outside(h) + f.RowStarts[h] > f.RowStarts[g] + f.RowHeights[g];
}

bool TRDTablePrintInfo::CutFirstRow(TRDTablePrintPart& p, int room) {
  const int row = p.StartRow;
  if (p.StartPiece == 0) {
    pagers_.clear();
    for (int c = 0; c < Table.ColCount(); ++c)
      if (TCellPtblRDData* document = CellDocument(row, c))
        pagers_.push_back(
            std::make_unique<TRDPager>(*document, 0, document->DrawItems.Count() - 1));
  }
  int used = 0;
  bool more = false;
  for (const auto& pager : pagers_) {
    if (pager->NextPage(room)) more = true;
    used = std::max(used, pager->Used());
  }
  std::vector<int>& heights = pieces_[row];
  heights.resize(size_t(p.StartPiece) + 1);
  if (!more) {
    heights.back() = std::max(used, room);
    pagers_.clear();
    p.Height = RunHeight(p, p.StartRow + p.RowCount - 1);
    return false;
  }
  heights.back() = used;
  int rest = 0;
  for (const auto& pager : pagers_) rest = std::max(rest, pager->Rest());
  heights.push_back(rest);
  auto q = std::make_unique<TRDTablePrintPart>();
  q->StartRow = row;
  q->StartPiece = p.StartPiece + 1;
  q->RowCount = p.RowCount;
  p.RowCount = 1;
  p.Height = RunHeight(p, row);
  q->Height = RunHeight(*q, row + q->RowCount - 1);
  PartsList.Add(std::move(q));
  return true;
}

bool TRDTablePrintInfo::CutFirstGroup(TRDTablePrintPart& p, int room) {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int first = p.StartRow, last = GroupEnd(first);
  std::vector<int>& starts = windows_[first];
  std::vector<int>& heights = pieces_[first];
  starts.resize(size_t(p.StartPiece) + 1);
  heights.resize(size_t(p.StartPiece) + 1);
  const int start = starts.back(), end = start + room;
  // Every cell's page for this window shows its document from the page's StartY on at
  // the window's top; a cell's line that would cross the window's lower edge starts its
  // next page, the rest of the cell moving down by what the window leaves below it. A
  // cell joins when the windows reach its box (its page then is where the windows moved
  // its untouched document) and leaves when its lines are done, so each window works on
  // the cells it shows, not on the whole group.
  std::vector<int>& firstRows = window_rows_[first];
  firstRows.resize(size_t(p.StartPiece) + 1);
  if (p.StartPiece == 0) {
    group_cells_.clear();
    next_group_row_ = first;
    box_row_ = first;
    group_bottom_ = GroupHeight(first);
    std::vector<std::pair<int, int>>& spans = group_spans_[first];
    spans.clear();
    for (int r = first; r <= last; ++r)
      for (int c = 0; c < Table.ColCount(); ++c)
        if (const TRDTableCellData* cell = Table.Cells(r, c); cell && cell->RowSpan > 1)
          spans.emplace_back(r, c);
  }
  for (; next_group_row_ <= last && f.RowStarts[next_group_row_] - f.RowStarts[first] < end;
       ++next_group_row_)
    for (int c = 0; c < Table.ColCount(); ++c)
      if (TCellPtblRDData* document = CellDocument(next_group_row_, c)) {
        document->Pages.Clear();
        document->FirstPiece = p.StartPiece;
        document->Pages.Add().StartY = f.RowStarts[first] - document->BoxTop - pad_y_ + start;
        group_cells_.push_back({next_group_row_, document});
      }
  // The window prints the rows from the first one whose box reaches into it or whose cell
  // still has lines; cells that span rows are printed on their own.
  while (box_row_ < last &&
         f.RowStarts[box_row_] + f.RowHeights[box_row_] - f.RowStarts[first] <= start)
    ++box_row_;
  int lowest = box_row_;
  for (const auto& [row, document] : group_cells_)
    if (document->Cell.RowSpan == 1) lowest = std::min(lowest, row);
  firstRows.back() = lowest;
  // A cell's bottom only moves down as windows push its lines, so the largest one seen
  // stays the group's bottom after the cell left.
  for (const auto& [row, document] : group_cells_) {
    const int top = document->Pages.Page(document->Pages.Count()).StartY;
    group_bottom_ = std::max(group_bottom_, start + document->DocumentHeight - top + pad_y_);
  }
  const int bottom = group_bottom_;
  if (bottom - start <= room) {
    heights.back() = bottom - start;
    p.Height = RunHeight(p, p.StartRow + p.RowCount - 1);
    return false;
  }
  heights.back() = room;
  starts.push_back(end);
  for (const auto& [row, document] : group_cells_) StartNextWindow(*document, start, room);
  std::erase_if(group_cells_, [](const std::pair<int, TCellPtblRDData*>& joined) {
    const TCellPtblRDData& document = *joined.second;
    return document.Pages.Page(document.Pages.Count()).StartDrawItemNo >=
           document.DrawItems.Count();
  });
  heights.push_back(bottom - end);
  auto q = std::make_unique<TRDTablePrintPart>();
  q->StartRow = first;
  q->StartPiece = p.StartPiece + 1;
  q->RowCount = p.RowCount;
  p.RowCount = last - first + 1;
  p.Height = RunHeight(p, last);
  q->Height = RunHeight(*q, first + q->RowCount - 1);
  PartsList.Add(std::move(q));
  return true;
}

void TRDTablePrintInfo::StartNextWindow(TCellPtblRDData& document, int start, int room) {
  const TRDPageInfo page = document.Pages.Page(document.Pages.Count());
  const int end = start + room, count = document.DrawItems.Count();
  // The first screen line that would cross the window's lower edge.
  int d = page.StartDrawItemNo, lineTop = 0, lineEnd = d;
  for (; d < count; ++d) {
    if (!document.DrawItems[d]->FromNewLine) continue;
    int lineBottom = document.DrawItems[d]->Top;
    lineTop = lineBottom;
    for (lineEnd = d;
         lineEnd < count && (lineEnd == d || !document.DrawItems[lineEnd]->FromNewLine); ++lineEnd)
      lineBottom = std::max(lineBottom,
                            document.DrawItems[lineEnd]->Top + document.DrawItems[lineEnd]->Height);
    if (start + lineBottom - page.StartY > end) break;
  }
  TRDPageInfo& next = document.Pages.Add();
  next.StartDrawItemNo = d;
  next.StartY = page.StartY + room;
  if (d < count && start + lineTop - page.StartY < end) {
    const bool continued = page.StartDrawItemNo == d && page.StartPart > 1;
    auto* table =
        lineEnd == d + 1 ? dynamic_cast<TRDTablePrintInfo*>(document.DrawItems[d]) : nullptr;
    // A table begun in the window is cut at its edge; one that cannot be cut there goes
    // to the next window, or, already at the top of one, prints cut off.
    if (table &&
        CutTableAtWindowEdge(*table, continued ? room : end - (start + lineTop - page.StartY),
                             continued, lineTop > page.StartY, next))
      return;
    if (lineTop > page.StartY) {
      next.StartY = lineTop;
    } else {
      // A line taller than the window that begins it cannot be kept whole.
      SplitRefusal = kRowTooTall;
      while (++next.StartDrawItemNo < count &&
             !document.DrawItems[next.StartDrawItemNo]->FromNewLine) {
      }
    }
  }
  next.StartY2 = next.StartY;
}

bool TRDTablePrintInfo::CutTableAtWindowEdge(TRDTablePrintInfo& table, int room, bool continued,
                                             bool movable, TRDPageInfo& next) {
  if (!continued) {
    if (!table.InitSplit()) return false;
    if (movable && !table.CanSplitFirst(room)) {
      table.PartsList.Clear();
      return false;
    }
  }
  if (!table.SplitAt(room)) {
    if (!continued) table.PartsList.Clear();
    return false;
  }
  const int parts = table.PartsList.Count();
  if (!table.SplitRefusal.empty())
    SplitRefusal = table.SplitRefusal;
  else if (table.PartsList.Get(parts - 2)->Height > room)
    SplitRefusal = kRowTooTall;
  // The next window goes on with the rest of the table, the lines after it following.
  next.StartPart = parts;
  next.StartY = next.StartY2 = table.Top + table.Height - table.PartsList.Get(parts - 1)->Height;
  return true;
}

bool TRDTablePrintInfo::SplitAt(int y) {
  if (PartsList.Count() == 0) throw ERichDocError("Internal printing error");
  SplitRefusal.clear();
  TRDTablePrintPart& p = *Part(PartsList.Count() - 1);
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  LeaveOutHeadingWithoutRoom(p, y);
  const int outside = Outside(PartHeading(p));
  bool fits = p.Height <= y;
  // A first row, or group of rows, that does not fit alone is taller than the page: it
  // is cut inside.
  if (!fits && FirstContent(p) > y - outside && y - outside > 0) {
    const bool cut = GroupEnd(p.StartRow) == p.StartRow ? CutFirstRow(p, y - outside)
                                                        : CutFirstGroup(p, y - outside);
    if (cut) return true;
    fits = p.Height <= y;
  }
  if (p.RowCount <= 1) {
    if (!fits) SplitRefusal = kRowTooTall;
    return false;
  }
  if (fits && !Table.HasPageBreakRows(p.StartRow + 1, p.StartRow + p.RowCount - 1)) return false;
  const int limit = y - outside + f.RowStarts[p.StartRow] + Shrink(p);
  // The first row that does not fit, or that a page break puts on the next page.
  int k = 1, r = -1;
  for (; k < p.RowCount; ++k) {
    const int row = p.StartRow + k;
    if ((!fits && f.RowStarts[row] + f.RowHeights[row] >= limit) ||
        (Table.Rows->Items(row)->PageBreakBefore && Table.IsRowGroupEnd(row))) {
      r = row;
      break;
    }
  }
  // A part that does not fit always has such a row: only a page break before a row that
  // merged cells bind to the rows above gets here.
  if (r < 0) {
    SplitRefusal = kBoundBreak;
    return false;
  }
  int newStart = Table.GetRowGroupStart(r);
  if (newStart <= p.StartRow + 1) newStart = GroupEnd(p.StartRow) + 1;
  const int kept = k + newStart - r;
  if (kept >= p.RowCount) {
    SplitRefusal = fits ? kBoundBreak : kBoundRows;
    return false;
  }
  const int last = f.RowStarts.Count() - 1;
  p.RowCount = kept;
  p.Height = RunHeight(p, newStart - 1);
  auto q = std::make_unique<TRDTablePrintPart>();
  q->StartRow = newStart;
  q->RowCount = last + 1 - newStart;
  q->Height = RunHeight(*q, last);
  PartsList.Add(std::move(q));
  return true;
}

namespace {

// The rows one page prints of a table, and where they stand: a run of rows under the
// repeated heading, or all of them. A run's first row may be a piece of a row cut over
// pages: its cells print their piece, and the rows after it move up by what of it is
// printed elsewhere. A piece of a group of rows cut over pages shows the window of the
// group from window on.
struct TPrintedRun {
  int heading = 0, first = 0, count = 0;
  // The table's height on this page.
  int height = 0;
  // The piece of the first row printed here, and what of the row is printed elsewhere.
  int piece = 0, shrink = 0;
  // The start of the window in its group (-1 outside one), the group's last row and
  // the window's height.
  int window = -1, groupEnd = -1, windowHeight = 0;
  // How far the run moves up to stand right under the heading.
  int shift = 0;
  // In a window: the first row with anything to print in it.
  int firstShown = 0;

  bool Windowed(int r) const { return window >= 0 && r >= first && r <= groupEnd; }
  // How far row r moves up: the rows of a window all by its start, the rows after the
  // group to stand under its last window, which ends at the group's bottom.
  int RowShift(int r) const {
    return r < heading ? 0 : r > groupEnd ? shift + shrink : shift + std::max(window, 0);
  }
};

TPrintedRun PrintedRun(const TRDTablePrintInfo& info, int rows) {
  const TRDTableItemFormattingInfo& f = info.FormattingInfo;
  TPrintedRun run;
  run.count = rows;
  run.height = f.Height;
  if (info.PrintedPart >= 0 && info.PrintedPart < info.PartsList.Count()) {
    const TRDTablePrintPart& part = *info.Part(info.PrintedPart);
    run.first = part.StartRow;
    run.count = part.RowCount;
    run.heading = info.PartHeading(part);
    run.height = part.Height;
    run.piece = part.StartPiece;
    if (run.first < rows) {
      run.shrink = info.Shrink(part);
      run.window = info.WindowStart(part);
      run.firstShown = info.WindowFirstRow(part);
      run.groupEnd = run.window < 0 ? run.first : info.GroupEnd(run.first);
      run.windowHeight = info.FirstContent(part);
    }
  }
  if (rows == 0 || run.first + run.count > rows) run.count = std::max(0, rows - run.first);
  if (rows > 0) run.shift = f.RowStarts[run.first] - f.RowStarts[std::min(run.heading, rows - 1)];
  return run;
}

// One page of a table printed at x, y: its background, rules and border, then its cells.
class TTablePagePrinter {
 public:
  TTablePagePrinter(TRDTableItemInfo& table, const TRDTablePrintInfo& info, TRDCanvas& canvas,
                    int x, int y, TRDColorMode colorMode)
      : table_(table),
        info_(info),
        f_(info.FormattingInfo),
        canvas_(canvas),
        x_(x),
        y_(y),
        color_mode_(colorMode),
        rows_(std::min(table.Rows->Count(), f_.RowStarts.Count())),
        cols_(std::min(table.Rows->GetColCount(), f_.ColStarts.Count())),
        run_(PrintedRun(info, rows_)),
        box_(Rect(x, y, x + f_.Width, y + run_.height)),
        window_top_(rows_ == 0 ? y : y + f_.RowStarts[run_.first] - run_.shift) {}

  void PrintFrame() const;
  void PrintCells() const;

 private:
  void PrintCell(int r, int c) const;
  // The cell's box on the page; area is what of the page its document may print on.
  TRect CellBox(int r, const TRDTableCellData& cell, const TCellPtblRDData& document,
                TRect& area) const;
  void PlaceDocument(TCellPtblRDData& document, const TRDTableCellData& cell, const TRect& box,
                     bool windowed) const;

  TRDTableItemInfo& table_;
  const TRDTablePrintInfo& info_;
  const TRDTableItemFormattingInfo& f_;
  TRDCanvas& canvas_;
  const int x_, y_;
  const TRDColorMode color_mode_;
  const int rows_, cols_;
  const TPrintedRun run_;
  // The table's box on this page, which clips all it prints.
  const TRect box_;
  // Where the run's first row, or its window, begins on the page.
  const int window_top_;
};

void TTablePagePrinter::PrintFrame() const {
  const TColor color = table_.PaperColor(table_.Color(), color_mode_);
  if (TRDBackground* background = table_.GetTableBackground())
    background->Print(canvas_, box_, box_, info_.Resolution, color);
  else
    FillBox(canvas_, color, box_);
  canvas_.PenWidth = 1;
  canvas_.PenStyle = psSolid;
  table_.DrawRules(canvas_, x_, y_, box_, box_, f_, run_.heading, run_.first,
                   run_.first + run_.count - 1, run_.shift,
                   run_.window >= 0 ? run_.window : run_.shrink, true, color_mode_);
  table_.DrawBorder(canvas_, box_.Left, box_.Top, box_.Right, box_.Bottom, table_.BorderWidth(),
                    table_.BorderLightColor(), table_.BorderColor(), clNone, table_.BorderStyle(),
                    false, true, box_, &table_.VisibleBorders(), -1, -1, color_mode_);
}

void TTablePagePrinter::PrintCells() const {
  for (int r = 0; r < run_.heading; ++r)
    for (int c = 0; c < cols_; ++c) PrintCell(r, c);
  int from = run_.first;
  if (run_.window >= 0) {
    // The rows of a group above the window's first shown row print nothing but the cells
    // that span into the window.
    from = std::max(run_.first, run_.firstShown);
    for (const auto& [r, c] : info_.GroupSpans(run_.first))
      if (r < from) PrintCell(r, c);
  }
  for (int r = from; r < run_.first + run_.count; ++r) {
    // The rows of a group that begin below its window show nothing in it.
    if (run_.Windowed(r) &&
        f_.RowStarts[r] - f_.RowStarts[run_.first] >= run_.window + run_.windowHeight) {
      r = run_.groupEnd;
      continue;
    }
    for (int c = 0; c < cols_; ++c) PrintCell(r, c);
  }
}

TRect TTablePagePrinter::CellBox(int r, const TRDTableCellData& cell,
                                 const TCellPtblRDData& document, TRect& area) const {
  const bool windowed = run_.Windowed(r);
  TRect box =
      Bounds(x_ + document.BoxLeft, y_ + document.BoxTop - run_.RowShift(r), document.BoxWidth,
             document.BoxHeight - (r == run_.first && !windowed ? run_.shrink : 0));
  area = box;
  if (!windowed) return box;
  // A windowed cell shows what of its box lies in the window, which may be nothing; the
  // lines its cell moved down stand in the window too, and a box that ends with the
  // group ends with the window.
  const int windowBottom = window_top_ + run_.windowHeight;
  if (r + cell.RowSpan - 1 >= run_.groupEnd) box.Bottom = std::max(box.Bottom, windowBottom);
  box.Top = std::max(box.Top, window_top_);
  box.Bottom = std::min(box.Bottom, windowBottom);
  area = Rect(box.Left, window_top_, box.Right, windowBottom);
  return box;
}

void TTablePagePrinter::PlaceDocument(TCellPtblRDData& document, const TRDTableCellData& cell,
                                      const TRect& box, bool windowed) const {
  const int padY = table_.ScaleY(table_.CellPadding());
  document.Left = box.Left + table_.ScaleX(table_.CellPadding());
  // A windowed cell's page is placed so that its lines stand where the group's layout
  // has them; the pieces of a cut row stand at the top of their boxes.
  if (windowed) {
    document.Top = window_top_;
    return;
  }
  const int inner = box.Height() - 2 * padY;
  int offset = 0;
  if (document.Pages.Count() == 0 && cell.GetRealVAlign() == rdcMiddle)
    offset = (inner - document.DocumentHeight) / 2;
  if (document.Pages.Count() == 0 && cell.GetRealVAlign() == rdcBottom)
    offset = inner - document.DocumentHeight;
  document.Top = box.Top + padY + std::max(offset, 0);
}

void TTablePagePrinter::PrintCell(int r, int c) const {
  TRDTableCellData* cell = table_.Rows->Cell(r, c);
  TCellPtblRDData* document = info_.CellDocument(r, c);
  if (!cell || !document) return;
  const bool cut = document->Pages.Count() > 0;
  const bool windowed = run_.Windowed(r);
  TRect area;
  const TRect box = CellBox(r, *cell, *document, area);
  const bool shown = !windowed || box.Bottom > box.Top;
  // A cell whose content ended in an earlier piece prints only its box here; in a window
  // of a group, a cell whose lines lie above or below it prints nothing.
  const int page = !cut              ? 1
                   : windowed        ? run_.piece + 1 - document->FirstPiece
                   : r == run_.first ? run_.piece + 1
                                     : 1;
  const bool content = page >= 1 && page <= std::max(document->Pages.Count(), 1) &&
                       (!windowed || HasLinesIn(*document, page, area.Height()));
  if (!shown && !content) return;
  const TColor color = table_.PaperColor(cell->Color, color_mode_);
  if (shown && cell->GetCellBackground())
    cell->GetCellBackground()->Print(canvas_, box, box, info_.Resolution, color);
  else if (shown)
    FillBox(canvas_, color, box);
  PlaceDocument(*document, *cell, box, windowed);
  if (content) {
    canvas_.SaveState();
    canvas_.IntersectClipRect(area);
    {
      TPrintingCellScope printing(table_, *cell, box, info_.Resolution);
      document->DrawPage(page, canvas_, false);
    }
    canvas_.RestoreState();
  }
  if (!shown) return;
  const int b = table_.ScaleY(table_.CellBorderWidth());
  table_.DrawBorder(
      canvas_, box.Left - b, box.Top - b, box.Right + b, box.Bottom + b, table_.CellBorderWidth(),
      cell->BorderLightColor != clNone ? cell->BorderLightColor : table_.CellBorderLightColor(),
      cell->BorderColor != clNone ? cell->BorderColor : table_.CellBorderColor(), table_.Color(),
      table_.CellBorderStyle(), false, true, box_, &cell->VisibleBorders, r, c, color_mode_);
}

}  // namespace

void TRDTablePrintInfo::PrintPart(TRDCanvas& canvas, int x, int y, TRDColorMode colorMode) const {
  TDeviceScope device(Table, &Resolution);
  Table.OriginX = x;
  Table.OriginY = y;
  const TTablePagePrinter printer(Table, *this, canvas, x, y, colorMode);
  printer.PrintFrame();
  printer.PrintCells();
}

void RegisterTablePrinting() {
  TablePrintLineMaker = [](TRDTableItemInfo& table, TCustomRDData* rdData,
                           const TRDResolution& resolution) -> std::unique_ptr<TRDTablePrintLine> {
    auto* printable = dynamic_cast<TCustomPrintableRDData*>(rdData);
    if (!printable) return nullptr;
    return std::make_unique<TRDTablePrintInfo>(table, *printable, resolution);
  };
}
