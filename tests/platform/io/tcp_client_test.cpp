#include "platform/io/tcp_client.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/test_support/loopback_tcp_server.h"

namespace {

// A client connected to a loopback server that has taken the connection.
class ConnectedTcpClient : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    ASSERT_TRUE(server.Accept());
  }

  TLoopbackTcpServer server;
  TTcpClient client;
};

TEST_F(ConnectedTcpClient, ReadsLinesSplitAcrossPackets) {
  EXPECT_TRUE(client.Connected());
  EXPECT_FALSE(client.HasData());
  EXPECT_EQ(client.ReadLine(20), std::nullopt);  // nothing yet: a time-out, not an end
  server.Send("# aprsc 2.1\r\nN0CALL>AP");
  EXPECT_EQ(client.ReadLine(), "# aprsc 2.1");
  EXPECT_EQ(client.ReadLine(50), std::nullopt);  // half a line stays buffered
  server.Send("RS:>\xE4\xF6\xFC\r\n\r\nlast\n");
  EXPECT_EQ(client.ReadLine(), "N0CALL>APRS:>\xE4\xF6\xFC");
  EXPECT_TRUE(client.HasData());
  EXPECT_EQ(client.ReadLine(), "");
  EXPECT_EQ(client.ReadLine(), "last");
  EXPECT_TRUE(client.Connected());
}

TEST(TcpClient, WritesLinesWithCrLf) {
  TLoopbackTcpServer server;
  TTcpClient client;
  ASSERT_TRUE(client.Connect("localhost", server.Port()));
  ASSERT_TRUE(server.Accept());
  EXPECT_TRUE(client.WriteLine("user N0CALL pass -1 vers Velmora 1.2"));
  EXPECT_TRUE(client.WriteLine("N0CALL>APRS:>\xB0"));
  EXPECT_EQ(server.Received("\xB0\r\n"),
            "user N0CALL pass -1 vers Velmora 1.2\r\nN0CALL>APRS:>\xB0\r\n");
}

TEST_F(ConnectedTcpClient, NoticesTheServerClosing) {
  server.Send("one\r\n");
  server.Drop();
  EXPECT_EQ(client.ReadLine(), "one");
  EXPECT_EQ(client.ReadLine(), std::nullopt);
  EXPECT_FALSE(client.Connected());
  EXPECT_FALSE(client.WriteLine("x"));
  // And connects again.
  ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
  ASSERT_TRUE(server.Accept());
  EXPECT_TRUE(client.Connected());
}

// The health check only looks: lines that came in before the peer closed are all still
// read, and only then does the connection count as ended.
TEST_F(ConnectedTcpClient, AskingForTheConnectionConsumesNothing) {
  std::string burst;
  for (int i = 0; i < 500; ++i) burst += "L" + std::to_string(i) + "\r\n";
  server.Send(burst);
  server.Drop();
  for (int i = 0; i < 500; ++i) {
    ASSERT_TRUE(client.HasData()) << i;
    client.Connected();
    ASSERT_EQ(client.ReadLine(), "L" + std::to_string(i));
  }
  EXPECT_EQ(client.ReadLine(20), std::nullopt);
  EXPECT_FALSE(client.Connected());
  EXPECT_FALSE(client.HasData());
}

TEST_F(ConnectedTcpClient, LinesHoldingLineBreaksAreNotSent) {
  EXPECT_FALSE(client.WriteLine("X>APRS:a\r\nEVIL>APRS:b"));
  EXPECT_FALSE(client.WriteLine("X\nEVIL>APRS:b"));
  EXPECT_FALSE(client.WriteLine(std::string_view("X>APRS:a\0b", 10)));
  EXPECT_TRUE(client.WriteLine("X>APRS:ok"));
  EXPECT_EQ(server.Received("ok\r\n"), "X>APRS:ok\r\n");
}

// A peer that never answers (its queue of connections to accept is full, so its
// system drops our request): the wait ends as soon as the caller gives up.
TEST(TcpClient, AConnectThatHangsEndsWhenCancelled) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const int port = ntohs(address.sin_port);
  std::vector<std::unique_ptr<TTcpClient>> queued;
  for (int i = 0; i < 3; ++i) {
    queued.push_back(std::make_unique<TTcpClient>());
    queued.back()->Connect("127.0.0.1", port, 200);
  }
  TTcpClient client;
  int asked = 0;
  EXPECT_FALSE(client.Connect("127.0.0.1", port, 600000, [&] { return ++asked > 3; }));
  EXPECT_GT(asked, 3);
  close(listener);
}

TEST(TcpClient, ConnectFailuresAreReported) {
  TTcpClient client;
  int port = 0;
  {
    TLoopbackTcpServer server;
    port = server.Port();
  }
  EXPECT_FALSE(client.Connect("127.0.0.1", port));  // nobody listens any more
  EXPECT_FALSE(client.Connected());
  EXPECT_FALSE(client.Connect("127.0.0.1", 0));
  EXPECT_FALSE(client.Connect("127.0.0.1", 70000));
  EXPECT_FALSE(client.Connect("", 14580));
  EXPECT_FALSE(client.Connect("no-such-host.invalid", 14580));
  EXPECT_FALSE(client.WriteLine("x"));
  EXPECT_EQ(client.ReadLine(10), std::nullopt);
}

TEST_F(ConnectedTcpClient, ShutdownWakesABlockedReader) {
  std::optional<std::string> line = "unset";
  std::thread reader([&] { line = client.ReadLine(60000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  client.Shutdown();
  reader.join();
  EXPECT_EQ(line, std::nullopt);
  EXPECT_FALSE(client.Connected());
}

// A server that takes the connection and never reads: the kernel's buffers fill, and
// every later line would wait for room. The caller never waits: lines are queued, and
// once the queue is full the oldest are dropped, counted and reported (which ones go is
// the write queue's test).
TEST(TcpClient, AServerThatNeverReadsCostsTheWriterNothing) {
  TLoopbackTcpServer server;
  constexpr size_t kCapacity = 8;
  std::vector<std::string> statuses;  // outlives the client, which reports its end
  TTcpClient client(kCapacity);
  client.OnStatus = [&](const std::string& text) { statuses.push_back(text); };
  ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
  ASSERT_TRUE(server.Accept());
  // Far more than the buffers of both ends hold (a few MiB on loopback).
  const std::string payload(1000, 'x');
  constexpr int kLines = 40000;
  for (int i = 0; i < kLines; ++i) ASSERT_TRUE(client.WriteLine(payload)) << i;
  const size_t dropped = client.DroppedLines();
  EXPECT_GT(dropped, 0u);
  EXPECT_LE(client.PendingLines(), kCapacity + 1);
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back(), "Server not reading: " + std::to_string(dropped) + " lines dropped.");
}

// Closing while the writer waits for a server that does not read ends that wait: the
// close never waits on the peer.
TEST(TcpClient, DisconnectEndsAWriteWaitingForAServerThatDoesNotRead) {
  TLoopbackTcpServer server;
  TTcpClient client(4);
  ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
  ASSERT_TRUE(server.Accept());
  const std::string payload(64 * 1024, 'x');
  for (int i = 0; i < 1000 && client.DroppedLines() == 0; ++i) client.WriteLine(payload);
  ASSERT_GT(client.DroppedLines(), 0u);  // the writer is stuck in a send by now
  client.Disconnect();
  EXPECT_EQ(client.PendingLines(), 0u);
  EXPECT_FALSE(client.WriteLine("x"));
  // And the next connection starts with an empty queue and no drops.
  ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
  ASSERT_TRUE(server.Accept());
  EXPECT_EQ(client.DroppedLines(), 0u);
  EXPECT_TRUE(client.WriteLine("fresh"));
  EXPECT_EQ(server.Received("fresh\r\n"), "fresh\r\n");
}

// The system probes a connection that has gone quiet, so a server that vanished without
// a word is noticed: the kernel lists the connection with its keep-alive timer running
// (timer kind 2 in /proc/net/tcp).
TEST_F(ConnectedTcpClient, TheSystemKeepsAQuietConnectionAlive) {
  std::ifstream table("/proc/net/tcp");
  if (!table) GTEST_SKIP() << "no /proc/net/tcp";
  char port_hex[8];
  std::snprintf(port_hex, sizeof port_hex, "%04X", server.Port());
  std::string line;
  std::getline(table, line);  // the column names
  bool found = false;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer;
    fields >> slot >> local >> remote >> state >> queues >> timer;
    // Our end: the one whose peer is the server's port.
    if (remote.substr(remote.find(':') + 1) != port_hex || state != "01") continue;
    found = true;
    EXPECT_EQ(timer.substr(0, 3), "02:") << line;
  }
  EXPECT_TRUE(found);
}

TEST_F(ConnectedTcpClient, OverlongLinesAreDropped) {
  std::string flood(3 * TTcpClient::kMaxLineLength, 'x');
  server.Send(flood);
  while (client.ReadLine(50)) {
  }
  server.Send("y\r\nok\r\n");
  EXPECT_EQ(client.ReadLine(), "ok");
}

}  // namespace
