#include "platform/test_support/loopback_tcp_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

TLoopbackTcpServer::TLoopbackTcpServer() {
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

TLoopbackTcpServer::~TLoopbackTcpServer() {
  Drop();
  CloseListener();
}

bool TLoopbackTcpServer::Accept(int TimeoutMs) {
  pollfd descriptor{listener_, POLLIN, 0};
  if (listener_ < 0 || poll(&descriptor, 1, TimeoutMs) <= 0) return false;
  Drop();
  client_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  received_.clear();
  return client_ >= 0;
}

void TLoopbackTcpServer::CloseListener() {
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
}

bool TLoopbackTcpServer::Send(std::string_view Bytes) {
  return client_ >= 0 &&
         send(client_, Bytes.data(), Bytes.size(), MSG_NOSIGNAL) == ssize_t(Bytes.size());
}

// As a server closes a connection: what it sent still arrives, then the end of the
// stream. Unread input is taken first, since closing over it would reset the connection
// and throw away the client's unread bytes too.
void TLoopbackTcpServer::Drop() {
  if (client_ < 0) return;
  shutdown(client_, SHUT_WR);
  char chunk[4096];
  while (recv(client_, chunk, sizeof chunk, MSG_DONTWAIT) > 0) {
  }
  close(client_);
  client_ = -1;
}

std::string TLoopbackTcpServer::Received(std::string_view Until, int TimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (client_ >= 0 && (Until.empty() || received_.find(Until) == std::string::npos) &&
         std::chrono::steady_clock::now() < deadline) {
    pollfd descriptor{client_, POLLIN, 0};
    if (poll(&descriptor, 1, Until.empty() ? 0 : 20) <= 0) {
      if (Until.empty()) break;
      continue;
    }
    char chunk[4096];
    const ssize_t count = recv(client_, chunk, sizeof chunk, 0);
    if (count <= 0) break;
    received_.append(chunk, size_t(count));
  }
  return received_;
}
