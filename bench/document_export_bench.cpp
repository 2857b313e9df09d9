// Export speed: a 10 MB document of monitor-like paragraphs (several text styles a line,
// some Unicode lines, links) written as RTF and as HTML, plain and with a style sheet, in
// bytes of document text per second; the target is at least 50 MB/s for each. Then
// documents of 128 KB, 1 MB and 5 MB that were never laid out, holding tables whose cells
// have links and list paragraphs, written as HTML and RTF: the time grows with the size,
// not with its square. Last, documents of pictures that decode to far more than their
// bytes, imported from RTF and saved as RTF and as RDF: what is written follows the bytes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_support.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/tables/table_item.h"

namespace {

class BenchDocument : public TCustomRDData {
 public:
  explicit BenchDocument(size_t textSize) {
    while (style_.TextStyles().Count() < 6) style_.TextStyles().Add();
    style_.TextStyles().Items(1).Style = fsBold;
    style_.TextStyles().Items(2).Color = clRed;
    style_.TextStyles().Items(3).Unicode = true;
    style_.TextStyles().Items(4).Jump = true;
    SetRDStyle(&style_);
    const std::string header = "fm DL1ABC-9 to APRS via WIDE1-1,WIDE2-2 ctl UI^ pid F0";
    const std::string data =
        "!4903.50N/07201.75W>088/036/A=001234 Mobile on the road & <looking> for contacts";
    const std::string unicode = WideStringToRawUnicode(u"Caf\u00e9 \u4e2d\u6587 mobile station");
    while (text_size_ < textSize) {
      Add(header, 0, 0);
      Add(" [", 0, -1);
      Add("12:34:56", 1, -1);
      Add("] ", 0, -1);
      Add(data, 2, 0);
      Add(unicode, 3, 0);
      Add("http://example.org/station", 4, -1);
    }
  }
  ~BenchDocument() override { Clear(); }
  size_t TextSize() const { return text_size_; }

 private:
  void Add(const std::string& text, int styleNo, int paraNo) {
    AddText(text, styleNo, paraNo);
    text_size_ += text.size();
  }
  TRDStyle style_;
  size_t text_size_ = 0;
};

BenchDocument& Document() {
  static BenchDocument document(10 * 1024 * 1024);
  return document;
}

template <class Write>
void Run(benchmark::State& state, Write write) {
  BenchDocument& document = Document();
  for (auto _ : state) {
    TMemoryStream stream;
    write(document, stream);
    benchmark::DoNotOptimize(stream.Memory());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(document.TextSize()));
}

void BM_ExportRTF(benchmark::State& state) {
  Run(state, [](BenchDocument& document, TMemoryStream& stream) {
    SaveRTFToStream(document, stream, TRDRTFSaveParams());
  });
}

void BM_ExportHTMLPlain(benchmark::State& state) {
  Run(state, [](BenchDocument& document, TMemoryStream& stream) {
    SaveHTMLToStream(document, stream, TRDHTMLSaveParams());
  });
}

void BM_ExportHTMLWithStyleSheet(benchmark::State& state) {
  Run(state, [](BenchDocument& document, TMemoryStream& stream) {
    TRDHTMLSaveParams params;
    params.Options = rdsoUTF8;
    SaveHTMLExToStream(document, stream, params);
  });
}

BENCHMARK(BM_ExportRTF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportHTMLPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportHTMLWithStyleSheet)->Unit(benchmark::kMillisecond);

// A document read from a file and never shown: monitor lines, every tenth paragraph a
// table of 3 x 3 cells each holding a line and a link, every fifth a list paragraph.
class TableDocument : public TCustomRDData {
 public:
  explicit TableDocument(size_t textSize) {
    RegisterTableItemClass();
    while (style_.TextStyles().Count() < 2) style_.TextStyles().Add();
    style_.TextStyles().Items(1).Jump = true;
    style_.ListStyles().Add().AddLevel().ListType = rdlstDecimal;
    SetRDStyle(&style_);
    const std::string line = "fm DL1ABC-9 to APRS via WIDE1-1 ctl UI^ pid F0 !4903.50N/07201.75W>";
    const std::string link = "http://example.org/station";
    for (int paragraph = 0; text_size_ < textSize; ++paragraph) {
      if (paragraph % 10 == 9) {
        auto table = std::make_unique<TRDTableItemInfo>(3, 3, this);
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 3; ++c) {
            TCustomRDData& cell = *table->Cells(r, c);
            cell.Clear();
            cell.AddText(line, 0, 0);
            cell.AddText(link, 1, -1);
            text_size_ += line.size() + link.size();
          }
        AddItemAtEnd("", std::move(table));
        continue;
      }
      if (paragraph % 5 == 4)
        AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(this, 0, 0, 1, false));
      AddText(line, 0, paragraph % 5 == 4 ? -1 : 0);
      AddText(link, 1, -1);
      text_size_ += line.size() + link.size();
    }
  }
  ~TableDocument() override { Clear(); }
  size_t TextSize() const { return text_size_; }

 private:
  TRDStyle style_;
  size_t text_size_ = 0;
};

// The argument is the document's size in KB (a few hundred KB at most in the test build).
template <class Write>
void RunTableDocument(benchmark::State& state, Write write) {
  TableDocument document(size_t(BenchStations(int(state.range(0)))) * 1024);
  for (auto _ : state) {
    TMemoryStream stream;
    write(document, stream);
    benchmark::DoNotOptimize(stream.Memory());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(document.TextSize()));
}

void BM_ExportNeverLaidOutTablesHTML(benchmark::State& state) {
  RunTableDocument(state, [](TableDocument& document, TMemoryStream& stream) {
    SaveHTMLToStream(document, stream, TRDHTMLSaveParams());
  });
}

void BM_ExportNeverLaidOutTablesRTF(benchmark::State& state) {
  RunTableDocument(state, [](TableDocument& document, TMemoryStream& stream) {
    SaveRTFToStream(document, stream, TRDRTFSaveParams());
  });
}

BENCHMARK(BM_ExportNeverLaidOutTablesHTML)
    ->Arg(128)
    ->Arg(1024)
    ->Arg(5120)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportNeverLaidOutTablesRTF)
    ->Arg(128)
    ->Arg(1024)
    ->Arg(5120)
    ->Unit(benchmark::kMillisecond);

// Two run-length \dibitmap pictures that each claim 4096 x 4096 pixels in 46 bytes (a
// 322-byte RTF, saved as 268 MB of RTF and 134 MB of RDF once), or the fuzz seed that
// adds a PNG claiming 20000 x 20000 pixels beside them.
std::string PicturesRtf(int which) {
  if (which == 1) {
    TMemoryStream file;
    file.LoadFromFile(std::string(VELMORA_TEST_DATA) +
                      "/richtext_edit/rtf_document/fuzz/png_claiming_20000_square.rtf");
    return std::string(static_cast<const char*>(file.Memory()), std::size_t(file.Size()));
  }
  const std::string dib =
      "{\\pict\\dibitmap0\\picw4096\\pich4096 280000000010000000100000010008000100000002000000"
      "000000000000000001000000000000000000ff000001}";
  return "{\\rtf1 a " + dib + dib + " b\\par}";
}

// Arguments: the document (above), then RTF (0) or RDF (1). "written_mb": what one save
// writes.
void BM_SaveDecodedPictures(benchmark::State& state) {
  RegisterPngGraphicClass();
  const std::string rtf = PicturesRtf(int(state.range(0)));
  TRDStyle sheet;
  TCustomRDData document;
  document.SetRDStyle(&sheet);
  document.SetRDFOptions(rdfoSavePicturesBody);
  TMemoryStream input;
  input.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  input.SetPosition(0);
  TRDRTFReaderProperties options;
  int index = 0;
  if (ReadRTF(options, input, document, index) != rtf_ec_OK) state.SkipWithError("read failed");
  double written = 0;
  for (auto _ : state) {
    TMemoryStream output;
    const bool saved = state.range(1) == 0 ? SaveRTFToStream(document, output, TRDRTFSaveParams())
                                           : SaveRDFToStream(document, output, false);
    if (!saved) state.SkipWithError("save failed");
    written = double(output.Size());
  }
  state.counters["written_mb"] = written / (1024 * 1024);
  PngGraphicClass = NewPngGraphic;
}
BENCHMARK(BM_SaveDecodedPictures)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
