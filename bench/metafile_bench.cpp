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

// An enhanced metafile 96 x 48 pixels on its device, its records in 32-bit words.
class TEmfWriter {
 public:
  TEmfWriter() {
    for (std::uint32_t v : {1u,       88u, 0u, 0u, 95u, 47u, 0u, 0u,   2540u, 1270u, 0x464D4520u,
                            0x10000u, 0u,  0u, 3u, 0u,  0u,  0u, 960u, 480u,  254u,  127u})
      U32(v);
  }
  TEmfWriter& Record(std::uint32_t type, const std::vector<std::uint32_t>& values) {
    U32(type).U32(std::uint32_t(8 + 4 * values.size()));
    for (std::uint32_t v : values) U32(v);
    return *this;
  }
  std::vector<std::uint8_t> Finished() {
    Record(14, {0, 0, 20});
    return bytes_;
  }

 private:
  TEmfWriter& U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(std::uint8_t(v >> (8 * i)));
    return *this;
  }
  std::vector<std::uint8_t> bytes_;
};

void DrawEachIteration(benchmark::State& state, const std::vector<std::uint8_t>& bytes,
                       bool enhanced = false) {
  const TMetafile picture(bytes, enhanced);
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

void BM_DashedPenAUnitWideInAWindowOfAUnit(benchmark::State& state) {
  // Every unit 800 pixels: the pen is as wide as the picture (5.3 s a paint).
  TWmfWriter wmf;
  wmf.Record(0x020C, {1, 1});
  wmf.Record(0x02FA, {1, 1, 0, 0x00FF, 0}).Record(0x012D, {0});
  wmf.Record(0x0817, {0, 1, 0, 1, 1, 1, 0, 0});
  DrawEachIteration(state, wmf.Finished());
}
BENCHMARK(BM_DashedPenAUnitWideInAWindowOfAUnit)->Unit(benchmark::kMillisecond);

// Enhanced metafiles reach 32-bit coordinates and pen widths: a dashed pen of no width, one
// unit and 100000 units along an arc, a Bezier curve and a polyline that span 2^31 units.
void BM_EnhancedHugeShapes(benchmark::State& state) {
  TEmfWriter emf;
  const std::uint32_t far = 1u << 30, near = std::uint32_t(-(1 << 30));
  const std::uint32_t style = std::uint32_t(state.range(0)), width = std::uint32_t(state.range(1));
  emf.Record(38, {1, style, width, 0, 0x0000FF}).Record(37, {1});
  switch (state.range(2)) {
    case 0:  // arc
      emf.Record(45, {near, near, far, far, far, 0, far, 0});
      break;
    case 1:  // Bezier
      emf.Record(2, {0, 0, 0, 0, 4, near, near, far, near, near, far, far, far});
      break;
    case 2:  // polyline
      emf.Record(4, {0, 0, 0, 0, 3, near, near, far, 0, near, far});
      break;
  }
  DrawEachIteration(state, emf.Finished(), true);
}
BENCHMARK(BM_EnhancedHugeShapes)
    ->ArgsProduct({{1}, {0, 1, 100000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
