#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TamselRig.h"

TEST(BlockEntry, LongBlockIsCutIntoChunksWithOneSnapshot) {
  auto plugin = MakePlugin();
  plugin->GetParam(kInput)->Set(1.5);
  HostBuffers host(2, 0, 2, 1300);
  FillTestSignal(host.main);
  host.Process(*plugin);

  EXPECT_EQ(plugin->engine->sampleCount, 1300);
  EXPECT_EQ(plugin->engine->ReadView().sampleCount, 1300);
  ParamVector live;
  EXPECT_EQ(plugin->engine->params, plugin->GetParamValues(live));
  // The buffers hold the last chunk (frames 1024..1299) over the tail of the second (788..1023).
  const auto& left = plugin->chunkInput[0];
  for (int j = 0; j < 276; ++j)
    ASSERT_EQ(left[j], host.main[0][1024 + j]) << j;
  for (int j = 276; j < 512; ++j)
    ASSERT_EQ(left[j], host.main[0][512 + j]) << j;
}

TEST(BlockEntry, MonoMainFeedsBothEngineChannels) {
  auto mono = MakePlugin();
  mono->mainChannels = 1;
  HostBuffers monoHost(1, 0, 2, 700);
  FillTestSignal(monoHost.main);
  monoHost.Process(*mono);

  auto stereo = MakePlugin();
  HostBuffers stereoHost(2, 0, 2, 700);
  stereoHost.main[0] = monoHost.main[0];
  stereoHost.main[1] = monoHost.main[0];
  stereoHost.Process(*stereo);

  for (int j = 0; j < 700 - 512; ++j)
    ASSERT_EQ(mono->chunkInput[1][j], monoHost.main[0][512 + j]);
  EXPECT_EQ(monoHost.out, stereoHost.out);
  EXPECT_EQ(monoHost.out[0], monoHost.out[1]);
}

TEST(BlockEntry, OutputChannelMapping) {
  auto stereo = MakePlugin();
  HostBuffers stereoHost(2, 0, 2, 600);
  FillTestSignal(stereoHost.main);
  stereoHost.Process(*stereo);

  auto mono = MakePlugin();
  HostBuffers monoHost(2, 0, 1, 600);
  monoHost.main = stereoHost.main;
  monoHost.Process(*mono);

  bool differ = false;
  for (int j = 0; j < 600; ++j) {
    ASSERT_EQ(monoHost.out[0][j], (stereoHost.out[0][j] + stereoHost.out[1][j]) * 0.5f) << j;
    differ = differ || stereoHost.out[0][j] != stereoHost.out[1][j];
  }
  EXPECT_TRUE(differ);
  // Stereo output is the engine's pair unchanged.
  for (int j = 0; j < 600 - 512; ++j) {
    ASSERT_EQ(stereoHost.out[0][512 + j], stereo->chunkOutput[0][j]);
    ASSERT_EQ(stereoHost.out[1][512 + j], stereo->chunkOutput[1][j]);
  }
}

TEST(BlockEntry, ExtraOutputChannelsGetZeros) {
  auto plugin = MakePlugin();
  std::vector<std::vector<float>> in(2, std::vector<float>(64, 0.3f));
  std::vector<std::vector<float>> out(3, std::vector<float>(64, 0.7f));
  float* inputs[4] = {in[0].data(), in[1].data(), nullptr, nullptr};
  float* outputs[3] = {out[0].data(), out[1].data(), out[2].data()};
  plugin->SetChannelConnections(ERoute::kOutput, 0, 3, true);
  plugin->ProcessBlock(inputs, outputs, 64);
  for (float v : out[2])
    ASSERT_EQ(v, 0.0f);
  EXPECT_NE(out[0][63], 0.7f);
}

TEST(BlockEntry, ZerosWhileNotRunning) {
  for (bool deactivated : {false, true}) {
    auto plugin = MakePlugin(48000.0, deactivated);
    if (deactivated) {
      HostBuffers warmUp(2, 0, 2, 100);
      FillTestSignal(warmUp.main);
      warmUp.Process(*plugin);
      plugin->OnActivate(false);
    }
    const std::int64_t countBefore = plugin->engine->ReadView().sampleCount;
    HostBuffers host(2, 0, 2, 300);
    FillTestSignal(host.main);
    host.Process(*plugin);
    for (const auto& channel : host.out)
      for (float v : channel)
        ASSERT_EQ(v, 0.0f) << deactivated;
    EXPECT_EQ(plugin->engine->ReadView().sampleCount, countBefore) << deactivated;
    EXPECT_EQ(plugin->engine->sampleCount, countBefore) << deactivated;
  }
}

TEST(BlockEntry, EmptyBlockWritesNothing) {
  auto plugin = MakePlugin();
  HostBuffers host(2, 0, 2, 16);
  float* inputs[4] = {host.main[0].data(), host.main[1].data(), nullptr, nullptr};
  float* outputs[2] = {host.out[0].data(), host.out[1].data()};
  plugin->SetChannelConnections(ERoute::kOutput, 0, 2, true);
  plugin->ProcessBlock(inputs, outputs, 0);
  EXPECT_EQ(host.out[0][0], 0.7f);
  EXPECT_EQ(plugin->engine->sampleCount, 0);
}

TEST(BlockEntry, PrepareSampleRates) {
  struct Case {
    double framework;
    double engine;
  };
  const Case cases[] = {{0.0, 48000.0},
                        {-44100.0, 48000.0},
                        {std::numeric_limits<double>::quiet_NaN(), 48000.0},
                        {std::numeric_limits<double>::infinity(), 48000.0},
                        {10000.0, 22050.0},
                        {300000.0, 192000.0},
                        {44100.0, 44100.0}};
  for (const Case& c : cases) {
    for (bool viaActivate : {false, true}) {
      auto plugin = MakePlugin(c.framework, false);
      plugin->SetLatency(7);
      if (viaActivate)
        plugin->OnActivate(true);
      else
        plugin->OnReset();
      EXPECT_EQ(plugin->engine->sampleRate, c.engine) << c.framework;
      EXPECT_EQ(plugin->GetLatency(), 0);
      EXPECT_TRUE(plugin->engineRunning);
    }
  }
}

TEST(BlockEntry, ResetAfterDeactivationRuns) {
  auto plugin = MakePlugin(48000.0, false);
  plugin->OnActivate(true);
  plugin->OnActivate(false);
  EXPECT_FALSE(plugin->engineRunning);
  plugin->OnReset();
  EXPECT_TRUE(plugin->engineRunning);
  HostBuffers host(2, 0, 2, 256);
  FillTestSignal(host.main);
  host.Process(*plugin);
  EXPECT_EQ(plugin->engine->sampleCount, 256);
  EXPECT_NE(host.out[0][255], 0.0f);
}

TEST(BlockEntry, SilenceFlagsGiveExactZeros) {
  for (std::uint64_t flags : {1u, 2u, 3u}) {
    auto plugin = MakePlugin();
    plugin->mainSilenceFlags = flags;
    HostBuffers host(2, 0, 2, 200);
    FillTestSignal(host.main);
    host.Process(*plugin);
    for (int j = 0; j < 200; ++j) {
      ASSERT_EQ(plugin->chunkInput[0][j], (flags & 1) ? 0.0f : host.main[0][j]) << flags;
      ASSERT_EQ(plugin->chunkInput[1][j], (flags & 2) ? 0.0f : host.main[1][j]) << flags;
    }
  }
}

TEST(BlockEntry, SidechainMapping) {
  struct Case {
    int sideChannels;
    bool active;
    std::uint64_t flags;
  };
  for (const Case c :
       {Case{1, true, 0}, Case{2, true, 0}, Case{2, false, 0}, Case{2, true, 2}, Case{1, true, 1}}) {
    auto plugin = MakePlugin();
    plugin->sidechainActive = c.active;
    plugin->sidechainSilenceFlags = c.flags;
    HostBuffers host(2, c.sideChannels, 2, 200);
    FillTestSignal(host.main);
    FillTestSignal(host.side, 5);
    host.Process(*plugin);
    for (int j = 0; j < 200; ++j) {
      const float left = (c.active && !(c.flags & 1)) ? host.side[0][j] : 0.0f;
      const float right = !c.active             ? 0.0f
                          : c.sideChannels == 1 ? left
                          : (c.flags & 2)       ? 0.0f
                                                : host.side[1][j];
      ASSERT_EQ(plugin->chunkSidechain[0][j], left) << c.sideChannels << c.active << c.flags;
      ASSERT_EQ(plugin->chunkSidechain[1][j], right) << c.sideChannels << c.active << c.flags;
    }
  }
}

// The framework routine keeps the sidechain in slots 2-3 when the main bus has one channel.
TEST(BlockEntry, MonoMainBusDoesNotShiftTheSidechain) {
  auto plugin = MakePlugin();
  plugin->mainChannels = 1;
  plugin->sidechainActive = true;
  HostBuffers host(1, 2, 1, 200);
  FillTestSignal(host.main);
  FillTestSignal(host.side, 5);
  host.Process(*plugin);
  for (int j = 0; j < 200; ++j) {
    ASSERT_EQ(plugin->chunkInput[0][j], host.main[0][j]);
    ASSERT_EQ(plugin->chunkInput[1][j], host.main[0][j]);
    ASSERT_EQ(plugin->chunkSidechain[0][j], host.side[0][j]);
    ASSERT_EQ(plugin->chunkSidechain[1][j], host.side[1][j]);
  }
}
