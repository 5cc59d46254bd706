#pragma once
// Waiting for a worker's end without a window: the calls it hands over to this thread run while we wait.
#include <chrono>
#include <thread>

#include "classlib/core/Thread.h"

// Runs handed-over calls until Done holds (or a generous deadline passes).
template <class F> bool SettleUntil(F Done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
