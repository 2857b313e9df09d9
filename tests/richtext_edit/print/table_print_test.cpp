// Tables on paper: where runs of rows are cut (rows that fit, page breaks before rows,
// rows bound by merged cells, repeated heading rows), tables that cannot be cut are
// refused with a reason, the screen layout of the table stays as it was, and the heading
// is printed again on the next page, in the PDF too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "platform/sys/child_process.h"
#include "platform/text/streams.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/marker_item.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/print/paper.h"
#include "richtext_edit/print/table_print.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "richtext_edit/tables/table_document.h"
#include "support/c_numbers.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

// A table of rows x 1 cells "R0".."Rn" after a line of text.
TRDTableItemInfo& AddRowsTable(TTableDocument& doc, int rows) {
  doc.AddText("Before", 0, 0);
  return doc.AddRowsTable(rows);
}

TRDTablePrintInfo& PrintInfo(TPaper& paper, int itemNo) {
  for (int d = 0; d < paper.data.DrawItems.Count(); ++d)
    if (paper.data.DrawItems[d]->ItemNo == itemNo)
      return dynamic_cast<TRDTablePrintInfo&>(*paper.data.DrawItems[d]);
  throw std::runtime_error("no draw line");
}

std::vector<std::pair<int, int>> Runs(const TRDTablePrintInfo& info) {
  std::vector<std::pair<int, int>> runs;
  for (int i = 0; i < info.PartsList.Count(); ++i)
    runs.emplace_back(info.Part(i)->StartRow, info.Part(i)->RowCount);
  return runs;
}

// Whether one of the texts drawn is text.
bool Drew(const std::vector<std::string>& texts, const std::string& text) {
  return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) {
    return t.size() > text.size() &&
           t.compare(t.size() - text.size() - 1, std::string::npos, " " + text) == 0;
  });
}

// Every text the pages draw, with how often; a text drawn outside its page is counted
// under "outside".
std::map<std::string, int> TextsOfAllPages(TPaper& paper) {
  std::map<std::string, int> seen;
  for (int page = 1; page <= paper.data.Pages.Count(); ++page)
    for (const std::string& entry : paper.Texts(page)) {
      std::istringstream in(entry);
      std::string call, place, text;
      in >> call >> place >> text;
      const int y = std::stoi(place.substr(place.find(',') + 1));
      ++seen[y >= 0 && y + TRasterCanvas::kLineHeight <= paper.data.PageHeight ? text : "outside"];
    }
  return seen;
}

int Times(const std::map<std::string, int>& seen, const std::string& text) {
  const auto at = seen.find(text);
  return at == seen.end() ? 0 : at->second;
}

// Fills the cell with one paragraph a line: prefix0, prefix1, ...
void FillCell(TRDTableCellData& cell, const std::string& prefix, int lines) {
  cell.Clear();
  for (int i = 0; i < lines; ++i) cell.AddText(prefix + std::to_string(i), 0, 0);
}

TEST(TablePrint, TablesWithoutRowSplittingStayWhole) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 30);
  table.PrintOptions = 0;
  TPaper paper(doc, 300, 200);
  TRDTablePrintInfo& info = PrintInfo(paper, 1);
  EXPECT_FALSE(info.InitSplit());
  // The whole table goes to page 2, where it runs over the page end: never silently.
  ASSERT_EQ(paper.data.Pages.Count(), 2);
  EXPECT_EQ(paper.data.Pages.Page(2).StartDrawItemNo, 1);
  ASSERT_EQ(paper.warnings.size(), 1u);
  EXPECT_NE(paper.warnings[0].find("cannot be cut"), std::string::npos) << paper.warnings[0];
  // A page break before a row asks for cutting all the same.
  table.Rows->Items(5)->PageBreakBefore = true;
  TPaper broken(doc, 300, 2000);
  EXPECT_EQ(Runs(PrintInfo(broken, 1)), (std::vector<std::pair<int, int>>{{0, 5}, {5, 25}}));
  EXPECT_EQ(broken.data.Pages.Count(), 2);
}

TEST(TablePrint, RunsFollowThePageWithTheHeadingRepeated) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 30);
  table.SetHeadingRowCount(1);
  TPaper paper(doc, 300, 200);
  const TRDTablePrintInfo& info = PrintInfo(paper, 1);
  ASSERT_TRUE(info.RepeatHeading);
  ASSERT_GE(info.PartsList.Count(), 3);
  EXPECT_EQ(info.Part(0)->StartRow, 1);
  const TRDTableItemFormattingInfo& f = info.FormattingInfo;
  const int heading = f.RowStarts[1] - f.RowStarts[0];
  int rows = 0;
  for (int i = 0; i < info.PartsList.Count(); ++i) {
    const TRDTablePrintPart& part = *info.Part(i);
    // Each part holds its rows, the heading and the table's borders and spacing.
    const int last = part.StartRow + part.RowCount - 1;
    EXPECT_EQ(part.Height, f.RowStarts[last] + f.RowHeights[last] - f.RowStarts[part.StartRow] +
                               f.Height - (f.RowStarts[29] + f.RowHeights[29] - f.RowStarts[1]));
    EXPECT_GT(part.Height, heading);
    EXPECT_LE(part.Height, 200);
    if (i > 0) {
      EXPECT_EQ(part.StartRow, info.Part(i - 1)->StartRow + info.Part(i - 1)->RowCount);
    }
    rows += part.RowCount;
  }
  EXPECT_EQ(rows, 29);
  // The heading is printed again above the run of page 2, and the run goes on after page 1.
  const std::vector<std::string> second = paper.Texts(2);
  EXPECT_TRUE(Drew(second, "R0")) << second.size();
  const int next = info.Part(1)->StartRow;
  EXPECT_TRUE(Drew(second, "R" + std::to_string(next)));
  EXPECT_FALSE(Drew(second, "R" + std::to_string(next - 1)));
  EXPECT_FALSE(Drew(second, "Before"));
}

TEST(TablePrint, PageBreakRowsAndMergedRows) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 10);
  table.Rows->Items(4)->PageBreakBefore = true;
  {
    TPaper paper(doc, 300, 2000);
    EXPECT_EQ(Runs(PrintInfo(paper, 1)), (std::vector<std::pair<int, int>>{{0, 4}, {4, 6}}));
    EXPECT_TRUE(paper.warnings.empty());
  }
  // A cell spanning rows 3-5 binds row 4 to the rows above: the page break cannot be kept.
  table.Rows->MergeCells(3, 0, 1, 3, true, false);
  {
    TPaper paper(doc, 300, 2000);
    EXPECT_EQ(PrintInfo(paper, 1).PartsList.Count(), 1);
    ASSERT_EQ(paper.warnings.size(), 1u);
    EXPECT_NE(paper.warnings[0].find("page break"), std::string::npos) << paper.warnings[0];
  }
  // Rows bound by a cell spanning three rows are never separated: the cut moves up to the
  // top of their group.
  table.Rows->Items(4)->PageBreakBefore = false;
  TPaper probe(doc, 300, 2000);
  const TRDTableItemFormattingInfo& f = PrintInfo(probe, 1).FormattingInfo;
  const int tableTop = probe.data.DrawItems[1]->Top;
  // Room for rows 0-3 and a part of row 4 on page 1.
  const int room = tableTop + f.RowStarts[4] + f.RowHeights[4] / 2;
  TPaper paper(doc, 300, room + f.Height - f.RowStarts[9] - f.RowHeights[9]);
  const TRDTablePrintInfo& info = PrintInfo(paper, 1);
  ASSERT_GE(info.PartsList.Count(), 2);
  EXPECT_EQ(info.Part(0)->StartRow + info.Part(0)->RowCount, 3);
  EXPECT_EQ(info.Part(1)->StartRow, 3);
}

TEST(TablePrint, ATableThatCannotBeCutIsRefusedWithAReason) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 6);
  table.Rows->MergeCells(0, 0, 1, 6, true, false);  // one cell over all rows
  TPaper paper(doc, 300, 2000);
  TRDTablePrintInfo& info = PrintInfo(paper, 1);
  // With no room for a line, the cut is refused, not raised.
  ASSERT_TRUE(info.InitSplit());
  EXPECT_FALSE(info.SplitAt(1));
  EXPECT_FALSE(info.SplitRefusal.empty());
  // A row with no room at all on the page: the same.
  TTableDocument one;
  TRDTableItemInfo& single = AddRowsTable(one, 1);
  FillCell(*single.Cells(0, 0), "L", 50);
  TPaper tall(one, 300, 200);
  TRDTablePrintInfo& tallInfo = PrintInfo(tall, 1);
  ASSERT_TRUE(tallInfo.InitSplit());
  EXPECT_FALSE(tallInfo.SplitAt(1));
  EXPECT_NE(tallInfo.SplitRefusal.find("taller"), std::string::npos);
}

// A row taller than the page in the middle of a table goes on over pages, each of its
// cells with the lines that follow, under the repeated heading; no line is lost or
// printed twice.
TEST(TablePrint, ARowTallerThanThePageGoesOnOverPages) {
  TTableDocument doc;
  TRDTableItemInfo& table =
      doc.AddTable(5, 2, {"R0", "S0", "R1", "S1", "", "", "R3", "S3", "R4", "S4"});
  table.SetHeadingRowCount(1);
  FillCell(*table.Cells(2, 0), "L", 180);
  FillCell(*table.Cells(2, 1), "M", 60);
  TPaper paper(doc, 300, 200);
  EXPECT_TRUE(paper.warnings.empty()) << paper.warnings[0];
  const std::map<std::string, int> seen = TextsOfAllPages(paper);
  EXPECT_EQ(Times(seen, "outside"), 0);
  for (int i = 0; i < 180; ++i) EXPECT_EQ(Times(seen, "L" + std::to_string(i)), 1) << i;
  for (int i = 0; i < 60; ++i) EXPECT_EQ(Times(seen, "M" + std::to_string(i)), 1) << i;
  for (const char* text : {"R1", "S1", "R3", "S3", "R4", "S4"})
    EXPECT_EQ(Times(seen, text), 1) << text;
  // 180 lines of 10 pixels on pages of 200: the heading stands above each piece.
  EXPECT_GE(paper.data.Pages.Count(), 10);
  EXPECT_EQ(seen.at("R0"), paper.data.Pages.Count());
  // The pieces follow each other: the row's part on each page ends where the next begins.
  const TRDTablePrintInfo& info = PrintInfo(paper, 0);
  for (int i = 1; i < info.PartsList.Count(); ++i) {
    const TRDTablePrintPart& part = *info.Part(i);
    EXPECT_LE(info.Part(i - 1)->Height, 200);
    if (part.StartPiece > 0) {
      EXPECT_EQ(info.Part(i - 1)->StartRow, 2);
      EXPECT_EQ(part.StartPiece, info.Part(i - 1)->StartPiece + 1);
    }
  }
}

// A heading that leaves a page no room for a row under it is printed once, cut over
// pages as any row is, and every row follows without it; a heading that leaves room
// stands above the rows of every page.
TEST(TablePrint, AHeadingThatLeavesNoRoomIsNotRepeated) {
  for (const int lines : {60, 12}) {
    TTableDocument doc;
    TRDTableItemInfo& table = doc.AddRowsTable(201);
    table.SetHeadingRowCount(1);
    FillCell(*table.Cells(0, 0), "H", lines);
    TPaper paper(doc, 300, 200);
    EXPECT_TRUE(paper.warnings.empty()) << paper.warnings[0];
    const std::map<std::string, int> seen = TextsOfAllPages(paper);
    EXPECT_EQ(Times(seen, "outside"), 0) << lines;
    for (int r = 1; r <= 200; ++r)
      EXPECT_EQ(Times(seen, "R" + std::to_string(r)), 1) << lines << " R" << r;
    const int pages = paper.data.Pages.Count();
    for (int i = 0; i < lines; ++i)
      EXPECT_EQ(Times(seen, "H" + std::to_string(i)), lines == 60 ? 1 : pages)
          << lines << " H" << i;
  }
  // Heading rows taller than the page together, with one row after them or none: cut over
  // pages as rows are, every row printed once (all heading, the table was printed whole on
  // one page, running off it).
  for (const int heading : {200, 199}) {
    TTableDocument doc;
    doc.AddRowsTable(200).SetHeadingRowCount(heading);
    TPaper paper(doc, 300, 200);
    EXPECT_TRUE(paper.warnings.empty()) << paper.warnings[0];
    EXPECT_GE(paper.data.Pages.Count(), 2);
    const std::map<std::string, int> seen = TextsOfAllPages(paper);
    EXPECT_EQ(Times(seen, "outside"), 0) << heading;
    for (int r = 0; r < 200; ++r)
      EXPECT_EQ(Times(seen, "R" + std::to_string(r)), 1) << heading << " R" << r;
  }
}

// Rows bound by merged cells that together are taller than the page go on over pages
// as one: every line of every cell, the merged ones and those beside them, is printed
// once, under the heading; the rows after them follow on the last page.
TEST(TablePrint, RowsBoundByMergedCellsGoOnOverPages) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(5, 2, {"R0", "S0", "", "", "", "", "", "", "R4", "S4"});
  table.SetHeadingRowCount(1);
  table.SetCellPadding(3);
  FillCell(*table.Cells(1, 0), "L", 120);
  for (int r = 1; r <= 3; ++r) FillCell(*table.Cells(r, 1), std::string(1, char('A' + r - 1)), 20);
  // A picture lower than a line beside the merged cell: the window's edge may not cut it.
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(20, 35);
  table.Cells(2, 1)->AddItemAtEnd("", TRDGraphicItemInfo::CreateWithGraphic(
                                          table.Cells(2, 1), std::move(bitmap), rdvaBaseline));
  table.Rows->MergeCells(1, 0, 1, 3, true, false);
  TPaper paper(doc, 300, 200);
  EXPECT_TRUE(paper.warnings.empty()) << paper.warnings[0];
  const std::map<std::string, int> seen = TextsOfAllPages(paper);
  EXPECT_EQ(Times(seen, "outside"), 0);
  for (int i = 0; i < 120; ++i) EXPECT_EQ(Times(seen, "L" + std::to_string(i)), 1) << i;
  for (const char* prefix : {"A", "B", "C"})
    for (int i = 0; i < 20; ++i)
      EXPECT_EQ(Times(seen, prefix + std::to_string(i)), 1) << prefix << i;
  for (const char* text : {"R4", "S4"}) EXPECT_EQ(Times(seen, text), 1) << text;
  EXPECT_GE(paper.data.Pages.Count(), 6);
  EXPECT_EQ(seen.at("R0"), paper.data.Pages.Count());
  // The windows follow each other without a gap and none is higher than the page; the
  // lines moved down below a window's edge may make the group higher than laid out.
  const TRDTablePrintInfo& info = PrintInfo(paper, 0);
  int covered = 0;
  for (int i = 0; i < info.PartsList.Count(); ++i) {
    const TRDTablePrintPart& part = *info.Part(i);
    EXPECT_LE(part.Height, 200) << i;
    if (info.WindowStart(part) < 0) continue;
    EXPECT_EQ(info.WindowStart(part), covered) << i;
    covered += info.FirstContent(part);
  }
  const TRDTableItemFormattingInfo& f = info.FormattingInfo;
  EXPECT_GE(covered, f.RowStarts[3] + f.RowHeights[3] - f.RowStarts[1]);
}

// A table inside a merged cell of rows taller than the page together goes on over the
// pages as a table does, its rows whole under its repeated heading, whether it starts
// at the top of a page's window, below lines of the cell, or on the next page when its
// first row does not fit below them; every row is printed once.
TEST(TablePrint, ATableInRowsBoundByMergedCellsGoesOnOverPages) {
  const struct { int linesAbove, pagesWithoutTable; } cases[] = {{0, 0}, {5, 0}, {17, 1}};
  for (const auto [linesAbove, pagesWithoutTable] : cases) {
    TTableDocument doc;
    TRDTableItemInfo& table = doc.AddTable(5, 2, {"R0", "S0", "", "", "", "", "", "", "R4", "S4"});
    table.SetHeadingRowCount(1);
    TRDTableCellData& cell = *table.Cells(1, 0);
    FillCell(cell, "L", linesAbove);
    auto inner = std::make_unique<TRDTableItemInfo>(60, 1, &cell);
    TTableDocument::SetCellText(*inner, 0, 0, "Head");
    for (int r = 1; r < 60; ++r) TTableDocument::SetCellText(*inner, r, 0, "N" + std::to_string(r));
    inner->SetHeadingRowCount(1);
    cell.AddItemAtEnd("", std::move(inner));
    for (int r = 1; r <= 3; ++r)
      FillCell(*table.Cells(r, 1), std::string(1, char('A' + r - 1)), 10);
    table.Rows->MergeCells(1, 0, 1, 3, true, false);
    TPaper paper(doc, 300, 200);
    EXPECT_TRUE(paper.warnings.empty()) << linesAbove << ": " << paper.warnings[0];
    const std::map<std::string, int> seen = TextsOfAllPages(paper);
    EXPECT_EQ(Times(seen, "outside"), 0) << linesAbove;
    for (int r = 1; r < 60; ++r) EXPECT_EQ(Times(seen, "N" + std::to_string(r)), 1) << r;
    for (int i = 0; i < linesAbove; ++i) EXPECT_EQ(Times(seen, "L" + std::to_string(i)), 1) << i;
    for (const char* prefix : {"A", "B", "C"})
      for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Times(seen, prefix + std::to_string(i)), 1) << prefix << i;
    for (const char* text : {"R4", "S4"}) EXPECT_EQ(Times(seen, text), 1) << text;
    // The inner heading stands above the inner rows on every page they go on to.
    EXPECT_GE(paper.data.Pages.Count(), 4) << linesAbove;
    EXPECT_EQ(Times(seen, "Head"), paper.data.Pages.Count() - pagesWithoutTable) << linesAbove;
    EXPECT_EQ(seen.at("R0"), paper.data.Pages.Count()) << linesAbove;
  }
}

// A row only asked to be taller than the page prints as high as the page, its content
// whole; a picture in a cell taller than the page cannot be cut and is warned about.
TEST(TablePrint, WhatARowCannotCutIsWarnedAbout) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 5);
  table.Cells(2, 0)->BestHeight = 500;
  {
    TPaper paper(doc, 300, 200);
    EXPECT_TRUE(paper.warnings.empty()) << paper.warnings[0];
    const std::map<std::string, int> seen = TextsOfAllPages(paper);
    for (const char* text : {"Before", "R0", "R1", "R2", "R3", "R4"})
      EXPECT_EQ(Times(seen, text), 1) << text;
  }
  table.Cells(2, 0)->BestHeight = 0;
  TRDTableCellData& cell = *table.Cells(2, 0);
  cell.Clear();
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(40, 500);
  cell.AddItemAtEnd("",
                    TRDGraphicItemInfo::CreateWithGraphic(&cell, std::move(bitmap), rdvaBaseline));
  TPaper paper(doc, 300, 200);
  ASSERT_EQ(paper.warnings.size(), 1u);
  EXPECT_NE(paper.warnings[0].find("taller than the page"), std::string::npos) << paper.warnings[0];
  // Rows that all fit give no warning.
  cell.Clear();
  cell.AddText("R2", 0, 0);
  TPaper fits(doc, 300, 200);
  EXPECT_TRUE(fits.warnings.empty());
}

TEST(TablePrint, TheScreenLayoutOfTheTableStays) {
  TTableDocument doc;
  TRDTableItemInfo& table = AddRowsTable(doc, 8);
  table.SetCellPadding(4);
  doc.Format();
  const int width = table.FormattingInfo->Width, height = table.FormattingInfo->Height;
  const int cellWidth = table.Cells(0, 0)->Width, cellTop = table.Cells(3, 0)->Top;
  const int drawItem = table.Cells(0, 0)->GetItem(0)->DrawItemNo;
  {
    // Twice the resolution: everything on paper is twice as large.
    TPaper paper(doc, 600, 150);
    paper.canvas.PixelsPerInchX = paper.canvas.PixelsPerInchY = 192;
    paper.data.PrepareScaling();
    paper.data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    Paginate(paper.data);
    for (int p = 1; p <= paper.data.Pages.Count(); ++p) paper.data.DrawPage(p, paper.canvas, false);
    const TRDTableItemFormattingInfo& f = PrintInfo(paper, 1).FormattingInfo;
    EXPECT_EQ(f.ColStarts[0], 2 * table.FormattingInfo->ColStarts[0]);
  }
  EXPECT_EQ(table.FormattingInfo->Width, width);
  EXPECT_EQ(table.FormattingInfo->Height, height);
  EXPECT_EQ(table.Cells(0, 0)->Width, cellWidth);
  EXPECT_EQ(table.Cells(3, 0)->Top, cellTop);
  EXPECT_EQ(table.Cells(0, 0)->GetItem(0)->DrawItemNo, drawItem);
  EXPECT_EQ(table.DeviceInfo, nullptr);
}

TEST(TablePrintPeers, PdfRepeatsTheHeadingOnEveryPage) {
  if (!ProgramAvailable("pdfinfo") || !ProgramAvailable("pdftotext"))
    GTEST_SKIP() << "poppler-utils are not installed";
  TTableDocument doc;
  doc.style.TextStyles().Items(0).Size = 12;
  std::vector<std::string> texts = {"Station", "Heard"};
  for (int r = 1; r <= 80; ++r) {
    texts.push_back("Call" + std::to_string(r));
    texts.push_back("Time" + std::to_string(r));
  }
  doc.AddText("Stations heard", 0, 0);
  TRDTableItemInfo& table = doc.AddTable(81, 2, texts);
  table.SetHeadingRowCount(1);
  table.SetBorderWidth(1);
  table.SetCellBorderWidth(1);
  table.SetHRuleWidth(1);
  table.SetHRuleColor(clGreen);
  table.SetHOutermostRule(true);
  const std::string file = ScratchFolder() + "/table.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  ASSERT_GE(result.PageCount, 2);
  EXPECT_TRUE(result.Warnings.empty());
  int next = 1;
  for (int page = 1; page <= result.PageCount; ++page) {
    const std::string text = RunAndCapture("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + file + "' -");
    EXPECT_NE(text.find("Station"), std::string::npos) << "page " << page << "\n" << text;
    while (next <= 80 && text.find("Call" + std::to_string(next) + " ") != std::string::npos)
      ++next;
  }
  EXPECT_EQ(next, 81);
  // Page 2, with the heading and the outermost rules above the run, photographed.
  const std::string picture = ScratchFolder() + "/printed_table_page";
  RunAndCapture("pdftoppm -f 2 -l 2 -r 60 -png -singlefile '" + file + "' '" + picture + "'");
  EXPECT_TRUE(std::filesystem::exists(picture + ".png"));
}

// The box pdftotext gives a word of a PDF (width, height in points); its width follows
// the size the word is printed at. Zero when the word is not there.
// The left edge, width and height of the first word of the PDF that is word (points).
struct TWordBox {
  double left = 0, width = 0, height = 0;
};

TWordBox FindWord(const std::string& pdf, const std::string& word) {
  const std::string xml = RunAndCapture("pdftotext -bbox '" + pdf + "' -");
  const size_t at = xml.find(">" + word + "</word>");
  if (at == std::string::npos) return {};
  const size_t start = xml.rfind("<word", at);
  const auto attribute = [&](const std::string& name) {
    const size_t p = xml.find(name + "=\"", start);
    return CNumber(xml.substr(p + name.size() + 2));
  };
  return {attribute("xMin"), attribute("xMax") - attribute("xMin"),
          attribute("yMax") - attribute("yMin")};
}

std::pair<double, double> WordBox(const std::string& pdf, const std::string& word) {
  const TWordBox box = FindWord(pdf, word);
  return {box.width, box.height};
}

// Text in a table cell and after a list marker is printed at its size, as other text
// is and as LibreOffice prints the same document (the same font: the same word widths).
TEST(TablePrintPeers, TextIsPrintedAtItsSize) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  TTableDocument doc;
  TFontInfo& text = doc.style.TextStyles().Items(0);
  text.FontName = "Arial";
  text.Size = 12;
  TRDListLevel& level = doc.style.ListStyles().Add().AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
  doc.AddText("Paragraph", 0, 0);
  doc.AddTable(2, 2, {"Cell", "b", "c", "d"});
  doc.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&doc, 0, 0, 1, false));
  doc.AddText("Listed", 0, -1);
  doc.AddText("Afterwards", 0, 0);
  doc.Format();
  const std::string file = ScratchFolder() + "/sizes.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  const auto [paragraph, paragraphHeight] = WordBox(file, "Paragraph");
  const auto [cell, cellHeight] = WordBox(file, "Cell");
  EXPECT_NEAR(cellHeight, paragraphHeight, paragraphHeight * 0.05);
  // The marker's font is the screen's; the text after it keeps the printer's resolution.
  const auto [afterwards, afterwardsHeight] = WordBox(file, "Afterwards");
  EXPECT_NEAR(afterwardsHeight, paragraphHeight, paragraphHeight * 0.05);
  EXPECT_NEAR(WordBox(file, "Listed").second, paragraphHeight, paragraphHeight * 0.05);
  // 12 points: "Paragraph" is about 4.6 times as wide as the size.
  EXPECT_NEAR(paragraph, 12 * 4.6, 12 * 4.6 * 0.1);
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  TMemoryStream rtf;
  ASSERT_TRUE(SaveRTFToStream(doc, rtf, TRDRTFSaveParams()));
  const std::string rtfFile =
      WriteScratchFile("office_sizes/sizes.rtf",
                       std::string(static_cast<const char*>(rtf.Memory()), size_t(rtf.Size())));
  const TOfficeConversion pdf = OfficeConvert(rtfFile, "pdf", "pdf");
  ASSERT_FALSE(pdf.Content.empty()) << pdf.Log;
  const std::string officeFile = WriteScratchFile("office_sizes/office.pdf", pdf.Content);
  EXPECT_NEAR(WordBox(officeFile, "Paragraph").first, paragraph, paragraph * 0.05);
  EXPECT_NEAR(WordBox(officeFile, "Cell").first, cell, cell * 0.05);
  EXPECT_NEAR(WordBox(officeFile, "Afterwards").first, afterwards, afterwards * 0.05);
}

// How many of the texts prefix + 0 .. count - 1 the PDF holds exactly once.
int LinesPrintedOnce(const std::string& pdf, const std::string& prefix, int count) {
  const std::string text = RunAndCapture("pdftotext '" + pdf + "' -");
  std::map<std::string, int> seen;
  std::istringstream in(text);
  for (std::string word; in >> word;)
    if (word.rfind(prefix, 0) == 0) ++seen[word];
  int once = 0;
  for (int i = 0; i < count; ++i) once += seen[prefix + std::to_string(i)] == 1;
  return once;
}

// At most how many 10-point lines of a cell one printed page holds, in the fonts this
// machine has: a cell of kProbe lines goes over pages, each full but the last.
int CellLinesAPageHolds() {
  constexpr int kProbe = 400;
  TTableDocument probe;
  probe.style.TextStyles().Items(0).Size = 10;
  FillCell(*probe.AddRowsTable(1).Cells(0, 0), "P", kProbe);
  const TRDPrintResult printed = PrintDocumentToPdf(probe, ScratchFolder() + "/probe.pdf", {});
  EXPECT_GE(printed.PageCount, 2) << printed.Error;
  if (printed.PageCount < 2) return kProbe;
  return (kProbe + printed.PageCount - 2) / (printed.PageCount - 1);
}

// Tables over many pages, printed to PDF and read back: every line of a long table, of a
// row taller than the page in the middle of one (with the heading above every page), of
// rows bound by a merged cell taller than the page together and of a table of 100 rows
// inside a cell is printed exactly once.
TEST(TablePrintPeers, EveryLineOfALongTableIsPrintedOnce) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  TTableDocument doc;
  doc.style.TextStyles().Items(0).Size = 10;
  doc.AddRowsTable(5000);
  const std::string file = ScratchFolder() + "/long_table.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(result.Warnings.empty());
  EXPECT_EQ(LinesPrintedOnce(file, "R", 5000), 5000);

  // A heading taller than the page: printed once, and every row after it.
  const int headingLines = CellLinesAPageHolds() * 3 / 2;
  TTableDocument headed;
  headed.style.TextStyles().Items(0).Size = 10;
  TRDTableItemInfo& headedTable = headed.AddRowsTable(201);
  headedTable.SetHeadingRowCount(1);
  FillCell(*headedTable.Cells(0, 0), "H", headingLines);
  const std::string headedFile = ScratchFolder() + "/tall_heading.pdf";
  const TRDPrintResult headedResult = PrintDocumentToPdf(headed, headedFile, {});
  ASSERT_TRUE(headedResult.Ok) << headedResult.Error;
  EXPECT_TRUE(headedResult.Warnings.empty());
  RecordProperty("rows_under_tall_heading_printed", LinesPrintedOnce(headedFile, "R", 201));
  EXPECT_EQ(LinesPrintedOnce(headedFile, "R", 201), 200);  // R1 .. R200
  EXPECT_EQ(LinesPrintedOnce(headedFile, "H", headingLines), headingLines);

  TTableDocument tall;
  tall.style.TextStyles().Items(0).Size = 10;
  TRDTableItemInfo& table = tall.AddTable(5, 2, {"Head", "Side", "R1", "S1", "", "", "R3", "S3"});
  table.SetHeadingRowCount(1);
  FillCell(*table.Cells(2, 0), "L", 180);
  FillCell(*table.Cells(2, 1), "M", 60);
  const std::string tallFile = ScratchFolder() + "/tall_row.pdf";
  const TRDPrintResult tallResult = PrintDocumentToPdf(tall, tallFile, {});
  ASSERT_TRUE(tallResult.Ok) << tallResult.Error;
  EXPECT_TRUE(tallResult.Warnings.empty());
  RecordProperty("tall_row_lines_printed", LinesPrintedOnce(tallFile, "L", 180));
  EXPECT_EQ(LinesPrintedOnce(tallFile, "L", 180), 180);
  EXPECT_EQ(LinesPrintedOnce(tallFile, "M", 60), 60);
  EXPECT_EQ(LinesPrintedOnce(tallFile, "R", 4), 2);  // R1 and R3
  ASSERT_GE(tallResult.PageCount, 3);
  for (int page = 1; page <= tallResult.PageCount; ++page) {
    const std::string text = RunAndCapture("pdftotext -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + tallFile + "' -");
    EXPECT_NE(text.find("Head"), std::string::npos) << "page " << page;
  }

  // Rows bound by a merged cell, taller than a page together, with cells beside it.
  TTableDocument merged;
  merged.style.TextStyles().Items(0).Size = 10;
  TRDTableItemInfo& group =
      merged.AddTable(5, 2, {"Head", "Side", "", "", "", "", "", "", "After", "Last"});
  group.SetHeadingRowCount(1);
  FillCell(*group.Cells(1, 0), "G", 150);
  for (int r = 1; r <= 3; ++r) FillCell(*group.Cells(r, 1), std::string(1, char('A' + r - 1)), 40);
  group.Rows->MergeCells(1, 0, 1, 3, true, false);
  const std::string mergedFile = ScratchFolder() + "/merged_rows.pdf";
  const TRDPrintResult mergedResult = PrintDocumentToPdf(merged, mergedFile, {});
  ASSERT_TRUE(mergedResult.Ok) << mergedResult.Error;
  EXPECT_TRUE(mergedResult.Warnings.empty());
  ASSERT_GE(mergedResult.PageCount, 3);
  RecordProperty("merged_group_lines_printed", LinesPrintedOnce(mergedFile, "G", 150));
  EXPECT_EQ(LinesPrintedOnce(mergedFile, "G", 150), 150);
  for (const char* prefix : {"A", "B", "C"})
    EXPECT_EQ(LinesPrintedOnce(mergedFile, prefix, 40), 40);
  const std::string mergedText = RunAndCapture("pdftotext '" + mergedFile + "' -");
  EXPECT_NE(mergedText.find("After"), std::string::npos);
  for (int page = 1; page <= mergedResult.PageCount; ++page) {
    const std::string text = RunAndCapture("pdftotext -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + mergedFile + "' -");
    EXPECT_NE(text.find("Head"), std::string::npos) << "page " << page;
  }

  TTableDocument nested;
  TRDTableItemInfo& outer = nested.AddTable(1, 2, {"", "Beside"});
  TRDTableCellData& cell = *outer.Cells(0, 0);
  cell.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(100, 1, &cell);
  for (int r = 0; r < 100; ++r) TTableDocument::SetCellText(*inner, r, 0, "N" + std::to_string(r));
  cell.AddItemAtEnd("", std::move(inner));
  const std::string nestedFile = ScratchFolder() + "/nested_table.pdf";
  const TRDPrintResult nestedResult = PrintDocumentToPdf(nested, nestedFile, {});
  ASSERT_TRUE(nestedResult.Ok) << nestedResult.Error;
  EXPECT_TRUE(nestedResult.Warnings.empty());
  EXPECT_GE(nestedResult.PageCount, 2);
  RecordProperty("nested_rows_printed", LinesPrintedOnce(nestedFile, "N", 100));
  EXPECT_EQ(LinesPrintedOnce(nestedFile, "N", 100), 100);
  EXPECT_NE(RunAndCapture("pdftotext '" + nestedFile + "' -").find("Beside"), std::string::npos);
}

// A table whose every row is a heading row, over many pages: every cell printed once (it
// was printed whole on its first page, running off it: 370 of 15,000 cell texts).
TEST(TablePrintPeers, ATableOfHeadingRowsIsPrintedOnce) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  constexpr int kRows = 5000, kCols = 3;
  std::vector<std::string> texts;
  for (int i = 0; i < kRows * kCols; ++i) texts.push_back("C" + std::to_string(i));
  TTableDocument doc;
  doc.AddTable(kRows, kCols, texts).SetHeadingRowCount(kRows);
  const std::string file = ScratchFolder() + "/heading_table.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(result.Warnings.empty());
  ASSERT_GE(result.PageCount, 2);  // taller than a page, whatever the font
  RecordProperty("heading_cells_printed", LinesPrintedOnce(file, "C", kRows * kCols));
  EXPECT_EQ(LinesPrintedOnce(file, "C", kRows * kCols), kRows * kCols);
}

// Tables that do not fit the page across, printed to PDF and read back: a cell's text is
// in the PDF, or the print says why not. Columns given up to the largest width RTF can
// write, and spacing, borders and padding as wide as a table may have. Padding, spacing
// and borders are cut to what leaves the text on the page: padding, a border or the
// spacing of a row a file gave as 2,147,483,647 twips, cut to a page, left neither text on
// it (a border printed three pages of itself).
TEST(TablePrintPeers, EveryCellIsPrintedOrWarnedAbout) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  const std::vector<std::string> cells{"Alpha", "Bravo", "Charlie"};
  auto check = [&](TTableDocument& doc, const std::string& name, bool printed = false) {
    doc.Format();
    const std::string file = ScratchFolder() + "/" + name + ".pdf";
    const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
    ASSERT_TRUE(result.Ok) << name << ": " << result.Error;
    const std::string text = RunAndCapture("pdftotext '" + file + "' -");
    for (const std::string& cell : cells)
      EXPECT_TRUE(text.find(cell) != std::string::npos || (!printed && !result.Warnings.empty()))
          << name << ": " << cell << " is neither printed nor warned about";
  };
  for (const char* columns : {"\\cellx1000\\cellx2000\\cellx2147483000",
                              "\\cellx2147483000\\cellx2147483100\\cellx2147483200",
                              "\\cellx1000\\cellx2147483000\\cellx2147483600",
                              "\\trpaddl2147483647\\trpaddr2147483647\\trpaddt2147483647"
                              "\\trpaddb2147483647\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3"
                              "\\cellx1000\\cellx2000\\cellx3000",
                              "\\trbrdrt\\brdrs\\brdrw2147483647\\trbrdrb\\brdrs\\brdrw2147483647"
                              "\\clbrdrt\\brdrs\\brdrw2147483647\\cellx1000\\cellx2000\\cellx3000",
                              "\\trspdt2147483647\\trspdb2147483647\\trspdft3\\trspdfb3"
                              "\\cellx1000\\cellx2000\\cellx3000"}) {
    TTableDocument doc;
    const std::string rtf = std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\trowd") + columns +
                            "\\pard\\intbl Alpha\\cell Bravo\\cell Charlie\\cell\\row}";
    TMemoryStream stream;
    stream.Write(rtf.data(), int64_t(rtf.size()));
    stream.SetPosition(0);
    int index = 0;
    TRDRTFReaderProperties options;
    ASSERT_EQ(ReadRTF(options, stream, doc, index), rtf_ec_OK);
    const std::string given = columns;
    const bool padded = given.find("trpadd") != std::string::npos;
    const bool bordered = given.find("brdrw") != std::string::npos;
    const bool spaced = given.find("trspd") != std::string::npos;
    check(doc,
          padded     ? "padding_read"
          : bordered ? "border_read"
          : spaced   ? "spacing_read"
                     : "wide_columns",
          padded || bordered || spaced);
  }
  const std::vector<std::pair<const char*, void (*)(TRDTableItemInfo&)>> wide{
      {"cell_spacing", [](TRDTableItemInfo& t) { t.SetCellHSpacing(100000); }},
      {"border_spacing", [](TRDTableItemInfo& t) { t.SetBorderHSpacing(100000); }},
      {"border", [](TRDTableItemInfo& t) { t.SetBorderWidth(100000); }},
      {"cell_border", [](TRDTableItemInfo& t) { t.SetCellBorderWidth(100000); }},
      {"padding", [](TRDTableItemInfo& t) { t.SetCellPadding(100000); }},
  };
  for (const auto& [name, widen] : wide) {
    TTableDocument doc;
    widen(doc.AddTable(1, 3, cells));
    check(doc, name, true);
  }
}

// A list LibreOffice wrote, read and printed: the text of every level stands as far from
// its number as LibreOffice prints it.
TEST(TablePrintPeers, ListTextStandsWhereLibreOfficePrintsIt) {
  if (!ProgramAvailable("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  const std::string rtf = LoadTestFile("rtf/libreoffice_list.rtf");
  // Laid out on a narrow screen first: its lines are more than the paper's, and the
  // paper's layout may not take the screen's for its own.
  TTableDocument doc(90);
  TRDRTFReaderProperties options;
  options.ParaStyleMode = rdrsAddIfNeeded;
  TMemoryStream stream;
  stream.Write(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  int index = 0;
  ASSERT_EQ(ReadRTF(options, stream, doc, index), rtf_ec_OK);
  doc.Format();
  const std::string file = ScratchFolder() + "/list.pdf";
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, {});
  ASSERT_TRUE(result.Ok) << result.Error;
  // The first "1." is the first item's number.
  const auto distance = [](const std::string& pdf) {
    return FindWord(pdf, "First").left - FindWord(pdf, "1.").left;
  };
  const double first = distance(file);
  RecordProperty("list_number_to_text_points", std::to_string(first));
  EXPECT_NEAR(first, 14.2, 1.5);  // 283 twips, as LibreOffice writes the level
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const std::string rtfFile = WriteScratchFile("office_list/list.rtf", rtf);
  const TOfficeConversion pdf = OfficeConvert(rtfFile, "pdf", "pdf");
  ASSERT_FALSE(pdf.Content.empty()) << pdf.Log;
  const std::string officeFile = WriteScratchFile("office_list/office.pdf", pdf.Content);
  EXPECT_NEAR(first, distance(officeFile), 1.5);
  // The nested item's text against the first level's.
  EXPECT_NEAR(FindWord(file, "Nested").left - FindWord(file, "First").left,
              FindWord(officeFile, "Nested").left - FindWord(officeFile, "First").left, 1.5);
  EXPECT_NEAR(FindWord(file, "Bullet").left - FindWord(file, "First").left,
              FindWord(officeFile, "Bullet").left - FindWord(officeFile, "First").left, 1.5);
}

}  // namespace
