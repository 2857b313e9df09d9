// RTF import speed on a 5 MB document of station reports: each a centred bold heading,
// three items of a numbered Word 97 list and two of a bullet list (with their \listtext),
// a bordered table of three rows by four cells with padding (the calls of its last two
// rows numbered items of the first list, counting on from the list above), and a
// paragraph of mixed character formatting; imported with styles and list markers added
// as needed, in bytes per second. The target is at least 20 MB/s. Then RTFs holding a
// costly metafile, imported and exported as HTML, and twenty bitmaps that each claim
// 4096 x 4096 pixels in two bytes, imported, laid out and painted; and a progressive
// JPEG of 4096 x 4096 pixels imported with its last scan repeated 0 or 2,000 times. And
// RTFs whose few bytes repeat rows of empty cells, read with the growth of the peak
// resident memory: at most 64 MB + 1,000 times the file's size, in at most 1 s; files of
// empty cells read and pasted beside files of paragraphs of the same size.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/formats/html_writer.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/rtf/rtf_insert.h"

namespace {

std::string MakeDocument(std::size_t size) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
      "{\\f1\\fswiss Arial;}{\\f2\\fnil\\fcharset2 Symbol;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red220\\green220\\blue220;}\n"
      "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1"
      "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc4"
      "\\leveljc0\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\fi-360\\li1440}"
      "\\listid1}{\\list\\listtemplateid2{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1\\f2"
      "{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\fi-360\\li720}\\listid2}}\n"
      "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"
      "{\\listoverride\\listid2\\listoverridecount0\\ls2}}\n";
  const std::string cellDefs =
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs"
      "\\brdrw10";
  std::string row = "\\trowd\\trgaph108\\trleft-108\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3";
  for (const char* x : {"2000", "4000", "6000", "9000"}) row += cellDefs + "\\cellx" + x;
  const std::string report =
      "\\pard\\plain\\qc\\sb240\\sa120{\\b\\fs28 Station report}\\par\n"
      "\\pard\\plain\\ls1\\ilvl0\\fi-360\\li720{\\listtext 1.\\tab}Heard {\\b DL1ABC-9} via "
      "WIDE1-1 at 12:34\\par\n"
      "\\pard\\plain\\ls1\\ilvl0\\fi-360\\li720{\\listtext 2.\\tab}Moving north at {\\i 42 "
      "km/h}\\par\n"
      "\\pard\\plain\\ls1\\ilvl1\\fi-360\\li1440{\\listtext a)\\tab}Course 12 degrees\\par\n"
      "\\pard\\plain\\ls2\\ilvl0\\fi-360\\li720{\\listtext\\f2\\'b7\\tab}Battery {\\cf1 "
      "low}\\par\n"
      "\\pard\\plain\\ls2\\ilvl0\\fi-360\\li720{\\listtext\\f2\\'b7\\tab}Message "
      "acknowledged\\par\n" +
      row +
      "\\pard\\plain\\intbl{\\b Call}\\cell{\\b Lat}\\cell{\\b Lon}\\cell{\\b "
      "Comment}\\cell\\row\n" +
      row +
      "\\pard\\plain\\intbl\\ls1\\ilvl0\\fi-360\\li720 DL1ABC-9\\cell\\pard\\plain\\intbl 49\\'b0 "
      "03.50' N\\cell "
      "72\\'b0 01.75' W\\cell "
      "{\\i mobile} station\\cell\\row\n" +
      row +
      "\\pard\\plain\\intbl\\ls1\\ilvl0\\fi-360\\li720 DB0XYZ\\cell\\pard\\plain\\intbl 48\\'b0 "
      "10.00' N\\cell 11\\'b0 "
      "30.25' E\\cell "
      "digipeater {\\cf2 WIDE2}\\cell\\row\n"
      "\\pard\\plain\\f1\\fs20 The caf\\'e9 beacon said {\\b\\i 5 euro} for coffee; {\\ul "
      "position} {\\highlight3 reported} twice.\\par\n";
  while (rtf.size() < size) rtf += report;
  rtf += "}";
  return rtf;
}

void BM_ImportRTFWithTablesAndLists(benchmark::State& state) {
  const std::string rtf = MakeDocument(std::size_t(BenchStations(5 * 1024 * 1024)));
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  for (auto _ : state) {
    state.PauseTiming();
    TRDStyle sheet;
    auto document = std::make_unique<TCustomRDData>();
    document->SetRDStyle(&sheet);
    TRDRTFReaderProperties options;
    options.TextStyleMode = options.ParaStyleMode = rdrsAddIfNeeded;
    stream.Seek(0, soBeginning);
    state.ResumeTiming();
    int index = 0;
    if (ReadRTF(options, stream, *document, index) != rtf_ec_OK) state.SkipWithError("read failed");
    state.PauseTiming();
    document.reset();  // freeing the document is not the import's work
    state.ResumeTiming();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(rtf.size()));
}
BENCHMARK(BM_ImportRTFWithTablesAndLists)->Unit(benchmark::kMillisecond);

// Bytes as RTF writes picture data.
std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += "0123456789abcdef"[byte >> 4];
    hex += "0123456789abcdef"[byte & 15];
  }
  return hex;
}

std::string HexOfWords(const std::vector<unsigned>& words) {
  std::string bytes;
  for (unsigned w : words) bytes += {char(w & 0xFF), char(w >> 8)};
  return Hex(bytes);
}

// A document with a style sheet of its own, read from the RTF in stream.
struct TRtfDocument {
  TRtfDocument(TMemoryStream& stream, benchmark::State& state) {
    document.SetRDStyle(&sheet);
    TRDRTFReaderProperties options;
    stream.Seek(0, soBeginning);
    int index = 0;
    if (ReadRTF(options, stream, document, index) != rtf_ec_OK) state.SkipWithError("read failed");
  }

  TRDStyle sheet;
  TCustomRDData document;
};

// A Windows metafile (without its placeable header) in 16-bit words: a 1000 x 1000 window,
// then the records Fill adds with Record(function, parameters).
template <class Fill>
std::string WindowsMetafileHex(const Fill& fill) {
  std::vector<unsigned> words{1, 9, 0x0300, 0, 0, 1, 0, 0, 0};  // header; sizes below
  std::size_t largest = 0;
  const auto record = [&](unsigned function, const std::vector<unsigned>& params) {
    const std::size_t size = 3 + params.size();
    largest = std::max(largest, size);
    words.insert(words.end(), {unsigned(size & 0xFFFF), unsigned(size >> 16), function});
    words.insert(words.end(), params.begin(), params.end());
  };
  record(0x020B, {0, 0});        // window origin
  record(0x020C, {1000, 1000});  // window extent
  fill(record);
  record(0, {});
  words[3] = unsigned(words.size() & 0xFFFF);
  words[4] = unsigned(words.size() >> 16);
  words[6] = unsigned(largest);
  return HexOfWords(words);
}

// An RTF of 8 KB holding a Windows metafile of one polyline whose 1,000 points zig-zag
// across the picture, imported and written as HTML (the picture drawn into a file of its
// own): 13.8 s once, as long as the picture's first paint.
std::string ZigZagPictureRtf() {
  const std::string hex = WindowsMetafileHex([](const auto& record) {
    record(0x02FA, {0, 2, 0, 0x00FF, 0});
    record(0x012D, {0});
    std::vector<unsigned> points{1000};
    for (unsigned i = 0; i < 1000; ++i)
      points.insert(points.end(), {i % 2 ? 950u : 50u, i * 379 % 1000});
    record(0x0325, points);
  });
  return "{\\rtf1\\ansi{\\pict\\wmetafile8\\picw21167\\pich15875\\picwgoal12000\\pichgoal9000 " +
         hex + "}\\par}";
}

// A bitmap of 4096 x 4096 pixels at 8 bits run-length coded in 16-bit words: its header,
// one colour (red), and runs that only end it.
std::vector<unsigned> RunLengthDibWords() {
  return {40, 0, 4096, 0, 4096, 0, 1, 8, 1, 0, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0xFF, 0x0100};
}

// An RTF of 15 KB holding a Windows metafile of 100 DIBStretchBlt records, each of such a
// bitmap over the whole picture: exported as HTML in 10.9 s.
std::string RunLengthBitmapsPictureRtf() {
  const std::string hex = WindowsMetafileHex([](const auto& record) {
    std::vector<unsigned> stretch{0x0020, 0x00CC, 4096, 4096, 0, 0, 1000, 1000, 0, 0};
    const std::vector<unsigned> dib = RunLengthDibWords();
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    for (int i = 0; i < 100; ++i) record(0x0B41, stretch);
  });
  return "{\\rtf1\\ansi{\\pict\\wmetafile8\\picw21167\\pich15875\\picwgoal12000\\pichgoal9000 " +
         hex + "}\\par}";
}

void BM_ExportRTFPictureAsHTML(benchmark::State& state) {
  const std::string rtf = state.range(0) == 0 ? ZigZagPictureRtf() : RunLengthBitmapsPictureRtf();
  const std::string folder = std::filesystem::temp_directory_path().string() + "/";
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  for (auto _ : state) {
    TRtfDocument read(stream, state);
    TMemoryStream html;
    TRDHTMLSaveParams params;
    params.Path = folder;
    params.ImagePrefix = "velmora_zigzag_bench";
    if (!SaveHTMLToStream(read.document, html, params)) state.SkipWithError("export failed");
  }
  state.counters["rtf_bytes"] = double(rtf.size());
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().rfind("velmora_zigzag_bench", 0) == 0)
      std::filesystem::remove(entry.path());
}
// Argument: the zig-zag (0) or the run-length bitmaps (1).
BENCHMARK(BM_ExportRTFPictureAsHTML)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Rtf imported into a viewer of 1920 x 1080, laid out and painted, once an iteration;
// with addStyles the viewer adds text and paragraph styles as the RTF needs them, as the
// program's viewers do. "peak_rss_mb" is the process's peak: run such a benchmark alone
// for its figure.
void ShowRtf(benchmark::State& state, const std::string& rtf, bool addStyles = false) {
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  for (auto _ : state) {
    TRDStyle sheet;
    TRichDoc doc(nullptr);
    doc.SetStyle(&sheet);
    if (addStyles)
      doc.RTFReadProperties().TextStyleMode = doc.RTFReadProperties().ParaStyleMode =
          rdrsAddIfNeeded;
    doc.SetBounds(0, 0, BenchStations(1920), BenchStations(1080));
    stream.Seek(0, soBeginning);
    if (!LoadRTFFromStream(doc.RDData(), stream)) state.SkipWithError("read failed");
    doc.FormatDocument();
    TBitmap target;
    target.SetSize(doc.Width(), doc.Height());
    PaintTo(doc, target.Canvas(), 0, 0);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024;
  state.counters["rtf_bytes"] = double(rtf.size());
}

// A 3 KB RTF of twenty \\dibitmap pictures, each such a bitmap of 4096 x 4096 pixels in 46
// bytes: 1.93 s and 1,013 MB before pictures took from a budget.
void BM_ShowRunLengthPictures(benchmark::State& state) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 20; ++i)
    rtf += "{\\pict\\dibitmap0\\picw4096\\pich4096 " + HexOfWords(RunLengthDibWords()) + "}";
  rtf += "}";
  ShowRtf(state, rtf);
}
BENCHMARK(BM_ShowRunLengthPictures)->Unit(benchmark::kMillisecond);

// A 200-byte RTF of one PNG picture whose header claims 20000 x 20000 pixels in 89 bytes
// (four rows of zeros, then its end), with the program's PNG class.
void BM_ShowClaimingPng(benchmark::State& state) {
  RegisterPngGraphicClass();
  ShowRtf(state,
          "{\\rtf1 {\\pict\\pngblip\\picwgoal1440\\pichgoal1440 "
          "89504e470d0a1a0a0000000d4948445200004e2000004e200100000000cb0b7b94000000204944415478da"
          "edc1010d000000c2a0f74f6d0f07140000000000000000007c182714000147ae59930000000049454e44ae"
          "426082}}");
  PngGraphicClass = NewPngGraphic;
}
BENCHMARK(BM_ShowClaimingPng)->Unit(benchmark::kMillisecond);

// The fixture: a progressive JPEG of 4096 x 4096 pixels of one colour (made by cjpeg
// -progressive) whose last scan, 33 bytes, comes 2,001 times: 25 s to import once.
// Repeats 0 cuts the copies off, and the picture is imported in 0.19 s.
std::string ProgressiveJpegRtf(int repeats) {
  TMemoryStream file;
  file.LoadFromFile(std::string(VELMORA_TEST_DATA) +
                    "/jpeg/progressive_4096_last_scan_2000_times.jpg");
  std::string jpeg(static_cast<const char*>(file.Memory()), std::size_t(file.Size()));
  const std::size_t end = jpeg.rfind("\xFF\xD9");
  const std::size_t scan = jpeg.rfind("\xFF\xDA");
  const std::string copy = jpeg.substr(scan, end - scan);
  std::size_t first = scan;
  while (first >= copy.size() && jpeg.compare(first - copy.size(), copy.size(), copy) == 0)
    first -= copy.size();
  jpeg = jpeg.substr(0, first + copy.size() * std::size_t(repeats + 1)) + jpeg.substr(end);
  return "{\\rtf1 {\\pict\\jpegblip\\picwgoal1440\\pichgoal1440 " + Hex(jpeg) + "}}";
}

// Argument: how many more times the last scan comes.
void BM_ImportProgressiveJpeg(benchmark::State& state) {
  const std::string rtf = ProgressiveJpegRtf(int(state.range(0)));
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  for (auto _ : state) {
    TRtfDocument read(stream, state);
    state.counters["left_out"] = (read.document.GetRDFWarnings() & rdfwPicturesLeftOut) ? 1 : 0;
  }
  state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(BM_ImportProgressiveJpeg)->Arg(0)->Arg(2000)->Unit(benchmark::kMillisecond);

// Runs of a few words, each in a colour of its own (or, as the control, in one of 10):
// every run that needs a style of its own must find out that none is equal in a time that
// does not grow with the styles already added. 40,000 runs: 15.6 s when each new style
// was compared with every style before it.
void BM_ShowRunsInOwnColours(benchmark::State& state) {
  const int runs = BenchStations(int(state.range(0)));
  const int colours = state.range(1) > 0 ? int(state.range(1)) : runs;
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;";
  for (int c = 0; c < colours; ++c)
    rtf += "\\red" + std::to_string(c % 256) + "\\green" + std::to_string(c / 256 % 256) +
           "\\blue" + std::to_string(c / 65536) + ";";
  rtf += "}\n\\pard ";
  for (int r = 0; r < runs; ++r) {
    rtf += "{\\cf" + std::to_string(1 + r % colours) + " run " + std::to_string(r) + "}";
    if (r % 20 == 19) rtf += "\\par\n";
  }
  rtf += "\\par}";
  ShowRtf(state, rtf, true);
}
BENCHMARK(BM_ShowRunsInOwnColours)
    ->ArgsProduct({{5000, 10000, 20000, 40000}, {0, 10}})
    ->Unit(benchmark::kMillisecond);

// One row definition of 256 \cellx and rows of it (each \row four bytes that make 256
// cells): 2,048 rows (10,744 bytes) read in 5.5 s at 1,091 MB, 512 rows (4,600 bytes) at
// 290 MB, when every empty cell was a cell of its own and each table could take 131,072.
std::string RepeatedRowsRtf(int rows) {
  std::string rtf = "{\\rtf1\\trowd";
  for (int c = 1; c <= 256; ++c) rtf += "\\cellx" + std::to_string(c * 9);
  rtf += "\\pard\\intbl";
  for (int r = 0; r < rows; ++r) rtf += "\\row";
  return rtf + "}";
}

// Bare \cell words of a row that never ends (2.6 MB: 2.0 GB); the control, paragraphs of
// one letter (2.4 MB: 130 MB).
std::string RepeatedWordsRtf(const std::string& word, std::size_t size) {
  std::string rtf = "{\\rtf1 ";
  while (rtf.size() < size) rtf += word;
  return rtf + "}";
}

// Argument: 0 and 1 the rows above, 2 the \cell words, 3 the control.
void BM_ReadRepeatedCells(benchmark::State& state) {
  const std::string rtf = state.range(0) == 0   ? RepeatedRowsRtf(BenchStations(2048))
                          : state.range(0) == 1 ? RepeatedRowsRtf(BenchStations(512))
                          : state.range(0) == 2
                              ? RepeatedWordsRtf("\\cell", std::size_t(BenchStations(2600000)))
                              : RepeatedWordsRtf("a\\par ", std::size_t(BenchStations(2400000)));
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  long growth = 0;
  bool leftOut = false;
  for (auto _ : state)
    growth = std::max(growth, PeakGrowthKilobytes([&] {
                        TRtfDocument read(stream, state);
                        leftOut = read.document.GetRDFWarnings() & rdfwTableCellsLeftOut;
                      }));
  state.counters["peak_growth_mb"] = double(growth) / 1024;
  state.counters["limit_mb"] = 64 + 1000 * double(rtf.size()) / (1 << 20);
  state.counters["rtf_bytes"] = double(rtf.size());
  state.counters["left_out"] = leftOut ? 1 : 0;
}
BENCHMARK(BM_ReadRepeatedCells)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The RTF read into a document, or pasted into an editor of 1920 x 1080 showing it (laid
// out and painted where the caret ends).
void ReadOrPaste(benchmark::State& state, const std::string& rtf, bool paste) {
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  stream.SetPosition(0);
  if (!paste) {
    TRtfDocument read(stream, state);
    return;
  }
  RegisterRTFInsertion();
  TRDStyle sheet;
  TRichDocEdit edit(nullptr);
  edit.SetStyle(&sheet);
  edit.SetBounds(0, 0, BenchStations(1920), BenchStations(1080));
  edit.FormatDocument();
  if (!edit.InsertRTFStreamAtCaret(stream)) state.SkipWithError("paste failed");
  TBitmap target;
  target.SetSize(edit.Width(), edit.Height());
  PaintTo(edit, target.Canvas(), 0, 0);
}

// Files of cells beside a file of one-letter paragraphs of the same size, read and
// pasted: rows of sixteen bare \cell words (2.6 MB: 1,938 MB and 5.3 MB: 3,875 MB when
// every cell was an object; the paragraphs 100 MB), and rows of one empty cell
// (\intbl\row, 1.1 MB: 558 MB). "ratio" is the cells' growth over the paragraphs', at most
// 4. Arguments: the file (0 the rows of cells, 1 the rows of one cell), its size, paste.
void BM_CellFilesBesideParagraphs(benchmark::State& state) {
  const auto size = std::size_t(BenchStations(int(state.range(1))));
  std::string row = "\\intbl";
  for (int c = 0; c < 16; ++c) row += "\\cell";
  row += "\\row\n";
  const std::string cells = RepeatedWordsRtf(state.range(0) == 0 ? row : "\\intbl\\row\n", size);
  const std::string paragraphs = RepeatedWordsRtf("a\\par ", size);
  const bool paste = state.range(2) != 0;
  long cellGrowth = 0, paragraphGrowth = 0;
  for (auto _ : state) {
    cellGrowth =
        std::max(cellGrowth, PeakGrowthKilobytes([&] { ReadOrPaste(state, cells, paste); }));
    paragraphGrowth = std::max(paragraphGrowth,
                               PeakGrowthKilobytes([&] { ReadOrPaste(state, paragraphs, paste); }));
  }
  state.counters["cells_mb"] = double(cellGrowth) / 1024;
  state.counters["paragraphs_mb"] = double(paragraphGrowth) / 1024;
  state.counters["ratio"] = double(cellGrowth) / double(std::max(paragraphGrowth, 1L));
  state.counters["rtf_bytes"] = double(cells.size());
}
BENCHMARK(BM_CellFilesBesideParagraphs)
    ->ArgsProduct({{0}, {2600000, 5300000}, {0, 1}})
    ->Args({1, 1100000, 0})
    ->Args({1, 1100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
