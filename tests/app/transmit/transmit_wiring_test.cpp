// The beacons and the messaging window read the real settings window and move the map
// window's progress bars, as the program wires them.
#include "app/transmit_wiring.h"

#include <gtest/gtest.h>

#include "app/app_windows.h"
#include "app/beacons.h"
#include "app/frm_aprs.h"
#include "app/frm_aprs_msg.h"
#include "app/frm_setup.h"
#include "app/transmit/transmit_support.h"

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
    ConnectBeaconsToSetup(beacons, s);
  }

  TCapturedKiss tnc;
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
  // A second port only with a dual-port device.
  s.timPosP2->OnTimer(s.timPosP2);
  EXPECT_EQ(tnc.frames.size(), 2u);
}

TEST_F(TransmitWiringTest, MessagesGoOutWithTheSettingsCallsAndPath) {
  TfrmAprsMsg& msg = *frmAprsMsg;
  msg.Kiss = &tnc.link;
  ConnectMsgToSetup(msg, *frmSetup, beacons);
  TAprsInfo info;
  info.SrcCall = "DL1ABC";
  info.Port = 1;
  info.Data = ":N0CALL-9 :hello{5";
  msg.HandleRxMessage(info);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.Decoded(0), "1:fm N0CALL-9 to APRS via WIDE1-1 ctl UI^ pid F0\r\n:DL1ABC   :ack5");
}
