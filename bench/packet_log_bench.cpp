// Starting a recording that appends to a log, and starting a playback, on logs of 10,
// 100 and 1,000 MB (1 MB in the test build): the time from the click to the first line
// written or played, and the peak memory it took. Logs are recorded for weeks; neither
// may read the whole log, so both figures must stay flat as the log grows.
//
// Targets (Release): under 100 ms and under 100 MB at every size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/receive/packet_log.h"

namespace {

namespace fs = std::filesystem;

// A log of about Megabytes MB, made once per size and removed when the program ends.
std::string LogOf(int Megabytes) {
  static std::map<int, std::string> made;
  static struct TRemover {
    ~TRemover() {
      for (const auto& [size, file] : made) fs::remove(file);
    }
  } remover;
  if (const auto it = made.find(Megabytes); it != made.end()) return it->second;
  const std::string file =
      (fs::temp_directory_path() / ("velmora-bench-" + std::to_string(Megabytes) + "mb.log"))
          .string();
  std::ofstream out(file, std::ios::binary);
  const std::string data(80, 'x');
  const long long bytes = static_cast<long long>(Megabytes) << 20;
  char line[200];
  for (long long written = 0, n = 0; written < bytes; ++n) {
    const long long second = n / 4;
    const int length =
        std::snprintf(line, sizeof line, "2612%02lld%02lld%02lld%02lld:N%lld>APRS:>%s\r\n",
                      1 + second / 86400 % 28, second / 3600 % 24, second / 60 % 60, second % 60,
                      n % 5000, data.c_str());
    out.write(line, length);
    written += length;
  }
  made[Megabytes] = file;
  return file;
}

int LogMegabytes(int Full) {
  return std::getenv("VELMORA_BENCH_BRIEF") ? 1 : Full;
}

// The largest resident size since the last reset, in MB.
double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void ReportPeak(benchmark::State& state, double Before) {
  state.counters["peak_MB"] = PeakMegabytes() - Before;
}

void BM_AppendRecording(benchmark::State& state) {
  const std::string file = LogOf(LogMegabytes(int(state.range(0))));
  const auto size = fs::file_size(file);
  ResetPeak();
  const double before = ResidentMegabytes();
  for (auto _ : state) {
    TPacketRecorder recorder;
    std::string error;
    if (!recorder.Start(file, true, error)) state.SkipWithError(error.c_str());
    recorder.AddLine("261231235959:N0CALL>APRS:>appended");
    recorder.Stop();
  }
  ReportPeak(state, before);
  fs::resize_file(file, size);
}
BENCHMARK(BM_AppendRecording)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_StartPlayback(benchmark::State& state) {
  const std::string file = LogOf(LogMegabytes(int(state.range(0))));
  ResetPeak();
  const double before = ResidentMegabytes();
  for (auto _ : state) {
    TPacketPlayer player;
    int played = 0;
    player.AnalysePacket = [&](const TReceivedPacket&) { ++played; };
    if (!player.Start(file)) state.SkipWithError("not played");
    player.Tick();
    benchmark::DoNotOptimize(played);
  }
  ReportPeak(state, before);
}
BENCHMARK(BM_StartPlayback)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
