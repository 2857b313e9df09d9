#include "devices/wx200.h"

#include <gtest/gtest.h>

#include <random>

#include "devices/wx_frames.h"

namespace {

constexpr TDateTime kNow = 46000.25;

const std::vector<std::uint8_t> kHumidity =
    Wx200Frame(0x8F, 35, {{8, 0x45}, {9, 0x60}, {13, 0x00}, {14, 0x03}, {20, 0xEE}});
// Indoor 23.4 (max 25.6, min -5.1), outdoor -12.3 (max 3.0, min -20.5).
const std::vector<std::uint8_t> kTemperature = Wx200Frame(0x9F, 34,
                                                          {{1, 0x34},
                                                           {2, 0x62},
                                                           {3, 0x25},
                                                           {7, 0x10},
                                                           {8, 0x85},
                                                           {16, 0x23},
                                                           {17, 0x09},
                                                           {18, 0x03},
                                                           {22, 0x50},
                                                           {23, 0xA0}});
const std::vector<std::uint8_t> kPressure =
    Wx200Frame(0xAF, 31, {{1, 0x03}, {2, 0x10}, {3, 0x32}, {4, 0x01}, {5, 0x01}});
// All zero: its checksum is 0xBF, a group byte.
const std::vector<std::uint8_t> kRain = Wx200Frame(0xBF, 14, {});
const std::vector<std::uint8_t> kWind = Wx200Frame(0xCF, 27, {{2, 0x00}, {3, 0x27}, {4, 0x54}});

struct TBench {
  TBench() {
    Receiver.Dispatch = [this](int Code, const TBuffer64& Frame) {
      Codes.push_back(Code);
      DecodeWx200Frame(Code, Frame, Data, kNow);
    };
  }
  void Feed(const std::vector<std::uint8_t>& Bytes) {
    Receiver.Receive(Bytes.data(), Bytes.size());
  }
  TWx200Receiver Receiver;
  std::vector<int> Codes;
  TWxData Data;
};

}  // namespace

TEST(Wx200, FramesOfEveryGroupDecode) {
  TBench bench;
  std::vector<std::uint8_t> stream;
  for (const auto& f : {kHumidity, kTemperature, kPressure, kRain, kWind}) Append(stream, f);
  bench.Feed(stream);
  EXPECT_EQ(bench.Codes, (std::vector<int>{0x8F, 0x9F, 0xAF, 0xBF, 0xCF}));

  const TWxData& d = bench.Data;
  EXPECT_TRUE(d.HumIn.Valid);
  EXPECT_EQ(d.HumIn.Cur, 45);
  EXPECT_EQ(d.HumIn.Max, 60);
  EXPECT_EQ(d.HumIn.Min, 30);
  EXPECT_EQ(d.HumIn.Time, kNow);
  EXPECT_FALSE(d.HumOut.Valid);  // 0xEE: no reading
  EXPECT_EQ(d.HumOut.Cur, 0);

  EXPECT_TRUE(d.TempIn.Valid);
  EXPECT_NEAR(d.TempIn.Cur, 23.4, 1e-9);
  EXPECT_NEAR(d.TempIn.Max, 25.6, 1e-9);
  EXPECT_NEAR(d.TempIn.Min, -5.1, 1e-9);
  EXPECT_TRUE(d.TempOut.Valid);
  EXPECT_NEAR(d.TempOut.Cur, -12.3, 1e-9);
  EXPECT_NEAR(d.TempOut.Max, 3.0, 1e-9);
  EXPECT_NEAR(d.TempOut.Min, -20.5, 1e-9);
  EXPECT_EQ(d.TempOut.Time, kNow);

  // Wind and pressure carry no flag: a frame that passed its checksum is a reading.
  EXPECT_TRUE(d.Baro.Valid);
  EXPECT_NEAR(d.Baro.Abs, 1003, 1e-9);
  EXPECT_NEAR(d.Baro.Rel, 1013.2, 1e-9);
  EXPECT_EQ(d.Baro.Time, kNow);
  EXPECT_TRUE(d.Wind.Valid);
  EXPECT_EQ(d.Wind.Dir, 270);
  EXPECT_NEAR(d.Wind.Speed, 5.4, 1e-9);
  EXPECT_EQ(d.Wind.Time, kNow);
}

TEST(Wx200, MissingTemperatureReadsZero) {
  TBench bench;
  bench.Feed(Wx200Frame(0x9F, 34, {{1, 0x34}, {16, 0xE0}, {17, 0x0E}}));
  EXPECT_TRUE(bench.Data.TempIn.Valid);
  EXPECT_FALSE(bench.Data.TempOut.Valid);
  EXPECT_EQ(bench.Data.TempOut.Cur, 0);
}

TEST(Wx200, BrokenFramesAreDroppedAndTheNextOneCounts) {
  ExpectCutFramesDropped<TBench>({kHumidity, kTemperature, kPressure, kRain, kWind}, kWind, 0xCF);
  // A spoiled byte anywhere drops the frame.
  ExpectSpoiledFramesDropped<TBench>(kPressure, 1, 0x01);
  // A group byte inside a frame starts a new one there.
  TBench bench;
  std::vector<std::uint8_t> stream(kTemperature.begin(), kTemperature.begin() + 10);
  Append(stream, kRain);
  bench.Feed(stream);
  EXPECT_EQ(bench.Codes, std::vector<int>{0xBF});
}

TEST(Wx200, GarbageNeverBreaksTheReceiver) {
  TBench bench;
  std::mt19937 random(11);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::uint8_t> bytes(random() % 300);
    for (auto& b : bytes) b = std::uint8_t(random());
    if (round % 5 == 0) Append(bytes, kWind);
    bench.Feed(bytes);
    EXPECT_LT(bench.Receiver.FrameIndex, 64);
  }
  EXPECT_GE(bench.Codes.size(), 100u);
}
