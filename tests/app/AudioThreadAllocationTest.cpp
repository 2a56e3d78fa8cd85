// The audio callback's body allocates nothing: every device block size, the FIFO's partial blocks,
// queued MIDI and the faded last block, counted by the program's own allocator on this thread; nor
// does a report of the audio library there.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "AudioThreadReports.h"
#include "HostRig.h"
#include "TestAllocator.h"

TEST(AudioThread, DeviceBlocksAllocateNothing) {
  {
    const CountAllocations count;    // the count itself works
    int* volatile kept = new int(1); // volatile: the pair may not be optimised away
    delete kept;
    ASSERT_EQ(count.Count(), 1u);
  }
  for (const unsigned n : {1024u, 512u, 256u, 100u, 1000u}) {
    SCOPED_TRACE(n);
    AppHost* host = CreateHost();
    host->plugin->SetSampleRate(48000.0);
    host->plugin->OnReset();
    host->PrepareStream(2, 2, n);
    std::vector<double> in(2 * n, 0.25), out(2 * n);
    const unsigned char note[] = {0x90, 60, 100};
    std::vector<unsigned char> sysEx(64, 0x11);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;

    std::size_t allocated = 0;
    for (int block = 0; block < 40; ++block) {
      if (block % 8 == 0) { // what the MIDI thread queued meanwhile, outside the count
        host->QueueMidi(note, sizeof note);
        host->QueueMidi(sysEx.data(), sysEx.size());
      }
      const CountAllocations count;
      host->ProcessDeviceBlock(out.data(), in.data(), n);
      allocated += count.Count();
    }
    host->audioEnding.store(true);
    {
      const CountAllocations count;
      host->ProcessDeviceBlock(out.data(), in.data(), n);
      host->ProcessDeviceBlock(out.data(), in.data(), n);
      allocated += count.Count();
    }
    EXPECT_TRUE(host->audioDone.load());
    EXPECT_EQ(allocated, 0u);
  }
  hostInstance.reset();
}

TEST(AudioThread, ReportsAllocateNothing) {
  // Longer than what is kept; built before the count, as the audio library builds its texts.
  const std::string texts[] = {std::string(2 * kAudioThreadReportBytes, 'x'), "underrun"};
  std::size_t allocated = 1;
  std::thread audio([&] {
    MarkAudioThread();
    const CountAllocations count;
    for (int i = 0; i < 10; ++i)
      AppHost::ErrorCallback(RtAudioError::WARNING, texts[i % 2]);
    allocated = count.Count();
  });
  audio.join();
  EXPECT_EQ(allocated, 0u);
  EXPECT_TRUE(WritePendingAudioThreadReports());
}
