// The station list window under a busy feed: 50,000 stations in the list, each update
// a station heard again (newest time, so it moves to the top of the default sort).
// Measures one update in place (AddOrUpdateStationRow on a known station) and one
// replacement as the station store does it (DeleteStationRow, then the row added anew),
// a full paint of the rows the window shows, sorting all rows by another column, and a
// typed look-up that walks every row.
//
// Targets (Release): an update under 50 us, a paint under 5 ms, a sort under 100 ms, a
// look-up under 20 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/station_store.h"
#include "bench_support.h"
#include "core/locator.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/application.h"

namespace {

const int kStations = BenchStations(50000);

// "yymmddhhnnss" of second N after 2026-01-01 00:00:00 (within a day of 86,400 seconds
// per day, 28 days a month).
std::string Stamp(long N) {
  char text[40];
  const long day = N / 86400;
  const long second = N % 86400;
  std::snprintf(text, sizeof text, "26%02ld%02ld%02ld%02ld%02ld", 1 + day / 28 % 12, 1 + day % 28,
                second / 3600, second / 60 % 60, second % 60);
  return text;
}

std::string Call(int Station) {
  char text[24];
  std::snprintf(text, sizeof text, "N%d-%d", Station, Station % 16);
  return text;
}

std::string Record(int Station, long Second) {
  TAprsInfo info;
  info.SrcCall = Call(Station);
  info.Key = MakeStationKey("", info.SrcCall);
  info.HasPosition = true;
  info.Lat = 48.0 + (Station % 1000) * 0.01;
  info.Lon = 8.0 + (Station / 1000) * 0.01;
  info.SymTable = '/';
  info.SymCode = '>';
  info.PosFormat = 'A';
  info.RxStamp = Stamp(Second);
  info.Comment = "Comment of station " + Call(Station);
  info.HeardVia = "DB0ABC";
  return StationRecord(info);
}

struct ListFixture {
  ListFixture() : owner(nullptr), list(new TfrmAprsStnList(&owner)) {
    list->QrbDistance = [](double lat, double lon) {
      double distance = 0;
      double bearing = 0;
      DistanceBearing(distance, bearing, 8.5, 48.5, lon, lat);
      return distance;
    };
    TStationList stations;
    std::vector<std::string> lines;
    for (int s = 0; s < kStations; ++s) lines.push_back(Record(s, s));
    stations.Assign(std::move(lines));
    list->FillStationList(stations);
  }
  TComponent owner;
  TfrmAprsStnList* list;
};

void BM_UpdateRowAt50000(benchmark::State& state) {
  ListFixture fixture;
  // Records made beforehand: only the list's work is timed.
  std::vector<std::string> updates;
  long second = kStations;
  for (int i = 0; i < 4096; ++i) updates.push_back(Record((i * 7919) % kStations, second++));
  size_t next = 0;
  for (auto _ : state) {
    fixture.list->AddOrUpdateStationRow(updates[next]);
    if (++next == updates.size()) {
      state.PauseTiming();
      for (std::string& line : updates) line = Record(std::rand() % kStations, second++);
      next = 0;
      state.ResumeTiming();
    }
  }
  state.counters["rows"] = fixture.list->Group()->GetCount();
}
BENCHMARK(BM_UpdateRowAt50000)->Unit(benchmark::kMicrosecond);

void BM_ReplaceRowAt50000(benchmark::State& state) {
  ListFixture fixture;
  std::vector<std::string> updates;
  std::vector<std::string> keys;
  long second = kStations;
  for (int i = 0; i < 4096; ++i) {
    const int station = (i * 7919) % kStations;
    updates.push_back(Record(station, second++));
    keys.push_back(MakeStationKey("", Call(station)));
  }
  size_t next = 0;
  for (auto _ : state) {
    fixture.list->DeleteStationRow(keys[next]);
    fixture.list->AddOrUpdateStationRow(updates[next]);
    if (++next == updates.size()) next = 0;
  }
  state.counters["rows"] = fixture.list->Group()->GetCount();
}
BENCHMARK(BM_ReplaceRowAt50000)->Unit(benchmark::kMicrosecond);

// The rows in the middle of the list, painted as the window shows them.
void BM_RepaintVisibleRowsAt50000(benchmark::State& state) {
  ListFixture fixture;
  TSectionGroupedList& rows = fixture.list->ExSectionList1->Engine();
  rows.SetTopPosition(rows.TotalHeight() / 2);
  TBitmap bitmap;
  bitmap.SetSize(rows.Width(), rows.Height());
  for (auto _ : state) PaintTo(rows, bitmap.Canvas(), 0, 0);
  state.counters["rows"] = rows.ClientHeight() / rows.ItemHeight();
}
BENCHMARK(BM_RepaintVisibleRowsAt50000)->Unit(benchmark::kMillisecond);

// Every row sorted anew: by station, then back by time, one sort per iteration.
void BM_SortAt50000(benchmark::State& state) {
  ListFixture fixture;
  TExSectionList& list = *fixture.list->ExSectionList1;
  int column = 2;
  for (auto _ : state) {
    list.SortSettings.SetColumn(column);
    column = column == 2 ? 7 : 2;
  }
  state.counters["rows"] = fixture.list->Group()->GetCount();
}
BENCHMARK(BM_SortAt50000)->Unit(benchmark::kMillisecond);

// Type-ahead on the station column that finds nothing: every row's cell read as shown
// (UTF-8 or Windows-1252) and compared upper-cased, one walk per typed prefix.
void BM_LookUpWithoutMatchAt50000(benchmark::State& state) {
  ListFixture fixture;
  TExSectionList& list = *fixture.list->ExSectionList1;
  for (auto _ : state) list.LookUpItem(u"\u03A9\u00DC", 2);
  state.counters["rows"] = fixture.list->Group()->GetCount();
}
BENCHMARK(BM_LookUpWithoutMatchAt50000)->Unit(benchmark::kMillisecond);

}  // namespace
