// Work that must grow with what it touches, not with the document: the layout of one
// 200,000-character paragraph beside the same text in 80-character paragraphs (the
// counters give both and their ratio; the aim is within 3x); a keystroke (a character
// typed, or one taken back) in a 1 MB paragraph of an editor (aim: under 5 ms), and in one
// unwrapped line of 2,000 or 20,000 characters of Arabic words or of letters with combining
// marks, text that needs shaping, or of plain text with one control character in it (aim:
// under 5 ms at 20,000); the RTF import of a table with one merged column of 5,000 rows
// (aim: under 0.5 s) and of 300 rows by 200 merged columns; one message added to a messaging
// list that already holds 10,000 (the aim: no more than at 100); and a viewer's paragraph of a
// letter with 250 to 2,000 combining marks on it (aim: 2,000 within 12x the time of 250).
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/messages/msg_lists.h"
#include "app/monitor/station_styles.h"
#include "bench_support.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_import.h"

namespace {

// Words of a plain text, no longer than about 8 characters each.
std::string Prose(std::size_t size) {
  const std::string words =
      "the quick brown fox jumps over the lazy dog while the station beacons its position ";
  std::string text;
  while (text.size() < size) text += words;
  text.resize(size);
  return text;
}

struct Viewer {
  Viewer() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 640, 480);
  }
  TRDStyle style;
  TRichDoc doc;
};

double MillisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_LongParagraphAgainstShortOnes(benchmark::State& state) {
  const std::string text = Prose(std::size_t(state.range(0)));
  Viewer long_one, short_ones;
  long_one.doc.AddTextParagraph(text, 0, 0);
  for (std::size_t at = 0; at < text.size(); at += 80)
    short_ones.doc.AddTextParagraph(text.substr(at, 80), 0, 0);
  double long_ms = 0, short_ms = 0;
  for (auto _ : state) {
    long_ms += MillisecondsOf([&] { long_one.doc.FormatDocument(); });
    short_ms += MillisecondsOf([&] { short_ones.doc.FormatDocument(); });
  }
  const double n = double(state.iterations());
  state.counters["long_ms"] = long_ms / n;
  state.counters["short_ms"] = short_ms / n;
  state.counters["ratio"] = long_ms / short_ms;
}
BENCHMARK(BM_LongParagraphAgainstShortOnes)
    ->Arg(25000)
    ->Arg(BenchStations(200000))
    ->Unit(benchmark::kMillisecond);

// A character typed (range 0) or taken back with Backspace (range 1).
void BM_KeystrokeInOneMegabyteParagraph(benchmark::State& state) {
  TRDStyle style;
  TRichDocEdit edit(nullptr);
  edit.SetStyle(&style);
  edit.SetBounds(0, 0, 640, 480);
  const int size = BenchStations(1 << 20);
  edit.AddTextParagraph(Prose(std::size_t(size)), 0, 0);
  edit.FormatDocument();
  const bool backspace = state.range(0) == 1;
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    edit.EditData().PlaceCaretAtItem(0, 2 + (i++ * 7919) % (size - 1), false);
    state.ResumeTiming();
    if (backspace)
      edit.EditData().BackspaceKey(false, false, false);
    else
      edit.TypeChar(u'x');
  }
  edit.ClearUndo();
  state.counters["characters"] = size;
}
BENCHMARK(BM_KeystrokeInOneMegabyteParagraph)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Words of Arabic (script 0) or of Latin letters with combining accents (script 1),
// `size` UTF-16 units, stored as the editor keeps Unicode text.
std::string ShapedProse(int script, std::size_t size) {
  const std::u16string words =
      script == 0 ? u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645 "
                    u"\u0645\u062D\u0637\u0629 \u0627\u0644\u0631\u0627\u062F\u064A\u0648 "
                  : u"sta\u0301tio\u0308n be\u0301aco\u0302n po\u0301si\u0308tio\u0301n ";
  std::u16string text;
  while (text.size() < size) text += words;
  text.resize(size);
  return WideStringToRawUnicode(text);
}

// A character typed in the middle of one no-wrap line holding text (raw Unicode when
// unicode is set).
void KeystrokesInNoWrapLine(benchmark::State& state, const std::string& text, bool unicode,
                            char16_t typed) {
  TRDStyle style;
  style.TextStyles()[0].Unicode = unicode;
  style.ParaStyles()[0].Options = rdpaoNoWrap;
  TRichDocEdit edit(nullptr);
  edit.SetStyle(&style);
  edit.SetBounds(0, 0, 640, 480);
  edit.AddTextParagraph(text, 0, 0);
  if (unicode) edit.GetItemInfo(0)->ItemOptions |= rdioUnicodeText;
  edit.FormatDocument();
  const int size = int(unicode ? text.size() / 2 : text.size());
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    edit.EditData().PlaceCaretAtItem(0, size / 2 + (i++ % 64), false);
    state.ResumeTiming();
    edit.TypeChar(typed);
  }
  edit.ClearUndo();
  state.counters["characters"] = size;
}

// One no-wrap line of range(1) characters of script range(0) (see ShapedProse).
void BM_KeystrokeInShapedLine(benchmark::State& state) {
  KeystrokesInNoWrapLine(state, ShapedProse(int(state.range(0)), std::size_t(state.range(1))), true,
                         state.range(0) == 0 ? u'\u0628' : u'x');
}
BENCHMARK(BM_KeystrokeInShapedLine)
    ->ArgsProduct({{0, 1}, {2000, 20000}})
    ->Unit(benchmark::kMillisecond);

// One no-wrap line of range(1) characters of plain text that holds one control character
// near its start: range(0) 0 a character below the blank other than a tab, 1 a tab.
void BM_KeystrokeInLineWithControlCharacter(benchmark::State& state) {
  std::string text = Prose(std::size_t(state.range(1)));
  text[10] = state.range(0) == 0 ? '\x01' : '\t';
  KeystrokesInNoWrapLine(state, text, false, u'x');
}
BENCHMARK(BM_KeystrokeInLineWithControlCharacter)
    ->ArgsProduct({{0, 1}, {1250, 20000}})
    ->Unit(benchmark::kMillisecond);

// One paragraph of a letter carrying range(0) combining marks (one cluster, no place to
// break it), laid out for the first time in a viewer.
void BM_LayOutCombiningMarks(benchmark::State& state) {
  std::u16string text = u"a";
  for (int i = 0; i < state.range(0); ++i) text += char16_t(0x0300 + i % 0x70);
  for (auto _ : state) {
    state.PauseTiming();
    auto v = std::make_unique<Viewer>();
    v->style.TextStyles()[0].Unicode = true;
    v->doc.AddTextParagraph(WideStringToRawUnicode(text), 0, 0);
    state.ResumeTiming();
    v->doc.FormatDocument();
    state.PauseTiming();
    v.reset();
    state.ResumeTiming();
  }
  state.counters["marks"] = double(state.range(0));
}
BENCHMARK(BM_LayOutCombiningMarks)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);

// A table of rows x cols whose every column is merged from the first row to the last.
std::string MergedColumns(int rows, int cols) {
  std::string rtf = "{\\rtf1\\ansi ";
  for (int r = 0; r < rows; ++r) {
    rtf += "\\trowd";
    for (int c = 0; c < cols; ++c)
      rtf +=
          std::string(r == 0 ? "\\clvmgf" : "\\clvmrg") + "\\cellx" + std::to_string(100 * (c + 1));
    rtf += "\\pard\\intbl ";
    for (int c = 0; c < cols; ++c) rtf += (r == 0 ? "top" : "") + std::string("\\cell ");
    rtf += "\\row\n";
  }
  return rtf + "}";
}

void BM_ImportMergedColumns(benchmark::State& state) {
  const std::string rtf = MergedColumns(int(state.range(0)), int(state.range(1)));
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  for (auto _ : state) {
    TRDStyle sheet;
    auto document = std::make_unique<TCustomRDData>();
    document->SetRDStyle(&sheet);
    TRDRTFReaderProperties options;
    stream.Seek(0, soBeginning);
    int index = 0;
    if (ReadRTF(options, stream, *document, index) != rtf_ec_OK) state.SkipWithError("read failed");
    state.PauseTiming();
    document.reset();
    state.ResumeTiming();
  }
  state.counters["bytes"] = double(rtf.size());
}
BENCHMARK(BM_ImportMergedColumns)
    ->Args({BenchStations(5000), 1})
    ->Args({BenchStations(300), 200})
    ->Unit(benchmark::kMillisecond);

// One received message added to the messaging window's list of all messages, which
// already holds state.range(0) of them (each added entry stays: the list grows as the
// window's does).
void BM_AddMessageToList(benchmark::State& state) {
  TRDStyle style;
  MakeMessageStyles(style);
  TRichDoc viewer(nullptr);
  SetUpMessageViewer(viewer, style);
  viewer.SetBounds(0, 0, 560, 270);
  TMsgList list(viewer);
  auto add = [&](int n) {
    list.AddOrUpdate("DL" + std::to_string(n % 97) + "ABC", "N0CALL", true, -1,
                     "{" + std::to_string(n % 1000), "Message number " + std::to_string(n),
                     "WIDE1-1");
  };
  int n = 0;
  while (n < state.range(0)) add(n++);
  for (auto _ : state) add(n++);
  state.counters["messages"] = double(n);
}
BENCHMARK(BM_AddMessageToList)->Arg(100)->Arg(BenchStations(10000))->Unit(benchmark::kMicrosecond);

}  // namespace
