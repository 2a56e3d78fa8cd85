// Every button kind through the graphics layer's input functions.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "Button.h"
#include "ControlRig.h"
#include "MakerLinks.h"

namespace {

const IRECT kBankRect(1028.f, 41.f, 1084.f, 83.f);
const IRECT kCopyRect(1096.f, 41.f, 1144.f, 83.f);
const IRECT kFreezeRect(965.f, 110.f, 1144.f, 146.f);
const IRECT kBypassRect(36.f, 763.f, 167.f, 795.f);
const IRECT kAnalyzerRect(181.f, 763.f, 310.f, 795.f);
const IRECT kMailRect(958.f, 763.f, 1144.f, 795.f);

IRECT TabRect(int page) {
  const float l = 36.f + 280.f * static_cast<float>(page);
  return {l, 555.f, l + 265.f, 583.f};
}

struct ButtonRig : ControlRig {
  Button* Make(const IRECT& r, int param, const char* label, ButtonKind kind, int page = 0) {
    return Add(new Button(r, param, label, kind, page, &plugin, viewState));
  }
  void ClickAt(const IRECT& r) { Click(r.MW(), r.MH()); }
};

// One begin, perform, end per parameter, in index order.
void ExpectWholeSetEdit(const std::vector<HostEvent>& edits, const Tamsel& plugin) {
  ASSERT_EQ(edits.size(), 3u * kNumParams);
  for (int i = 0; i < kNumParams; ++i) {
    const auto at = static_cast<std::size_t>(3 * i);
    EXPECT_EQ(std::vector<HostEvent>(edits.begin() + static_cast<long>(at),
                                     edits.begin() + static_cast<long>(at) + 3),
              OneEdit(i, plugin.GetParam(i)->GetNormalized()))
        << i;
  }
}

TEST(Button, BankSwitchInformsTheHostOncePerParameter) {
  ButtonRig rig;
  rig.Make(kBankRect, kNoParameter, "A", SwitchBank);
  rig.Param(kMaxBoost).Set(9.0);
  rig.plugin.CopyToOtherBank();
  rig.Param(kMaxBoost).Set(3.0);
  const std::string title = rig.viewState->helpTitle;
  rig.ClickAt(kBankRect);
  EXPECT_TRUE(rig.plugin.activeBank.load());
  EXPECT_DOUBLE_EQ(rig.Param(kMaxBoost).Value(), 9.0);
  ExpectWholeSetEdit(rig.plugin.edits, rig.plugin);
  EXPECT_EQ(rig.viewState->helpTitle, title); // the bank switch leaves the help alone
  rig.plugin.edits.clear();
  rig.Key(kBankRect.MW(), kBankRect.MH(), kVK_SPACE);
  EXPECT_FALSE(rig.plugin.activeBank.load());
  EXPECT_DOUBLE_EQ(rig.Param(kMaxBoost).Value(), 3.0);
  ExpectWholeSetEdit(rig.plugin.edits, rig.plugin);
}

TEST(Button, CopyFillsTheOtherBankAndExplains) {
  ButtonRig rig;
  rig.Make(kCopyRect, kNoParameter, "COPY", CopyBank);
  rig.Param(kFastTime).Set(42.0);
  rig.ClickAt(kCopyRect);
  EXPECT_FLOAT_EQ(rig.plugin.otherBank[kFastTime].load(), 42.f);
  EXPECT_FALSE(rig.plugin.activeBank.load());
  EXPECT_TRUE(rig.plugin.edits.empty());
  EXPECT_EQ(rig.viewState->helpTitle, "COPY TO OTHER BANK");
  EXPECT_EQ(rig.viewState->helpText, "Current controls were copied to the other A/B bank. Sidechain "
                                     "connectivity belongs to the host and is not changed.");
}

TEST(Button, PageTabsShowTheirPage) {
  ButtonRig rig;
  std::vector<Knob*> knobs;
  for (int page = 0; page < 4; ++page) {
    rig.Make(TabRect(page), kNoParameter, "TAB", PageTab, page);
    knobs.push_back(rig.AddKnob(kSlowTime, "SLOW TIME", IRECT(50.f, 610.f, 220.f, 714.f), page));
  }
  Knob* always = rig.AddKnob(kMix, "MIX", MainRowRect(7));
  ShowPage(*rig.viewState, *rig.graphics);
  for (int page : {2, 3, 0, 0, 1}) {
    rig.ClickAt(TabRect(page));
    EXPECT_EQ(rig.viewState->page, page);
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(knobs[static_cast<std::size_t>(k)]->IsHidden(), k != page) << page << " " << k;
    EXPECT_FALSE(always->IsHidden());
  }
}

TEST(Button, PageChangeClosesAnOpenEntryUncommitted) {
  ButtonRig rig;
  Knob* knob = rig.AddKnob(kSlowTime, "SLOW TIME", IRECT(50.f, 610.f, 220.f, 714.f), 0);
  rig.Make(TabRect(1), kNoParameter, "ACTIVITY / PAUSES", PageTab, 1);
  ShowPage(*rig.viewState, *rig.graphics);
  rig.Click(knob->ValueBox().MW(), knob->ValueBox().MH());
  ASSERT_EQ(rig.graphics->GetControlInTextEntry(), knob->valueEntry);
  rig.Type("2000");
  rig.ClickAt(TabRect(1));
  rig.DirtyPass();
  EXPECT_TRUE(knob->IsHidden());
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  rig.Commit();
  EXPECT_DOUBLE_EQ(rig.Param(kSlowTime).Value(), 1000.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(Button, FreezeHistoryTogglesAndExplainsBothWays) {
  ButtonRig rig;
  rig.Make(kFreezeRect, kNoParameter, "FREEZE HISTORY", FreezeHistory);
  for (bool frozen : {true, false}) {
    rig.viewState->helpTitle.clear();
    rig.ClickAt(kFreezeRect);
    EXPECT_EQ(rig.viewState->historyFrozen, frozen);
    EXPECT_EQ(rig.viewState->helpTitle, "DISPLAY HISTORY ONLY");
    EXPECT_EQ(rig.viewState->helpText, "History is paused for visual inspection. Live scalar meters, actual "
                                       "gain riding and host automation keep running.");
  }
}

struct ToggleCase {
  int param;
  const char* label;
  IRECT rect;
  const char* title;
};

void PrintTo(const ToggleCase& c, std::ostream* os) {
  *os << c.label;
}

class ToggleButton : public testing::TestWithParam<ToggleCase> {};

TEST_P(ToggleButton, TogglesItsParameterAsOneEdit) {
  const ToggleCase& c = GetParam();
  ButtonRig rig;
  rig.Make(c.rect, c.param, c.label, ParamToggle);
  const double start = rig.Param(c.param).Value();
  for (double expected : {1.0 - start, start}) {
    rig.plugin.edits.clear();
    rig.ClickAt(c.rect);
    EXPECT_DOUBLE_EQ(rig.Param(c.param).Value(), expected);
    EXPECT_EQ(rig.plugin.edits, OneEdit(c.param, expected));
    EXPECT_EQ(rig.viewState->helpTitle, c.title);
    EXPECT_EQ(rig.viewState->helpText, ParamHelpTexts(c.param));
  }
  rig.Key(c.rect.MW(), c.rect.MH(), kVK_RETURN);
  EXPECT_DOUBLE_EQ(rig.Param(c.param).Value(), 1.0 - start);
}

TEST_P(ToggleButton, FollowsHostAutomation) {
  const ToggleCase& c = GetParam();
  ButtonRig rig;
  rig.Make(c.rect, c.param, c.label, ParamToggle);
  rig.DirtyPass();
  rig.Param(c.param).SetNormalized(1.0 - rig.Param(c.param).GetNormalized()); // the button isn't told
  const double automated = rig.Param(c.param).Value();
  rig.ClickAt(c.rect);
  EXPECT_DOUBLE_EQ(rig.Param(c.param).Value(), 1.0 - automated);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToggleButton,
                         testing::Values(ToggleCase{kBypass, "BYPASS", kBypassRect, "Bypass"},
                                         ToggleCase{kAnalyzer, "ANALYZER", kAnalyzerRect, "Analyzer"}));

TEST(Button, SupportMailOpensTheMailLinkOnce) {
  std::vector<std::string> opened;
  IGraphics::SetOpenURLHook([&](const char* url) {
    opened.emplace_back(url);
    return true;
  });
  {
    ButtonRig rig;
    rig.Make(kMailRect, kNoParameter, kSupportMailAddress, SupportMail);
    rig.ClickAt(kMailRect);
    EXPECT_EQ(opened, std::vector<std::string>{std::string("mailto:") + kSupportMailAddress});
    rig.Key(kMailRect.MW(), kMailRect.MH(), kVK_SPACE);
    EXPECT_EQ(opened.size(), 2u);
  }
  IGraphics::SetOpenURLHook(nullptr);
}

TEST(Button, ReturnAndSpaceClickOtherKeysPass) {
  ButtonRig rig;
  rig.Make(kFreezeRect, kNoParameter, "FREEZE HISTORY", FreezeHistory);
  const float x = kFreezeRect.MW(), y = kFreezeRect.MH();
  EXPECT_FALSE(rig.Key(x, y, kVK_TAB));
  EXPECT_FALSE(rig.Key(x, y, kVK_ESCAPE));
  EXPECT_FALSE(rig.viewState->historyFrozen);
  EXPECT_TRUE(rig.Key(x, y, kVK_RETURN));
  EXPECT_TRUE(rig.viewState->historyFrozen);
  EXPECT_TRUE(rig.Key(x, y, kVK_SPACE));
  EXPECT_FALSE(rig.viewState->historyFrozen);
}

TEST(Button, AlwaysDirty) {
  ButtonRig rig;
  Button* b = rig.Make(kCopyRect, kNoParameter, "COPY", CopyBank);
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_TRUE(b->IsDirty());
    b->SetClean();
  }
}

} // namespace
