// Printing part of a document: room kept free on the first page, the two page tops of a
// page that goes on inside a cut picture, the selection alone, what one page holds for
// the writers, and page ranges; and the peers: the PDF of a page range holds those pages
// of the whole print (pdfinfo, pdftotext), a printed selection holds the selected lines
// with their list numbers, and bad ranges write no file.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sys/child_process.h"
#include "platform/text/streams.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/marker_item.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/print/paper.h"
#include "support/scratch_files.h"

namespace {

void AddLines(TTestFormattedData& doc, int count) {
  for (int i = 1; i <= count; ++i) doc.AddText("Line " + std::to_string(i), 0, 0);
}

// The draw lines paged again after a change of the printable data's settings.
void Repaginate(TPaper& paper) {
  paper.warnings = Paginate(paper.data);
}

TEST(PrintParts, FirstPageKeepsItsOffsetFree) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 25);
  TPaper paper(doc, 300, 100, 10, 0);
  paper.data.FirstPageOffset = 30;
  Repaginate(paper);
  // 60 pixels are left on page 1: six lines; the others ten a page from line 7.
  ASSERT_EQ(paper.data.Pages.Count(), 4);
  EXPECT_EQ(paper.data.Pages.Page(2).StartDrawItemNo, 6);
  EXPECT_EQ(paper.data.Pages.Page(3).StartDrawItemNo, 15);
  EXPECT_EQ(paper.data.GetPageTop(1), -40);
  EXPECT_EQ(paper.data.GetPageTop(2), 60 - 10);
  const std::vector<std::string> first = paper.Texts(1);
  ASSERT_EQ(first.size(), 6u);
  EXPECT_NE(first.front().find(",40 Line 1"), std::string::npos) << first.front();
  // The offset is the first page's only: page 2 starts under the top margin.
  const std::vector<std::string> second = paper.Texts(2);
  EXPECT_NE(second.front().find(",10 Line 7"), std::string::npos) << second.front();
}

TEST(PrintParts, APageInsideACutPictureHasTwoTops) {
  TTestFormattedData doc(500, 400);
  AddTextAndCutPicture(doc, 250);
  TPaper paper(doc, 300, 100);
  ASSERT_EQ(paper.data.Pages.Count(), 3);
  const TRDDrawLineInfo& line = *paper.data.DrawItems[1];
  const auto& parts = dynamic_cast<const TRDMultiDrawItemInfo&>(line).PartsList;
  // Page 1 starts with a whole line: both tops are the same.
  EXPECT_EQ(paper.data.Pages.Page(1).StartY2, paper.data.Pages.Page(1).StartY);
  EXPECT_EQ(paper.data.GetPageTop2(1), paper.data.GetPageTop(1));
  // The cuts lie below the parts printed before them.
  EXPECT_EQ(paper.data.Pages.Page(2).StartY2, line.Top + parts.Get(0)->Height);
  EXPECT_EQ(paper.data.Pages.Page(3).StartY2,
            line.Top + parts.Get(0)->Height + parts.Get(1)->Height);
  EXPECT_EQ(paper.data.GetPageTop2(3), paper.data.Pages.Page(3).StartY2);
  // The page that prints the last part starts where that part would follow the others.
  EXPECT_EQ(paper.data.Pages.Page(3).StartY, line.Top + line.Height - parts.Get(2)->Height);
}

TEST(PrintParts, OnlyTheSelectedItemsArePrinted) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 30);
  TPaper paper(doc, 300, 100);
  paper.data.PrintSelectionOnly = true;
  paper.data.PrintedSelStart = 12;
  paper.data.PrintedSelEnd = 24;
  Repaginate(paper);
  // Lines 13-25 on two pages, "Line 13" at the top of the first.
  ASSERT_EQ(paper.data.Pages.Count(), 2);
  EXPECT_EQ(paper.data.Pages.Page(2).StartDrawItemNo, 22);
  const std::vector<std::string> first = paper.Texts(1);
  ASSERT_EQ(first.size(), 10u);
  EXPECT_NE(first.front().find(",0 Line 13"), std::string::npos) << first.front();
  const std::vector<std::string> second = paper.Texts(2);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_NE(second.back().find(",20 Line 25"), std::string::npos) << second.back();
  // The flag decides: without it the whole document is printed again.
  int start, end;
  EXPECT_TRUE(paper.data.GetPrintedItemRange(start, end));
  paper.data.PrintSelectionOnly = false;
  EXPECT_FALSE(paper.data.GetPrintedItemRange(start, end));
  EXPECT_EQ(start, -1);
  // A range past the end is cut to the document.
  paper.data.PrintSelectionOnly = true;
  paper.data.PrintedSelEnd = 99;
  Repaginate(paper);
  EXPECT_EQ(paper.data.Pages.Count(), 2);
  EXPECT_EQ(paper.Texts(2).size(), 8u);
  // Clearing forgets the selection.
  paper.data.Clear();
  EXPECT_EQ(paper.data.PrintedSelStart, -1);
  EXPECT_EQ(paper.data.PrintedSelEnd, -1);
}

TEST(PrintParts, WritersPutOutOnePage) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 25);
  TPaper paper(doc, 300, 100);
  paper.data.CurPageNo = 2;
  paper.data.PageOutputRange = true;
  int startItem, startOffs, endItem, endOffs;
  paper.data.GetOutputRange(startItem, startOffs, endItem, endOffs);
  EXPECT_EQ(startItem, 10);
  EXPECT_EQ(startOffs, 1);
  EXPECT_EQ(endItem, 19);
  EXPECT_EQ(endOffs, 8);  // after the seven characters of "Line 20"
  TMemoryStream stream;
  ASSERT_TRUE(SaveTextToStream(paper.data, stream, 80, false, false, false, false));
  const std::string text(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  EXPECT_EQ(text.substr(0, 9), "Line 11\r\n");
  EXPECT_EQ(text.find("Line 10\r"), std::string::npos);
  EXPECT_NE(text.find("Line 20"), std::string::npos);
  EXPECT_EQ(text.find("Line 21"), std::string::npos);
  // A page that does not exist is refused.
  paper.data.CurPageNo = 4;
  EXPECT_THROW(paper.data.GetOutputRange(startItem, startOffs, endItem, endOffs), ERichDocError);
  // Out of page mode the writers get the whole document.
  paper.data.PageOutputRange = false;
  paper.data.GetOutputRange(startItem, startOffs, endItem, endOffs);
  EXPECT_EQ(startItem, 0);
  EXPECT_EQ(endItem, 24);
}

TEST(PrintParts, APageRangeNamesThePartsOfCutLinesAtItsEnds) {
  TTestFormattedData doc(500, 400);
  AddTextAndCutPicture(doc, 250);
  doc.AddText("Below", 0, 0);
  TPaper paper(doc, 300, 100);
  ASSERT_GE(paper.data.Pages.Count(), 3);
  paper.data.CurPageNo = 1;
  TRDPageOutputRange range = paper.data.GetPageOutputRange();
  EXPECT_EQ(range.StartDrawItemNo, 0);
  EXPECT_EQ(range.StartPart, -1);
  EXPECT_EQ(range.EndDrawItemNo, 1);
  EXPECT_EQ(range.EndItemNo, 1);
  EXPECT_EQ(range.EndPart, 0);
  // Page 2 holds only the picture's middle part.
  paper.data.CurPageNo = 2;
  range = paper.data.GetPageOutputRange();
  EXPECT_EQ(range.StartDrawItemNo, 1);
  EXPECT_EQ(range.EndDrawItemNo, 1);
  EXPECT_EQ(range.StartPart, 1);
  EXPECT_EQ(range.EndPart, 1);
  EXPECT_EQ(range.StartOffs, 0);
  EXPECT_EQ(range.EndOffs, 1);
  // The last page starts inside the picture and ends with "Below", whole.
  paper.data.CurPageNo = paper.data.Pages.Count();
  range = paper.data.GetPageOutputRange();
  EXPECT_EQ(range.StartPart, 2);
  EXPECT_EQ(range.EndItemNo, 2);
  EXPECT_EQ(range.EndPart, -1);
}

// --- peers ------------------------------------------------------------------------------------

std::string PdfPageText(const std::string& file, int page) {
  return RunAndCapture("pdftotext -layout -f " + std::to_string(page) + " -l " +
                       std::to_string(page) + " '" + file + "' -");
}

std::string PdfPages(const std::string& file) {
  const std::string info = RunAndCapture("pdfinfo '" + file + "'");
  const size_t at = info.find("Pages:");
  if (at == std::string::npos) return "";
  const size_t value = info.find_first_not_of(' ', at + 6);
  return info.substr(value, info.find('\n', value) - value);
}

class PrintRangePeers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramAvailable("pdfinfo") || !ProgramAvailable("pdftotext"))
      GTEST_SKIP() << "poppler-utils are not installed";
    doc.style.TextStyles().Items(0).Size = 12;
    // Enough lines for four pages whatever font the desktop gives for the style.
    for (int i = 1; i <= kLines; ++i) doc.AddText("Printed line number " + std::to_string(i), 0, 0);
  }
  static constexpr int kLines = 300;
  TTestFormattedData doc{500, 400};
};

TEST_F(PrintRangePeers, ARangeHoldsThosePagesOfTheWholePrint) {
  const std::string whole = ScratchFolder() + "/whole.pdf";
  const TRDPrintResult all = PrintDocumentToPdf(doc, whole, {});
  ASSERT_TRUE(all.Ok) << all.Error;
  ASSERT_GE(all.PageCount, 4);
  const std::string part = ScratchFolder() + "/pages.pdf";
  TRDPrintSettings settings;
  settings.FromPage = 2;
  settings.ToPage = 3;
  const TRDPrintResult range = PrintDocumentToPdf(doc, part, settings);
  ASSERT_TRUE(range.Ok) << range.Error;
  EXPECT_EQ(range.PageCount, 2);
  EXPECT_EQ(PdfPages(part), "2");
  EXPECT_EQ(PdfPageText(part, 1), PdfPageText(whole, 2));
  EXPECT_EQ(PdfPageText(part, 2), PdfPageText(whole, 3));
  // From a page to the end.
  settings.ToPage = 0;
  settings.FromPage = all.PageCount;
  const TRDPrintResult tail = PrintDocumentToPdf(doc, part, settings);
  ASSERT_TRUE(tail.Ok) << tail.Error;
  EXPECT_EQ(PdfPages(part), "1");
  EXPECT_NE(PdfPageText(part, 1).find("Printed line number " + std::to_string(kLines)),
            std::string::npos);
  // Ranges that hold no page print nothing and leave the file as it was.
  const std::string before = PdfPageText(part, 1);
  for (auto [from, to] : {std::pair{0, 2}, std::pair{2, 99}, std::pair{3, 2}}) {
    settings.FromPage = from;
    settings.ToPage = to;
    const TRDPrintResult bad = PrintDocumentToPdf(doc, part, settings);
    EXPECT_FALSE(bad.Ok) << from << "-" << to;
    EXPECT_EQ(bad.Error, "Invalid page number is specified for printing");
    EXPECT_EQ(bad.PageCount, 0);
  }
  EXPECT_EQ(PdfPageText(part, 1), before);
}

TEST_F(PrintRangePeers, TheSelectionIsPrintedWithItsListNumbers) {
  // The lines after the printed ones are a numbered list "1." .. "10.".
  TRDListInfo& list = doc.style.ListStyles().Add();
  TRDListLevel& level = list.AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
  level.FirstIndent = 24;  // room between the number and the text
  for (int i = 1; i <= 10; ++i) {
    doc.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&doc, 0, 0, 1, false));
    doc.AddText("Listed line " + std::to_string(i), 0, -1);
  }
  doc.Format();
  // From line 40 to the sixth listed line.
  doc.SetSelectionBounds(39, 3, kLines - 1 + 2 * 6, 4);
  TRDPrintSettings settings;
  settings.SelectionOnly = true;
  const std::string file = ScratchFolder() + "/selection.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, settings);
  ASSERT_TRUE(result.Ok) << result.Error;
  std::string text;
  for (int page = 1; page <= result.PageCount; ++page) text += PdfPageText(file, page);
  EXPECT_EQ(PdfPages(file), std::to_string(result.PageCount));
  // The selected items whole, from the top of the first page.
  const std::string first = PdfPageText(file, 1);
  EXPECT_EQ(first.find("Printed line number"), first.find("Printed line number 40\n"));
  EXPECT_EQ(text.find("Printed line number 39\n"), std::string::npos);
  EXPECT_NE(text.find("Printed line number " + std::to_string(kLines) + "\n"), std::string::npos);
  EXPECT_NE(text.find("5. Listed line 5\n"), std::string::npos) << text.substr(text.size() - 300);
  EXPECT_NE(text.find("6. Listed line 6\n"), std::string::npos);
  EXPECT_EQ(text.find("Listed line 7"), std::string::npos);
  // Nothing selected: nothing printed.
  doc.Deselect(false);
  const TRDPrintResult none = PrintDocumentToPdf(doc, file, settings);
  EXPECT_FALSE(none.Ok);
  EXPECT_EQ(none.Error, "Nothing is selected to print");
}

}  // namespace
