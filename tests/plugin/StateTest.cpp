#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "TamselRig.h"

namespace {

std::vector<std::uint8_t> Bytes(const IByteChunk& chunk) {
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

IByteChunk ChunkOf(const std::vector<std::uint8_t>& bytes) {
  IByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

template <class T> void Poke(std::vector<std::uint8_t>& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

template <class T> T Peek(const std::vector<std::uint8_t>& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// A state unlike a fresh plug-in's in every stored part.
void ChangeState(Tamsel& plugin) {
  plugin.ApplyPreset(6);
  plugin.GetParam(kMaxBoost)->Set(18.0);
  plugin.GetParam(kBypass)->Set(1.0);
  for (size_t i = 0; i < kNumParams; ++i)
    plugin.otherBank[i].store(kParamMins[i]);
  plugin.otherBank[kMode].store(1.0f);
  plugin.activeBank.store(true);
}

std::vector<std::uint8_t> SavedState(const Tamsel& plugin) {
  IByteChunk chunk;
  EXPECT_TRUE(plugin.SerializeState(chunk));
  return Bytes(chunk);
}

} // namespace

TEST(StateBlock, GoldenBytes) {
  auto plugin = MakePlugin();
  plugin->GetParam(kSoloTarget)->Set(-20.0);
  plugin->otherBank[kMode].store(1.0f);
  plugin->currentPreset.store(7);
  plugin->activeBank.store(true);

  const std::vector<std::uint8_t> bytes = SavedState(*plugin);
  ASSERT_EQ(bytes.size(), 212u);
  const std::vector<std::uint8_t> header = {0x53, 0x54, 0x41, 0x4B, 0x01, 0x00,
                                            0x00, 0x00, 0x18, 0x00, 0x00, 0x00};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12), header);
  // -20.0f is 0xC1A00000, 1.0f is 0x3F800000.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 28, bytes.begin() + 32),
            (std::vector<std::uint8_t>{0x00, 0x00, 0xA0, 0xC1}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 108, bytes.begin() + 112),
            (std::vector<std::uint8_t>{0x00, 0x00, 0x80, 0x3F}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 204, bytes.end()),
            (std::vector<std::uint8_t>{0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));
  for (size_t i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(Peek<float>(bytes, 12 + 4 * i), i == kSoloTarget ? -20.0f : kParamDefaults[i]) << i;
    EXPECT_EQ(Peek<float>(bytes, 108 + 4 * i), i == kMode ? 1.0f : kParamDefaults[i]) << i;
  }
}

TEST(StateBlock, WriteAppendsAtTheEnd) {
  IByteChunk chunk;
  const std::int32_t prefix = 42;
  chunk.Put(&prefix);
  EXPECT_TRUE(WriteStateBlock(chunk, kParamDefaults, kParamMaxs, 3, false));
  const std::vector<std::uint8_t> bytes = Bytes(chunk);
  ASSERT_EQ(bytes.size(), 216u);
  EXPECT_EQ(Peek<std::int32_t>(bytes, 0), 42);
  EXPECT_EQ(Peek<std::int32_t>(bytes, 4), kStateMagic);
  EXPECT_EQ(Peek<float>(bytes, 4 + 108 + 4 * kSlowTime), 5000.0f);
  EXPECT_EQ(Peek<std::int32_t>(bytes, 4 + 204), 3);
  EXPECT_EQ(Peek<std::int32_t>(bytes, 4 + 208), 0);
}

TEST(StateBlock, RoundTripRestoresValuesBankPresetAndActiveBank) {
  auto source = MakePlugin();
  ChangeState(*source);
  const std::vector<std::uint8_t> bytes = SavedState(*source);

  auto target = MakePlugin();
  EXPECT_EQ(target->UnserializeState(ChunkOf(bytes), 0), 212);
  EXPECT_EQ(CaptureState(*target), CaptureState(*source));
  EXPECT_EQ(target->currentPreset.load(), 6);
  EXPECT_TRUE(target->activeBank.load());
  EXPECT_EQ(target->GetParam(kMaxBoost)->Value(), 18.0);

  // The editor is pushed each restored value, then every parameter is notified as a preset recall.
  ASSERT_EQ(target->delegateValues.size(), static_cast<size_t>(kNumParams));
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(target->delegateValues[i].value, target->GetParam(i)->GetNormalized());
  int recalls = 0;
  for (const HostEvent& e : target->events) {
    EXPECT_NE(e.kind, HostEvent::kBegin); // the host is not told by the reader
    if (e.kind == HostEvent::kChange && e.value == static_cast<double>(kPresetRecall))
      ++recalls;
  }
  EXPECT_EQ(recalls, kNumParams);
}

struct Refusal {
  const char* name;
  std::function<void(std::vector<std::uint8_t>&)> mutate;
  int start;
};

TEST(StateBlock, RefusedBlocksChangeNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<Refusal> cases = {
      {"size 211", [](auto& b) { b.pop_back(); }, 0},
      {"size 213", [](auto& b) { b.push_back(0); }, 0},
      {"magic", [](auto& b) { b[0] ^= 0x01; }, 0},
      {"version 2", [](auto& b) { Poke<std::int32_t>(b, 4, 2); }, 0},
      {"count 23", [](auto& b) { Poke<std::int32_t>(b, 8, 23); }, 0},
      {"preset -1", [](auto& b) { Poke<std::int32_t>(b, 204, -1); }, 0},
      {"preset 16", [](auto& b) { Poke<std::int32_t>(b, 204, 16); }, 0},
      {"bank 2", [](auto& b) { Poke<std::int32_t>(b, 208, 2); }, 0},
      {"Mode 0.5", [](auto& b) { Poke<float>(b, 12, 0.5f); }, 0},
      {"Max Boost 18.5", [](auto& b) { Poke<float>(b, 12 + 4 * kMaxBoost, 18.5f); }, 0},
      {"Slow Time below range", [](auto& b) { Poke<float>(b, 12 + 4 * kSlowTime, 299.0f); }, 0},
      {"NaN in other bank", [nan](auto& b) { Poke<float>(b, 108 + 4 * kFastAmount, nan); }, 0},
      {"infinity in other bank", [](auto& b) { Poke<float>(b, 108, std::numeric_limits<float>::infinity()); },
       0},
      {"Analyzer 0.5 in other bank", [](auto& b) { Poke<float>(b, 108 + 4 * kAnalyzer, 0.5f); }, 0},
      {"start 0 after 4 other bytes", [](auto& b) { b.insert(b.begin(), 4, 0xEE); }, 0},
      {"negative start", [](auto&) {}, -1},
  };
  auto source = MakePlugin();
  source->ApplyPreset(3);
  const std::vector<std::uint8_t> valid = SavedState(*source);

  for (const Refusal& refusal : cases) {
    auto target = MakePlugin();
    ChangeState(*target);
    const PluginState before = CaptureState(*target);
    target->delegateValues.clear();
    target->events.clear();
    std::vector<std::uint8_t> bytes = valid;
    refusal.mutate(bytes);
    EXPECT_EQ(target->UnserializeState(ChunkOf(bytes), refusal.start), -1) << refusal.name;
    EXPECT_EQ(CaptureState(*target), before) << refusal.name;
    EXPECT_TRUE(target->delegateValues.empty()) << refusal.name;
    EXPECT_TRUE(target->events.empty()) << refusal.name;
  }
}

TEST(StateBlock, AcceptsRangeEdgesAndAnOffsetStart) {
  auto source = MakePlugin();
  std::vector<std::uint8_t> bytes = SavedState(*source);
  Poke<float>(bytes, 12 + 4 * kMaxBoost, 18.0f);
  Poke<float>(bytes, 108 + 4 * kSlowTime, 5000.0f);
  Poke<std::int32_t>(bytes, 204, 15);

  auto plain = MakePlugin();
  EXPECT_EQ(plain->UnserializeState(ChunkOf(bytes), 0), 212);
  EXPECT_EQ(plain->GetParam(kMaxBoost)->Value(), 18.0);
  EXPECT_EQ(plain->otherBank[kSlowTime].load(), 5000.0f);
  EXPECT_EQ(plain->currentPreset.load(), 15);

  bytes.insert(bytes.begin(), {0x01, 0x02, 0x03, 0x04});
  auto offset = MakePlugin();
  EXPECT_EQ(offset->UnserializeState(ChunkOf(bytes), 4), 216);
  EXPECT_EQ(CaptureState(*offset), CaptureState(*plain));
}

TEST(StateBlock, ValidParamValues) {
  EXPECT_TRUE(AreValidParamValues(kParamDefaults));
  EXPECT_TRUE(AreValidParamValues(kParamMins));
  EXPECT_TRUE(AreValidParamValues(kParamMaxs));
  for (const FactoryPresetTable::value_type& preset : GetFactoryPresets())
    EXPECT_TRUE(AreValidParamValues(preset.values));
  ParamVector stepped = kParamDefaults;
  stepped[kBypass] = 1.0f;
  stepped[kAnalyzer] = 0.0f;
  EXPECT_TRUE(AreValidParamValues(stepped));
  stepped[kBypass] = 0.999f;
  EXPECT_FALSE(AreValidParamValues(stepped));
}
