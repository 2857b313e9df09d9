// A TCP client for line protocols: connect with a time-out, read whole lines with a
// short time-out, write lines. Bytes go over the wire as they are (the program's
// Windows-1252 text); a line ends at LF, and a CR before it is dropped.
//
// One thread reads (Connected, HasData, ReadLine); another may write at the same
// time, and may call Shutdown to wake the reader and end the connection. Connect and
// Disconnect must not run while another thread is inside a read.
//
// Writes never wait for the peer: lines are queued (write_queue.h) and sent by a
// writer thread. A peer that stops reading fills the queue, which then drops its oldest
// lines and says so through OnStatus. The system probes an idle connection (TCP
// keep-alive), so a peer that vanished without a word is noticed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/io/write_queue.h"

class TTcpClient {
 public:
  // QueueCapacity: lines that may wait for a peer that does not read; MaxLineBytes: the
  // longest line taken, its line end counted.
  explicit TTcpClient(std::size_t QueueCapacity = kQueueCapacity,
                      std::size_t MaxLineBytes = kMaxLineLength);
  ~TTcpClient();
  TTcpClient(const TTcpClient&) = delete;
  TTcpClient& operator=(const TTcpClient&) = delete;

  // Connects to Host (name or address) and Port, giving up after TimeoutMs, or as soon
  // as Cancelled (asked every few milliseconds while waiting) says so; an existing
  // connection is closed first. False when the host is unknown, the port is not
  // 1..65535, the peer refuses or does not answer in time.
  bool Connect(const std::string& Host, int Port, int TimeoutMs = 1000,
               const std::function<bool()>& Cancelled = {});
  void Disconnect();
  // True while the connection is open and the peer has not closed it. Consumes nothing:
  // lines the peer sent before it closed are still there for ReadLine.
  bool Connected();
  // A whole line is buffered, or bytes are waiting on the socket.
  bool HasData();
  // The next line without its line end, waiting up to TimeoutMs for it to complete;
  // nullopt on time-out (a partial line stays buffered) or when the connection ended
  // and no whole line is left.
  // A line longer than MaxLineBytes with its line end is dropped whole, up to its end:
  // cut, its rest would be read as a line of its own, or its start as something else.
  std::optional<std::string> ReadLine(int TimeoutMs = 100);
  // Queues Line and CR LF for the writer; false when not connected, and for a Line
  // holding CR, LF or NUL, which is not sent at all. Lines queued on a connection go
  // out on it or not at all: a disconnect drops those still waiting.
  bool WriteLine(std::string_view Line);
  // Queues the bytes as they are (a binary protocol such as KISS over TCP); false when
  // not connected.
  bool Write(std::string_view Bytes);
  // Ends the connection from any thread: a reader waiting in ReadLine returns at once.
  void Shutdown();
  void ClearInputBuffer();
  // The connection is open as far as this side knows; safe to ask from any thread
  // (Connected belongs to the reading thread).
  bool IsOpen() const { return socket_ >= 0 && !peer_closed_; }
  // Milliseconds since the last byte came in, or since the connection was made.
  std::int64_t IdleMs() const;
  // Lines dropped on this connection because the peer did not take them.
  std::size_t DroppedLines() const { return dropped_lines_; }
  // Lines queued and not yet handed to the system.
  std::size_t PendingLines() const { return queue_.Pending(); }

  // Called by Connect after it succeeded and by Disconnect when it closed an open
  // connection, on the thread that called them; OnStatus gets a short state text,
  // kStatusConnected or kStatusDisconnected.
  std::function<void()> OnConnected;
  std::function<void()> OnDisconnected;
  std::function<void(const std::string& Text)> OnStatus;

  static constexpr const char* kStatusConnected = "Connected.";
  static constexpr const char* kStatusDisconnected = "Disconnected.";
  static constexpr size_t kMaxLineLength = 4096;
  static constexpr size_t kQueueCapacity = 256;

 private:
  // Reads what the socket has (waiting up to TimeoutMs); false when it was closed.
  bool Receive(int TimeoutMs);
  std::optional<std::string> TakeLine();
  // On the writer thread: sends all of Bytes, waiting as long as the peer takes to make
  // room; a shut socket ends the wait.
  void Send(const std::string& Bytes);
  void MarkReceived();

  const std::size_t max_line_bytes_;
  std::atomic<int> socket_{-1};
  std::atomic<bool> peer_closed_{false};
  std::atomic<std::int64_t> last_receive_ms_{0};
  std::string input_;
  bool skipping_long_line_ = false;
  std::atomic<std::size_t> dropped_lines_{0};
  TWriteQueue queue_;
};
