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
  RepeatHeading = table.HeadingRowsComplete();
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

TCellPtblRDData* TRDTablePrintInfo::CellDocument(int row, int col) const {
  return dynamic_cast<TCellPtblRDData*>(FormattingInfo.CellLayout(row, col, Table.ColCount()));
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

int TRDTablePrintInfo::WindowStart(const TRDTablePrintPart& part) const {
  const auto cut = windows_.find(part.StartRow);
  if (cut == windows_.end() || part.StartPiece >= int(cut->second.size())) return -1;
  return cut->second[size_t(part.StartPiece)];
}

int TRDTablePrintInfo::GroupHeight(int row) const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int last = std::min(Table.GetRowGroupEnd(row), f.RowStarts.Count() - 1);
  return f.RowStarts[last] + f.RowHeights[last] - f.RowStarts[row];
}

int TRDTablePrintInfo::Outside() const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int last = f.RowStarts.Count() - 1;
  const int h = HeadingRows();
  if (last < 0 || h > last) return f.Height;
  return f.Height + f.RowStarts[h] - f.RowStarts[last] - f.RowHeights[last];
}

int TRDTablePrintInfo::RunHeight(const TRDTablePrintPart& part, int lastRow) const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int first = part.StartRow;
  // The rows below a cut first row move up by what of it is printed elsewhere.
  return f.RowStarts[lastRow] + f.RowHeights[lastRow] - f.RowStarts[first] - Shrink(part) +
         Outside();
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
  return true;
}

void TRDTablePrintInfo::ForgetRowCuts() {
  pagers_.clear();
  for (const auto& [first, heights] : pieces_)
    for (int row = first; row <= Table.GetRowGroupEnd(first); ++row)
      for (int c = 0; c < Table.ColCount(); ++c) {
        TCellPtblRDData* document = CellDocument(row, c);
        if (!document) continue;
        document->Pages.Clear();
        for (int d = 0; d < document->DrawItems.Count(); ++d)
          if (auto* line = dynamic_cast<TRDMultiDrawItemInfo*>(document->DrawItems[d])) {
            if (auto* table = dynamic_cast<TRDTablePrintInfo*>(line)) table->ForgetRowCuts();
            line->PartsList.Clear();
          }
      }
  pieces_.clear();
  windows_.clear();
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
  const int g = Table.GetRowGroupEnd(h);
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  return y - Outside() + f.RowStarts[h] > f.RowStarts[g] + f.RowHeights[g];
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
  const int first = p.StartRow, last = Table.GetRowGroupEnd(first);
  std::vector<int>& starts = windows_[first];
  std::vector<int>& heights = pieces_[first];
  starts.resize(size_t(p.StartPiece) + 1);
  heights.resize(size_t(p.StartPiece) + 1);
  const int start = starts.back(), end = start + room;
  // Every cell's page for this window shows its document from the page's StartY on at
  // the window's top; a cell's line that would cross the window's lower edge starts its
  // next page, the rest of the cell moving down by what the window leaves below it.
  std::vector<TCellPtblRDData*> cells;
  for (int r = first; r <= last; ++r)
    for (int c = 0; c < Table.ColCount(); ++c)
      if (TCellPtblRDData* document = CellDocument(r, c)) {
        cells.push_back(document);
        if (p.StartPiece > 0) continue;
        document->Pages.Clear();
        document->Pages.Add().StartY = f.RowStarts[first] - document->BoxTop - pad_y_;
      }
  int bottom = GroupHeight(first);
  for (TCellPtblRDData* document : cells) {
    const int top = document->Pages.Page(document->Pages.Count()).StartY;
    bottom = std::max(bottom, start + document->DocumentHeight - top + pad_y_);
  }
  if (bottom - start <= room) {
    heights.back() = bottom - start;
    p.Height = RunHeight(p, p.StartRow + p.RowCount - 1);
    return false;
  }
  heights.back() = room;
  starts.push_back(end);
  for (TCellPtblRDData* document : cells) {
    const TRDPageInfo page = document->Pages.Page(document->Pages.Count());
    const int count = document->DrawItems.Count();
    int d = page.StartDrawItemNo, lineTop = 0;
    for (; d < count; ++d) {
      if (!document->DrawItems[d]->FromNewLine) continue;
      int lineBottom = document->DrawItems[d]->Top;
      lineTop = lineBottom;
      for (int k = d; k < count && (k == d || !document->DrawItems[k]->FromNewLine); ++k)
        lineBottom =
            std::max(lineBottom, document->DrawItems[k]->Top + document->DrawItems[k]->Height);
      if (start + lineBottom - page.StartY > end) break;
    }
    TRDPageInfo& next = document->Pages.Add();
    next.StartDrawItemNo = d;
    if (d < count && start + lineTop - page.StartY < end) {
      // A line taller than the window that begins it cannot be kept whole.
      if (lineTop <= page.StartY) {
        SplitRefusal = kRowTooTall;
        while (++next.StartDrawItemNo < count &&
               !document->DrawItems[next.StartDrawItemNo]->FromNewLine) {
        }
        next.StartY = page.StartY + room;
      } else {
        next.StartY = lineTop;
      }
    } else {
      next.StartY = page.StartY + room;
    }
    next.StartY2 = next.StartY;
  }
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

bool TRDTablePrintInfo::SplitAt(int y) {
  if (PartsList.Count() == 0) throw ERichDocError("Internal printing error");
  SplitRefusal.clear();
  TRDTablePrintPart& p = *Part(PartsList.Count() - 1);
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int outside = Outside();
  bool fits = p.Height <= y;
  // A first row, or group of rows, that does not fit alone is taller than the page: it
  // is cut inside.
  if (!fits && FirstContent(p) > y - outside && y - outside > 0) {
    const bool cut = Table.GetRowGroupEnd(p.StartRow) == p.StartRow ? CutFirstRow(p, y - outside)
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
  if (newStart <= p.StartRow + 1) newStart = Table.GetRowGroupEnd(p.StartRow) + 1;
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

// --- the table's printing operations ----------------------------------------------------------

std::unique_ptr<TRDDrawLineInfo> TRDTableItemInfo::CreatePrintingDrawItem(
    TCustomRDData* rdData, const TRDResolution& resolution) const {
  auto* printable = dynamic_cast<TCustomPrintableRDData*>(rdData);
  if (!printable) return TRDFullLineItemInfo::CreatePrintingDrawItem(rdData, resolution);
  return std::make_unique<TRDTablePrintInfo>(const_cast<TRDTableItemInfo&>(*this), *printable,
                                             resolution);
}

void TRDTableItemInfo::Print(TRDCanvas& canvas, int x, int y, int, TRDColorMode colorMode,
                             const TRDResolution&, TRDStyle&,
                             const TRDDrawLineInfo* drawItem) const {
  const auto* info = dynamic_cast<const TRDTablePrintInfo*>(drawItem);
  if (!info) return;
  auto& self = const_cast<TRDTableItemInfo&>(*this);
  TDeviceScope device(self, &info->Resolution);
  self.OriginX = x;
  self.OriginY = y;
  const TRDTableItemFormattingInfo& f = info->FormattingInfo;
  const int rows = std::min(Rows->Count(), f.RowStarts.Count());
  const int cols = std::min(Rows->GetColCount(), f.ColStarts.Count());
  // The rows of this page: a run of rows under the repeated heading, or all of them.
  // A run's first row may be a piece of a row cut over pages: its cells print their
  // piece, and the rows after it move up by what of it is printed elsewhere. A piece of a
  // group of rows cut over pages shows the window of the group from window on.
  int first = 0, count = rows, heading = 0, height = f.Height, piece = 0, shrink = 0;
  int window = -1, groupEnd = -1, windowHeight = 0;
  if (info->PrintedPart >= 0 && info->PrintedPart < info->PartsList.Count()) {
    const TRDTablePrintPart& part = *info->Part(info->PrintedPart);
    first = part.StartRow;
    count = part.RowCount;
    heading = std::min(info->HeadingRows(), first);
    height = part.Height;
    piece = part.StartPiece;
    if (first < rows) {
      shrink = info->Shrink(part);
      window = info->WindowStart(part);
      groupEnd = window < 0 ? first : GetRowGroupEnd(first);
      windowHeight = info->FirstContent(part);
    }
  }
  if (rows == 0 || first + count > rows) count = std::max(0, rows - first);
  // Rows of the run move up to stand right under the heading.
  const int shift = rows == 0 ? 0 : f.RowStarts[first] - f.RowStarts[std::min(heading, rows - 1)];
  const TRect table = Rect(x, y, x + f.Width, y + height);
  const bool white = (PrintOptions & rdtoWhiteBackground) != 0;

  // Background.
  const TColor tableColor = color_ == clNone ? clNone
                            : white          ? clWhite
                                             : ConvertBackColor(color_, colorMode);
  if (background_)
    background_->Print(canvas, table, table, info->Resolution, tableColor);
  else
    FillBox(canvas, tableColor, table);

  std::vector<int> printed;
  for (int r = 0; r < heading; ++r) printed.push_back(r);
  for (int r = first; r < first + count; ++r) printed.push_back(r);
  const auto rowShift = [&](int r) {
    return r < heading ? 0 : r > groupEnd ? shift + shrink : shift + std::max(window, 0);
  };
  const int windowTop = rows == 0 ? y : y + f.RowStarts[first] - shift;

  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  const TRect clip = table;
  // The rows of a window all move up by its start (the rows after the group stand under
  // its last window, which ends at the group's bottom).
  DrawRules(canvas, x, y, table, clip, f, heading, first, first + count - 1, shift,
            window >= 0 ? window : shrink, true, colorMode);
  self.DrawBorder(canvas, table.Left, table.Top, table.Right, table.Bottom, border_width_,
                  border_light_color_, border_color_, clNone, border_style_, false, true, clip,
                  &visible_borders_, -1, -1, colorMode);

  // Cells.
  const int padX = ScaleX(cell_padding_), padY = ScaleY(cell_padding_);
  const int b = ScaleY(cell_border_width_);
  for (int r : printed)
    for (int c = 0; c < cols; ++c) {
      TRDTableCellData* cell = Rows->Cell(r, c);
      auto* document = dynamic_cast<TCellPtblRDData*>(f.CellLayout(r, c, cols));
      if (!cell || !document) continue;
      const bool cut = document->Pages.Count() > 0;
      const bool windowed = window >= 0 && r >= first && r <= groupEnd;
      TRect box =
          Bounds(x + document->BoxLeft, y + document->BoxTop - rowShift(r), document->BoxWidth,
                 document->BoxHeight - (r == first && !windowed ? shrink : 0));
      // A windowed cell shows what of its box lies in the window, which may be nothing;
      // the lines its cell moved down stand in the window too, and a box that ends with
      // the group ends with the window.
      TRect area = box;
      if (windowed) {
        const int windowBottom = windowTop + windowHeight;
        if (r + cell->RowSpan - 1 >= groupEnd) box.Bottom = std::max(box.Bottom, windowBottom);
        box.Top = std::max(box.Top, windowTop);
        box.Bottom = std::min(box.Bottom, windowBottom);
        area = Rect(box.Left, windowTop, box.Right, windowBottom);
      }
      const bool shown = !windowed || box.Bottom > box.Top;
      const TColor color = cell->Color == clNone ? clNone
                           : white               ? clWhite
                                                 : ConvertBackColor(cell->Color, colorMode);
      if (shown && cell->GetCellBackground())
        cell->GetCellBackground()->Print(canvas, box, box, info->Resolution, color);
      else if (shown)
        FillBox(canvas, color, box);
      // The pieces of a cut row stand at the top of their boxes.
      const int inner = box.Height() - 2 * padY;
      int offset = 0;
      if (!cut && cell->GetRealVAlign() == rdcMiddle)
        offset = (inner - document->DocumentHeight) / 2;
      if (!cut && cell->GetRealVAlign() == rdcBottom) offset = inner - document->DocumentHeight;
      document->Left = box.Left + padX;
      // A windowed cell's page is placed so that its lines stand where the group's layout
      // has them.
      document->Top = windowed ? windowTop : box.Top + padY + std::max(offset, 0);
      // A cell whose content ended in an earlier piece prints only its box here.
      const int page = cut && (r == first || windowed) ? piece + 1 : 1;
      if (page <= std::max(document->Pages.Count(), 1)) {
        canvas.SaveState();
        canvas.IntersectClipRect(area);
        {
          TPrintingCellScope printing(self, *cell, box, info->Resolution);
          document->DrawPage(page, canvas, false);
        }
        canvas.RestoreState();
      }
      if (shown)
        self.DrawBorder(
            canvas, box.Left - b, box.Top - b, box.Right + b, box.Bottom + b, cell_border_width_,
            cell->BorderLightColor != clNone ? cell->BorderLightColor : cell_border_light_color_,
            cell->BorderColor != clNone ? cell->BorderColor : cell_border_color_, color_,
            cell_border_style_, false, true, clip, &cell->VisibleBorders, r, c, colorMode);
    }
}

void TRDTableItemInfo::PrintBackground(TRDCanvas& canvas, const TRect& rect,
                                       TRDColorMode colorMode) const {
  const bool white = (PrintOptions & rdtoWhiteBackground) != 0;
  const auto paint = [&](TColor color, const TRDBackground* picture, const TRect& area) {
    const TColor c = color == clNone ? clNone
                     : white         ? clWhite
                                     : ConvertBackColor(color, colorMode);
    if (picture)
      picture->Draw(canvas, area, 0, 0, area.Left, area.Top, area.Right - area.Left,
                    area.Bottom - area.Top, c, true);
    else
      FillBox(canvas, c, area);
  };
  paint(color_, background_.get(), rect);
  if (!PrintingCell || !DeviceInfo) return;
  // The cell's box on the page, moved as the table's box was into the bitmap.
  TRect origin = Bounds(OriginX, OriginY, 0, 0);
  ScaleRectToScreen(origin, *DeviceInfo);
  TRect cell = PrintingCellRect;
  const int dx = rect.Left - origin.Left, dy = rect.Top - origin.Top;
  cell = Rect(cell.Left + dx, cell.Top + dy, cell.Right + dx, cell.Bottom + dy);
  paint(PrintingCell->Color, PrintingCell->GetCellBackground(), cell);
}
