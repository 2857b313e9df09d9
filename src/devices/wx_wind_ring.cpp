#include "devices/wx_wind_ring.h"

namespace {

constexpr std::int64_t kSlotMs = 1000;

}  // namespace

void TWxWindRing::Update(double Speed, std::int64_t NowMs) {
  if (Speed > WindSecondMax) WindSecondMax = Speed;
  if (NowMs - WindSlotTime > kSlotMs) {
    WindTimes[WindSlot] = NowMs;
    WindMaxima[WindSlot] = WindSecondMax;
    WindSlot = (WindSlot + 1) % kSlots;
    WindSlotTime = NowMs;
    WindSecondMax = 0;
  }
}

double TWxWindRing::PeakSince(std::int64_t SinceMs) const {
  double peak = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (WindTimes[i] > SinceMs && WindMaxima[i] > peak) peak = WindMaxima[i];
  }
  return peak;
}
