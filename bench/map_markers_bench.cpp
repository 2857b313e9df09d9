// The map with 5,000 station markers on the shipped 2048 x 1024 world map: a full
// repaint of the map panel into a bitmap, and a single station update (record, place,
// marker moved, repaint of the marker's area on the shown window).
//
// Targets: full repaint under 50 ms, single-station update under 1 ms.
// Run headless: QT_QPA_PLATFORM=offscreen build/.../bench/map_markers_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/map/aprs_symbols.h"
#include "app/map/map_view.h"
#include "app/program/station_views.h"
#include "app/receive/aprs_info.h"
#include "app/stations/station_store.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/sys/application.h"
#include "platform/text/sysutils.h"

#include "bench_support.h"

namespace {

constexpr int kStationCount = 5000;

TAprsInfo Station(int Index, double Lat, double Lon) {
  TAprsInfo info;
  info.SrcCall = "BM" + IntToStr(Index) + "-" + IntToStr(Index % 16);
  info.Key = MakeStationKey("", info.SrcCall);
  info.HasPosition = true;
  info.Lat = Lat;
  info.Lon = Lon;
  info.SymTable = Index % 3 == 0 ? '\\' : '/';
  info.SymCode = static_cast<char>('!' + Index % 90);
  info.Port = Index % 4 == 0 ? -1 : 1;
  info.RxStamp = "261207080000";
  return info;
}

// The map window's part that matters here, with 5,000 stations heard.
struct TLoadedMap {
  TLoadedMap() {
    LoadSymbolSheets(VELMORA_PROGRAM_FOLDER);
    form.SetBounds(0, 0, 2100, 1100);
    view = std::make_unique<TMapView>(&form, &form, store.StationList);
    // The map kept in step with the station store as the program keeps it.
    markers = std::make_unique<TMapStationMarkers>(*view);
    store.SetViews({.Markers = markers.get()});
    // A minute between packets: no update counts as a repeat.
    store.Clock = [this] { return clock += 1.0 / 1440; };
    store.Ticks = [this] { return ticks += 60 * 1000; };
    if (!view->LoadMap(std::string(VELMORA_PROGRAM_FOLDER) + "APRS-Karten/Welt.jpg")) std::abort();
    std::mt19937 random(8);
    std::uniform_real_distribution<double> lat(-80, 80);
    std::uniform_real_distribution<double> lon(-179, 179);
    for (int i = 0; i < kStationCount; ++i) {
      TAprsInfo info = Station(i, lat(random), lon(random));
      store.StationList.Add(StationRecord(info));
      info.Key.clear();  // the store sets it
      infos.push_back(info);
    }
    view->RedrawAllSymbols();
    form.Show();
    Application->ProcessMessages();
  }

  TApplication& app = *Application;
  TForm form{nullptr};
  TStationStore store;
  TDateTime clock = 46000;
  std::uint64_t ticks = 0;
  std::unique_ptr<TMapView> view;
  std::unique_ptr<TMapStationMarkers> markers;
  std::vector<TAprsInfo> infos;
};

void BM_FullRepaint(benchmark::State& state) {
  TLoadedMap& map = SharedBenchState<TLoadedMap>();
  TBitmap bitmap;
  bitmap.SetSize(map.view->pnlCard->Width(), map.view->pnlCard->Height());
  for (auto _ : state) {
    // Everything anew, the composed markers too, as after loading a map.
    map.view->pnlCard->Invalidate();
    PaintTo(*map.view->pnlCard, bitmap.Canvas(), 0, 0);
    benchmark::DoNotOptimize(bitmap.Canvas().Pixels(10, 10));
  }
  state.counters["markers"] = map.view->MarkerCount();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_SingleStationUpdate(benchmark::State& state) {
  TLoadedMap& map = SharedBenchState<TLoadedMap>();
  std::mt19937 random(9);
  std::uniform_int_distribution<int> pick(0, kStationCount - 1);
  std::uniform_real_distribution<double> step(-0.5, 0.5);
  for (auto _ : state) {
    TAprsInfo& info = map.infos[static_cast<size_t>(pick(random))];
    info.Lat += step(random);
    info.Lon += step(random);
    map.store.UpdateStation(info);
    // The event loop paints what changed: the marker's old and new place, the crosshair.
    Application->ProcessMessages();
  }
  state.counters["markers"] = map.view->MarkerCount();
}
BENCHMARK(BM_SingleStationUpdate)->Unit(benchmark::kMicrosecond);

// The marker alone: moved and repainted, the crosshair left where it is. The rest of a
// station update is the crosshair, whose two map-long lines repaint the map beneath
// them at both their old and new places; the markers above are copied composed.
void BM_MarkerOnlyUpdate(benchmark::State& state) {
  TLoadedMap& map = SharedBenchState<TLoadedMap>();
  std::mt19937 random(10);
  std::uniform_int_distribution<int> pick(0, kStationCount - 1);
  std::uniform_int_distribution<int> step(-5, 5);
  Application->ProcessMessages();
  for (auto _ : state) {
    const TAprsInfo& info = map.infos[static_cast<size_t>(pick(random))];
    const std::string key = MakeStationKey("", info.SrcCall);
    int y = 0;
    int x = 0;
    if (!map.view->SymbolPlaces.GetSymbolPlace(key, y, x)) continue;
    y = std::clamp(y + step(random), 0, map.view->Map().MapH);
    x = std::clamp(x + step(random), 0, map.view->Map().MapW);
    map.view->SymbolPlaces.AddSymbolPlace(key, y, x);
    map.view->DrawStationSymbol(key, info.SrcCall, x, y, info.SymTable, info.SymCode, info.Port);
    Application->ProcessMessages();
  }
}
BENCHMARK(BM_MarkerOnlyUpdate)->Unit(benchmark::kMicrosecond);

void BM_RedrawAllSymbols(benchmark::State& state) {
  TLoadedMap& map = SharedBenchState<TLoadedMap>();
  for (auto _ : state) map.view->RedrawAllSymbols();
  state.counters["markers"] = map.view->MarkerCount();
}
BENCHMARK(BM_RedrawAllSymbols)->Unit(benchmark::kMillisecond);

}  // namespace
