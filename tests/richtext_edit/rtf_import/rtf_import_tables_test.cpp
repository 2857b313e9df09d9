// Tables of the RTF import: cells in their columns, merged cells, widths, borders and
// spacing, nested tables, rows that never end, and hostile column patterns.
#include <gtest/gtest.h>

#include "richtext/formats/rtf_writer.h"
#include "richtext_edit/rtf_import/shown_rtf.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "rtf_import_document.h"

namespace {

std::string Row(const std::string& defs, const std::string& cells) {
  return "\\trowd" + defs + "\\pard\\intbl " + cells + "\\row";
}

TEST(RTFImportTables, CellsInOrderAndTextAround) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 before\\par" + Row("\\cellx1000\\cellx2000", "a\\cell b\\cell") +
                       Row("\\cellx1000\\cellx2000", "c\\cell d\\cell") + "\\pard after}"),
            rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 3);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "a b;c d");
  EXPECT_TRUE(table->Rows->IsConsistent());
  // A line a cell, and no blank line after the table: the document has no empty paragraph.
  EXPECT_EQ(doc.Text(), "before\r\na\r\nb\r\nc\r\nd\r\nafter");
  // Widths from the edges, less the padding; no best width of the table.
  EXPECT_EQ(table->Cells(0, 0)->BestWidth, 67);
  EXPECT_EQ(table->BestWidth(), 0);
  EXPECT_EQ(table->CellBorderStyle(), rdtbColor);

  // With tables ignored the cells are paragraphs.
  TRTFImportDocument flat;
  flat.Options.IgnoreTables = true;
  ASSERT_EQ(flat.Import("{\\rtf1 " + Row("\\cellx1000\\cellx2000", "a\\cell b\\cell") + "}"),
            rtf_ec_OK);
  EXPECT_EQ(flat.Table(), nullptr);
  EXPECT_EQ(flat.Text(), "a\r\nb");
}

TEST(RTFImportTables, HorizontalAndVerticalMerges) {
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import("{\\rtf1 " +
                 Row("\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000",
                     "wide\\cell\\cell tall\\cell") +
                 Row("\\cellx1000\\cellx2000\\clvmrg\\cellx3000", "a\\cell b\\cell\\cell") + "}"),
      rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "wide/2x1 . tall/1x2;a b .");
  EXPECT_TRUE(table->Rows->IsConsistent());
}

// An RTF table read into a document laid out 800 pixels wide, and the right edges of its
// cells as the RTF written of it gives them.
struct TLaidOutTable {
  TTestFormattedData Document{800, 600};
  TRDTableItemInfo* Table = nullptr;

  explicit TLaidOutTable(const std::string& rtf) {
    TRDRTFReaderProperties options;
    int index = 0;
    ReadRTFBytes(options, reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size(), Document,
                 index);
    Document.Format();
    for (int i = 0; i < Document.GetItemCount() && !Table; ++i)
      Table = dynamic_cast<TRDTableItemInfo*>(Document.GetItem(i));
  }
  std::string Written() {
    TMemoryStream stream;
    SaveRTFToStream(Document, stream, TRDRTFSaveParams{});
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  }
  static std::string Edges(const std::string& rtf) {
    std::string edges;
    for (size_t at = rtf.find("\\cellx"); at != std::string::npos; at = rtf.find("\\cellx", at + 1))
      edges += rtf.substr(at, rtf.find_first_not_of("0123456789", at + 6) - at);
    return edges;
  }
};

// Rows that all merge the same two columns: the edge inside the merge ends no column and
// the merged cell is as wide as both, so "b" stands where it stands beside a row that
// does not merge them; the RTF written of it reads back to the same edges.
TEST(RTFImportTables, ColumnsThatOnlyMergesDefineKeepTheirWidth) {
  const std::string merged =
      Row("\\clmgf\\cellx2000\\clmrg\\cellx4000\\cellx6000", "a\\cell\\cell b\\cell");
  TLaidOutTable only("{\\rtf1 " + merged + merged + "}");
  TLaidOutTable control("{\\rtf1 " + merged +
                        Row("\\cellx2000\\cellx4000\\cellx6000", "c\\cell d\\cell b\\cell") + "}");
  ASSERT_TRUE(only.Table && control.Table);
  EXPECT_EQ(Grid(*only.Table), "a b;a b");
  EXPECT_EQ(Grid(*control.Table), "a/2x1 . b;c d b");
  // Within 3 points (4 pixels).
  EXPECT_NEAR(only.Table->Cells(0, 1)->Left(), control.Table->Cells(0, 2)->Left(), 4);
  const std::string written = only.Written();
  TLaidOutTable again(written);
  EXPECT_EQ(TLaidOutTable::Edges(again.Written()), TLaidOutTable::Edges(written));
}

TEST(RTFImportTables, VerticalMergesEndAndStartAgainAndGatherTheirText) {
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import(
          "{\\rtf1 " + Row("\\clvmgf\\cellx1000\\cellx2000\\cellx3000", "a\\cell b\\cell c\\cell") +
          Row("\\clvmrg\\cellx1000\\cellx2000\\clvmgf\\cellx3000", "\\cell d\\cell e\\cell") +
          Row("\\clvmrg\\cellx1000\\cellx2000\\clvmrg\\cellx3000", "x\\cell f\\cell\\cell") +
          Row("\\clvmgf\\cellx1000\\cellx2000\\clvmrg\\cellx3000", "g\\cell h\\cell\\cell") +
          Row("\\clvmrg\\cellx1000\\cellx2000\\cellx3000", "\\cell i\\cell j\\cell") + "}"),
      rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  // Text in a merged cell joins the cell it is merged into.
  EXPECT_EQ(Grid(*table), "a|x/1x3 b c;. d e/1x3;. f .;g/1x2 h .;. i j");
  EXPECT_TRUE(table->Rows->IsConsistent());
}

TEST(RTFImportTables, ALongMergedColumnIsOneCell) {
  std::string rtf = "{\\rtf1 " + Row("\\clvmgf\\cellx1000\\cellx2000", "top\\cell 0\\cell");
  for (int r = 1; r < 400; ++r)
    rtf += Row("\\clvmrg\\cellx1000\\cellx2000",
               (r == 399 ? "last" : "") + std::string("\\cell ") + std::to_string(r) + "\\cell");
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(rtf + "}"), rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->RowCount(), 400);
  EXPECT_EQ(table->Cells(0, 0)->RowSpan, 400);
  EXPECT_EQ(CellText(*table, 0, 0), "top|last");
  EXPECT_EQ(CellText(*table, 399, 1), "399");
  EXPECT_TRUE(table->Rows->IsConsistent());
}

TEST(RTFImportTables, RowEndingWithAMergeStart) {
  // The last cell starts a horizontal merge that no cell continues: it keeps its own
  // right edge, and the table keeps its three columns.
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import("{\\rtf1 " + Row("\\cellx1000\\cellx2000\\cellx3000", "a\\cell b\\cell c\\cell") +
                 Row("\\cellx1000\\clmgf\\cellx3000", "d\\cell e\\cell") + "}"),
      rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "a b c;d e/2x1 .");
}

TEST(RTFImportTables, EdgesWithinATwipAreOne) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " + Row("\\cellx1000\\cellx2000", "a\\cell b\\cell") +
                       Row("\\cellx1001\\cellx2000", "c\\cell d\\cell") +
                       Row("\\cellx1003\\cellx2000", "e\\cell f\\cell") + "}"),
            rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  // 1003 splits the second column; the cells above span both new columns.
  EXPECT_EQ(Grid(*table), "a b/2x1 .;c d/2x1 .;e/2x1 . f");
  EXPECT_TRUE(table->Rows->IsConsistent());
}

// A table holding wide tables in its cells is written wider than a page: its edges
// beyond the page still divide its columns as written, and each cell's width is still
// cut to a page.
TEST(RTFImportTables, RowsWiderThanAPageKeepTheirColumns) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " +
                       Row("\\cellx20000\\cellx40000\\cellx80000", "a\\cell b\\cell c\\cell") +
                       Row("\\cellx40000\\cellx80000", "d\\cell e\\cell") + "}"),
            rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "a b c;d/2x1 . e");
  EXPECT_EQ(table->Cells(0, 1)->BestWidth, 1333);  // 20000 twips at 96 pixels per inch
  EXPECT_EQ(table->Cells(0, 2)->BestWidth, kMaxPageLength);
  EXPECT_EQ(table->Cells(1, 0)->BestWidth, kMaxPageLength);
}

TEST(RTFImportTables, RowsStartingFurtherRight) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " + Row("\\cellx1000\\cellx2000", "a\\cell b\\cell") +
                       Row("\\trleft1000\\cellx2000", "c\\cell") + "}"),
            rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "a b; c");
  EXPECT_FALSE(table->Cells(1, 0)->VisibleBorders.Left);  // the room left of the row
}

TEST(RTFImportTables, HostileEdgesDoNotGrowColumnsWithoutBound) {
  // Every row names new edges; the column count stops at what a row may hold, and the
  // table at what the read pays for (the others' text follows the table).
  std::string rtf = "{\\rtf1 ";
  for (int r = 0; r < 400; ++r)
    rtf += Row("\\cellx" + std::to_string(10 + 3 * r) + "\\cellx" + std::to_string(5000 - 3 * r),
               "x\\cell y\\cell");
  rtf += "}";
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(rtf), rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_GT(table->RowCount(), 1);
  EXPECT_LE(table->ColCount(), 256);
  EXPECT_LE(doc.TableBytes(), kTableBytesPerRead + kTableBytesPerByte * std::int64_t(rtf.size()));
  EXPECT_TRUE(table->Rows->IsConsistent());
  // Every cell's text is still there.
  const std::string text = doc.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), 400);
  EXPECT_EQ(std::count(text.begin(), text.end(), 'y'), 400);
}

TEST(RTFImportTables, WidthsSpacingAndBorders) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " +
                       Row("\\trwWidth2500\\trftsWidth2\\trhdr\\trbrdrt\\brdrs\\brdrw30"
                           "\\trbrdrb\\brdrs\\brdrw30\\trpaddl60\\trpaddfl3\\trpaddr60\\trpaddfr3"
                           "\\clbrdrl\\brdrs\\brdrw15\\clvertalc\\cellx3000",
                           "h\\cell") +
                       Row("\\cellx3000", "x\\cell") + "}"),
            rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->BestWidth(), -50);  // 50 percent
  EXPECT_EQ(table->HeadingRowCount(), 1);
  // 120 twips of left and right padding over the 8 sides of two rows: 1 pixel.
  EXPECT_EQ(table->CellPadding(), 1);
  EXPECT_EQ(table->BorderWidth(), 2);
  EXPECT_EQ(table->CellBorderWidth(), 1);
  EXPECT_EQ(table->Cells(0, 0)->VAlign, rdcMiddle);
  EXPECT_TRUE(table->Cells(0, 0)->VisibleBorders.IsEqualToValues(true, false, false, false));
}

// Cell padding as LibreOffice writes it: none for the row, 90 twips on every side of
// every cell; the cells' own padding stands for the row's.
TEST(RTFImportTables, CellPaddingOfOtherWriters) {
  const std::string cell =
      "\\clpadfl3\\clpadl90\\clpadft3\\clpadt90\\clpadfr3\\clpadr90\\clpadfb3\\clpadb90";
  const std::string row =
      "\\trpaddft3\\trpaddt0\\trpaddfl3\\trpaddl0\\trpaddfb3\\trpaddb0"
      "\\trpaddfr3\\trpaddr0";
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import("{\\rtf1 " +
                 Row(row + cell + "\\cellx1500" + cell + "\\cellx3000", "a\\cell b\\cell") +
                 Row(row + cell + "\\cellx1500" + cell + "\\cellx3000", "c\\cell d\\cell") + "}"),
      rtf_ec_OK);
  ASSERT_NE(doc.Table(), nullptr);
  EXPECT_EQ(doc.Table()->CellPadding(), 6);  // 90 twips at 96 pixels an inch
  // Without cell padding the row's counts.
  TRTFImportDocument rowOnly;
  ASSERT_EQ(rowOnly.Import("{\\rtf1 " + Row(row + "\\cellx1500", "a\\cell") + "}"), rtf_ec_OK);
  ASSERT_NE(rowOnly.Table(), nullptr);
  EXPECT_EQ(rowOnly.Table()->CellPadding(), 0);
}

// Hairlines (LibreOffice writes the sides cells share so) are thinner than a pixel and
// still borders: drawn one pixel wide.
TEST(RTFImportTables, HairlineBordersStayVisible) {
  const std::string hair = "\\brdrhair\\brdrw1";
  const std::string sides =
      "\\clbrdrt" + hair + "\\clbrdrl" + hair + "\\clbrdrb" + hair + "\\clbrdrr" + hair;
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " +
                       Row(sides + "\\cellx1500" + sides + "\\cellx3000", "a\\cell b\\cell") + "}"),
            rtf_ec_OK);
  ASSERT_NE(doc.Table(), nullptr);
  EXPECT_EQ(doc.Table()->CellBorderWidth(), 1);
}

TEST(RTFImportTables, RowsThatNeverEndStayText) {
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import("{\\rtf1 top\\par\\trowd\\cellx1000\\pard\\intbl one\\cell two\\par\\pard end}"),
      rtf_ec_OK);
  EXPECT_EQ(doc.Table(), nullptr);
  EXPECT_EQ(doc.Text(), "top\r\none\r\ntwo\r\nend");
}

// A paragraph with \\absnoovrlp (a frame property) between two tables once kept the first
// open: the second was built into it, and the import ended with nothing, reporting success.
// Tables a read leaves open at an error go into the document with what they hold.
TEST(RTFImportTables, TablesAroundAFrameParagraphAndTablesLeftOpen) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " + Row("\\cellx1000\\cellx2000", "a\\cell b\\cell") +
                       "\\pard\\absnoovrlp frame\\par more\\par" + Row("\\cellx1000", "c\\cell") +
                       "\\pard end}"),
            rtf_ec_OK);
  ASSERT_NE(doc.Table(1), nullptr);
  EXPECT_EQ(Grid(*doc.Table(0)), "a b");
  EXPECT_EQ(Grid(*doc.Table(1)), "c");
  EXPECT_EQ(doc.Text(), "a\r\nb\r\nframe\r\nmore\r\nc\r\nend");

  TRTFImportDocument broken;
  ASSERT_EQ(
      broken.Import("{\\rtf1 top\\par" + Row("\\cellx1000", "a\\cell") +
                    "\\pard\\intbl\\trowd\\cellx1000 b\\cell\\row\\pard\\intbl c\\par d\\'zz}"),
      rtf_ec_InvalidHex);
  ASSERT_NE(broken.Table(), nullptr);
  EXPECT_EQ(Grid(*broken.Table()), "a;b");
  // The open row's paragraph moves out; "d", not yet reported at the error, is lost.
  EXPECT_EQ(broken.Text(), "top\r\na\r\nb\r\nc");
}

TEST(RTFImportTables, NestedTablesAndTheFixture) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(LoadTestFile("rtf/tables.rtf")), rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->RowCount(), 3);
  EXPECT_TRUE(table->Rows->IsConsistent());
  // The last row starts at 0, the rows above at -108: the first column is that sliver.
  // The third cell of the second row continues the merge of C1 above it.
  EXPECT_EQ(Grid(*table),
            "A1/2x1 . B1/2x1 . C1/1x2;A2 merged/4x1 . . . .; Outer/2x1 . "
            "|After inner/2x1 .");
  // The nested table lies in the second cell of the last row.
  TRDTableCellData* outer = table->Cells(2, 3);
  ASSERT_NE(outer, nullptr);
  ASSERT_GE(outer->GetItemCount(), 1);
  auto* inner = dynamic_cast<TRDTableItemInfo*>(outer->GetItem(0));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(Grid(*inner), "Inner 1 Inner 2");
  // The shaded cell: 50 % black on white.
  EXPECT_EQ(table->Cells(0, 4)->Color, TColor(0x7F7F7F));
  // Centred (\\trqc): the sheet's centred style, though no style may be added.
  EXPECT_EQ(table->ParaNo, 1);
  EXPECT_EQ(doc.Sheet.ParaStyles()[1].Alignment, rdaCenter);

  // A table nested in a later row of a centred table: that row's definition comes before
  // the nested table starts, the nested row's own (without an alignment) after its cells.
  TRTFImportDocument later;
  ASSERT_EQ(later.Import("{\\rtf1 " + Row("\\trqc\\cellx3000", "a\\cell") +
                         "\\trowd\\trqc\\cellx3000\\pard\\intbl b\\par\\pard\\intbl\\itap2 c"
                         "\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                         "\\pard\\intbl\\itap1 d\\cell\\row\\pard end}"),
            rtf_ec_OK);
  ASSERT_NE(later.Table(), nullptr);
  EXPECT_EQ(later.Table()->ParaNo, 1);
  auto* nested = dynamic_cast<TRDTableItemInfo*>(later.Table()->Cells(1, 0)->GetItem(1));
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->ParaNo, 0);
}

}  // namespace
