#include "devices/wx_stn.h"

#include <gtest/gtest.h>

#include "devices/wx_frames.h"

namespace {

constexpr double kSecond = 1.0 / SecsPerDay;
constexpr TDateTime kStart = 46000.5;
constexpr std::int64_t kStartTicks = 5000;  // the monotonic clock shortly after boot

TBuffer64 StoredWmrWind(double SpeedTenths) {
  // Speed = Lo(f9) * 10 + Hi(f8) + Lo(f8) / 10, in m/s.
  const int t = int(SpeedTenths);
  TBuffer64 f{};
  f[1] = f[2] = 0xFF;
  f[8] = std::uint8_t(((t / 10) % 10) << 4 | (t % 10));
  f[9] = std::uint8_t(t / 100);
  return f;
}

// A data reader for the WMR-918 on clocks the test moves: the local clock, which the
// user or summer time may set back, and the monotonic one.
struct TReaderBench {
  TReaderBench() {
    Reader.StationType = wstWMR918;
    Reader.Clock = [this] { return Clock; };
    Reader.Ticks = [this] { return Ticks; };
    Reader.OnWxDataUpdate = [this](TComponent* Sender) {
      ++Updates;
      EXPECT_EQ(Sender, &Reader);
    };
  }
  void Wind(double MetresPerSecond, double AtSeconds) {
    Clock = kStart + AtSeconds * kSecond + LocalClockSet;
    Ticks = kStartTicks + std::uint64_t(AtSeconds * 1000);
    Reader.DispatchWxFrame(0, StoredWmrWind(MetresPerSecond * 10 + 0.5));
  }
  TWxStnDataReader Reader;
  TDateTime Clock = kStart;
  TDateTime LocalClockSet = 0;  // days the local clock was moved
  std::uint64_t Ticks = kStartTicks;
  int Updates = 0;
};

}  // namespace

TEST(WxWindRing, OneSlotPerSecondHoldsTheHighestSpeed) {
  TWxWindRing ring;
  ring.Update(5, kStartTicks);
  EXPECT_EQ(ring.WindSlot, 1);
  ring.Update(8, kStartTicks + 300);
  ring.Update(3, kStartTicks + 600);
  EXPECT_EQ(ring.WindSlot, 1);
  ring.Update(1, kStartTicks + 1200);
  EXPECT_EQ(ring.WindSlot, 2);
  EXPECT_EQ(ring.WindMaxima[1], 8);  // the rise and fall left only the top
  EXPECT_EQ(ring.PeakSince(kStartTicks), 8);
  EXPECT_EQ(ring.PeakSince(kStartTicks + 2000), 0);
  // Slots never written are older than any time asked for.
  EXPECT_EQ(ring.PeakSince(-kStartTicks), 8);

  // Slower updates write one slot each; the ring wraps after 301.
  for (int s = 0; s < TWxWindRing::kSlots; ++s) ring.Update(s, kStartTicks + (10 + 2 * s) * 1000);
  EXPECT_EQ(ring.WindSlot, 2);
  EXPECT_EQ(ring.WindMaxima[1], 300);
}

TEST(WxStnDataReader, PeaksFollowTheGustAndFadeAfterOneAndFiveMinutes) {
  TReaderBench bench;
  bench.Wind(20, 0);
  const TWxWind& w = bench.Reader.Data.Wind;
  EXPECT_NEAR(w.Peak1Min, 20, 1e-9);
  EXPECT_NEAR(w.Peak5Min, 20, 1e-9);
  bench.Wind(2, 10);
  bench.Wind(2, 50);
  EXPECT_NEAR(w.Peak1Min, 20, 1e-9);
  bench.Wind(2, 70);
  EXPECT_NEAR(w.Peak1Min, 2, 1e-9);
  EXPECT_NEAR(w.Peak5Min, 20, 1e-9);
  bench.Wind(3, 290);
  EXPECT_NEAR(w.Peak5Min, 20, 1e-9);
  bench.Wind(3, 310);
  EXPECT_NEAR(w.Peak5Min, 3, 1e-9);
  EXPECT_EQ(bench.Updates, 6);

  // Frames that decode nothing still update the peaks from the current wind.
  bench.Ticks = kStartTicks + 400 * 1000;
  bench.Reader.DispatchWxFrame(2, TBuffer64{});
  EXPECT_NEAR(w.Peak1Min, 3, 1e-9);
  EXPECT_EQ(bench.Updates, 7);
}

// Summer time ends, or the user sets the clock back: the peaks go on as the wind does.
TEST(WxStnDataReader, PeaksGoOnWhenTheLocalClockIsSetBack) {
  TReaderBench bench;
  const TWxWind& w = bench.Reader.Data.Wind;
  bench.Wind(20, 0);
  bench.LocalClockSet = -1.0 / HoursPerDay;
  for (int second = 10; second <= 70; second += 10) bench.Wind(2, second);
  EXPECT_NEAR(w.Peak1Min, 2, 1e-9);
  EXPECT_NEAR(w.Peak5Min, 20, 1e-9);
  bench.Wind(15, 71);
  bench.Wind(1, 73);
  EXPECT_NEAR(w.Peak1Min, 15, 1e-9);
  // The record's times stay local.
  EXPECT_EQ(w.Time, bench.Clock);
}

TEST(WxStnDataReader, Ws2300ComplaintsGoToTheMessageBox) {
  TWxStnDataReader reader;
  reader.StationType = wstWS2300;
  std::vector<std::string> shown;
  reader.ShowFormatError = [&](const std::string& Text) { shown.push_back(Text); };
  TBuffer64 frame;
  frame.fill(0xFF);
  reader.DispatchWxFrame(1, frame);  // 7 x 0xFF sum to 0xF9, not 0xFF
  EXPECT_EQ(shown, std::vector<std::string>{"Temp Format Error!"});
}

TEST(WxStn, RunWithoutAStationOrWithoutAPort) {
  TWxStn stn;
  std::vector<std::string> events;
  std::vector<std::string> errors;
  stn.OnWxActivate = [&](TComponent*) { events.push_back("on"); };
  stn.OnWxDeactivate = [&](TComponent*) { events.push_back("off"); };
  stn.ShowError = [&](const std::string& Text) { errors.push_back(Text); };

  EXPECT_EQ(stn.WxStnTyp(), wstNIL);
  stn.SetRun(true);  // no station: no port, counts as opened
  EXPECT_TRUE(stn.Run());
  stn.SetRun(false);
  EXPECT_FALSE(stn.Run());

  stn.SetWxStnTyp(wstWX200);
  stn.Device = "/dev/no-such-port";
  stn.SetRun(true);
  EXPECT_FALSE(stn.Run());
  EXPECT_EQ(events, (std::vector<std::string>{"on", "off", "off"}));
  EXPECT_EQ(errors, std::vector<std::string>{"WX-STATION COM ERROR!"});
}
