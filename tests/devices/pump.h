// Running the GUI thread in tests until something happened.
#pragma once

#include <chrono>
#include <thread>

#include "platform/sys/application.h"

// Pumps the GUI thread until Done holds or Ms passed; the last answer of Done.
template <class Predicate>
bool PumpUntil(Predicate Done, int Ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
  while (!Done() && std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return Done();
}

inline void PumpFor(int Ms) {
  PumpUntil([] { return false; }, Ms);
}
