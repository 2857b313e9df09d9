#include "platform/io/write_queue.h"

#include <chrono>

TWriteQueue::TWriteQueue(std::size_t Capacity, std::function<void(const std::string&)> Write)
    : capacity_(Capacity > 0 ? Capacity : 1), write_(std::move(Write)) {}

TWriteQueue::~TWriteQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    items_.clear();
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

bool TWriteQueue::Push(std::string Bytes) {
  bool dropped = false;
  {
    std::lock_guard lock(mutex_);
    if (items_.size() >= capacity_) {
      items_.pop_front();
      ++dropped_;
      dropped = true;
    }
    items_.push_back(std::move(Bytes));
    // Lazily, so that a device that is never written to costs no thread.
    if (!writer_.joinable()) writer_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
  return dropped;
}

void TWriteQueue::Clear() {
  std::unique_lock lock(mutex_);
  items_.clear();
  changed_.wait(lock, [this] { return !writing_; });
}

std::size_t TWriteQueue::Dropped() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

std::size_t TWriteQueue::Pending() const {
  std::lock_guard lock(mutex_);
  return items_.size() + (writing_ ? 1 : 0);
}

bool TWriteQueue::WaitUntilWritten(int TimeoutMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(TimeoutMs),
                           [this] { return items_.empty() && !writing_; });
}

void TWriteQueue::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !items_.empty(); });
    if (stopping_) return;
    const std::string bytes = std::move(items_.front());
    items_.pop_front();
    writing_ = true;
    lock.unlock();
    write_(bytes);
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}
