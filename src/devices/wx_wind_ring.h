// One-second wind maxima over the last five minutes, for the one- and five-minute
// peaks of the weather record.
//
// Every decoded frame offers the current wind speed. The highest speed seen is held
// until more than a second has passed since the last slot was written; then it goes
// into the next of 301 slots with the time, and holding starts again from 0. Frames
// faster than once a second share a slot; slower frames write one slot each, and the
// gaps between them hold none.
//
// Times are milliseconds of a monotonic clock (GetTickCount): the peaks measure
// intervals, which a local clock set back (the end of summer time) or forward would
// stop or cut short.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

class TWxWindRing {
 public:
  static constexpr int kSlots = 301;
  // The time of a slot never written, older than any other.
  static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min() / 2;

  TWxWindRing() { WindTimes.fill(kNever); }

  // Speed in m/s at NowMs.
  void Update(double Speed, std::int64_t NowMs);
  // The highest slot written after SinceMs; 0 when there is none.
  double PeakSince(std::int64_t SinceMs) const;

  std::array<std::int64_t, kSlots> WindTimes;
  std::array<double, kSlots> WindMaxima{};
  int WindSlot = 0;
  std::int64_t WindSlotTime = kNever;
  double WindSecondMax = 0;
};
