#include "app/receive/aprs_is_link.h"

#include <gtest/gtest.h>

#include "app/receive/receive_session.h"
#include "platform/io/loopback_tcp_server.h"

namespace {

TEST(LoginLine, CallPasscodeVersionAndFilter) {
  EXPECT_EQ(LoginLine("N0CALL", "12345", " r/52/13/100 "),
            "user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100");
  EXPECT_EQ(LoginLine("", "-1", ""), "user  pass -1 vers Velmora 1.2");
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
            "N0CALL-9>APRS,WIDE1-1,WIDE2-1:!5230.50N/01320.70E>Test\r\nN0CALL-6>APRS:>cut\r\n"
            "N0CALL-7>APRS:>direct\r\n");
  EXPECT_EQ(s.tx_lamps, 3);
  // Nothing of it is echoed as sent.
  for (int line = 1; line <= s.path.monitor.LineCount(); ++line) {
    EXPECT_EQ(s.path.monitor.LineText(line).find("N0CALL-9>APRS"), std::string::npos);
  }
}

}  // namespace
