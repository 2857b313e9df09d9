// Running the GUI thread in tests until something happened.
#pragma once

#include <chrono>
#include <thread>

#include "platform/sys/application.h"
#include "platform/sys/thread.h"

// Calls pass() until done() holds (true) or ms passed (false). done() is asked once per
// round, so a condition with an effect (taking a connection) counts once. The limit only
// stops a broken test, so callers waiting for a result may give a generous one.
template <class Predicate, class Pass>
bool PassUntil(Predicate& done, int ms, Pass pass) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    pass();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// Pumps all events of the GUI thread.
template <class Predicate>
bool PumpUntil(Predicate done, int ms = 10000) {
  return PassUntil(done, ms, [] { Application->ProcessMessages(); });
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Runs only the hand-overs of worker threads (TThread::Synchronize), leaving every other
// event queued.
template <class Predicate>
bool SynchronizeUntil(Predicate done, int ms = 10000) {
  return PassUntil(done, ms, [] { TThread::CheckSynchronize(); });
}
