// Storing a language file's lines in the sorted line list, as loading it does: a file of
// N component lines (every tenth line a duplicate of another) for N from 1,000 to
// 1,000,000 (a few hundred in the test build). The time per line must stay flat as N grows (n log
// n, not n squared: a 20 MB file once blocked start-up for ten seconds).
//
// Target (Release): under 2 us per line at every N.
#include <benchmark/benchmark.h>

#include <string>

#include "app/language/speak_file.h"
#include "bench_support.h"
#include "platform/text/string_list.h"

namespace {

void FillLines(TStringList& lines, int Count) {
  for (int n = 0; n < Count; ++n) {
    const long long form = (n % 10 == 0 ? n / 2 : n) * 7919LL % Count;
    lines.Add("\"frmForm" + std::to_string(form) + "\";\"lblLabel\";\"TLABEL\";\"Caption " +
              std::to_string(n) + "\";\"\"");
  }
}

void BM_StoreSpeakLines(benchmark::State& state) {
  TStringList lines;
  FillLines(lines, int(state.range(0)));
  TStringList stored;
  stored.SetSorted(true);
  stored.SetDuplicates(dupAccept);
  for (auto _ : state) {
    StoreSpeakLines(lines, stored);
    benchmark::DoNotOptimize(stored.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StoreSpeakLines)
    ->RangeMultiplier(10)
    ->Range(BenchStations(1000), BenchStations(1000000))
    ->Unit(benchmark::kMillisecond);

}  // namespace
