// Printing documents: pages found by the paginator (lines kept whole, page breaks, a
// picture cut over pages), pages drawn at their place on the sheet, page numbers
// checked, the screen layout left as it was; and the peers: the PDF we write has the
// expected pages (pdfinfo) and text on each (pdftotext), and page 1 rendered by pdftoppm
// lands in the test build's folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "platform/sys/child_process.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/print/paper.h"
#include "support/c_numbers.h"
#include "support/scratch_files.h"

namespace {

void AddLines(TTestFormattedData& doc, int count, const std::string& prefix = "Line ") {
  for (int i = 1; i <= count; ++i) doc.AddText(prefix + std::to_string(i), 0, 0);
}

TEST(PrintPages, LinesAreKeptWholeAndGoToTheNextPage) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 25);
  TPaper paper(doc, 300, 100);
  ASSERT_EQ(paper.data.Pages.Count(), 3);
  EXPECT_EQ(paper.data.Pages.Page(2).StartDrawItemNo, 10);
  EXPECT_EQ(paper.data.Pages.Page(3).StartDrawItemNo, 20);
  EXPECT_EQ(paper.data.Pages.Page(2).StartY, 100);
  int start, part, end;
  paper.data.GetDrawItemsRange(3, start, part, end);
  EXPECT_EQ(start, 20);
  EXPECT_EQ(part, -1);
  EXPECT_EQ(end, 24);
  // Page 2 draws "Line 11" at the top of the sheet.
  const std::vector<std::string> texts = paper.Texts(2);
  ASSERT_EQ(texts.size(), 10u);
  EXPECT_NE(texts.front().find(",0 Line 11"), std::string::npos) << texts.front();
  EXPECT_NE(texts.back().find(",90 Line 20"), std::string::npos) << texts.back();

  // Margins move the text: 10 pixels at the top, 20 at the left; 8 lines a page then.
  TTestFormattedData narrow(500, 400);
  AddLines(narrow, 9);
  TPaper margins(narrow, 300, 100, 10, 10, 20);
  ASSERT_EQ(margins.data.Pages.Count(), 2);
  const std::vector<std::string> first = margins.Texts(1);
  ASSERT_EQ(first.size(), 8u);
  EXPECT_NE(first.front().find("20,10 Line 1"), std::string::npos) << first.front();
}

TEST(PrintPages, PageBreakBeforeAnItemStartsAPage) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 3);
  doc.GetItem(1)->SetPageBreakBefore(true);
  TPaper paper(doc, 300, 100);
  ASSERT_EQ(paper.data.Pages.Count(), 2);
  EXPECT_EQ(paper.data.Pages.Page(2).StartDrawItemNo, 1);
  // Not on the first line: page 1 is never empty.
  doc.GetItem(0)->SetPageBreakBefore(true);
  TPaper again(doc, 300, 100);
  EXPECT_EQ(again.data.Pages.Count(), 2);
}

TEST(PrintPages, PictureCutOverPages) {
  TTestFormattedData doc(500, 400);
  AddTextAndCutPicture(doc, 150);
  doc.AddText("Below", 0, 0);
  TPaper paper(doc, 300, 100);
  ASSERT_GE(paper.data.Pages.Count(), 2);
  const TRDPageInfo& second = paper.data.Pages.Page(2);
  EXPECT_EQ(second.StartDrawItemNo, 1);
  EXPECT_EQ(second.StartPart, 2);
  int start, part, end;
  paper.data.GetDrawItemsRange(1, start, part, end);
  EXPECT_EQ(end, 1);  // the picture's first part ends page 1
  paper.data.GetDrawItemsRange(2, start, part, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(part, 1);
  // Each page draws its slice of the picture at its place.
  const std::vector<std::string> texts = paper.Texts(2);
  bool stretched = false;
  for (const std::string& entry : paper.canvas.Log)
    if (entry.rfind("StretchDraw", 0) == 0) {
      stretched = true;
      EXPECT_NE(entry.find(",0,"), std::string::npos) << entry;  // at the top of page 2
    }
  EXPECT_TRUE(stretched);
  // "Below" follows the picture's last part on the last page.
  ASSERT_FALSE(texts.empty());
  EXPECT_NE(texts.back().find("Below"), std::string::npos);
}

TEST(PrintPages, PageNumbersAndStyleAreChecked) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 2);
  TPaper paper(doc, 300, 100);
  EXPECT_NO_THROW(paper.data.CheckPageNo(1));
  for (int bad : {0, 2, -1}) {
    try {
      paper.data.DrawPage(bad, paper.canvas, false);
      ADD_FAILURE() << "page " << bad << " was drawn";
    } catch (const ERichDocError& e) {
      EXPECT_EQ(e.Message(), "Invalid page number is specified for printing");
    }
  }
  // Without pages the base range is the whole document.
  TCustomMainPtblRDData empty(doc);
  int start, part, end;
  empty.GetDrawItemsRange(1, start, part, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(part, -1);
  EXPECT_EQ(end, -1);

  TTestFormattedData bare(500, 400);
  AddLines(bare, 1);
  TPaper unstyled(bare, 300, 100);
  bare.SetRDStyle(nullptr);
  EXPECT_THROW(
      {
        try {
          unstyled.data.DrawPage(1, unstyled.canvas, false);
        } catch (const ERichDocError& e) {
          EXPECT_EQ(e.Message(), "Style of printable TRichDoc component is not assigned");
          throw;
        }
      },
      ERichDocError);
  bare.SetRDStyle(&bare.style);
}

TEST(PrintPages, TheScreenLayoutStaysAsItWas) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 30);
  doc.Format();
  std::vector<int> before;
  for (int i = 0; i < doc.GetItemCount(); ++i) before.push_back(doc.GetItem(i)->DrawItemNo);
  {
    TPaper paper(doc, 300, 50);
    for (int p = 1; p <= paper.data.Pages.Count(); ++p) paper.data.DrawPage(p, paper.canvas, false);
  }
  for (int i = 0; i < doc.GetItemCount(); ++i)
    EXPECT_EQ(doc.GetItem(i)->DrawItemNo, before[size_t(i)]);
  // The items are the document's still.
  EXPECT_EQ(doc.GetItemCount(), 30);
  EXPECT_EQ(doc.GetItemTextRaw(29), "Line 30");
}

// --- peers ------------------------------------------------------------------------------------

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// The value of a field of pdfinfo's report ("Pages:     3" gives "3").
std::string PdfInfoField(const std::string& info, const std::string& name) {
  const std::string lines = "\n" + info;
  const size_t at = lines.find("\n" + name + ":");
  if (at == std::string::npos) return "";
  const size_t value = lines.find_first_not_of(' ', at + name.size() + 2);
  return lines.substr(value, lines.find('\n', value) - value);
}

TEST(PrintPeers, PdfHasThePagesAndTheirText) {
  if (!ProgramAvailable("pdfinfo") || !ProgramAvailable("pdftotext"))
    GTEST_SKIP() << "poppler-utils are not installed";
  TTestFormattedData doc(500, 400);
  doc.style.TextStyles().Items(0).Size = 12;
  // About 45 lines of 12 points fit on an A4 page between margins of 20 mm.
  for (int i = 1; i <= 120; ++i) doc.AddText("Printed line number " + std::to_string(i), 0, 0);
  const std::string file = ScratchFolder() + "/printed.pdf";
  TRDPrintSettings settings;
  settings.Title = "Printed lines";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, settings);
  ASSERT_TRUE(result.Ok) << result.Error;
  ASSERT_GE(result.PageCount, 3);
  const std::string info = RunAndCapture("pdfinfo " + Quoted(file));
  EXPECT_EQ(PdfInfoField(info, "Pages"), std::to_string(result.PageCount)) << info;
  EXPECT_EQ(PdfInfoField(info, "Title"), "Printed lines") << info;
  EXPECT_EQ(PdfInfoField(info, "Page size"), "595 x 842 pts (A4)") << info;
  // Every line on exactly one page, in order; page 1 starts with line 1.
  int next = 1;
  for (int page = 1; page <= result.PageCount; ++page) {
    const std::string text = RunAndCapture("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " " + Quoted(file) + " -");
    if (page == 1) {
      EXPECT_EQ(text.find("Printed line number 1\n"), text.find("Printed line"));
    }
    while (next <= 120 &&
           text.find("Printed line number " + std::to_string(next) + "\n") != std::string::npos)
      ++next;
  }
  EXPECT_EQ(next, 121);

  if (!ProgramAvailable("pdftoppm")) GTEST_SKIP() << "pdftoppm is not installed";
  const std::string picture = ScratchFolder() + "/printed_page";
  RunAndCapture("pdftoppm -f 1 -l 1 -r 40 -png -singlefile " + Quoted(file) + " " +
                Quoted(picture));
  EXPECT_TRUE(std::filesystem::exists(picture + ".png"));
}

// Character spacing is scaled to the printer in the layout as in the drawing: the letters
// of spaced text end before the text after it starts, in the boxes pdftotext reads.
TEST(PrintPeers, SpacedTextEndsBeforeTheTextAfterIt) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  TTestFormattedData doc(500, 400);
  doc.style.TextStyles().Items(0).Size = 12;
  TFontInfo& spaced = doc.style.TextStyles().Add();
  spaced.Assign(doc.style.TextStyles().Items(0));
  spaced.CharSpacing = 6;
  doc.AddText("Latin spaced", doc.style.TextStyles().Count() - 1, 0);
  doc.AddText(" then normal", 0, -1);
  const std::string file = ScratchFolder() + "/spaced.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  const std::string xml = RunAndCapture("pdftotext -bbox " + Quoted(file) + " -");
  // Each word (a spaced word may come as single letters) with its horizontal extent.
  std::vector<std::tuple<std::string, double, double>> words;
  for (size_t at = xml.find("<word "); at != std::string::npos; at = xml.find("<word ", at + 1)) {
    const auto attribute = [&](const std::string& name) {
      return CNumber(xml.substr(xml.find(name + "=\"", at) + name.size() + 2));
    };
    const size_t text = xml.find('>', at) + 1;
    words.emplace_back(xml.substr(text, xml.find('<', text) - text), attribute("xMin"),
                       attribute("xMax"));
  }
  const auto then = std::find_if(words.begin(), words.end(),
                                 [](const auto& w) { return std::get<0>(w) == "then"; });
  ASSERT_NE(then, words.end()) << xml;
  ASSERT_GE(words.size(), 4u) << xml;
  // No other word (or letter) shares a stretch of the line with "then".
  for (auto w = words.begin(); w != words.end(); ++w) {
    if (w == then) continue;
    EXPECT_TRUE(std::get<2>(*w) <= std::get<1>(*then) || std::get<1>(*w) >= std::get<2>(*then))
        << std::get<0>(*w) << "\n"
        << xml;
  }
}

TEST(PrintPeers, AFailedWriteIsReportedWithTheFileName) {
  TTestFormattedData doc(500, 400);
  AddLines(doc, 3);
  // A file where a folder should be: no user can write there.
  const std::string blocker = WriteScratchFile("blocker", "not a folder");
  const std::string file = blocker + "/out.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Error.find(file), std::string::npos) << result.Error;
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
