// The mode and preset menus: opening, choosing and dismissing through the layer's input
// functions, the ticks, the shown preset and the host edits of a choice.
#include <gtest/gtest.h>

#include <string>

#include "ControlRig.h"
#include "FactoryPresets.h"
#include "ModeMenu.h"
#include "PresetMenu.h"

namespace {

constexpr float kItemHeight = 24.f; // the layer's popup rows, below the menu's rectangle

struct MenuRig : ControlRig {
  ModeMenu* mode = Add(new ModeMenu(&plugin, viewState));
  PresetMenu* presets = Add(new PresetMenu(&plugin, viewState));

  void Open(IControl* c) { Click(c->GetRECT().MW(), c->GetRECT().MH()); }
  void Choose(IControl* c, int item) {
    Open(c);
    ASSERT_TRUE(graphics->IsPopupMenuOpen());
    const float y = c->GetRECT().B + kItemHeight * (static_cast<float>(item) + 0.5f);
    Click(c->GetRECT().L + 40.f, y);
  }
  void Dismiss() { Click(600.f, 780.f); }
  // As the platform reports one: a press and release, then the second press as the double click.
  void DoubleClick(IControl* c) {
    const float x = c->GetRECT().MW(), y = c->GetRECT().MH();
    Click(x, y);
    graphics->OnMouseDblClick(x, y, {});
    graphics->OnMouseUp(x, y, {});
  }
};

TEST(ModeMenu, FixedPlaceParameterAndTooltip) {
  MenuRig rig;
  EXPECT_EQ(rig.mode->GetRECT(), IRECT(36.f, 110.f, 300.f, 146.f));
  EXPECT_EQ(rig.mode->GetParamIdx(), kMode);
  EXPECT_STREQ(rig.mode->GetTooltip(), ParamHelpTexts(kMode));
  EXPECT_STREQ(ModeName(0), "Solo");
  EXPECT_STREQ(ModeName(1), "Mix Reference");
  EXPECT_STREQ(ModeName(7), "Mix Reference");
}

TEST(ModeMenu, OpensWithTheCurrentModeTicked) {
  MenuRig rig;
  for (int mode : {0, 1}) {
    rig.Param(kMode).Set(mode);
    rig.Open(rig.mode);
    ASSERT_TRUE(rig.graphics->IsPopupMenuOpen());
    ASSERT_EQ(rig.mode->menu.NItems(), 2);
    EXPECT_EQ(rig.mode->menu.GetItem(0)->text, "Solo");
    EXPECT_EQ(rig.mode->menu.GetItem(1)->text, "Mix Reference");
    EXPECT_EQ(rig.mode->menu.GetItem(0)->GetChecked(), mode == 0);
    EXPECT_EQ(rig.mode->menu.GetItem(1)->GetChecked(), mode == 1);
    rig.Dismiss();
  }
}

TEST(ModeMenu, ChoosingSetsTheModeAsOneEdit) {
  MenuRig rig;
  rig.Choose(rig.mode, 1);
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 1.0);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kMode, 1.0));
  rig.plugin.edits.clear();
  rig.Choose(rig.mode, 1); // already set: untouched
  EXPECT_TRUE(rig.plugin.edits.empty());
  rig.Choose(rig.mode, 0);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kMode, 0.0));
}

TEST(ModeMenu, ChoosingFollowsAutomatedMode) {
  MenuRig rig;
  rig.DirtyPass();
  rig.Param(kMode).Set(1.0); // host automation: the menu isn't told
  rig.Choose(rig.mode, 0);
  EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 0.0);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kMode, 0.0));
}

TEST(ModeMenu, DismissingChangesNothingButTheHelp) {
  MenuRig rig;
  rig.Open(rig.mode);
  rig.Dismiss();
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 0.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
  EXPECT_EQ(rig.viewState->helpTitle, "SOLO / MIX REFERENCE");
  EXPECT_EQ(rig.viewState->helpText, ParamHelpTexts(kMode));
  rig.Open(rig.mode);
  rig.Key(0.f, 0.f, kVK_ESCAPE);
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(ModeMenu, DoubleClickSetsSoloAgainAsOneEdit) {
  struct Case {
    const char* from;
    bool chosen; // Mix Reference chosen in the menu, else set by automation the menu isn't told of
    double mode; // before the double click
  };
  const Case cases[] = {{"chosen", true, 1.0}, {"automated", false, 1.0}, {"solo already", false, 0.0}};
  for (const Case& c : cases) {
    MenuRig rig;
    rig.DirtyPass();
    if (c.chosen)
      rig.Choose(rig.mode, 1);
    else
      rig.Param(kMode).Set(c.mode);
    rig.plugin.edits.clear();

    rig.DoubleClick(rig.mode);

    EXPECT_FALSE(rig.graphics->IsPopupMenuOpen()) << c.from;
    EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 0.0) << c.from;
    EXPECT_EQ(rig.plugin.edits, c.mode == 0.0 ? std::vector<HostEvent>{} : OneEdit(kMode, 0.0)) << c.from;
  }
}

TEST(ModeMenu, KeyboardChoice) {
  MenuRig rig;
  const IRECT& r = rig.mode->GetRECT();
  EXPECT_FALSE(rig.Key(r.MW(), r.MH(), kVK_TAB));
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_TRUE(rig.Key(r.MW(), r.MH(), kVK_SPACE));
  ASSERT_TRUE(rig.graphics->IsPopupMenuOpen());
  rig.Key(r.MW(), r.MH(), kVK_DOWN);
  rig.Key(r.MW(), r.MH(), kVK_DOWN);
  rig.Key(r.MW(), r.MH(), kVK_RETURN);
  EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 1.0);
}

TEST(PresetMenu, FixedPlaceNamesAndTooltip) {
  MenuRig rig;
  EXPECT_EQ(rig.presets->GetRECT(), IRECT(747.f, 41.f, 1015.f, 83.f));
  EXPECT_EQ(rig.presets->GetParamIdx(), kNoParameter);
  EXPECT_STREQ(rig.presets->GetTooltip(),
               "16 original vocal-riding starting points. Presets change controls, never sidechain routing.");
  ASSERT_EQ(rig.presets->menu.NItems(), kNumFactoryPresets);
  for (int i = 0; i < kNumFactoryPresets; ++i) {
    EXPECT_EQ(rig.presets->menu.GetItem(i)->text, GetFactoryPresets()[static_cast<std::size_t>(i)].name);
    EXPECT_FALSE(rig.presets->menu.GetItem(i)->GetChecked());
  }
}

TEST(PresetMenu, ShownPresetFollowsTheValues) {
  MenuRig rig;
  EXPECT_EQ(rig.presets->shownPreset, -2);
  EXPECT_TRUE(rig.presets->IsDirty());
  EXPECT_EQ(rig.presets->shownPreset, 0); // the defaults are "Natural Lead"
  rig.presets->SetClean();
  EXPECT_FALSE(rig.presets->IsDirty());
  rig.Param(kRideAmount).Set(99.0);
  EXPECT_TRUE(rig.presets->IsDirty());
  EXPECT_EQ(rig.presets->shownPreset, -1); // "Custom"
  rig.presets->SetClean();
  rig.Param(kRideAmount).Set(100.0);
  EXPECT_TRUE(rig.presets->IsDirty());
  EXPECT_EQ(rig.presets->shownPreset, 0);
}

TEST(PresetMenu, EveryPresetIsShownByItsOwnIndex) {
  MenuRig rig;
  for (int i = kNumFactoryPresets - 1; i >= 0; --i) {
    rig.plugin.ApplyPreset(i);
    rig.DirtyPass();
    EXPECT_EQ(rig.presets->shownPreset, i);
  }
}

TEST(PresetMenu, ChoosingAppliesThePresetAsOneEditPerParameter) {
  MenuRig rig;
  Knob* knob = rig.AddKnob(kSoloTarget, "SOLO TARGET", MainRowRect(2));
  rig.Choose(rig.presets, 12); // "Mix Reference Lead"
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_EQ(rig.plugin.currentPreset.load(), 12);
  EXPECT_DOUBLE_EQ(rig.Param(kMode).Value(), 1.0);
  ASSERT_EQ(rig.plugin.edits.size(), 3u * kNumParams);
  for (int i = 0; i < kNumParams; ++i) {
    const auto at = rig.plugin.edits.begin() + 3 * i;
    EXPECT_EQ(std::vector<HostEvent>(at, at + 3), OneEdit(i, rig.Param(i).GetNormalized())) << i;
  }
  rig.DirtyPass();
  EXPECT_EQ(rig.presets->shownPreset, 12);
  EXPECT_TRUE(knob->IsDisabled());
  EXPECT_EQ(rig.viewState->helpTitle, "FACTORY STARTING POINTS");
  EXPECT_EQ(rig.viewState->helpText, "Listen and adapt to your recorded level. Presets do not connect a "
                                     "reference bus; A/B stores both sets of actual controls.");
  // The mode menu now opens with Mix Reference ticked.
  rig.Open(rig.mode);
  EXPECT_TRUE(rig.mode->menu.GetItem(1)->GetChecked());
}

TEST(PresetMenu, CustomAndBack) {
  MenuRig rig;
  rig.Choose(rig.presets, 3);
  rig.Param(kFastTime).Set(31.0);
  rig.DirtyPass();
  EXPECT_EQ(rig.presets->shownPreset, -1);
  rig.Choose(rig.presets, 3);
  rig.DirtyPass();
  EXPECT_EQ(rig.presets->shownPreset, 3);
}

TEST(PresetMenu, DismissAndKeys) {
  MenuRig rig;
  const IRECT& r = rig.presets->GetRECT();
  EXPECT_FALSE(rig.Key(r.MW(), r.MH(), kVK_TAB));
  EXPECT_TRUE(rig.Key(r.MW(), r.MH(), kVK_RETURN));
  EXPECT_TRUE(rig.graphics->IsPopupMenuOpen());
  rig.Key(0.f, 0.f, kVK_ESCAPE);
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  rig.Open(rig.presets);
  rig.Dismiss();
  EXPECT_TRUE(rig.plugin.edits.empty());
  EXPECT_EQ(rig.plugin.currentPreset.load(), 0);
  rig.presets->OnMouseDblClick(r.MW(), r.MH(), {}); // no parameter: nothing to reset
  EXPECT_TRUE(rig.plugin.edits.empty());
}

} // namespace
