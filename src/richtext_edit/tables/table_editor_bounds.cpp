// Where the cell editor lies: over its cell, in the client coordinates of the editor
// around the table, moved along when that editor lays its document out or scrolls it.
// The scroller moves child windows by their Tag, which keeps the top they would have
// without the limit the window system puts on positions.
#include <algorithm>

#include "richtext/view/rd_scroller.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// An editor taller than this shows a part and scrolls.
constexpr int kMaxEditorHeight = 10000;

}  // namespace

void TRDTableItemInfo::MoveToPosition(int x, int y, bool) {
  if (!InplaceEditor) return;
  const TRDTableCellData& cell = *Rows->Cell(InplaceEditor->Row(), InplaceEditor->Col());
  const TRect area = InplaceEditor->Outer().DocumentRect();
  InplaceEditor->Tag = y + area.Top + cell.Top;
  SetEditorBounds(x + area.Left + CellLeft(InplaceEditor->Col()),
                  TRDScroller::GetTopFromTag(*InplaceEditor), cell.Width, cell.Height);
}

void TRDTableItemInfo::SetEditorBounds(int left, int top, int width, int height) {
  if (!InplaceEditor) return;
  const TRDTableCellData& cell = *Rows->Cell(InplaceEditor->Row(), InplaceEditor->Col());
  HatchedCell = height > kMaxEditorHeight ? &cell : nullptr;
  height = std::min(height, kMaxEditorHeight);
  // The bar a cell taller than the editor scrolls with stands beside the cell, so that the
  // lines keep the cell's width and wrap (and save) as they do once it is closed: right
  // of the cell, or left of it where the view ends first on the right (the last column).
  const TRect view = InplaceEditor->Outer().DocumentRect();
  const auto place = [&] {
    const int bar = InplaceEditor->Width() - InplaceEditor->DocClientWidth();
    const bool atLeft = bar > 0 && left + width + bar > view.Right && left - bar >= view.Left;
    InplaceEditor->SetVScrollAtLeft(atLeft);
    const int x = atLeft ? left - bar : left;
    if (InplaceEditor->Left() != x || InplaceEditor->Top() != top ||
        InplaceEditor->Width() != width + bar || InplaceEditor->Height() != height)
      InplaceEditor->SetBounds(x, top, width + bar, height);
  };
  place();
  if (State & rdtsPaddingChanged) {
    // The cell's padding is the editor's margins.
    State &= TRDTableStates(~rdtsPaddingChanged);
    const int padding = CellPadding();
    InplaceEditor->LeftMargin = InplaceEditor->RightMargin = padding;
    InplaceEditor->TopMargin = InplaceEditor->BottomMargin = padding;
    InplaceEditor->FormatDocument();
  }
  InplaceEditor->SetVScrollVisible(InplaceEditor->EditData().DocumentHeight > height);
  place();
}
