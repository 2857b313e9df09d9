// Costly metafile pictures shown in windows are drawn in full on threads of their own (see
// TMetafile::Draw); a benchmark or a test that measures the paints after them waits here.
#pragma once

#include <cstdint>
#include <span>

// Returns once every such drawing under way has ended; the paints they ask for are then
// waiting in the event queue.
void WaitForMetafileRenderings();
// How many such drawings were started so far: what windows draw again, counted.
std::uint64_t MetafileRenderingsStarted();

// What a play of the records into Width x Height units of a device of Ratio pixels a unit
// is priced at (see TMetafile::Draw) and what playing them there took, in seconds of the
// calling thread: for benchmarks that hold the price of a picture against its play.
struct TMetafilePlay {
  double Priced = 0, Played = 0;
};
TMetafilePlay PriceAndPlay(std::span<const std::uint8_t> Data, bool Enhanced, int Width, int Height,
                           double Ratio = 1);
