#include "core/aprs_is_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/sys/pump.h"
#include "platform/test_support/loopback_tcp_server.h"

namespace {

// What the reader gave the program, as seen on the GUI thread.
struct TRecorder : TAprsIsReaderViews {
  std::vector<std::vector<std::string>> packets;
  std::vector<std::pair<std::string, TLinkTraffic>> monitor;
  std::vector<TAprsIsState> states;
  std::vector<std::string> statuses;
  bool ig_seen = false;
  int open_batches = 0;
  int batches = 0;
  bool outside_batch = false;  // a line came outside a hand-over's BeginLines/EndLines
  std::vector<int> batch_of;   // the hand-over of each packet, counted from 1
  std::string slow_data;       // a packet whose handling outlasts a hand-over's time

  void BeginLines() override {
    ++open_batches;
    ++batches;
  }
  void EndLines() override { --open_batches; }
  void AnalysePacket(const TReceivedPacket& packet) override {
    if (open_batches != 1) outside_batch = true;
    batch_of.push_back(batches);
    if (!slow_data.empty() && packet.Data == slow_data)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (packet.Header.empty()) {
      packets.emplace_back();
    } else {
      packets.push_back({packet.Header, packet.Data});
    }
  }
  bool IgSeen() const override { return ig_seen; }
  void AddLogText(const std::string& text, TLinkTraffic traffic) override {
    monitor.emplace_back(text, traffic);
  }
  void SetLinkState(TAprsIsState state) override { states.push_back(state); }
  void SetStatusText(const std::string& text) override { statuses.push_back(text); }
};

constexpr int kPassMs = 30;

bool SynchronizeUntilAccepted(TLoopbackTcpServer& server) {
  return SynchronizeUntil([&] { return server.Accept(5); });
}

TEST(AprsIsReader, ConnectsAndHandsOverLinesSplitAcrossReads) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  // The first pass found no connection: it says so and connects.
  ASSERT_FALSE(r.statuses.empty());
  EXPECT_EQ(r.statuses[0], "TCPIP connection lost, try to reconnect now...");
  EXPECT_EQ(r.states.at(0), TAprsIsState::Reconnecting);

  server.Send("# aprsc 2.1.4\r\nN0CALL>APRS,TCPIP*,qAC,T2TEST:!4903.50N/0720");
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * kPassMs));
  server.Send("1.75W-\r\n\r\nN0CALL>APRS:>status\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return r.packets.size() == 3; }));
  EXPECT_TRUE(r.packets[0].empty());  // the server comment is no packet
  EXPECT_EQ(r.packets[1], (std::vector<std::string>{"ig N0CALL to APRS via TCPIP*,qAC,T2TEST",
                                                    "!4903.50N/07201.75W-"}));
  EXPECT_EQ(r.packets[2], (std::vector<std::string>{"ig N0CALL to APRS", ">status"}));
  ASSERT_EQ(r.monitor.size(), 3u);
  EXPECT_EQ(r.monitor[1],
            std::make_pair(std::string("\r\nN0CALL>APRS,TCPIP*,qAC,T2TEST:!4903.50N/07201.75W-"),
                           TLinkTraffic::InternetData));
  EXPECT_EQ(r.states.back(), TAprsIsState::Connected);
  reader.Stop();
}

TEST(AprsIsReader, NoEchoOnceTheDispatcherShowsInternetPackets) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  r.ig_seen = true;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  server.Send("N0CALL>APRS:>status\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return r.packets.size() == 1; }));
  EXPECT_TRUE(r.monitor.empty());
}

TEST(AprsIsReader, ReconnectsAfterTheServerDropsTheConnection) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  server.Send("A>APRS:>one\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return r.packets.size() == 1; }));
  const size_t statuses = r.statuses.size();
  server.Drop();
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  EXPECT_GT(r.statuses.size(), statuses);
  server.Send("B>APRS:>two\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return r.packets.size() == 2; }));
  EXPECT_EQ(r.packets[1][1], ">two");
}

// A server that takes the connection and then says nothing, not even its keep-alive
// comments: it has gone without closing, and the reader connects again, saying why.
TEST(AprsIsReader, ASilentServerIsLeftAndConnectedAgain) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  constexpr int kIdleMs = 300;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs, kIdleMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  const size_t statuses = r.statuses.size();
  ASSERT_TRUE(SynchronizeUntilAccepted(server));  // the second connection
  ASSERT_GT(r.statuses.size(), statuses);
  EXPECT_EQ(r.statuses[statuses], "TCPIP server silent, try to reconnect now...");
  // The new connection works.
  server.Send("A>APRS:>back\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return !r.packets.empty(); }));
  EXPECT_EQ(r.packets[0][1], ">back");
  reader.Stop();
}

// A server that drops the connection twice in a feed: every line it sent before a drop
// arrives, each exactly once and in order, though many are handed over at once.
TEST(AprsIsReader, EveryLineSentBeforeADropArrivesExactlyOnce) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  constexpr int kLines = 1500;
  constexpr int kChunk = 50;
  for (int sent = 0; sent < kLines; sent += kChunk) {
    if (sent == 500 || sent == 1000) {
      server.Drop();
      ASSERT_TRUE(SynchronizeUntilAccepted(server)) << sent;
    }
    std::string chunk;
    for (int i = sent; i < sent + kChunk; ++i)
      chunk += "S" + std::to_string(i) + ">APRS:>" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(server.Send(chunk));
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (r.packets.size() < size_t(kLines) && std::chrono::steady_clock::now() < end) {
    TThread::CheckSynchronize();
    std::this_thread::yield();
  }
  ASSERT_EQ(r.packets.size(), size_t(kLines));
  for (int i = 0; i < kLines; ++i) ASSERT_EQ(r.packets[i].at(1), ">" + std::to_string(i));
  // Handed over in batches, each line inside one.
  EXPECT_FALSE(r.outside_batch);
  EXPECT_LT(r.batches, kLines / 2);
  reader.Stop();
}

// A line that costs the window more than a hand-over's time ends the hand-over: the
// lines after it come in the next, none lost, none twice, in order.
TEST(AprsIsReader, AHandOverThatRunsLongLeavesTheRestForTheNext) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  r.slow_data = ">slow";
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  std::string lines;
  for (int i = 0; i < 6; ++i) lines += "S>APRS:>" + std::to_string(i) + "\r\n";
  lines += "S>APRS:>slow\r\n";
  for (int i = 6; i < 12; ++i) lines += "S>APRS:>" + std::to_string(i) + "\r\n";
  ASSERT_TRUE(server.Send(lines));
  ASSERT_TRUE(SynchronizeUntil([&] { return r.packets.size() >= 13; }));
  reader.Stop();
  ASSERT_EQ(r.packets.size(), 13u);
  for (int i = 0; i < 13; ++i) {
    const std::string data = i < 6 ? std::to_string(i) : i == 6 ? "slow" : std::to_string(i - 1);
    EXPECT_EQ(r.packets[i].at(1), ">" + data) << i;
  }
  EXPECT_FALSE(r.outside_batch);
  EXPECT_GT(r.batch_of[7], r.batch_of[6]);
}

// The connect is the reader's: the window's thread never waits for the network.
TEST(AprsIsReader, ConnectsOnItsOwnThread) {
  TLoopbackTcpServer server;
  TTcpClient client;
  std::atomic<std::thread::id> connected_on{};
  client.OnConnected = [&] { connected_on = std::this_thread::get_id(); };
  TRecorder r;
  TCPTheard reader(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  ASSERT_TRUE(SynchronizeUntil([&] { return connected_on.load() != std::thread::id(); }));
  EXPECT_NE(connected_on.load(), std::this_thread::get_id());
  reader.Stop();
}

TEST(AprsIsReader, StopEndsEverything) {
  TLoopbackTcpServer server;
  TTcpClient client;
  TRecorder r;
  auto reader = std::make_unique<TCPTheard>(client, "127.0.0.1", server.Port(), r, kPassMs);
  ASSERT_TRUE(SynchronizeUntilAccepted(server));
  // A steady stream keeps the reader busy reading while it is stopped.
  for (int i = 0; i < 200; ++i) server.Send("C>APRS:>" + std::to_string(i) + "\r\n");
  ASSERT_TRUE(SynchronizeUntil([&] { return !r.packets.empty(); }));
  reader->Stop();
  const size_t handed_over = r.packets.size();
  EXPECT_FALSE(client.Connected());
  // Nothing more arrives, and no reconnect is tried.
  server.Drop();
  EXPECT_FALSE(SynchronizeUntil([&] { return server.Accept(5); }, 200));
  EXPECT_EQ(r.packets.size(), handed_over);
  reader.reset();
}

TEST(AprsIsReader, StopWhileTheServerIsGone) {
  TTcpClient client;
  TRecorder r;
  int port = 0;
  {
    TLoopbackTcpServer gone;
    port = gone.Port();
  }
  TCPTheard reader(client, "127.0.0.1", port, r, kPassMs);
  ASSERT_TRUE(SynchronizeUntil([&] { return r.statuses.size() >= 3; }));
  reader.Stop();
  const size_t statuses = r.statuses.size();
  SynchronizeUntil([] { return false; }, 100);
  EXPECT_EQ(r.statuses.size(), statuses);
  EXPECT_TRUE(r.packets.empty());
}

TEST(AprsIsReader, APortThatIsNoPortNeverConnects) {
  TTcpClient client;
  TRecorder r;
  TCPTheard reader(client, "127.0.0.1", -1, r, kPassMs);
  ASSERT_TRUE(SynchronizeUntil([&] { return r.statuses.size() >= 2; }));
  EXPECT_FALSE(client.Connected());
}

}  // namespace
