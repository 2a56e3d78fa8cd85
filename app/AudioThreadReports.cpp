#include "AudioThreadReports.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "Utf8.h"

namespace {

// A text buffer handed between the threads by its state alone: whoever moves it out of kEmpty or
// kFull owns the buffer until it stores the next state, so neither thread ever waits for the other.
enum SlotState : unsigned { kEmpty, kWriting, kFull, kReading };

struct TextSlot {
  std::atomic<unsigned> state{kEmpty};
  std::uint64_t sequence = 0;
  std::size_t length = 0;
  char text[kAudioThreadReportBytes];
};
static_assert(std::atomic<unsigned>::is_always_lock_free);

// A slot's text as the UI thread took it.
struct Report {
  std::uint64_t sequence;
  std::string text;
};

thread_local bool audioThread = false;
std::atomic<unsigned> pendingReports{0};
// Orders the texts: a report's text can be taken before the report is counted, so the slot taken
// first need not hold the earlier report.
std::atomic<std::uint64_t> nextSequence{0};
// The first report since the last line; only an empty slot takes one.
TextSlot firstSlot;
// The latest report: each one goes to the slot that does not hold the one before, so the UI thread
// may read the latest while the next is written.
TextSlot latestSlots[2];
std::atomic<unsigned> latestIndex{0};
// UI thread only.
std::chrono::steady_clock::time_point lastLine{};
bool wroteLine = false;

// Audio thread: false when the slot is being written or read just now.
bool Fill(TextSlot& slot, bool overwrite, std::uint64_t sequence, std::string_view text) noexcept {
  unsigned state = slot.state.load(std::memory_order_relaxed);
  if (state != kEmpty && !(overwrite && state == kFull))
    return false;
  if (!slot.state.compare_exchange_strong(state, kWriting, std::memory_order_acquire,
                                          std::memory_order_relaxed))
    return false;
  slot.sequence = sequence;
  slot.length = Utf8PrefixLength(text, kAudioThreadReportBytes);
  std::memcpy(slot.text, text.data(), slot.length);
  slot.state.store(kFull, std::memory_order_release);
  return true;
}

// UI thread: the text of a full slot, which is left empty.
std::optional<Report> Take(TextSlot& slot) {
  unsigned full = kFull;
  if (!slot.state.compare_exchange_strong(full, kReading, std::memory_order_acquire,
                                          std::memory_order_relaxed))
    return std::nullopt;
  Report report{slot.sequence, std::string(slot.text, slot.length)};
  slot.state.store(kEmpty, std::memory_order_release);
  return report;
}

std::optional<Report> TakeLatest() {
  // A report that comes meanwhile may hold the slot just named: look again, a few times at most.
  for (int attempt = 0; attempt < 3; ++attempt)
    if (auto text = Take(latestSlots[latestIndex.load(std::memory_order_acquire)]))
      return text;
  return std::nullopt;
}

bool WritePending(std::chrono::steady_clock::time_point now) {
  const unsigned count = pendingReports.exchange(0, std::memory_order_acquire);
  if (count == 0)
    return false;
  std::optional<Report> first = Take(firstSlot);
  std::optional<Report> latest = TakeLatest();
  if (first && latest && first->sequence > latest->sequence)
    std::swap(first, latest);
  if (count == 1 && (first || latest)) {
    std::fprintf(stderr, "\nerrorCallback: %s\n\n", (first ? first : latest)->text.c_str());
  } else {
    std::string line =
        std::to_string(count) + (count == 1 ? " report" : " reports") + " from the audio thread";
    if (first)
      line += "; the first: " + first->text;
    if (latest)
      line += "; the latest: " + latest->text;
    std::fprintf(stderr, "\nerrorCallback: %s\n\n", line.c_str());
  }
  lastLine = now;
  wroteLine = true;
  return true;
}

} // namespace

void MarkAudioThread() noexcept {
  audioThread = true;
}

bool OnAudioThread() noexcept {
  return audioThread;
}

void KeepAudioThreadReport(std::string_view text) noexcept {
  const std::uint64_t sequence = nextSequence.fetch_add(1, std::memory_order_relaxed);
  Fill(firstSlot, false, sequence, text);
  const unsigned before = latestIndex.load(std::memory_order_relaxed);
  for (const unsigned slot : {1 - before, before})
    if (Fill(latestSlots[slot], true, sequence, text)) {
      latestIndex.store(slot, std::memory_order_release);
      break;
    }
  // Counted last, so the UI thread that takes the count finds the texts in place.
  pendingReports.fetch_add(1, std::memory_order_release);
}

bool WriteAudioThreadReports(std::chrono::steady_clock::time_point now) {
  if (wroteLine && now - lastLine < std::chrono::seconds(1))
    return false;
  return WritePending(now);
}

bool WritePendingAudioThreadReports() {
  return WritePending(std::chrono::steady_clock::now());
}
