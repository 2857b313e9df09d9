// Documents of tables nested in each other's one cell, for the benchmarks that paint and
// print tiled backgrounds through every level.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/rd_data.h"
#include "richtext_edit/tables/table_cell.h"
#include "richtext_edit/tables/table_item.h"

// Depth tables, each in the one cell of the one before and as wide as it can be, the
// tables and their cells all with tile as their tiled background, six lines in each cell;
// added at the end of doc.
inline void AddNestedTiledTables(TCustomRDData& doc, const TGraphic* tile, int depth) {
  TCustomRDData* into = &doc;
  std::unique_ptr<TRDTableItemInfo> outer;
  TRDTableItemInfo* parent = nullptr;
  for (int level = 0; level < depth; ++level) {
    auto table = std::make_unique<TRDTableItemInfo>(1, 1, into);
    table->SetBestWidth(-100);
    table->SetBackgroundImage(tile);
    table->SetBackgroundStyle(rdbsTiled);
    table->SetCellBackgroundImage(tile, 0, 0);
    TRDTableCellData& cell = *table->Cells(0, 0);
    cell.SetBackgroundStyle(rdbsTiled);
    for (int line = 0; line < 6; ++line)
      cell.AddText("Level " + std::to_string(level) + " line " + std::to_string(line), 0, 0);
    TRDTableItemInfo* raw = table.get();
    if (parent)
      parent->Cells(0, 0)->AddItemAtEnd("", std::move(table));
    else
      outer = std::move(table);
    parent = raw;
    into = raw->Cells(0, 0);
  }
  doc.AddItemAtEnd("", std::move(outer));
}
