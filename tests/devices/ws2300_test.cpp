#include "devices/ws2300.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "devices/ws2300_station.h"

namespace {

constexpr TDateTime kNow = 46000.5;

// The values every test station holds; see the expectations in FullCycle.
void FillStation(TWs2300Station& S) {
  S.SetBytes(0x0346, {0x50, 0x51, 0x00, 0x82, 0x04, 0x00, 0x55});  // in 21.5, min 18.2, max 25.0
  S.SetBytes(0x0373, {0x30, 0x26, 0x00, 0x00, 0x02, 0x00, 0x31});  // out -3.7, min -10, max 1
  S.SetBytes(0x03FB, {0x45, 0x30, 0x60});
  S.SetBytes(0x0419, {0x87, 0x55, 0x95});
  S.SetBytes(0x0527, {0x00, 0x7B, 0xF0, 0, 0, 0});  // direction nibble 15, speed 0x07B
  S.SetBytes(0x05D8, {0x34, 0x00, 0x01, 0, 0, 0x32, 0x01, 0x01});
  S.SetBytes(0x05F6, {0x00, 0x99, 0x00, 0, 0, 0x00, 0x00, 0x01});
  S.SetBytes(0x060A, {0x05, 0x02, 0x01, 0, 0, 0x01, 0x03, 0x01});
  S.SetBytes(0x054C, {0x10, 0xD0, 0x02});  // countdown 0x2D / 2 = 22.5
  S.SetBytes(0x04B4, {0x34, 0x12, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
  S.SetBytes(0x0497, {0x78, 0x56, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
  S.SetBytes(0x04D2, {0x56, 0x34, 0x12, 0, 0, 0, 0, 0});
}

// The link wired to the scripted station: what the link sends is answered at once, and
// the answers come back one read later, as the port would hand them over.
struct TLinkBench {
  TLinkBench() {
    FillStation(Station);
    Link.SendByte = [this](std::uint8_t b) {
      Sent.push_back(b);
      for (std::uint8_t a : Station.Answer(b)) Pending.push_back(a);
    };
    Link.Purge = [this] { ++Purges; };
    Link.Dispatch = [this](int Code, const TBuffer64& Frame) {
      Codes.push_back(Code);
      DecodeWs2300Frame(Code, Frame, Data, kNow);
    };
    Link.Start();
  }
  // Hands everything waiting to the receiver, one read per answer burst, until quiet.
  void Deliver(int MaxReads = 10000) {
    while (!Pending.empty() && MaxReads-- > 0) {
      std::vector<std::uint8_t> read(Pending.begin(), Pending.end());
      Pending.clear();
      Link.Receive(read.data(), read.size());
      Link.PassDone();
    }
  }

  TWs2300Station Station;
  TWs2300Link Link;
  std::deque<std::uint8_t> Pending;
  std::vector<std::uint8_t> Sent;
  std::vector<int> Codes;
  int Purges = 0;
  TWxData Data;
};

TBuffer64 Reply(std::initializer_list<std::uint8_t> Data, int ChecksumError = 0) {
  TBuffer64 f;
  f.fill(0xFF);
  int i = 5;
  unsigned sum = 0;
  for (std::uint8_t d : Data) {
    f[i++] = d;
    sum += d;
  }
  f[i] = std::uint8_t(sum + ChecksumError);
  return f;
}

}  // namespace

TEST(Ws2300Link, RequestsAreEncodedAsTheStationExpects) {
  const std::array<std::array<std::uint8_t, 5>, 12> commands{{
      {0x82, 0x8E, 0x92, 0x9A, 0xDE},
      {0x82, 0x8E, 0x9E, 0x8E, 0xDE},
      {0x82, 0x8E, 0xBE, 0xAE, 0xCE},
      {0x82, 0x92, 0x86, 0xA6, 0xCE},
      {0x82, 0x96, 0x8A, 0x9E, 0xDA},
      {0x82, 0x96, 0xB6, 0xA2, 0xE2},
      {0x82, 0x96, 0xBE, 0x9A, 0xE2},
      {0x82, 0x9A, 0x82, 0xAA, 0xE2},
      {0x82, 0x96, 0x92, 0xB2, 0xCE},
      {0x82, 0x92, 0xAE, 0x92, 0xEE},
      {0x82, 0x92, 0xA6, 0x9E, 0xEE},
      {0x82, 0x92, 0xB6, 0x8A, 0xE2},
  }};
  TWs2300Link link;
  for (int n = 1; n <= 12; ++n) {
    link.RequestNo = std::uint8_t(n);
    link.BuildWs2300Request();
    EXPECT_EQ(link.Command, commands[n - 1]) << n;
  }
  link.RequestNo = 1;
  link.BuildWs2300Request();
  EXPECT_EQ(link.Acks, (std::array<std::uint8_t, 4>{0x00, 0x13, 0x24, 0x36}));
  EXPECT_EQ(link.ReplyLength, 12);
}

TEST(Ws2300Link, FullCycleAgainstTheScriptedStation) {
  TLinkBench bench;
  bench.Link.PassDone();  // the reader's first pass: three resets
  EXPECT_EQ(bench.Sent, (std::vector<std::uint8_t>{0x06, 0x06, 0x06}));
  bench.Deliver(1);
  // Three answers to three resets start request 1 once.
  EXPECT_EQ(bench.Sent.size(), 4u);
  EXPECT_EQ(bench.Sent.back(), 0x82);
  EXPECT_EQ(bench.Link.LinkState, kWs2300StateAck1);
  bench.Deliver(13 * 5);  // thirteen requests of five answers each
  EXPECT_EQ(bench.Codes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}));

  const TWxData& d = bench.Data;
  EXPECT_TRUE(d.TempIn.Valid);
  EXPECT_NEAR(d.TempIn.Cur, 21.5, 1e-9);
  EXPECT_NEAR(d.TempIn.Min, 18.2, 1e-9);
  EXPECT_NEAR(d.TempIn.Max, 25.0, 1e-9);
  EXPECT_EQ(d.TempIn.Time, kNow);
  EXPECT_NEAR(d.TempOut.Cur, -3.7, 1e-9);
  EXPECT_NEAR(d.TempOut.Min, -10.0, 1e-9);
  EXPECT_NEAR(d.TempOut.Max, 1.0, 1e-9);
  EXPECT_EQ(d.HumIn.Cur, 45);
  EXPECT_EQ(d.HumIn.Min, 30);
  EXPECT_EQ(d.HumIn.Max, 60);
  EXPECT_EQ(d.HumOut.Cur, 87);
  EXPECT_TRUE(d.Wind.Valid);
  EXPECT_EQ(d.Wind.Dir, 338);  // 15 * 22.5 = 337.5, to the even neighbour
  EXPECT_NEAR(d.Wind.Speed, 12.3, 1e-9);
  EXPECT_NEAR(d.Baro.Abs, 1003.4, 1e-9);
  EXPECT_NEAR(d.Baro.Rel, 1013.2, 1e-9);
  EXPECT_NEAR(d.BaroMin.Abs, 990.0, 1e-9);
  EXPECT_NEAR(d.BaroMin.Rel, 1000.0, 1e-9);
  EXPECT_NEAR(d.BaroMax.Abs, 1020.5, 1e-9);
  EXPECT_NEAR(d.BaroMax.Rel, 1030.1, 1e-9);
  EXPECT_TRUE(d.BaroMax.Valid);
  EXPECT_EQ(d.SensorState.Link, 1);
  EXPECT_EQ(d.SensorState.Countdown, 22);  // 22.5 to the even neighbour
  EXPECT_NEAR(d.Rain1h.Value, 12.34, 1e-9);
  EXPECT_NEAR(d.Rain24h.Value, 56.78, 1e-9);
  EXPECT_NEAR(d.RainTotal.Value, 1234.56, 1e-9);
  EXPECT_TRUE(d.RainTotal.Valid);
  EXPECT_EQ(d.RainTotal.Time, kNow);
}

TEST(Ws2300Link, AWrongChecksumSkipsToTheNextRequest) {
  TLinkBench bench;
  bench.Station.ChecksumError = 1;
  bench.Link.PassDone();
  bench.Deliver(1 + 5 * 3);
  EXPECT_TRUE(bench.Codes.empty());
  EXPECT_EQ(bench.Link.RequestNo, 4);
  EXPECT_EQ(bench.Link.LinkState, kWs2300StateAck1);
}

TEST(Ws2300Link, SilenceResynchronisesAndTheCycleGoesOn) {
  TLinkBench bench;
  bench.Link.PassDone();
  bench.Deliver(1 + 5 * 4);  // requests 1 to 4 done, request 5 under way
  ASSERT_EQ(bench.Link.RequestNo, 5);
  // The station stops answering in the middle of request 5.
  bench.Pending.clear();
  bench.Station = TWs2300Station();
  FillStation(bench.Station);
  for (int pass = 1; pass < kWs2300SilentPasses; ++pass) bench.Link.ReaderIdle();
  EXPECT_EQ(bench.Link.LinkState, kWs2300StateAck1);  // the first acknowledgement was lost
  bench.Sent.clear();
  const int purges = bench.Purges;
  bench.Link.ReaderIdle();  // the tenth silent pass
  EXPECT_EQ(bench.Link.LinkState, kWs2300StateResync);
  EXPECT_EQ(bench.Sent, (std::vector<std::uint8_t>{0x06}));  // one reset per pass
  EXPECT_EQ(bench.Purges, purges + 1);
  bench.Pending.clear();
  bench.Link.ReaderIdle();
  EXPECT_EQ(bench.Sent.size(), 2u);
  bench.Deliver(1 + 5);
  EXPECT_EQ(bench.Codes.back(), 5);  // the same request, after the resync
}

TEST(Ws2300Link, WrongAcknowledgementsAndLongRepliesNeverDispatch) {
  TWs2300Link link;
  int dispatched = 0;
  std::vector<std::uint8_t> sent;
  link.SendByte = [&](std::uint8_t b) { sent.push_back(b); };
  link.Dispatch = [&](int, const TBuffer64&) { ++dispatched; };
  link.Start();
  const std::uint8_t answer = 0x02;
  link.Receive(&answer, 1);
  ASSERT_EQ(link.LinkState, kWs2300StateAck1);
  const std::uint8_t wrong = 0x01;
  link.Receive(&wrong, 1);
  EXPECT_EQ(link.LinkState, kWs2300StateAck1);  // waits for the silence that resyncs

  // Every state fed random bytes, also far beyond a frame: nothing breaks, and the
  // frame index never passes the frame.
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    link.LinkState = std::uint8_t(1 + random() % 7);
    std::vector<std::uint8_t> bytes(random() % 200);
    for (auto& b : bytes) b = std::uint8_t(random());
    link.Receive(bytes.data(), bytes.size());
    EXPECT_LE(link.FrameIndex, 64);
    if (round % 7 == 0) link.ReaderIdle();
  }
}

TEST(Ws2300Decoders, FlagsFillersAndOwnChecksums) {
  TWxData d;
  d.TempIn.Cur = 11;
  // d1 = 0xAA: the current value is missing, the extremes are still read.
  EXPECT_EQ(DecodeWs2300Frame(1, Reply({0x50, 0xAA, 0x00, 0x82, 0x04, 0x00, 0x55}), d, kNow),
            nullptr);
  EXPECT_FALSE(d.TempIn.Valid);
  EXPECT_EQ(d.TempIn.Cur, 11);
  EXPECT_NEAR(d.TempIn.Max, 25.0, 1e-9);
  EXPECT_NEAR(d.TempIn.Min, 18.2, 1e-9);
  EXPECT_EQ(d.TempIn.Time, kNow);

  EXPECT_STREQ(DecodeWs2300Frame(2, Reply({1, 2, 3, 4, 5, 6, 7}, 1), d, kNow),
               "Temp Format Error!");
  EXPECT_FALSE(d.TempOut.Valid);

  d.HumIn = {};
  d.HumIn.Max = 77;
  EXPECT_EQ(DecodeWs2300Frame(3, Reply({0x45, 0x30, 0x6B}), d, kNow), nullptr);
  EXPECT_EQ(d.HumIn.Cur, 45);
  EXPECT_EQ(d.HumIn.Max, 77);  // 6B is no humidity
  EXPECT_EQ(d.HumIn.Min, 30);
  EXPECT_STREQ(DecodeWs2300Frame(4, Reply({1, 2, 3}, 1), d, kNow), "Huminity Format Error!");

  // Wind: direction nibble 0 is north; the low nibble of d0 set means no reading.
  EXPECT_EQ(DecodeWs2300Frame(5, Reply({0x00, 0x10, 0x00, 0, 0, 0}), d, kNow), nullptr);
  EXPECT_EQ(d.Wind.Dir, 0);
  EXPECT_NEAR(d.Wind.Speed, 1.6, 1e-9);
  EXPECT_EQ(DecodeWs2300Frame(5, Reply({0x01, 0x90, 0x30, 0, 0, 0}), d, kNow), nullptr);
  EXPECT_FALSE(d.Wind.Valid);
  EXPECT_NEAR(d.Wind.Speed, 1.6, 1e-9);
  d.Wind.Valid = true;
  EXPECT_STREQ(DecodeWs2300Frame(5, Reply({0, 0, 0, 0, 0, 0}, 1), d, kNow), "Wind Format Error!");
  EXPECT_TRUE(d.Wind.Valid);  // unchanged
  EXPECT_EQ(DecodeWs2300Frame(5, Reply({0x00, 0x00, 0x10, 0, 0, 0}), d, kNow), nullptr);
  EXPECT_EQ(d.Wind.Dir, 22);  // 22.5 to the even neighbour
  EXPECT_EQ(DecodeWs2300Frame(5, Reply({0x00, 0x00, 0x30, 0, 0, 0}), d, kNow), nullptr);
  EXPECT_EQ(d.Wind.Dir, 68);  // 67.5

  EXPECT_STREQ(DecodeWs2300Frame(6, Reply({0, 0, 0, 0, 0, 0, 0, 0}, 1), d, kNow),
               "Baro Format Error!");
  EXPECT_STREQ(DecodeWs2300Frame(9, Reply({0, 0, 0}, 1), d, kNow), "SensorState Format Error!");
  EXPECT_STREQ(DecodeWs2300Frame(10, Reply({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1), d, kNow),
               "DecRain Format Error!");
  EXPECT_FALSE(d.Rain1h.Valid);
  EXPECT_STREQ(DecodeWs2300Frame(12, Reply({0, 0, 0, 0, 0, 0, 0, 0}, 1), d, kNow),
               "DecRainAll Format Error!");
  EXPECT_EQ(DecodeWs2300Frame(0, Reply({}), d, kNow), nullptr);
  EXPECT_EQ(DecodeWs2300Frame(13, Reply({}), d, kNow), nullptr);
}
