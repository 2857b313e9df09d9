// Documents of tables nested in each other's first cell, for the benchmarks that paint,
// edit and print through every level.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/rd_data.h"
#include "richtext_edit/tables/table_cell.h"
#include "richtext_edit/tables/table_item.h"

// Depth tables, each in the first cell of the one before, made by make(level, into) for
// the data it goes into; added at the end of doc. Returns the innermost table.
template <class MakeTable>
TRDTableItemInfo* AddNestedTables(TCustomRDData& doc, int depth, MakeTable make) {
  TCustomRDData* into = &doc;
  std::unique_ptr<TRDTableItemInfo> outer;
  TRDTableItemInfo* parent = nullptr;
  for (int level = 0; level < depth; ++level) {
    std::unique_ptr<TRDTableItemInfo> table = make(level, into);
    TRDTableItemInfo* raw = table.get();
    if (parent)
      parent->Cells(0, 0)->AddItemAtEnd("", std::move(table));
    else
      outer = std::move(table);
    parent = raw;
    into = raw->Cells(0, 0);
  }
  doc.AddItemAtEnd("", std::move(outer));
  return parent;
}

// Depth one-cell tables as wide as they can be, the tables and their cells all with tile
// as their tiled background, six lines in each cell.
inline void AddNestedTiledTables(TCustomRDData& doc, const TGraphic* tile, int depth) {
  AddNestedTables(doc, depth, [tile](int level, TCustomRDData* into) {
    auto table = std::make_unique<TRDTableItemInfo>(1, 1, into);
    table->SetBestWidth(-100);
    table->SetBackgroundImage(tile);
    table->SetBackgroundStyle(rdbsTiled);
    table->SetCellBackgroundImage(tile, 0, 0);
    TRDTableCellData& cell = *table->Cells(0, 0);
    cell.SetBackgroundStyle(rdbsTiled);
    for (int line = 0; line < 6; ++line)
      cell.AddText("Level " + std::to_string(level) + " line " + std::to_string(line), 0, 0);
    return table;
  });
}
