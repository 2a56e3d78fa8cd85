// What the audio library reports on the stream callback's thread: over- and under-runs arrive there
// with every block. Writing to a stream there would block the real-time thread, so a report is only
// counted, and the UI thread writes the count to standard error, at most once a second.
#pragma once

#include <chrono>

// Audio thread: marks the calling thread as the stream callback's for the rest of its life.
void MarkAudioThread() noexcept;
// Whether the calling thread is marked.
bool OnAudioThread() noexcept;
// Audio thread: counts one report. Lock-free, no system call.
void CountAudioThreadReport() noexcept;

// UI thread: when reports were counted since the last line and that line is at least a second
// older than now, writes "\nerrorCallback: <count> report(s) from the audio thread\n\n" and takes
// the count. True when it wrote.
bool WriteAudioThreadReports(std::chrono::steady_clock::time_point now);
