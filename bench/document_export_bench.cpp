// Export speed: a 10 MB document of monitor-like paragraphs (several text styles a line,
// some Unicode lines, links) written as RTF and as HTML, plain and with a style sheet, in
// bytes of document text per second; the target is at least 50 MB/s for each.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"

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

}  // namespace
