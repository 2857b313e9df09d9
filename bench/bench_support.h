// For benchmark programs: state made once for several benchmarks (a loaded map, a
// window) must go before the application object does; AtBenchEnd runs Cleanup then.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

void AtBenchEnd(std::function<void()> Cleanup);

// The one T that several benchmarks share, made on first use and freed at the end.
template <class T>
T& SharedBenchState() {
  static T* made = [] {
    auto* state = new T;
    AtBenchEnd([state] { delete state; });
    return state;
  }();
  return *made;
}

// How many stations a benchmark fills in: Full for its figures; in the test build, which
// runs every benchmark once only to see that it still runs to its end, a few hundred.
int BenchStations(int Full);
// How many times a benchmark that sets its own count of runs repeats: Full for its
// figures; once in the test build.
int BenchIterations(int Full);

// CPU time of this thread, in seconds.
double CpuSeconds();

// Times Ours and Peer (the same work done by a peer program or library) one after the
// other in every iteration, in CPU time of this thread, and reports each ("ours_us",
// "peer_us") and their ratio: two figures of one run, taken under the same load. Prepare,
// when given, runs untimed before each iteration (a fresh document to lay out).
void SideBySide(benchmark::State& State, const std::function<void()>& Ours,
                const std::function<void()>& Peer, const std::function<void()>& Prepare = {});

// Seconds as counters Name_min_ms, Name_median_ms and Name_max_ms.
void Figures(benchmark::State& State, const std::string& Name, std::vector<double> Seconds);

// Min and max beside mean, median and stddev of a benchmark's repetitions:
// BENCHMARK(...)->Repetitions(5)->Apply(WithMinMax).
void WithMinMax(benchmark::internal::Benchmark* Bench);

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), 0 when absent.
long StatusKilobytes(const char* Field);
// The growth of the peak resident memory while Work runs (what earlier work freed is
// given back to the system first).
long PeakGrowthKilobytes(const std::function<void()>& Work);
