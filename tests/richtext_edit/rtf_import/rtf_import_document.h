// A document with its own style sheet for the RTF import tests, and what the tests read
// back from it: its plain text, an outline of its items and its tables.
#pragma once

#include <string>
#include <vector>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/table_budget.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/tables/table_item.h"

struct TRTFImportDocument {
  TRDStyle Sheet;
  TCustomRDData Document;
  TRDRTFReaderProperties Options;

  TRTFImportDocument() {
    Sheet.SpacesInTab = 0;
    Document.SetRDStyle(&Sheet);
  }

  TRDRTFErrorCode Import(const std::string& rtf, int index = -1) {
    TMemoryStream stream;
    if (!rtf.empty()) stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
    stream.SetPosition(0);
    if (index < 0) index = Document.GetItemCount();
    last_index_ = index;
    return ReadRTF(Options, stream, Document, last_index_);
  }
  int LastIndex() const { return last_index_; }

  // The document's text, UTF-8, paragraphs and table cells one a line.
  std::string Text() {
    TMemoryStream stream;
    SaveTextToStream(Document, stream, 80, false, false, true, false);
    std::string raw(size_t(stream.Size()), '\0');
    stream.SetPosition(0);
    if (!raw.empty()) stream.ReadBuffer(raw.data(), int64_t(raw.size()));
    return RawUnicodeToUTF8(raw);
  }

  int Count() const { return Document.GetItemCount(); }
  TCustomRDItemInfo& Item(int i) const { return *Document.GetItem(i); }
  const std::string& ItemText(int i) const { return Document.GetItemTextRaw(i); }
  const TFontInfo& TextStyleOf(int i) const { return Sheet.TextStyles()[Item(i).StyleNo]; }
  const TParaInfo& ParaStyleOf(int i) const { return Sheet.ParaStyles()[Item(i).ParaNo]; }
  // The first table of the document, or null.
  TRDTableItemInfo* Table(int which = 0) const {
    for (int i = 0; i < Count(); ++i)
      if (auto* table = dynamic_cast<TRDTableItemInfo*>(&Item(i)))
        if (which-- == 0) return table;
    return nullptr;
  }
  // What the document's tables cost of a read's budget (table_budget.h).
  std::int64_t TableBytes() const {
    std::int64_t bytes = 0;
    for (int i = 0; const TRDTableItemInfo* table = Table(i); ++i)
      bytes += TRDTableRows::GridBytes(table->RowCount(), table->ColCount()) +
               table->Rows->ObjectCount() * TRDTableRows::kCellBytes;
    return bytes;
  }

 private:
  int last_index_ = -1;
};

// The text of a cell (its items' texts joined, paragraphs by '|').
inline std::string CellText(TRDTableItemInfo& table, int row, int col) {
  TRDTableCellData* cell = table.Cells(row, col);
  if (!cell) return "<none>";
  std::string text;
  for (int i = 0; i < cell->GetItemCount(); ++i) {
    if (i > 0 && cell->IsParaStart(i)) text += '|';
    text += cell->GetItemTextRaw(i);
  }
  return text;
}

// The grid: "text" for a cell with its spans when above 1 ("text/2x1" = 2 columns, 1
// row), "." for a slot covered by another cell; rows separated by ';'.
inline std::string Grid(TRDTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.RowCount(); ++r) {
    if (r > 0) out += ';';
    for (int c = 0; c < table.ColCount(); ++c) {
      if (c > 0) out += ' ';
      TRDTableCellData* cell = table.Cells(r, c);
      if (!cell) {
        out += '.';
        continue;
      }
      out += CellText(table, r, c);
      if (cell->ColSpan > 1 || cell->RowSpan > 1)
        out += "/" + std::to_string(cell->ColSpan) + "x" + std::to_string(cell->RowSpan);
    }
  }
  return out;
}
