// A part of a table in document files: the selected cells saved as a table record of
// their own (the rectangle widened so that merged cells come whole, unselected cells in
// it written empty), and a saved table's rows read into an existing table.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/text/streams.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

// Runs save with the table's save range on its selected cells: the rectangle widened so
// that merged cells come whole, the cells in it that are not selected written empty.
template <class TSave>
void WithSelectionRange(const TRDTableItemInfo& table, TSave save) {
  auto& self = const_cast<TRDTableItemInfo&>(table);
  TRDTableStreamSaveInfo range(table);
  range.SelectionOnly = true;
  int top, left, cols, rows;
  if (self.GetSelectionBoundsForSave(top, left, cols, rows)) {
    range.StartRow = top;
    range.StartCol = left;
    range.RowCount = rows;
    range.ColCount = cols;
  }
  TRDTableStreamSaveInfo* previous = std::exchange(self.SaveInfo, &range);
  try {
    save();
  } catch (...) {
    self.SaveInfo = previous;
    throw;
  }
  self.SaveInfo = previous;
}

}  // namespace

void TRDTableItemInfo::SaveRDFSelection(TStream& stream, TCustomRDData* rdData, int itemNo,
                                        const std::string& name, bool forceSameAsPrev) const {
  WithSelectionRange(*this, [&] { SaveRDF(stream, rdData, itemNo, name, forceSameAsPrev); });
}

std::string TRDTableItemInfo::SelectedCellsComponentBytes() const {
  std::string bytes;
  WithSelectionRange(*this,
                     [&] { bytes = TableToComponentBytes(const_cast<TRDTableItemInfo&>(*this)); });
  return bytes;
}

void ReadRowsFromComponentBytes(TRDTableItemInfo& table, int startRow, const std::string& bytes) {
  TRDTableRows& rows = *table.Rows;
  const int colCount = rows.GetColCount();
  // The rows go between two row groups: no merged cell may run across the place.
  if (startRow < 0 || startRow > rows.Count() ||
      (startRow > 0 && startRow < rows.Count() && !table.IsRowGroupEnd(startRow - 1)))
    throw ERichDocError("Invalid row or column index");
  // Read apart first, so that a broken record leaves the table as it was.
  TRDTableItemInfo read(0, 0, table.GetDocument());
  TableFromComponentBytes(read, bytes);
  TRDTableRows& source = *read.Rows;
  if (source.Count() == 0) return;
  // An empty table takes the record's columns; any other keeps its own.
  const int width = rows.Count() == 0 ? source.GetColCount() : colCount;
  if (source.GetColCount() > width) throw EReadError("Wrong end of cells list");
  if (!TRDTableRows::HoldsSlots(std::int64_t(rows.Count()) + source.Count(), width))
    throw EReadError("Invalid table size");
  for (int r = startRow; source.Count() > 0; ++r) {
    std::unique_ptr<TRDTableRow> row = source.TakeRow(0);
    while (row->Count() < width) row->AddCell();
    rows.InsertRowObject(r, std::move(row));
  }
  table.MarkChanged();
}
