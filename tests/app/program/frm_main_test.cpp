#include "app/program/frm_main.h"

#include <gtest/gtest.h>

#include "app/map/frm_aprs.h"
#include "app/settings/frm_setup.h"
#include "app/receive/tnc_link.h"
#include "app/app_windows.h"
#include "core/kiss_link.h"
#include "richtext/rich_doc.h"
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

TEST_F(MainFrameTest, TheFrameHoldsTheMapWindow) {
  EXPECT_FALSE(frmMain->pnlTop->Visible());
  EXPECT_FALSE(frmMain->cbxDebug->Visible());
  EXPECT_EQ(frmMain->ClientWidth(), 740);
  EXPECT_EQ(frmMain->MDIChildCount(), 1);
}

}  // namespace
