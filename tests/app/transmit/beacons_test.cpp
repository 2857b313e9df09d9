// The own beacons end to end: what the TNC gets as KISS frames, what the APRS-IS server
// gets as lines and what the monitor shows, read back by our decoders and by
// direwolf's decode_aprs.
#include <gtest/gtest.h>

#include "app/monitor/monitor_styles.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "core/aprs_data.h"
#include "devices/wx_data.h"

namespace {

// The test is the beacons' settings and views: its members are what they read, and
// what they send and show is kept.
class BeaconTest : public ::testing::Test, public TBeaconSettings, public TBeaconViews {
 protected:
  void SetUp() override {
    beacons.Kiss = &tnc.link;
    beacons.SetSettings(this);
    beacons.SetViews(this);
  }

  std::string Call(int port) const override { return port == 0 ? call_p1 : "N0CALL-2"; }
  std::string Path(int port) const override { return port == 0 ? path_p1 : "APRS WIDE2-2"; }
  std::string Info(int port) const override { return port == 0 ? " Velmora test " : "port two"; }
  std::string Status(int port) const override { return port == 0 ? status_p1 : ""; }
  std::string WxStatus(int port) const override { return port == 0 ? wx_status : ""; }
  std::string WxSsid(int port) const override { return port == 0 ? " -13 " : "-14"; }
  TBeaconSymbol Symbol(int port) const override {
    return port == 0 ? TBeaconSymbol{'/', '>'} : TBeaconSymbol{'\\', 'k'};
  }
  TGeoPoint OwnPos() const override { return own; }
  bool GpsPos(TGeoPoint& pos) const override {
    if (gps_fix) pos = gps;
    return gps_fix;
  }
  int Ambiguity() const override { return ambiguity; }
  bool Compressed() const override { return compressed; }
  bool RangeOn() const override { return range; }
  double PowerWatts() const override { return 4.0; }
  double HeightFeet() const override { return 3.0; }
  double GainDb() const override { return 0.0; }
  bool DualPort() const override { return dual; }
  bool WxDeviceOn() const override { return wx_on; }
  std::string WxText() const override { return wx_text; }
  bool WxFromTextFile() const override { return wx_from_file; }
  void ReadWxTextFile() override {
    ++reads;
    wx_text = "090/005g010t050";
  }

  bool IsConnected() const override { return connected; }
  bool WriteLine(const std::string& line) override {
    lines.push_back(line);
    return true;
  }
  void AddLogText(const std::string& text, int style) override {
    monitor.push_back(std::to_string(style) + text);
  }
  void ResetProgress(TBeaconKind kind) override { reset.push_back(kind); }
  void StepProgress(TBeaconKind kind) override { steps.push_back(kind); }

  std::string call_p1 = "N0CALL-9";
  std::string path_p1 = "APRS,WIDE1-1";
  std::string status_p1 = "Net Control Center";
  std::string wx_status = "Home weather";
  std::string wx_text;
  TGeoPoint own{49.058333333, -72.029166667};
  TGeoPoint gps{52.5, 13.25};
  bool gps_fix = false;
  int ambiguity = 0;
  bool compressed = false;
  bool range = false;
  bool dual = false;
  bool wx_on = false;
  bool wx_from_file = false;
  int reads = 0;  // of the weather file
  bool connected = true;

  TCapturedKiss tnc;
  TBeacons beacons;
  std::vector<std::string> lines;
  std::vector<std::string> monitor;
  std::vector<TBeaconKind> reset;
  std::vector<TBeaconKind> steps;
};

}  // namespace

TEST_F(BeaconTest, PositionBeaconGoesToTheRadioAndTheInternetWithEcho) {
  range = true;
  ASSERT_EQ(beacons.SendBeacon(bkPosP1), TBeaconResult::Sent);
  const std::string data = "=4903.50N/07201.75W>RNG0002/Velmora test";
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.frames[0][1], 0x00);  // KISS port 0, data
  EXPECT_EQ(tnc.Decoded(0), "1:fm N0CALL-9 to APRS via WIDE1-1 ctl UI^ pid F0\r\n" + data);
  ASSERT_EQ(lines, std::vector<std::string>{"N0CALL-9>APRS,WIDE1-1:" + data});
  EXPECT_EQ(monitor,
            (std::vector<std::string>{
                std::to_string(msIgHead) + "\r\nig N0CALL-9 to APRS via WIDE1-1 ctl UIv pid F0",
                std::to_string(msIgData) + "\r\n" + data}));
  EXPECT_EQ(reset, std::vector<TBeaconKind>{bkPosP1});

  const TAprsData d = DecodeAprsData("APRS", data);
  EXPECT_NEAR(d.Lat, 49.058333, 1e-5);
  EXPECT_NEAR(d.Lon, -72.029167, 1e-5);
  EXPECT_EQ(d.SymCode, '>');
}

// A settings file may hold anything: a status text with a line break and a packet after
// it goes out as one packet, the same on the radio and the internet, and no more.
TEST_F(BeaconTest, ALineBreakInASettingsTextEndsItOnTheRadioAndTheInternetAlike) {
  using namespace std::string_literals;
  for (const std::string& status :
       {"Net\r\nEVIL>APRS:>forged"s, "Net\nEVIL"s, "Net\rEVIL"s, "Net\0EVIL"s}) {
    tnc.frames.clear();
    lines.clear();
    monitor.clear();
    status_p1 = status;
    ASSERT_EQ(beacons.SendBeacon(bkStatusP1), TBeaconResult::Sent);
    ASSERT_EQ(tnc.frames.size(), 1u);
    EXPECT_EQ(tnc.Decoded(0), "1:fm N0CALL-9 to APRS via WIDE1-1 ctl UI^ pid F0\r\n>Net");
    EXPECT_EQ(lines, std::vector<std::string>{"N0CALL-9>APRS,WIDE1-1:>Net"});
    EXPECT_EQ(monitor.back(), std::to_string(msIgData) + "\r\n>Net");
  }
}

TEST_F(BeaconTest, DirewolfReadsOurFramesAndLinesAsTheBeaconsWeMeant) {
  if (!HaveDecodeAprs()) GTEST_SKIP() << "decode_aprs is not installed";
  range = true;
  beacons.SendBeacon(bkPosP1);
  compressed = true;
  ambiguity = 0;
  beacons.SendBeacon(bkPosP1);
  beacons.SendBeacon(bkStatusP1);
  wx_on = true;
  TWxData wx;
  wx.Wind = {true, 220, 1.5, 1.8, 2.2, 0};
  wx.TempOut = {true, -20.5, 0, 0, 0};
  wx.HumOut = {true, 100, 0, 0, 0};
  wx.Baro = {true, 1010, 1013.25, 0};
  wx_text = BuildWxText(wx, {true, false, true, true});
  beacons.SendBeacon(bkWxP1);
  ASSERT_EQ(tnc.frames.size(), 4u);
  ASSERT_EQ(lines.size(), 4u);

  std::string radio = DecodeAprs(tnc.Hex(0));
  EXPECT_NE(radio.find("N0CALL-9>APRS,WIDE1-1:=4903.50N/07201.75W>RNG0002/Velmora test"),
            std::string::npos)
      << radio;
  EXPECT_NE(radio.find("N 49 03.5000, W 072 01.7500"), std::string::npos) << radio;
  EXPECT_NE(radio.find("range=2.0"), std::string::npos) << radio;

  radio = DecodeAprs(tnc.Hex(1));
  EXPECT_NE(radio.find("N 49 03.5"), std::string::npos) << radio;
  EXPECT_NE(radio.find("W 072 01.7"), std::string::npos) << radio;

  radio = DecodeAprs(tnc.Hex(2));
  EXPECT_NE(radio.find("Status Report"), std::string::npos) << radio;
  EXPECT_NE(radio.find("Net Control Center"), std::string::npos) << radio;

  for (const std::string& text : {DecodeAprs(tnc.Hex(3)), DecodeAprs(lines[3])}) {
    EXPECT_NE(text.find("N0CALL-13>APRS,WIDE1-1:=4903.50N/07201.75W_"), std::string::npos) << text;
    EXPECT_NE(text.find("Weather Report"), std::string::npos) << text;
    EXPECT_NE(text.find("direction 220, gust 5, temperature -5, humidity 100, barometer 29.92"),
              std::string::npos)
        << text;
  }
  const std::string line = DecodeAprs(lines[0]);
  EXPECT_NE(line.find("N 49 03.5000, W 072 01.7500"), std::string::npos) << line;
}

TEST_F(BeaconTest, NothingGoesOutWithoutOwnPositionOrCallsign) {
  own = {0, 0};
  gps_fix = true;  // a GPS fix does not make up for the missing fixed position
  for (TBeaconKind kind :
       {bkPosP1, bkStatusP1, bkWxP1, bkWxStatusP1, bkPosP2, bkStatusP2, bkWxP2, bkWxStatusP2})
    EXPECT_EQ(beacons.SendBeacon(kind), TBeaconResult::NoOwnPosition);
  own = {49, 8};
  call_p1 = "  ";
  wx_on = true;
  wx_text = ".../...g...t077";
  EXPECT_EQ(beacons.SendBeacon(bkPosP1), TBeaconResult::NoCallsign);
  EXPECT_EQ(beacons.SendBeacon(bkStatusP1), TBeaconResult::NoCallsign);
  EXPECT_EQ(beacons.SendBeacon(bkWxP1), TBeaconResult::NoCallsign);
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(monitor.empty());
  EXPECT_TRUE(reset.empty());
  // An internet line without source is never written either.
  EXPECT_FALSE(beacons.SendToIgate("0:", "APRS", ">x"));
  EXPECT_TRUE(lines.empty());
}

TEST_F(BeaconTest, GpsFixAmbiguityAndCompressionShapeThePosition) {
  gps_fix = true;
  EXPECT_EQ(beacons.BuildBeaconPos(0, false), "5230.00N/01315.00E>");
  gps_fix = false;
  ambiguity = 3;
  EXPECT_EQ(beacons.BuildBeaconPos(0, false), "4900.00N/07200.00W>");
  ambiguity = 9;  // beyond the list: the most the list offers
  EXPECT_EQ(beacons.BuildBeaconPos(0, false), "4900.00N/07200.00W>");
  compressed = true;
  const std::string block = beacons.BuildBeaconPos(0, false);
  EXPECT_EQ(block.size(), 13u);
  const TAprsData d = DecodeAprsData("APRS", "=" + block);
  EXPECT_NEAR(d.Lat, 49.0, 1e-5);
  EXPECT_NEAR(d.Lon, -72.0, 1e-5);
  // Weather beacons are always plain, with the weather symbol.
  EXPECT_EQ(beacons.BuildBeaconPos(1, true), "4900.00N/07200.00W_");
}

TEST_F(BeaconTest, SecondPortOnlyForDualPortDevicesButWeatherForEvery) {
  EXPECT_EQ(beacons.SendBeacon(bkPosP2), TBeaconResult::NotDualPort);
  EXPECT_EQ(beacons.SendBeacon(bkStatusP2), TBeaconResult::NotDualPort);
  EXPECT_TRUE(tnc.frames.empty());
  dual = true;
  ASSERT_EQ(beacons.SendBeacon(bkPosP2), TBeaconResult::Sent);
  EXPECT_EQ(tnc.frames[0][1], 0x10);  // KISS port 1
  EXPECT_EQ(tnc.Decoded(0),
            "2:fm N0CALL-2 to APRS via WIDE2-2 ctl UI^ pid F0\r\n=4903.50N\\07201.75Wkport two");
  EXPECT_EQ(lines.back(), "N0CALL-2>APRS,WIDE2-2:=4903.50N\\07201.75Wkport two");
  EXPECT_EQ(reset, std::vector<TBeaconKind>{bkPosP2});

  dual = false;
  wx_on = true;
  wx_text = ".../...g...t077";
  ASSERT_EQ(beacons.SendBeacon(bkWxP2), TBeaconResult::Sent);
  EXPECT_EQ(tnc.frames.back()[1], 0x10);
  EXPECT_EQ(lines.back(), "N0CALL-14>APRS,WIDE2-2:=4903.50N/07201.75W_.../...g...t077");
  EXPECT_EQ(reset.size(), 1u);  // weather beacons move no progress bar
}

TEST_F(BeaconTest, WeatherBeaconsWaitForWeatherDataAndStatusText) {
  EXPECT_EQ(beacons.SendBeacon(bkWxP1), TBeaconResult::NoWxDevice);
  wx_on = true;
  EXPECT_EQ(beacons.SendBeacon(bkWxP1), TBeaconResult::NoWxText);
  EXPECT_EQ(beacons.SendBeacon(bkWxStatusP1), TBeaconResult::NoWxText);
  wx_from_file = true;
  EXPECT_EQ(beacons.SendBeacon(bkWxP1), TBeaconResult::Sent);
  EXPECT_EQ(reads, 1);
  wx_status = "";
  EXPECT_EQ(beacons.SendBeacon(bkWxStatusP1), TBeaconResult::EmptyWxStatus);
  wx_status = "Davis";
  EXPECT_EQ(beacons.SendBeacon(bkWxStatusP1), TBeaconResult::Sent);
  EXPECT_EQ(reads, 1);  // the status reads no file
  EXPECT_EQ(lines.back(), "N0CALL-13>APRS,WIDE1-1:>Davis");
}

TEST_F(BeaconTest, WithoutConnectionOnlyTheRadioCopyAndNoEcho) {
  connected = false;
  ASSERT_EQ(beacons.SendBeacon(bkStatusP1), TBeaconResult::Sent);
  EXPECT_EQ(tnc.frames.size(), 1u);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(monitor.empty());
  EXPECT_EQ(reset, std::vector<TBeaconKind>{bkStatusP1});
}

TEST_F(BeaconTest, EchoSplitsDestinationAndViaList) {
  beacons.EchoIgateFrame("N0CALL", "APRS", ">a");
  beacons.EchoIgateFrame("N0CALL", "APRS,WIDE1-1,WIDE2-1", ">b");
  beacons.EchoIgateFrame("N0CALL", "", ">c");
  ASSERT_EQ(monitor.size(), 6u);
  EXPECT_EQ(monitor[0], std::to_string(msIgHead) + "\r\nig N0CALL to APRS ctl UIv pid F0");
  EXPECT_EQ(monitor[2],
            std::to_string(msIgHead) + "\r\nig N0CALL to APRS via WIDE1-1 WIDE2-1 ctl UIv pid F0");
  EXPECT_EQ(monitor[4], std::to_string(msIgHead) + "\r\nig N0CALL to APRS ctl UIv pid F0");
}

TEST_F(BeaconTest, InternetSenderDropsThePortPrefixAndNormalisesThePath) {
  EXPECT_TRUE(beacons.SendToIgate("1:N0CALL-2", " APRS  WIDE1-1,,WIDE2-1 ", ":DEST     :hi{1"));
  EXPECT_TRUE(beacons.SendToIgate("N0CALL", "", ">no path"));
  EXPECT_EQ(lines, (std::vector<std::string>{"N0CALL-2>APRS,WIDE1-1,WIDE2-1::DEST     :hi{1",
                                             "N0CALL>APRS:>no path"}));
}

TEST_F(BeaconTest, ProgressBarsStepForTheirPorts) {
  beacons.timPosDecTimer();
  EXPECT_EQ(steps, (std::vector<TBeaconKind>{bkPosP1, bkStatusP1}));
  dual = true;
  steps.clear();
  beacons.timPosDecTimer();
  EXPECT_EQ(steps, (std::vector<TBeaconKind>{bkPosP1, bkStatusP1, bkPosP2, bkStatusP2}));
}
