// The table under the mouse: which cell, column or row border lies under a point, the
// rectangle of selected cells (chosen by dragging across cells, or by clicking the
// table's left or top edge for whole rows or columns), and dragging a border to resize a
// column or a row. Points are relative to the table's top-left corner; the cells' own
// documents get the events that fall on their content.
#include <algorithm>
#include <cstdlib>

#include "platform/gui/controls/cursor_shapes.h"
#include "richtext/layout/formatted_data.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

namespace {

bool InBox(int x, int y, int left, int top, int width, int height) {
  return x >= left && x < left + width && y >= top && y < top + height;
}

// A border at pos drawn in a band of band pixels is hit within half the band, and never
// less than 2 pixels either side.
bool HitsBorder(int x, int pos, int band) {
  return std::abs(x - pos) <= std::max(2, band / 2);
}

// The first of starts (one per column or row) whose successor starts beyond v; the last
// when none does.
int IndexAt(const TRDIntegerList& starts, int v) {
  const int count = starts.Count();
  for (int i = 0; i + 1 < count; ++i)
    if (starts[i + 1] > v) return i;
  return count - 1;
}

TCustomRDFormattedData* FormattedDocument(const TRDTableItemInfo& table) {
  return dynamic_cast<TCustomRDFormattedData*>(table.GetDocument());
}

}  // namespace

// --- lookups ----------------------------------------------------------------------------------

bool TRDTableItemInfo::GetCellAt(int x, int y, int& row, int& col) const {
  row = col = -1;
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  if (Rows->IsEmpty() || info.RowStarts.Count() != RowCount() ||
      info.ColStarts.Count() != ColCount())
    return false;
  const int l = CellLeft(0), t = Rows->Cell(0, 0)->Top;
  if (!InBox(x, y, l + 1, t + 1, info.Width - 2 * l - 2, info.Height - 2 * t - 2)) return false;
  int mr, mc;
  const TRDTableCellData* cell =
      Rows->GetMainCell(IndexAt(info.RowStarts, y), IndexAt(info.ColStarts, x), mr, mc);
  if (!cell || !InBox(x, y, CellLeft(mc) + 1, cell->Top + 1, cell->Width - 2, cell->Height - 2))
    return false;
  row = mr;
  col = mc;
  return true;
}

bool TRDTableItemInfo::GetCellAtCached(int x, int y, int& row, int& col) {
  if (LastHitRow >= 0 && LastHitRow < RowCount() && LastHitCol >= 0 && LastHitCol < ColCount())
    if (const TRDTableCellData* cell = Rows->Cell(LastHitRow, LastHitCol);
        cell &&
        InBox(x, y, CellLeft(LastHitCol) + 1, cell->Top + 1, cell->Width - 2, cell->Height - 2)) {
      row = LastHitRow;
      col = LastHitCol;
      return true;
    }
  const bool found = GetCellAt(x, y, row, col);
  LastHitRow = row;
  LastHitCol = col;
  return found;
}

int TRDTableItemInfo::GetColAt(int x) const {
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  for (int c = 0; c < info.ColStarts.Count() && c < info.ColWidths.Count(); ++c) {
    if (x < info.ColStarts[c]) return -1;
    if (x <= info.ColStarts[c] + info.ColWidths[c]) return c;
  }
  return -1;
}

int TRDTableItemInfo::GetRowAt(int y) const {
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  for (int r = 0; r < info.RowStarts.Count() && r < info.RowHeights.Count(); ++r) {
    if (y < info.RowStarts[r]) return -1;
    if (y <= info.RowStarts[r] + info.RowHeights[r]) return r;
  }
  return -1;
}

namespace {

// Column and row borders are found alike: the outer edges, then the inner borders in
// order (see GetColBorderAt).
int BorderAt(int v, int size, int outerBand, int innerBand, const TRDIntegerList& starts,
             int& minPos, int& pos) {
  minPos = pos = -1;
  const int count = starts.Count();
  if (count == 0 || v < 0 || v > size) return -1;
  if (HitsBorder(v, outerBand / 2, outerBand)) {
    pos = outerBand / 2;
    return 0;
  }
  if (HitsBorder(v, size - outerBand / 2, outerBand)) {
    minPos = starts[count - 1];
    pos = size - outerBand / 2;
    return count;
  }
  for (int i = 1; i < count; ++i)
    if (HitsBorder(v, starts[i] - innerBand / 2, innerBand)) {
      minPos = starts[i - 1];
      pos = starts[i] - (innerBand + 1) / 2;
      return i;
    }
  return -1;
}

}  // namespace

int TRDTableItemInfo::GetColBorderAt(int x, int& minPos, int& pos) const {
  return BorderAt(x, FormattingInfo->Width, border_width_ + border_h_spacing_ + cell_border_width_,
                  cell_h_spacing_ + 2 * cell_border_width_, FormattingInfo->ColStarts, minPos, pos);
}

int TRDTableItemInfo::GetRowBorderAt(int y, int& minPos, int& pos) const {
  return BorderAt(y, FormattingInfo->Height, border_width_ + border_v_spacing_ + cell_border_width_,
                  cell_v_spacing_ + 2 * cell_border_width_, FormattingInfo->RowStarts, minPos, pos);
}

// --- the cell selection -----------------------------------------------------------------------

namespace {

// The rectangle of the main cells of the selection's two corners with their spans.
bool SelectionRect(const TRDTableItemInfo& t, int& r0, int& c0, int& r1, int& c1) {
  if (!(t.State & rdtsCellsSelected) || t.SelStartRow < 0 || t.SelStartCol < 0) return false;
  const TRDTableRows& rows = *t.Rows;
  int ar, ac, br, bc;
  const TRDTableCellData* a = rows.GetMainCell(t.SelStartRow, t.SelStartCol, ar, ac);
  const TRDTableCellData* b =
      rows.GetMainCell(t.SelStartRow + t.SelRowOffs, t.SelStartCol + t.SelColOffs, br, bc);
  if (!a || !b) return false;
  r0 = std::min(ar, br);
  c0 = std::min(ac, bc);
  r1 = std::max(ar + a->RowSpan, br + b->RowSpan) - 1;
  c1 = std::max(ac + a->ColSpan, bc + b->ColSpan) - 1;
  return true;
}

}  // namespace

bool TRDTableItemInfo::IsCellSelected(int row, int col) const {
  int r0, c0, r1, c1, mr, mc;
  if (!SelectionRect(*this, r0, c0, r1, c1)) return false;
  const TRDTableCellData* cell = Rows->PeekMainCell(row, col, mr, mc);
  return cell && mr <= r1 && mr + cell->RowSpan - 1 >= r0 && mc <= c1 &&
         mc + cell->ColSpan - 1 >= c0;
}

void TRDTableItemInfo::UpdateCellSelectionFlags() {
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c) {
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell) continue;
      cell->InSelection = IsCellSelected(r, c);
      if (cell->InSelection) {
        cell->State |= rddsSelectedAsWhole;
      } else {
        if (r != SelStartRow || c != SelStartCol) cell->Deselect(false);
        cell->State &= ~rddsSelectedAsWhole;
      }
    }
}

namespace {

// Selected cells are the document's selection, and so is the selection inside a cell a
// viewer chose; an anchor cell alone is not.
void ClaimDocumentSelection(TRDTableItemInfo& table, TCustomRDFormattedData& document) {
  const int itemNo = table.GetMyItemNo();
  if (table.State & rdtsCellsSelected) {
    if (document.PartialSelectedItem == itemNo) return;
    document.Deselect(false);
    document.PartialSelectedItem = itemNo;
    table.PlaceCaretAfterCells();
  } else if (document.PartialSelectedItem == itemNo &&
             (table.ChosenRow < 0 || table.IsInEditor())) {
    document.PartialSelectedItem = -1;
  }
}

void SelectionChanged(TRDTableItemInfo& table) {
  if (TCustomRDFormattedData* document = FormattedDocument(table)) {
    document->InvalidateControl();
    if (document->OnSelect) document->OnSelect();
  }
}

}  // namespace

void TRDTableItemInfo::Select(int startRow, int startCol, int colOffs, int rowOffs) {
  TCustomRDFormattedData* document = FormattedDocument(*this);
  if (!(State & rdtsInDocument) || !document || !(document->GetOptions() & rdoAllowSelection))
    return;
  // The document's own text selection gives way to the cells; style operations on the
  // document go to them.
  SelStartRow = startRow;
  SelStartCol = startCol;
  SelColOffs = colOffs;
  SelRowOffs = rowOffs;
  State |= rdtsCellsSelected;
  ClaimDocumentSelection(*this, *document);
  UpdateCellSelectionFlags();
  SelectionChanged(*this);
}

void TRDTableItemInfo::PlaceCaretAfterCells() {
  // The caret stands at the end of the selection, which the cells are: just after the
  // table, where typing goes on once they are deselected. An open cell editor keeps it
  // until it closes.
  if (!HasPartialSelection() || InplaceEditor) return;
  if (TRDEditRDData* data = EditData()) data->PlaceCaretAtItem(GetMyItemNo(), 1, false);
}

void TRDTableItemInfo::SelectCols(int startCol, int count) {
  Select(0, startCol, count - 1, RowCount() - 1);
}

void TRDTableItemInfo::SelectRows(int startRow, int count) {
  Select(startRow, 0, ColCount() - 1, count - 1);
}

bool TRDTableItemInfo::SelectCell(int row, int col) {
  TCustomRDFormattedData* document = FormattedDocument(*this);
  if (!document || !(document->GetOptions() & rdoAllowSelection) || (Options & rdtoNoCellSelect))
    return false;
  SelStartRow = row;
  SelStartCol = col;
  SelColOffs = SelRowOffs = 0;
  State &= TRDTableStates(~rdtsCellsSelected);
  ClaimDocumentSelection(*this, *document);
  document->SetCaptureItem(this, CaptureLeft, CaptureTop);
  UpdateCellSelectionFlags();
  MouseCaptured = true;
  return true;
}

void TRDTableItemInfo::Deselect() {
  DestroyInplaceEditor(true);
  State &= TRDTableStates(~rdtsCellsSelected);
  SelStartCol = SelStartRow = -1;
  SelColOffs = SelRowOffs = 0;
  UpdateCellSelectionFlags();
  ChosenRow = ChosenCol = -1;
  if (auto* document = FormattedDocument(*this); document && document->PartialSelectedItem >= 0 &&
                                                 document->PartialSelectedItem == GetMyItemNo())
    document->PartialSelectedItem = -1;
  SelectionChanged(*this);
}

bool TRDTableItemInfo::GetNormalizedSelectionBounds(bool includeEditedCell, int& topRow,
                                                    int& leftCol, int& colCount, int& rowCount) {
  topRow = leftCol = -1;
  colCount = rowCount = 0;
  if ((State & rdtsCellsSelected) && (SelStartCol < 0 || SelStartRow < 0)) {
    // A stale selection (its cells went) is dropped.
    State &= TRDTableStates(~rdtsCellsSelected);
    MouseCaptured = false;
    SelectionChanged(*this);
  }
  int r0, c0, r1, c1;
  if (SelectionRect(*this, r0, c0, r1, c1)) {
    topRow = r0;
    leftCol = c0;
    rowCount = r1 - r0 + 1;
    colCount = c1 - c0 + 1;
    return true;
  }
  int row, col;
  if (!includeEditedCell || !GetEditedCell(row, col)) return false;
  const TRDTableCellData& cell = *Rows->Cell(row, col);
  topRow = row;
  leftCol = col;
  rowCount = cell.RowSpan;
  colCount = cell.ColSpan;
  return true;
}

bool TRDTableItemInfo::GetSelectionBoundsForSave(int& topRow, int& leftCol, int& colCount,
                                                 int& rowCount) {
  if (!GetNormalizedSelectionBounds(false, topRow, leftCol, colCount, rowCount)) return false;
  int r0 = topRow, c0 = leftCol, r1 = topRow + rowCount - 1, c1 = leftCol + colCount - 1;
  // Every merged cell on an edge row or column is taken in whole; taking one in may move
  // an edge, so the edges are walked again until none moves.
  for (bool grown = true; grown;) {
    grown = false;
    auto take = [&](int r, int c) {
      int mr, mc;
      const TRDTableCellData* cell = Rows->GetMainCell(r, c, mr, mc);
      if (!cell) return;
      const int nr0 = std::min(r0, mr), nc0 = std::min(c0, mc);
      const int nr1 = std::max(r1, mr + cell->RowSpan - 1);
      const int nc1 = std::max(c1, mc + cell->ColSpan - 1);
      if (nr0 != r0 || nc0 != c0 || nr1 != r1 || nc1 != c1) grown = true;
      r0 = nr0, c0 = nc0, r1 = nr1, c1 = nc1;
    };
    for (int c = c0; c <= c1; ++c) take(r0, c), take(r1, c);
    for (int r = r0; r <= r1; ++r) take(r, c0), take(r, c1);
  }
  topRow = r0;
  leftCol = c0;
  rowCount = r1 - r0 + 1;
  colCount = c1 - c0 + 1;
  return true;
}

// --- the mouse --------------------------------------------------------------------------------

bool TRDTableItemInfo::InContentBox(int row, int col, int x, int y) const {
  const TRDTableCellData& cell = *Rows->Cell(row, col);
  return InBox(x, y, CellLeft(col) + cell_padding_, cell.Top + cell_padding_,
               cell.Width - 2 * cell_padding_, cell.Height - 2 * cell_padding_);
}

// The cell's document takes the point relative to its content; the cell editor's
// document, when the cell is being edited, relative to the editor.
TCustomRDFormattedData* TRDTableItemInfo::CellContent(int row, int col, int& x, int& y) {
  if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) return nullptr;
  TRDTableCellData* cell = Rows->Cell(row, col);
  if (!cell) return nullptr;
  int editedRow, editedCol;
  if (GetEditedCell(editedRow, editedCol) && editedRow == row && editedCol == col) {
    const TRect area = InplaceEditor->DocumentRect();
    x -= CellLeft(col) + area.Left;
    y -= cell->Top + area.Top;
    return &InplaceEditor->EditData();
  }
  x -= CellLeft(col) + cell_padding_;
  y -= cell->Top + cell_padding_ + cell->GetExtraVOffs();
  return cell;
}

TCustomRDData* TRDTableItemInfo::GetSubDocAt(int& x, int& y) {
  int row, col;
  return GetCellAt(x, y, row, col) ? CellContent(row, col, x, y) : nullptr;
}

void TRDTableItemInfo::PassToCell(
    int row, int col, int x, int y,
    const std::function<void(TCustomRDFormattedData&, int, int)>& call) {
  TCustomRDFormattedData* content = CellContent(row, col, x, y);
  if (!content) return;
  call(*content, x, y);
  // A cell without an editor is painted by the document around the table.
  if (content == Rows->Cell(row, col))
    if (TCustomRDFormattedData* document = FormattedDocument(*this)) document->InvalidateControl();
}

bool TRDTableItemInfo::MouseMove(TShiftState shift, int x, int y, int, TCustomRDData* rdData) {
  auto* document = dynamic_cast<TCustomRDFormattedData*>(rdData);
  if (Rows->IsEmpty() || !document || document->IsXorDrawHandler(this)) return false;
  OriginX = OriginY = 0;
  if (BusyCount > 0) return true;
  int row, col;
  if (GetCellAtCached(x, y, row, col)) {
    if (MouseCaptured && (shift & ssLeft)) {
      const int colOffs = col - SelStartCol, rowOffs = row - SelStartRow;
      const bool changed = colOffs != SelColOffs || rowOffs != SelRowOffs;
      SelColOffs = colOffs;
      SelRowOffs = rowOffs;
      if (colOffs != 0 || rowOffs != 0)
        State |= rdtsCellsSelected;
      else
        State &= TRDTableStates(~rdtsCellsSelected);
      if (changed) {
        ClaimDocumentSelection(*this, *document);
        UpdateCellSelectionFlags();
        document->InvalidateControl();
        if (InplaceEditor) InplaceEditor->SetSelectedLook((State & rdtsCellsSelected) != 0);
      }
    }
    const bool draggingCells = MouseCaptured && (State & rdtsCellsSelected);
    if (!draggingCells && InContentBox(row, col, x, y)) {
      PassToCell(row, col, x, y, [shift](TCustomRDFormattedData& cell, int cx, int cy) {
        cell.MouseMove(shift, cx, cy);
      });
      return true;
    }
    document->SetShownCursor(crArrow);
    return true;
  }
  const TRDOptions docOptions = document->GetOptions();
  const bool selecting = (docOptions & rdoAllowSelection) != 0;
  int minPos, pos;
  const int colBorder = GetColBorderAt(x, minPos, pos);
  const int rowBorder = GetRowBorderAt(y, minPos, pos);
  TCursor cursor = crArrow;
  if (colBorder == 0 && (Options & rdtoRowSelect) && selecting)
    cursor = crRDSelectRow;
  else if (IsInEditor() && (Options & rdtoColSizing) && colBorder > 0)
    cursor = crHSplit;
  else if (rowBorder == 0 && (Options & rdtoColSelect) && selecting)
    cursor = crRDSelectCol;
  else if (IsInEditor() && (Options & rdtoRowSizing) && rowBorder > 0)
    cursor = crVSplit;
  document->SetShownCursor(cursor);
  return true;
}

void TRDTableItemInfo::StartBorderDrag(bool columns, int index, int minPos, int pos, int start,
                                       bool shift, TCustomRDFormattedData& document) {
  ResizeIndex = index;
  ResizeMinPos = minPos;
  ResizeMaxPos = -1;
  ResizeStart = start;
  ResizeOffset = pos - start;
  if (columns) {
    State |= rdtsColumnResizing;
    if (shift)
      State |= rdtsResizeWithShift;
    else
      State &= TRDTableStates(~rdtsResizeWithShift);
  } else {
    State &= TRDTableStates(~(rdtsColumnResizing | rdtsResizeWithShift));
  }
  // The cell editor is out of the way while the border moves.
  SaveEditorForReformat();
  document.RegisterXorDrawHandler(
      [this](TRDCanvas& canvas, int x, int y) { DrawResizeLine(canvas, x, y); }, this);
  document.SetCaptureItem(this, CaptureLeft, CaptureTop);
}

// The line where the dragged border would go, across the visible document at the pointer
// (client coordinates), never before the start of the column or row it resizes.
void TRDTableItemInfo::DrawResizeLine(TRDCanvas& canvas, int x, int y) {
  auto* document = FormattedDocument(*this);
  if (!document) return;
  int ox, oy;
  document->GetOrigin(ox, oy);
  const bool columns = (State & rdtsColumnResizing) != 0;
  const int base =
      columns ? CaptureLeft - document->GetHOffs() + ox : CaptureTop - document->GetVOffs() + oy;
  int v = std::max(columns ? x : y, base + ResizeMinPos);
  if (ResizeMaxPos >= 0) v = std::min(v, base + ResizeMaxPos);
  canvas.PenMode = pmNot;
  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  canvas.BrushStyle = bsClear;
  if (columns) {
    canvas.MoveTo(v, 0);
    canvas.LineTo(v, document->GetHeight());
  } else {
    canvas.MoveTo(0, v);
    canvas.LineTo(document->GetWidth(), v);
  }
  canvas.PenMode = pmCopy;
}

TRDTableCellData* TRDTableItemInfo::ChosenCellTextAt(int x, int y) {
  int row, col;
  if (!GetCellAt(x, y, row, col) || row != ChosenRow || col != ChosenCol) return nullptr;
  int cx = x, cy = y;
  TRDTableCellData* cell = Rows->Cell(row, col);
  if (CellContent(row, col, cx, cy) != cell) return nullptr;
  cell->ClientToDocument(cx, cy);
  int d, o, strictD, strictO, itemNo = -1, offs = 0;
  cell->FindDrawItemAtPos(cx, cy, false, d, o);
  cell->FindDrawItemAtPos(cx, cy, true, strictD, strictO);
  if (d < 0 || strictD < 0) return nullptr;
  cell->DrawItemToItem(d, o, itemNo, offs);
  if (itemNo < 0) return nullptr;
  if (cell->HasSelection() && cell->IsPositionInSelection(itemNo, offs, false)) return cell;
  // A table in the cell keeps a chosen cell and a selection of its own.
  const TRDDrawLineInfo& line = *cell->DrawItems[strictD];
  auto* inner = dynamic_cast<TRDTableItemInfo*>(cell->GetItem(line.ItemNo));
  return inner ? inner->ChosenCellTextAt(cx - line.Left, cy - line.Top) : nullptr;
}

bool TRDTableItemInfo::MouseDown(TMouseButton button, TShiftState shift, int x, int y, int,
                                 TCustomRDData* rdData) {
  auto* document = dynamic_cast<TCustomRDFormattedData*>(rdData);
  if (Rows->IsEmpty() || BusyCount > 0 || !document) return false;
  OriginX = OriginY = 0;
  int row, col;
  const bool overCell = GetCellAt(x, y, row, col);
  if (overCell && (button == mbLeft || button == mbRight) && IsInEditor() &&
      (Options & rdtoEditing)) {
    // A right click on selected cells keeps them for a context menu.
    if (button == mbRight && (IsCellSelected(row, col) || IsInsideSelection())) return false;
    OpenCellEditor(row, col, false, button == mbLeft, false, false, (shift & ssCtrl) != 0);
    int editedRow, editedCol;
    if (GetEditedCell(editedRow, editedCol) && editedRow == row && editedCol == col) {
      const TRDTableCellData& cell = *Rows->Cell(row, col);
      InplaceEditor->SetFocus();
      InplaceEditor->PressAt(button, shift, x - CellLeft(col), y - cell.Top);
      return false;
    }
  }
  if (!overCell) {
    const bool editor = IsInEditor();
    if (button == mbLeft &&
        (Options & (rdtoRowSizing | rdtoColSizing | rdtoColSelect | rdtoRowSelect))) {
      int minPos = -1, pos = -1;
      int colBorder = -1, rowBorder = -1;
      if ((editor && (Options & rdtoColSizing)) || (Options & rdtoRowSelect)) {
        colBorder = GetColBorderAt(x, minPos, pos);
        if (colBorder > 0 && editor && (Options & rdtoColSizing)) {
          StartBorderDrag(true, colBorder, minPos, pos, x, shift & ssShift, *document);
          return false;
        }
      }
      if ((editor && (Options & rdtoRowSizing)) || (Options & rdtoColSelect)) {
        rowBorder = GetRowBorderAt(y, minPos, pos);
        if (rowBorder > 0 && editor && (Options & rdtoRowSizing)) {
          StartBorderDrag(false, rowBorder, minPos, pos, y, false, *document);
          return false;
        }
      }
      bool selected = false;
      // Whole rows or columns become the selection in place of the edited cell's.
      if ((rowBorder == 0 && (Options & rdtoColSelect)) ||
          (colBorder == 0 && (Options & rdtoRowSelect)))
        DestroyInplaceEditor(true);
      if (rowBorder == 0 && (Options & rdtoColSelect)) {
        if (const int c = GetColAt(x); c >= 0) SelectCols(c, 1), selected = true;
      } else if (colBorder == 0 && (Options & rdtoRowSelect)) {
        if (const int r = GetRowAt(y); r >= 0) SelectRows(r, 1), selected = true;
      }
      if (selected) {
        document->SetCaptureItem(this, CaptureLeft, CaptureTop);
        return false;
      }
    }
    DestroyInplaceEditor(true);
    document->SetControlFocus();
    return false;
  }
  // In a viewer a press on the text selected in the chosen cell, or in a cell of a table
  // in it at any depth, drags that text, as a press on the selection does outside tables.
  if (button == mbLeft && !IsInEditor() && !(shift & ssShift))
    if (TRDTableCellData* cell = ChosenCellTextAt(x, y); cell && cell->CanStartDrag()) {
      cell->GetAbsoluteRootData()->State |= rdsDragPending;
      cell->RequestDrag();
      return false;
    }
  DestroyInplaceEditor(true);
  document->SetControlFocus();
  // In a viewer the pressed cell is chosen: what the mouse selects in it is the selection.
  if (button == mbLeft && !IsInEditor()) {
    ChooseCell(row, col);
  } else if (button == mbLeft) {
    ChosenRow = row;
    ChosenCol = col;
  }
  if (InContentBox(row, col, x, y))
    PassToCell(row, col, x, y, [button, shift](TCustomRDFormattedData& cell, int cx, int cy) {
      cell.MouseDown(button, shift, cx, cy);
    });
  if (button == mbLeft && SelectCell(row, col)) document->InvalidateControl();
  return false;
}

bool TRDTableItemInfo::MouseUp(TMouseButton button, TShiftState shift, int x, int y, int itemNo,
                               TCustomRDData* rdData) {
  auto* document = dynamic_cast<TCustomRDFormattedData*>(rdData);
  if (Rows->IsEmpty() || BusyCount > 0 || !document) return false;
  OriginX = OriginY = 0;
  auto cellMouseUp = [button, shift](TCustomRDFormattedData& cell, int cx, int cy) {
    cell.MouseUp(button, shift, cx, cy);
  };
  int row = -1, col = -1;
  const bool overCell = GetCellAt(x, y, row, col);
  const bool overContent = overCell && InContentBox(row, col, x, y);
  if (button == mbLeft && document->IsXorDrawHandler(this)) {
    document->UnregisterXorDrawHandler();
    if (CanChange()) {
      if (State & rdtsColumnResizing) {
        if (x != ResizeStart)
          ApplyColResize(ResizeIndex - 1, x - ResizeMinPos + ResizeOffset,
                         (State & rdtsResizeWithShift) != 0);
      } else if (y != ResizeStart) {
        ApplyRowResize(ResizeIndex - 1, y - ResizeMinPos + ResizeOffset);
      }
    }
    ResizeIndex = -1;
    document->ReleaseCaptureItem(this);
    RestoreEditorAfterReformat();
    return true;
  }
  if (button == mbLeft) {
    int editedRow, editedCol;
    if (MouseCaptured && GetEditedCell(editedRow, editedCol))
      PassToCell(editedRow, editedCol, x, y, cellMouseUp);
    else if (MouseCaptured)
      PassToCell(ChosenRow, ChosenCol, x, y, cellMouseUp);
    else if (!InplaceEditor && overContent)
      PassToCell(row, col, x, y, cellMouseUp);
    document->ReleaseCaptureItem(this);
    MouseCaptured = false;
    // Cells selected from an open cell editor: the editor gives way to the selection
    // once the release has been handled (it may be the editor's own release).
    if (InplaceEditor && (State & rdtsCellsSelected)) {
      TCustomRichDocEdit& outer = InplaceEditor->Outer();
      outer.QueueCall([&outer] { outer.CloseInplaceEditor(); });
    }
    return true;
  }
  if (!InplaceEditor && overContent) PassToCell(row, col, x, y, cellMouseUp);
  if (button == mbRight && (document->GetOptions() & rdoRClickDeselects) && overCell &&
      !IsCellSelected(row, col) && !IsInsideSelection()) {
    const TRDTableCellData* cell = Rows->Cell(row, col);
    if (row == ChosenRow && col == ChosenCol && cell->HasSelection()) return true;
    document->SetSelectionBounds(itemNo, 1, itemNo, 1);
    document->InvalidateControl();
  }
  return true;
}

// --- resizing ---------------------------------------------------------------------------------

void TRDTableItemInfo::ApplyColResize(int col, int newSize, bool shiftDrag) {
  const int cols = ColCount();
  if (col < 0 || col >= cols) return;
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  const int outerHalf = border_width_ + border_h_spacing_ + cell_border_width_;
  const int innerHalf = cell_border_width_ + cell_h_spacing_ / 2;
  const int innerBand = cell_h_spacing_ + 2 * cell_border_width_;
  const int fixed = (cols - 1) * cell_h_spacing_ + (border_width_ + border_h_spacing_) * 2 +
                    cols * cell_border_width_ * 2;
  // The column's cells take the width; a merged cell that ends in it follows with its
  // right edge unless a cell of the column alone took it.
  auto resize = [&](int c, int size) {
    const bool last = c == cols - 1;
    const bool percent = Rows->IsPercentWidthColumn(c);
    const int content = info.Width - fixed;
    // A percentage of no room cannot be told: the column stays as it was.
    if (percent && content <= 0) return;
    const int half = last ? (percent ? outerHalf / 2 : (outerHalf + 1) / 2) : innerHalf;
    auto widthFor = [&](int extent) {
      if (!percent) return std::max(1, extent - 2 * cell_padding_ - half);
      const int p = -((extent - half) * 100 / content);
      return p < 0 ? p : -1;
    };
    bool single = false;
    for (int r = 0; r < RowCount(); ++r)
      if (const TRDTableCellData* cell = Rows->Cell(r, c); cell && cell->ColSpan == 1) {
        SetCellBestWidth(-1, widthFor(size), r, c);
        single = true;
      }
    for (int r = 0; r < RowCount(); ++r) {
      int mr, mc;
      const TRDTableCellData* cell = Rows->Cell(r, c) ? nullptr : Rows->GetMainCell(r, c, mr, mc);
      if (!cell || mr != r || mc + cell->ColSpan - 1 != c) continue;
      int width;
      if (single)
        width = 0;
      else if (percent)
        width = widthFor(info.ColStarts[c] + size - CellLeft(mc));
      else
        width = std::max(1, cell->Width - info.ColWidths[c] + size - 2 * cell_padding_);
      SetCellBestWidth(-1, width, mr, mc);
    }
  };
  SaveEditorForReformat();
  BeginModify();
  resize(col, newSize);
  if (!shiftDrag && col + 1 < cols && !Rows->IsPercentWidthColumn(col + 1)) {
    // The next column gives up what this one takes, so that its right border stays: its
    // new extent runs from where it starts, just after the moved border, to that border.
    const int right =
        col + 2 < cols ? info.ColStarts[col + 2] - (cell_border_width_ + (cell_h_spacing_ + 1) / 2)
                       : info.Width - outerHalf / 2;
    const int nextStart = info.ColStarts[col] + newSize + (innerBand + 1) / 2;
    resize(col + 1, right - nextStart);
  }
  EndModify();
  FormattingInfo->Width = 0;
  ReformatAfterChange();
  RestoreEditorAfterReformat();
}

void TRDTableItemInfo::ApplyRowResize(int row, int newSize) {
  const int rows = RowCount();
  if (row < 0 || row >= rows) return;
  const int half = row == rows - 1
                       ? (border_width_ + border_v_spacing_ + cell_border_width_ + 1) / 2
                       : cell_v_spacing_ / 2 + cell_border_width_;
  const int border = FormattingInfo->RowStarts[row] + newSize;
  SaveEditorForReformat();
  BeginModify();
  bool single = false;
  for (int c = 0; c < ColCount(); ++c)
    if (const TRDTableCellData* cell = Rows->Cell(row, c); cell && cell->RowSpan == 1) {
      SetCellBestHeight(-1, std::max(0, newSize - 2 * cell_padding_ - half), row, c);
      single = true;
    }
  for (int c = 0; c < ColCount(); ++c) {
    int mr, mc;
    const TRDTableCellData* cell = Rows->Cell(row, c) ? nullptr : Rows->GetMainCell(row, c, mr, mc);
    if (!cell || mc != c || mr + cell->RowSpan - 1 != row) continue;
    SetCellBestHeight(-1, single ? 0 : std::max(0, border - cell->Top - 2 * cell_padding_ - half),
                      mr, mc);
  }
  EndModify();
  FormattingInfo->Width = 0;
  ReformatAfterChange();
  RestoreEditorAfterReformat();
}
