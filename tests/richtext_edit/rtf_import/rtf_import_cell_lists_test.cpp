// Numbered paragraphs in table cells: their markers count in document order with the
// paragraphs around the table (nested tables, old-style numbering and an import into
// the middle of a document included) and stand in the document's marker list like any
// other marker.
#include <gtest/gtest.h>

#include "richtext/styles/list_style.h"
#include "richtext_edit/support/marker_order.h"
#include "rtf_import_document.h"

namespace {

const char* const kLists =
    "{\\rtf1{\\fonttbl{\\f0 Arial;}}"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1"
    "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid1}}"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}";
const char* const kItem = "\\ls1\\fi-360\\li720 ";

TEST(RTFImportCellLists, NumbersRunThroughTheCellsInDocumentOrder) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  const std::string item = kItem;
  ASSERT_EQ(doc.Import(std::string(kLists) + "\\pard" + item + "zero\\par" +
                       "\\trowd\\cellx2000\\cellx4000"
                       "\\pard\\intbl" +
                       item + "one\\par\\pard\\intbl" + item +
                       "two\\cell"
                       "\\pard\\intbl plain\\cell\\row"
                       "\\trowd\\cellx2000\\cellx4000"
                       "\\pard\\intbl A\\cell\\pard\\intbl" +
                       item +
                       "three\\cell\\row"
                       "\\pard" +
                       item + "four\\par}"),
            rtf_ec_OK);
  TRDTableItemInfo* table = doc.Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Grid(*table), "one|two plain;A three");
  EXPECT_EQ(MarkerNumbering(doc.Document), "zero=1. one=2. two=3. three=4. four=5.");
  EXPECT_TRUE(MarkersListedInOrder(doc.Document));
  // The marker starts its cell's paragraph and the text continues it.
  TRDTableCellData& cell = *table->Cells(0, 0);
  ASSERT_EQ(cell.GetItemCount(), 4);
  EXPECT_EQ(cell.GetItem(0)->StyleNo, rdsListMarker);
  EXPECT_TRUE(cell.GetItem(1)->GetContinuesPara());
  EXPECT_TRUE(cell.GetItem(2)->IsParaStart());

  // A marker taken out of a cell numbers the rest again.
  cell.DeleteItems(2, 2);
  EXPECT_TRUE(MarkersListedInOrder(doc.Document));
  EXPECT_EQ(MarkerNumbering(doc.Document), "zero=1. one=2. three=3. four=4.");
}

TEST(RTFImportCellLists, NestedTablesAndRowsThatNeverEnd) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  const std::string item = kItem;
  ASSERT_EQ(doc.Import(std::string(kLists) +
                       "\\trowd\\cellx3000\\cellx6000"
                       "\\pard\\intbl" +
                       item +
                       "outer\\cell"
                       "\\pard\\intbl\\itap2" +
                       item +
                       "inner\\nestcell\\pard\\intbl\\itap2 x\\nestcell"
                       "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                       "{\\nonesttables\\par}"
                       "\\pard\\intbl\\itap1" +
                       item +
                       "after inner\\cell\\row"
                       // A table whose row never ends: its text, marker and all, is
                       // kept as paragraphs after the table.
                       "\\trowd\\cellx2000\\pard\\intbl" +
                       item +
                       "loose\\par"
                       "\\pard" +
                       item + "last\\par}"),
            rtf_ec_OK);
  EXPECT_EQ(MarkerNumbering(doc.Document), "outer=1. inner=2. after inner=3. loose=4. last=5.");
  EXPECT_TRUE(MarkersListedInOrder(doc.Document));

  // A finished table inside a table whose row never ends comes out whole, with its
  // numbered cell.
  TRTFImportDocument moved;
  moved.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(moved.Import(std::string(kLists) + "\\pard" + item + "first\\par" +
                         "\\trowd\\cellx3000\\pard\\intbl\\itap2" + item +
                         "inner\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                         "{\\nonesttables\\par}\\pard\\intbl\\itap1 text\\par"
                         "\\pard" +
                         item + "last\\par}"),
            rtf_ec_OK);
  ASSERT_NE(moved.Table(), nullptr);
  EXPECT_EQ(Grid(*moved.Table()), "inner");
  EXPECT_EQ(MarkerNumbering(moved.Document), "first=1. inner=2. last=3.");
  EXPECT_TRUE(MarkersListedInOrder(moved.Document));
}

TEST(RTFImportCellLists, OldStyleNumberingInCells) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  const std::string pn = "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}";
  ASSERT_EQ(doc.Import("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard" + pn + "a\\par" +
                       "\\trowd\\cellx2000\\cellx4000\\pard\\intbl" + pn + "b\\cell\\pard\\intbl" +
                       pn + "c\\cell\\row\\pard" + pn + "d\\par}"),
            rtf_ec_OK);
  EXPECT_EQ(MarkerNumbering(doc.Document), "a=1. b=2. c=3. d=4.");
  EXPECT_TRUE(MarkersListedInOrder(doc.Document));
}

TEST(RTFImportCellLists, ImportIntoTheMiddleNumbersTheMarkersAfterIt) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  const std::string pn = "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}";
  ASSERT_EQ(doc.Import("{\\rtf1" + pn + "first\\par" + pn + "second\\par}"), rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 4);
  // A numbered paragraph and a table with a numbered cell go in between the two
  // paragraphs, in the same list (old-style numbering looks for an equal list style of
  // the document); the read's first marker starts the count again, and the paragraph
  // after the insertion counts on from the cell.
  ASSERT_EQ(doc.Import(
                "{\\rtf1" + pn + "mid\\par\\trowd\\cellx2000" + pn + "\\intbl cell\\cell\\row}", 2),
            rtf_ec_OK);
  EXPECT_EQ(doc.Sheet.ListStyles().Count(), 1);
  EXPECT_EQ(MarkerNumbering(doc.Document), "first=1. mid=1. cell=2. second=3.");
  EXPECT_TRUE(MarkersListedInOrder(doc.Document));
}

TEST(RTFImportCellLists, MarkersDroppedWhenStylesMayNotBeAdded) {
  TRTFImportDocument doc;
  const std::string item = kItem;
  ASSERT_EQ(doc.Import(std::string(kLists) + "\\trowd\\cellx2000\\pard\\intbl" + item +
                       "cell\\cell\\row}"),
            rtf_ec_OK);
  EXPECT_EQ(MarkerNumbering(doc.Document), "");
  EXPECT_EQ(Grid(*doc.Table()), "cell");
}

}  // namespace
