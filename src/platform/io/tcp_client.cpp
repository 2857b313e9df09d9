#include "platform/io/tcp_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

constexpr size_t kReceiveChunk = 4096;
// Keep-alive: the first probe after a minute without traffic, then every 10 s; three
// unanswered probes end the connection.
constexpr int kKeepAliveIdleS = 60;
constexpr int kKeepAliveIntervalS = 10;
constexpr int kKeepAliveProbes = 3;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Keep-alive is a help, not a condition: a system without it still connects.
void KeepAlive(int s) {
  const int on = 1;
  setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  setsockopt(s, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleS, sizeof kKeepAliveIdleS);
  setsockopt(s, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalS, sizeof kKeepAliveIntervalS);
  setsockopt(s, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
}

// poll() that resumes after signals, counting the time already spent; a negative
// time-out waits for as long as it takes.
int PollFor(int socket, short events, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd descriptor{socket, events, 0};
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (timeout_ms < 0) {
      left = -1;
    } else if (left < 0) {
      left = 0;
    }
    int result = poll(&descriptor, 1, left);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) return result;
    return descriptor.revents;
  }
}

// Waits for a connect in short slices, so that a caller may give up early.
constexpr int kConnectSliceMs = 20;

int ConnectOne(const addrinfo& address, int timeout_ms, const std::function<bool()>& cancelled) {
  int s = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
  if (s < 0) return -1;
  int flags = fcntl(s, F_GETFL, 0);
  fcntl(s, F_SETFL, flags | O_NONBLOCK);
  int result = connect(s, address.ai_addr, address.ai_addrlen);
  if (result < 0 && errno == EINPROGRESS) {
    int events = 0;
    for (int waited = 0; events == 0 && waited < timeout_ms; waited += kConnectSliceMs) {
      if (cancelled && cancelled()) break;
      events = PollFor(s, POLLOUT, std::min(kConnectSliceMs, timeout_ms - waited));
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (events > 0 && getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
      result = 0;
    }
  }
  if (result != 0) {
    close(s);
    return -1;
  }
  int one = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  KeepAlive(s);
  return s;
}

}  // namespace

TTcpClient::TTcpClient(std::size_t QueueCapacity, std::size_t MaxLineBytes)
    : max_line_bytes_(MaxLineBytes),
      queue_(QueueCapacity, [this](const std::string& bytes) { Send(bytes); }) {}

TTcpClient::~TTcpClient() {
  Disconnect();
}

bool TTcpClient::Connect(const std::string& Host, int Port, int TimeoutMs,
                         const std::function<bool()>& Cancelled) {
  Disconnect();
  if (Host.empty() || Port < 1 || Port > 65535) return false;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  const std::string service = std::to_string(Port);
  if (getaddrinfo(Host.c_str(), service.c_str(), &hints, &addresses) != 0) return false;
  int s = -1;
  for (addrinfo* a = addresses; a != nullptr && s < 0; a = a->ai_next)
    s = ConnectOne(*a, TimeoutMs, Cancelled);
  freeaddrinfo(addresses);
  if (s < 0) return false;
  peer_closed_ = false;
  dropped_lines_ = 0;
  MarkReceived();
  socket_ = s;
  if (OnStatus) OnStatus(kStatusConnected);
  if (OnConnected) OnConnected();
  return true;
}

void TTcpClient::Disconnect() {
  const int s = socket_.exchange(-1);
  if (s >= 0) {
    // The shut socket ends a send waiting for room at once; the socket's number is
    // given back only once the writer is done with it, as a new connection could get it.
    shutdown(s, SHUT_RDWR);
    queue_.Clear();
    close(s);
  }
  ClearInputBuffer();
  if (s < 0) return;
  if (OnStatus) OnStatus(kStatusDisconnected);
  if (OnDisconnected) OnDisconnected();
}

void TTcpClient::Shutdown() {
  int s = socket_.load();
  if (s >= 0) shutdown(s, SHUT_RDWR);
  peer_closed_ = true;
}

void TTcpClient::ClearInputBuffer() {
  input_.clear();
  skipping_long_line_ = false;
}

bool TTcpClient::Receive(int TimeoutMs) {
  const int s = socket_.load();
  if (s < 0 || peer_closed_) return false;
  int events = PollFor(s, POLLIN, TimeoutMs);
  if (events <= 0) return events == 0;
  char chunk[kReceiveChunk];
  ssize_t count = recv(s, chunk, sizeof chunk, MSG_DONTWAIT);
  if (count > 0) {
    input_.append(chunk, static_cast<size_t>(count));
    MarkReceived();
    return true;
  }
  if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
  peer_closed_ = true;
  return false;
}

// Only looks: the bytes stay on the socket for ReadLine, so asking never moves data
// into the buffer behind the reader's back. A peer that has closed shows as an end of
// stream only once every byte it sent before has been read.
bool TTcpClient::Connected() {
  const int s = socket_.load();
  if (s < 0 || peer_closed_) return false;
  char byte = 0;
  for (;;) {
    const ssize_t count = recv(s, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (count > 0) return true;
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    peer_closed_ = true;
    return false;
  }
}

bool TTcpClient::HasData() {
  if (input_.find('\n') != std::string::npos) return true;
  const int s = socket_.load();
  return s >= 0 && !peer_closed_ && PollFor(s, POLLIN, 0) > 0;
}

std::optional<std::string> TTcpClient::TakeLine() {
  for (;;) {
    size_t end = input_.find('\n');
    // The bytes before the LF, a CR among them, and the LF itself.
    if (end == std::string::npos) {
      if (input_.size() >= max_line_bytes_) {
        input_.clear();
        skipping_long_line_ = true;
      }
      return std::nullopt;
    }
    std::string line = input_.substr(0, end);
    input_.erase(0, end + 1);
    if (skipping_long_line_ || line.size() + 1 > max_line_bytes_) {
      skipping_long_line_ = false;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
}

std::optional<std::string> TTcpClient::ReadLine(int TimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (;;) {
    if (std::optional<std::string> line = TakeLine()) return line;
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (left <= 0 || !Receive(left)) return std::nullopt;
  }
}

void TTcpClient::MarkReceived() {
  last_receive_ms_ = NowMs();
}

std::int64_t TTcpClient::IdleMs() const {
  return NowMs() - last_receive_ms_;
}

bool TTcpClient::WriteLine(std::string_view Line) {
  // A line break inside would send a second line the caller never meant to send.
  if (Line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  std::string text(Line);
  text += "\r\n";
  return Write(text);
}

bool TTcpClient::Write(std::string_view Bytes) {
  if (!IsOpen()) return false;
  if (queue_.Push(std::string(Bytes))) {
    ++dropped_lines_;
    if (OnStatus) {
      OnStatus("Server not reading: " + std::to_string(dropped_lines_) + " lines dropped.");
    }
  }
  return true;
}

void TTcpClient::Send(const std::string& Bytes) {
  const int s = socket_.load();
  if (s < 0 || peer_closed_) return;
  size_t sent = 0;
  while (sent < Bytes.size()) {
    const ssize_t count = send(s, Bytes.data() + sent, Bytes.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // No time limit: this is the writer's own thread, and a shut socket wakes it.
      if (PollFor(s, POLLOUT, -1) <= 0) return;
      continue;
    }
    if (count <= 0) return;
    sent += static_cast<size_t>(count);
  }
}
