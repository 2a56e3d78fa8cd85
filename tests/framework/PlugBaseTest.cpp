#include <gtest/gtest.h>

#include <vector>

#include "IPlugBase.h"

namespace {

constexpr Config kConfig{
    .nParams = 2, .nPresets = 3, .channelIOStr = "1-1 2-2 1.1-1 1.2-1 2.1-2 2.2-2", .vendorVersion = 0x100};

// Records the slots ProcessBlock receives and answers state restores with a chosen position.
class Probe : public IPlugBase {
public:
  Probe() : IPlugBase(InstanceInfo{}, kConfig) {}
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    in.assign(inputs, inputs + kMaxChannelSlots);
    out.assign(outputs, outputs + kMaxChannelSlots);
    frames = nFrames;
  }
  int UnserializeState(const IByteChunk& chunk, int startPos) override {
    restoredSize = chunk.Size();
    return restoreResult < 0 ? restoreResult : startPos + restoreResult;
  }
  std::vector<float*> in, out;
  int frames = 0;
  int restoreResult = 4;
  int restoredSize = -1;
};

} // namespace

TEST(PlugBase, VersionString) {
  EXPECT_EQ(VersionString(0x100), "0.1.0");
  EXPECT_EQ(VersionString(0x10203), "1.2.3");
  EXPECT_EQ(VersionString(0x0A0000), "10.0.0");
  Probe probe;
  EXPECT_EQ(probe.GetPluginVersionString(), "0.1.0");
}

TEST(PlugBase, ChannelIOArrangements) {
  const std::vector<IOConfig> configs = ParseChannelIO("1-1 2-2 1.1-1 1.2-1 2.1-2 2.2-2");
  ASSERT_EQ(configs.size(), 6u);
  EXPECT_EQ(configs[4].inputBuses, (std::vector<int>{2, 1}));
  EXPECT_EQ(configs[4].outputBuses, (std::vector<int>{2}));
  EXPECT_EQ(configs[0].inputBuses, (std::vector<int>{1}));
  EXPECT_EQ(ParseChannelIO("2-2 x-1 1.-1 3").size(), 1u);

  Probe probe;
  struct Case {
    std::vector<int> in, out;
    bool supported;
  };
  const Case cases[] = {
      {{2, 2}, {2}, true},  {{2, 1}, {2}, true},     {{2, 0}, {2}, true},  {{2}, {2}, true},
      {{1, 2}, {1}, true},  {{1, 0}, {1}, true},     {{2, 1}, {1}, false}, {{1, 0}, {2}, false},
      {{2, 3}, {2}, false}, {{2, 2}, {2, 2}, false}, {{}, {2}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(probe.IsSupportedArrangement(c.in.data(), static_cast<int>(c.in.size()), c.out.data(),
                                           static_cast<int>(c.out.size())),
              c.supported)
        << c.in.size() << " " << (c.in.empty() ? 0 : c.in[0]);
  EXPECT_EQ(probe.MaxNBuses(ERoute::kInput), 2);
  EXPECT_EQ(probe.MaxNBuses(ERoute::kOutput), 1);
  EXPECT_EQ(probe.MaxNChannelsForBus(ERoute::kInput, 0), 2);
  EXPECT_EQ(probe.MaxNChannelsForBus(ERoute::kInput, 1), 2);
  EXPECT_EQ(probe.FirstSlotOfBus(ERoute::kInput, 1), 2);
  EXPECT_EQ(probe.MaxNChannels(ERoute::kInput), 4);
}

TEST(PlugBase, AudioRoutineMapsBusesToFixedSlots) {
  float a[8], b[8], c[8], d[8], e[8];
  struct Case {
    std::vector<float*> main, side, out;
    int numInputBuses, numOutputBuses;
    std::vector<float*> in, outSlots;
  };
  const Case cases[] = {
      {{a, b}, {c, d}, {e}, 2, 1, {a, b, c, d}, {e, nullptr}},
      {{a}, {c, d}, {e}, 2, 1, {a, nullptr, c, d}, {e, nullptr}},
      {{a}, {c}, {e}, 2, 1, {a, nullptr, c, nullptr}, {e, nullptr}},
      {{a, b}, {c, d}, {e}, 1, 1, {a, b, nullptr, nullptr}, {e, nullptr}},
      {{a, b}, {}, {e, d}, 2, 0, {a, b, nullptr, nullptr}, {nullptr, nullptr}},
      {{a, b, c}, {}, {d, e}, 2, 1, {a, b, nullptr, nullptr}, {d, e}},
      {{a, nullptr}, {}, {d, e}, 2, 1, {a, nullptr, nullptr, nullptr}, {d, e}},
  };
  for (const Case& k : cases) {
    Probe probe;
    std::vector<float*> main = k.main, side = k.side, out = k.out;
    const AudioBusBuffers32 inputs[2] = {{static_cast<int>(main.size()), main.data()},
                                         {static_cast<int>(side.size()), side.data()}};
    const AudioBusBuffers32 outputs[1] = {{static_cast<int>(out.size()), out.data()}};
    probe.ProcessBuffers(inputs, k.numInputBuses, outputs, k.numOutputBuses, 8);
    ASSERT_EQ(probe.frames, 8);
    int inConnected = 0, outConnected = 0;
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(probe.in[static_cast<size_t>(s)], k.in[static_cast<size_t>(s)]) << s;
      EXPECT_EQ(probe.IsChannelConnected(ERoute::kInput, s), k.in[static_cast<size_t>(s)] != nullptr) << s;
      inConnected += k.in[static_cast<size_t>(s)] != nullptr;
    }
    for (int s = 0; s < 2; ++s) {
      EXPECT_EQ(probe.out[static_cast<size_t>(s)], k.outSlots[static_cast<size_t>(s)]) << s;
      outConnected += k.outSlots[static_cast<size_t>(s)] != nullptr;
    }
    for (size_t s = 4; s < IPlugProcessor::kMaxChannelSlots; ++s)
      EXPECT_EQ(probe.in[s], nullptr);
    EXPECT_EQ(probe.NInChansConnected(), inConnected);
    EXPECT_EQ(probe.NOutChansConnected(), outConnected);
  }
}

TEST(PlugBase, PresetListAndRestore) {
  Probe probe;
  ASSERT_EQ(probe.NPresets(), 3);
  IByteChunk chunk;
  const std::int32_t word = 7;
  chunk.Put(&word);
  EXPECT_TRUE(probe.MakePresetFromChunk("First", chunk));
  EXPECT_TRUE(probe.MakePresetFromChunk("Second", chunk));
  EXPECT_STREQ(probe.GetPresetName(0), "First");
  EXPECT_STREQ(probe.GetPresetName(1), "Second");
  EXPECT_STREQ(probe.GetPresetName(3), "");

  EXPECT_TRUE(probe.RestorePreset(1));
  EXPECT_EQ(probe.restoredSize, 4);
  EXPECT_EQ(probe.GetCurrentPresetIdx(), 1);
  probe.restoreResult = -1;
  EXPECT_FALSE(probe.RestorePreset(0));
  probe.restoreResult = 0; // position 0 is no success either
  EXPECT_FALSE(probe.RestorePreset(0));
  EXPECT_EQ(probe.GetCurrentPresetIdx(), 1);
  EXPECT_FALSE(probe.RestorePreset(3));
  EXPECT_FALSE(probe.RestorePreset(-1));

  // An empty slot captures the current state instead.
  probe.GetParam(0)->InitDouble("A", 0.25, 0.0, 1.0, 0.001);
  probe.GetParam(1)->InitDouble("B", 0.5, 0.0, 1.0, 0.001);
  EXPECT_TRUE(probe.RestorePreset(2));
  ASSERT_NE(probe.GetPreset(2), nullptr);
  EXPECT_TRUE(probe.GetPreset(2)->initialized);
  EXPECT_EQ(probe.GetPreset(2)->chunk.Size(), 16);
  EXPECT_TRUE(probe.MakePresetFromChunk("Third", chunk) == false);
}

TEST(PlugBase, ByteChunk) {
  IByteChunk chunk;
  const std::int32_t word = -5;
  const float value = 2.5f;
  EXPECT_EQ(chunk.Put(&word), 4);
  EXPECT_EQ(chunk.Put(&value), 8);
  std::int32_t w = 0;
  float v = 0.0f;
  EXPECT_EQ(chunk.Get(&w, 0), 4);
  EXPECT_EQ(chunk.Get(&v, 4), 8);
  EXPECT_EQ(w, -5);
  EXPECT_EQ(v, 2.5f);
  EXPECT_EQ(chunk.Get(&w, 5), -1);
  EXPECT_EQ(chunk.Get(&w, -1), -1);
  EXPECT_EQ(chunk.Get(&w, 9), -1);
  EXPECT_EQ(chunk.GetData()[0], 0xFB); // little-endian
  EXPECT_EQ(chunk.Resize(12), 12);
  EXPECT_EQ(chunk.Get(&w, 8), 12);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(chunk.Resize(2), 2);
  EXPECT_EQ(chunk.Size(), 2);
}

TEST(PlugBase, ProcessorSettingsAndDefaultHooks) {
  Probe probe;
  probe.SetSampleRate(96000.0);
  probe.SetBlockSize(256);
  probe.SetLatency(12);
  EXPECT_EQ(probe.GetSampleRate(), 96000.0);
  EXPECT_EQ(probe.GetBlockSize(), 256);
  EXPECT_EQ(probe.GetLatency(), 12);
  probe.SetChannelConnections(ERoute::kOutput, 0, 2, true);
  EXPECT_EQ(probe.NOutChansConnected(), 2);
  probe.SetChannelConnections(ERoute::kOutput, 1, 1, false);
  EXPECT_TRUE(probe.IsChannelConnected(ERoute::kOutput, 0));
  EXPECT_FALSE(probe.IsChannelConnected(ERoute::kOutput, 1));
  EXPECT_FALSE(probe.IsChannelConnected(ERoute::kOutput, 99));
}
