// The beacons and the messaging window read the real settings window and move the map
// window's progress bars, as the program wires them.
#include "app/transmit/transmit_wiring.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/frm_log.h"
#include "app/receive/receive_fixture.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "devices/wx_stn.h"
#include "platform/test_support/gui_test_support.h"

namespace {

class TransmitWiringTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    TfrmSetup& s = *frmSetup;
    s.edtCallP1->SetText("N0CALL-9");
    s.edtPathP1->SetText("APRS,WIDE1-1");
    s.edtInfoP1->SetText(" wired ");
    s.edtStatusP1->SetText("on the air");
    s.OwnLat = 49.058333333;
    s.OwnLon = -72.029166667;
    s.mbtnRange->SetDown(true);
    s.mbtnComp->SetDown(false);
    s.nedtPower->SetIntIst(4);
    s.mfcbxHeight->SetItemIndex(0);  // metres
    s.nedtHeight->SetIntIst(1);
    s.nedtGain->SetIntIst(0);
    SymTabP1 = '/';
    SymCodeP1 = '>';
    beacons.Kiss = &tnc.link;
    settings = std::make_unique<TSetupBeaconSettings>(s, *frmGpsStatus);
    map_views = std::make_unique<TMapBeaconViews>(*frmAprs);
    beacons.SetSettings(settings.get());
    beacons.SetViews(map_views.get());
    ConnectBeaconsToSetup(beacons, s);
  }
  // The messaging window as the program wires it, onto these beacons.
  void ConnectMsg(TfrmAprsMsg& msg) {
    msg.OwnCalls = settings.get();
    msg.Internet = &beacons;
  }

  TCapturedKiss tnc;
  std::unique_ptr<TSetupBeaconSettings> settings;
  std::unique_ptr<TMapBeaconViews> map_views;
  TBeacons beacons;
};

}  // namespace

TEST_F(TransmitWiringTest, BeaconTimersSendFromTheSettingsAndMoveTheBars) {
  TfrmSetup& s = *frmSetup;
  TMyProgressBar& bar = *frmAprs->mpbTimPosP1;
  bar.SetMax(600);
  bar.SetPosition(0);
  s.timPosDec->OnTimer(s.timPosDec);
  s.timPosDec->OnTimer(s.timPosDec);
  EXPECT_EQ(bar.Position(), 2);
  EXPECT_EQ(s.timPosDec->Interval(), 1000u);

  s.timPosP1->OnTimer(s.timPosP1);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(
      tnc.Decoded(0),
      "1:fm N0CALL-9 to APRS via WIDE1-1 ctl UI^ pid F0\r\n=4903.50N/07201.75W>RNG0002/wired");
  EXPECT_EQ(bar.Position(), 0);
  s.timStatusP1->OnTimer(s.timStatusP1);
  EXPECT_NE(tnc.Decoded(1).find("\r\n>on the air"), std::string::npos);
  // A status typed in Greek goes out as typed, in UTF-8.
  s.edtStatusP1->SetText("");
  SimulateUnicodeKey(*s.edtStatusP1, 0, u"\u03A3\u03BF 73");
  s.timStatusP1->OnTimer(s.timStatusP1);
  EXPECT_NE(tnc.Decoded(2).find("\r\n>\xCE\xA3\xCE\xBF 73"), std::string::npos) << tnc.Decoded(2);
  // A second port only with a dual-port device.
  s.timPosP2->OnTimer(s.timPosP2);
  EXPECT_EQ(tnc.frames.size(), 3u);
}

TEST_F(TransmitWiringTest, MessagesGoOutWithTheSettingsCallsAndPath) {
  TfrmAprsMsg& msg = *frmAprsMsg;
  msg.Kiss = &tnc.link;
  ConnectMsg(msg);
  TAprsInfo info;
  info.SrcCall = "DL1ABC";
  info.Port = 1;
  info.Data = ":N0CALL-9 :hello{5";
  msg.HandleRxMessage(info);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.Decoded(0), "1:fm N0CALL-9 to APRS via WIDE1-1 ctl UI^ pid F0\r\n:DL1ABC   :ack5");
}

// A session recorded through the dispatcher and played back: the packets are stored
// again, but the IGate forwards none of them and no message is answered twice.
TEST_F(TransmitWiringTest, PlayedPacketsAreStoredButNeitherForwardedNorAnswered) {
  TReceivePath path;
  path.tcp_digi = true;
  TfrmAprsMsg& msg = *frmAprsMsg;
  msg.Kiss = &tnc.link;
  ConnectMsg(msg);
  path.on_message = [&](const TAprsInfo& info) { msg.HandleRxMessage(info); };
  path.call_p1 = "N0CALL-9";
  TfrmLog& log = *frmLog;
  ConnectPacketLog(log, path.dispatcher, &msg);

  const std::string file = PrgDir() + "session.log";
  log.StartRecording(file, false);
  path.Packet("fm DL1ABC to APRS via WIDE1-1 ctl UI pid F0", "!4903.50N/07201.75W>live");
  path.Packet("fm DL1ABC to APRS ctl UI pid F0", ":N0CALL-9 :hello{5");
  log.StopRecording();
  EXPECT_EQ(path.igated.size(), 2u);
  EXPECT_EQ(tnc.frames.size(), 1u);  // the acknowledgement

  TReceivePath replay;
  replay.tcp_digi = true;
  replay.call_p1 = "N0CALL-9";
  replay.on_message = [&](const TAprsInfo& info) { msg.HandleRxMessage(info); };
  ConnectPacketLog(log, replay.dispatcher, &msg);
  ASSERT_TRUE(log.StartPlayback(file));
  for (int i = 0; i < 5 && log.Player.Playing(); ++i) log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_FALSE(log.Player.Playing());
  EXPECT_TRUE(replay.igated.empty());
  EXPECT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(replay.Field("AAprsDL1ABC", sfComment), "live");
  // Live traffic after the playback is forwarded again.
  replay.Packet("fm DL1ABC to APRS ctl UI pid F0", ">live again");
  EXPECT_EQ(replay.igated.size(), 1u);
}

TEST_F(TransmitWiringTest, EveryWeatherUpdateRebuildsTheWeatherText) {
  TfrmSetup& s = *frmSetup;
  TWxStnDataReader* reader = nullptr;
  for (int i = 0; i < s.WxStn->ComponentCount() && !reader; ++i)
    reader = dynamic_cast<TWxStnDataReader*>(s.WxStn->Components(i));
  ASSERT_NE(reader, nullptr);
  reader->Data.TempOut = {true, -20.5, 0, 0, 0};
  reader->Data.HumOut = {true, 100, 0, 0, 0};
  s.mbtnWind->SetDown(false);
  s.mbtnRain->SetDown(false);
  s.mbtnHuminity->SetDown(true);
  s.mbtnBaro->SetDown(true);
  ASSERT_TRUE(reader->OnWxDataUpdate);
  reader->OnWxDataUpdate(reader);
  EXPECT_EQ(s.WxText, ".../...g...t-05h00b.....");
}

// The TX buttons of the settings window send their beacon at once, through the TNC
// link's port writer, and a second-port position only with a dual-port device.
TEST_F(TransmitWiringTest, TxButtonsSendTheirBeaconThroughTheTncPort) {
  TfrmSetup& s = *frmSetup;
  std::vector<std::string> written;
  tnc.views.OnFrame = [&](std::span<const uint8_t> bytes) {
    written.emplace_back(bytes.begin(), bytes.end());
    return true;
  };
  s.mbtnTxPosP1->Click();
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].front(), '\xC0');
  EXPECT_EQ(written[0][1], '\x00');  // KISS data frame, radio port 1
  EXPECT_NE(written[0].find("=4903.50N/07201.75W>RNG0002/wired"), std::string::npos);

  s.mbtnTxStatusP1->Click();
  ASSERT_EQ(written.size(), 2u);
  EXPECT_NE(written[1].find(">on the air"), std::string::npos);

  s.mfcbxDevice->SetItemIndex(0);  // OFF
  s.mbtnTxPosP2->Click();
  EXPECT_EQ(written.size(), 2u);
  s.mfcbxDevice->SetItemIndex(kDevicePtc2);
  s.edtCallP2->SetText("N0CALL-2");
  s.mbtnTxPosP2->Click();
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[2][1], '\x10');  // radio port 2

  // A weather beacon without weather data sends nothing.
  s.mfcbxWxDevice->SetItemIndex(kWxDeviceWs2300);
  s.mbtnTxWxP1->Click();
  EXPECT_EQ(written.size(), 3u);
  // Nothing at all without a fixed own position.
  s.OwnLat = 0;
  s.OwnLon = 0;
  s.mbtnTxStatusP1->Click();
  EXPECT_EQ(written.size(), 3u);
}

TEST_F(TransmitWiringTest, EveryBeaconHasItsNamedTxButton) {
  const char* const names[] = {"mbtnTxPosP1", "mbtnTxStatusP1", "mbtnTxWxP1", "mbtnTxWxStatusP1",
                               "mbtnTxPosP2", "mbtnTxStatusP2", "mbtnTxWxP2", "mbtnTxWxStatusP2"};
  for (int kind = bkPosP1; kind <= bkWxStatusP2; ++kind) {
    TMyButton* button = frmSetup->TxButton(TBeaconKind(kind));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Name, names[kind]);
    EXPECT_EQ(frmSetup->FindComponent(names[kind]), button);
  }
}
