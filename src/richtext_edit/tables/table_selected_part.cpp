// The selected cells of a table as a table of their own, for the writers that copy the
// selection as text or RTF: the same cells the document file record of the selection
// holds (the rectangle that takes merged cells whole, unselected cells in it empty),
// read back apart, with the columns laid out as wide as they are in the table, so that
// what is pasted elsewhere looks as what was selected.
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

// Starts and sizes from index first on, moved so that the first starts where index 0
// does.
void CopyShifted(const TRDIntegerList& starts, const TRDIntegerList& sizes, int first, int count,
                 TRDIntegerList& toStarts, TRDIntegerList& toSizes) {
  toStarts.Clear();
  toSizes.Clear();
  if (first < 0 || first + count > starts.Count() || first + count > sizes.Count()) return;
  const int shift = starts[first] - starts[0];
  for (int i = first; i < first + count; ++i) {
    toStarts.AddValue(starts[i] - shift);
    toSizes.AddValue(sizes[i]);
  }
}

}  // namespace

std::unique_ptr<TCustomRDItemInfo> TRDTableItemInfo::CreateSelectedPart() const {
  auto& self = const_cast<TRDTableItemInfo&>(*this);
  int top, left, cols, rows;
  if (!HasPartialSelection() || !self.GetSelectionBoundsForSave(top, left, cols, rows))
    return nullptr;
  auto part = std::make_unique<TRDTableItemInfo>(0, 0, GetDocument());
  TableFromComponentBytes(*part, SelectedCellsComponentBytes());
  part->StyleNo = StyleNo;
  part->ParaNo = ParaNo;
  part->ItemOptions = ItemOptions;
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  TRDTableItemFormattingInfo& partInfo = *part->FormattingInfo;
  // The layout of the part: its columns and rows where they are in the table, moved to
  // its corner; its width and height take the table's edges around them.
  if (info.ColStarts.Count() == ColCount() && info.RowStarts.Count() == RowCount()) {
    CopyShifted(info.ColStarts, info.ColWidths, left, cols, partInfo.ColStarts, partInfo.ColWidths);
    CopyShifted(info.RowStarts, info.RowHeights, top, rows, partInfo.RowStarts,
                partInfo.RowHeights);
    const int lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    const int rightEdge = info.Width - (info.ColStarts[lastCol] + info.ColWidths[lastCol]);
    const int bottomEdge = info.Height - (info.RowStarts[lastRow] + info.RowHeights[lastRow]);
    partInfo.Width = partInfo.ColStarts[cols - 1] + partInfo.ColWidths[cols - 1] + rightEdge;
    partInfo.Height = partInfo.RowStarts[rows - 1] + partInfo.RowHeights[rows - 1] + bottomEdge;
  }
  return part;
}
