// A TCP server on 127.0.0.1 for tests of line clients: it accepts one connection at a
// time, records what it receives, sends what the test gives it and can drop the
// connection, as a server restart would.
#pragma once

#include <string>
#include <string_view>

class TLoopbackTcpServer {
 public:
  TLoopbackTcpServer();  // listens on a free port
  ~TLoopbackTcpServer();
  TLoopbackTcpServer(const TLoopbackTcpServer&) = delete;
  TLoopbackTcpServer& operator=(const TLoopbackTcpServer&) = delete;

  int Port() const { return port_; }

  // Waits up to TimeoutMs for a client and takes it; true when one came.
  bool Accept(int TimeoutMs = 2000);
  // Stops listening: later connects are refused.
  void CloseListener();
  bool Send(std::string_view Bytes);
  // Closes the connection to the client; the bytes sent before still reach it.
  void Drop();
  // Everything the client sent so far, waiting up to TimeoutMs for `Until` to appear.
  std::string Received(std::string_view Until = {}, int TimeoutMs = 2000);

 private:
  int listener_ = -1;
  int client_ = -1;
  int port_ = 0;
  std::string received_;
};
