// Maps of a few KB loaded as the map window loads them, each in a child process of its
// own: how much the process's resident memory grew at its peak, and whether the map was
// taken. A 314-byte arithmetic-coded JPEG claiming 10000 x 10000 pixels (712 MB), a GIF of
// two 4096 x 4096 frames (460 MB), the same animated with two and with five frames (transparent,
// disposing to the background and to the previous picture: 397 and up to 445 MB), a GIF
// whose 5000 x 5000 screen holds a 120 x 80 frame; the shipped 2048 x 1024 world map for
// scale, and the same in 95 scans. Beside them, how long a 4096 x 4096 JPEG whose last
// scan repeats until it has 2,000 takes to be read (refused).
//
// Target: a map costs its own pixels, about 4 bytes each, once; no map of a few KB costs
// more than 300 MB; the world map in 95 scans loads; the repeated scans are refused in
// under a second.
//
// Beside them the calibration of a map whose ".DAT" is 256 MiB (sparse: two corners and a
// name, then NULs), read as the catalogue reads every map's. Target: at most 200 ms of
// CPU and 16 MB of memory.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/map/map_calibration.h"
#include "app/map/map_view.h"
#include "controls/my_msg_dialog.h"
#include "gif/gif_extensions.h"
#include "gif/gif_picture.h"
#include "gif/gif_registration.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/test_support/jpeg_scans.h"
#include "platform/text/streams.h"
#include "platform/text/string_list.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "velmora_map_load_bench";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes Bytes as a map named Name with the world map's calibration beside it.
std::string WriteMap(const std::string& Name, const std::string& Bytes) {
  const std::filesystem::path map = Folder() / Name;
  std::ofstream(map, std::ios::binary) << Bytes;
  std::filesystem::copy_file(std::string(VELMORA_PROGRAM_FOLDER) + "APRS-Karten/Welt.DAT",
                             std::filesystem::path(map).replace_extension(".DAT"),
                             std::filesystem::copy_options::overwrite_existing);
  return map.string();
}

std::string ArithmeticJpegMap() {
  std::string jpeg = ReadFile(VELMORA_TEST_DATA "/jpeg/blocks_arithmetic.jpg");
  const std::size_t frame = jpeg.find("\xFF\xC9");
  jpeg[frame + 5] = jpeg[frame + 7] = char(10000 >> 8);
  jpeg[frame + 6] = jpeg[frame + 8] = char(10000 & 0xFF);
  return WriteMap("arithmetic.jpg", jpeg);
}

// Frames of one colour, Side pixels square, at (Left, Top) of a Screen-sized screen.
// Animated ones, as drawing programs write them, give each frame a graphic control block
// with a delay, a transparent colour and a disposal, the frames taking turns at restoring
// the background and the previous picture.
std::string GifMap(const std::string& Name, int Screen, int Side, int Frames,
                   bool Animated = false) {
  TGIFPicture picture;
  picture.Header.ColorMap.Add(RGB(0, 128, 255));
  picture.Header.ColorMap.Add(RGB(255, 255, 255));
  for (int f = 0; f < Frames; ++f) {
    auto frame = std::make_unique<TGIFSubImage>(&picture);
    frame->SetBounds(0, 0, Side, Side);
    if (Animated) {
      auto control = std::make_unique<TGIFGraphicControlExtension>(frame.get());
      control->Delay = 10;
      control->TransparentColorIndex = 1;
      control->SetTransparent(true);
      control->SetDisposal(f % 2 == 0 ? DisposeBackground : DisposePrevious);
      frame->Extensions.Add(std::move(control));
    }
    picture.Add(std::move(frame));
  }
  picture.SetWidth(Screen);
  picture.SetHeight(Screen);
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return WriteMap(Name, std::string(static_cast<const char*>(stream.Memory()),
                                    static_cast<std::size_t>(stream.Size())));
}

long StatusKilobytes(const char* Field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(Field, 0) == 0) return std::stol(line.substr(std::string(Field).size()));
  return 0;
}

struct TLoadResult {
  long PeakGrowthKb = 0;
  bool Loaded = false;
  double CpuMs = 0;
};

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs Load in a child process, from a fresh peak; a refusal's message box is answered.
TLoadResult LoadInChild(const std::function<bool()>& Load) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
    const long before = StatusKilobytes("VmRSS:");
    QueueCall([] {
      for (int n = 0; n < Screen->FormCount(); ++n)
        if (auto* box = dynamic_cast<TfrmMyMsgDialog*>(Screen->Forms(n)); box && box->Visible())
          box->SetModalResult(mrOk);
    });
    TLoadResult result;
    const double cpu = CpuMs();
    result.Loaded = Load();
    result.CpuMs = CpuMs() - cpu;
    result.PeakGrowthKb = StatusKilobytes("VmHWM:") - before;
    (void)!write(pipe_ends[1], &result, sizeof result);
    _exit(0);
  }
  close(pipe_ends[1]);
  TLoadResult result;
  if (read(pipe_ends[0], &result, sizeof result) != sizeof result) result = {};
  close(pipe_ends[0]);
  waitpid(child, nullptr, 0);
  return result;
}

// Loads the map as the map window does.
TLoadResult LoadInChild(const std::string& Map) {
  return LoadInChild([&Map] {
    TForm form(nullptr);
    TStringList stations;
    TMapView view(&form, &form, stations);
    return view.LoadMap(Map);
  });
}

void LoadEachIteration(benchmark::State& State, const std::string& Map) {
  TLoadResult result;
  for (auto _ : State) result = LoadInChild(Map);
  State.counters["peak_growth_mb"] = double(result.PeakGrowthKb) / 1024;
  State.counters["loaded"] = result.Loaded;
  State.counters["file_kb"] = double(std::filesystem::file_size(Map)) / 1024;
}

// The world map written again without loss in 95 scans, as jpegtran -scans writes it: a
// picture its scans walk some 33 times over, still a map.
std::string ScansJpegMap() {
  const std::string world = ReadFile(std::string(VELMORA_PROGRAM_FOLDER) + "APRS-Karten/Welt.jpg");
  const std::vector<std::uint8_t> scans =
      JpegInScans(std::span(reinterpret_cast<const std::uint8_t*>(world.data()), world.size()), 95);
  return WriteMap("scans.jpg", std::string(scans.begin(), scans.end()));
}

void BM_LoadMap(benchmark::State& State) {
  RegisterGIFFormat();
  static const std::string maps[] = {std::string(VELMORA_PROGRAM_FOLDER) + "APRS-Karten/Welt.jpg",
                                     ArithmeticJpegMap(),
                                     GifMap("two_frames.gif", 4096, 4096, 2),
                                     GifMap("large_screen.gif", 5000, 120, 1),
                                     GifMap("two_animated_frames.gif", 4096, 4096, 2, true),
                                     GifMap("five_animated_frames.gif", 4096, 4096, 5, true),
                                     ScansJpegMap()};
  LoadEachIteration(State, maps[State.range(0)]);
}
// Arguments: the world map, the arithmetic JPEG, the two-frame GIF, the large screen, the
// two and the five animated 4096 x 4096 frames, the world map in 95 scans.
BENCHMARK(BM_LoadMap)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 4096 x 4096 progressive picture whose last scan is given again until it has 2,000
// scans, a few bytes each: every copy a walk over a quarter of its blocks. Read until
// refused (decoding it whole took 25 s).
std::string RepeatedScanJpeg() {
  TBitmap bitmap;
  bitmap.SetSize(4096, 4096);
  bitmap.Canvas().Brush().SetColor(RGB(90, 120, 150));
  bitmap.Canvas().FillRect(Rect(0, 0, 4096, 4096));
  TJPEGImage encoder;
  encoder.Assign(bitmap);
  TMemoryStream stream;
  encoder.SaveToStream(stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  const std::vector<std::uint8_t> scans =
      JpegInScans(std::span(bytes, std::size_t(stream.Size())), 8);
  const std::string file(scans.begin(), scans.end());
  const std::size_t last = file.rfind("\xFF\xDA"), end = file.rfind("\xFF\xD9");
  std::string out = file.substr(0, end);
  for (int copy = 8; copy < 2000; ++copy) out += file.substr(last, end - last);
  return out + file.substr(end);
}

void BM_ReadRepeatedScanJpeg(benchmark::State& State) {
  static const std::string bomb = RepeatedScanJpeg();
  bool refused = false;
  for (auto _ : State) {
    TMemoryStream stream;
    stream.WriteBuffer(bomb.data(), std::int64_t(bomb.size()));
    stream.SetPosition(0);
    TJPEGImage jpeg;
    try {
      jpeg.LoadFromStream(stream);
      refused = false;
    } catch (const EInvalidGraphic&) {
      refused = true;
    }
  }
  State.counters["refused"] = refused;
  State.counters["file_kb"] = double(bomb.size()) / 1024;
}
BENCHMARK(BM_ReadRepeatedScanJpeg)->Unit(benchmark::kMillisecond);

void BM_ReadHugeCalibration(benchmark::State& State) {
  const std::string map = WriteMap("huge_calibration.bmp", "BM");
  const std::string calibration = (Folder() / "huge_calibration.DAT").string();
  std::ofstream(calibration, std::ios::binary) << "52:40.00N/013:05.00E\r\n"
                                                  "52:20.00N/013:45.00E\r\nBerlin\r\n";
  std::filesystem::resize_file(calibration, std::uintmax_t(256) << 20);
  TLoadResult result;
  for (auto _ : State) {
    result = LoadInChild([&map] {
      long double lat_min, lon_min, lon_max, lat_max;
      std::string name;
      return ReadMapCalibration(map, lat_min, lon_min, name, lon_max, lat_max) && name == "Berlin";
    });
  }
  State.counters["cpu_ms"] = result.CpuMs;
  State.counters["peak_growth_mb"] = double(result.PeakGrowthKb) / 1024;
  State.counters["read"] = result.Loaded;
  std::filesystem::remove(calibration);
}
BENCHMARK(BM_ReadHugeCalibration)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
