#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "HostRig.h"

namespace {

using Channels = std::vector<std::vector<double>>;

constexpr double kRate = 48000.0;

// A voice-like test input: two tones with a slow swell, different per channel.
Channels TestInput(int channels, unsigned frames) {
  Channels input(channels, std::vector<double>(frames));
  for (int c = 0; c < channels; ++c)
    for (unsigned t = 0; t < frames; ++t) {
      const double swell = 0.05 + 0.2 * (0.5 + 0.5 * std::sin(2.0 * M_PI * 1.5 * t / kRate));
      input[c][t] = swell * (std::sin(2.0 * M_PI * (220.0 + 110.0 * c) * t / kRate) +
                             0.3 * std::sin(2.0 * M_PI * 1800.0 * t / kRate));
    }
  return input;
}

// Drives the host's callback with device blocks of n frames, as the audio library would: one
// non-interleaved buffer per side, sized exactly for the block.
Channels RunDevice(AppHost& host, const Channels& input, int outputs, unsigned n, unsigned blocksToRun) {
  const int inputs = static_cast<int>(input.size());
  Channels output(outputs, std::vector<double>(static_cast<std::size_t>(n) * blocksToRun));
  std::vector<double> in(static_cast<std::size_t>(inputs) * n), out(static_cast<std::size_t>(outputs) * n);
  for (unsigned b = 0; b < blocksToRun; ++b) {
    for (int c = 0; c < inputs; ++c)
      std::copy_n(input[c].begin() + b * n, n, in.begin() + c * n);
    std::fill(out.begin(), out.end(), -7.0);
    host.ProcessDeviceBlock(outputs > 0 ? out.data() : nullptr, inputs > 0 ? in.data() : nullptr, n);
    for (int c = 0; c < outputs; ++c)
      std::copy_n(out.begin() + c * n, n, output[c].begin() + b * n);
  }
  return output;
}

// The plug-in run over the whole input in one call, through the framework's 32-bit routine.
Channels OneLongCall(const Channels& input, int outputs, unsigned frames) {
  Tamsel plugin;
  plugin.SetSampleRate(kRate);
  plugin.OnReset();
  std::vector<std::vector<float>> in(input.size(), std::vector<float>(frames));
  std::vector<std::vector<float>> out(outputs, std::vector<float>(frames));
  std::vector<float*> mainPointers, outPointers;
  for (std::size_t c = 0; c < input.size(); ++c) {
    for (unsigned t = 0; t < frames; ++t)
      in[c][t] = static_cast<float>(input[c][t]);
    mainPointers.push_back(in[c].data());
  }
  for (auto& channel : out)
    outPointers.push_back(channel.data());
  // A third or fourth device channel lands on the sidechain bus, which the standalone ignores.
  const int mainCount = std::min(static_cast<int>(input.size()), 2);
  AudioBusBuffers32 inBuses[2] = {
      {mainCount, mainPointers.data()},
      {static_cast<int>(input.size()) - mainCount, mainPointers.data() + mainCount}};
  AudioBusBuffers32 outBus{outputs, outPointers.data()};
  plugin.ProcessBuffers(inBuses, 2, &outBus, 1, static_cast<int>(frames));
  Channels result(outputs, std::vector<double>(frames));
  for (int c = 0; c < outputs; ++c)
    for (unsigned t = 0; t < frames; ++t)
      result[c][t] = out[c][t];
  return result;
}

struct BlockCase {
  unsigned deviceBlock;
  int inputs;
  int outputs;
};

} // namespace

TEST(DeviceBlocks, LatencyIsTheLeastThatFillsEveryBlock) {
  const std::pair<unsigned, unsigned> cases[] = {{512, 0},   {1024, 0},   {8192, 0},  {256, 256},
                                                 {100, 508}, {1000, 504}, {768, 256}, {32, 480}};
  for (const auto& [n, latency] : cases)
    EXPECT_EQ(BlockFifo::LatencyFor(n), latency) << n;
}

TEST(DeviceBlocks, PluginGetsWhole512FrameBlocksAndTheAudioOfOneLongCall) {
  const BlockCase cases[] = {{1024, 2, 2}, {512, 2, 2},  {256, 2, 2}, {100, 2, 2}, {1000, 2, 2},
                             {256, 1, 1},  {1000, 1, 2}, {100, 4, 2}, {2048, 2, 1}};
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.deviceBlock << " frames, " << c.inputs << " in, " << c.outputs
                                    << " out");
    RecordingTamsel* plugin = nullptr;
    AppHost* host = CreateRecordingHost(&plugin);
    plugin->SetSampleRate(kRate);
    plugin->OnReset();
    host->PrepareStream(c.inputs, c.outputs, c.deviceBlock);
    const unsigned n = c.deviceBlock;
    const unsigned blocksToRun = (24 * 512 + n - 1) / n;
    const unsigned frames = n * blocksToRun;
    const Channels input = TestInput(c.inputs, frames);
    const Channels output = RunDevice(*host, input, c.outputs, n, blocksToRun);

    EXPECT_EQ(plugin->wrongBlocks.load(), 0);
    EXPECT_EQ(plugin->blocks.load(), static_cast<int>(frames / 512));
    EXPECT_EQ(host->callbackCount.load(), 1u);

    // What the plug-in should have heard: the first device block faded in.
    Channels faded = input;
    for (auto& channel : faded)
      for (unsigned t = 0; t < n; ++t)
        channel[t] *= static_cast<double>(t) / n;
    const Channels reference = OneLongCall(faded, c.outputs, frames);
    const unsigned latency = BlockFifo::LatencyFor(n);
    for (int ch = 0; ch < c.outputs; ++ch) {
      for (unsigned t = 0; t < frames; ++t) {
        double expected = t >= latency ? reference[ch][t - latency] : 0.0;
        if (t < n)
          expected *= static_cast<double>(t) / n;
        ASSERT_EQ(output[ch][t], expected) << "channel " << ch << ", frame " << t;
      }
    }
    EXPECT_EQ(output[0][0], 0.0);
  }
}

TEST(DeviceBlocks, EndingFadesOneBlockOutThenPlaysSilence) {
  for (const unsigned n : {1024u, 256u, 100u}) {
    SCOPED_TRACE(n);
    RecordingTamsel* plugin = nullptr;
    AppHost* host = CreateRecordingHost(&plugin);
    plugin->SetSampleRate(kRate);
    plugin->OnReset();
    host->PrepareStream(2, 2, n);
    const unsigned blocksToRun = 4096 / n + 2;
    const Channels input = TestInput(2, n * (blocksToRun + 3));
    RunDevice(*host, input, 2, n, blocksToRun);
    const int blocksBefore = plugin->blocks.load();

    host->audioEnding.store(true);
    std::vector<double> in(2 * n), out(2 * n);
    for (int c = 0; c < 2; ++c)
      std::copy_n(input[c].begin() + blocksToRun * n, n, in.begin() + c * n);
    const std::vector<double> ending = in;
    host->ProcessDeviceBlock(out.data(), in.data(), n);
    EXPECT_TRUE(host->audioDone.load());
    for (int c = 0; c < 2; ++c) {
      EXPECT_EQ(out[c * n + n - 1], 0.0);
      for (unsigned j = 0; j < n; ++j) // the input was faded before the plug-in saw it
        ASSERT_EQ(in[c * n + j], ending[c * n + j] * (static_cast<double>(n - 1 - j) / n)) << j;
    }
    bool sounding = false;
    for (double sample : out)
      sounding = sounding || sample != 0.0;
    EXPECT_TRUE(sounding);

    const int blocksAtEnd = plugin->blocks.load();
    for (int k = 0; k < 3; ++k) {
      std::fill(out.begin(), out.end(), -7.0);
      host->ProcessDeviceBlock(out.data(), in.data(), n);
      for (double sample : out)
        ASSERT_EQ(sample, 0.0);
    }
    EXPECT_GE(blocksAtEnd, blocksBefore);
    EXPECT_EQ(plugin->blocks.load(), blocksAtEnd); // silence without calling the plug-in
  }
}

TEST(DeviceBlocks, FadesAreLinearOverTheBlock) {
  std::vector<double> buffer(2 * 4, 1.0);
  AppHost::ApplyFades(buffer.data(), 2, 4, false);
  EXPECT_EQ(buffer, (std::vector<double>{0.0, 0.25, 0.5, 0.75, 0.0, 0.25, 0.5, 0.75}));
  std::fill(buffer.begin(), buffer.end(), 1.0);
  AppHost::ApplyFades(buffer.data(), 2, 4, true);
  EXPECT_EQ(buffer, (std::vector<double>{0.75, 0.5, 0.25, 0.0, 0.75, 0.5, 0.25, 0.0}));
  AppHost::ApplyFades(buffer.data(), 0, 4, true); // nothing for no channels or frames
  AppHost::ApplyFades(buffer.data(), 2, 0, true);
  EXPECT_EQ(buffer[0], 0.75);
}

TEST(DeviceBlocks, ChannelsOpenedAreWhatTheDeviceOffers) {
  const struct {
    unsigned device;
    int plugin;
    int opened;
  } cases[] = {{0, 4, 0}, {1, 4, 1}, {2, 4, 2}, {3, 4, 3}, {4, 4, 4}, {8, 4, 4}, {1, 2, 1}, {6, 2, 2}};
  for (const auto& c : cases)
    EXPECT_EQ(StreamChannels(c.device, c.plugin), c.opened) << c.device << " of " << c.plugin;
}

TEST(DeviceBlocks, DeviceNamesAreTheTextAfterTheFirstColon) {
  const std::pair<const char*, const char*> cases[] = {{"hw:HDA Intel PCH,0", "HDA Intel PCH,0"},
                                                       {"Card: Analog: Out", " Analog: Out"},
                                                       {"system", "system"},
                                                       {"trailing:", ""},
                                                       {"", ""}};
  for (const auto& [library, shown] : cases)
    EXPECT_EQ(DeviceDisplayName(library), shown) << library;
}
