#include "devices/wmr918.h"

#include <gtest/gtest.h>

#include <random>

#include "devices/wx_frames.h"

namespace {

constexpr TDateTime kNow = 46001.75;
constexpr std::uint8_t kInvalid = 0x40;

std::vector<std::uint8_t> Outdoor(std::uint8_t F5, std::uint8_t F6, std::uint8_t Humidity,
                                  std::uint8_t Flags = 0) {
  return Wmr918Frame(3, 9, {{4, Flags}, {5, F5}, {6, F6}, {7, Humidity}});
}

const std::vector<std::uint8_t> kWind =
    Wmr918Frame(0, 11, {{5, 0x25}, {6, 0x02}, {8, 0x23}, {9, 0x01}});
const std::vector<std::uint8_t> kRain =
    Wmr918Frame(1, 16, {{5, 0x12}, {7, 0x34}, {8, 0x12}, {9, 0x45}, {10, 0x03}});
const std::vector<std::uint8_t> kClock = Wmr918Frame(2, 9, {{5, 0x59}});
// Indoor 21.0 degrees, 40 %, pressure nibbles 1A3, sea-level part 0600 and .25.
const std::vector<std::uint8_t> kIndoor = Wmr918Frame(
    6, 14,
    {{5, 0x10}, {6, 0x02}, {7, 0x40}, {9, 0xA3}, {10, 0x01}, {11, 0x25}, {12, 0x00}, {13, 0x06}});

struct TBench {
  TBench() {
    Receiver.Dispatch = [this](int Code, const TBuffer64& Frame) {
      Codes.push_back(Code);
      DecodeWmr918Frame(Code, Frame, Data, kNow);
    };
  }
  void Feed(const std::vector<std::uint8_t>& Bytes) {
    Receiver.Receive(Bytes.data(), Bytes.size());
  }
  TWmr918Receiver Receiver;
  std::vector<int> Codes;
  TWxData Data;
};

}  // namespace

TEST(Wmr918, FramesOfEveryTypeDecode) {
  TBench bench;
  std::vector<std::uint8_t> stream;
  for (const auto& f : {kWind, kRain, kClock, Outdoor(0x25, 0x81, 0x67), kIndoor})
    Append(stream, f);
  bench.Feed(stream);
  EXPECT_EQ(bench.Codes, (std::vector<int>{0, 1, 2, 3, 6}));

  const TWxData& d = bench.Data;
  EXPECT_TRUE(d.Wind.Valid);
  EXPECT_EQ(d.Wind.Dir, 225);
  EXPECT_NEAR(d.Wind.Speed, 12.3, 1e-9);
  EXPECT_EQ(d.Wind.Time, kNow);
  EXPECT_NEAR(d.Rain1h.Value, 12, 1e-9);
  EXPECT_NEAR(d.Rain24h.Value, 345, 1e-9);
  EXPECT_NEAR(d.RainTotal.Value, 1234, 1e-9);
  EXPECT_TRUE(d.RainTotal.Valid);
  EXPECT_TRUE(d.TempOut.Valid);
  EXPECT_NEAR(d.TempOut.Cur, -12.5, 1e-9);  // f5 0x25, f6 0x81
  EXPECT_EQ(d.HumOut.Cur, 67);
  EXPECT_NEAR(d.TempIn.Cur, 21.0, 1e-9);
  EXPECT_EQ(d.HumIn.Cur, 40);
  EXPECT_TRUE(d.Baro.Valid);
  EXPECT_NEAR(d.Baro.Abs, 1019, 1e-9);  // 0x1A3 + 600
  EXPECT_NEAR(d.Baro.Rel, 600 + 419 + 0.25, 1e-9);
  EXPECT_NEAR(d.BaroMax.Abs, 1019, 1e-9);
  EXPECT_NEAR(d.BaroMin.Rel, 1019.25, 1e-9);
  EXPECT_EQ(d.Baro.Time, kNow);
}

TEST(Wmr918, ExtremesAreKeptFromValidFramesOnly) {
  TBench bench;
  bench.Feed(Outdoor(0x00, 0x01, 0x50));  // 10.0
  bench.Feed(Outdoor(0x20, 0x01, 0x50));  // 12.0
  bench.Feed(Outdoor(0x80, 0x00, 0x50));  // 8.0
  TWxTemperature& out = bench.Data.TempOut;
  EXPECT_NEAR(out.Max, 12.0, 1e-9);
  EXPECT_NEAR(out.Min, 8.0, 1e-9);
  // A sensor that drops out for a frame keeps its values, not valid ...
  bench.Feed(Outdoor(0x50, 0x05, 0x99, kInvalid));
  EXPECT_FALSE(out.Valid);
  EXPECT_FALSE(bench.Data.HumOut.Valid);
  EXPECT_NEAR(out.Cur, 8.0, 1e-9);
  EXPECT_EQ(bench.Data.HumOut.Cur, 50);
  // ... and restarts its extremes with the next valid frame.
  bench.Feed(Outdoor(0x90, 0x00, 0x55));
  EXPECT_NEAR(out.Cur, 9.0, 1e-9);
  EXPECT_NEAR(out.Max, 9.0, 1e-9);
  EXPECT_NEAR(out.Min, 9.0, 1e-9);

  // An invalid wind or rain frame reads zero.
  bench.Feed(Wmr918Frame(0, 11, {{4, kInvalid}, {5, 0x25}, {8, 0x23}}));
  EXPECT_FALSE(bench.Data.Wind.Valid);
  EXPECT_EQ(bench.Data.Wind.Dir, 0);
  EXPECT_EQ(bench.Data.Wind.Speed, 0);
}

TEST(Wmr918, FillerNibblesInTheSeaLevelPartKeepTheOldPressure) {
  // f11, f12 or f13 with a nibble above 9, each high or low.
  std::vector<std::vector<std::uint8_t>> fillers;
  for (int at : {11, 12, 13}) {
    for (std::uint8_t nibble : {0xA0, 0x0F}) {
      auto filler = kIndoor;
      const std::uint8_t old = filler[std::size_t(at - 1)];
      filler[std::size_t(at - 1)] = std::uint8_t(nibble == 0xA0 ? (old & 0x0F) | 0xA0 : old | 0x0F);
      filler.back() = std::uint8_t(filler.back() + filler[std::size_t(at - 1)] - old);
      fillers.push_back(filler);
    }
  }
  for (const auto& filler : fillers) {
    TBench bench;
    bench.Feed(kIndoor);
    bench.Feed(filler);
    ASSERT_EQ(bench.Codes.size(), 2u);
    EXPECT_TRUE(bench.Data.Baro.Valid);
    EXPECT_NEAR(bench.Data.Baro.Rel, 1019.25, 1e-9);
    EXPECT_NEAR(bench.Data.Baro.Abs, 1019, 1e-9);

    // Before any good reading such a frame is no pressure at all, not 0 hPa; the
    // temperature and humidity of the frame count.
    TBench first;
    first.Feed(filler);
    ASSERT_EQ(first.Codes.size(), 1u);
    EXPECT_FALSE(first.Data.Baro.Valid);
    EXPECT_TRUE(first.Data.TempIn.Valid);
    first.Feed(kIndoor);
    EXPECT_TRUE(first.Data.Baro.Valid);
    EXPECT_NEAR(first.Data.BaroMin.Rel, 1019.25, 1e-9);
    EXPECT_NEAR(first.Data.BaroMin.Abs, 1019, 1e-9);
  }
}

TEST(Wmr918, BrokenFramesAreDroppedAndSyncRestarts) {
  ExpectCutFramesDropped<TBench>({kWind, kRain, kClock, kIndoor}, kWind, 0);
  ExpectSpoiledFramesDropped<TBench>(kIndoor, 2, 0x04);
  // Unknown types never complete; bytes before the first sync are ignored.
  TBench bench;
  bench.Feed(Wmr918Frame(4, 9, {}));
  bench.Feed({0x00, 0x01, 0x02, 0x03, 0x06});
  EXPECT_TRUE(bench.Codes.empty());
}

TEST(Wmr918, GarbageNeverBreaksTheReceiver) {
  TBench bench;
  std::mt19937 random(5);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::uint8_t> bytes(random() % 300);
    for (auto& b : bytes) b = std::uint8_t(random() % 4 == 0 ? 0xFF : random());
    if (round % 5 == 0) Append(bytes, kWind);
    bench.Feed(bytes);
    EXPECT_LE(bench.Receiver.FrameIndex, 64);
  }
  EXPECT_GE(bench.Codes.size(), 100u);
}
