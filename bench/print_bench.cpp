// Printing a document of 100 A4 pages to a PDF file: laying it out for the printer,
// breaking it into pages and drawing every page (paragraphs of text, and every ten pages
// a table of 40 rows cut over pages with its heading repeated). The target is under 2 s.
// And a table of 5,000 rows over about 120 pages: what printing it holds at its peak
// (the growth of the resident memory) stays under 200 MB. And tables of 1,000 to 8,000
// rows that one merged cell binds together, cut over pages as one group of rows. And a
// picture of the largest size a document may give one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_support.h"
#include "gif/gif_picture.h"
#include "nested_tables.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/test_support/le_bytes.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/tables/table_cell.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kSections = 10;

// A document in DejaVu Sans 10 pt on an 800x600 window, the table item registered.
struct BenchDocument {
  BenchDocument() : doc(nullptr) {
    RegisterTableItemClass();
    style.TextStyles()[0].FontName = "DejaVu Sans";
    style.TextStyles()[0].Size = 10;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 800, 600);
  }
  // A table of callsign cells with one heading row, at the end of the document.
  void AddCallTable(int rows, int columns, int cellBorderWidth) {
    TRichDocRDData& data = doc.RDData();
    auto table = std::make_unique<TRDTableItemInfo>(rows, columns, &data);
    table->SetHeadingRowCount(1);
    table->SetCellBorderWidth(cellBorderWidth);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c) {
        TRDTableCellData& cell = *table->Cells(r, c);
        cell.Clear();
        cell.AddText("N0CALL-" + std::to_string(r) + " " + std::to_string(c), 0, 0);
      }
    data.AddItemAtEnd("", std::move(table));
  }
  TRDStyle style;
  TRichDoc doc;
};

struct PrintedDocument : BenchDocument {
  PrintedDocument() {
    TRichDocRDData& data = doc.RDData();
    const int paragraphs = BenchStations(3700) / 2;  // the test build prints a dozen pages
    for (int s = 0; s < kSections; ++s) {
      for (int p = 0; p < paragraphs / kSections; ++p)
        data.AddText("Paragraph " + std::to_string(s * 1000 + p) +
                         ": stations heard on the frequency, their positions, courses and "
                         "speeds, the weather they report and the messages they exchanged, "
                         "written out as a log of the evening's traffic on the radio.",
                     0, 0);
      AddCallTable(40, 4, 1);
    }
    doc.FormatDocument();
  }
};

struct LongTable : BenchDocument {
  LongTable() {
    AddCallTable(BenchStations(5000), 2, 0);
    doc.FormatDocument();
  }
};

long PeakRssBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) * 1024;
  return 0;
}

// Prints the document to a PDF file in the temporary folder once per iteration; the
// page count of the last print, and its file's size when asked.
int PrintEachIteration(benchmark::State& state, TRichDoc& doc, const std::string& name,
                       std::uintmax_t* bytes = nullptr) {
  const std::string file = (std::filesystem::temp_directory_path() / name).string();
  int pages = 0;
  for (auto _ : state) {
    const TRDPrintResult result = PrintDocumentToPdf(doc.RDData(), file, {});
    if (!result.Ok) state.SkipWithError(result.Error.c_str());
    pages = result.PageCount;
  }
  if (bytes) *bytes = std::filesystem::file_size(file);
  std::filesystem::remove(file);
  return pages;
}

void BM_PrintToPdf(benchmark::State& state) {
  PrintedDocument& d = SharedBenchState<PrintedDocument>();
  state.counters["pages"] = PrintEachIteration(state, d.doc, "velmora_print_bench.pdf");
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

void BM_PrintLongTable(benchmark::State& state) {
  LongTable& d = SharedBenchState<LongTable>();
  const long before = PeakRssBytes();
  state.counters["pages"] = PrintEachIteration(state, d.doc, "velmora_long_table_bench.pdf");
  state.counters["peak_growth_mb"] = double(std::max(0L, PeakRssBytes() - before)) / (1 << 20);
}
BENCHMARK(BM_PrintLongTable)->Unit(benchmark::kMillisecond);

// A table of state.range(0) rows whose first column is one merged cell, the second a
// callsign a row.
struct MergedTable : BenchDocument {
  explicit MergedTable(int rows) {
    AddCallTable(rows, 2, 1);
    auto& table = static_cast<TRDTableItemInfo&>(*doc.RDData().GetItem(0));
    table.SetHeadingRowCount(0);
    table.Rows->MergeCells(0, 0, 1, rows, true, false);
    doc.FormatDocument();
  }
};

void BM_PrintMergedRows(benchmark::State& state) {
  MergedTable d(BenchStations(int(state.range(0))));
  state.counters["pages"] = PrintEachIteration(state, d.doc, "velmora_merged_rows_bench.pdf");
}
BENCHMARK(BM_PrintMergedRows)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);

// A picture sized to 32767 x 32767 pixels, the most a document may give it, on an A4 page:
// what printing it holds at its peak (it was drawn through a bitmap of its whole size,
// 4.2 GB) stays under 300 MB, and it prints in under a second.
struct HugePicture : BenchDocument {
  HugePicture() {
    TRichDocRDData& data = doc.RDData();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(20, 20);
    bitmap->Canvas().Brush().SetColor(clRed);
    bitmap->Canvas().FillRect(Rect(0, 0, 20, 20));
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
    picture->ImageWidth = picture->ImageHeight = 32767;
    data.AddItemAtEnd("", std::move(picture));
    doc.FormatDocument();
  }
};

void BM_PrintHugePicture(benchmark::State& state) {
  HugePicture d;
  const long before = PeakRssBytes();
  state.counters["pages"] = PrintEachIteration(state, d.doc, "velmora_huge_picture_bench.pdf");
  state.counters["peak_growth_mb"] = double(std::max(0L, PeakRssBytes() - before)) / (1 << 20);
}
BENCHMARK(BM_PrintHugePicture)->Unit(benchmark::kMillisecond);

// One table a page wide of 60 lines of text, its background a picture of state.range(0)
// pixels a side tiled: printed at 300 dpi a 1 x 1 picture is some 900,000 copies, which
// cost what one 64 x 64 picture's copies do when the page holds the picture once.
struct TiledTable : BenchDocument {
  explicit TiledTable(int side) {
    TRichDocRDData& data = doc.RDData();
    auto tile = std::make_unique<TBitmap>();
    tile->SetSize(side, side);
    for (int i = 0; i < side; ++i) tile->Canvas().SetPixels(i, i, RGB(200, 220, (i * 40) % 256));
    auto table = std::make_unique<TRDTableItemInfo>(1, 1, &data);
    table->SetBestWidth(-100);
    table->SetBackgroundImage(tile.get());
    table->SetBackgroundStyle(rdbsTiled);
    for (int line = 0; line < 60; ++line)
      table->Cells(0, 0)->AddText("Line " + std::to_string(line) + " over the tiles", 0, 0);
    data.AddItemAtEnd("", std::move(table));
    doc.FormatDocument();
  }
};

void BM_PrintTiledTableBackground(benchmark::State& state) {
  TiledTable d(int(state.range(0)));
  std::uintmax_t bytes = 0;
  state.counters["pages"] =
      PrintEachIteration(state, d.doc, "velmora_tiled_table_bench.pdf", &bytes);
  state.counters["pdf_kb"] = double(bytes) / 1024;
}
BENCHMARK(BM_PrintTiledTableBackground)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);

enum class TTileKind { Bitmap, Gif, Metafile };

// A tile of 64 x 64 pixels of the kind: a bitmap of a diagonal line on white, the same as a GIF
// file (which lets the page show through it: a GIF was printed copy by copy, 6 s and 13 MB a page),
// or a metafile of clip art: a mask ANDed and the picture ORed over it, which lets what lies under
// it show around the picture.
std::unique_ptr<TGraphic> Tile(TTileKind kind) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(64, 64);
  bitmap->Canvas().Brush().SetColor(clWhite);
  bitmap->Canvas().FillRect(Rect(0, 0, 64, 64));
  for (int i = 0; i < 64; ++i) bitmap->Canvas().SetPixels(i, i, RGB(200, 120, (i * 40) % 256));
  if (kind == TTileKind::Gif) {
    auto gif = std::make_unique<TGIFPicture>();
    gif->Assign(*bitmap);
    return gif;
  }
  if (kind == TTileKind::Bitmap) return bitmap;
  return std::make_unique<TMetafile>(ClipArtMetafile(640, 320), false);
}

// Depth tables, each in the one cell of the one before, as wide as they can be, the tables
// and their cells all with the tile as their tiled background: printed at 300 dpi, one page
// (the limit is 4 times the time and bytes of the bitmap).
struct NestedTiledTables : BenchDocument {
  NestedTiledTables(TTileKind kind, int depths) {
    const std::unique_ptr<TGraphic> tile = Tile(kind);
    AddNestedTiledTables(doc.RDData(), tile.get(), depths);
    doc.FormatDocument();
  }
};

// Arguments: the tile's kind (TTileKind), the tables' depth (16 GIF tiles took 11.6 s and
// 617 MB at their peak). "peak_growth_mb": the resident memory's peak above its start.
void BM_PrintNestedTiledTables(benchmark::State& state) {
  NestedTiledTables d(TTileKind(state.range(0)), int(state.range(1)));
  std::uintmax_t bytes = 0;
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
  const long before = PeakRssBytes();
  state.counters["pages"] =
      PrintEachIteration(state, d.doc, "velmora_nested_tiles_bench.pdf", &bytes);
  state.counters["pdf_kb"] = double(bytes) / 1024;
  state.counters["peak_growth_mb"] = double(std::max(0L, PeakRssBytes() - before)) / (1 << 20);
}
BENCHMARK(BM_PrintNestedTiledTables)
    ->ArgsProduct({{0, 1, 2}, {8, 16}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
