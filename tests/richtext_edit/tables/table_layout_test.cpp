// Table layout by its numbers: the outer width from the document width and the table's
// request, column widths from minimums, percent and pixel requests and the spare width,
// merged cells spread over their columns and rows, and where each cell stands.
#include <gtest/gtest.h>

#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/tables/table_document.h"
#include "support/control_snapshot.h"

namespace {

const TRDTableItemFormattingInfo& Layout(TTableDocument& doc, int itemNo = 0) {
  doc.Format();
  return *doc.Table(itemNo).FormattingInfo;
}

TEST(TableLayout, DefaultTableFillsTheDocument) {
  TTableDocument doc(510);  // text width 500
  TRDTableItemInfo& table = doc.AddTable(1, 1, {"cell"});
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_EQ(info.Width, 500);
  EXPECT_EQ(info.ColWidths[0], 494);
  EXPECT_EQ(info.ColStarts[0], 2);
  const TRDTableCellData& cell = *table.Cells(0, 0);
  EXPECT_EQ(cell.Left(), 2);
  EXPECT_EQ(cell.Width, 496);
  EXPECT_EQ(cell.Top, 2);
  EXPECT_EQ(cell.Height, cell.ContentHeight() + 2);
  EXPECT_EQ(info.Height, 2 * (1 + 2) + info.RowHeights[0]);
  EXPECT_GT(cell.ContentHeight(), 0);
  // The document's draw line holds the table.
  EXPECT_EQ(doc.Line(0).Width, 500);
  EXPECT_EQ(doc.Line(0).Height, info.Height);
}

TEST(TableLayout, PercentWidthsTruncate) {
  TTableDocument half(410);
  half.AddTable(1, 1).SetBestWidth(-50);
  EXPECT_EQ(Layout(half).Width, 200);
  TTableDocument third(411);
  third.AddTable(1, 1).SetBestWidth(-33);
  EXPECT_EQ(Layout(third).Width, 132);
}

TEST(TableLayout, SpareWidthOverFreeColumnsGoesLeftToRight) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2);
  table.Options |= rdtoIgnoreContentWidth;
  table.SetBestWidth(6 + 4 + 7);  // borders and spacing 6, padding 4, 7 to spare
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_EQ(info.ColWidths[0], 3);
  EXPECT_EQ(info.ColWidths[1], 4);
}

TEST(TableLayout, PercentColumnsGetTheirShareThenTheSpare) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2);
  table.Options |= rdtoIgnoreContentWidth;
  table.SetBestWidth(1000);
  table.Cells(0, 0)->BestWidth = -20;
  table.Cells(0, 1)->BestWidth = -30;
  const TRDTableItemFormattingInfo& info = Layout(doc);
  // 196 and 296 pixels are their percentages of 994 (less padding); the 498 left over
  // follow the same proportion.
  EXPECT_EQ(info.ColWidths[0], 196 + 198);
  EXPECT_EQ(info.ColWidths[1], 296 + 300);
}

TEST(TableLayout, PixelRequestsAndAutoWidth) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 3, {"aa", "bb", "cc"});
  table.Cells(0, 0)->BestWidth = 50;
  table.Cells(0, 1)->BestWidth = 70;
  // One free column takes the whole spare width.
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_EQ(info.Width, 500);
  EXPECT_EQ(info.ColWidths[0], 50);
  EXPECT_EQ(info.ColWidths[1], 70);
  EXPECT_EQ(info.ColWidths[2], 500 - 8 - 6 - 120);  // spacing and borders 8, padding 6
  // Every column asking for pixels: the table is as wide as they are.
  table.Cells(0, 2)->BestWidth = 30;
  table.MarkChanged();
  doc.Format();
  EXPECT_EQ(info.Width, 8 + 6 + 150);
  EXPECT_EQ(info.ColWidths[2], 30);
}

TEST(TableLayout, NarrowDocumentKeepsColumnMinimums) {
  TTableDocument doc(60);  // text width 50
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"aaaaaaaaaa", "bbbbbbbbbb"});
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_EQ(info.ColWidths[0], 60);
  EXPECT_EQ(info.ColWidths[1], 60);
  EXPECT_EQ(info.Width, 6 + 4 + 120);
  EXPECT_EQ(table.GetTableMinWidth(nullptr, doc.canvas), info.Width);
}

TEST(TableLayout, MergedCellSpreadsEquallyOverNarrowerColumns) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"aaaaaaaaaa", "", "", "aaaaa", "", ""});
  table.Rows->MergeCells(0, 0, 3, 1, true, false);
  // Column 0 needs 30 for "aaaaa" and keeps it; the 60 of the merged word need 62 with
  // padding over the span, which the two empty columns share equally (11 each).
  EXPECT_EQ(table.GetTableMinWidth(nullptr, doc.canvas), 14 + 30 + 11 + 11);
}

TEST(TableLayout, SpanOverColumnsThatWeighNothing) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2);
  table.Options |= rdtoIgnoreContentWidth;
  table.SetCellPadding(0);
  table.SetBestWidth(200);
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  table.Cells(0, 0)->BestWidth = 150;
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_GE(info.ColWidths[0], 0);
  EXPECT_GE(info.ColWidths[1], 0);
  EXPECT_EQ(info.ColWidths[0] + info.ColWidths[1], 200 - 6);
  EXPECT_EQ(table.Cells(0, 0)->Width, 200 - 4);
}

TEST(TableLayout, RowsGrowForACellSpanningThem) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"tall", "x", "", "y"});
  TRDTableCellData& tall = *table.Cells(0, 0);
  tall.AddText("two", 0, 0);
  tall.AddText("three", 0, 0);
  tall.AddText("four", 0, 0);
  table.Rows->MergeCells(0, 0, 1, 2, true, false);
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_GE(tall.Height, tall.ContentHeight() + 2);
  EXPECT_LE(std::abs(info.RowHeights[0] - info.RowHeights[1]), 1);
  EXPECT_EQ(tall.Top, info.RowStarts[0]);
  EXPECT_EQ(table.Cells(1, 1)->Top, info.RowStarts[1]);
  EXPECT_EQ(info.Height, tall.Height + 2 * 2);
}

TEST(TableLayout, EmptyTableAndUnchangedWidth) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(0, 0);
  table.SetBorderWidth(3);
  const TRDTableItemFormattingInfo& info = Layout(doc);
  EXPECT_EQ(info.Width, (3 + 2) * 2);
  EXPECT_EQ(info.Height, (3 + 2) * 2);
  EXPECT_EQ(table.GetTableMinWidth(nullptr, doc.canvas), 10);
  // A table whose width did not change keeps its layout until it is marked changed.
  TRDTableItemInfo& other = doc.AddTable(1, 1, {"a"});
  doc.Format();
  TTableDocument::SetCellText(other, 0, 0, "a b c");
  other.Cells(0, 0)->Width = 0;
  doc.Format();
  EXPECT_EQ(other.Cells(0, 0)->Width, 0);
  other.MarkChanged();
  doc.Format();
  EXPECT_EQ(other.Cells(0, 0)->Width, 496);
}

TEST(TableLayout, TablesInsideCells) {
  TTableDocument doc;
  TRDTableItemInfo& outer = doc.AddTable(1, 2, {"left"});
  auto inner = std::make_unique<TRDTableItemInfo>(1, 1, outer.Cells(0, 1));
  TTableDocument::SetCellText(*inner, 0, 0, "inner words");
  outer.Cells(0, 1)->Clear();
  outer.Cells(0, 1)->AddItemAtEnd("", std::move(inner));
  const TRDTableItemFormattingInfo& info = Layout(doc);
  auto& nested = outer.Cells(0, 1)->CheckItemClass<TRDTableItemInfo>(0);
  EXPECT_EQ(nested.FormattingInfo->Width, outer.Cells(0, 1)->Width - 2);
  EXPECT_GE(outer.Cells(0, 1)->ContentHeight(), nested.FormattingInfo->Height);
  EXPECT_EQ(info.Width, 500);
}

// A table is no taller than a document may be, it never wraps round: four rows each as
// tall as a document may be (16,400 pictures as high as a picture may be) made a table
// of a negative height, on the screen and the more so on a 600 dpi printer. Rows past
// the bound lie at it, as does a cell spanning them all.
TEST(TableLayout, RowsPastTheBoundStayAtItOnScreenAndOnPaper) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(4, 2);
  for (int r = 0; r < 4; ++r) {
    TRDTableCellData& cell = *table.Cells(r, 0);
    cell.Clear();
    for (int i = 0; i < 16'400; ++i) {
      auto picture =
          TRDGraphicItemInfo::CreateWithGraphic(&cell, SolidPicture(4, 4, clRed), rdvaBaseline);
      ReadRDFExtraProperty(*picture, "height=2147483647");
      cell.AddItemAtEnd("", std::move(picture));
    }
  }
  table.Rows->MergeCells(0, 1, 1, 4, true, false);
  const TRDTableCellData& spanning = *table.Cells(0, 1);
  const auto expectInOrder = [&](const TRDTableItemFormattingInfo& info, int spanningHeight) {
    EXPECT_GT(info.Height, 0);
    EXPECT_GE(info.RowStarts[0], 0);
    for (int r = 1; r < 4; ++r) EXPECT_GE(info.RowStarts[r], info.RowStarts[r - 1]) << r;
    EXPECT_LE(info.RowStarts[3], info.Height);
    EXPECT_GT(spanningHeight, 0);
  };
  const TRDTableItemFormattingInfo& screen = Layout(doc);
  ASSERT_GE(table.Cells(3, 0)->ContentHeight(), kMaxLayoutHeight);
  expectInOrder(screen, spanning.Height);
  TRDResolution printer;
  printer.DevicePixelsPerInchX = printer.DevicePixelsPerInchY = 600;
  table.DeviceInfo = &printer;
  TRDTableItemFormattingInfo paper;
  table.Format(screen.Width * 600 / 96, paper, doc.canvas, true);
  table.DeviceInfo = nullptr;
  expectInOrder(paper, spanning.Height);
}

}  // namespace
