#include <gtest/gtest.h>

#include "TamselRig.h"

namespace {

ParamVector OtherBank(const Tamsel& plugin) {
  ParamVector v;
  for (size_t i = 0; i < kNumParams; ++i)
    v[i] = plugin.otherBank[i].load();
  return v;
}

} // namespace

TEST(Banks, FreshPluginShowsBWithDefaults) {
  auto plugin = MakePlugin();
  EXPECT_EQ(OtherBank(*plugin), kParamDefaults);
  EXPECT_EQ(plugin->currentPreset.load(), 0);
  EXPECT_FALSE(plugin->activeBank.load());
  plugin->ToggleBank();
  ParamVector live;
  EXPECT_EQ(plugin->GetParamValues(live), kParamDefaults);
  EXPECT_EQ(OtherBank(*plugin), kParamDefaults);
  EXPECT_TRUE(plugin->activeBank.load());
}

TEST(Banks, ToggleTwiceRestoresEverything) {
  auto plugin = MakePlugin();
  plugin->ApplyPreset(10);
  plugin->GetParam(kMix)->Set(40.0);
  for (size_t i = 0; i < kNumParams; ++i)
    plugin->otherBank[i].store(kParamMaxs[i]);
  const PluginState start = CaptureState(*plugin);

  plugin->ToggleBank();
  ParamVector live;
  EXPECT_EQ(plugin->GetParamValues(live), kParamMaxs);
  EXPECT_EQ(OtherBank(*plugin), start.values);
  EXPECT_TRUE(plugin->activeBank.load());
  EXPECT_EQ(plugin->currentPreset.load(), 10);

  plugin->ToggleBank();
  EXPECT_EQ(CaptureState(*plugin), start);
}

TEST(Banks, CopyThenToggleKeepsValuesAndFlipsBank) {
  auto plugin = MakePlugin();
  plugin->ApplyPreset(2);
  plugin->GetParam(kFastTime)->Set(123.0);
  ParamVector before;
  plugin->GetParamValues(before);
  plugin->events.clear();

  plugin->CopyToOtherBank();
  EXPECT_EQ(OtherBank(*plugin), before);
  EXPECT_TRUE(plugin->events.empty());
  EXPECT_FALSE(plugin->activeBank.load());

  plugin->ToggleBank();
  ParamVector after;
  EXPECT_EQ(plugin->GetParamValues(after), before);
  EXPECT_EQ(OtherBank(*plugin), before);
  EXPECT_TRUE(plugin->activeBank.load());
  EXPECT_EQ(plugin->currentPreset.load(), 2);
}

// Every parameter is one complete host edit in index order; the editor follows; then the
// preset-recall notifications for every parameter.
TEST(Banks, HostSeesOneEditPerParameterThenNotifications) {
  for (bool toggle : {false, true}) {
    auto plugin = MakePlugin();
    plugin->CopyToOtherBank();
    plugin->otherBank[kSoloTarget].store(-30.0f);
    plugin->events.clear();
    if (toggle)
      plugin->ToggleBank();
    else
      plugin->ApplyPreset(5);

    std::vector<HostEvent> expected;
    for (int i = 0; i < kNumParams; ++i) {
      expected.push_back({HostEvent::kBegin, i, 0.0});
      expected.push_back({HostEvent::kPerform, i, plugin->GetParam(i)->GetNormalized()});
      expected.push_back({HostEvent::kEnd, i, 0.0});
    }
    for (int i = 0; i < kNumParams; ++i) {
      expected.push_back({HostEvent::kChange, i, static_cast<double>(kPresetRecall)});
      expected.push_back({HostEvent::kChangeUI, i, static_cast<double>(kPresetRecall)});
    }
    EXPECT_EQ(plugin->events, expected) << (toggle ? "toggle" : "preset");

    ASSERT_EQ(plugin->delegateValues.size(), static_cast<size_t>(kNumParams));
    for (int i = 0; i < kNumParams; ++i)
      EXPECT_EQ(plugin->delegateValues[static_cast<size_t>(i)],
                (HostEvent{HostEvent::kPerform, i, plugin->GetParam(i)->GetNormalized()}));
  }
}
