// The APRS-IS reader under a backlog: a server that has queued N lines at once (a
// reconnect to a full feed, a burst after a stall) and the reader handing every one of
// them to the GUI thread, which here only counts them.
//
//   Backlog/N   lines handed over per second, for N = 10,000, 100,000 and 300,000
//
// The lines waiting for their hand-over are taken from the front one by one while the
// rest wait: the cost per line must not grow with the backlog, so the rate at 300,000
// lines is that at 10,000.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "bench_support.h"
#include "core/aprs_is_reader.h"
#include "platform/sys/thread.h"
#include "platform/test_support/loopback_tcp_server.h"

namespace {

struct TCountingViews : TAprsIsReaderViews {
  long lines = 0;
  void AnalysePacket(const TReceivedPacket&) override { ++lines; }
  bool IgSeen() const override { return true; }  // no monitor echo
};

// Runs the reader's hand-overs on this thread until Count lines came (false when the
// reader stalls for good).
bool HandOverUntil(const TCountingViews& views, long count) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(5);
  while (views.lines < count) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    TThread::CheckSynchronize();
  }
  return true;
}

void Backlog(benchmark::State& state) {
  const long count = BenchStations(static_cast<int>(state.range(0)));
  std::string backlog;
  for (long i = 0; i < count; ++i)
    backlog += "N" + std::to_string(i % 100000) + ">APRS,TCPIP*,qAC,T2TEST:>status " +
               std::to_string(i) + "\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    TLoopbackTcpServer server;
    TTcpClient client;
    TCountingViews views;
    TCPTheard reader(client, "127.0.0.1", server.Port(), views, 1);
    while (!server.Accept(5)) TThread::CheckSynchronize();
    // The server writes from a thread of its own, as a real one would while we read.
    std::thread feed([&] { server.Send(backlog); });
    state.ResumeTiming();
    if (!HandOverUntil(views, count)) state.SkipWithError("the reader stalled");
    state.PauseTiming();
    feed.join();
    reader.Stop();
    state.ResumeTiming();
  }
  state.counters["lines/s"] =
      benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(Backlog)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
