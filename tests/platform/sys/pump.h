// Running the GUI thread in tests until something happened.
#pragma once

#include <chrono>
#include <thread>

#include "platform/sys/application.h"

// Pumps the GUI thread until done() holds or ms passed; the last answer of done(). The
// limit only stops a broken test, so callers waiting for a result may give a generous one.
template <class Predicate>
bool PumpUntil(Predicate done, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}
