#include "platform/sys/timer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/sys/application.h"
#include "platform/sys/pump.h"

TEST(Timer, StartsEnabledWithOneSecondAndCallsOnTimerWithItself) {
  TTimer timer;
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  timer.SetInterval(5);
  TComponent* sender = nullptr;
  int ticks = 0;
  timer.OnTimer = [&](TComponent* s) {
    sender = s;
    ++ticks;
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(sender, &timer);
}

TEST(Timer, ExceptionInHandlerIsReportedAndTheTimerKeepsRunning) {
  int reported = 0;
  Application->OnException = [&](const std::exception&) { ++reported; };
  TTimer timer;
  timer.SetInterval(5);
  timer.OnTimer = [](TComponent*) { throw std::runtime_error("tick failed"); };
  const bool ran = PumpUntil([&] { return reported >= 2; });
  Application->OnException = nullptr;
  EXPECT_TRUE(ran);
}

TEST(Timer, DisabledOrZeroIntervalTimerDoesNotFire) {
  TTimer disabled, zero, probe;
  int fired = 0, probes = 0;
  disabled.SetInterval(1);
  disabled.SetEnabled(false);
  zero.SetInterval(0);
  disabled.OnTimer = zero.OnTimer = [&](TComponent*) { ++fired; };
  // A third timer, running, shows that events were really processed meanwhile.
  probe.SetInterval(5);
  probe.OnTimer = [&](TComponent*) { ++probes; };
  EXPECT_TRUE(PumpUntil([&] { return probes >= 3; }));
  EXPECT_EQ(fired, 0);
}

TEST(Timer, HandlerMayFreeItsOwnTimer) {
  TComponent owner;
  auto* timer = new TTimer(&owner);
  timer->SetInterval(1);
  bool freed = false;
  timer->OnTimer = [&](TComponent* sender) {
    delete sender;
    freed = true;
  };
  EXPECT_TRUE(PumpUntil([&] { return freed; }));
  EXPECT_EQ(owner.ComponentCount(), 0);
  Application->ProcessMessages();  // runs the deferred clean-up
}
