// The built program on a real JACK server of the test's own: the main window and its editor run
// while the plug-in rides the feeder's sine, and a close fades out, closes the stream and exits 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

#include "HostRig.h"
#include "JackFeeder.h"
#include "JackServer.h"
#include "ProgramRun.h"
#include "Waits.h"

namespace {

constexpr unsigned kRate = 48000;
constexpr unsigned kPeriod = 1024;

// Whether the last half second recorded has sound in it.
bool Sounding(const JackFeeder& feeder) {
  const std::size_t n = feeder.Recorded();
  const std::vector<float>& out = feeder.Recording(0);
  return n > kRate / 2 &&
         std::any_of(out.begin() + static_cast<std::ptrdiff_t>(n - kRate / 2),
                     out.begin() + static_cast<std::ptrdiff_t>(n), [](float s) { return s != 0.f; });
}

} // namespace

TEST(ProgramOnJack, RidesAudioWhileTheWindowRunsAndClosesCleanly) {
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  JackServer server(kPeriod, kRate); // the program finds it through the inherited environment
  ASSERT_TRUE(server.Ready());
  JackFeeder::Options options;
  options.amplitude = std::sqrt(2.0) * std::pow(10.0, -30.0 / 20.0);
  options.recordSeconds = 60.0;
  JackFeeder feeder(options);
  ASSERT_TRUE(feeder.Active());
  RuntimeFolder runtime;
  ConfigFolder config;
  config.Write(JackSettings("feeder", "feeder"));

  ProgramRun program({});
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitUntil([&] { return Sounding(feeder); })) << "no ridden signal came back";
  // A second more of riding with the editor drawing.
  ASSERT_TRUE(feeder.WaitForRecorded(feeder.Recorded() + kRate, kHangLimit));
  ASSERT_TRUE(program.Running());
  const std::size_t closing = feeder.Recorded();
  const std::vector<float>& out = feeder.Recording(0);
  float peak = 0.f;
  for (std::size_t t = closing - kRate / 2; t < closing; ++t)
    peak = std::max(peak, std::fabs(out[t]));
  EXPECT_GT(peak, options.amplitude); // boosted towards the target

  program.Signal(SIGTERM);
  EXPECT_EQ(program.Wait(kHangLimit), 0);
  const std::size_t ended = feeder.Recorded();
  ASSERT_TRUE(feeder.WaitForRecorded(ended + 8 * kPeriod, kHangLimit));
  EXPECT_NE(config.Read().find("indev=feeder"), std::string::npos);

  // The program's last sound, recorded while its client still ran: a loud block, then one faded
  // out to exactly 0. A stream cut without a fade ends on a loud block instead.
  // A program that answers the close at once fades in the very first block after it.
  std::size_t last = 0;
  bool soundAfterClose = false;
  for (std::size_t t = closing; t < ended; ++t)
    if (out[t] != 0.f) {
      last = t;
      soundAfterClose = true;
    }
  ASSERT_TRUE(soundAfterClose) << "no sound after the close was asked for";
  const std::size_t fadeOutBlock = last / kPeriod * kPeriod;
  if (feeder.LateNear(fadeOutBlock, 4 * kPeriod)) {
    std::printf("a late cycle near the end: fade-out not judged\n");
    return;
  }
  float before = 0.f;
  for (std::size_t t = fadeOutBlock - kPeriod; t < fadeOutBlock; ++t)
    before = std::max(before, std::fabs(out[t]));
  EXPECT_GT(before, 0.5f * peak);
  EXPECT_EQ(out[fadeOutBlock + kPeriod - 1], 0.f);
  // Judged against the block before it: the rider may still have been raising the level since
  // the close was asked for.
  for (std::size_t j = 0; j < kPeriod; ++j)
    ASSERT_LE(std::fabs(out[fadeOutBlock + j]),
              1.05f * before * static_cast<float>(kPeriod - 1 - j) / static_cast<float>(kPeriod) + 1e-6f)
        << j;
}
