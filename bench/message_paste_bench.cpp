// Pasting a long text into the message edit of the messaging window: 32,000 Cyrillic
// letters (two bytes each on the air), 32,000 ASCII letters, and 100 Cyrillic letters.
// The edit keeps what fits in a message's 67 bytes, and the window answers again once
// the paste is done: each run is the whole paste, as long as the window does not answer.
//
// Counters: the bytes kept. Target (Release): under 1 s for 32,000 letters (a limit that
// dropped one letter at a time and encoded the whole text again each time took 15.6 s).
#include <benchmark/benchmark.h>

#include <string>

#include "app/messages/frm_aprs_msg.h"
#include "bench_support.h"
#include "platform/gui/standard/clipboard.h"
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

}  // namespace
