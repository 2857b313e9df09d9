// The own beacons end to end: what the TNC gets as KISS frames, what the APRS-IS server
// gets as lines and what the monitor shows, read back by our decoders and by
// direwolf's decode_aprs.
#include <gtest/gtest.h>

#include "app/transmit/beacons.h"
#include "app/monitor/monitor_styles.h"
#include "app/transmit/transmit_support.h"
#include "core/aprs_data.h"
#include "devices/wx_data.h"

namespace {

class BeaconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TBeaconSettings& s = beacons.Settings;
    s.CallP1 = [this] { return call_p1; };
    s.CallP2 = [] { return std::string("N0CALL-2"); };
    s.PathP1 = [this] { return path_p1; };
    s.PathP2 = [] { return std::string("APRS WIDE2-2"); };
    s.InfoP1 = [] { return std::string(" Velmora test "); };
    s.InfoP2 = [] { return std::string("port two"); };
    s.StatusP1 = [] { return std::string("Net Control Center"); };
    s.WxStatusP1 = [this] { return wx_status; };
    s.WxSsidP1 = [] { return std::string(" -13 "); };
    s.WxSsidP2 = [] { return std::string("-14"); };
    s.Symbol = [](int port) {
      return port == 0 ? TBeaconSymbol{'/', '>'} : TBeaconSymbol{'\\', 'k'};
    };
    s.OwnPos = [this] { return own; };
    s.GpsPos = [this](TGeoPoint& pos) {
      if (gps_fix) pos = gps;
      return gps_fix;
    };
    s.Ambiguity = [this] { return ambiguity; };
    s.Compressed = [this] { return compressed; };
    s.RangeOn = [this] { return range; };
    s.PowerWatts = [] { return 4.0; };
    s.HeightFeet = [] { return 3.0; };
    s.GainDb = [] { return 0.0; };
    s.DualPort = [this] { return dual; };
    s.WxDeviceOn = [this] { return wx_on; };
    s.WxText = [this] { return wx_text; };
    beacons.Kiss = &tnc.link;
    beacons.IsConnected = [this] { return connected; };
    beacons.WriteLine = [this](const std::string& line) {
      lines.push_back(line);
      return true;
    };
    beacons.AddLogText = [this](const std::string& text, int style) {
      monitor.push_back(std::to_string(style) + text);
    };
    beacons.ResetProgress = [this](TBeaconKind kind) { reset.push_back(kind); };
    beacons.StepProgress = [this](TBeaconKind kind) { steps.push_back(kind); };
  }

  std::string call_p1 = "N0CALL-9";
  std::string path_p1 = "APRS,WIDE1-1";
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
  int reads = 0;
  beacons.Settings.WxFromTextFile = [] { return true; };
  beacons.Settings.ReadWxTextFile = [&] {
    ++reads;
    wx_text = "090/005g010t050";
  };
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
