#include "devices/wx_wind_ring.h"

void TWxWindRing::Update(double Speed, TDateTime Now) {
  if (Speed > WindSecondMax) WindSecondMax = Speed;
  if (Now - WindSlotTime > 1.0 / SecsPerDay) {
    WindTimes[WindSlot] = Now;
    WindMaxima[WindSlot] = WindSecondMax;
    WindSlot = (WindSlot + 1) % kSlots;
    WindSlotTime = Now;
    WindSecondMax = 0;
  }
}

double TWxWindRing::PeakSince(TDateTime Since) const {
  double peak = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (WindTimes[i] > Since && WindMaxima[i] > peak) peak = WindMaxima[i];
  }
  return peak;
}
