// Starting a recording that appends to a log, and starting a playback, on logs of 10,
// 100 and 1,000 MB (1 MB in the test build): the time from the click to the first line
// written or played, and the peak memory it took. Logs are recorded for weeks; neither
// may read the whole log, so both figures must stay flat as the log grows.
//
// Playing logs of a shape no recorder writes (made sparse): a line of 1 GiB between
// packets, 20 GiB without a line break, and the same after one packet (4 and 8 MiB in the
// test build): the longest the window waits on one step of the playback, its start or
// one tick, in ms (longest_step_ms, and of it the processor time, longest_step_cpu_ms, the
// rest being other programs' turns; min, median and max over the repetitions).
//
// Recording a feed faster than the flushes (BM_RecordFastFeed, below): every line kept.
//
// Targets (Release): under 100 ms and under 100 MB at every size; every step under 100 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/receive/packet_log.h"
#include "bench_support.h"

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

enum TLogShape { kLongLineBetweenPackets, kNoLineBreak, kNoLineBreakAfterAPacket };

// A sparse log of that shape, made once per shape and removed when the program ends.
std::string OverlongLog(int Shape) {
  static std::map<int, std::string> made;
  static struct TRemover {
    ~TRemover() {
      for (const auto& [shape, file] : made) fs::remove(file);
    }
  } remover;
  if (const auto it = made.find(Shape); it != made.end()) return it->second;
  const bool brief = std::getenv("VELMORA_BENCH_BRIEF") != nullptr;
  const std::uintmax_t line_bytes = brief ? 4u << 20 : 1u << 30;
  const std::uintmax_t unbroken_bytes = brief ? 8u << 20 : std::uintmax_t(20) << 30;
  const std::string file =
      (fs::temp_directory_path() / ("velmora-bench-shape-" + std::to_string(Shape) + ".log"))
          .string();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (Shape != kNoLineBreak) out << "261201120000:A>APRS:>first\r\n";
    out << "261201120000:B>APRS:>";
  }
  fs::resize_file(
      file, fs::file_size(file) + (Shape == kLongLineBetweenPackets ? line_bytes : unbroken_bytes));
  if (Shape == kLongLineBetweenPackets) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << "\r\n261201120000:C>APRS:>after\r\n261201120100:D>APRS:>last\r\n";
  }
  made[Shape] = file;
  return file;
}

void BM_PlayOverlongLines(benchmark::State& state) {
  const std::string file = OverlongLog(int(state.range(0)));
  double longest_ms = 0;
  double longest_cpu_ms = 0;
  int played = 0;
  const auto timed = [&](const auto& Step) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    Step();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    longest_ms = std::max(longest_ms, took.count());
    longest_cpu_ms =
        std::max(longest_cpu_ms, 1000.0 * double(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  };
  for (auto _ : state) {
    TPacketPlayer player;
    player.AnalysePacket = [&](const TReceivedPacket&) { ++played; };
    timed([&] { player.Start(file); });
    while (player.Playing()) timed([&] { player.Tick(); });
  }
  state.counters["longest_step_ms"] = longest_ms;
  state.counters["longest_step_cpu_ms"] = longest_cpu_ms;
  state.counters["played"] = played;
}
BENCHMARK(BM_PlayOverlongLines)
    ->Arg(kLongLineBetweenPackets)
    ->Arg(kNoLineBreak)
    ->Arg(kNoLineBreakAfterAPacket)
    ->Iterations(1)
    ->Repetitions(5)
    ->Apply(WithMinMax)
    ->Unit(benchmark::kMillisecond);

// A feed faster than the flushes: 600 lines of 513 bytes a second for 25 seconds of
// one-second ticks, twice what waits between two flushes. Every line must reach the log
// (lines_in_log 15,000) with no loss told (losses_told 0); the time is that of the whole
// feed, and longest_step_ms the longest the window waits on one line or tick.
void BM_RecordFastFeed(benchmark::State& state) {
  const std::string file = (fs::temp_directory_path() / "velmora-bench-fast-feed.log").string();
  constexpr int kSeconds = 25, kLinesPerSecond = 600;
  const std::string data(485, 'x');  // lines of 513 bytes in the file
  char stamp[32];
  double longest_ms = 0;
  long lines_in_log = 0;
  int losses_told = 0;
  for (auto _ : state) {
    fs::remove(file);
    TPacketRecorder recorder;
    recorder.OnLinesLost = [&](int) { ++losses_told; };
    std::string error;
    if (!recorder.Start(file, false, error)) state.SkipWithError(error.c_str());
    const auto timed = [&](const auto& Step) {
      const auto start = std::chrono::steady_clock::now();
      Step();
      const std::chrono::duration<double, std::milli> took =
          std::chrono::steady_clock::now() - start;
      longest_ms = std::max(longest_ms, took.count());
    };
    for (int second = 0; second < kSeconds; ++second) {
      std::snprintf(stamp, sizeof stamp, "2612011200%02d:", second);
      for (int n = 0; n < kLinesPerSecond; ++n) {
        const std::string line =
            stamp + ("N" + std::to_string(10000 + second * kLinesPerSecond + n)) + ">APRS:>" + data;
        timed([&] { recorder.AddLine(line); });
      }
      timed([&] { recorder.FlushTick(); });
    }
    recorder.Stop();
    state.PauseTiming();
    std::ifstream in(file, std::ios::binary);
    lines_in_log = 0;
    for (std::string line; std::getline(in, line);) ++lines_in_log;
    state.ResumeTiming();
  }
  fs::remove(file);
  state.counters["lines_in_log"] = double(lines_in_log);
  state.counters["losses_told"] = losses_told;
  state.counters["longest_step_ms"] = longest_ms;
  if (lines_in_log != kSeconds * kLinesPerSecond || losses_told > 0)
    state.SkipWithError("lines lost");
}
BENCHMARK(BM_RecordFastFeed)
    ->Iterations(1)
    ->Repetitions(5)
    ->Apply(WithMinMax)
    ->Unit(benchmark::kMillisecond);

}  // namespace
