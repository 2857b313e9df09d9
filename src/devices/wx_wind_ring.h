// One-second wind maxima over the last five minutes, for the one- and five-minute
// peaks of the weather record.
//
// Every decoded frame offers the current wind speed. The highest speed seen is held
// until more than a second has passed since the last slot was written; then it goes
// into the next of 301 slots with the time, and holding starts again from 0. Frames
// faster than once a second share a slot; slower frames write one slot each, and the
// gaps between them hold none.
#pragma once

#include <array>

#include "platform/sys/date_time.h"

class TWxWindRing {
 public:
  static constexpr int kSlots = 301;

  // Speed in m/s at local time Now.
  void Update(double Speed, TDateTime Now);
  // The highest slot written after Since; 0 when there is none.
  double PeakSince(TDateTime Since) const;

  std::array<TDateTime, kSlots> WindTimes{};
  std::array<double, kSlots> WindMaxima{};
  int WindSlot = 0;
  TDateTime WindSlotTime = 0;
  double WindSecondMax = 0;
};
