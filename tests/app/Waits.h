// Waits of the tests on other threads, processes and the JACK server. A busy machine may take
// seconds for what an idle one does at once, so a wait counts the work it waits for and gives up
// only at a limit that a hang reaches.
#pragma once

#include <chrono>
#include <thread>

inline constexpr std::chrono::milliseconds kHangLimit{60000};

// Whether done() came true before the limit.
template <class Done> bool WaitUntil(Done done, std::chrono::milliseconds limit = kHangLimit) {
  const auto giveUp = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= giveUp)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}
