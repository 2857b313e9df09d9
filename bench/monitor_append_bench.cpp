// The monitor under a steady feed: it holds 300 lines (the trim keeps it there) and each
// packet appends a header and a data line in the style pair of its port, laid out by the
// viewer's tail format, the oldest lines trimmed. The cost must not grow with what came
// before: the same packet is measured after 1,000 and after 20,000 packets.
#include <benchmark/benchmark.h>

#include <string>

#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/monitor/station_styles.h"
#include "bench_support.h"
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

}  // namespace
