// The input the table fuzzer drives through the document reader with tables registered,
// shared by the libFuzzer program (fuzz/table_rdf_fuzz.cpp) and the test that replays its
// saved corpus. It must run to the end on any bytes: no crash, no sanitizer report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "richtext/fuzz_targets.h"
#include "richtext_edit/support/marker_order.h"
#include "richtext_edit/tables/table_item.h"

// Every table a read leaves in a document has a sound grid.
inline bool TablesAreConsistent(TCustomRDData& document) {
  bool ok = true;
  document.EnumItems([&ok](TCustomRDData& data, int itemNo, bool&) {
    if (auto* table = dynamic_cast<TRDTableItemInfo*>(data.GetItem(itemNo)))
      ok = ok && table->Rows->IsConsistent();
  });
  return ok;
}

// The document reader's round trip (FuzzRDFReader), then one more read whose tables are
// checked (their grids, and the numbering of the markers in their cells), then the bytes
// as a table record's component block read as rows into a document's table, which must
// stay sound whether they are taken or refused; both documents are laid out and painted.
// Returns false when a check fails.
inline bool FuzzTableRDF(const uint8_t* Data, size_t Size) {
  RegisterTableItemClass();
  if (!FuzzRDFReader(Data, Size)) return false;
  TTestFormattedData withTable(320, 240);
  auto table = std::make_unique<TRDTableItemInfo>(2, 2, &withTable);
  TRDTableItemInfo& existing = *table;
  withTable.AddItemAtEnd("", std::move(table));
  existing.Rows->MergeCells(0, 1, 1, 2, true, false);
  try {
    ReadRowsFromComponentBytes(existing, 2, std::string(reinterpret_cast<const char*>(Data), Size));
  } catch (const Exception&) {
    if (existing.RowCount() != 2) return false;
  }
  if (!existing.Rows->IsConsistent()) return false;
  withTable.FormatAndPaint();
  TTestFormattedData document(320, 240);
  TMemoryStream stream;
  if (Size > 0) stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  LoadRDFFromStream(document, stream);
  if (!TablesAreConsistent(document) || !MarkersListedInOrder(document)) return false;
  document.FormatAndPaint();
  return true;
}
