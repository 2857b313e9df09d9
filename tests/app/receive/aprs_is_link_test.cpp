#include "app/receive/aprs_is_link.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/receive/packet_dispatcher.h"
#include "app/receive/receive_session.h"
#include "platform/test_support/loopback_tcp_server.h"
#include "support/monitor_header.h"

namespace {

TEST(LoginLine, CallPasscodeVersionAndFilter) {
  EXPECT_EQ(LoginLine("N0CALL", "12345", " r/52/13/100 "),
            "user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100");
  EXPECT_EQ(LoginLine("", "-1", ""), "user  pass -1 vers Velmora 1.2");
  // A settings file may hold anything: the login stays one line.
  using namespace std::string_literals;
  EXPECT_EQ(LoginLine("N0CALL\r\nX",
                      "1\0"
                      "2"s,
                      "r/1/2/3\r\nuser EVIL pass 1"),
            "user N0CALL pass 1 vers Velmora 1.2 r/1/2/3");
}

// A radio packet as the dispatcher hands it to the IGate.
TAprsInfo Heard(const std::string& header, const std::string& data) {
  const TReceivedPacket packet = MonitorTextPacket(header, data);
  TAprsInfo info;
  info.Header = packet.Header;
  info.Port = packet.Parts.Port;
  info.SrcCall = packet.Parts.Source;
  info.DestCall = packet.Parts.Dest;
  info.PathAsHeard = packet.Parts.Via;
  info.Data = packet.Data;
  return info;
}

TEST(IGateLine, FollowsTheRulesForIGates) {
  using namespace std::string_literals;
  struct TCase {
    std::string header;
    std::string data;
    std::optional<std::string> line;
  };
  const std::vector<TCase> cases = {
      // The path as heard, used digipeaters marked, and the q construct with our call.
      {"fm N0CALL-9 to APRS via WIDE1-1* WIDE2-1 ctl UI pid F0", "!5230.50N/01320.70E>T",
       "N0CALL-9>APRS,WIDE1-1*,WIDE2-1,qAR,DB0GW:!5230.50N/01320.70E>T"},
      {"2:fm N0CALL-7 to APRS ctl UI pid F0", ">direct", "N0CALL-7>APRS,qAR,DB0GW:>direct"},
      // From the internet already, or not for it.
      {"fm N0CALL-9 to APRS via TCPIP* ctl UI pid F0", ">x", std::nullopt},
      {"fm N0CALL-9 to APRS via WIDE1-1,TCPXX* ctl UI pid F0", ">x", std::nullopt},
      {"fm N0CALL-9 to APRS via NOGATE ctl UI pid F0", ">x", std::nullopt},
      {"fm N0CALL-9 to APRS via WIDE1-1* rfonly ctl UI pid F0", ">x", std::nullopt},
      // A generic query would bring answers from everywhere.
      {"fm N0CALL-9 to APRS ctl UI pid F0", "?APRS?", std::nullopt},
      // Third party: what came from the internet stays away from it; what did not is
      // gated as the packet it carries.
      {"fm DB0IG to APRS via WIDE1-1* ctl UI pid F0", "}DL1ABC>APRS,TCPIP,DB0IG*:>hi",
       std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}DL1ABC>APRS,TCPXX*:>hi", std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}DL1ABC>APRS,WIDE2-1:>hi",
       "DL1ABC>APRS,WIDE2-1,qAR,DB0GW:>hi"},
      {"fm DB0IG to APRS ctl UI pid F0", "}DL1ABC>APRS:?APRS?", std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}no header here", std::nullopt},
      // A line end inside would make the rest a packet of its own on the server.
      {"fm N0CALL-6 to APRS ctl UI pid F0", ">cut\nN0CALL>APRS:>injected", std::nullopt},
      {"fm N0CALL-6 to APRS ctl UI pid F0", ">cut\rEVIL", std::nullopt},
      {"fm N0CALL-6 to APRS ctl UI pid F0", ">cut\0EVIL"s, std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}DL1ABC>APRS:>a\nEVIL>APRS:>b", std::nullopt},
      // No information field, or our own call: nothing of ours to gate.
      {"fm RK13 to APRS via WIDE1-1 ctl UI pid F0", "", std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}DL1ABC>APRS:", std::nullopt},
      {"fm db0gw to APRS ctl UI pid F0", ">spoof", std::nullopt},
      {"fm DB0IG to APRS ctl UI pid F0", "}DB0GW>APRS:>spoof", std::nullopt},
      // Internet packets are never sent back.
      {"ig N0CALL-8 to APRS via TCPIP*,qAC,T2TEST", ">internet", std::nullopt},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(IGateLine(Heard(c.header, c.data), "DB0GW"), c.line) << c.data;
  // Without an own call there is no IGate to name.
  EXPECT_EQ(IGateLine(Heard(cases[0].header, cases[0].data), ""), std::nullopt);
}

TEST(AprsIsLink, WithoutServerOnlyTheErrorIsShown) {
  TReceiveSession s(0);
  s.server = "  ";
  s.link.mbtnTcpClick();
  EXPECT_EQ(s.errors, std::vector<std::string>{"Bitte erst einen Server im Setup ausw\xE4hlen!"});
  EXPECT_TRUE(s.buttons.empty());
  EXPECT_FALSE(s.link.TcpWanted());
  EXPECT_FALSE(s.link.IsConnected());
}

TEST(AprsIsLink, LogsInOnConnectAndStopsOnTheSecondClick) {
  TLoopbackTcpServer server;
  TReceiveSession s(server.Port());
  s.link.mbtnTcpClick();
  ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
  EXPECT_EQ(PumpLogin(server), "user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100\r\n");
  EXPECT_TRUE(s.link.IsConnected());
  EXPECT_EQ(s.statuses.back(), "Connected.");
  s.path.dispatcher.IgSeen = true;
  s.link.mbtnTcpClick();
  EXPECT_EQ(s.buttons, (std::vector<bool>{true, false}));
  EXPECT_FALSE(s.link.TcpWanted());
  EXPECT_FALSE(s.link.IsConnected());
  EXPECT_FALSE(s.path.dispatcher.IgSeen);
  EXPECT_EQ(s.statuses.back(), "Disconnected.");
}

TEST(AprsIsLink, IGateForwardsRadioPacketsOnlyWhileConnected) {
  TLoopbackTcpServer server;
  TReceiveSession s(server.Port());
  s.path.tcp_digi = true;
  s.path.Packet("fm N0CALL-9 to APRS via WIDE1-1 WIDE2-1 ctl UI pid F0",
                "!5230.50N/01320.70E>Test");
  EXPECT_EQ(s.tx_lamps, 0);  // not connected: nothing sent, the lamp stays dark

  s.link.mbtnTcpClick();
  ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
  const std::string login = PumpLogin(server);
  s.path.Packet("fm N0CALL-9 to APRS via WIDE1-1* WIDE2-1 ctl UI pid F0",
                "!5230.50N/01320.70E>Test");
  s.path.Packet("ig N0CALL-8 to APRS via TCPIP*", "!5230.50N/01320.70E>internet");
  // A line end inside the data must not make a line of its own on the server.
  s.path.Packet("fm N0CALL-6 to APRS ctl UI pid F0", ">cut\nN0CALL>APRS:>injected");
  s.path.Packet("fm N0CALL-7 to APRS ctl UI pid F0", ">direct");
  const std::string sent = server.Received("direct\r\n").substr(login.size());
  EXPECT_EQ(sent,
            "N0CALL-9>APRS,WIDE1-1*,WIDE2-1,qAR,N0CALL:!5230.50N/01320.70E>Test\r\n"
            "N0CALL-7>APRS,qAR,N0CALL:>direct\r\n");
  EXPECT_EQ(s.tx_lamps, 2);
  // Nothing of it is echoed as sent.
  for (int line = 1; line <= s.path.monitor.LineCount(); ++line) {
    EXPECT_EQ(s.path.monitor.LineText(line).find("N0CALL-9>APRS"), std::string::npos);
  }
}

// A server line is at most 512 bytes with its CR LF; a longer one is dropped whole (its
// start could read as a shorter packet of another meaning), and the lines after it come.
TEST(AprsIsLink, ServerLinesBeyondTheAprsIsBoundAreDropped) {
  TLoopbackTcpServer server;
  TReceiveSession s(server.Port());
  s.link.mbtnTcpClick();
  ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
  PumpLogin(server);
  const std::string head = "N0CALL>APRS,TCPIP*:>";
  const std::string at_bound = head + std::string(510 - head.size(), 'a');
  const std::string beyond = head + std::string(511 - head.size(), 'b');
  ASSERT_TRUE(server.Send(at_bound + "\r\n" + beyond + "\r\n" + head + "end\r\n"));
  ASSERT_TRUE(PumpUntil([&] { return s.handed_over >= 2; }));
  s.link.Stop();
  std::string shown;
  for (int line = 1; line <= s.path.monitor.LineCount(); ++line)
    shown += s.path.monitor.LineText(line) + "\n";
  EXPECT_NE(shown.find(std::string(510 - head.size(), 'a')), std::string::npos);
  EXPECT_NE(shown.find(">end"), std::string::npos);
  EXPECT_EQ(shown.find("bbb"), std::string::npos) << shown;
  EXPECT_EQ(s.handed_over, 2);
}

// A filter from a damaged or hand-edited settings file holding a line break: the login
// still goes out, as one line, instead of the server waiting for it for ever.
TEST(AprsIsLink, AFilterHoldingALineBreakStillLogsIn) {
  TLoopbackTcpServer server;
  TReceiveSession s(server.Port());
  s.filter = "r/52/13/100\r\n#";
  s.link.mbtnTcpClick();
  ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
  EXPECT_EQ(PumpLogin(server), "user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100\r\n");
  s.link.Stop();
}

}  // namespace
