// Pasting a long text into the message edit of the messaging window: 32,000 Cyrillic
// letters (two bytes each on the air), 32,000 ASCII letters, and 100 Cyrillic letters.
// The edit keeps what fits in a message's 67 bytes, and the window answers again once
// the paste is done: each run is the whole paste, as long as the window does not answer.
//
// Counters: the bytes kept. Target (Release): under 1 s for 32,000 letters (a limit that
// dropped one letter at a time and encoded the whole text again each time took 15.6 s).
//
// Pasting one long line of calls into the packet log's filter memo, shown, which takes
// them in upper case without the blanks, and into a plain memo that takes everything, at
// growing lengths. Counter: the characters kept. Target (Release): the cost grows in step
// with the length, 400k characters at most 12 times 50k (the filter's line, without a
// blank to wrap at, was laid out at a cost growing with its square: 5.5 s at 400k, 53
// times 50k).
#include <benchmark/benchmark.h>

#include <string>

#include "app/messages/frm_aprs_msg.h"
#include "app/receive/frm_log.h"
#include "bench_support.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/gui/standard/memo.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/cp1252.h"

namespace {

void BM_PasteIntoMessageEdit(benchmark::State& state, char16_t Letter) {
  const std::u16string text(size_t(state.range(0)), Letter);
  Clipboard().SetAsBytes(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.data()),
                                                     text.size() * sizeof(char16_t)));
  TfrmAprsMsg msg(nullptr);
  for (auto _ : state) {
    msg.edtMsgTxt->SetText("");
    SimulateKey(*msg.edtMsgTxt, 'V', "", ssCtrl);
  }
  state.counters["kept_bytes"] = double(TextToSend(msg.edtMsgTxt->TextW()).size());
}
BENCHMARK_CAPTURE(BM_PasteIntoMessageEdit, cyrillic, u'\u0416')
    ->Arg(100)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PasteIntoMessageEdit, ascii, u'a')->Arg(32000)->Unit(benchmark::kMillisecond);

// "dl1abc-7, db0xyz, " and so on: more than half of it is turned to upper case, and the
// blanks, a sixth, are refused.
std::u16string CallListLine(size_t Length) {
  static constexpr char16_t kCalls[] = u"dl1abc-7, db0xyz, ";
  std::u16string line;
  line.reserve(Length);
  while (line.size() < Length) line += kCalls[line.size() % (std::size(kCalls) - 1)];
  return line;
}

void PasteIntoMemo(benchmark::State& state, TMemo& Memo) {
  const std::u16string text = CallListLine(size_t(state.range(0)));
  Clipboard().SetAsBytes(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.data()),
                                                     text.size() * sizeof(char16_t)));
  for (auto _ : state) {
    state.PauseTiming();
    Memo.SetText("");
    state.ResumeTiming();
    SimulateKey(Memo, 'V', "", ssCtrl);
  }
  state.counters["kept_chars"] = double(Memo.TextW().size());
}

void BM_PasteIntoLogFilter(benchmark::State& state) {
  TfrmLog log(nullptr);
  log.mbtnFilter->SetDown(true);
  log.mbtnFilterClick(log.mbtnFilter);
  log.Show();
  PasteIntoMemo(state, *log.memFilter);
}
BENCHMARK(BM_PasteIntoLogFilter)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);

// The same memo without rules: the cost of the paste itself.
void BM_PasteIntoPlainMemo(benchmark::State& state) {
  TForm form(nullptr);
  TMemo memo(&form);
  memo.SetParent(&form);
  memo.SetBounds(4, 4, 276, 76);
  form.Show();
  PasteIntoMemo(state, memo);
}
BENCHMARK(BM_PasteIntoPlainMemo)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
