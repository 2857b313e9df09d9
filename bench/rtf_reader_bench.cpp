// RTF reading speed on a 5 MB text-heavy document (paragraphs with character formatting,
// groups, hex escapes and \u characters), in bytes per second; the target is at least
// 50 MB/s. Every text event is received, as the import would.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/text/streams.h"
#include "richtext_edit/rtf/rtf_reader.h"

namespace {

std::string MakeDocument(std::size_t size) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
      "Arial;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n";
  const std::string paragraph =
      "\\pard\\plain\\f0\\fs24 The station heard {\\b DL1ABC-9} via {\\i WIDE1-1} at 12:34, "
      "moving north at 42 km/h; the caf\\'e9 beacon said \\u8364?5 for coffee. {\\cf1 Warning:} "
      "battery "
      "low, {\\f1\\fs20 position} 49\\'b0 03.50' N, 72\\'b0 01.75' W. Message acknowledged and "
      "retried "
      "after five seconds without any further answer from the other side.\\par\n";
  while (rtf.size() < size) rtf += paragraph;
  rtf += "}";
  return rtf;
}

void BM_ReadTextHeavyRTF(benchmark::State& state) {
  const std::string rtf = MakeDocument(5 * 1024 * 1024);
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  std::size_t characters = 0;
  for (auto _ : state) {
    TRDRTFReader reader;
    reader.OnNewText = [&characters](TRDRTFReader*, const std::string& text, TRDRTFPosition) {
      characters += text.size();
    };
    reader.OnNewUnicodeText = [&characters](TRDRTFReader*, const std::u16string& text,
                                            TRDRTFPosition) { characters += text.size(); };
    stream.Seek(0, soBeginning);
    if (reader.ReadFromStream(stream) != rtf_ec_OK) state.SkipWithError("read failed");
  }
  benchmark::DoNotOptimize(characters);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(rtf.size()));
}
BENCHMARK(BM_ReadTextHeavyRTF)->Unit(benchmark::kMillisecond);

}  // namespace
