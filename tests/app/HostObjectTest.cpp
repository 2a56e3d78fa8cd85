#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "HostRig.h"

TEST(HostObject, NoIoStartsThePluginWithoutDevices) {
  ConfigFolder config;
  RecordingTamsel* plugin = nullptr;
  AppHost* host = CreateRecordingHost(&plugin);
  host->noIO = true;
  ASSERT_TRUE(host->InitHost());
  EXPECT_EQ(host->audioIO, nullptr);
  EXPECT_EQ(host->midiIn, nullptr);
  EXPECT_EQ(host->midiOut, nullptr);
  EXPECT_TRUE(host->audioInputIds.empty());
  EXPECT_TRUE(host->audioOutputIds.empty());
  EXPECT_TRUE(host->midiInputPorts.empty());
  EXPECT_TRUE(host->midiOutputPorts.empty());
  EXPECT_EQ(plugin->resetNotices, kNumParams);
  EXPECT_TRUE(plugin->activated);
  EXPECT_EQ(plugin->GetHostName(), "standalone");
  EXPECT_EQ(plugin->GetHostVersion(), 0x100);
  EXPECT_TRUE(std::filesystem::exists(config.File())); // the settings are kept all the same

  EXPECT_TRUE(host->ApplyAudioSettings());
  EXPECT_TRUE(host->ChangeAudioDriver());
  EXPECT_EQ(host->audioIO, nullptr);
  host->state.midiInputDevice = "Some Port";
  EXPECT_FALSE(host->SelectMidiDevice(AppHost::kMidiInput, "Some Port"));
  EXPECT_FALSE(host->SelectMidiDevice(AppHost::kMidiOutput, "off"));
  EXPECT_EQ(host->state.midiInputDevice, "Some Port");
  EXPECT_EQ(host->state.midiOutputDevice, "off");
  host->CloseAudio();

  // The plug-in processes, so its editor would show a running engine.
  double in[512], out[512];
  std::fill(std::begin(in), std::end(in), 0.1);
  double* inputs[4] = {in, nullptr, nullptr, nullptr};
  double* outputs[2] = {out, nullptr};
  host->plugin->AppProcess(inputs, outputs, 512);
  EXPECT_NE(out[511], 0.0);
}

TEST(HostObject, AScreenshotPathMeansNoIo) {
  ConfigFolder config;
  AppHost* host = CreateHost();
  host->screenshotPath = "shot.png";
  EXPECT_TRUE(host->NoIO());
  ASSERT_TRUE(host->InitHost());
  EXPECT_EQ(host->audioIO, nullptr);
  EXPECT_EQ(host->midiIn, nullptr);
}

TEST(HostObject, CreatingAgainDestroysTheFirstHost) {
  ConfigFolder config;
  AppHost* first = CreateRecordingHost();
  first->noIO = true;
  ASSERT_TRUE(first->InitHost());
  EXPECT_EQ(RecordingTamsel::alive.load(), 1);
  EXPECT_EQ(hostInstance.get(), first);

  AppHost* second = CreateHost();
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(hostInstance.get(), second);
  EXPECT_EQ(RecordingTamsel::alive.load(), 0); // the first host's plug-in is gone
  ASSERT_NE(second->plugin, nullptr);
  EXPECT_EQ(second->plugin->GetHostName(), ""); // a fresh one, not started yet

  hostInstance.reset();
}

TEST(HostObject, NoDeviceAndNoDefaultIsReported) {
  // The JACK driver with no server running: no devices, so no default device to fall back to.
  const int jack = DriverIndex("JACK");
  if (jack < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  setenv("JACK_DEFAULT_SERVER", ("tamsel-absent-" + std::to_string(getpid())).c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  ConfigFolder config;
  config.Write("[audio]\ndriver=" + std::to_string(jack) + "\nindev=Gone\noutdev=Gone\n");
  AppHost* host = CreateHost();
  std::vector<std::pair<std::string, std::string>> messages;
  host->messageBox = [&](const std::string& text, const std::string& caption) {
    messages.emplace_back(text, caption);
  };
  ASSERT_TRUE(host->InitHost());
  ASSERT_NE(host->audioIO, nullptr);
  EXPECT_FALSE(host->defaultInputDevice);
  EXPECT_FALSE(host->ApplyAudioSettings());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "Please check the audio settings");
  EXPECT_EQ(messages[0].second, "Error");
  EXPECT_FALSE(host->audioIO->isStreamOpen());
  EXPECT_EQ(host->state.audioInputDevice, "Gone"); // nothing was found to store instead

  // Devices that an earlier probe found are gone now, and so are the defaults they gave.
  host->audioInputIds = {0};
  host->audioOutputIds = {1};
  host->defaultInputDevice = 0;
  host->defaultOutputDevice = 1;
  host->ProbeAudioDevices();
  EXPECT_TRUE(host->audioInputIds.empty());
  EXPECT_TRUE(host->audioOutputIds.empty());
  EXPECT_FALSE(host->defaultInputDevice);
  EXPECT_FALSE(host->defaultOutputDevice);
}

TEST(AudioDrivers, TheCompiledApisInAFixedOrder) {
  std::vector<RtAudio::Api> compiled;
  RtAudio::getCompiledApi(compiled);
  const auto isCompiled = [&](RtAudio::Api api) {
    return std::find(compiled.begin(), compiled.end(), api) != compiled.end();
  };
  std::vector<std::string> expected;
  for (const auto& [api, name] :
       {std::pair{RtAudio::LINUX_ALSA, "ALSA"}, std::pair{RtAudio::LINUX_PULSE, "PulseAudio"},
        std::pair{RtAudio::UNIX_JACK, "JACK"}})
    if (isCompiled(api))
      expected.emplace_back(name);
  std::vector<std::string> names;
  for (const AudioDriver& driver : AudioDriverList()) {
    names.emplace_back(driver.name);
    EXPECT_TRUE(isCompiled(driver.api)) << driver.name;
  }
  ASSERT_FALSE(expected.empty()) << "Debian's audio library has the three Linux APIs";
  EXPECT_EQ(names, expected);
}

TEST(HostObject, EndingWaitIsBounded) {
  AppHost* host = CreateHost();
  host->PrepareStream(2, 2, 512);
  // 100 ms and four device periods, whole milliseconds; a stream without a rate counts 44.1 kHz.
  const struct {
    unsigned frames;
    double rate;
    long milliseconds;
  } limits[] = {{512, 48000.0, 142}, {1024, 48000.0, 185}, {8192, 44100.0, 843}, {256, 0.0, 123}};
  for (const auto& limit : limits) {
    host->streamBufferSize = limit.frames;
    host->streamSampleRate = limit.rate;
    EXPECT_EQ(host->EndWaitLimit().count(), limit.milliseconds) << limit.frames << " at " << limit.rate;
  }
  // No callback comes: the wait gives up at its limit.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(host->EndStream(std::chrono::milliseconds(30)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  EXPECT_TRUE(host->audioEnding.load());
}
