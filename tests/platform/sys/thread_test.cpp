#include "platform/sys/thread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/sys/application.h"
#include "platform/sys/pump.h"

namespace {

// Runs a function as its Execute.
class Worker : public TThread {
 public:
  explicit Worker(std::function<void(Worker&)> work) : work_(std::move(work)) {}
  ~Worker() override {
    Terminate();
    WaitFor();
  }

 protected:
  void Execute() override { work_(*this); }

 private:
  std::function<void(Worker&)> work_;
};

}  // namespace

TEST(Thread, SynchronizeRunsOnTheGuiThreadAndBlocksTheWorkerUntilDone) {
  const std::thread::id gui = std::this_thread::get_id();
  std::thread::id ranOn;
  int counter = 0;            // GUI data, touched only on the GUI thread
  std::atomic<int> seen{-1};  // what the worker saw right after each call
  std::atomic<bool> done{false};
  Worker worker([&](Worker&) {
    for (int i = 0; i < 20; ++i) {
      TThread::Synchronize([&] {
        ranOn = std::this_thread::get_id();
        ++counter;
      });
      seen = counter;  // safe: the GUI thread is done with it until the next call
      if (seen != i + 1) return;
    }
    done = true;
  });
  worker.Start();
  EXPECT_TRUE(PumpUntil([&] { return worker.Finished(); }));
  worker.WaitFor();
  EXPECT_TRUE(done);
  EXPECT_EQ(seen, 20);
  EXPECT_EQ(ranOn, gui);
}

TEST(Thread, SynchronizeOnTheGuiThreadRunsAtOnce) {
  bool ran = false;
  TThread::Synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST(Thread, ExceptionInSynchronizedCallGoesToTheApplicationAndTheWorkerGoesOn) {
  std::string reported;
  Application->OnException = [&](const std::exception& e) { reported = e.what(); };
  std::atomic<bool> after{false};
  Worker worker([&](Worker&) {
    TThread::Synchronize([] { throw std::runtime_error("decoder failed"); });
    after = true;
  });
  worker.Start();
  PumpUntil([&] { return worker.Finished(); });
  worker.WaitFor();
  Application->OnException = nullptr;
  EXPECT_EQ(reported, "decoder failed");
  EXPECT_TRUE(after);
}

TEST(Thread, WaitForOnTheGuiThreadRunsPendingSynchronizeInsteadOfDeadlocking) {
  int calls = 0;
  Worker worker([&](Worker& self) {
    while (!self.Terminated()) {
      TThread::Synchronize([&] { ++calls; });
      TThread::Sleep(1);
    }
    TThread::Synchronize([&] { ++calls; });  // one more while the GUI thread waits
  });
  worker.Start();
  PumpUntil([&] { return calls >= 3; });
  worker.Terminate();
  worker.WaitFor();  // no event pumping here
  EXPECT_TRUE(worker.Finished());
  EXPECT_GE(calls, 4);
}

TEST(Thread, ExceptionEscapingExecuteIsReportedOnTheGuiThread) {
  std::thread::id reportedOn;
  std::string reported;
  Application->OnException = [&](const std::exception& e) {
    reported = e.what();
    reportedOn = std::this_thread::get_id();
  };
  {
    Worker worker([](Worker&) { throw std::runtime_error("port vanished"); });
    worker.Start();
    worker.WaitFor();
  }
  Application->OnException = nullptr;
  EXPECT_EQ(reported, "port vanished");
  EXPECT_EQ(reportedOn, std::this_thread::get_id());
}

TEST(Thread, NeverStartedThreadIsFreedWithoutWaiting) {
  Worker idle([](Worker&) {});
  idle.WaitFor();
  EXPECT_FALSE(idle.Finished());
}

// Lowering needs no right, so the test sees the system take it: before the start and while
// the thread runs.
TEST(Thread, APriorityGivenBeforeOrWhileRunningReachesTheSystem) {
  std::atomic<int> step{0};
  std::atomic<int> niceAtStart{-100}, niceLater{-100};
  Worker worker([&](Worker&) {
    niceAtStart = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    step = 1;
    while (step != 2) std::this_thread::yield();
    niceLater = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  });
  const int own = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  worker.SetPriority(TThreadPriority::Lower);
  worker.Start();
  while (step != 1) std::this_thread::yield();
  worker.SetPriority(TThreadPriority::Idle);
  step = 2;
  worker.WaitFor();
  EXPECT_EQ(niceAtStart, std::max(own, 5));
  EXPECT_EQ(niceLater, 19);
}
