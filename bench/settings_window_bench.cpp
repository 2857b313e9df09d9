// Opening the settings window, which lists the language files of the Speak folder, with
// a stray 300 MB ".spk" beside the shipped ones (a download gone wrong, a file renamed
// by mistake). Each opening reads what it needs of every file to offer the valid ones.
//
// Counters: the languages offered; the growth of the peak RSS over all openings.
// Target (Release): an opening under 50 ms, the stray file costing no memory (a file
// read whole took 10 s and 1.3 GB per opening).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/program/program.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/app_folders.h"
#include "bench_support.h"
#include "platform/sys/application.h"

namespace {

namespace fs = std::filesystem;

long PeakRssBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) * 1024;
  return 0;
}

// The program folder with the shipped files and a Speak folder of its own that holds
// the shipped languages and the stray file (of Megabytes size, sparse: it costs no disk).
class TSpeakFolder {
 public:
  explicit TSpeakFolder(long Megabytes) {
    std::random_device random;
    base_ = fs::temp_directory_path() / ("velmora-bench-" + std::to_string(random()));
    fs::create_directories(base_ / "prg" / "Speak");
    fs::create_directories(base_ / "config");
    for (const fs::directory_entry& entry : fs::directory_iterator(VELMORA_PROGRAM_FOLDER)) {
      const std::string name = entry.path().filename().string();
      if (name == "Stn.dat" || name == "Speak") continue;
      fs::create_symlink(entry.path(), base_ / "prg" / name);
    }
    for (const char* name : {"deutsch.spk", "english.spk"})
      fs::create_symlink(fs::path(VELMORA_PROGRAM_FOLDER) / "Speak" / name,
                         base_ / "prg" / "Speak" / name);
    const fs::path stray = base_ / "prg" / "Speak" / "stray.spk";
    std::ofstream(stray.string()).put('x');
    fs::resize_file(stray, static_cast<std::uintmax_t>(Megabytes) << 20);
    setenv("XDG_CONFIG_HOME", (base_ / "config").c_str(), 1);
    SetPrgDir((base_ / "prg").string());
    SpkDir = PrgDir() + "Speak/";
  }
  ~TSpeakFolder() {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

 private:
  fs::path base_;
};

void BM_OpenSettingsWithAStrayLanguageFile(benchmark::State& state) {
  // In the test build a few megabytes: enough to see that the run ends.
  const long megabytes = std::max(3L, long(BenchStations(300000)) / 1000);
  TSpeakFolder folder(megabytes);
  auto owner = std::make_unique<TProgramWindows>();
  CreateWindows(*owner);
  const long before = PeakRssBytes();
  for (auto _ : state) {
    frmSetup->Show();
    frmSetup->Hide();
  }
  state.counters["stray_mb"] = double(megabytes);
  state.counters["languages"] = frmSetup->mfcbxSpk->Items().Count();
  state.counters["peak_growth_mb"] = double(std::max(0L, PeakRssBytes() - before)) / (1 << 20);
  owner.reset();
  Application->ProcessMessages();
}
BENCHMARK(BM_OpenSettingsWithAStrayLanguageFile)->Unit(benchmark::kMillisecond);

}  // namespace
