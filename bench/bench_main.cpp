// Every benchmark program runs with one application object, as the program does, made
// before any benchmark and freed after the last one (windows, timers and painting need it).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/sys/application.h"

namespace {
std::vector<std::function<void()>>& Cleanups() {
  static std::vector<std::function<void()>> cleanups;
  return cleanups;
}

}  // namespace

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void AtBenchEnd(std::function<void()> Cleanup) {
  Cleanups().push_back(std::move(Cleanup));
}

int BenchStations(int Full) {
  static const bool brief = std::getenv("VELMORA_BENCH_BRIEF") != nullptr;
  return brief ? std::min(Full, 500) : Full;
}

int BenchIterations(int Full) {
  static const bool brief = std::getenv("VELMORA_BENCH_BRIEF") != nullptr;
  return brief ? 1 : Full;
}

void SideBySide(benchmark::State& State, const std::function<void()>& Ours,
                const std::function<void()>& Peer, const std::function<void()>& Prepare) {
  double ours = 0, peer = 0;
  for (auto _ : State) {
    if (Prepare) Prepare();
    const double start = CpuSeconds();
    Ours();
    const double middle = CpuSeconds();
    Peer();
    ours += middle - start;
    peer += CpuSeconds() - middle;
  }
  const double n = double(std::max<benchmark::IterationCount>(1, State.iterations()));
  State.counters["ours_us"] = ours / n * 1e6;
  State.counters["peer_us"] = peer / n * 1e6;
  State.counters["ratio"] = peer > 0 ? ours / peer : 0;
}

void WithMinMax(benchmark::internal::Benchmark* Bench) {
  Bench->ComputeStatistics(
      "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  Bench->ComputeStatistics(
      "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

void Figures(benchmark::State& State, const std::string& Name, std::vector<double> Seconds) {
  if (Seconds.empty()) return;
  std::sort(Seconds.begin(), Seconds.end());
  State.counters[Name + "_min_ms"] = Seconds.front() * 1000;
  State.counters[Name + "_median_ms"] = Seconds[Seconds.size() / 2] * 1000;
  State.counters[Name + "_max_ms"] = Seconds.back() * 1000;
}

long StatusKilobytes(const char* Field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(Field, 0) == 0) return std::stol(line.substr(std::string(Field).size()));
  return 0;
}

long PeakGrowthKilobytes(const std::function<void()>& Work) {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
  const long before = StatusKilobytes("VmRSS:");
  Work();
  return StatusKilobytes("VmHWM:") - before;
}

int main(int argc, char** argv) {
  // The options first: the application takes the user's locale, and in one with a decimal
  // comma "--benchmark_min_time=0.001" would no longer read as a number.
  benchmark::Initialize(&argc, argv);
  TApplication app(argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (auto it = Cleanups().rbegin(); it != Cleanups().rend(); ++it) (*it)();
  return 0;
}
