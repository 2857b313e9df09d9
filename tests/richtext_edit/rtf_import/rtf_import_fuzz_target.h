// The input the RTF import fuzzer drives through the reader and the import into a
// document, shared by the libFuzzer program (fuzz/rtf_import_fuzz.cpp) and the test that
// replays its saved corpus. It must run to the end on any bytes: no crash, no sanitizer
// report, no table with an unsound grid, no runaway table, no list marker missing from
// the document's marker list or listed out of order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_row_properties.h"
#include "richtext_edit/rtf_import/shown_rtf.h"
#include "richtext_edit/support/marker_order.h"
#include "richtext_edit/tables/table_item.h"

// Every table the import left has a sound grid of bounded width.
inline bool ImportedTablesAreSound(TCustomRDData& document) {
  bool ok = true;
  document.EnumItems([&ok](TCustomRDData& data, int itemNo, bool&) {
    if (auto* table = dynamic_cast<TRDTableItemInfo*>(data.GetItem(itemNo)))
      ok = ok && table->Rows->IsConsistent() && table->RowCount() > 0 &&
           table->ColCount() <= int(TRDRTFRowProperties::kMaxCells) + 1;
  });
  return ok;
}

// Imports the bytes twice: with the options that add styles and list markers (Unicode
// text, headers and footers wanted, tab items) and with the defaults into a document
// that already holds text; each document is then laid out and painted. Returns false
// when a check fails.
inline bool FuzzRTFImport(const uint8_t* Data, size_t Size) {
  for (int pass = 0; pass < 2; ++pass) {
    TRDStyle sheet;
    sheet.SpacesInTab = pass == 0 ? 0 : 4;
    TTestFormattedData document(320, 240);
    TCustomRDData header, footer;
    for (TCustomRDData* data : {static_cast<TCustomRDData*>(&document), &header, &footer})
      data->SetRDStyle(&sheet);
    TRDRTFReaderProperties options = pass == 0 ? StyleAddingRTFOptions() : TRDRTFReaderProperties();
    TRDRTFHeaderFooter headerFooter;
    if (pass == 0) {
      options.SkipHiddenText = false;
      headerFooter = {&header, &footer};
    } else {
      document.AddText("before", 0, 0);
      document.AddText("after", 0, 0);
    }
    int index = pass == 0 ? 0 : 1;
    // Damaged pictures cost only themselves: nothing is raised.
    ReadRTFBytes(options, Data, Size, document, index, &headerFooter);
    // The last item inserted lies in the document.
    if (index >= document.GetItemCount()) return false;
    if (!ImportedTablesAreSound(document) || !MarkersListedInOrder(document)) return false;
    document.FormatAndPaint();
  }
  return true;
}
