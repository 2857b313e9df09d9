// A message exchange with an APRS-IS server on the loopback address: the server's lines
// reach the messaging window through the reader and the dispatcher, and what the
// window sends reaches the server through the common internet sender.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "app/messages/frm_aprs_msg.h"
#include "app/messages/msg_lists.h"
#include "app/monitor/monitor_styles.h"
#include "app/receive/receive_session.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/test_support/loopback_tcp_server.h"
#include "platform/text/cp1252.h"
#include "richtext/base/code_pages.h"

namespace {

constexpr TDateTime kSecond = 1.0 / 86400;

// An item of the first entry of the "My Message" list.
std::string Item(TfrmAprsMsg& msg, int item = meiText) {
  return msg.rdMyMsg->ReadItemText(item);
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MsgExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    session.link.mbtnTcpClick();
    ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
    ASSERT_NE(PumpLogin(server).find("user N0CALL"), std::string::npos);
    internet.connected = [this] { return session.link.IsConnected(); };
    internet.on_line = [this](const std::string& line) {
      return session.link.TCPClientIGate.WriteLine(line);
    };
    igate.SetViews(&internet);
    own.call[0] = "N0CALL";
    own.path[0] = "APRS";
    msg.OwnCalls = &own;
    msg.Kiss = &tnc.link;
    msg.Clock = [this] { return now; };
    msg.Ticks = [this] { return static_cast<std::uint64_t>(std::llround(now * MSecsPerDay)); };
    msg.Internet = &igate;
    session.path.on_message = [this](const TAprsInfo& info) { msg.HandleRxMessage(info); };
  }
  void TearDown() override { session.link.Stop(); }

  // The server sends lines; they are through the dispatcher when this returns.
  void ServerSends(const std::string& lines, int count) {
    const int before = session.handed_over;
    ASSERT_TRUE(server.Send(lines));
    ASSERT_TRUE(PumpUntil([&] { return session.handed_over >= before + count; }));
  }
  void RunRetryTimer(int seconds) {
    for (int s = 0; s < seconds; s += 5) {
      now += 5 * kSecond;
      msg.timMsgTxTimer(msg.timMsgTx);
    }
  }
  void SendMessage(const std::string& to, const std::string& text) {
    msg.edtMsgAdr->SetText(to);
    msg.edtMsgTxt->SetText(text);
    msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  }

  TLoopbackTcpServer server;
  TReceiveSession session{server.Port()};
  TTestBeaconSettings own;
  TTestInternet internet;
  TBeacons igate;
  TCapturedKiss tnc;
  TDateTime now = EncodeDate(2026, 12, 7) + EncodeTime(9, 0, 0, 0);
  TfrmAprsMsg msg{nullptr};
};

}  // namespace

TEST_F(MsgExchange, MessageToOwnCallIsAcknowledgedOnceThroughTheServer) {
  const std::string line = "DL1ABC>APRS,TCPIP*,qAC,T2TEST::N0CALL   :Hello{42\r\n";
  ServerSends(line + line, 2);
  // A marker after the acknowledgements: everything before it has reached the server.
  SendMessage("DL1ABC", "marker");
  const std::string received = server.Received(":marker{0\r\n");
  EXPECT_EQ(Occurrences(received, "N0CALL>APRS::DL1ABC   :ack42\r\n"), 1) << received;
  // The acknowledgement of an internet message goes to the internet only; the one frame
  // is the marker message.
  EXPECT_EQ(tnc.frames.size(), 1u);
  EXPECT_EQ(Item(msg), "Hello");
}

TEST_F(MsgExchange, OwnMessageIsRetriedUntilTheServerAnswersThenSettled) {
  SendMessage("DL1ABC", "Are you there?");
  EXPECT_NE(server.Received("{0\r\n").find("N0CALL>APRS::DL1ABC   :Are you there?{0\r\n"),
            std::string::npos);
  RunRetryTimer(65);
  std::string received = server.Received("{0\r\n{0\r\n");  // the first repeat
  EXPECT_EQ(Occurrences(received, ":Are you there?{0\r\n"), 2);
  EXPECT_EQ(Item(msg, meiTxCount), "2");

  ServerSends("DL1ABC>APRS,TCPIP*,qAC,T2TEST::N0CALL   :ack0\r\n", 1);
  EXPECT_EQ(msg.PendingMsgs.Count(), 0);
  EXPECT_EQ(msg.rdMyMsg->GetItemInfo(meiText)->ParaNo, mpsMsgAck);
  RunRetryTimer(300);
  SendMessage("DL1ABC", "marker");
  received = server.Received(":marker{1\r\n");
  EXPECT_EQ(Occurrences(received, ":Are you there?{0\r\n"), 2) << received;
}

TEST_F(MsgExchange, UnansweredMessageFailsAfterFiveSends) {
  SendMessage("DL1ABC", "Hello?");
  RunRetryTimer(400);
  SendMessage("DL1ABC", "marker");
  const std::string received = server.Received(":marker{1\r\n");
  EXPECT_EQ(Occurrences(received, ":Hello?{0\r\n"), 5) << received;
  EXPECT_EQ(msg.rdMyMsg->GetItemInfo(meiText)->ParaNo, mpsMsgNoAck);
  EXPECT_EQ(Item(msg, meiTxCount), "5");
}

// Today's clients send messages in UTF-8: each in Greek, Cyrillic, Hebrew or Arabic is
// acknowledged with the number it came with, shows in the monitor in its letters, and
// copied out of the message list with Ctrl+C it is the text the station sent.
TEST_F(MsgExchange, MessagesInUtf8CopyOutAsSent) {
  const std::string texts[] = {
      "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 12345",
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 73", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 73",
      "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 73"};
  std::string lines;
  for (int n = 0; n < 4; ++n)
    lines +=
        "DL1ABC>APRS,TCPIP*,qAC,T2TEST::N0CALL   :" + texts[n] + "{4" + std::to_string(n) + "\r\n";
  ServerSends(lines, 4);
  SendMessage("DL1ABC", "marker");
  const std::string received = server.Received(":marker{0\r\n");
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(Occurrences(received, "N0CALL>APRS::DL1ABC   :ack4" + std::to_string(n) + "\r\n"), 1)
        << received;

  std::vector<std::string> monitor_data;
  const TTestMonitor& monitor = session.path.monitor;
  for (int i = 0; i < monitor.ItemCount(); ++i)
    if (monitor.GetItemStyleIndex(i) == UnicodeMonitorStyle(msIgData))
      monitor_data.push_back(RawUnicodeToUTF8(monitor.ReadItemText(i)));
  ASSERT_EQ(monitor_data.size(), 4u);
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(monitor_data[n], ":N0CALL   :" + texts[n] + "{4" + std::to_string(n)) << n;

  msg.Show();
  TRichDoc& list = *msg.rdMyMsg;
  for (int n = 0; n < 4; ++n) {
    const int item = n * kMsgEntryItems + meiText;
    list.SetSelectionRange(item, list.GetItemStartOffset(item), item, list.GetItemEndOffset(item));
    SimulateKey(list, 'C', "", ssCtrl);
    EXPECT_EQ(ClipboardMimeData("text/plain"), texts[n]) << n;
  }
  msg.Hide();
}

// What the user types goes out as typed: the bytes of Windows-1252 when the code page
// holds the text, UTF-8 when it does not, alike at the server and in the TNC's frame. The
// text edit takes no more than a message's 67 bytes, counting the text as it goes out,
// and never part of a character as the user sees it: no letter without its accent. "My
// Message" shows the text typed, and the station's acknowledgement still settles it.
TEST_F(MsgExchange, TypedTextGoesOutInUtf8WhereTheCodePageEnds) {
  const std::u16string cyrillic = u"\u041F\u0440\u0438\u0432\u0435\u0442";
  const std::u16string accented = u"e\u0301";  // "e" and a combining acute accent
  const struct {
    std::u16string typed;
    std::string sent;
    bool pasted = false;  // put in at once, not a key a character
  } cases[] = {
      {cyrillic, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {u"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1 73",
       "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 73"},
      {u"Gr\u00FC\u00DF"
       "e \u20AC",
       "Gr\xFC\xDF"
       "e \x80"},
      // An Arabic letter whose first byte is the frame's escape byte.
      {u"\u06C0", "\xDB\x80"},
      // Only 33 of 40 Cyrillic letters fit; one more ASCII letter after 66 fits, a
      // Cyrillic one does not; nor does one that would turn 60 umlauts into UTF-8.
      {std::u16string(40, u'\u0416'),
       [] {
         std::string s;
         for (int i = 0; i < 33; ++i) s += "\xD0\x96";
         return s;
       }()},
      {std::u16string(66, u'a') + u"\u0416b", std::string(66, 'a') + "b"},
      {std::u16string(60, u'\u00E4') + u"\u0416", std::string(60, '\xE4')},
      // The accent that does not fit takes its letter along, typed or pasted.
      {std::u16string(64, u'a') + accented, std::string(64, 'a') + "e\xCC\x81"},
      {std::u16string(66, u'a') + accented + u"Z", std::string(66, 'a') + "Z"},
      {std::u16string(66, u'a') + accented + u"Z", std::string(66, 'a'), true},
  };
  msg.edtMsgAdr->SetText("UA3RUS");
  for (const auto& c : cases) {
    if (c.pasted) {
      SimulateUnicodeKey(*msg.edtMsgTxt, 0, c.typed);
    } else {
      for (char16_t ch : c.typed) SimulateUnicodeKey(*msg.edtMsgTxt, 0, std::u16string(1, ch));
    }
    msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  }
  const int count = static_cast<int>(std::size(cases));
  const std::string received = server.Received("{" + std::to_string(count - 1) + "\r\n");
  ASSERT_EQ(tnc.frames.size(), std::size(cases));
  for (int n = 0; n < count; ++n) {
    const std::string info = ":UA3RUS   :" + cases[n].sent + "{" + std::to_string(n);
    EXPECT_EQ(Occurrences(received, "N0CALL>APRS:" + info + "\r\n"), 1) << n << received;
    // The frame ends in control, protocol and the information field, FESC escaped.
    std::string escaped;
    for (char b : info) escaped += b == '\xDB' ? std::string("\xDB\xDD") : std::string(1, b);
    const std::vector<uint8_t>& frame = tnc.frames[size_t(n)];
    const std::string tail = "\x03\xF0" + escaped + "\xC0";
    ASSERT_GE(frame.size(), tail.size());
    EXPECT_EQ(std::string(frame.end() - std::ptrdiff_t(tail.size()), frame.end()), tail) << n;
    // Shown as typed.
    const int item = n * kMsgEntryItems + meiText;
    const std::string shown = msg.rdMyMsg->GetItemStyleIndex(item) == mtsHeadingUnicode
                                  ? RawUnicodeToUTF8(msg.rdMyMsg->ReadItemText(item))
                                  : msg.rdMyMsg->ReadItemText(item);
    EXPECT_EQ(ReceivedTextToUtf16(shown), ReceivedTextToUtf16(cases[n].sent)) << n;
  }
  EXPECT_EQ(ReceivedTextToUtf16(RawUnicodeToUTF8(msg.rdMyMsg->ReadItemText(meiText))), cyrillic);

  ServerSends("UA3RUS>APRS,TCPIP*,qAC,T2TEST::N0CALL   :ack0\r\n", 1);
  EXPECT_EQ(msg.rdMyMsg->GetItemInfo(meiText)->ParaNo, mpsMsgAck);
  EXPECT_EQ(msg.PendingMsgs.Count(), count - 1);
}
