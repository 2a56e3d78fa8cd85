// getState and setState through the host's streams: the 216-byte module state, short writes and
// reads, refusals, and the host-visible parameters after a restore.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "ModuleHost.h"
#include "Params.h"

using namespace Steinberg;
namespace vst = Steinberg::Vst;

namespace {

template <class T> T At(const std::vector<unsigned char>& bytes, std::size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

template <class T> void Put(std::vector<unsigned char>& bytes, std::size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

} // namespace

TEST(ModuleState, FreshInstanceWritesTheDefaults) {
  LoadedModule module;
  PluginInstance plugin(module);
  const std::vector<unsigned char> state = plugin.State();
  ASSERT_EQ(state.size(), 216u);
  const unsigned char magic[4] = {0x53, 0x54, 0x41, 0x4B}; // 'KATS', little-endian
  EXPECT_EQ(std::memcmp(state.data(), magic, 4), 0);
  EXPECT_EQ(At<std::int32_t>(state, 4), 1);
  EXPECT_EQ(At<std::int32_t>(state, 8), 24);
  for (std::size_t i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(At<float>(state, 12 + 4 * i), kParamDefaults[i]) << i;
    EXPECT_EQ(At<float>(state, 108 + 4 * i), kParamDefaults[i]) << i;
  }
  EXPECT_EQ(At<std::int32_t>(state, 204), 0);
  EXPECT_EQ(At<std::int32_t>(state, 208), 0);
  EXPECT_EQ(At<std::int32_t>(state, 212), 0);
}

TEST(ModuleState, ShortWritesAreContinued) {
  LoadedModule module;
  PluginInstance plugin(module);
  ChunkedStream stream({}, 100);
  ASSERT_EQ(plugin.component->getState(&stream), kResultOk);
  EXPECT_EQ(stream.writeCounts, (std::vector<int>{100, 100, 16}));
  EXPECT_EQ(stream.bytes, plugin.State());

  ChunkedStream full({}, 0); // accepts nothing
  EXPECT_EQ(plugin.component->getState(&full), kResultFalse);
  EXPECT_EQ(plugin.component->getState(nullptr), kResultFalse);
}

TEST(ModuleState, RoundTripRestoresParametersBypassAndHostView) {
  LoadedModule module;
  PluginInstance source(module);
  source.Start(vst::kSample32, 512);
  AudioBlock<float> block(0);
  HostParameterChanges changes;
  changes.Add(kMode, {1.0});
  changes.Add(kSoloTarget, {0.2});
  changes.Add(kSlowTime, {0.75});
  changes.Add(kMix, {0.4});
  changes.Add(0x10000, {1.0});
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(source.processor->process(block.data), kResultOk);
  const std::vector<unsigned char> saved = source.State();
  ASSERT_EQ(At<std::int32_t>(saved, 212), 1);

  PluginInstance target(module);
  ASSERT_EQ(target.Restore(saved, 7), kResultOk); // 7 bytes per read
  EXPECT_EQ(target.State(), saved);
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_NEAR(target.Normalized(static_cast<vst::ParamID>(i)),
                source.Normalized(static_cast<vst::ParamID>(i)), 1e-6)
        << kParamNames[static_cast<std::size_t>(i)]; // the state holds 32-bit values
  EXPECT_DOUBLE_EQ(target.Normalized(kMode), 1.0);
  EXPECT_DOUBLE_EQ(target.Normalized(0x10000), 1.0);

  vst::String128 text{};
  ASSERT_EQ(target.controller->getParamStringByValue(kMode, target.Normalized(kMode), text), kResultOk);
  EXPECT_EQ(text[0], 'M'); // "Mix Reference"
}

TEST(ModuleState, MismatchedStreamsAreRefusedAndChangeNothing) {
  using Edit = std::function<void(std::vector<unsigned char>&)>;
  struct Case {
    const char* name;
    Edit edit;
    int bytesPerRead;
  };
  const Case cases[] = {
      {"215 bytes", [](auto& b) { b.pop_back(); }, 1 << 20},
      {"217 bytes", [](auto& b) { b.push_back(0); }, 1 << 20},
      {"217 bytes read in short pieces", [](auto& b) { b.push_back(0); }, 50},
      {"bypass word 2", [](auto& b) { Put<std::int32_t>(b, 212, 2); }, 1 << 20},
      {"bypass word -1", [](auto& b) { Put<std::int32_t>(b, 212, -1); }, 1 << 20},
      {"version 2", [](auto& b) { Put<std::int32_t>(b, 4, 2); }, 1 << 20},
      {"Max Boost 18.5", [](auto& b) { Put<float>(b, 36, 18.5f); }, 1 << 20},
      {"empty stream", [](auto& b) { b.clear(); }, 1 << 20},
  };
  LoadedModule module;
  PluginInstance source(module);
  ASSERT_EQ(source.controller->setParamNormalized(kMaxBoost, 1.0), kResultOk);
  std::vector<unsigned char> good = source.State();
  Put<std::int32_t>(good, 212, 1);

  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PluginInstance target(module);
    const std::vector<unsigned char> before = target.State();
    std::vector<unsigned char> bytes = good;
    k.edit(bytes);
    EXPECT_EQ(target.Restore(bytes, k.bytesPerRead), kResultFalse);
    EXPECT_EQ(target.State(), before);
    EXPECT_DOUBLE_EQ(target.Normalized(0x10000), 0.0);
  }
  PluginInstance target(module);
  EXPECT_EQ(target.component->setState(nullptr), kResultFalse);
  EXPECT_EQ(target.Restore(good), kResultOk); // the unedited block is accepted
  EXPECT_DOUBLE_EQ(target.Normalized(kMaxBoost), 1.0);
}

TEST(ModuleState, ControllerStateOfTheSingleComponentIsEmpty) {
  LoadedModule module;
  PluginInstance plugin(module);
  ChunkedStream stream({1, 2, 3}, 100);
  EXPECT_EQ(plugin.controller->setComponentState(&stream), kResultOk);
  EXPECT_EQ(plugin.State().size(), 216u);
}

// A host may restore a project while audio runs: the restore's bypass word and parameter values
// reach the audio thread as whole atomic values (ThreadSanitizer checks the claim).
TEST(ModuleState, RestoreWhileProcessing) {
  LoadedModule module;
  PluginInstance plugin(module);
  std::vector<unsigned char> on = plugin.State(), off = on;
  Put<std::int32_t>(on, 212, 1);
  Put<float>(on, 96, 0.0f); // Mix 0 %
  plugin.Start(vst::kSample32, 256);

  std::thread audio([&] {
    for (int round = 0; round < 400; ++round) {
      AudioBlock<float> block(256);
      for (auto& c : block.main)
        std::fill(c.begin(), c.end(), 0.25f);
      ASSERT_EQ(plugin.processor->process(block.data), kResultOk);
    }
  });
  for (int round = 0; round < 200; ++round)
    ASSERT_EQ(plugin.Restore(round % 2 ? off : on), kResultOk);
  audio.join();
  EXPECT_EQ(plugin.State(), off);
}
