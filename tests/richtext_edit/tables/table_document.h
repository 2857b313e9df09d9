// A formatted document on the raster canvas (every character 6 x 10 pixels) holding
// tables, with helpers to build a table of texts and to read back what cells hold.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "richtext/support/test_formatted_data.h"
#include "richtext_edit/tables/table_item.h"

class TTableDocument : public TTestFormattedData {
 public:
  // A window of width x height pixels with margins of 5.
  TTableDocument(int width = 510, int height = 400) : TTestFormattedData(width, height) {}

  // Appends a table of rows x cols cells; texts fill the cells row by row ("" leaves a
  // cell empty).
  TRDTableItemInfo& AddTable(int rows, int cols, const std::vector<std::string>& texts = {}) {
    auto table = std::make_unique<TRDTableItemInfo>(rows, cols, this);
    TRDTableItemInfo& ref = *table;
    for (size_t i = 0; i < texts.size() && int(i) < rows * cols; ++i)
      if (!texts[i].empty()) SetCellText(ref, int(i) / cols, int(i) % cols, texts[i]);
    AddItemAtEnd("", std::move(table));
    return ref;
  }

  // Appends a table of one column whose rows read "R0", "R1", ...
  TRDTableItemInfo& AddRowsTable(int rows) {
    std::vector<std::string> texts;
    for (int r = 0; r < rows; ++r) texts.push_back("R" + std::to_string(r));
    return AddTable(rows, 1, texts);
  }

  TRDTableItemInfo& Table(int itemNo) { return CheckItemClass<TRDTableItemInfo>(itemNo); }

  // A text style of its own for raised text, added to the sheet; returns its number.
  int AddRaisedStyle() {
    TFontInfo& raised = style.TextStyles().Add();
    raised.Assign(style.TextStyles().Items(0));
    raised.VShift = 30;
    return style.TextStyles().Count() - 1;
  }

  // The usual shape of a table in an RTF LibreOffice writes, as our import reads it: no
  // border of its own, borders around the cells, and no spacing between them (their
  // borders collapse).
  static void ShapeAsLibreOfficeTable(TRDTableItemInfo& table) {
    table.SetBorderWidth(0);
    table.SetBorderHSpacing(0);
    table.SetBorderVSpacing(0);
    table.SetCellBorderWidth(1);
    table.SetCellHSpacing(-1);
    table.SetCellVSpacing(-1);
  }

  static void SetCellText(TRDTableItemInfo& table, int row, int col, const std::string& text) {
    TRDTableCellData& cell = *table.Cells(row, col);
    cell.Clear();
    cell.AddText(text, 0, 0);
  }

  // The cell's items as text, paragraphs joined by '|'.
  static std::string CellText(const TRDTableCellData& cell) {
    std::string text;
    for (int i = 0; i < cell.GetItemCount(); ++i) {
      if (i > 0 && cell.IsParaStart(i)) text += '|';
      text += cell.GetItemTextRaw(i);
    }
    return text;
  }
};
