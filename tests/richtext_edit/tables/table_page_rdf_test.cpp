// A printed page saved as a document file holds the rows of a table that page shows: the
// run of rows cut at the page's ends, after the heading rows the print repeats, so that
// the file read back shows what the page showed.
#include <gtest/gtest.h>

#include "platform/text/streams.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext_edit/print/paper.h"
#include "richtext_edit/print/table_print.h"
#include "richtext_edit/tables/table_document.h"

namespace {

// The first cell of every row of the table at itemNo, joined by blanks.
std::string FirstColumn(TCustomRDData& document, int itemNo) {
  auto& table = document.CheckItemClass<TRDTableItemInfo>(itemNo);
  std::string out;
  for (int r = 0; r < table.RowCount(); ++r) {
    if (!out.empty()) out += ' ';
    const TRDTableCellData* cell = table.Cells(r, 0);
    out += cell ? TTableDocument::CellText(*cell) : "-";
  }
  return out;
}

// Page pageNo of the paper as a document file, read back into a fresh document.
void ReadPage(TPaper& paper, int pageNo, TTableDocument& read) {
  paper.data.CurPageNo = pageNo;
  paper.data.PageOutputRange = true;
  TMemoryStream stream;
  SaveRDFToStream(paper.data, stream, false);
  paper.data.PageOutputRange = false;
  stream.SetPosition(0);
  ASSERT_TRUE(LoadRDFFromStream(read, stream));
}

TEST(TablePageRDF, EachPageHoldsItsRunOfRowsAfterTheRepeatedHeading) {
  TTableDocument doc;
  doc.AddText("Before", 0, 0);
  TRDTableItemInfo& table = doc.AddRowsTable(30);
  table.SetHeadingRowCount(1);
  doc.AddText("After", 0, 0);
  TPaper paper(doc, 300, 200);
  const auto& info = dynamic_cast<const TRDTablePrintInfo&>(*paper.data.DrawItems[1]);
  ASSERT_GE(info.PartsList.Count(), 3);
  // The heading row, then the rows of the run.
  const auto runText = [&](int part) {
    const TRDTablePrintPart& run = *info.Part(part);
    std::string out = "R0";
    for (int r = run.StartRow; r < run.StartRow + run.RowCount; ++r)
      out += " R" + std::to_string(r);
    return out;
  };
  // Page 1: the text above and the first run, which starts after the heading.
  TTableDocument first;
  ReadPage(paper, 1, first);
  ASSERT_EQ(first.GetItemCount(), 2);
  EXPECT_EQ(first.GetItemTextRaw(0), "Before");
  EXPECT_EQ(FirstColumn(first, 1), runText(0));
  // Page 2 shows only a middle run, under the heading again.
  TTableDocument second;
  ReadPage(paper, 2, second);
  ASSERT_EQ(second.GetItemCount(), 1);
  EXPECT_EQ(FirstColumn(second, 0), runText(1));
  EXPECT_EQ(second.CheckItemClass<TRDTableItemInfo>(0).HeadingRowCount(), 1);
  // The last page: the last run, then the text below.
  TTableDocument last;
  ReadPage(paper, paper.data.Pages.Count(), last);
  ASSERT_EQ(last.GetItemCount(), 2);
  EXPECT_EQ(FirstColumn(last, 0), runText(info.PartsList.Count() - 1));
  EXPECT_EQ(last.GetItemTextRaw(1), "After");
  // Out of page mode the whole table is written.
  TMemoryStream stream;
  SaveRDFToStream(paper.data, stream, false);
  stream.SetPosition(0);
  TTableDocument whole;
  ASSERT_TRUE(LoadRDFFromStream(whole, stream));
  EXPECT_EQ(whole.CheckItemClass<TRDTableItemInfo>(1).RowCount(), 30);
}

TEST(TablePageRDF, AHeadingThatRunsIntoTheBodyIsNotWrittenTwice) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddRowsTable(30);
  // The heading's cell reaches below it: the print does not repeat the heading, so the
  // first page's run starts at row 0 and no page carries the heading on its own.
  table.SetHeadingRowCount(1);
  table.Rows->MergeCells(0, 0, 1, 2, true, false);
  TPaper paper(doc, 300, 200);
  const auto& info = dynamic_cast<const TRDTablePrintInfo&>(*paper.data.DrawItems[0]);
  ASSERT_FALSE(info.RepeatHeading);
  ASSERT_GE(info.PartsList.Count(), 2);
  TTableDocument first;
  ReadPage(paper, 1, first);
  const TRDTableItemInfo& run = first.CheckItemClass<TRDTableItemInfo>(0);
  EXPECT_EQ(run.RowCount(), info.Part(0)->RowCount);
  EXPECT_EQ(TTableDocument::CellText(*run.Cells(0, 0)), "R0|R1");
  TTableDocument second;
  ReadPage(paper, 2, second);
  EXPECT_EQ(second.CheckItemClass<TRDTableItemInfo>(0).RowCount(), info.Part(1)->RowCount);
}

}  // namespace
