#include <gtest/gtest.h>

#include <string>

#include "TamselRig.h"

namespace {

const char* const kPresetNames[kNumFactoryPresets] = {
    "Natural Lead",       "Gentle Phrase Ride",      "Intimate Vocal",     "Fast Pop Lead",
    "Dynamic Singer",     "Quiet Interview",         "Podcast Tamsel",     "Narration Balance",
    "Backing Vocal",      "Live Vocal Conservative", "Slow Ballad",        "Transient Friendly",
    "Mix Reference Lead", "Mix Reference Soft",      "Mix Reference Live", "Unity Audit"};

} // namespace

TEST(FactoryPresets, NamesInOrderInTableAndPresetList) {
  auto plugin = MakePlugin();
  const FactoryPresetTable& table = GetFactoryPresets();
  ASSERT_EQ(plugin->NPresets(), kNumFactoryPresets);
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    EXPECT_STREQ(table[static_cast<size_t>(p)].name, kPresetNames[p]);
    EXPECT_STREQ(plugin->GetPresetName(p), kPresetNames[p]);
  }
  EXPECT_EQ(&GetFactoryPresets(), &table);
}

TEST(FactoryPresets, DifferencesFromTheDefaults) {
  const FactoryPresetTable& table = GetFactoryPresets();
  EXPECT_EQ(table[0].values, kParamDefaults);
  ParamVector podcast = kParamDefaults;
  podcast[kSoloTarget] = -20;
  podcast[kSlowTime] = 700;
  podcast[kFastTime] = 60;
  podcast[kPauseHold] = 150;
  podcast[kMaxGainSlew] = 8;
  EXPECT_EQ(table[6].values, podcast);
  ParamVector soft = kParamDefaults;
  soft[kMode] = 1;
  soft[kMaxBoost] = 3;
  soft[kFastAmount] = 15;
  soft[kMixOffset] = 0;
  soft[kReferenceSmooth] = 1200;
  EXPECT_EQ(table[13].values, soft);
  for (const PresetRecord& preset : table)
    for (int i : {kBypass, kInput, kOutput, kActivityHysteresis, kDetectorHPF, kDetectorLPF, kMix, kAnalyzer,
                  kReferenceFloor})
      EXPECT_EQ(preset.values[static_cast<size_t>(i)], kParamDefaults[static_cast<size_t>(i)]) << preset.name;
}

TEST(FactoryPresets, EachAppliedPresetIsFound) {
  auto plugin = MakePlugin();
  EXPECT_EQ(plugin->FindMatchingPreset(), 0);
  for (int p = kNumFactoryPresets - 1; p >= 0; --p) {
    plugin->ApplyPreset(p);
    EXPECT_EQ(plugin->FindMatchingPreset(), p);
    EXPECT_EQ(plugin->currentPreset.load(), p);
    ParamVector live;
    EXPECT_EQ(plugin->GetParamValues(live), GetFactoryPresets()[static_cast<size_t>(p)].values);
  }
}

TEST(FactoryPresets, MatchToleranceBoundary) {
  struct Case {
    double offset;
    int expected;
  };
  for (const Case c : {Case{0.03, 12}, Case{-0.03, 12}, Case{0.04, -1}, Case{-0.04, -1}}) {
    auto plugin = MakePlugin();
    plugin->ApplyPreset(12);
    plugin->GetParam(kDetectorLPF)->Set(10000.0 + c.offset);
    EXPECT_EQ(plugin->FindMatchingPreset(), c.expected) << c.offset;
  }
}

TEST(FactoryPresets, OutOfRangeIndexChangesNothing) {
  for (int index : {-1, 16}) {
    auto plugin = MakePlugin();
    plugin->ApplyPreset(4);
    plugin->GetParam(kInput)->Set(3.0);
    const PluginState before = CaptureState(*plugin);
    plugin->events.clear();
    plugin->ApplyPreset(index);
    EXPECT_EQ(CaptureState(*plugin), before) << index;
    EXPECT_TRUE(plugin->events.empty()) << index;
  }
}

TEST(FactoryPresets, NoPresetAfterAnEdit) {
  auto plugin = MakePlugin();
  plugin->ApplyPreset(15);
  plugin->GetParam(kRideAmount)->Set(1.0);
  EXPECT_EQ(plugin->FindMatchingPreset(), -1);
  EXPECT_EQ(plugin->currentPreset.load(), 15);
}

TEST(FactoryPresets, AppliedValuesAreConstrained) {
  auto plugin = MakePlugin();
  ParamVector wild = kParamDefaults;
  wild[kMode] = 0.6f;
  wild[kMaxBoost] = 40.0f;
  wild[kSlowTime] = 10.0f;
  plugin->ApplyPresetValues(wild, false);
  EXPECT_EQ(plugin->GetParam(kMode)->Value(), 1.0);
  EXPECT_EQ(plugin->GetParam(kMaxBoost)->Value(), 18.0);
  EXPECT_EQ(plugin->GetParam(kSlowTime)->Value(), 300.0);
  for (const HostEvent& e : plugin->events)
    EXPECT_GE(e.kind, HostEvent::kChange); // no host edit
}

TEST(FactoryPresets, RestoredThroughTheFrameworkPresetList) {
  auto plugin = MakePlugin();
  plugin->GetParam(kOutput)->Set(-6.0);
  plugin->activeBank.store(true);
  ASSERT_TRUE(plugin->RestorePreset(9));
  ParamVector live;
  EXPECT_EQ(plugin->GetParamValues(live), GetFactoryPresets()[9].values);
  EXPECT_EQ(plugin->currentPreset.load(), 9);
  EXPECT_FALSE(plugin->activeBank.load());
  for (size_t i = 0; i < kNumParams; ++i)
    EXPECT_EQ(plugin->otherBank[i].load(), GetFactoryPresets()[9].values[i]);
  EXPECT_EQ(plugin->FindMatchingPreset(), 9);
}
