// The NMEA decoder fed crafted GSV sentences: each with a last field the decoder has not
// seen before (as signal ids), or from a talker it has not heard before. Every sentence
// must cost the same however many came before (time per sentence flat from 20,000 to
// 100,000), and the decoder must not grow (resident memory after the run, beside the
// figures).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "devices/nmea_dec.h"

namespace {

std::string WithChecksum(const std::string& Body) {
  unsigned char sum = 0;
  for (char c : Body) sum ^= static_cast<unsigned char>(c);
  static const char* const kHex = "0123456789ABCDEF";
  return "$" + Body + "*" + kHex[sum >> 4] + kHex[sum & 15] + "\r\n";
}

// Sentence i: a distinct last field, or a distinct talker of two capitals.
std::string Sentence(long Index, bool DistinctTalker) {
  if (DistinctTalker) {
    const char talker[] = {char('A' + Index / 26 % 26), char('A' + Index % 26), 0};
    return WithChecksum(std::string(talker) + "GSV,1,1,01,07,40,120,35,1");
  }
  return WithChecksum("GPGSV,1,1,01,07,40,120,35," + std::to_string(Index));
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "VmRSS:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return 0;
}

void Feed(benchmark::State& state, bool DistinctTalker) {
  const long count = BenchStations(static_cast<int>(state.range(0)));
  std::vector<std::string> sentences;
  sentences.reserve(std::size_t(count));
  for (long i = 0; i < count; ++i) sentences.push_back(Sentence(i, DistinctTalker));
  const long before = ResidentKiB();
  for (auto _ : state) {
    TNmeaDec decoder;
    for (const std::string& s : sentences) decoder.FeedNmeaText(s);
    benchmark::DoNotOptimize(decoder.GSV.InView);
  }
  state.SetItemsProcessed(std::int64_t(count) * std::int64_t(state.iterations()));
  state.counters["rss_growth_KiB"] = double(ResidentKiB() - before);
}

void BM_GsvDistinctLastFields(benchmark::State& state) {
  Feed(state, false);
}
void BM_GsvDistinctTalkers(benchmark::State& state) {
  Feed(state, true);
}

}  // namespace

BENCHMARK(BM_GsvDistinctLastFields)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GsvDistinctTalkers)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
