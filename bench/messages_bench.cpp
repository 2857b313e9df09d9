// Automatic acknowledgements under a storm of messages with new ids: the messaging window
// answers each while 10,000 or 100,000 answers are remembered, that is with that many
// messages arriving every five seconds (the clock moves on by five seconds over so many
// answers, so the log holds that many throughout). Reports acknowledgements per second;
// the answers go to no TNC and no server.
#include <benchmark/benchmark.h>

#include <string>

#include "app/messages/frm_aprs_msg.h"
#include "bench_support.h"
#include "platform/sys/date_time.h"

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

}  // namespace
