#include "platform/sys/thread.h"

#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>

#include "platform/sys/application.h"

namespace {

struct SyncRequest {
  const std::function<void()>* method;
  bool done = false;
};

// The calls waiting for the GUI thread. One condition variable serves both directions:
// the GUI thread waits in WaitFor for work or a finished thread, workers for "done".
struct SyncQueue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<SyncRequest*> waiting;
  bool released = false;  // ReleaseSynchronize: no call runs any more, none waits
};

// Made once and never freed: a worker may still wait in it, or be on its way out of a
// wait, while the exit handlers free what they own.
SyncQueue& Queue() {
  static SyncQueue* const queue = new SyncQueue;
  return *queue;
}

// Nice values from idle to time-critical: each step a few times the share of the next. A
// priority up to normal never runs the thread ahead of a program started at a lower one.
void ApplyPriority(int SystemId, TThreadPriority Priority) {
  static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};
  int nice = kNice[static_cast<int>(Priority)];
  if (nice >= 0) nice = std::max(nice, getpriority(PRIO_PROCESS, static_cast<id_t>(getpid())));
  setpriority(PRIO_PROCESS, static_cast<id_t>(SystemId), nice);
}

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

}  // namespace

TThread::TThread() = default;

TThread::~TThread() {
  Terminate();
  WaitFor();
}

void TThread::Start() {
  if (thread_.joinable() || finished_) return;
  thread_ = std::thread([this] { Run(); });
}

void TThread::SetPriority(TThreadPriority Priority) {
  priority_ = Priority;
  if (const int id = system_id_) ApplyPriority(id, Priority);
}

void TThread::Run() {
  system_id_ = static_cast<int>(gettid());
  if (priority_ != TThreadPriority::Normal) ApplyPriority(system_id_, priority_);
  try {
    Execute();
  } catch (const std::exception& error) {
    const std::string message = error.what();
    Synchronize([&message] { throw std::runtime_error(message); });
  }
  system_id_ = 0;  // the id may go to another thread now
  {
    std::lock_guard<std::mutex> lock(Queue().mutex);
    finished_ = true;
  }
  Queue().changed.notify_all();
}

void TThread::WaitFor() {
  if (!thread_.joinable()) return;
  if (OnGuiThread()) {
    SyncQueue& queue = Queue();
    for (;;) {
      CheckSynchronize();
      std::unique_lock<std::mutex> lock(queue.mutex);
      if (finished_) break;
      queue.changed.wait_for(lock, std::chrono::milliseconds(50),
                             [&] { return finished_ || !queue.waiting.empty(); });
    }
  }
  thread_.join();
}

void TThread::Synchronize(const std::function<void()>& Method) {
  if (OnGuiThread()) {
    Dispatch(Method);
    return;
  }
  SyncQueue& queue = Queue();
  SyncRequest request{&Method};
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (queue.released) return;
    queue.waiting.push_back(&request);
  }
  queue.changed.notify_all();
  // Wake the GUI thread's event loop; it drains the whole queue, so one wake-up per
  // request is enough even when it finds the request already done.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { CheckSynchronize(); }, Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(queue.mutex);
  queue.changed.wait(lock, [&] { return request.done || queue.released; });
}

void TThread::CheckSynchronize() {
  SyncQueue& queue = Queue();
  for (;;) {
    SyncRequest* request = nullptr;
    {
      std::lock_guard<std::mutex> lock(queue.mutex);
      if (queue.waiting.empty()) return;
      request = queue.waiting.front();
      queue.waiting.pop_front();
    }
    Dispatch(*request->method);
    {
      std::lock_guard<std::mutex> lock(queue.mutex);
      // Released meanwhile, its worker may have gone on and the request with it.
      if (!queue.released) request->done = true;
    }
    queue.changed.notify_all();
  }
}

void TThread::ReleaseSynchronize() {
  SyncQueue& queue = Queue();
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.released = true;
    queue.waiting.clear();
  }
  queue.changed.notify_all();
}

void TThread::Sleep(unsigned Milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}
