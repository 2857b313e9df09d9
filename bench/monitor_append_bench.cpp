// The monitor under a steady feed: it holds 300 lines (the trim keeps it there) and each
// packet appends a header and a data line in the style pair of its port, laid out by the
// viewer's tail format, the oldest lines trimmed. The cost must not grow with what came
// before: the same packet is measured after 1,000 and after 20,000 packets. And ten received
// lines of 3,949 bytes of UTF-8, of letters or of combining marks on one letter (a stranger's
// packets), appended and painted once: the marks should cost at most 50x the letters.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/monitor/station_styles.h"
#include "bench_support.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

struct Monitor {
  Monitor() : doc(nullptr) {
    MakeMonitorStyles(styles);
    SetUpMonitorViewer(doc, styles);
    doc.SetBounds(0, 0, 800, 150);
  }
  ~Monitor() { doc.SetStyle(nullptr); }
  void Packet(long n) {
    int para = -1;
    AddLogText(&doc,
               "\r\nfm DL1ABC-" + std::to_string(n % 16) + " to APRS via WIDE1-1 ctl UI pid F0",
               msP1Head, para);
    AddLogText(&doc, "\r\n!5230.50N/01320.70E>Packet " + std::to_string(n) + " on its way",
               msP1Data, para);
  }
  TRDStyle styles;
  TRichDoc doc;
};

void BM_AppendPacket(benchmark::State& state) {
  Monitor m;
  long n = 0;
  while (n < state.range(0)) m.Packet(n++);
  for (auto _ : state) m.Packet(n++);
  state.counters["lines"] = double(m.doc.GetLineNumber(m.doc.ItemCount() - 1, 1));
  state.counters["items"] = m.doc.ItemCount();
}
BENCHMARK(BM_AppendPacket)->Arg(1000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// range(0) 0: letters; 1: a letter and combining marks (two bytes each in UTF-8).
void BM_AppendLongReceivedLines(benchmark::State& state) {
  std::string line;
  if (state.range(0) == 0) {
    while (line.size() < 3949) line += char('a' + line.size() % 26);
  } else {
    line = "a";
    for (int i = 0; line.size() + 2 <= 3949; ++i) {
      const int mark = 0x0300 + i % 0x70;
      line += char(0xC0 | (mark >> 6));
      line += char(0x80 | (mark & 0x3F));
    }
  }
  const std::vector<TLogLine> lines(10, TLogLine{line, msP1Data, true});
  TBitmap target;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<Monitor>();
    target.SetSize(m->doc.Width(), m->doc.Height());
    state.ResumeTiming();
    AddLogLines(&m->doc, lines);
    PaintTo(m->doc, target.Canvas(), 0, 0);
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  state.counters["bytes"] = double(line.size());
}
BENCHMARK(BM_AppendLongReceivedLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
