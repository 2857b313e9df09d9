// Starting a message from another window (the station detail's message button).
#include <gtest/gtest.h>

#include "app/messages/frm_aprs_msg.h"
#include "app/transmit/transmit_support.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

// A messaging window that sends through a captured TNC as N0CALL.
struct MsgWindowSending : ::testing::Test {
  MsgWindowSending() {
    msg.Kiss = &tnc.link;
    own.call[0] = "N0CALL";
    own.path[0] = "APRS";
    msg.OwnCalls = &own;
  }
  TCapturedKiss tnc;
  TTestBeaconSettings own;
  TfrmAprsMsg msg{nullptr};
};

}  // namespace

TEST_F(MsgWindowSending, MessageToACallFillsTheAddresseeClearsTheTextAndShowsTheWindow) {
  msg.edtMsgAdr->SetText("OLD");
  msg.edtMsgTxt->SetText("half typed");
  ASSERT_FALSE(msg.Visible());

  msg.OnMessageTo("DL1ABC-7");
  EXPECT_TRUE(msg.Visible());
  EXPECT_EQ(msg.edtMsgAdr->Text(), "DL1ABC-7");
  EXPECT_EQ(msg.edtMsgTxt->Text(), "");

  // Shown already: it stays shown and takes the new call.
  msg.OnMessageTo("WU2Z");
  EXPECT_TRUE(msg.Visible());
  EXPECT_EQ(msg.edtMsgAdr->Text(), "WU2Z");

  msg.edtMsgTxt->SetText("hello");
  msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_NE(tnc.Decoded(0).find(":WU2Z     :hello{0"), std::string::npos);
  msg.Hide();
}

// TX without an addressee sends nothing and puts the cursor into the addressee edit.
TEST_F(MsgWindowSending, SendingWithoutAddresseePointsAtTheAddresseeEdit) {
  msg.Show();
  Application->ProcessMessages();  // let the window become active
  msg.edtMsgTxt->SetFocus();
  msg.edtMsgAdr->SetText("  ");
  msg.edtMsgTxt->SetText("hello");
  msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_TRUE(msg.edtMsgAdr->Focused());
  EXPECT_EQ(msg.edtMsgTxt->Text(), "hello");
  EXPECT_EQ(msg.PendingMsgs.Count(), 0);
  msg.Hide();
}

// The three lists are pages with their tabs at the bottom; choosing "My Message" by a
// click or by Ctrl+Tab puts the message lamp out.
TEST(MsgWindow, TheListsArePagesWithTabsAtTheBottomChosenByClickAndCtrlTab) {
  TfrmAprsMsg msg{nullptr};
  std::vector<bool> lamp;
  msg.MsgLamp = [&lamp](bool On) { lamp.push_back(On); };
  msg.Show();
  TExPageControl& pages = *msg.apctrlMain;
  ASSERT_EQ(pages.PageCount(), 3);
  EXPECT_EQ(pages.ActivePage(), msg.atabMonitor);
  for (int n = 0; n < 3; ++n) {
    const TRect tab = pages.TabRect(n);
    EXPECT_EQ(tab.Bottom, pages.Height() - 2) << n;
    EXPECT_EQ(tab.Height(), 24) << n;
  }
  // The lists fill their pages above the tabs.
  EXPECT_LE(msg.atabMonitor->Top() + msg.atabMonitor->Height(), pages.TabRect(0).Top);
  EXPECT_EQ(msg.rdMonitor->Width(), msg.atabMonitor->ClientWidth());

  const TRect mine = pages.TabRect(1);
  SimulateClick(pages, mine.Left + 10, mine.Top + 10);
  EXPECT_EQ(pages.ActivePage(), msg.atabMyMSg);
  EXPECT_TRUE(msg.rdMyMsg->Visible() && msg.atabMyMSg->Visible());
  EXPECT_FALSE(msg.atabMonitor->Visible());
  ASSERT_FALSE(lamp.empty());
  EXPECT_FALSE(lamp.back());

  msg.rdMyMsg->SetFocus();
  SimulateKey(*msg.rdMyMsg, VK_TAB, "", ssCtrl);
  EXPECT_EQ(pages.ActivePage(), msg.atabGroup);
  lamp.clear();
  SimulateKey(*msg.rdGroupMsg, VK_TAB, "", ssCtrl | ssShift);
  EXPECT_EQ(pages.ActivePage(), msg.atabMyMSg);
  EXPECT_EQ(lamp, std::vector<bool>{false});
  msg.Hide();
}

// An addressee typed in another script: only what a callsign holds is taken, so the
// message goes out to what the edit shows, never to '?'.
TEST_F(MsgWindowSending, AddresseeAndPathTakeOnlyWhatACallsignHolds) {
  SimulateUnicodeKey(*msg.edtMsgAdr, 0, u"\u0414\u041B1\u0410\u0411\u0426");
  SimulateUnicodeKey(*msg.edtMsgAdr, 0, u"wu2z");
  SimulateUnicodeKey(*msg.edtMsgPath, 0, u"aprs,w\u00EFde1-1");
  EXPECT_EQ(msg.edtMsgAdr->Text(), "1WU2Z");
  EXPECT_EQ(msg.edtMsgPath->Text(), "APRS,WDE1-1");
  msg.edtMsgTxt->SetText("hello");
  msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_NE(tnc.Decoded(0).find(":1WU2Z    :hello{0"), std::string::npos);
  EXPECT_EQ(tnc.Decoded(0).find('?'), std::string::npos);
  msg.Hide();
}
