// The table item's services: defaults, background picture and style with the background
// object made and freed as needed, the colour rules, row groups, cells as documents of
// the table's document, and saving part of a table with repeated heading rows.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/styles/para_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/tables/table_document.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

TEST(TableItem, DefaultsAndEvents) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2);
  EXPECT_EQ(table.Options,
            rdtoEditing | rdtoRowSizing | rdtoColSizing | rdtoRowSelect | rdtoColSelect);
  EXPECT_EQ(table.PrintOptions, rdtoHalftoneBorders | rdtoRowsSplit);
  EXPECT_EQ(table.Color(), clWindow);
  EXPECT_EQ(table.BorderStyle(), rdtbRaised);
  EXPECT_EQ(table.CellBorderStyle(), rdtbLowered);
  EXPECT_EQ(table.CellPadding(), 1);
  EXPECT_EQ(table.TextColSeparator, "\r\n");
  EXPECT_TRUE(table.VisibleBorders().IsAllEqualTo(true));
  EXPECT_TRUE(table.State & rdtsInDocument);
  EXPECT_FALSE(table.State & rdtsNewlyCreated);  // cleared on insertion
  EXPECT_EQ(table.GetMyItemNo(), 0);
  EXPECT_TRUE(table.CanEditCell(0, 0, false));
  table.OnCellEditing = [](TRDTableItemInfo*, int row, int, bool, bool& allow) {
    allow = row != 1;
  };
  EXPECT_FALSE(table.CanEditCell(1, 0, true));
  EXPECT_THROW(table.Cells(2, 0), ERichDocError);
  // Properties by the names files and undo use.
  SetIntProperty(table, "CellPadding", 5);
  EXPECT_EQ(table.CellPadding(), 5);
  EXPECT_TRUE(table.State & rdtsLayoutInvalid);
  EXPECT_EQ(GetIntProperty(table, "BorderStyle"), rdtbRaised);
  EXPECT_THROW(SetIntProperty(table, "NoSuchProperty", 1), ERichDocError);
  SetStrProperty(*table.Cells(0, 0), "Hint", "h");
  EXPECT_EQ(table.Cells(0, 0)->Hint, "h");
}

TEST(TableItem, BackgroundObjectComesAndGoes) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1);
  TBitmap picture;
  picture.SetSize(4, 4);
  table.SetBackgroundImage(&picture);
  ASSERT_NE(table.GetTableBackground(), nullptr);
  EXPECT_NE(table.GetBackgroundImage(), &picture);  // a copy is kept
  table.SetBackgroundImage(nullptr);
  EXPECT_EQ(table.GetTableBackground(), nullptr);
  EXPECT_EQ(table.GetBackgroundStyle(), rdbsColor);
  // A style without a picture keeps the object; back to colour frees it.
  table.SetBackgroundStyle(rdbsTiled);
  ASSERT_NE(table.GetTableBackground(), nullptr);
  EXPECT_EQ(table.GetBackgroundStyle(), rdbsTiled);
  table.SetBackgroundStyle(rdbsColor);
  EXPECT_EQ(table.GetTableBackground(), nullptr);
  // Cells alike.
  TRDTableCellData& cell = *table.Cells(0, 0);
  cell.SetBackgroundStyle(rdbsCentered);
  EXPECT_NE(cell.GetCellBackground(), nullptr);
  cell.SetBackgroundStyle(rdbsColor);
  EXPECT_EQ(cell.GetCellBackground(), nullptr);
}

TEST(TableItem, ColoursFallBackToTableParagraphAndDocument) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1);
  const TRDTableCellData& cell = *table.Cells(0, 0);
  EXPECT_EQ(table.GetCellColor(cell), clWindow);
  table.SetColor(clNone);
  EXPECT_EQ(table.GetCellColor(cell), clWhite);  // the document's colour
  EXPECT_TRUE(table.IsCellTransparent(cell));
  doc.style.ParaStyles()[0].Background.Color = clAqua;
  EXPECT_EQ(table.GetCellColor(cell), clAqua);
  EXPECT_EQ(table.GetTableColor(false), clAqua);
  EXPECT_FALSE(table.IsCellTransparent(cell));
  doc.style.ParaStyles()[0].Background.Color = clNone;
  EXPECT_EQ(table.GetTableColor(false), clNone);
  EXPECT_EQ(table.GetTableColor(true), clWhite);
  EXPECT_EQ(cell.GetBackgroundColor(), clWhite);
}

TEST(TableItem, RowGroups) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(4, 2);
  table.Rows->MergeCells(0, 0, 1, 3, true, false);
  EXPECT_FALSE(table.IsRowGroupEnd(0));
  EXPECT_FALSE(table.IsRowGroupEnd(1));
  EXPECT_TRUE(table.IsRowGroupEnd(2));
  EXPECT_TRUE(table.IsRowGroupEnd(3));
  EXPECT_EQ(table.GetRowGroupEnd(0), 2);
  EXPECT_EQ(table.GetRowGroupStart(2), 0);
  EXPECT_EQ(table.GetRowGroupStart(3), 3);
  table.SetHeadingRowCount(1);
  EXPECT_FALSE(table.HeadingRowsComplete());
  table.SetHeadingRowCount(3);
  EXPECT_TRUE(table.HeadingRowsComplete());
  EXPECT_FALSE(table.HasPageBreakRows(0, -1));
  table.Rows->Items(3)->PageBreakBefore = true;
  EXPECT_TRUE(table.HasPageBreakRows(0, -1));
  EXPECT_FALSE(table.HasPageBreakRows(0, 2));
}

TEST(TableItem, CellsAreDocumentsOfTheTablesDocument) {
  TTableDocument doc;
  doc.AddText("first", 0, 0);
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"a", ""});
  TRDTableCellData& cell = *table.Cells(0, 1);
  EXPECT_EQ(cell.GetRDStyle(), &doc.style);
  EXPECT_EQ(cell.GetParentData(), &doc);
  EXPECT_EQ(cell.GetAbsoluteRootData(), &doc);
  EXPECT_EQ(cell.GetParentItemNo(), 1);
  EXPECT_EQ(cell.GetTable(), &table);
  EXPECT_FALSE(cell.GetOptions() & rdoClientTextWidth);
  // Content: an empty cell has none; style 2 counts only strictly.
  EXPECT_FALSE(cell.HasData(false));
  EXPECT_FALSE(cell.HasData(true));
  cell.GetItem(0)->StyleNo = 2;
  EXPECT_FALSE(cell.HasData(false));
  EXPECT_TRUE(cell.HasData(true));
  // Vertical alignment: the cell's own, else the row's, else middle.
  cell.VAlign = rdcVDefault;
  table.Rows->Items(0)->VAlign = rdcBottom;
  EXPECT_EQ(cell.GetRealVAlign(), rdcBottom);
  table.Rows->Items(0)->VAlign = rdcVDefault;
  EXPECT_EQ(cell.GetRealVAlign(), rdcMiddle);
  // Walks over the document go into the cells.
  int items = 0;
  doc.EnumItems([&items](TCustomRDData&, int, bool&) { ++items; });
  EXPECT_EQ(items, 2 + 2);
  // A selection over the whole table item holds it.
  doc.Format();
  doc.SetSelectionBounds(0, 1, 1, 1);
  EXPECT_TRUE(table.IsInsideSelection());
  doc.SetSelectionBounds(0, 1, 1, 0);
  EXPECT_FALSE(table.IsInsideSelection());
}

TEST(TableItem, SavingRowsWithRepeatedHeadingRows) {
  TTableDocument doc;
  TRDTableItemInfo& table =
      doc.AddTable(6, 2, {"h0", "", "h1", "", "r2", "", "r3", "", "r4", "", "r5", ""});
  table.SetHeadingRowCount(2);
  for (int r = 0; r < 6; ++r) table.Rows->Items(r)->VAlign = TRDCellVAlign(r % 3);
  // A cell from row 2 down into row 3 starts above the saved rows: written at row 3,
  // cut to the rows that are saved.
  table.Rows->MergeCells(2, 1, 1, 2, true, false);
  TRDTableStreamSaveInfo part(table);
  part.StartRow = 3;
  part.RowCount = 3;
  part.SaveHeading = true;
  table.SaveInfo = &part;
  const std::string bytes = TableToComponentBytes(table);
  table.SaveInfo = nullptr;
  TTableDocument read;
  TRDTableItemInfo& copy = read.AddTable(1, 1);
  TableFromComponentBytes(copy, bytes);
  ASSERT_EQ(copy.RowCount(), 5);
  const char* const texts[] = {"h0", "h1", "r3", "r4", "r5"};
  const int rows[] = {0, 1, 3, 4, 5};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(TTableDocument::CellText(*copy.Cells(r, 0)), texts[r]);
    EXPECT_EQ(copy.Rows->Items(r)->VAlign, rows[r] % 3) << r;
  }
  ASSERT_NE(copy.Cells(2, 1), nullptr);
  EXPECT_EQ(copy.Cells(2, 1)->RowSpan, 1);
  EXPECT_TRUE(copy.Rows->IsConsistent());
}

}  // namespace
