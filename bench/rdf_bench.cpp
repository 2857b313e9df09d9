// The document format with a 10 MB document: monitor-like paragraphs of a header and a
// message in several styles, every tenth item continuing its paragraph, every
// twentieth in Unicode. Measures writing and reading it, in the text and the binary
// form; the rate counts the document's text bytes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_support.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr size_t kTextBytes = 10 * 1000 * 1000;

struct Document {
  Document() {
    sheet.TextStyles()[5].Unicode = true;
    data.SetRDStyle(&sheet);
    for (int i = 0; text_bytes < kTextBytes; ++i) {
      std::string s = "fm DL1ABC-" + std::to_string(i % 16) +
                      " to APRS via WIDE1-1 ctl UI pid F0 message number " + std::to_string(i);
      if (i % 20 == 0) {
        s = WideStringToRawUnicode(u"\u00DCbertragung \u4E00 " +
                                   std::u16string(s.begin(), s.end()));
        data.AddText(s, 5, 1);
      } else {
        data.AddText(s, i % 3, i % 10 == 0 ? -1 : i % 2);
      }
      text_bytes += s.size();
    }
  }
  TRDStyle sheet;
  TCustomRDData data;
  size_t text_bytes = 0;
};

void BM_WriteRDF(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  d.data.SetRDFOptions(state.range(0) ? rdfoSaveBinary : 0);
  for (auto _ : state) {
    TMemoryStream stream;
    SaveRDFToStream(d.data, stream, false);
    benchmark::DoNotOptimize(stream.Memory());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.text_bytes));
}
BENCHMARK(BM_WriteRDF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadRDF(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  d.data.SetRDFOptions(state.range(0) ? rdfoSaveBinary : 0);
  TMemoryStream saved;
  SaveRDFToStream(d.data, saved, false);
  for (auto _ : state) {
    TCustomRDData read;
    read.SetRDStyle(&d.sheet);
    saved.SetPosition(0);
    if (!LoadRDFFromStream(read, saved)) state.SkipWithError("the document did not read back");
    benchmark::DoNotOptimize(read.GetItemCount());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.text_bytes));
}
BENCHMARK(BM_ReadRDF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
