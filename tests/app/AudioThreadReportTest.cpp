// The audio library's reports: on the audio thread they are only counted, and the UI thread writes
// the count, at most once a second.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "AudioThreadReports.h"
#include "HostRig.h"

namespace {

using namespace std::chrono_literals;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Runs one device block through the stream callback, as the audio library's thread does, then
// reports from the same thread.
void ReportFromTheCallbacksThread(AppHost& host, int reports) {
  std::thread audio([&host, reports] {
    std::vector<double> in(2 * 512, 0.1), out(2 * 512);
    AppHost::AudioCallback(out.data(), in.data(), 512, 0.0, 0, &host);
    for (int i = 0; i < reports; ++i)
      AppHost::ErrorCallback(RtAudioError::WARNING, "RtApiAlsa::callbackEvent: audio write error, underrun.");
  });
  audio.join();
}

} // namespace

TEST(AudioThreadReports, AreCountedThereAndWrittenByTheUiThreadAtMostOnceASecond) {
  AppHost* host = CreateHost();
  host->plugin->SetSampleRate(48000.0);
  host->plugin->OnReset();
  host->PrepareStream(2, 2, 512);
  const auto start = std::chrono::steady_clock::now() + 1h; // after any line an earlier test wrote
  WriteAudioThreadReports(start - 2s);

  CaptureStderr();
  ReportFromTheCallbacksThread(*host, 3);
  EXPECT_EQ(GetCapturedStderr(), "");

  CaptureStderr();
  EXPECT_TRUE(WriteAudioThreadReports(start));
  EXPECT_FALSE(WriteAudioThreadReports(start + 1500ms)); // nothing new
  ReportFromTheCallbacksThread(*host, 1);
  EXPECT_FALSE(WriteAudioThreadReports(start + 999ms)); // too soon after the last line
  EXPECT_TRUE(WriteAudioThreadReports(start + 1s));
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: 3 reports from the audio thread\n\n"
                                 "\nerrorCallback: 1 report from the audio thread\n\n");

  // Any other thread (the UI thread opening or starting a stream) writes at once.
  CaptureStderr();
  AppHost::ErrorCallback(RtAudioError::SYSTEM_ERROR, "unable to activate");
  EXPECT_EQ(GetCapturedStderr(), "\nerrorCallback: unable to activate\n\n");
  EXPECT_FALSE(WriteAudioThreadReports(start + 1h));
  hostInstance.reset();
}
