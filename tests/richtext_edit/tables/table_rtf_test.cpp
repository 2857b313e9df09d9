// Tables as RTF: row and cell definitions with merges, widths, spacing, borders and the
// application's extra text, tables nested in cells, the colours a table adds to the
// colour table; and the peers: LibreOffice reads the same rows, columns and merges, and
// every level of tables nested in cells.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "platform/sys/child_process.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/tables/html_grid.h"
#include "richtext_edit/tables/table_document.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

// 96 pixels an inch: 15 twips a pixel.
std::string RTFOf(TTableDocument& doc) {
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.PixelsPerInch = 96;
  EXPECT_TRUE(SaveRTFToStream(doc, stream, params));
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

// The text of row r: from its "\trowd" to its "\row}".
std::string Row(const std::string& rtf, int r) {
  size_t start = 0;
  for (int i = 0; i <= r; ++i) start = rtf.find("\\trowd", start + 1);
  return rtf.substr(start, rtf.find("\\row}", start) + 5 - start);
}

TEST(TableRTF, RowPropertiesFollowTheTable) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 1, {"a", "b", "c"});
  table.SetCellPadding(2);
  table.SetCellBorderWidth(1);
  table.SetCellHSpacing(3);
  table.SetCellVSpacing(4);
  table.SetBorderVSpacing(6);
  table.SetHeadingRowCount(1);
  table.SetBestWidth(-50);
  table.PrintOptions = rdtoHalftoneBorders;
  doc.Format();
  const std::string rtf = RTFOf(doc);
  // gap ((2 + 1) * 2 + 3) * 15 / 2 = 67.5, rounded half to even.
  const std::string first = Row(rtf, 0);
  EXPECT_TRUE(Has(first,
                  "\\trowd\\trgaph68\\trleft0\\itap1\\trhdr\\trpaddl30\\trpaddt30"
                  "\\trpaddr30\\trpaddb30\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3"
                  "\\trspdl22\\trspdr22\\trspdfl3\\trspdfr3"
                  "\\trspdt45\\trspdft3\\trspdb30\\trspdfb3"
                  "\\trwWidth2500\\trftsWidth2\\trkeep\\trkeepfollow\\richviewtbw-50"))
      << first;
  EXPECT_FALSE(Has(Row(rtf, 1), "\\trhdr"));
  EXPECT_TRUE(Has(Row(rtf, 1), "\\trspdt30\\trspdft3\\trspdb30\\trspdfb3"));
  EXPECT_TRUE(Has(Row(rtf, 2), "\\trspdt30\\trspdft3\\trspdb45\\trspdfb3"));
  // No table border: no row border words.
  EXPECT_FALSE(Has(rtf, "\\trbrdr"));

  // A one-row table takes both spacings from the border spacing; widths in pixels.
  TTableDocument one;
  TRDTableItemInfo& single = one.AddTable(1, 1, {"x"});
  single.SetBorderVSpacing(4);
  single.SetBestWidth(100);
  single.SetBorderWidth(2);
  single.Rows->Items(0)->Items(0)->BestHeight = 20;
  one.Format();
  const std::string row = Row(RTFOf(one), 0);
  EXPECT_TRUE(Has(row, "\\trspdt30\\trspdft3\\trspdb30\\trspdfb3")) << row;
  EXPECT_TRUE(Has(row, "\\trwWidth1560\\trftsWidth3")) << row;
  EXPECT_TRUE(Has(row, "\\trrh300")) << row;
  EXPECT_FALSE(Has(row, "\\trkeep")) << row;
}

TEST(TableRTF, MergedCellsDefineOnceAndContinueDown) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"a", "", "b", "", "", "c"});
  table.Rows->MergeCells(0, 0, 2, 2, true, false);
  doc.Format();
  const TRDTableItemFormattingInfo& info = *table.FormattingInfo;
  const std::string rtf = RTFOf(doc);
  const std::string top = Row(rtf, 0), bottom = Row(rtf, 1);
  // The merged cell ends at the right edge of its second column.
  const std::string edge =
      "\\cellx" + std::to_string(std::llrint((info.ColStarts[1] + info.ColWidths[1]) * 15.0 +
                                             table.CellHSpacing() * 15.0 / 2.0));
  EXPECT_EQ(CountOf(top, "\\cellx"), 2u) << top;
  EXPECT_EQ(CountOf(bottom, "\\cellx"), 2u) << bottom;
  EXPECT_TRUE(Has(top, "\\clvmgf\\clftsWidth1\\richviewcbw0\\richviewcbh0")) << top;
  EXPECT_TRUE(Has(top, edge)) << top;
  EXPECT_TRUE(Has(bottom, "\\clvmrg")) << bottom;
  EXPECT_TRUE(Has(bottom, edge)) << bottom;
  EXPECT_TRUE(Has(bottom, "\\clvmrg\\clcbpat")) << bottom;  // no cell of its own there
  // The continued slot's content group holds only the cell end.
  EXPECT_TRUE(Has(bottom, "\\itap1{{\\cell}{")) << bottom;
  EXPECT_EQ(CountOf(top, "\\cell}"), 2u);
}

TEST(TableRTF, CellWidthsAndAlignment) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 4, {"a", "b", "c"});
  table.Cells(0, 0)->BestWidth = 40;
  table.Cells(0, 1)->BestWidth = -25;
  table.Cells(0, 2)->VAlign = rdcBottom;
  table.Cells(0, 1)->VAlign = rdcTop;
  table.Rows->Items(0)->VAlign = rdcMiddle;
  doc.Format();
  std::string row = Row(RTFOf(doc), 0);
  EXPECT_TRUE(Has(row, "\\clwWidth0\\richviewcbw40\\richviewcbh0")) << row;
  EXPECT_TRUE(Has(row, "\\clwWidth1250\\clftsWidth2\\richviewcbw-25")) << row;
  // A cell without its own alignment takes the row's (an empty cell, which keeps no
  // object, too); top writes nothing.
  EXPECT_EQ(CountOf(row, "\\clvertalc"), 2u) << row;
  EXPECT_EQ(CountOf(row, "\\clvertalb"), 1u) << row;
  table.Options |= rdtoRTFSaveCellPixelBestWidth;
  row = Row(RTFOf(doc), 0);
  EXPECT_TRUE(Has(row, "\\clwWidth600\\clftsWidth3\\richviewcbw40")) << row;
  // Automatic widths may fit the content when allowed.
  EXPECT_TRUE(Has(row, "\\trftsWidth1\\richviewtbw0")) << row;
  table.Options |= rdtoRTFAllowAutofit;
  EXPECT_TRUE(Has(Row(RTFOf(doc), 0), "\\trftsWidth1\\trautofit1"));
  // A centred paragraph centres the row.
  doc.style.ParaStyles().Items(0).Alignment = rdaCenter;
  EXPECT_TRUE(Has(Row(RTFOf(doc), 0), "\\trowd\\trqc\\trgaph"));
}

TEST(TableRTF, BordersAndColours) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"a", "b"});
  table.SetColor(clNone);
  table.SetBorderWidth(2);
  table.SetBorderStyle(rdtbRaisedColor);
  table.SetBorderColor(clRed);
  table.SetBorderLightColor(clLime);
  TRDBooleanRect sides;
  sides.Left = false;
  table.SetVisibleBorders(sides);
  table.SetCellBorderWidth(1);
  table.SetCellBorderStyle(rdtbLowered);
  table.Cells(0, 1)->Color = clYellow;
  table.Cells(0, 1)->BorderColor = clBlue;
  doc.Format();
  TRDRTFSaveContext context;
  table.CollectRTFTables(context);
  // The table colour is none; the border colours, then the cells' backgrounds. Lowered cell
  // borders are written as inset, which names no colour: neither the system colours of
  // their look nor the blue cell's own border colour is an entry.
  ASSERT_EQ(context.ColorList.Count(), 3);
  EXPECT_EQ(TColor(context.ColorList[0]), clRed);
  EXPECT_EQ(TColor(context.ColorList[1]), clLime);
  EXPECT_EQ(TColor(context.ColorList[2]), clYellow);

  const std::string rtf = RTFOf(doc);
  const std::string row = Row(rtf, 0);
  // Raised in colours: light top and left, dark right and bottom; the left side hidden.
  EXPECT_FALSE(Has(row, "\\trbrdrl")) << row;
  EXPECT_TRUE(Has(row, "\\trbrdrt\\brdrs\\brdrw30\\brdrcf")) << row;
  EXPECT_TRUE(Has(row, "\\trbrdrr\\brdrs\\brdrw30\\brdrcf")) << row;
  EXPECT_EQ(CountOf(row, "\\clbrdrl\\brdrinset\\brdrw15"), 2u) << row;
  // The yellow cell has a background pattern; the other takes the document's white.
  EXPECT_EQ(CountOf(row, "\\clcbpat"), 2u) << row;
}

// A table whose first cell holds a 2 x 2 table of "In1" to "In4" with its first row's
// cells merged, its second cell "Right"; then "After".
void AddMergedNestedTable(TTableDocument& doc) {
  TRDTableItemInfo& outer = doc.AddTable(1, 2, {"", "Right"});
  TRDTableCellData& cell = *outer.Cells(0, 0);
  cell.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(2, 2, &cell);
  for (int i = 0; i < 4; ++i)
    TTableDocument::SetCellText(*inner, i / 2, i % 2, "In" + std::to_string(i + 1));
  inner->Rows->MergeCells(0, 0, 2, 1, true, false);
  cell.AddItemAtEnd("", std::move(inner));
  doc.AddText("After", 0, 0);
}

// Tables nested depth deep: each one row of two cells, the first holding the word of its
// level ("word1" outermost), the second the next table; the deepest table's second cell
// holds "word0".
void AddNestedTables(TTableDocument& doc, int depth) {
  TRDTableItemInfo* table = &doc.AddTable(1, 2, {"word1"});
  for (int level = 2; level <= depth; ++level) {
    TRDTableCellData& cell = *table->Cells(0, 1);
    cell.Clear();
    auto inner = std::make_unique<TRDTableItemInfo>(1, 2, &cell);
    TTableDocument::SetCellText(*inner, 0, 0, "word" + std::to_string(level));
    table = inner.get();
    cell.AddItemAtEnd("", std::move(inner));
  }
  TTableDocument::SetCellText(*table, 0, 1, "word0");
}

// Tables, cells and texts of a document in order: "<t <c word1 <c <t ... </t> </t>".
std::string NestingOf(const TCustomRDData& data) {
  std::string out;
  for (int i = 0; i < data.GetItemCount(); ++i)
    if (const auto* table = dynamic_cast<const TRDTableItemInfo*>(data.GetItem(i))) {
      out += "<t ";
      for (int c = 0; c < table->ColCount(); ++c)
        if (const TRDTableCellData* cell = table->Rows->Cell(0, c)) out += "<c " + NestingOf(*cell);
      out += "</t> ";
    } else if (!data.GetItemTextRaw(i).empty()) {
      out += data.GetItemTextRaw(i) + " ";
    }
  return out;
}

// The same for LibreOffice's own document format.
std::string NestingOfFODT(const std::string& fodt) {
  std::string out;
  for (size_t p = fodt.find("<office:body>"); p < fodt.size(); ++p) {
    if (fodt.compare(p, 13, "<table:table ") == 0) out += "<t ";
    if (fodt.compare(p, 14, "</table:table>") == 0) out += "</t> ";
    if (fodt.compare(p, 17, "<table:table-cell") == 0) out += "<c ";
    if (fodt.compare(p, 5, ">word") == 0)
      out += fodt.substr(p + 1, fodt.find('<', p) - p - 1) + " ";
  }
  return out;
}

TEST(TableRTF, NestedTablesUseTheNestedForms) {
  TTableDocument doc;
  TRDTableItemInfo& outer = doc.AddTable(1, 2, {"", "right"});
  TRDTableCellData& cell = *outer.Cells(0, 0);
  cell.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(2, 1, &cell);
  TTableDocument::SetCellText(*inner, 0, 0, "in1");
  TTableDocument::SetCellText(*inner, 1, 0, "in2");
  cell.AddItemAtEnd("", std::move(inner));
  doc.AddText("after", 0, 0);
  doc.Format();
  const std::string rtf = RTFOf(doc);
  EXPECT_EQ(CountOf(rtf, "{\\*\\nesttableprops\\trowd"), 2u) << rtf;
  EXPECT_EQ(CountOf(rtf, "\\nestrow}{\\nonesttables\\par}}"), 2u) << rtf;
  EXPECT_EQ(CountOf(rtf, "\\nestcell}"), 2u) << rtf;
  EXPECT_EQ(CountOf(rtf, "\\itap1\\row}"), 1u) << rtf;
  EXPECT_TRUE(Has(rtf, "\\intbl\\itap2{")) << rtf;
  // The paragraph after the table starts afresh, without a paragraph end before it.
  const size_t end = rtf.find("\\itap1\\row}");
  const std::string tail = rtf.substr(end);
  EXPECT_FALSE(Has(tail, "\\par ")) << tail;
  EXPECT_TRUE(Has(tail, "\\pard")) << tail;
}

// The RTF without its colour table and cell background words.
std::string WithoutColours(std::string rtf) {
  if (const size_t table = rtf.find("{\\colortbl"); table != std::string::npos)
    rtf.erase(table, rtf.find('}', table) + 1 - table);
  for (size_t at = rtf.find("\\clcbpat"); at != std::string::npos; at = rtf.find("\\clcbpat", at))
    rtf.erase(at, rtf.find_first_not_of("0123456789", at + 8) - at);
  return rtf;
}

// Every nested cell's text is written where readers that know nothing of the nesting
// properties find it: outside their destination, which holds only the row's definition
// and its end. Our reader brings back every level, and the document read back writes
// the same rows and cells again; only the colour table differs (the cells read back
// hold the white they showed as their own colour).
void ExpectNestedTablesReadBack(TTableDocument& doc, const std::string& name) {
  doc.Format();
  const std::string rtf = RTFOf(doc);
  for (size_t at = rtf.find("{\\*\\nesttableprops"); at != std::string::npos;
       at = rtf.find("{\\*\\nesttableprops", at + 1)) {
    const std::string props = rtf.substr(at, rtf.find('}', at) + 1 - at);
    EXPECT_EQ(props.find_first_of("{ ", 1), std::string::npos) << name << ": " << props;
    EXPECT_EQ(props.find("\\nestrow}"), props.size() - 9) << name << ": " << props;
  }
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  TTableDocument read;
  TRDRTFReaderProperties options;
  int index = 0;
  ASSERT_EQ(ReadRTF(options, stream, read, index), rtf_ec_OK) << name;
  EXPECT_EQ(NestingOf(read), NestingOf(doc)) << name;
  read.Format();
  EXPECT_TRUE(WithoutColours(RTFOf(read)) == WithoutColours(rtf)) << name;
}

TEST(TableRTF, NestedTablesReadBackWhole) {
  for (const int depth : {2, 3, 10, 64}) {
    TTableDocument doc;
    AddNestedTables(doc, depth);
    ExpectNestedTablesReadBack(doc, std::to_string(depth) + " deep");
  }
  TTableDocument merged;
  AddMergedNestedTable(merged);
  ExpectNestedTablesReadBack(merged, "merged");
}

// An RTF table with more slots than a table may have goes on in a second table after
// the first: each can be written and read back, and no row is lost. The second repeats
// the heading rows, and a vertical merge the bound would cut goes on whole in it. Written,
// the two are the one RTF table they came from, and read back they are the same two
// tables: the second's heading rows once wrote \\trhdr in the middle of the RTF table,
// which read as 32,770 heading rows of a 40,000-row table. A cell merged down the heading
// and on below it is merged in the second's heading rows as far as they go: once not, they
// wrote other than the first's and joined it as two rows more at every save and read.
TEST(TableRTF, RowsBeyondTheLargestTableGoOnInAnother) {
  const int cols = 256, rows = TRDTableRows::kMaxSlots / cols + 1;
  const int mergeFrom = rows - 4;
  const auto rowOf = [&](int r) {
    std::string row = r < 2 ? "\\trowd\\trhdr" : "\\trowd";
    for (int c = 1; c <= cols; ++c) {
      if (c == 1 && r >= mergeFrom) row += r == mergeFrom ? "\\clvmgf" : "\\clvmrg";
      if (c == 3 && r <= 2) row += r == 0 ? "\\clvmgf" : "\\clvmrg";
      row += "\\cellx" + std::to_string(15 * c);
    }
    row += std::string("\\pard\\intbl ") +
           (r < 2            ? "head" + std::to_string(r)
            : r == mergeFrom ? "merged"
                             : "") +
           "\\cell" + (r == rows - 1 ? " last" : "") + "\\cell" + (r == 0 ? " side" : "") +
           "\\cell";
    for (int c = 3; c < cols; ++c) row += " \\cell";
    return row + "\\row\n";
  };
  std::string rtf = "{\\rtf1\\ansi ";
  for (int r = 0; r < rows; ++r) rtf += rowOf(r);
  rtf += "after\\par}";
  const auto tablesOf = [](TTableDocument& doc) {
    std::vector<TRDTableItemInfo*> tables;
    for (int i = 0; i < doc.GetItemCount(); ++i)
      if (auto* table = dynamic_cast<TRDTableItemInfo*>(doc.GetItem(i))) tables.push_back(table);
    return tables;
  };
  TTableDocument doc;
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  ASSERT_TRUE(LoadRTFFromStream(doc, stream));
  std::vector<TRDTableItemInfo*> tables = tablesOf(doc);
  ASSERT_EQ(tables.size(), 2u);
  TRDTableItemInfo& first = *tables[0];
  TRDTableItemInfo& second = *tables[1];
  EXPECT_EQ(first.ColCount(), cols);
  EXPECT_EQ(first.RowCount(), mergeFrom);
  EXPECT_EQ(first.HeadingRowCount(), 2);
  ASSERT_EQ(second.RowCount(), 6);
  EXPECT_EQ(second.HeadingRowCount(), 2);
  EXPECT_EQ(TTableDocument::CellText(*first.Cells(1, 0)), "head1");
  EXPECT_EQ(TTableDocument::CellText(*second.Cells(1, 0)), "head1");
  ASSERT_NE(first.Cells(0, 2), nullptr);
  EXPECT_EQ(first.Cells(0, 2)->RowSpan, 3);
  ASSERT_NE(second.Cells(0, 2), nullptr);
  EXPECT_EQ(second.Cells(0, 2)->RowSpan, 2);
  EXPECT_EQ(TTableDocument::CellText(*second.Cells(0, 2)), "side");
  ASSERT_NE(second.Cells(2, 0), nullptr);
  EXPECT_EQ(second.Cells(2, 0)->RowSpan, 4);
  EXPECT_EQ(TTableDocument::CellText(*second.Cells(2, 0)), "merged");
  EXPECT_EQ(TTableDocument::CellText(*second.Cells(5, 1)), "last");
  EXPECT_TRUE(second.Rows->IsConsistent());
  EXPECT_EQ(doc.GetItemTextRaw(doc.GetItemCount() - 1), "after");
  EXPECT_FALSE(doc.GetRDFWarnings() & rdfwTableCellsLeftOut);

  const std::string written = RTFOf(doc);
  size_t headings = 0;
  for (size_t at = written.find("\\trhdr"); at != std::string::npos;
       at = written.find("\\trhdr", at + 1))
    ++headings;
  EXPECT_EQ(headings, 2u);
  TTableDocument back;
  TMemoryStream again;
  again.WriteBuffer(written.data(), int64_t(written.size()));
  again.SetPosition(0);
  ASSERT_TRUE(LoadRTFFromStream(back, again));
  tables = tablesOf(back);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0]->RowCount(), mergeFrom);
  EXPECT_EQ(tables[0]->HeadingRowCount(), 2);
  EXPECT_EQ(tables[1]->RowCount(), 6);
  EXPECT_EQ(tables[1]->HeadingRowCount(), 2);
  EXPECT_EQ(RTFOf(back), written);
}

TEST(TableRTF, EmptyTableAndApplicationText) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1, {"a"});
  table.Rows->Clear();
  doc.AddText("after", 0, 0);
  std::string rtf = RTFOf(doc);
  EXPECT_FALSE(Has(rtf, "\\trowd"));
  EXPECT_FALSE(Has(rtf.substr(rtf.find("after") - 40), "\\par ")) << rtf;

  TTableDocument hooked;
  hooked.AddTable(1, 2, {"a", "b"});
  hooked.ExportHooks.OnSaveRTFExtra = [](TRDRTFSaveArea area, int index, int row) -> std::string {
    if (area == rd_rtfs_Row) return "\\ROW" + std::to_string(index) + "_" + std::to_string(row);
    if (area == rd_rtfs_Cell) return "\\CELL" + std::to_string(index) + "_" + std::to_string(row);
    return "";
  };
  rtf = RTFOf(hooked);
  EXPECT_TRUE(Has(rtf, "\\ROW-1_0")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\CELL0_0\\cellx")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\CELL1_0\\cellx")) << rtf;
}

TEST(TableRTF, NeverFormattedTableIsLaidOutFirst) {
  TTableDocument doc;
  doc.AddTable(1, 2, {"a", "b"});
  const std::string row = Row(RTFOf(doc), 0);
  EXPECT_EQ(CountOf(row, "\\cellx"), 2u);
  EXPECT_FALSE(Has(row, "\\cellx0")) << row;
}

// A document never shown anywhere (read from a file and saved again) has no canvas of
// its own: its tables, and the tables in their cells, are laid out on one of the screen's.
TEST(TableRTF, DocumentNeverShownIsLaidOutFirst) {
  TRDStyle sheet;
  TCustomRDData doc;
  doc.SetRDStyle(&sheet);
  auto outer = std::make_unique<TRDTableItemInfo>(1, 2, &doc);
  TTableDocument::SetCellText(*outer, 0, 1, "right");
  TRDTableCellData& cell = *outer->Cells(0, 0);
  cell.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(2, 1, &cell);
  TTableDocument::SetCellText(*inner, 0, 0, "in1");
  TTableDocument::SetCellText(*inner, 1, 0, "in2");
  cell.AddItemAtEnd("", std::move(inner));
  doc.AddItemAtEnd("", std::move(outer));
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.PixelsPerInch = 96;
  ASSERT_TRUE(SaveRTFToStream(doc, stream, params));
  const std::string rtf(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  EXPECT_EQ(CountOf(rtf, "\\cellx"), 4u) << rtf;
  EXPECT_FALSE(Has(rtf, "\\cellx-")) << rtf;
  EXPECT_FALSE(Has(rtf, "\\cellx0")) << rtf;
  EXPECT_TRUE(Has(rtf, "in2")) << rtf;
  doc.Clear();
}

// The ids the writers ask link targets for, in the order they write the links.
std::vector<int> LinkIdsWritten(TCustomRDData& doc, bool html) {
  std::vector<int> ids;
  doc.ExportHooks.OnWriteHyperlink = [&](int id, TRDSaveFormat, std::string& target, std::string&) {
    ids.push_back(id);
    target = "x";
  };
  TMemoryStream stream;
  if (html)
    SaveHTMLToStream(doc, stream, TRDHTMLSaveParams());
  else
    SaveRTFToStream(doc, stream, TRDRTFSaveParams());
  doc.ExportHooks.OnWriteHyperlink = nullptr;
  return ids;
}

// Links are numbered in reading order, those of a table's cells (tables inside them
// too) in the table's place, whether the document was ever laid out or not.
TEST(TableRTF, LinksOfADocumentNeverLaidOutAreNumberedAsLaidOut) {
  TTableDocument doc;
  const int link = doc.style.TextStyles().Count();
  doc.style.TextStyles().Add().Jump = true;
  doc.AddText("first", link, 0);
  TRDTableItemInfo& outer = doc.AddTable(1, 2, {"", "plain"});
  TRDTableCellData& cell = *outer.Cells(0, 0);
  cell.Clear();
  cell.AddText("in cell", link, 0);
  auto inner = std::make_unique<TRDTableItemInfo>(1, 1, &cell);
  inner->Cells(0, 0)->Clear();
  inner->Cells(0, 0)->AddText("nested", link, 0);
  cell.AddItemAtEnd("", std::move(inner));
  outer.Cells(0, 1)->AddText("beside", link, 0);
  doc.AddText("", link, 0);  // an empty link is no link
  doc.AddText("last", link, 0);
  const std::vector<int> expected = {0, 1, 2, 3, 4};
  for (const bool html : {false, true}) {
    EXPECT_EQ(LinkIdsWritten(doc, html), expected) << html;
    doc.Format();
    EXPECT_EQ(LinkIdsWritten(doc, html), expected) << html;
    doc.ClearFormatting();
  }
}

// --- peer -------------------------------------------------------------------------------------

// A table with a border of its own, and one shaped as LibreOffice writes them, after a
// paragraph that ends in a raised run.
TEST(TableRTFPeers, LibreOfficeReadsRowsColumnsAndMerges) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  std::vector<std::string> files;
  for (const bool officeShaped : {false, true}) {
    TTableDocument doc;
    doc.AddText("Before the tabl", 0, 0);
    doc.AddText("e", doc.AddRaisedStyle(), -1);
    TRDTableItemInfo& table = doc.AddTable(
        3, 3, {"North", "East", "South", "West", "Centre", "Up", "Down", "Left", "Right"});
    table.Rows->MergeCells(0, 0, 2, 1, true, false);  // North|East across two columns
    table.Rows->MergeCells(1, 2, 1, 2, true, false);  // Up|Right down two rows
    if (officeShaped) {
      TTableDocument::ShapeAsLibreOfficeTable(table);
    } else {
      table.SetBorderWidth(1);
      table.SetCellBorderWidth(1);
    }
    doc.AddText("After the table", 0, 0);
    doc.Format();
    files.push_back(WriteScratchFile(
        std::string("table_rtf/") + (officeShaped ? "office" : "framed") + ".rtf", RTFOf(doc)));
  }
  std::string log;
  const std::vector<std::string> pages =
      OfficeConvertAll(files, "html:HTML (StarWriter)", "html", "", &log);
  const std::vector<std::string> texts = OfficeConvertAll(files, "txt:Text", "txt", "", &log);
  const TGrid grid = {
      {"North East", "", "South"}, {"West", "Centre", "Up Right"}, {"Down", "Left", ""}};
  for (size_t i = 0; i < files.size(); ++i) {
    ASSERT_FALSE(pages[i].empty()) << files[i] << "\n" << log;
    EXPECT_EQ(HTMLGrid(pages[i], 3), grid) << files[i] << "\n" << pages[i];
    EXPECT_EQ(Collapsed(texts[i]).substr(3),  // after the byte-order mark
              "Before the table North East South West Centre Up Right Down Left After the table")
        << files[i];
  }
}

// Cells without padding, border or spacing between them, beside a column of empty cells
// laid out without width: its cells' right edges once came out at (or left of) those of
// the column before, written as a \\cellx twice, and LibreOffice dropped the merge.
TEST(TableRTFPeers, LibreOfficeKeepsAMergeBesideAColumnWithoutWidth) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(3, 3, {"a", "", "b", "c", "", "d", "e", "", "f"});
  table.SetCellPadding(0);
  table.SetCellHSpacing(-1);
  table.SetBestWidth(10);  // no room to share out: each column as narrow as its cells
  table.Rows->MergeCells(0, 0, 1, 2, true, false);  // a|c down two rows
  doc.Format();
  ASSERT_EQ(table.FormattingInfo->ColWidths[1], 0);
  const std::string rtf = RTFOf(doc);
  const std::string row = Row(rtf, 0);
  const size_t first = row.find("\\cellx"), second = row.find("\\cellx", first + 1);
  ASSERT_NE(second, std::string::npos) << row;
  EXPECT_LT(std::atoll(row.c_str() + first + 6), std::atoll(row.c_str() + second + 6)) << row;
  const TOfficeConversion html = OfficeConvert(WriteScratchFile("table_rtf/empty_column.rtf", rtf),
                                               "html:HTML (StarWriter)", "html");
  ASSERT_FALSE(html.Content.empty()) << html.Log;
  EXPECT_EQ(HTMLGrid(html.Content, 3), (TGrid{{"a c", "", "b"}, {"", "", "d"}, {"e", "", "f"}}))
      << html.Content;
  EXPECT_NE(html.Content.find("rowspan"), std::string::npos) << html.Content;
}

TEST(TableRTFPeers, LibreOfficeReadsNestedTables) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  TTableDocument doc;
  AddMergedNestedTable(doc);
  doc.Format();
  const std::string file = WriteScratchFile("table_rtf/nested.rtf", RTFOf(doc));
  // LibreOffice's HTML export flattens nested tables: its own document format shows them.
  const TOfficeConversion flat = OfficeConvert(file, "fodt", "fodt");
  const size_t body = flat.Content.find("<office:body>");
  ASSERT_NE(body, std::string::npos) << flat.Log;
  // The tokens of the document's body in order.
  const std::vector<std::string> tokens = {"<table:table ",
                                           "</table:table>",
                                           "<table:table-row",
                                           "<table:table-cell",
                                           "<table:covered-table-cell",
                                           "number-columns-spanned=\"2\"",
                                           "In1",
                                           "In2",
                                           "In3",
                                           "In4",
                                           "Right",
                                           "After"};
  std::string structure;
  for (size_t p = body; p < flat.Content.size(); ++p)
    for (const std::string& t : tokens)
      if (flat.Content.compare(p, t.size(), t) == 0) structure += t + " ";
  EXPECT_EQ(
      structure,
      "<table:table  <table:table-row <table:table-cell "
      "<table:table  <table:table-row <table:table-cell number-columns-spanned=\"2\" In1 In2 "
      "<table:covered-table-cell <table:table-row <table:table-cell In3 <table:table-cell In4 "
      "</table:table> <table:table-cell Right </table:table> After ");
}

// The lines of a text (CR LF or LF), without a byte-order mark and the last line's end.
std::vector<std::string> TextLines(std::string text) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Our plain text of a document with tables has the lines LibreOffice writes as text from
// our RTF of it: a line a cell, blank lines for the empty paragraphs only (an empty cell,
// one between the paragraphs), none after a table or a table nested in a cell, nor for
// the slot a cell merged across covers. (RTF cannot end a cell with a table: it adds an
// empty paragraph there, which LibreOffice shows.)
TEST(TableRTFPeers, OurTextHasTheLinesLibreOfficeWrites) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  TTableDocument doc;
  doc.AddText("a", 0, 0);
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"North", "East", "South", "West", "", "Up"});
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  TRDTableCellData& cell = *table.Cells(1, 2);
  auto inner = std::make_unique<TRDTableItemInfo>(1, 2, &cell);
  TTableDocument::SetCellText(*inner, 0, 0, "In1");
  TTableDocument::SetCellText(*inner, 0, 1, "In2");
  cell.AddItemAtEnd("", std::move(inner));
  cell.AddText("Down", 0, 0);
  doc.AddText("b", 0, 0);
  doc.AddText("", 0, 0);
  doc.AddText("c", 0, 0);
  doc.Format();
  const std::string file = WriteScratchFile("table_rtf/lines.rtf", RTFOf(doc));
  const TOfficeConversion peer = OfficeConvert(file, "txt:Text (encoded):UTF8", "txt");
  ASSERT_FALSE(peer.Content.empty()) << peer.Log;
  TMemoryStream ours;
  SaveTextToStreamUTF8(doc, ours, 80, false, false);
  EXPECT_EQ(TextLines(std::string(static_cast<const char*>(ours.Memory()), size_t(ours.Size()))),
            TextLines(peer.Content))
      << peer.Content;
}

// LibreOffice finds every cell of tables nested 2, 3, 10 and 64 deep, each at its level.
TEST(TableRTFPeers, LibreOfficeReadsEveryLevelOfNestedTables) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const std::vector<int> depths = {2, 3, 10, 64};
  std::vector<std::string> files, expected;
  for (const int depth : depths) {
    TTableDocument doc;
    AddNestedTables(doc, depth);
    doc.Format();
    files.push_back(
        WriteScratchFile("table_rtf/nested" + std::to_string(depth) + ".rtf", RTFOf(doc)));
    expected.push_back(NestingOf(doc));
  }
  std::string log;
  const std::vector<std::string> read = OfficeConvertAll(files, "fodt", "fodt", "", &log);
  for (size_t i = 0; i < depths.size(); ++i) {
    ASSERT_FALSE(read[i].empty()) << log;
    EXPECT_EQ(NestingOfFODT(read[i]), expected[i]) << depths[i];
  }
}

// Tables pandoc must read: one with cells merged across and down, and a long one whose
// cells hold two paragraphs and runs of several text styles; texts of the cells in order.
std::vector<std::string> FillPandocTables(TTableDocument& doc) {
  doc.AddText("Before the table", 0, 0);
  TRDTableItemInfo& merged = doc.AddTable(
      3, 3, {"North", "East", "South", "West", "Centre", "Up", "Down", "Left", "Right"});
  merged.Rows->MergeCells(0, 0, 2, 1, true, false);
  merged.Rows->MergeCells(1, 2, 1, 2, true, false);
  std::vector<std::string> expected = {"North East", "South", "West", "Centre",
                                       "Up Right",   "Down",  "Left"};
  doc.AddText("Between", 0, 0);
  TRDTableItemInfo& runs = doc.AddTable(12, 3);
  for (int r = 0; r < 12; ++r)
    for (int c = 0; c < 3; ++c) {
      TRDTableCellData& cell = *runs.Cells(r, c);
      const std::string name = "r" + std::to_string(r) + "c" + std::to_string(c);
      cell.Clear();
      cell.AddText(name, 0, 0);
      cell.AddText(" bold", 1, -1);
      cell.AddText("second " + name, 0, 0);
      expected.push_back(name + " bold second " + name);
    }
  doc.AddText("After the table", 0, 0);
  return expected;
}

// How many expected cell texts a reader's cells hold, in order.
size_t CellsMatched(const std::vector<std::string>& read,
                    const std::vector<std::string>& expected) {
  size_t matched = 0, at = 0;
  for (const std::string& text : expected)
    for (size_t i = at; i < read.size(); ++i)
      if (read[i] == text) {
        ++matched;
        at = i + 1;
        break;
      }
  return matched;
}

TEST(TableRTFPeers, PandocAndLibreOfficeReadEveryCell) {
  const bool pandoc = ProgramAvailable("pandoc"), office = ProgramAvailable("soffice");
  if (!pandoc && !office) GTEST_SKIP() << "neither pandoc nor LibreOffice is installed";
  TTableDocument doc;
  while (doc.style.TextStyles().Count() < 2) doc.style.TextStyles().Add();
  doc.style.TextStyles().Items(1).Style = fsBold;
  const std::vector<std::string> expected = FillPandocTables(doc);
  doc.Format();
  const std::string rtf = RTFOf(doc);
  // Character formatting is reset before a cell paragraph enters the table, not after.
  EXPECT_FALSE(Has(rtf, "\\intbl \\plain")) << rtf;
  const std::string file = WriteScratchFile("table_rtf/pandoc.rtf", rtf);
  if (pandoc) {
    const std::vector<std::string> cells =
        HTMLCellTexts(RunAndCapture("pandoc -f rtf -t html --wrap=none '" + file + "'"));
    EXPECT_EQ(CellsMatched(cells, expected), expected.size()) << "pandoc";
  }
  if (office) {
    const TOfficeConversion html = OfficeConvert(file, "html:HTML (StarWriter)", "html");
    ASSERT_FALSE(html.Content.empty()) << html.Log;
    EXPECT_EQ(CellsMatched(HTMLCellTexts(html.Content), expected), expected.size())
        << "LibreOffice";
  }
}

}  // namespace
