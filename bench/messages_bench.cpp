// Automatic acknowledgements under a storm of messages with new ids: the messaging window
// answers each while 10,000 or 100,000 answers are remembered, that is with that many
// messages arriving every five seconds (the clock moves on by five seconds over so many
// answers, so the log holds that many throughout). Reports acknowledgements per second;
// the answers go to no TNC and no server.
//
// A flood of distinct messages from other stations, as a full feed brings them all day:
// each is listed in the monitor list, those to ALL also in the group list. Reports
// messages per second, the entries the lists hold, and the growth of the resident
// memory from the first 50,000 messages to the end (the lists are bounded: it stays
// flat however many come).
//
// One message heard again and again, each time via a station not heard before, against
// as many distinct messages: 2,000 of them timed after 0 or 14,000 of the same kind
// (the 2,000 after 16,000). A repeat should cost what a new message costs, and neither
// more as the run goes on.
//
// One message list of a bound of 1,000, 3,000 or 10,000 entries holding that many:
// what a new message costs while the list is below its bound and once it is full (the
// oldest leave as the newest come). Both should cost the same, whatever the bound.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "app/messages/frm_aprs_msg.h"
#include "app/messages/msg_lists.h"
#include "app/monitor/station_styles.h"
#include "bench_support.h"
#include "platform/sys/date_time.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

class TBenchCalls : public TOwnCalls {
 public:
  std::string Call(int) const override { return "N0CALL"; }
  std::string Path(int) const override { return "APRS,WIDE1-1"; }
};

// A message id of up to five letters and digits for every number below 36^5.
std::string Id(int number) {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string id;
  do {
    id.insert(id.begin(), kDigits[number % 36]);
    number /= 36;
  } while (number > 0);
  return "{" + id;
}

void BM_AcknowledgeNewIds(benchmark::State& state) {
  const int logged = BenchStations(int(state.range(0)));
  TBenchCalls calls;
  TfrmAprsMsg msg(nullptr);
  msg.OwnCalls = &calls;
  msg.Kiss = nullptr;
  TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0, 0);
  msg.Clock = [&now] { return now; };
  const TDateTime step = kAckRepeatAge / logged;
  int number = 0;
  for (; number < logged; ++number, now += step) msg.SendAck("DL1ABC", "N0CALL", Id(number), 1);
  for (auto _ : state) {
    msg.SendAck("DL1ABC", "N0CALL", Id(number++), 1);
    now += step;
  }
  state.counters["acks_per_second"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["logged"] = msg.AckLog.Count();
}
BENCHMARK(BM_AcknowledgeNewIds)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

// Message n of the flood: from one of 5,000 stations, every tenth to ALL, numbered.
TAprsInfo FloodMessage(int n) {
  TAprsInfo info;
  info.SrcCall = "DL" + std::to_string(n % 5000) + "ABC";
  info.HeardVia = "T2TEST";
  info.Port = -1;
  const std::string to = n % 10 == 0 ? "ALL" : "OE" + std::to_string(n % 777) + "XY";
  info.Data = ":" + to + std::string(9 - to.size(), ' ') + ":Meet at the hamfest, message " +
              std::to_string(n) + Id(n % 60000);
  return info;
}

void BM_MessageFlood(benchmark::State& state) {
  const int before = BenchStations(50000);
  TBenchCalls calls;
  TfrmAprsMsg msg(nullptr);
  msg.OwnCalls = &calls;
  msg.Kiss = nullptr;
  int n = 0;
  for (; n < before; ++n) msg.HandleRxMessage(FloodMessage(n));
  const double start_mb = ResidentMegabytes();
  for (auto _ : state) msg.HandleRxMessage(FloodMessage(n++));
  state.counters["messages_per_second"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["monitor_entries"] = msg.rdMonitor->ItemCount() / kMsgEntryItems;
  state.counters["group_entries"] = msg.rdGroupMsg->ItemCount() / kMsgEntryItems;
  state.counters["messages"] = n;
  state.counters["growth_mb"] = ResidentMegabytes() - start_mb;
}
BENCHMARK(BM_MessageFlood)->Iterations(BenchIterations(150000))->Unit(benchmark::kMicrosecond);

// Arg(0) messages of the kind before the timed ones; Arg(1) 1: the one message
// repeated, 0: distinct messages.
void BM_MessageRepeats(benchmark::State& state) {
  const int before = state.range(0) == 0 ? 0 : BenchStations(int(state.range(0)));
  const bool repeated = state.range(1) != 0;
  TBenchCalls calls;
  TfrmAprsMsg msg(nullptr);
  msg.OwnCalls = &calls;
  msg.Kiss = nullptr;
  int n = 0;
  auto next = [&] {
    TAprsInfo info = FloodMessage(n);
    if (repeated) {
      info.SrcCall = "DL1ABC";
      info.Data = ":OE1XY    :Meet at the hamfest{42";
    }
    info.HeardVia = "D" + std::to_string(n) + "X";
    ++n;
    return info;
  };
  while (n < before) msg.HandleRxMessage(next());
  for (auto _ : state) msg.HandleRxMessage(next());
  state.counters["monitor_entries"] = msg.rdMonitor->ItemCount() / kMsgEntryItems;
}
BENCHMARK(BM_MessageRepeats)
    ->ArgsProduct({{0, 14000}, {0, 1}})
    ->Iterations(BenchIterations(2000))
    ->Unit(benchmark::kMicrosecond);

// The list is filled with Arg(0) entries; Arg(1) 1: that is its bound, so that every
// message that comes makes room; 0: its bound lies beyond what the run adds.
void BM_MessageList(benchmark::State& state) {
  const int entries = BenchStations(int(state.range(0)));
  const bool full = state.range(1) != 0;
  const int below_runs = BenchIterations(1000);
  TRDStyle style;
  MakeMessageStyles(style);
  TRichDoc viewer(nullptr);
  SetUpMessageViewer(viewer, style);
  viewer.SetBounds(0, 0, 560, 270);
  {
    TMsgList list(viewer, full ? entries : entries + below_runs + 1);
    int n = 0;
    auto add = [&] {
      const TAprsInfo info = FloodMessage(n);
      list.AddOrUpdate(info.SrcCall, "ALL", true, -1, Id(n % 60000), info.Data, "T2TEST");
      ++n;
    };
    while (n < entries) add();
    for (auto _ : state) add();
    state.counters["entries"] = viewer.ItemCount() / kMsgEntryItems;
  }
  viewer.ClearDocument();
  viewer.SetStyle(nullptr);
}
BENCHMARK(BM_MessageList)
    ->ArgsProduct({{1000, 3000, 10000}, {0}})
    ->Iterations(BenchIterations(1000))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MessageList)
    ->ArgsProduct({{1000, 3000, 10000}, {1}})
    ->Iterations(BenchIterations(30000))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
