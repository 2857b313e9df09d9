// Hostile lengths in a table: whoever sets them (a file, an import, undo), they are
// clamped to what a page holds, so layout sums stay in range, a border costs no more
// than a page to draw, and the RTF written holds only numbers RTF can carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text/streams.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/tables/table_document.h"

namespace {

constexpr int kMax = TRDTableItemInfo::kMaxLength;

// Padding, spacing and borders are cut to what leaves the text room on paper.
TEST(TableBounds, LengthsAreClampedToAPage) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"a", "b", "c", "d"});
  table.SetBorderWidth(INT_MAX);
  table.SetCellBorderWidth(INT_MAX);
  table.SetCellPadding(INT_MAX);
  table.SetCellHSpacing(INT_MIN);
  table.SetCellVSpacing(INT_MAX);
  table.SetBorderHSpacing(INT_MAX);
  table.SetBorderVSpacing(INT_MIN);
  table.SetVRuleWidth(INT_MAX);
  table.SetHRuleWidth(INT_MAX);
  constexpr int gap = TRDTableItemInfo::kMaxCellGap;
  EXPECT_EQ(table.BorderWidth(), gap);
  EXPECT_EQ(table.CellBorderWidth(), gap);
  EXPECT_EQ(table.CellPadding(), gap);
  EXPECT_EQ(table.CellHSpacing(), -gap);
  EXPECT_EQ(table.CellVSpacing(), gap);
  EXPECT_EQ(table.BorderHSpacing(), gap);
  EXPECT_EQ(table.BorderVSpacing(), -gap);
  EXPECT_EQ(table.VRuleWidth(), kMax);
  EXPECT_EQ(table.HRuleWidth(), kMax);
  // Laid out, the sums grow with the lengths.
  doc.Format();
  EXPECT_GT(table.FormattingInfo->Width, 4 * gap);
  EXPECT_GT(table.FormattingInfo->Height, 4 * gap);
  // Sensible lengths are kept as they are.
  table.SetBorderWidth(3);
  table.SetCellHSpacing(-1);
  EXPECT_EQ(table.BorderWidth(), 3);
  EXPECT_EQ(table.CellHSpacing(), -1);
}

// Every number after a control word of the RTF text.
std::vector<long long> Numbers(const std::string& rtf) {
  std::vector<long long> numbers;
  for (size_t p = rtf.find('\\'); p != std::string::npos; p = rtf.find('\\', p + 1)) {
    size_t q = p + 1;
    while (q < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[q]))) ++q;
    if (q < rtf.size() && (rtf[q] == '-' || std::isdigit(static_cast<unsigned char>(rtf[q]))))
      numbers.push_back(std::strtoll(rtf.c_str() + q, nullptr, 10));
  }
  return numbers;
}

// A table far wider than any page (as wide as the model lets it ask to be) is written
// with numbers RTF can hold: "\cellx3221226465" was written once.
TEST(TableBounds, RTFWritesOnlyNumbersAParameterHolds) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"a", "b"});
  table.SetBestWidth(INT_MAX / 8);
  doc.Format();
  TRDTableItemInfo& percent = doc.AddTable(1, 1, {"c"});
  percent.SetBestWidth(INT_MIN / 2);
  percent.Cells(0, 0)->BestWidth = INT_MIN / 2;
  doc.Format();
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.PixelsPerInch = 96;
  ASSERT_TRUE(SaveRTFToStream(doc, stream, params));
  const std::string rtf(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  ASSERT_NE(rtf.find("\\cellx"), std::string::npos);
  for (const long long n : Numbers(rtf)) {
    EXPECT_LE(n, INT_MAX) << rtf;
    EXPECT_GE(n, -INT_MAX) << rtf;
  }
}

// The table's requested width is kept to what its record in a file holds: a wider one
// once made a file that did not read, and RTF read one beyond a page's twips as fewer
// pixels.
TEST(TableBounds, BestWidthsReadBackFromEveryFormat) {
  constexpr int kMaxWidth = TRDTableItemInfo::kMaxBestWidth;
  for (const int claim : {INT_MAX, 32000, -INT_MAX}) {
    TTableDocument doc;
    doc.AddTable(1, 2, {"a", "b"}).SetBestWidth(claim);
    const int kept = std::clamp(claim, -kMaxWidth, kMaxWidth);
    EXPECT_EQ(doc.Table(0).BestWidth(), kept);
    doc.Format();
    TMemoryStream rdf, rtf;
    ASSERT_TRUE(SaveRDFToStream(doc, rdf, false));
    ASSERT_TRUE(SaveRTFToStream(doc, rtf, {}));
    TTableDocument fromRDF, fromRTF;
    rdf.SetPosition(0);
    rtf.SetPosition(0);
    ASSERT_TRUE(LoadRDFFromStream(fromRDF, rdf)) << claim;
    ASSERT_TRUE(LoadRTFFromStream(fromRTF, rtf)) << claim;
    EXPECT_EQ(fromRDF.Table(0).BestWidth(), kept);
    EXPECT_EQ(fromRTF.Table(0).BestWidth(), kept);
  }
}

}  // namespace
