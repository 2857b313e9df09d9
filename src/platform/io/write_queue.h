// What a program sends to a peer that may be slow or stop reading (an internet server,
// a TNC holding its flow control): the caller queues each line or frame and goes on at
// once, and a writer thread of the queue's own hands them to the device in order.
//
// The queue holds at most Capacity items. A full queue makes room by dropping its
// oldest item, which it counts: a peer that does not read loses the oldest lines,
// never the caller's time. The write function is the device's; it may block until the
// peer takes the bytes, and the device's owner ends such a wait (by shutting the
// socket, or cancelling the port's waits) before it calls Clear.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TWriteQueue {
 public:
  // Write gets each item on the writer thread; its answer is not needed by anyone.
  TWriteQueue(std::size_t Capacity, std::function<void(const std::string& Bytes)> Write);
  // Drops what waits and joins the writer, which must not be blocked in Write by then.
  ~TWriteQueue();
  TWriteQueue(const TWriteQueue&) = delete;
  TWriteQueue& operator=(const TWriteQueue&) = delete;

  // Queues Bytes and returns at once; true when the oldest waiting item was dropped
  // to make room.
  bool Push(std::string Bytes);
  // Drops every waiting item (not counted as dropped) and returns once the writer is
  // not inside Write: after it, no item queued before reaches the device.
  void Clear();
  // Items dropped because the queue was full, since the queue was made.
  std::size_t Dropped() const;
  // Items queued and not yet written, the one being written among them.
  std::size_t Pending() const;
  // Waits until every queued item has been written, at most TimeoutMs; true when so.
  bool WaitUntilWritten(int TimeoutMs) const;

 private:
  void Run();

  const std::size_t capacity_;
  const std::function<void(const std::string&)> write_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<std::string> items_;
  std::size_t dropped_ = 0;
  bool writing_ = false;
  bool stopping_ = false;
  std::thread writer_;  // started by the first Push
};
