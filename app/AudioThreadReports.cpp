#include "AudioThreadReports.h"

#include <atomic>
#include <cstdio>

namespace {

thread_local bool audioThread = false;
std::atomic<unsigned> pendingReports{0};
static_assert(std::atomic<unsigned>::is_always_lock_free);
// UI thread only.
std::chrono::steady_clock::time_point lastLine{};
bool wroteLine = false;

} // namespace

void MarkAudioThread() noexcept {
  audioThread = true;
}

bool OnAudioThread() noexcept {
  return audioThread;
}

void CountAudioThreadReport() noexcept {
  pendingReports.fetch_add(1, std::memory_order_relaxed);
}

bool WriteAudioThreadReports(std::chrono::steady_clock::time_point now) {
  if (wroteLine && now - lastLine < std::chrono::seconds(1))
    return false;
  const unsigned count = pendingReports.exchange(0, std::memory_order_relaxed);
  if (count == 0)
    return false;
  std::fprintf(stderr, "\nerrorCallback: %u report%s from the audio thread\n\n", count,
               count == 1 ? "" : "s");
  lastLine = now;
  wroteLine = true;
  return true;
}
