// A TCP server on 127.0.0.1 for tests of line clients: it accepts one connection at a
// time, records the lines it receives, sends what the test gives it and can drop the
// connection. Header-only; tests of the platform may use the socket API directly.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

class TLoopbackTcpServer {
 public:
  TLoopbackTcpServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~TLoopbackTcpServer() {
    Drop();
    close(listener_);
  }
  TLoopbackTcpServer(const TLoopbackTcpServer&) = delete;
  TLoopbackTcpServer& operator=(const TLoopbackTcpServer&) = delete;

  int Port() const { return port_; }
  bool HasClient() const { return client_ >= 0; }

  // Waits up to timeout_ms for a client and takes it; true when one came.
  bool Accept(int timeout_ms = 2000) {
    pollfd descriptor{listener_, POLLIN, 0};
    if (poll(&descriptor, 1, timeout_ms) <= 0) return false;
    Drop();
    client_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    received_.clear();
    return client_ >= 0;
  }
  // Stops listening: later connects are refused.
  void CloseListener() {
    close(listener_);
    listener_ = -1;
  }
  bool Send(std::string_view bytes) {
    return client_ >= 0 && send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                               static_cast<ssize_t>(bytes.size());
  }
  // Closes the connection to the client, as a server restart would.
  void Drop() {
    if (client_ >= 0) close(client_);
    client_ = -1;
  }
  // Everything the client sent so far, waiting up to timeout_ms for `until` to appear.
  std::string Received(std::string_view until = {}, int timeout_ms = 2000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (client_ >= 0 && (until.empty() || received_.find(until) == std::string::npos) &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd descriptor{client_, POLLIN, 0};
      if (poll(&descriptor, 1, until.empty() ? 0 : 20) <= 0) {
        if (until.empty()) break;
        continue;
      }
      char chunk[4096];
      ssize_t count = recv(client_, chunk, sizeof chunk, 0);
      if (count <= 0) break;
      received_.append(chunk, static_cast<size_t>(count));
    }
    return received_;
  }

 private:
  int listener_ = -1;
  int client_ = -1;
  int port_ = 0;
  std::string received_;
};
