// Starting a message from another window (the station detail's message button).
#include <gtest/gtest.h>

#include "app/messages/frm_aprs_msg.h"
#include "app/transmit/transmit_support.h"

TEST(MsgWindow, MessageToACallFillsTheAddresseeClearsTheTextAndShowsTheWindow) {
  TCapturedKiss tnc;
  TfrmAprsMsg msg{nullptr};
  msg.Kiss = &tnc.link;
  msg.Settings.CallP1 = [] { return std::string("N0CALL"); };
  msg.Settings.PathP1 = [] { return std::string("APRS"); };
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
