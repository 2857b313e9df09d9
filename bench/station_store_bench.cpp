// The receive path under a busy feed: APRS-IS lines in monitor form go through
// AnalysePacket with the monitor (a plain document, no painting) and the station store,
// with 1,000, 10,000 and 50,000 stations already known. Every packet moves its station,
// so none is dropped as a repeat. Reports packets per second, and the bytes the store
// holds per station (records and list; map markers are not part of the store). The same
// path at start-up: 48,000 stations not heard before into an empty store.
//
// The sound a new station plays, read and decoded on the GUI thread: a wave file of 28 KB
// (the largest the program plays) under the bound of a short sound. Target: under 1 ms.
//
// Reading a damaged "Stn.dat" at start: 10,000 stations and a run of a GiB of NULs in
// one line among them. Reports the time and the peak of the resident memory meanwhile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/monitor/station_styles.h"
#include "app/receive/packet_dispatcher.h"
#include "app/stations/station_store.h"
#include "bench_support.h"
#include "core/tnc2_line.h"
#include "platform/io/wave_file.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr int kFeedLength = 8192;

// An own call and a map, so that every packet is dispatched.
class TBenchSettings : public TDispatcherSettings {
 public:
  std::string CallP1() const override { return "N0CALL"; }
  std::string CallP2() const override { return {}; }
  std::string MapFile() const override { return "map.jpg"; }
  bool TcpDigi() const override { return false; }
  bool TcpNoOutData() const override { return false; }
  bool TcpNoMon() const override { return false; }
};
const TBenchSettings kBenchSettings{};

std::string Call(int station) {
  return "N" + std::to_string(station) + "-" + std::to_string(station % 16);
}

std::string Dm(double value, int degree_digits) {
  const long hundredths = std::lround(std::fabs(value) * 6000);
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld%02ld.%02ld", degree_digits, hundredths / 6000,
                hundredths % 6000 / 100, hundredths % 100);
  return text;
}

// An internet packet of a station at a position: plain positions with a comment, some
// with course and speed, some with a time stamp, some from weather stations.
std::unique_ptr<TReceivedPacket> Packet(int station, double lat, double lon, int kind) {
  const std::string position =
      Dm(lat, 2) + (lat >= 0 ? "N" : "S") + "/" + Dm(lon, 3) + (lon >= 0 ? "E" : "W");
  std::string data;
  switch (kind % 4) {
    case 0:
      data = "!" + position + ">mobile 145.500MHz";
      break;
    case 1:
      data = "=" + position + ">088/036/A=000123 on the road";
      break;
    case 2:
      data = "@092345z" + position + "-home station";
      break;
    default:
      data = "!" + position + "_220/004g005t077r000p000P000h50b09900";
      break;
  }
  auto packet = std::make_unique<TReceivedPacket>();
  SplitIsLine(Call(station) + ">APRS,TCPIP*,qAC,T2TEST:" + data, *packet);
  return packet;
}

void BM_AnalysePacket(benchmark::State& state) {
  const int stations = BenchStations(static_cast<int>(state.range(0)));
  TStationStore store;
  TRDStyle sheet;
  MakeMonitorStyles(sheet);
  TRichDoc monitor(nullptr);
  SetUpMonitorViewer(monitor, sheet);
  monitor.SetBounds(0, 0, 800, 150);
  TPacketDispatcher dispatcher(store);
  dispatcher.Monitor = &monitor;
  dispatcher.SetSettings(&kBenchSettings);

  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(-60, 70), lon(-179, 179);
  for (int s = 0; s < stations; ++s)
    dispatcher.AnalysePacket(*Packet(s, lat(random), lon(random), s));
  // A feed that never repeats: a packet used again would be its station's last one,
  // dropped as a repeat.
  std::vector<std::unique_ptr<TReceivedPacket>> feed;
  std::uniform_int_distribution<int> pick(0, stations - 1);
  int kind = 0;
  size_t next = 0;
  for (auto _ : state) {
    if (next == feed.size()) {
      state.PauseTiming();
      feed.clear();
      for (int i = 0; i < kFeedLength; ++i) {
        feed.push_back(Packet(pick(random), lat(random), lon(random), kind++));
      }
      next = 0;
      state.ResumeTiming();
    }
    dispatcher.AnalysePacket(*feed[next++]);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["stations"] = store.StationList.Count();
  state.counters["bytes_per_station"] =
      static_cast<double>(store.StationList.MemoryBytes()) / store.StationList.Count();
}

BENCHMARK(BM_AnalysePacket)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// The start-up burst: an empty store fed as many stations as a wide filter brings within
// seconds of the login, every packet a station not heard before.
void BM_NewStationsBurst(benchmark::State& state) {
  const int stations = BenchStations(static_cast<int>(state.range(0)));
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(-60, 70), lon(-179, 179);
  std::vector<std::unique_ptr<TReceivedPacket>> feed;
  for (int s = 0; s < stations; ++s) feed.push_back(Packet(s, lat(random), lon(random), s));
  TRDStyle sheet;
  MakeMonitorStyles(sheet);
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<TStationStore>();
    auto monitor = std::make_unique<TRichDoc>(nullptr);
    SetUpMonitorViewer(*monitor, sheet);
    monitor->SetBounds(0, 0, 800, 150);
    auto dispatcher = std::make_unique<TPacketDispatcher>(*store);
    dispatcher->Monitor = monitor.get();
    dispatcher->SetSettings(&kBenchSettings);
    state.ResumeTiming();
    for (const auto& packet : feed) dispatcher->AnalysePacket(*packet);
    state.PauseTiming();
    if (store->StationList.Count() != stations) state.SkipWithError("a station was not kept");
    dispatcher.reset();
    store.reset();
    monitor.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * stations);
}

BENCHMARK(BM_NewStationsBurst)->Arg(48000)->Unit(benchmark::kMillisecond);

// One aging tick over all stations (none old enough to go).
void BM_AgeStations(benchmark::State& state) {
  struct TAgingSettings : TStationSettings {
    int StationMaxAgeMinutes() const override { return 60; }
  } settings;
  TStationStore store({.Settings = &settings});
  TRDStyle sheet;
  MakeMonitorStyles(sheet);
  TRichDoc monitor(nullptr);
  SetUpMonitorViewer(monitor, sheet);
  monitor.SetBounds(0, 0, 800, 150);
  TPacketDispatcher dispatcher(store);
  dispatcher.SetSettings(&kBenchSettings);
  const int stations = BenchStations(static_cast<int>(state.range(0)));
  for (int s = 0; s < stations; ++s) dispatcher.AnalysePacket(*Packet(s, 50 + s * 1e-4, 10, s));
  for (auto _ : state) store.AgeStations();
  state.counters["stations"] = store.StationList.Count();
}

BENCHMARK(BM_AgeStations)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// What the interval save of "Stn.dat" costs the GUI thread: the text is taken there,
// the file is written on the saver's own thread. Each round changes one station, so
// every save is written.
void BM_SaveStationsInBackground(benchmark::State& state) {
  TStationStore store;
  TPacketDispatcher dispatcher(store);
  dispatcher.SetSettings(&kBenchSettings);
  const int stations = BenchStations(static_cast<int>(state.range(0)));
  for (int s = 0; s < stations; ++s) dispatcher.AnalysePacket(*Packet(s, 50 + s * 1e-4, 10, s));
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_bench_Stn.dat").string();
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    dispatcher.AnalysePacket(*Packet(0, 40 + (++round % 1000) * 1e-3, 10, 0));
    state.ResumeTiming();
    store.SaveStationsInBackground(file);
  }
  store.SaveStations(file);
  std::filesystem::remove(file);
  state.counters["stations"] = store.StationList.Count();
}

BENCHMARK(BM_SaveStationsInBackground)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// A 16-bit mono wave of 28 KB.
std::string WriteWaveFile() {
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_bench_NewRx.wav").string();
  const uint32_t samples = 28 * 1024 - 44;
  std::string header = "RIFF....WAVEfmt ";
  const auto put = [&header](uint32_t value, int bytes) {
    for (int n = 0; n < bytes; ++n) header += char(value >> (8 * n) & 0xFF);
  };
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(22050, 4);
  put(22050 * 2, 4);
  put(2, 2);
  put(16, 2);
  header += "data";
  put(samples, 4);
  const uint32_t riff = uint32_t(header.size()) - 8 + samples;
  for (int n = 0; n < 4; ++n) header[4 + n] = char(riff >> (8 * n) & 0xFF);
  std::ofstream(file, std::ios::binary) << header << std::string(samples, '\x10');
  return file;
}

void BM_ReadNewStationSound(benchmark::State& state) {
  const std::string file = WriteWaveFile();
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<TWaveFile> wave = ReadWaveFile(file);
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!wave) state.SkipWithError("not read");
    benchmark::DoNotOptimize(wave);
  }
  std::filesystem::remove(file);
  Figures(state, "read", seconds);
}

BENCHMARK(BM_ReadNewStationSound)->Unit(benchmark::kMicrosecond);

double StatusMegabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

void BM_BeginLoadStationsPastDamage(benchmark::State& state) {
  // A GiB of damage; one MiB in the test build's brief run.
  const std::streamsize damage_mib = BenchIterations(int(state.range(0)));
  TStationStore made;
  TPacketDispatcher dispatcher(made);
  dispatcher.SetSettings(&kBenchSettings);
  const int stations = BenchStations(10000);
  for (int s = 0; s < stations; ++s) dispatcher.AnalysePacket(*Packet(s, 50 + s * 1e-4, 10, s));
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_bench_damaged_Stn.dat").string();
  {
    const std::string text = made.StationFileText();
    std::ofstream out(file, std::ios::binary);
    out.write(text.data(), std::streamsize(text.size() / 2));
    out << "\r\n";
    const std::string mib(1 << 20, '\0');
    for (std::streamsize n = 0; n < damage_mib; ++n)
      out.write(mib.data(), std::streamsize(mib.size()));
    out << "\r\n";
    out.write(text.data() + text.size() / 2, std::streamsize(text.size() - text.size() / 2));
  }
  double peak_growth = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TStationStore store;
    // The peak of the resident memory from here on.
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = StatusMegabytes("VmRSS:");
    state.ResumeTiming();
    store.BeginLoadStations(file);
    state.PauseTiming();
    peak_growth = std::max(peak_growth, StatusMegabytes("VmHWM:") - before);
    state.ResumeTiming();
  }
  std::filesystem::remove(file);
  state.counters["peak_growth_mb"] = peak_growth;
  state.counters["file_mb"] = double(damage_mib);
}

BENCHMARK(BM_BeginLoadStationsPastDamage)
    ->Arg(1024)
    ->Iterations(BenchIterations(3))
    ->Unit(benchmark::kMillisecond);

}  // namespace
