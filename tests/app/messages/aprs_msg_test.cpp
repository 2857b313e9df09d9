// The messaging window on a clock the tests drive: automatic acknowledgements, the
// three lists, sending with retries, acknowledgement matching and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/messages/frm_aprs_msg.h"
#include "app/messages/msg_lists.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "platform/sys/date_time.h"
#include "platform/test_support/gui_test_support.h"

namespace {

constexpr TDateTime kSecond = 1.0 / 86400;

// The test is the window's own calls and its connected APRS-IS side, whose lines it
// keeps.
class MsgTest : public ::testing::Test, public TOwnCalls, public TBeaconViews {
 protected:
  void SetUp() override {
    msg.OwnCalls = this;
    msg.Kiss = &tnc.link;
    msg.Clock = [this] { return now + clock_set; };
    // Time passes as now moves; the wall clock may be set apart from it.
    msg.Ticks = [this] { return static_cast<std::uint64_t>(std::llround(now * MSecsPerDay)); };
    msg.IsReplaying = [this] { return replaying; };
    msg.MsgLamp = [this](bool on) { lamp = on; };
    msg.Internet = &igate;
    igate.SetViews(this);
  }

  std::string Call(int port) const override { return port == 0 ? call_p1 : call_p2; }
  std::string Path(int port) const override { return port == 0 ? "APRS,WIDE1-1" : "APRS,WIDE2-2"; }
  bool IsConnected() const override { return true; }
  bool WriteLine(const std::string& line) override {
    lines.push_back(line);
    return true;
  }

  TAprsInfo Rx(const std::string& from, const std::string& data, int port = 1,
               const std::string& via = "") {
    TAprsInfo info;
    info.SrcCall = from;
    info.Data = data;
    info.Port = port;
    info.HeardVia = via;
    return info;
  }
  void Receive(const std::string& from, const std::string& data, int port = 1,
               const std::string& via = "") {
    msg.HandleRxMessage(Rx(from, data, port, via));
  }
  void Pass(double seconds) { now += seconds * kSecond; }
  // The retry timer, ticking every 5 seconds for that long.
  void RunTimer(int seconds) {
    for (int s = 0; s < seconds; s += 5) {
      Pass(5);
      msg.timMsgTxTimer(msg.timMsgTx);
    }
  }
  void Send(const std::string& to, const std::string& text) {
    msg.edtMsgAdr->SetText(to);
    msg.edtMsgTxt->SetText(text);
    msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  }
  static std::string Item(TRichDoc& rd, int i) { return rd.ReadItemText(i); }
  static int State(TRichDoc& rd, int text_item) { return rd.GetItemInfo(text_item)->ParaNo; }

  std::string call_p1 = "N0CALL";
  std::string call_p2 = "N0CALL-2";
  TDateTime now = EncodeDate(2026, 12, 7) + EncodeTime(10, 0, 0, 0);
  TDateTime clock_set = 0;
  bool replaying = false;
  bool lamp = false;
  TCapturedKiss tnc;
  TBeacons igate;
  std::vector<std::string> lines;
  TfrmAprsMsg msg{nullptr};
};

}  // namespace

TEST(MsgLists, AddresseePaddingAndReservedCharacters) {
  EXPECT_EQ(PadAddressee(" WU2Z "), "WU2Z     ");
  EXPECT_EQ(PadAddressee("LONGERCALL"), "LONGERCALL");
  EXPECT_EQ(CleanMsgText("a|b~c{d}"), "abcd}");
}

TEST_F(MsgTest, NumberedMessageToOwnCallIsAcknowledgedOncePerFiveSeconds) {
  Receive("DL1ABC", ":N0CALL   :Hello{12");
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.Decoded(0), "1:fm N0CALL to APRS via WIDE1-1 ctl UI^ pid F0\r\n:DL1ABC   :ack12");
  EXPECT_EQ(lines, std::vector<std::string>{"N0CALL>APRS,WIDE1-1::DL1ABC   :ack12"});
  Pass(4);
  Receive("DL1ABC", ":N0CALL   :Hello{12");
  EXPECT_EQ(tnc.frames.size(), 1u);
  Pass(6);
  Receive("DL1ABC", ":N0CALL   :Hello{12");
  EXPECT_EQ(tnc.frames.size(), 2u);
  EXPECT_EQ(msg.AckLog.Count(), 1);  // the entry was replaced
  // Shown once, counted three times.
  ASSERT_EQ(msg.rdMyMsg->ItemCount(), kMsgEntryItems);
  EXPECT_EQ(Item(*msg.rdMyMsg, meiRxCount), "3");
  EXPECT_EQ(Item(*msg.rdMyMsg, meiText), "Hello");
  EXPECT_EQ(Item(*msg.rdMyMsg, meiNumber), "{12");
  EXPECT_EQ(msg.rdMonitor->ItemCount(), kMsgEntryItems);
  EXPECT_EQ(msg.rdGroupMsg->ItemCount(), 0);
  EXPECT_TRUE(lamp);
}

// A message id is one to five characters, and the acknowledgement repeats it whole: a
// cut one would make the sender retry for ever.
TEST_F(MsgTest, IdsOfOneToFiveCharactersAreAcknowledgedWhole) {
  Receive("DL1ABC", ":N0CALL   :five{12345");
  Receive("DL1ABC", ":N0CALL   :one{A");
  Receive("DL1ABC", ":N0CALL   :letters{AB1cd");
  EXPECT_EQ(lines, (std::vector<std::string>{"N0CALL>APRS,WIDE1-1::DL1ABC   :ack12345",
                                             "N0CALL>APRS,WIDE1-1::DL1ABC   :ackA",
                                             "N0CALL>APRS,WIDE1-1::DL1ABC   :ackAB1cd"}));
  ASSERT_EQ(tnc.frames.size(), 3u);
  EXPECT_EQ(tnc.Decoded(0),
            "1:fm N0CALL to APRS via WIDE1-1 ctl UI^ pid F0\r\n:DL1ABC   :ack12345");
}

// Ids are one to five letters or digits (a reply-ack's brace too): anything else after the brace is
// text, not an id, and is neither answered nor cut into one. A text that carries its own id is a
// message whatever its first word; our own call as sender is never answered.
TEST_F(MsgTest, OnlyWholeIdsAreAnsweredAndAnswersCarryNoIdOfTheirOwn) {
  const std::vector<std::string> unanswered = {
      ":N0CALL   :six{ABCDEF",  ":N0CALL   :bare{",    ":N0CALL   :blank{1 2",
      ":N0CALL   :dash{1-2",    ":N0CALL   :mark{1|2", ":N0CALL   :ack12 thanks",
      ":N0CALL   :rej",         ":N0CALL   :ack{",     ":N0CALL   :ackABCDEF",
      ":N0CALL   :braces{}}}}", ":N0CALL   :two{1}2}", ":N0CALL   :ack}"};
  for (const std::string& data : unanswered) Receive("DL1ABC", data);
  Receive("N0CALL", ":N0CALL   :from myself{1");
  Receive("n0call-2", ":N0CALL   :from my other call{2");
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_TRUE(lines.empty());
  // Every one of them is listed, with its whole text and no number.
  ASSERT_EQ(msg.rdMyMsg->ItemCount(), 14 * kMsgEntryItems);
  for (size_t i = 0; i < unanswered.size(); ++i) {
    EXPECT_EQ(Item(*msg.rdMyMsg, int(i) * kMsgEntryItems + meiText), unanswered[i].substr(11));
    EXPECT_EQ(Item(*msg.rdMyMsg, int(i) * kMsgEntryItems + meiNumber), "");
  }
  Receive("DL1ABC", ":N0CALL   :Acknowledged, see you Sunday{77");
  Receive("DL1ABC", ":N0CALL   :rej5{78 ");
  Receive("DL1ABC", ":N0CALL   :reply-ack{MM}AA");  // its sender reads the whole id back
  Receive("DL1ABC", ":N0CALL   :first reply-ack{MM}");
  EXPECT_EQ(lines, (std::vector<std::string>{"N0CALL>APRS,WIDE1-1::DL1ABC   :ack77",
                                             "N0CALL>APRS,WIDE1-1::DL1ABC   :ack78",
                                             "N0CALL>APRS,WIDE1-1::DL1ABC   :ackMM}AA",
                                             "N0CALL>APRS,WIDE1-1::DL1ABC   :ackMM}"}));
  ASSERT_EQ(msg.rdMyMsg->ItemCount(), 18 * kMsgEntryItems);
  EXPECT_EQ(Item(*msg.rdMyMsg, 14 * kMsgEntryItems + meiText), "Acknowledged, see you Sunday");
  EXPECT_EQ(Item(*msg.rdMyMsg, 14 * kMsgEntryItems + meiNumber), "{77");
  EXPECT_EQ(Item(*msg.rdMyMsg, 15 * kMsgEntryItems + meiText), "rej5");
}

// A storm of messages with new ids: each is answered once, the log keeps only the
// answers of the last five seconds, and the hidden memo is copied on the retry tick,
// never per answer.
TEST_F(MsgTest, AckStormKeepsOnlyTheLastFiveSecondsOfAnswers) {
  constexpr int kMessages = 20000;
  constexpr double kSpacingSeconds = 0.002;
  int most = 0;
  for (int n = 0; n < kMessages; ++n) {
    Pass(kSpacingSeconds);
    Receive("DL1ABC", ":N0CALL   :storm{" + std::to_string(n));
    most = std::max(most, msg.AckLog.Count());
  }
  EXPECT_EQ(lines.size(), size_t(kMessages));
  EXPECT_EQ(tnc.frames.size(), size_t(kMessages));
  EXPECT_LE(most, int(5 / kSpacingSeconds) + 1);
  EXPECT_EQ(msg.memAck->Lines().Count(), 0);
  // A repeat inside the window is still recognised, one outside it answered again.
  Receive("DL1ABC", ":N0CALL   :storm{" + std::to_string(kMessages - 1));
  EXPECT_EQ(lines.size(), size_t(kMessages));
  Pass(1);
  msg.timMsgTx->OnTimer(msg.timMsgTx);
  EXPECT_EQ(msg.memAck->Lines().Count(), msg.AckLog.Count());
  Pass(5);
  Receive("DL1ABC", ":N0CALL   :storm{" + std::to_string(kMessages - 1));
  EXPECT_EQ(lines.size(), size_t(kMessages) + 1);
  EXPECT_EQ(msg.AckLog.Count(), 1);
  // A clock set back forgets what it cannot place.
  now -= 3600 * kSecond;
  Receive("DL1ABC", ":N0CALL   :storm{" + std::to_string(kMessages - 1));
  EXPECT_EQ(lines.size(), size_t(kMessages) + 2);
}

TEST_F(MsgTest, AcknowledgementComesFromTheAddressedCallOnItsPort) {
  Receive("DL1ABC", ":N0CALL-2 :on two{7", 2);
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.frames[0][1], 0x10);  // KISS port 1 = radio port 2
  EXPECT_EQ(tnc.Decoded(0), "2:fm N0CALL-2 to APRS via WIDE2-2 ctl UI^ pid F0\r\n:DL1ABC   :ack7");
  EXPECT_EQ(lines.back(), "N0CALL-2>APRS,WIDE1-1::DL1ABC   :ack7");
  // From the internet: only the internet copy.
  Receive("DL1ABC", ":N0CALL   :via net{8", -1);
  EXPECT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(lines.back(), "N0CALL>APRS,WIDE1-1::DL1ABC   :ack8");
}

TEST_F(MsgTest, NoAcknowledgementWithoutNumberForOthersOrForReplayedPackets) {
  Receive("DL1ABC", ":N0CALL   :no number");
  Receive("DL1ABC", ":DB0XYZ   :not for us{3");
  Receive("DL1ABC", ":n0call   :case counts{4");
  replaying = true;
  Receive("DL1ABC", ":N0CALL   :from the log{5");
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(Item(*msg.rdMyMsg, meiNumber), "");
  EXPECT_EQ(msg.rdMonitor->ItemCount(), 4 * kMsgEntryItems);
  EXPECT_EQ(msg.rdMyMsg->ItemCount(), 2 * kMsgEntryItems);
  // No own call on port 2: an empty addressee is nobody's.
  call_p2 = "";
  replaying = false;
  Receive("DL1ABC", ":         :blank{6");
  EXPECT_TRUE(tnc.frames.empty());
  // Too short to be a message at all.
  Receive("DL1ABC", ":N0CALL");
  EXPECT_EQ(msg.rdMonitor->ItemCount(), 5 * kMsgEntryItems);
}

// The tag is compared as a whole: heard again through the one station it names, it
// stays; any other tag is appended, even one already in a longer list.
TEST_F(MsgTest, RepeatsViaOtherDigipeatersCountUpAndCollectTags) {
  Receive("DL1ABC", ":ALL      :CQ CQ", 1, "");
  Receive("DL1ABC", ":ALL      :CQ CQ", 1, "");
  EXPECT_EQ(Item(*msg.rdGroupMsg, meiTag), "DL1ABC");
  Receive("DL1ABC", ":ALL      :CQ CQ", 1, "db0abc");
  Receive("DL1ABC", ":ALL      :CQ CQ", 1, "DB0ABC");
  ASSERT_EQ(msg.rdGroupMsg->ItemCount(), kMsgEntryItems);
  EXPECT_EQ(Item(*msg.rdGroupMsg, meiTag), "DL1ABC db0abc DB0ABC");
  EXPECT_EQ(Item(*msg.rdGroupMsg, meiRxCount), "4");
  EXPECT_EQ(Item(*msg.rdGroupMsg, meiRxLabel), "] RX-CNT:");
  EXPECT_EQ(msg.rdMyMsg->ItemCount(), 0);
  EXPECT_FALSE(lamp);
}

// What the list shows after entries were updated in place is what a layout of the
// whole list shows, though only the updated entries were laid out again.
TEST_F(MsgTest, UpdatedEntriesLayOutAsTheWholeList) {
  auto shape = [](TRichDoc& rd) {
    std::vector<int> values{rd.RDData().DocumentHeight, rd.RDData().DocumentWidth};
    for (int d = 0; d < rd.RDData().DrawItems.Count(); ++d) {
      const TRDDrawLineInfo& line = *rd.RDData().DrawItems[d];
      values.insert(values.end(), {line.Left, line.Top, line.Width, line.ItemNo, line.Length});
    }
    return values;
  };
  for (int i = 0; i < 6; ++i)
    Receive("DL" + std::to_string(i) + "ABC", ":ALL      :CQ " + std::to_string(i), 1, "");
  // The second entry's tag grows until it wraps, and its count goes up.
  for (int i = 0; i < 12; ++i)
    Receive("DL1ABC", ":ALL      :CQ 1", 1, "DB" + std::to_string(i) + "XYZ-12");
  ASSERT_EQ(msg.rdGroupMsg->ItemCount(), 6 * kMsgEntryItems);
  const std::vector<int> kept = shape(*msg.rdGroupMsg);
  msg.rdGroupMsg->FormatDocument();
  EXPECT_EQ(kept, shape(*msg.rdGroupMsg));
}

TEST_F(MsgTest, SentMessageIsNumberedCleanedAndShown) {
  msg.MsgNr = 9999;
  Send("WU2Z", "Hi | there ~ {x}");
  ASSERT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(tnc.Decoded(0),
            "1:fm N0CALL to APRS via WIDE1-1 ctl UI^ pid F0\r\n:WU2Z     :Hi  there  x}{9999");
  EXPECT_EQ(lines.back(), "N0CALL>APRS,WIDE1-1::WU2Z     :Hi  there  x}{9999");
  EXPECT_EQ(msg.MsgNr, 0);
  EXPECT_EQ(msg.edtMsgTxt->Text(), "");
  ASSERT_EQ(msg.PendingMsgs.Count(), 1);
  EXPECT_EQ(msg.memTx->Lines().Count(), 1);
  EXPECT_EQ(Item(*msg.rdMyMsg, meiSender), "N0CALL   ");
  EXPECT_EQ(Item(*msg.rdMyMsg, meiTag), "*");
  EXPECT_EQ(Item(*msg.rdMyMsg, meiTxCount), "1");
  EXPECT_EQ(Item(*msg.rdMyMsg, meiNumber), "{9999");
  Send("WU2Z", "next");
  EXPECT_NE(tnc.Decoded(1).find(":WU2Z     :next{0"), std::string::npos);
  // Port 2 with its own path typed in the window.
  msg.mbtnTxP1Click(msg.mbtnTxP2);
  EXPECT_FALSE(msg.mbtnTxP1->Down());
  msg.edtMsgPath->SetText("APRS WIDE3-3");
  Send("WU2Z", "two");
  EXPECT_EQ(tnc.frames.back()[1], 0x10);
  EXPECT_EQ(tnc.Decoded(2), "2:fm N0CALL-2 to APRS via WIDE3-3 ctl UI^ pid F0\r\n:WU2Z     :two{1");
}

TEST_F(MsgTest, UnansweredMessageIsSentFiveTimesAMinuteApartThenGivenUp) {
  Send("WU2Z", "anyone?");
  const int item = meiText;
  std::vector<int> send_seconds{0};
  for (int t = 5; t <= 400; t += 5) {
    const size_t before = tnc.frames.size();
    RunTimer(5);
    if (tnc.frames.size() != before) send_seconds.push_back(t);
    if (msg.PendingMsgs.Count() == 0) {
      EXPECT_EQ(State(*msg.rdMyMsg, item), mpsMsgNoAck);
      EXPECT_EQ(State(*msg.rdMonitor, item), mpsMsgNoAck);
      EXPECT_GE(t - send_seconds.back(), 60);
      EXPECT_LE(t - send_seconds.back(), 65);
      break;
    }
    EXPECT_EQ(State(*msg.rdMyMsg, item), mpsMsg);
  }
  ASSERT_EQ(send_seconds.size(), 5u);
  for (size_t i = 1; i < send_seconds.size(); ++i) {
    EXPECT_GE(send_seconds[i] - send_seconds[i - 1], 60);
    EXPECT_LE(send_seconds[i] - send_seconds[i - 1], 65);
  }
  EXPECT_EQ(msg.PendingMsgs.Count(), 0);
  EXPECT_EQ(Item(*msg.rdMyMsg, meiTxCount), "5");
  // Every repeat was the same message.
  for (size_t i = 1; i < tnc.frames.size(); ++i) EXPECT_EQ(tnc.Decoded(i), tnc.Decoded(0));
}

// The wall clock set back an hour while a message waits for its acknowledgement: the
// repeats keep their minute, and the pending record shows the wall clock's send time.
TEST_F(MsgTest, AClockSetBackKeepsTheRetriesAMinuteApart) {
  Send("WU2Z", "anyone?");
  RunTimer(30);
  clock_set = -3600 * kSecond;
  std::vector<int> send_seconds;
  for (int t = 35; t <= 160; t += 5) {
    const size_t before = tnc.frames.size();
    RunTimer(5);
    if (tnc.frames.size() != before) send_seconds.push_back(t);
  }
  EXPECT_EQ(send_seconds, (std::vector<int>{65, 130}));
  ASSERT_EQ(msg.PendingMsgs.Count(), 1);
  EXPECT_NE(msg.PendingMsgs[0].find("\"261207090210\""), std::string::npos) << msg.PendingMsgs[0];
}

TEST_F(MsgTest, AcknowledgementFromTheAddresseeSettlesTheMessage) {
  for (int i = 0; i < 12; ++i) Send("WU2Z", "msg");
  msg.MsgNr = 5;
  Send("DB0XYZ", "other");  // number 5 as well, to someone else
  ASSERT_EQ(msg.PendingMsgs.Count(), 13);
  // An ack settles only the message to the station that sent it.
  Receive("DB0XYZ", ":N0CALL   :ack5");
  EXPECT_EQ(msg.PendingMsgs.Count(), 12);
  EXPECT_GE(msg.MyMsgs->FindAckedLine("N0CALL", "WU2Z", "{5"), 0);
  EXPECT_EQ(State(*msg.rdMyMsg, msg.MyMsgs->FindAckedLine("N0CALL", "WU2Z", "{5")), mpsMsg);
  const size_t acks_before = tnc.frames.size();
  replaying = true;  // an acknowledgement from a played log settles nothing
  Receive("WU2Z", ":N0CALL   :ACK5");
  EXPECT_EQ(msg.PendingMsgs.Count(), 12);
  replaying = false;
  Receive("WU2Z", ":N0CALL   :ACK5");
  EXPECT_EQ(msg.PendingMsgs.Count(), 11);
  Receive("WU2Z", ":N0CALL   :rej7");
  EXPECT_EQ(msg.PendingMsgs.Count(), 10);
  EXPECT_EQ(tnc.frames.size(), acks_before);  // acknowledgements are not acknowledged
  const int five = msg.MyMsgs->FindAckedLine("N0CALL", "WU2Z", "{5");
  ASSERT_GE(five, 0);
  EXPECT_EQ(State(*msg.rdMyMsg, five), mpsMsgAck);
  EXPECT_EQ(State(*msg.rdMonitor, msg.MonitorMsgs->FindAckedLine("N0CALL", "WU2Z", "{5")),
            mpsMsgAck);
  EXPECT_EQ(State(*msg.rdMyMsg, msg.MyMsgs->FindAckedLine("N0CALL", "WU2Z", "{7")), mpsMsgAck);
  EXPECT_EQ(State(*msg.rdMyMsg, msg.MyMsgs->FindAckedLine("N0CALL", "WU2Z", "{6")), mpsMsg);
  // Acks are never shown as messages.
  EXPECT_EQ(msg.rdMonitor->ItemCount(), 13 * kMsgEntryItems);
  // The settled message is not sent again.
  RunTimer(65);
  for (size_t i = acks_before; i < tnc.frames.size(); ++i)
    EXPECT_EQ(tnc.Decoded(i).find("{5"), std::string::npos);
}

TEST_F(MsgTest, RefusalsUseThePlainMessageBoxWithTheirTexts) {
  std::string shown;
  QueueCall([&] { AnswerMessageBox(IDOK, &shown); });
  Send(" n0call ", "to myself");
  EXPECT_EQ(shown, "Absender gleich Emp\xE4nger, Nachricht nicht gesendet!");
  QueueCall([&] { AnswerMessageBox(IDOK, &shown); });
  Send("WU2Z", "");
  EXPECT_EQ(shown, "Keine Nachricht eingegeben, Nachricht nicht gesendet!");
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_EQ(msg.PendingMsgs.Count(), 0);
  EXPECT_EQ(msg.MsgNr, 0);
  // Without an own call nothing is sent either.
  call_p1 = "";
  Send("WU2Z", "hello");
  EXPECT_TRUE(tnc.frames.empty());
  EXPECT_EQ(msg.PendingMsgs.Count(), 0);
}

TEST_F(MsgTest, EnterInTheTextSendsAndClearShowsAnEmptyPage) {
  msg.edtMsgAdr->SetText("WU2Z");
  msg.edtMsgTxt->SetText("by enter");
  char key = '\r';
  msg.edtMsgTxtKeyPress(msg.edtMsgTxt, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(tnc.frames.size(), 1u);
  msg.apctrlMain->SetActivePage(msg.atabMyMSg);
  msg.mbtnClrClick(msg.mbtnClr);
  EXPECT_EQ(msg.rdMyMsg->ItemCount(), 0);
  EXPECT_EQ(msg.rdMonitor->ItemCount(), kMsgEntryItems);
}

TEST_F(MsgTest, DirewolfReadsOurMessagesAndAcknowledgements) {
  if (!HaveDecodeAprs()) GTEST_SKIP() << "decode_aprs is not installed";
  Send("WU2Z", "Testing");
  Receive("WU2Z", ":N0CALL   :Hi{003");
  ASSERT_EQ(tnc.frames.size(), 2u);
  const std::string message = DecodeAprs(tnc.Hex(0));
  EXPECT_NE(message.find("APRS Message 0 for \"WU2Z\""), std::string::npos) << message;
  const std::string ack = DecodeAprs(tnc.Hex(1));
  EXPECT_NE(ack.find("ACK message 003 for \"WU2Z\""), std::string::npos) << ack;
  const std::string line = DecodeAprs(lines[1]);
  EXPECT_NE(line.find("ACK message 003 for \"WU2Z\""), std::string::npos) << line;
}
