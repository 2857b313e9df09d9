// GIF speed: decoding a 2048 x 1024 map and a 100-frame animation, and encoding the
// map and single 16x16 and 64x64 frames, in megapixels per second ("Mpix/s"). The same
// files are written to the temporary folder so that giflib's gif2rgb can be timed on
// them for comparison; where giflib's library is installed, its encoder writes the same
// map beside ours.
//
// Target (Release): our map encoding at least as fast as giflib's, with the same image
// data (the giflib run fails when the two differ). Files of 10,000 to 160,000 one-pixel
// frames or comment blocks read in time linear in their blocks, as giflib reads them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "gif/gif_picture.h"
#ifdef VELMORA_WITH_GIFLIB
#include <gif_lib.h>
#endif
#include "platform/text/streams.h"

namespace {

// A map-like picture: smooth areas with edges, 256 colours.
std::string MakeGif(int Width, int Height, int Frames) {
  TGIFPicture picture;
  for (int i = 0; i < 256; ++i) picture.Header.ColorMap.Add(RGB(i, (i * 7) & 0xFF, 255 - i));
  for (int f = 0; f < Frames; ++f) {
    auto frame = std::make_unique<TGIFSubImage>(&picture);
    frame->SetBounds(0, 0, Width, Height);
    for (int y = 0; y < Height; ++y) {
      std::uint8_t* row = frame->Scanline(y);
      for (int x = 0; x < Width; ++x) {
        const double v =
            std::sin((x + f * 3) / 37.0) * std::cos(y / 23.0) + ((x / 64 + y / 64) % 2) * 0.5;
        row[x] = static_cast<std::uint8_t>(static_cast<int>((v + 1.5) * 85) & 0xFF);
      }
    }
    picture.Add(std::move(frame));
  }
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()),
                     static_cast<std::size_t>(stream.Size()));
}

void Decode(benchmark::State& State, const std::string& Gif, const char* Name, double Pixels) {
  std::ofstream(std::filesystem::temp_directory_path() / Name, std::ios::binary) << Gif;
  TMemoryStream stream;
  stream.WriteBuffer(Gif.data(), static_cast<int64_t>(Gif.size()));
  for (auto _ : State) {
    stream.SetPosition(0);
    TGIFPicture picture;
    picture.LoadFromStream(stream);
    benchmark::DoNotOptimize(picture.Images.Count());
  }
  State.counters["Mpix/s"] =
      benchmark::Counter(Pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DecodeMap2048x1024(benchmark::State& State) {
  static const std::string gif = MakeGif(2048, 1024, 1);
  Decode(State, gif, "velmora_map_2048x1024.gif", 2048.0 * 1024);
}
BENCHMARK(BM_DecodeMap2048x1024)->Unit(benchmark::kMillisecond);

void BM_DecodeAnimation100Frames(benchmark::State& State) {
  static const std::string gif = MakeGif(320, 240, 100);
  Decode(State, gif, "velmora_anim_100.gif", 320.0 * 240 * 100);
}
BENCHMARK(BM_DecodeAnimation100Frames)->Unit(benchmark::kMillisecond);

// A 1 x 1 GIF of Blocks blocks: frames of one pixel, each behind a graphic control block,
// or comment blocks before one such frame. Reading either must take time in proportion
// to the blocks (40,000 frames took 5.5 s, 100,000 comments 2.4 s).
enum class TBlocks { Frames, Comments };
std::string ManyBlocksGif(TBlocks Kind, int Blocks) {
  const std::string screen("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 19);
  const std::string frame(
      "\x21\xF9\x04\x00\x01\x00\x00\x00"          // graphic control
      "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00"  // descriptor
      "\x02\x02\x4C\x01\x00",                     // clear, 0, end
      23);
  const std::string comment("\x21\xFE\x01x\x00", 5);
  std::string gif = screen;
  for (int i = 0; i < Blocks; ++i) gif += Kind == TBlocks::Frames ? frame : comment;
  if (Kind == TBlocks::Comments) gif += frame;
  return gif + ";";
}

// Arguments: TBlocks, and how many.
void BM_DecodeManyBlocks(benchmark::State& State) {
  const int blocks = BenchStations(static_cast<int>(State.range(1)));
  const std::string gif = ManyBlocksGif(static_cast<TBlocks>(State.range(0)), blocks);
  Decode(State, gif, "velmora_many_blocks.gif", 1);
  State.counters["blocks"] = blocks;
}
BENCHMARK(BM_DecodeManyBlocks)
    ->ArgsProduct({{0, 1}, {10000, 40000, 160000}})
    ->Unit(benchmark::kMillisecond);

#ifdef VELMORA_WITH_GIFLIB
// giflib reading the same files whole (every frame's pixels and extension blocks).
void BM_DecodeManyBlocksGiflib(benchmark::State& State) {
  const int blocks = BenchStations(static_cast<int>(State.range(1)));
  const std::string gif = ManyBlocksGif(static_cast<TBlocks>(State.range(0)), blocks);
  struct TSource {
    const std::string* Gif;
    std::size_t At;
  };
  const InputFunc read = [](GifFileType* File, GifByteType* Into, int Count) {
    auto* source = static_cast<TSource*>(File->UserData);
    const std::size_t n =
        std::min(static_cast<std::size_t>(Count), source->Gif->size() - source->At);
    std::memcpy(Into, source->Gif->data() + source->At, n);
    source->At += n;
    return static_cast<int>(n);
  };
  for (auto _ : State) {
    TSource source{&gif, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&source, read, &error);
    if (!file || DGifSlurp(file) != GIF_OK) State.SkipWithError("giflib cannot read the file");
    benchmark::DoNotOptimize(file ? file->ImageCount : 0);
    if (file) DGifCloseFile(file, &error);
  }
  State.counters["blocks"] = blocks;
}
BENCHMARK(BM_DecodeManyBlocksGiflib)
    ->ArgsProduct({{0, 1}, {10000, 40000, 160000}})
    ->Unit(benchmark::kMillisecond);
#endif

// The 2048x1024 map, read as the program reads it.
void LoadMap2048x1024(TGIFPicture& picture) {
  static const std::string gif = MakeGif(2048, 1024, 1);
  TMemoryStream in;
  in.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
  in.SetPosition(0);
  picture.LoadFromStream(in);
}

void BM_EncodeMap2048x1024(benchmark::State& State) {
  TGIFPicture picture;
  LoadMap2048x1024(picture);
  double bytes = 0;
  for (auto _ : State) {
    TMemoryStream out;
    picture.SaveToStream(out);
    bytes = static_cast<double>(out.Size());
  }
  State.counters["Mpix/s"] =
      benchmark::Counter(2048.0 * 1024 / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["bytes"] = bytes;
}
BENCHMARK(BM_EncodeMap2048x1024)->Unit(benchmark::kMillisecond);

// Small frames, as an animated station symbol or a map tile writes them: here the cost
// of setting up each frame's encoder counts as much as the pixel loop.
void BM_EncodeFrame(benchmark::State& State) {
  const int side = static_cast<int>(State.range(0));
  const std::string gif = MakeGif(side, side, 1);
  TMemoryStream in;
  in.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
  in.SetPosition(0);
  TGIFPicture picture;
  picture.LoadFromStream(in);
  TMemoryStream out;
  for (auto _ : State) {
    out.Clear();
    picture.SaveToStream(out);
    benchmark::DoNotOptimize(out.Size());
  }
  State.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(side) * side / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EncodeFrame)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);

#ifdef VELMORA_WITH_GIFLIB
// The first frame's image data of a GIF: from its LZW code size to its terminator,
// after the screen, the colour tables and any extensions.
std::string FirstImageData(const std::string& Gif) {
  constexpr std::size_t kScreenEnd = 13;
  constexpr std::uint8_t kHasColorTable = 0x80;
  constexpr char kExtension = 0x21;
  constexpr char kImage = 0x2C;
  constexpr std::size_t kImageDescriptorSize = 10;
  const auto table_size = [&](std::size_t Flags) {
    const auto flags = static_cast<std::uint8_t>(Gif.at(Flags));
    return flags & kHasColorTable ? std::size_t{3} << ((flags & 7) + 1) : 0;
  };
  std::size_t at = kScreenEnd + table_size(10);
  while (Gif.at(at) == kExtension) {
    at += 2;
    while (Gif.at(at) != 0) at += static_cast<std::uint8_t>(Gif[at]) + std::size_t{1};
    ++at;
  }
  if (Gif.at(at) != kImage) return {};
  const std::size_t data = at + kImageDescriptorSize + table_size(at + 9);
  at = data + 1;
  while (Gif.at(at) != 0) at += static_cast<std::uint8_t>(Gif[at]) + std::size_t{1};
  return Gif.substr(data, at + 1 - data);
}

// giflib writing the same map and colour table to memory, line by line as its tools do.
void BM_EncodeMap2048x1024Giflib(benchmark::State& State) {
  TGIFPicture picture;
  LoadMap2048x1024(picture);
  TGIFSubImage& frame = picture.Images[0];
  const int width = frame.Width();
  const int height = frame.Height();
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) {
    const TColor c = picture.Header.ColorMap.Colors(i);
    colors[i] =
        GifColorType{static_cast<GifByteType>(c & 0xFF), static_cast<GifByteType>((c >> 8) & 0xFF),
                     static_cast<GifByteType>((c >> 16) & 0xFF)};
  }
  std::string out;
  const OutputFunc append = [](GifFileType* file, const GifByteType* data, int count) {
    static_cast<std::string*>(file->UserData)
        ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(count));
    return count;
  };
  for (auto _ : State) {
    out.clear();
    int error = 0;
    GifFileType* file = EGifOpen(&out, append, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifPutScreenDesc(file, width, height, 8, 0, map);
    EGifPutImageDesc(file, 0, 0, width, height, false, nullptr);
    for (int y = 0; y < height; ++y) EGifPutLine(file, frame.Scanline(y), width);
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    benchmark::DoNotOptimize(out.size());
  }
  // The race is only fair while both write the same codes.
  TMemoryStream ours;
  picture.SaveToStream(ours);
  const std::string our_gif(static_cast<const char*>(ours.Memory()),
                            static_cast<std::size_t>(ours.Size()));
  const std::string theirs = FirstImageData(out);
  if (theirs.empty() || theirs != FirstImageData(our_gif))
    State.SkipWithError("giflib's image data differs from ours");
  State.counters["Mpix/s"] =
      benchmark::Counter(2048.0 * 1024 / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_EncodeMap2048x1024Giflib)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
