// The audio library's reports: on the audio thread they are counted and the first and the latest
// texts kept, and the UI thread writes them, at most once a second and once more at exit.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "AudioThreadReports.h"
#include "HostRig.h"

namespace {

using namespace std::chrono_literals;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Runs one device block through the stream callback, as the audio library's thread does, then
// reports the texts from the same thread.
void ReportFromTheCallbacksThread(AppHost& host, const std::vector<std::string>& texts) {
  std::thread audio([&host, &texts] {
    std::vector<double> in(2 * 512, 0.1), out(2 * 512);
    AppHost::AudioCallback(out.data(), in.data(), 512, 0.0, 0, &host);
    for (const std::string& text : texts)
      AppHost::ErrorCallback(RtAudioError::WARNING, text);
  });
  audio.join();
}

AppHost* StreamingHost() {
  AppHost* host = CreateHost();
  host->plugin->SetSampleRate(48000.0);
  host->plugin->OnReset();
  host->PrepareStream(2, 2, 512);
  WritePendingAudioThreadReports(); // what an earlier test left
  return host;
}

// A report whose text says which it is, padded with a letter of its own so that a text pieced
// together from two reports shows.
std::string NumberedReport(int number) {
  return "report " + std::to_string(number) + " " + std::string(200, static_cast<char>('a' + number % 26));
}

bool IsNumberedReport(const std::string& text, int* number) {
  if (text.rfind("report ", 0) != 0)
    return false;
  int value = 0;
  for (std::size_t i = 7; i < text.size() && i < 14 && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  *number = value;
  return text == NumberedReport(value);
}

} // namespace

TEST(AudioThreadReports, AreKeptThereAndWrittenByTheUiThreadAtMostOnceASecond) {
  AppHost* host = StreamingHost();
  const auto start = std::chrono::steady_clock::now() + 1h; // after any line an earlier test wrote

  CaptureStderr();
  ReportFromTheCallbacksThread(*host, {"underrun one", "underrun two", "underrun three"});
  EXPECT_EQ(GetCapturedStderr(), "");

  CaptureStderr();
  EXPECT_TRUE(WriteAudioThreadReports(start));
  ReportFromTheCallbacksThread(*host, {"device lost"});
  EXPECT_FALSE(WriteAudioThreadReports(start + 999ms)); // too soon after the last line
  EXPECT_TRUE(WriteAudioThreadReports(start + 1s));
  EXPECT_FALSE(WriteAudioThreadReports(start + 2500ms)); // nothing new
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: 3 reports from the audio thread; the first: underrun one; "
                                 "the latest: underrun three\n\n"
                                 "\nerrorCallback: device lost\n\n");

  // Any other thread (the UI thread opening or starting a stream) writes at once.
  CaptureStderr();
  AppHost::ErrorCallback(RtAudioError::SYSTEM_ERROR, "unable to activate");
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: unable to activate\n\n");
  EXPECT_FALSE(WriteAudioThreadReports(start + 1h));
  hostInstance.reset();
}

TEST(AudioThreadReports, WhatIsPendingIsWrittenOnceMoreAtTheEnd) {
  AppHost* host = StreamingHost();
  const auto start = std::chrono::steady_clock::now() + 2h;
  CaptureStderr();
  ReportFromTheCallbacksThread(*host, {"first"});
  EXPECT_TRUE(WriteAudioThreadReports(start));
  ReportFromTheCallbacksThread(*host, {"during the close"});
  EXPECT_FALSE(WriteAudioThreadReports(start + 10ms)); // the timer's next turn would come too late
  hostInstance.reset();
  EXPECT_TRUE(WritePendingAudioThreadReports());
  EXPECT_FALSE(WritePendingAudioThreadReports());
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: first\n\n\nerrorCallback: during the close\n\n");
}

TEST(AudioThreadReports, ALongTextIsCutAtACharacterBoundary) {
  AppHost* host = StreamingHost();
  // The cut would fall inside the two-byte character.
  const std::string kept(kAudioThreadReportBytes - 1, 'k');
  CaptureStderr();
  ReportFromTheCallbacksThread(*host, {kept + "\xC3\xA9" + std::string(100, 'x')});
  EXPECT_TRUE(WritePendingAudioThreadReports());
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: " + kept + "\n\n");
  hostInstance.reset();
}

// The audio thread reports while the UI thread writes: every report is counted once, and every text
// written is one report's whole text, the first of a line no later than its latest.
TEST(AudioThreadReports, ReportsFromARunningStreamAreAllCountedAndNoTextIsTorn) {
  AppHost* host = StreamingHost();
  constexpr int kReports = 5000;
  std::vector<std::string> texts;
  for (int i = 0; i < kReports; ++i)
    texts.push_back(NumberedReport(i));

  CaptureStderr();
  std::atomic<bool> reported{false};
  std::thread audio([&] {
    std::vector<double> in(2 * 512, 0.1), out(2 * 512);
    AppHost::AudioCallback(out.data(), in.data(), 512, 0.0, 0, host);
    for (const std::string& text : texts)
      AppHost::ErrorCallback(RtAudioError::WARNING, text);
    reported.store(true);
  });
  auto now = std::chrono::steady_clock::now() + 3h;
  int lines = 0;
  while (!reported.load()) {
    now += 1s;
    lines += WriteAudioThreadReports(now) ? 1 : 0;
  }
  audio.join();
  lines += WritePendingAudioThreadReports() ? 1 : 0;
  const std::string written = GetCapturedStderr();
  hostInstance.reset();

  long counted = 0;
  int parsed = 0;
  const std::string prefix = "\nerrorCallback: ";
  for (std::size_t at = 0; at < written.size(); ++parsed) {
    ASSERT_EQ(written.compare(at, prefix.size(), prefix), 0) << written.substr(at, 300);
    const std::size_t end = written.find("\n\n", at + prefix.size());
    ASSERT_NE(end, std::string::npos);
    const std::string line = written.substr(at + prefix.size(), end - at - prefix.size());
    at = end + 2;
    int first = -1, latest = -1;
    if (IsNumberedReport(line, &first)) {
      ++counted;
      continue;
    }
    const std::size_t firstAt = line.find("; the first: ");
    const std::size_t latestAt = line.find("; the latest: ");
    counted += std::stol(line);
    ASSERT_NE(line.find(" from the audio thread"), std::string::npos) << line;
    if (firstAt != std::string::npos) {
      EXPECT_TRUE(IsNumberedReport(line.substr(firstAt + 13, latestAt - firstAt - 13), &first)) << line;
    }
    if (latestAt != std::string::npos) {
      EXPECT_TRUE(IsNumberedReport(line.substr(latestAt + 14), &latest)) << line;
    }
    if (first >= 0 && latest >= 0) {
      EXPECT_LE(first, latest) << line;
    }
  }
  EXPECT_EQ(parsed, lines);
  EXPECT_EQ(counted, kReports);
}
