// The host object on a real JACK server: the test's own feeder client plays a sine into the
// host's input and records its output.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "HostRig.h"
#include "JackFeeder.h"
#include "JackServer.h"
#include "Waits.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned kRate = 48000;
const double kAmplitude = std::sqrt(2.0) * std::pow(10.0, -30.0 / 20.0); // -30 dBFS RMS

enum class Ending { kCloseAudio, kDestroyHost, kCreateAgain };

struct StreamCase {
  unsigned period;
  Ending ending;
};

double Rms(const std::vector<float>& samples, std::size_t from, std::size_t to) {
  double sum = 0.0;
  for (std::size_t t = from; t < to; ++t)
    sum += static_cast<double>(samples[t]) * samples[t];
  return std::sqrt(sum / static_cast<double>(to - from));
}

float Peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
  float peak = 0.0f;
  for (std::size_t t = from; t < to; ++t)
    peak = std::max(peak, std::fabs(samples[t]));
  return peak;
}

// Whether the server has a port of that full name ("client:port").
bool HasPort(const std::string& name) {
  jack_status_t status{};
  jack_client_t* client = jack_client_open("port-probe", JackNoStartServer, &status);
  if (!client)
    return false;
  const bool found = jack_port_by_name(client, name.c_str()) != nullptr;
  jack_client_close(client);
  return found;
}

class JackStream : public ::testing::TestWithParam<StreamCase> {};

} // namespace

TEST_P(JackStream, RidesTheSignalWithFadesAndABoundedClose) {
  const StreamCase c = GetParam();
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  JackServer server(c.period, kRate);
  ASSERT_TRUE(server.Ready());
  JackFeeder::Options options;
  options.amplitude = kAmplitude;
  JackFeeder feeder(options);
  ASSERT_TRUE(feeder.Active());
  ASSERT_EQ(feeder.Period(), c.period);
  ConfigFolder config;
  config.Write(JackSettings("feeder", "feeder"));

  HostScope hostScope;
  AppHost* host = CreateHost();
  ASSERT_TRUE(host->InitHost());
  ASSERT_TRUE(host->ApplyAudioSettings());
  EXPECT_EQ(host->streamBufferSize, c.period); // JACK imposes its period whatever was asked
  EXPECT_EQ(host->streamSampleRate, static_cast<double>(kRate));
  EXPECT_EQ(host->streamInputs, 2); // a stereo device: no sidechain channels asked for
  EXPECT_EQ(host->streamOutputs, 2);
  EXPECT_EQ(host->blocks.Latency(), BlockFifo::LatencyFor(c.period));
  EXPECT_EQ(host->activeState, host->state);
  EXPECT_EQ(host->plugin->GetSampleRate(), static_cast<double>(kRate));
  // The stream's JACK client is named for the program.
  EXPECT_TRUE(HasPort("TAMSEL:inport 0"));
  EXPECT_TRUE(HasPort("TAMSEL:outport 0"));

  ASSERT_TRUE(WaitUntil([&] { return host->callbackCount.load() > 0; }));
  ASSERT_TRUE(feeder.WaitForRecorded(feeder.Recorded() + kRate * 6 / 5, kHangLimit));
  // A read that meets the audio thread mid-write too often gives the defaults: read again.
  ViewSnapshot view;
  for (int attempt = 0; attempt < 100 && !view.valid; ++attempt)
    view = static_cast<Tamsel&>(*host->plugin).engine->ReadView();
  ASSERT_TRUE(view.valid);

  const std::chrono::milliseconds limit = host->EndWaitLimit();
  const auto start = std::chrono::steady_clock::now();
  switch (c.ending) {
  case Ending::kCloseAudio:
    host->CloseAudio();
    EXPECT_FALSE(host->audioIO->isStreamOpen());
    EXPECT_TRUE(host->audioDone.load());
    break;
  case Ending::kDestroyHost:
    hostInstance.reset();
    break;
  case Ending::kCreateAgain:
    EXPECT_NE(CreateHost(), host);
    break;
  }
  // Bounded: the wait for the last block gives up at its limit. The margin is for the server's
  // answers to the close on a busy machine.
  EXPECT_LT(std::chrono::steady_clock::now() - start, limit + 10s);
  const std::size_t endMark = feeder.Recorded();
  ASSERT_TRUE(feeder.WaitForRecorded(endMark + 8 * c.period, kHangLimit));
  const std::size_t total = feeder.Recorded();
  const std::vector<float>& out = feeder.Recording(0);

  std::size_t first = total, last = 0;
  for (std::size_t t = 0; t < total; ++t)
    if (out[t] != 0.0f) {
      first = std::min(first, t);
      last = t;
    }
  ASSERT_LT(first, total) << "no output came back";
  const std::size_t p = c.period;
  const std::size_t fadeInBlock = first / p * p, fadeOutBlock = last / p * p;
  ASSERT_GT(fadeOutBlock, fadeInBlock + 10 * p);
  ASSERT_GE(total, fadeOutBlock + 5 * p);

  // The ridden signal: the sine, boosted towards the target, as the engine reports it.
  const std::size_t steadyEnd = fadeOutBlock - p, steadyStart = steadyEnd - kRate / 10;
  // The stream's ports are connected one by one, so only the steady part is the same on both.
  EXPECT_TRUE(std::equal(out.begin() + static_cast<std::ptrdiff_t>(steadyStart),
                         out.begin() + static_cast<std::ptrdiff_t>(steadyEnd),
                         feeder.Recording(1).begin() + static_cast<std::ptrdiff_t>(steadyStart)));
  const double gainDb = 20.0 * std::log10(Rms(out, steadyStart, steadyEnd) / (kAmplitude / std::sqrt(2.0)));
  EXPECT_GT(gainDb, 1.0);
  EXPECT_LT(gainDb, 6.5); // Max Boost
  EXPECT_NEAR(gainDb, view.gainDb, 1.5);
  EXPECT_NEAR(view.vocalDb, -30.0, 1.5);
  EXPECT_EQ(view.sampleRate, static_cast<double>(kRate));
  // A late cycle in the window repeats or drops a block, and with it a few zero crossings.
  if (!feeder.LateNear((steadyStart + steadyEnd) / 2, (steadyEnd - steadyStart) / 2 + p)) {
    int crossings = 0;
    for (std::size_t t = steadyStart + 1; t < steadyEnd; ++t)
      crossings += (out[t - 1] < 0.0f) != (out[t] < 0.0f) ? 1 : 0;
    EXPECT_NEAR(crossings, 2 * 440 / 10, 3);
  }

  // Faded in over the first block and out over the last one, then silence. A cycle in which a
  // client came too late (a loaded or instrumented build) drops or repeats blocks: a fade near
  // one cannot be judged from outside.
  EXPECT_EQ(Peak(out, fadeOutBlock + p, total), 0.0f);
  const float peak = Peak(out, steadyStart, steadyEnd);
  const std::size_t margin = 4 * p;
  if (feeder.LateNear(fadeInBlock, margin)) {
    std::printf("a late cycle near the start: fade-in not judged\n");
  } else {
    EXPECT_EQ(out[fadeInBlock], 0.0f);
    for (std::size_t j = 0; j < p; ++j)
      ASSERT_LE(std::fabs(out[fadeInBlock + j]),
                1.05f * peak * static_cast<float>(j) / static_cast<float>(p) + 1e-6f)
          << j;
  }
  if (feeder.LateNear(fadeOutBlock, margin)) {
    std::printf("a late cycle near the end: fade-out not judged\n");
  } else {
    EXPECT_GT(Peak(out, fadeOutBlock - p, fadeOutBlock), 0.5f * peak);
    EXPECT_EQ(out[fadeOutBlock + p - 1], 0.0f);
    for (std::size_t j = 0; j < p; ++j)
      ASSERT_LE(std::fabs(out[fadeOutBlock + j]),
                1.05f * peak * static_cast<float>(p - 1 - j) / static_cast<float>(p) + 1e-6f)
          << j;
  }
}

std::string CaseName(const ::testing::TestParamInfo<StreamCase>& param) {
  static const char* const kEndings[] = {"Close", "Destroy", "CreateAgain"};
  return std::to_string(param.param.period) + kEndings[static_cast<int>(param.param.ending)];
}

INSTANTIATE_TEST_SUITE_P(Periods, JackStream,
                         ::testing::Values(StreamCase{1024, Ending::kCloseAudio},
                                           StreamCase{256, Ending::kCloseAudio},
                                           StreamCase{256, Ending::kDestroyHost},
                                           StreamCase{1024, Ending::kCreateAgain}),
                         CaseName);

TEST(JackDevices, AMissingDeviceFallsBackToTheDefault) {
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  JackServer server(1024, kRate);
  ASSERT_TRUE(server.Ready());
  JackFeeder feeder(JackFeeder::Options{});
  ASSERT_TRUE(feeder.Active());
  ConfigFolder config;
  config.Write(JackSettings("Gone Device", "feeder"));
  HostScope hostScope;
  AppHost* host = CreateHost();
  int messages = 0;
  host->messageBox = [&](const std::string&, const std::string&) { ++messages; };
  ASSERT_TRUE(host->InitHost());
  ASSERT_TRUE(host->defaultInputDevice);
  const std::optional<std::uint32_t> feederId = host->FindAudioDeviceIndex("feeder");
  ASSERT_TRUE(feederId);
  EXPECT_EQ(host->AudioDeviceName(*feederId), "feeder");
  EXPECT_FALSE(host->FindAudioDeviceIndex("Feeder")); // exact, case-sensitive
  ASSERT_TRUE(host->ApplyAudioSettings());
  EXPECT_EQ(messages, 0);
  const std::string fallback = host->AudioDeviceName(*host->defaultInputDevice);
  EXPECT_EQ(host->state.audioInputDevice, fallback);
  EXPECT_NE(config.Read().find("indev=" + fallback + "\n"), std::string::npos);
  EXPECT_EQ(host->activeState, host->state);
}

namespace {

// Stops the server between the stream's open and its start: the start then fails inside the
// audio library, which reports it through the error callback and throws nothing.
class ServerStoppingTamsel : public RecordingTamsel {
public:
  explicit ServerStoppingTamsel(std::unique_ptr<JackServer>& server_) : server(server_) {}
  void OnReset() override {
    RecordingTamsel::OnReset();
    server.reset();
  }

private:
  std::unique_ptr<JackServer>& server;
};

} // namespace

TEST(JackDevices, AStartThatTheLibraryDidNotRunIsAFailure) {
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  auto server = std::make_unique<JackServer>(1024, kRate);
  ASSERT_TRUE(server->Ready());
  ConfigFolder config;
  config.Write(JackSettings("system", "system"));
  AppHost* host = CreateHost();
  ASSERT_TRUE(host->InitHost());
  host->plugin = std::make_unique<ServerStoppingTamsel>(server);
  EXPECT_FALSE(host->ApplyAudioSettings());
  EXPECT_EQ(server, nullptr);
  EXPECT_FALSE(host->audioIO->isStreamRunning());
  EXPECT_FALSE(host->activeState); // no stream runs
  hostInstance.reset();
}
