#include "platform/io/write_queue.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A device that takes nothing until the test opens it, and records what it took.
struct TGatedDevice {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
  bool busy = false;  // inside a write
  std::vector<std::string> written;

  void Write(const std::string& bytes) {
    std::unique_lock lock(mutex);
    busy = true;
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
    written.push_back(bytes);
    busy = false;
  }
  void WaitUntilBusy() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return busy; });
  }
  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    changed.notify_all();
  }
};

TEST(WriteQueue, AFullQueueDropsItsOldestItemsAndCountsThem) {
  TGatedDevice device;
  TWriteQueue queue(3, [&](const std::string& bytes) { device.Write(bytes); });
  EXPECT_FALSE(queue.Push("0"));
  device.WaitUntilBusy();  // "0" is being written, the device holds it
  for (const char* item : {"1", "2", "3"}) EXPECT_FALSE(queue.Push(item));
  EXPECT_TRUE(queue.Push("4"));  // "1" makes room
  EXPECT_TRUE(queue.Push("5"));  // "2" makes room
  EXPECT_EQ(queue.Dropped(), 2u);
  EXPECT_EQ(queue.Pending(), 4u);
  device.Open();
  ASSERT_TRUE(queue.WaitUntilWritten(10000));
  EXPECT_EQ(device.written, (std::vector<std::string>{"0", "3", "4", "5"}));
  EXPECT_EQ(queue.Pending(), 0u);
}

// Clear drops what waits at once and returns only when the item in flight is done, as a
// close must before the device's number can go to another file.
TEST(WriteQueue, ClearDropsWhatWaitsAndWaitsForTheItemInFlight) {
  TGatedDevice device;
  TWriteQueue queue(8, [&](const std::string& bytes) { device.Write(bytes); });
  queue.Push("in flight");
  device.WaitUntilBusy();
  queue.Push("waiting");
  std::thread closer([&] { queue.Clear(); });
  while (queue.Pending() != 1) std::this_thread::yield();  // "waiting" is gone
  device.Open();  // as a shut socket ends the writer's wait
  closer.join();
  EXPECT_EQ(queue.Pending(), 0u);
  EXPECT_EQ(queue.Dropped(), 0u);  // cleared, not dropped
  queue.Push("after");
  ASSERT_TRUE(queue.WaitUntilWritten(10000));
  EXPECT_EQ(device.written, (std::vector<std::string>{"in flight", "after"}));
}

}  // namespace
