#include <gtest/gtest.h>

#include <vector>

#include "app/IPlugAPP.h"

namespace {

constexpr Config kConfig{
    .nParams = 1, .channelIOStr = "1-1 2-2 1.1-1 1.2-1 2.1-2 2.2-2", .vendorVersion = 0x10203};

// Records what the standalone base hands on; its block doubles channel c and adds c.
class Probe : public IPlugAPP {
public:
  Probe() : IPlugAPP(InstanceInfo{}, kConfig) {}
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    frames.push_back(nFrames);
    connectedIn = NInChansConnected();
    connectedOut = NOutChansConnected();
    midiCountAtBlock.push_back(static_cast<int>(midi.size()));
    for (int c = 0; c < 2; ++c)
      if (outputs[c])
        for (int j = 0; j < nFrames; ++j)
          outputs[c][j] = (inputs[c] ? inputs[c][j] * 2.0f : 0.0f) + static_cast<float>(c);
  }
  void ProcessMidiMsg(const IMidiMsg& msg) override { midi.push_back(msg); }
  void ProcessSysEx(const ISysEx& msg) override { sysex.emplace_back(msg.data, msg.data + msg.size); }
  std::vector<int> frames;
  std::vector<int> midiCountAtBlock;
  int connectedIn = -1, connectedOut = -1;
  std::vector<IMidiMsg> midi;
  std::vector<std::vector<std::uint8_t>> sysex;
};

} // namespace

TEST(AppProcess, ConvertsDeviceChannelsAndCountsWhatIsConnected) {
  Probe probe;
  EXPECT_EQ(probe.MaxNChannels(ERoute::kInput), 4);
  EXPECT_EQ(probe.MaxNChannels(ERoute::kOutput), 2);
  const int n = 1300;
  std::vector<double> left(n), right(n), outLeft(n, -9.0), outRight(n, -9.0);
  for (int j = 0; j < n; ++j) {
    left[j] = 0.25 * j / n;
    right[j] = -0.5 * j / n;
  }
  double* inputs[4] = {left.data(), right.data(), nullptr, nullptr};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  probe.AppProcess(inputs, outputs, n);

  EXPECT_EQ(probe.frames, (std::vector<int>{512, 512, 276}));
  EXPECT_EQ(probe.connectedIn, 2);
  EXPECT_EQ(probe.connectedOut, 2);
  for (int j = 0; j < n; ++j) {
    ASSERT_EQ(outLeft[j], static_cast<double>(static_cast<float>(left[j]) * 2.0f)) << j;
    ASSERT_EQ(outRight[j], static_cast<double>(static_cast<float>(right[j]) * 2.0f + 1.0f)) << j;
  }
}

TEST(AppProcess, MissingChannelsAreNotConnected) {
  Probe probe;
  std::vector<double> mono(512, 0.5), out(512, -9.0);
  double* inputs[4] = {mono.data(), nullptr, nullptr, nullptr};
  double* outputs[2] = {out.data(), nullptr};
  probe.AppProcess(inputs, outputs, 512);
  EXPECT_EQ(probe.connectedIn, 1);
  EXPECT_EQ(probe.connectedOut, 1);
  EXPECT_EQ(out[0], 1.0);

  probe.AppProcess(nullptr, outputs, 512); // a list without entries is absent
  EXPECT_EQ(probe.connectedIn, 0);
  EXPECT_EQ(out[0], 0.0);
  probe.AppProcess(nullptr, outputs, 0);
  EXPECT_EQ(probe.frames.size(), 2u);
}

TEST(AppProcess, QueuedMidiIsDeliveredInOrderBeforeTheBlock) {
  Probe probe;
  for (int i = 0; i < 40; ++i) {
    const bool queued = probe.midiMsgsFromCallback.Push(IMidiMsg{0, 0x90, static_cast<std::uint8_t>(i), 100});
    EXPECT_EQ(queued, i < 32) << i; // 32 entries wait at most
  }
  for (int i = 0; i < 6; ++i) {
    SysExData entry;
    entry.size = 4 + i;
    for (int b = 0; b < entry.size; ++b)
      entry.data[b] = static_cast<std::uint8_t>(i * 16 + b);
    EXPECT_EQ(probe.sysExMsgsFromCallback.Push(entry), i < 4) << i;
  }
  std::vector<double> out(512);
  double* outputs[2] = {out.data(), nullptr};
  probe.AppProcess(nullptr, outputs, 512);

  ASSERT_EQ(probe.midi.size(), 32u);
  for (int i = 0; i < 32; ++i)
    EXPECT_EQ(probe.midi[i].data1, i);
  EXPECT_EQ(probe.midiCountAtBlock, std::vector<int>{32});
  ASSERT_EQ(probe.sysex.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(probe.sysex[i].size(), static_cast<std::size_t>(4 + i));
    EXPECT_EQ(probe.sysex[i].back(), i * 16 + 3 + i);
  }
  EXPECT_EQ(probe.midiMsgsFromCallback.ElementsAvailable(), 0u);
  EXPECT_EQ(probe.sysExMsgsFromCallback.ElementsAvailable(), 0u);
}

TEST(AppProcess, HostNameAndVersion) {
  Probe probe;
  probe.SetHost("standalone", probe.GetPluginVersion());
  EXPECT_EQ(probe.GetHostName(), "standalone");
  EXPECT_EQ(probe.GetHostVersion(), 0x10203);
}
