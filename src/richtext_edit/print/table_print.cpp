#include "richtext_edit/print/table_print.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "richtext/rd_background.h"
#include "richtext/rd_colors.h"
#include "richtext/rich_doc_error.h"
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

int TRDTablePrintInfo::Outside() const {
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int last = f.RowStarts.Count() - 1;
  const int h = HeadingRows();
  if (last < 0 || h > last) return f.Height;
  return f.Height + f.RowStarts[h] - f.RowStarts[last] - f.RowHeights[last];
}

bool TRDTablePrintInfo::LayOutForPrinting(TRDCanvas& canvas, int docWidth, int& width,
                                          int& height) {
  {
    TDeviceScope device(Table, &Resolution);
    Table.Format(docWidth, FormattingInfo, canvas, false);
  }
  Width = width = FormattingInfo.Width;
  Height = height = FormattingInfo.Height;
  return true;
}

bool TRDTablePrintInfo::InitSplit() {
  PartsList.Clear();
  SplitRefusal.clear();
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

bool TRDTablePrintInfo::SplitAt(int y) {
  if (PartsList.Count() == 0) throw ERichDocError("Internal printing error");
  SplitRefusal.clear();
  TRDTablePrintPart& p = *Part(PartsList.Count() - 1);
  const bool fits = p.Height <= y;
  if (p.RowCount <= 1) {
    if (!fits) SplitRefusal = kRowTooTall;
    return false;
  }
  if (fits && !Table.HasPageBreakRows(p.StartRow + 1, p.StartRow + p.RowCount - 1)) return false;
  const TRDTableItemFormattingInfo& f = FormattingInfo;
  const int outside = Outside();
  const int limit = y - outside + f.RowStarts[p.StartRow];
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
  p.Height = f.RowStarts[newStart - 1] + f.RowHeights[newStart - 1] + outside -
             f.RowStarts[p.StartRow];
  auto q = std::make_unique<TRDTablePrintPart>();
  q->StartRow = newStart;
  q->RowCount = last + 1 - newStart;
  q->Height = f.RowStarts[last] + f.RowHeights[last] + outside - f.RowStarts[newStart];
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
  int first = 0, count = rows, heading = 0, height = f.Height;
  if (info->PrintedPart >= 0 && info->PrintedPart < info->PartsList.Count()) {
    const TRDTablePrintPart& part = *info->Part(info->PrintedPart);
    first = part.StartRow;
    count = part.RowCount;
    heading = std::min(info->HeadingRows(), first);
    height = part.Height;
  }
  if (rows == 0 || first + count > rows) count = std::max(0, rows - first);
  // Rows of the run move up to stand right under the heading.
  const int shift = rows == 0 ? 0 : f.RowStarts[first] - f.RowStarts[std::min(heading, rows - 1)];
  const TRect table = Rect(x, y, x + f.Width, y + height);
  const bool white = (PrintOptions & rdtoWhiteBackground) != 0;

  // Background.
  const TColor tableColor = color_ == clNone ? clNone : white ? clWhite : ConvertBackColor(color_, colorMode);
  if (background_)
    background_->Print(canvas, table, table, info->Resolution, tableColor);
  else
    FillBox(canvas, tableColor, table);

  std::vector<int> printed;
  for (int r = 0; r < heading; ++r) printed.push_back(r);
  for (int r = first; r < first + count; ++r) printed.push_back(r);
  const auto rowShift = [&](int r) { return r < heading ? 0 : shift; };

  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  const TRect clip = table;
  DrawRules(canvas, x, y, table, clip, f, heading, first, first + count - 1, shift, true,
            colorMode);
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
      const TRect box = Bounds(x + document->BoxLeft, y + document->BoxTop - rowShift(r),
                               document->BoxWidth, document->BoxHeight);
      const TColor color =
          cell->Color == clNone ? clNone : white ? clWhite : ConvertBackColor(cell->Color, colorMode);
      if (cell->GetCellBackground())
        cell->GetCellBackground()->Print(canvas, box, box, info->Resolution, color);
      else
        FillBox(canvas, color, box);
      const int inner = box.Height() - 2 * padY;
      int offset = 0;
      if (cell->GetRealVAlign() == rdcMiddle) offset = (inner - document->DocumentHeight) / 2;
      if (cell->GetRealVAlign() == rdcBottom) offset = inner - document->DocumentHeight;
      document->Left = box.Left + padX;
      document->Top = box.Top + padY + std::max(offset, 0);
      canvas.SaveState();
      canvas.IntersectClipRect(box);
      {
        TPrintingCellScope printing(self, *cell, box, info->Resolution);
        document->DrawPage(1, canvas, false);
      }
      canvas.RestoreState();
      self.DrawBorder(canvas, box.Left - b, box.Top - b, box.Right + b, box.Bottom + b,
                      cell_border_width_,
                      cell->BorderLightColor != clNone ? cell->BorderLightColor
                                                       : cell_border_light_color_,
                      cell->BorderColor != clNone ? cell->BorderColor : cell_border_color_, color_,
                      cell_border_style_, false, true, clip, &cell->VisibleBorders, r, c,
                      colorMode);
    }
}

void TRDTableItemInfo::PrintBackground(TRDCanvas& canvas, const TRect& rect,
                                       TRDColorMode colorMode) const {
  const bool white = (PrintOptions & rdtoWhiteBackground) != 0;
  const auto paint = [&](TColor color, const TRDBackground* picture, const TRect& area) {
    const TColor c = color == clNone ? clNone : white ? clWhite : ConvertBackColor(color, colorMode);
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
