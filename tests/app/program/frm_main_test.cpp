#include "app/program/frm_main.h"

#include <gtest/gtest.h>

#include "app/app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "controls/my_hint.h"
#include "core/kiss_link.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/view/rich_doc.h"
#include "support/kiss_link_double.h"

namespace {

class MainFrameTest : public AppWindowsTest {
 protected:
  void TearDown() override {
    KissLink.SetViews(nullptr);
    AppWindowsTest::TearDown();
  }
  TKissLinkDouble kiss_views_;
};

// A colour's brightness, 0 to 255.
int Brightness(TColor Color) {
  return ((Color & 0xFF) + ((Color >> 8) & 0xFF) + ((Color >> 16) & 0xFF)) / 3;
}

// The program's hints can be read whole: the dark text stands on a light face in both
// halves.
TEST_F(MainFrameTest, HintsAreDarkTextOnALightFace) {
  TMyHint& hint = *frmMain->MyHint1;
  hint.SetActive(true);
  auto& window = dynamic_cast<TMyHintWindow&>(ApplicationHintWindow());
  const std::string text = "Nachrichten anzeigen...";
  const TRect size = window.CalcHintRect(1000, text);
  window.ActivateHint(Bounds(10, 10, size.Width(), size.Height()), text);
  const TCanvas& face = window.Picture().Canvas();
  const int right = size.Width() - 2;
  EXPECT_LT(Brightness(hint.Font().Color()), 64);
  EXPECT_GT(Brightness(face.Pixels(right, 1)), 192);
  EXPECT_GT(Brightness(face.Pixels(right, size.Height() - 2)), 192);
  CancelHint();
  hint.SetActive(false);
}

TEST_F(MainFrameTest, ByteListFeedReachesTheKissReceiver) {
  std::string monitor;
  KissLink.KissActive = 0;
  kiss_views_.OnLogText = [&monitor](const std::string& Text, TLinkTraffic) { monitor += Text; };
  KissLink.SetViews(&kiss_views_);
  frmSetup->memDebu->SetText("86, 101,108\r\n,13");
  frmAprs->AddMonitorText("\r\nan earlier packet", 0);
  ASSERT_GT(frmAprs->rdMain->ItemCount(), 0);
  frmMain->Button3Click(frmMain->Button3);
  EXPECT_EQ(frmAprs->rdMain->ItemCount(), 0);  // cleared first
  ASSERT_EQ(frmSetup->lbxByt->Items().Count(), 4);
  EXPECT_EQ(frmSetup->lbxByt->Items()[1], " 101");
  EXPECT_EQ(monitor, "Vel\r");
}

TEST_F(MainFrameTest, ByteListFeedStopsAtAValueThatIsNoNumber) {
  frmSetup->memDebu->SetText("86,x");
  EXPECT_THROW(frmMain->Button3Click(frmMain->Button3), EConvertError);
}

TEST_F(MainFrameTest, KissOnNeedsADevice) {
  frmSetup->mfcbxDevice->SetItemIndex(0);
  frmMain->btnKissOnClick(frmMain->btnKissOn);
  EXPECT_FALSE(TncControl().Busy());
  EXPECT_FALSE(TncRs232().Rs232Open());
}

// The maximised map window has no title bar: its caption, with the map's name and the
// TNC's state, is seen in the frame's title.
TEST_F(MainFrameTest, TheFrameTitleShowsTheMapWindowsCaption) {
  frmMain->Show();
  const std::string frame = frmMain->Caption();
  for (const char* status : {kTncStatusConnecting, "TNC", kTncStatusLost, kTncStatusDisconnected,
                             "device not reading, 3 writes dropped"}) {
    TncControl().Views().SetStatusText(status);
    EXPECT_NE(frmAprs->Caption().find(status), std::string::npos) << status;
    EXPECT_EQ(ShownTitle(*frmMain), frame + " - [" + frmAprs->Caption() + "]");
  }
  // Not maximised, the map window shows its caption itself.
  frmAprs->SetWindowState(wsNormal);
  EXPECT_EQ(ShownTitle(*frmMain), frame);
  frmAprs->SetWindowState(wsMaximized);
  EXPECT_EQ(ShownTitle(*frmMain), frame + " - [" + frmAprs->Caption() + "]");
}

TEST_F(MainFrameTest, TheFrameHoldsTheMapWindow) {
  EXPECT_FALSE(frmMain->pnlTop->Visible());
  EXPECT_FALSE(frmMain->cbxDebug->Visible());
  EXPECT_EQ(frmMain->ClientWidth(), 740);
  EXPECT_EQ(frmMain->MDIChildCount(), 1);
}

}  // namespace
