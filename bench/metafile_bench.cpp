// Drawing metafiles of a few hundred bytes that ask the most of the stroker, at 800 x 600,
// the size of a picture in a document window: a pen 1000 units wide with a dash style
// along an arc (325 bytes drew for over 30 s on every paint), the same pen along the arc
// of the largest box, and a thousand such arcs in a file of 22 KB. The target is a few ms
// a paint for the one arc.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/metafile.h"

namespace {

class TWmfWriter {
 public:
  TWmfWriter() {
    // Placeable header: a 1000 x 1000 box at 1000 units an inch; then the metafile header.
    U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(1000).U16(1000).U16(1000).U32(0).U16(0);
    U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
    Record(0x020B, {0, 0});        // window origin
    Record(0x020C, {1000, 1000});  // window extent
  }
  TWmfWriter& Record(unsigned function, const std::vector<unsigned>& words) {
    U32(std::uint32_t(3 + words.size())).U16(function);
    for (unsigned w : words) U16(w);
    return *this;
  }
  std::vector<std::uint8_t> Finished() {
    Record(0, {});
    return bytes_;
  }

 private:
  TWmfWriter& U16(unsigned v) {
    bytes_.push_back(std::uint8_t(v));
    bytes_.push_back(std::uint8_t(v >> 8));
    return *this;
  }
  TWmfWriter& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  std::vector<std::uint8_t> bytes_;
};

// A dashed red pen 1000 units wide, selected.
TWmfWriter WideDashedPen() {
  TWmfWriter wmf;
  wmf.Record(0x02FA, {1, 1000, 0, 0x00FF, 0}).Record(0x012D, {0});
  return wmf;
}

void DrawEachIteration(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
  const TMetafile picture(bytes, false);
  TBitmap target;
  target.SetSize(800, 600);
  for (auto _ : state) picture.Draw(target.Canvas(), TRect{0, 0, 800, 600});
  state.counters["bytes"] = double(bytes.size());
}

void BM_WideDashedArc(benchmark::State& state) {
  TWmfWriter wmf = WideDashedPen();
  wmf.Record(0x0817, {500, 1000, 500, 1000, 900, 900, 100, 100});
  DrawEachIteration(state, wmf.Finished());
}
BENCHMARK(BM_WideDashedArc)->Unit(benchmark::kMillisecond);

void BM_WideDashedArcOfTheLargestBox(benchmark::State& state) {
  TWmfWriter wmf = WideDashedPen();
  // The box spans the whole coordinate space: 65535 units a side, 65 times the window.
  wmf.Record(0x0817, {0, 0x7FFF, 0x8000, 0x8000, 0x7FFF, 0x7FFF, 0x8000, 0x8000});
  DrawEachIteration(state, wmf.Finished());
}
BENCHMARK(BM_WideDashedArcOfTheLargestBox)->Unit(benchmark::kMillisecond);

void BM_ThousandWideArcs(benchmark::State& state) {
  TWmfWriter wmf = WideDashedPen();
  for (int i = 0; i < 1000; ++i)
    wmf.Record(0x0817, {500, 1000, unsigned(i), 1000, 900, 900, 100, 100});
  DrawEachIteration(state, wmf.Finished());
}
BENCHMARK(BM_ThousandWideArcs)->Unit(benchmark::kMillisecond);

}  // namespace
