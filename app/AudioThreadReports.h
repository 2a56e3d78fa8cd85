// What the audio library reports on the stream callback's thread: over- and under-runs arrive there
// with every block. Writing to a stream there would block the real-time thread, so a report is only
// counted and its text kept in a fixed buffer when it is the first since the last line or the
// latest; the UI thread writes them to standard error, at most once a second, and once more at exit.
#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

// The most bytes of a report's text that are kept, cut at a UTF-8 character boundary.
constexpr std::size_t kAudioThreadReportBytes = 511;

// Audio thread: marks the calling thread as the stream callback's for the rest of its life.
void MarkAudioThread() noexcept;
// Whether the calling thread is marked.
bool OnAudioThread() noexcept;
// Audio thread: counts one report and keeps its text. Lock-free, no allocation, no system call.
void KeepAudioThreadReport(std::string_view text) noexcept;

// UI thread: when reports were counted since the last line and that line is at least a second
// older than now, writes them and takes them. True when it wrote. One report is written as
// "\nerrorCallback: <text>\n\n", more as "\nerrorCallback: <count> reports from the audio thread;
// the first: <text>; the latest: <text>\n\n".
bool WriteAudioThreadReports(std::chrono::steady_clock::time_point now);
// UI thread: writes what is pending whenever the last line was written; at exit, once the stream
// is closed. True when it wrote.
bool WritePendingAudioThreadReports();
