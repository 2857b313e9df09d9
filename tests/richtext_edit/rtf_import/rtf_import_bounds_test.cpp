// Hostile numbers and depths in an RTF import: lengths are clamped to a page where they
// are read, and tables nested deeper than we build keep their text.
#include <gtest/gtest.h>

#include <climits>

#include "rtf_import_document.h"

namespace {

TEST(RTFImportBounds, EdgesAndBordersBeyondAPageAreClampedToIt) {
  TRTFImportDocument doc;
  for (const char* row : {"\\trowd\\trleft2147483647\\cellx2147483647\\cellx2147483647",
                          "\\trowd\\trleft-2147483647\\cellx-2147483647\\cellx2147483647",
                          "\\trowd\\trgaph2147483647\\trbrdrt\\brdrs\\brdrw2147483647"
                          "\\clbrdrl\\brdrs\\brdrw2147483647\\trpaddl2147483647\\trpaddfl3"
                          "\\trspdl2147483647\\trspdfl3\\cellx1000\\cellx2000"}) {
    SCOPED_TRACE(row);
    ASSERT_EQ(doc.Import(std::string("{\\rtf1 ") + row + "\\pard\\intbl a\\cell b\\cell\\row}"),
              rtf_ec_OK);
  }
  for (int t = 0; t < 3; ++t) {
    TRDTableItemInfo* table = doc.Table(t);
    ASSERT_NE(table, nullptr) << t;
    EXPECT_TRUE(table->Rows->IsConsistent()) << t;
    EXPECT_LE(table->BorderWidth(), TRDTableItemInfo::kMaxLength);
    EXPECT_LE(table->CellBorderWidth(), TRDTableItemInfo::kMaxLength);
    EXPECT_LE(table->CellPadding(), TRDTableItemInfo::kMaxLength);
  }
  EXPECT_EQ(doc.Text(), "a\r\nb\r\n\r\na\r\nb\r\n\r\na\r\nb\r\n");
}

// Tables nested deeper than the reader builds flow into the deepest one: an error there
// once dropped the whole document.
TEST(RTFImportBounds, TablesNestedDeeperThanWeBuildKeepTheirText) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 before\\par\\pard\\intbl\\itap70 deep\\nestcell"
                       "{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}\\par\\pard after}"),
            rtf_ec_OK);
  const std::string text = doc.Text();
  EXPECT_NE(text.find("before"), std::string::npos) << text;
  EXPECT_NE(text.find("deep"), std::string::npos) << text;
  EXPECT_NE(text.find("after"), std::string::npos) << text;
}

}  // namespace
