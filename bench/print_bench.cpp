// Printing a document of 100 A4 pages to a PDF file: laying it out for the printer,
// breaking it into pages and drawing every page (paragraphs of text, and every ten pages
// a table of 40 rows cut over pages with its heading repeated). The target is under 2 s.
// And a table of 5,000 rows over about 120 pages: what printing it holds at its peak
// (the growth of the resident memory) stays under 200 MB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_support.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kSections = 10;

struct PrintedDocument {
  PrintedDocument() : doc(nullptr) {
    RegisterTableItemClass();
    style.TextStyles()[0].FontName = "DejaVu Sans";
    style.TextStyles()[0].Size = 10;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 800, 600);
    TRichDocRDData& data = doc.RDData();
    const int paragraphs = BenchStations(3700) / 2;  // the test build prints a dozen pages
    for (int s = 0; s < kSections; ++s) {
      for (int p = 0; p < paragraphs / kSections; ++p)
        data.AddText("Paragraph " + std::to_string(s * 1000 + p) +
                         ": stations heard on the frequency, their positions, courses and "
                         "speeds, the weather they report and the messages they exchanged, "
                         "written out as a log of the evening's traffic on the radio.",
                     0, 0);
      auto table = std::make_unique<TRDTableItemInfo>(40, 4, &data);
      table->SetHeadingRowCount(1);
      table->SetCellBorderWidth(1);
      for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 4; ++c) {
          TRDTableCellData& cell = *table->Cells(r, c);
          cell.Clear();
          cell.AddText("N0CALL-" + std::to_string(r) + " " + std::to_string(c), 0, 0);
        }
      data.AddItemAtEnd("", std::move(table));
    }
    doc.FormatDocument();
  }
  TRDStyle style;
  TRichDoc doc;
};

void BM_PrintToPdf(benchmark::State& state) {
  PrintedDocument& d = SharedBenchState<PrintedDocument>();
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_print_bench.pdf").string();
  int pages = 0;
  for (auto _ : state) {
    const TRDPrintResult result = PrintDocumentToPdf(d.doc.RDData(), file, {});
    if (!result.Ok) state.SkipWithError(result.Error.c_str());
    pages = result.PageCount;
  }
  std::filesystem::remove(file);
  state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

long PeakRssBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) * 1024;
  return 0;
}

struct LongTable {
  LongTable() : doc(nullptr) {
    RegisterTableItemClass();
    style.TextStyles()[0].FontName = "DejaVu Sans";
    style.TextStyles()[0].Size = 10;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 800, 600);
    TRichDocRDData& data = doc.RDData();
    const int rows = BenchStations(5000);
    auto table = std::make_unique<TRDTableItemInfo>(rows, 2, &data);
    table->SetHeadingRowCount(1);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < 2; ++c) {
        TRDTableCellData& cell = *table->Cells(r, c);
        cell.Clear();
        cell.AddText("N0CALL-" + std::to_string(r) + " " + std::to_string(c), 0, 0);
      }
    data.AddItemAtEnd("", std::move(table));
    doc.FormatDocument();
  }
  TRDStyle style;
  TRichDoc doc;
};

void BM_PrintLongTable(benchmark::State& state) {
  LongTable& d = SharedBenchState<LongTable>();
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_long_table_bench.pdf").string();
  const long before = PeakRssBytes();
  int pages = 0;
  for (auto _ : state) {
    const TRDPrintResult result = PrintDocumentToPdf(d.doc.RDData(), file, {});
    if (!result.Ok) state.SkipWithError(result.Error.c_str());
    pages = result.PageCount;
  }
  std::filesystem::remove(file);
  state.counters["pages"] = pages;
  state.counters["peak_growth_mb"] = double(std::max(0L, PeakRssBytes() - before)) / (1 << 20);
}
BENCHMARK(BM_PrintLongTable)->Unit(benchmark::kMillisecond);

}  // namespace
