// The weather station component on a pseudo-terminal: a scripted WS-2300 answering byte
// by byte, and WX-200 and WMR-918 frame streams, valid and corrupt.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "devices/ws2300_station.h"
#include "devices/wx_frames.h"
#include "devices/wx_stn.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/pump.h"

namespace {

struct TStationBench {
  explicit TStationBench(TWxStnTyp Type) {
    Stn.SetWxStnTyp(Type);
    Stn.Device = Station.DevicePath();
    Stn.ShowError = [this](const std::string& Text) { Errors.push_back(Text); };
    Stn.SetOnWxDataUpdate([this](TComponent*) { ++Updates; });
    Stn.OnWxActivate = [this](TComponent*) { ++Activations; };
  }
  ~TStationBench() { Stn.SetRun(false); }

  TPseudoTerminal Station;
  TWxStn Stn;
  std::vector<std::string> Errors;
  int Updates = 0;
  int Activations = 0;
};

// Answers every byte the program writes, on its own thread, as the station would.
class TScriptedWs2300 {
 public:
  TScriptedWs2300(TPseudoTerminal& Port, TWs2300Station& Station)
      : thread_([this, &Port, &Station] {
          while (!stop_) {
            for (std::uint8_t b : Port.Receive(1, 20)) {
              ++received_;
              Port.Send(Station.Answer(b));
            }
          }
        }) {}
  ~TScriptedWs2300() {
    stop_ = true;
    thread_.join();
  }
  int Received() const { return received_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> received_{0};
  std::thread thread_;
};

}  // namespace

TEST(WxStnPort, PollsAScriptedWs2300ThroughTheWholeCycle) {
  TStationBench bench(wstWS2300);
  TWs2300Station station;
  station.SetBytes(0x0373, {0x30, 0x26, 0x00, 0x00, 0x02, 0x00, 0x31});  // outdoor -3.7
  station.SetBytes(0x0419, {0x87, 0x55, 0x95});                          // 87 %
  station.SetBytes(0x0527, {0x00, 0x7B, 0xB0, 0, 0, 0});                 // 247.5 degrees, 12.3 m/s
  station.SetBytes(0x05D8, {0x34, 0x00, 0x01, 0, 0, 0x32, 0x01, 0x01});  // 1013.2 hPa
  TScriptedWs2300 script(bench.Station, station);

  bench.Stn.SetRun(true);
  ASSERT_TRUE(bench.Stn.Run());
  EXPECT_EQ(bench.Activations, 1);
  ASSERT_TRUE(PumpUntil([&] { return bench.Updates >= 13; }, 15000)) << bench.Updates;

  TWxData data;
  bench.Stn.GetWxData(data);
  EXPECT_TRUE(data.TempOut.Valid);
  EXPECT_NEAR(data.TempOut.Cur, -3.7, 1e-9);
  EXPECT_EQ(data.HumOut.Cur, 87);
  EXPECT_TRUE(data.Wind.Valid);
  EXPECT_EQ(data.Wind.Dir, 248);
  EXPECT_NEAR(data.Wind.Speed, 12.3, 1e-9);
  // The one-second maximum reaches the ring once a second has passed.
  EXPECT_TRUE(PumpUntil([&] {
    bench.Stn.GetWxData(data);
    return data.Wind.Peak1Min > 12.2;
  }));
  EXPECT_NEAR(data.Baro.Rel, 1013.2, 1e-9);
  EXPECT_TRUE(data.Rain1h.Valid);
  EXPECT_TRUE(bench.Errors.empty());

  // Stopping keeps the record.
  bench.Stn.SetRun(false);
  bench.Stn.GetWxData(data);
  EXPECT_TRUE(data.TempOut.Valid);
}

TEST(WxStnPort, ASilentWs2300IsResetAgainAndAgain) {
  TStationBench bench(wstWS2300);
  bench.Stn.SetRun(true);
  ASSERT_TRUE(bench.Stn.Run());
  // Three resets per 100 ms pass while the station stays silent.
  const auto sent = bench.Station.Receive(9, 2000);
  EXPECT_EQ(sent, std::vector<std::uint8_t>(9, 0x06));
  EXPECT_EQ(bench.Updates, 0);
}

TEST(WxStnPort, Wx200AndWmr918StreamsWithDamage) {
  {
    TStationBench bench(wstWX200);
    bench.Stn.SetRun(true);
    ASSERT_TRUE(bench.Stn.Run());
    std::vector<std::uint8_t> stream{0x12, 0x34};
    const auto wind = Wx200Frame(0xCF, 27, {{3, 0x27}, {4, 0x54}});
    auto broken = wind;
    broken[5] ^= 0x10;
    Append(stream, broken);
    Append(stream, std::vector<std::uint8_t>(wind.begin(), wind.begin() + 12));
    Append(stream, Wx200Frame(0x9F, 34, {{16, 0x23}, {17, 0x01}}));
    Append(stream, wind);
    bench.Station.Send(stream);
    ASSERT_TRUE(PumpUntil([&] { return bench.Updates == 2; }));
    PumpFor(50);
    EXPECT_EQ(bench.Updates, 2);
    TWxData data;
    bench.Stn.GetWxData(data);
    EXPECT_NEAR(data.TempOut.Cur, 12.3, 1e-9);
    EXPECT_EQ(data.Wind.Dir, 270);
  }
  {
    TStationBench bench(wstWMR918);
    bench.Stn.SetRun(true);
    ASSERT_TRUE(bench.Stn.Run());
    std::mt19937 random(9);
    std::vector<std::uint8_t> stream(3000);
    for (auto& b : stream) b = std::uint8_t(random());
    Append(stream, {0xFF, 0xFF, 0x03, 0x00});  // cut off
    Append(stream, Wmr918Frame(3, 9, {{5, 0x25}, {6, 0x81}, {7, 0x67}}));
    bench.Station.Send(stream);
    ASSERT_TRUE(PumpUntil([&] {
      TWxData data;
      bench.Stn.GetWxData(data);
      return data.HumOut.Cur == 67;
    }));
    TWxData data;
    bench.Stn.GetWxData(data);
    EXPECT_NEAR(data.TempOut.Cur, -12.5, 1e-9);
  }
}

TEST(WxStnPort, AnUnpluggedStationStops) {
  TStationBench bench(wstWMR918);
  int deactivations = 0;
  bench.Stn.OnWxDeactivate = [&](TComponent*) { ++deactivations; };
  bench.Stn.SetRun(true);
  ASSERT_TRUE(bench.Stn.Run());
  bench.Station.HangUp();
  EXPECT_TRUE(PumpUntil([&] { return !bench.Stn.Run(); }));
  EXPECT_EQ(deactivations, 1);
}
