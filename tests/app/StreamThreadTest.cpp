// The hand-overs between threads, with a thread of the test standing in for the audio library's
// callback thread and one for the MIDI library's input thread.
#include <gtest/gtest.h>

#include <thread>

#include "HostRig.h"
#include "Waits.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned kBlock = 256;

} // namespace

TEST(StreamThreads, EndingHandshakeAcrossThreads) {
  RecordingTamsel* plugin = nullptr;
  AppHost* host = CreateRecordingHost(&plugin);
  plugin->SetSampleRate(48000.0);
  plugin->OnReset();
  host->PrepareStream(2, 2, kBlock);

  std::atomic<bool> stop{false};
  std::atomic<int> silentAfterDone{0};
  std::atomic<int> loudAfterDone{0};
  std::thread device([&] {
    std::vector<double> in(2 * kBlock), out(2 * kBlock);
    for (unsigned j = 0; j < kBlock; ++j)
      in[j] = in[kBlock + j] = 0.1;
    while (!stop.load()) {
      const bool doneBefore = host->audioDone.load();
      std::vector<double> input = in;
      host->ProcessDeviceBlock(out.data(), input.data(), kBlock);
      if (doneBefore) {
        bool silent = true;
        for (double sample : out)
          silent = silent && sample == 0.0;
        (silent ? silentAfterDone : loudAfterDone).fetch_add(1);
      }
      std::this_thread::sleep_for(1ms);
    }
  });

  EXPECT_TRUE(WaitUntil([&] { return plugin->blocks.load() >= 3; }));
  EXPECT_TRUE(host->EndStream(kHangLimit));
  EXPECT_TRUE(WaitUntil([&] { return silentAfterDone.load() >= 3; }));
  stop.store(true);
  device.join();

  EXPECT_GE(silentAfterDone.load(), 3);
  EXPECT_EQ(loudAfterDone.load(), 0);
  EXPECT_GT(plugin->blocks.load(), 0);
  EXPECT_EQ(plugin->wrongBlocks.load(), 0);
}

TEST(StreamThreads, MidiQueuesBetweenTheMidiAndAudioThreads) {
  RecordingTamsel* plugin = nullptr;
  AppHost* host = CreateRecordingHost(&plugin);
  plugin->SetSampleRate(48000.0);
  plugin->OnReset();
  host->PrepareStream(2, 2, 512);

  constexpr int kMessages = 2000;
  std::atomic<bool> sent{false};
  std::thread midi([&] {
    for (int i = 0; i < kMessages; ++i) {
      // A sequence number in the two data bytes: the plug-in checks that nothing comes out of order.
      const unsigned char note[3] = {0x90, static_cast<unsigned char>(i >> 7),
                                     static_cast<unsigned char>(i & 0x7F)};
      host->QueueMidi(note, 3);
      const unsigned char dump[6] = {0xF0, 0x7D, static_cast<unsigned char>(i & 0x7F), 1, 2, 0xF7};
      host->QueueMidi(dump, 6);
      if (i % 16 == 0)
        std::this_thread::sleep_for(100us);
    }
    sent.store(true);
  });
  std::vector<double> in(2 * 512, 0.0), out(2 * 512);
  const auto giveUp = std::chrono::steady_clock::now() + kHangLimit;
  bool drained = false;
  while (!drained && std::chrono::steady_clock::now() < giveUp) {
    const bool finished = sent.load();
    host->ProcessDeviceBlock(out.data(), in.data(), 512);
    drained = finished && plugin->midiMsgsFromCallback.ElementsAvailable() == 0;
  }
  midi.join();
  EXPECT_TRUE(drained);

  EXPECT_GT(plugin->midiSeen.load(), 0);
  EXPECT_EQ(plugin->outOfOrder.load(), 0);
  EXPECT_LE(plugin->midiSeen.load(), kMessages);
}
