// The layout without a window: the 79 controls, their order, rectangles, parameters, pages and
// tooltips, the page mechanism, and a fresh record at every opening.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Backdrop.h"
#include "Brand.h"
#include "Button.h"
#include "ContextHelp.h"
#include "EditorLayout.h"
#include "EditorRig.h"
#include "HistoryGraph.h"
#include "Knob.h"
#include "LiveMeters.h"
#include "MakerLinks.h"
#include "ModeMenu.h"
#include "PageCaption.h"
#include "Palette.h"
#include "ParamHelpTexts.h"
#include "PresetMenu.h"
#include "ReferenceHelp.h"
#include "ReferenceLine.h"
#include "Status.h"
#include "ValueEntry.h"

namespace {

constexpr const char* kTabTip = "Open this control view; hidden controls retain their values.";

struct Expected {
  IRECT rect;
  int paramIdx;
  int page; // -2: not paged
  std::string tooltip;
  bool ignoresMouse;
};

constexpr int kNotPaged = -2;

IRECT MainKnob(int slot) {
  const float l = 45.f + 137.5f * static_cast<float>(slot);
  return {l, 429.f, l + 130.f, 533.f};
}
IRECT PageKnob(int slot) {
  const float l = 50.f + 182.f * static_cast<float>(slot);
  return {l, 610.f, l + 170.f, 714.f};
}

void AddKnob(std::vector<Expected>& table, IRECT rect, int paramIdx, int page) {
  table.push_back({rect, paramIdx, page, ParamHelpTexts(paramIdx), false});
  table.push_back({IRECT(), kNoParameter, kNotPaged, "", true}); // its value entry
}

std::vector<Expected> ExpectedLayout() {
  std::vector<Expected> t;
  t.push_back({{0, 0, 1180, 800}, kNoParameter, kNotPaged, "", true});
  t.push_back({{28, 0, 238, 42}, kNoParameter, kNotPaged, "Open KELDARINE plugins and support.", false});
  t.push_back({{747, 41, 1015, 83},
               kNoParameter,
               kNotPaged,
               "16 original vocal-riding starting points. Presets change controls, never sidechain routing.",
               false});
  t.push_back({{1028, 41, 1084, 83},
               kNoParameter,
               kNotPaged,
               "Switch A/B control banks, both saved with the session.",
               false});
  t.push_back(
      {{1096, 41, 1144, 83}, kNoParameter, kNotPaged, "Copy current controls to the other A/B bank.", false});
  t.push_back({{36, 110, 300, 146}, kMode, kNotPaged, ParamHelpTexts(kMode), false});
  t.push_back({{315, 110, 950, 146}, kNoParameter, kNotPaged, "", true});
  t.push_back(
      {{965, 110, 1144, 146},
       kNoParameter,
       kNotPaged,
       "Freeze only the displayed history for inspection; audio, meters, detection and automation keep "
       "running.",
       false});
  t.push_back({{36, 155, 856, 409}, kNoParameter, kNotPaged, "", true});
  t.push_back({{872, 155, 1144, 409}, kNoParameter, kNotPaged, "", true});
  const int mainRow[] = {kInput, kOutput, kSoloTarget, kRideAmount, kMaxBoost, kMaxCut, kFastAmount, kMix};
  for (int slot = 0; slot < 8; ++slot)
    AddKnob(t, MainKnob(slot), mainRow[slot], -1);
  for (int j = 0; j < 4; ++j) {
    const float l = 36.f + 280.f * static_cast<float>(j);
    t.push_back({{l, 555, l + 265.f, 583}, kNoParameter, kNotPaged, kTabTip, false});
  }
  t.push_back({{48, 584, 1129, 603}, kNoParameter, kNotPaged, "", true});
  const std::vector<std::vector<int>> pages = {
      {kSlowTime, kFastTime, kPauseHold, kPauseReturn, kTransientProtect, kMaxGainSlew},
      {kActivityFloor, kActivityHysteresis, kPauseHold, kPauseReturn, kDetectorHPF, kDetectorLPF},
      {kSlowTime, kFastTime, kFastAmount, kReferenceSmooth, kTransientProtect, kMaxGainSlew},
      {kMixOffset, kReferenceSmooth, kReferenceFloor}};
  for (int page = 0; page < 4; ++page)
    for (size_t slot = 0; slot < pages[page].size(); ++slot)
      AddKnob(t, PageKnob(static_cast<int>(slot)), pages[page][slot], page);
  t.push_back({{596, 618, 1126, 708}, kNoParameter, kPageReference, "", true});
  t.push_back({{36, 724, 1144, 753}, kNoParameter, kNotPaged, "", true});
  t.push_back({{36, 763, 167, 795}, kBypass, kNotPaged, ParamHelpTexts(kBypass), false});
  t.push_back({{181, 763, 310, 795}, kAnalyzer, kNotPaged, ParamHelpTexts(kAnalyzer), false});
  t.push_back({{323, 759, 936, 796}, kNoParameter, kNotPaged, "", true});
  t.push_back({{958, 763, 1144, 795}, kNoParameter, kNotPaged, "Open support email.", false});
  return t;
}

int PageOf(const ViewState& vs, const IControl* control) {
  for (const PagedControl& entry : vs.pagedControls)
    if (entry.control == control)
      return entry.page;
  return kNotPaged;
}

// The paged controls shown now, as (index in the graphics, page).
std::vector<int> VisiblePagedIndexes(const EditorRig& rig) {
  std::vector<int> visible;
  for (int i = 0; i < rig.ui->NControls(); ++i) {
    const IControl* c = rig.ui->GetControl(i);
    if (PageOf(rig.View(), c) != kNotPaged && !c->IsHidden())
      visible.push_back(i);
  }
  return visible;
}

std::vector<int> IndexesOnPages(std::initializer_list<int> pages) {
  std::vector<int> indexes;
  const std::vector<Expected> table = ExpectedLayout();
  for (size_t i = 0; i < table.size(); ++i)
    for (int p : pages)
      if (table[i].page == p)
        indexes.push_back(static_cast<int>(i));
  return indexes;
}

} // namespace

TEST(EditorLayout, PlacesTheSeventyNineControlsInOrder) {
  EditorRig rig;
  ASSERT_NE(rig.ui, nullptr);
  const std::vector<Expected> table = ExpectedLayout();
  ASSERT_EQ(table.size(), 79u);
  ASSERT_EQ(rig.ui->NControls(), 79);
  for (int i = 0; i < 79; ++i) {
    SCOPED_TRACE("control " + std::to_string(i + 1));
    const IControl* c = rig.ui->GetControl(i);
    const Expected& e = table[static_cast<size_t>(i)];
    EXPECT_EQ(c->GetRECT(), e.rect);
    EXPECT_EQ(c->GetParamIdx(), e.paramIdx);
    EXPECT_EQ(PageOf(rig.View(), c), e.page);
    EXPECT_STREQ(c->GetTooltip(), e.tooltip.c_str());
    EXPECT_EQ(c->GetIgnoreMouse(), e.ignoresMouse);
    EXPECT_EQ(c->GetTag(), kNoTag);
    EXPECT_EQ(c->GetGroup(), "");
  }
}

TEST(EditorLayout, EachPlaceHoldsItsClass) {
  EditorRig rig;
  auto at = [&](int i) { return rig.ui->GetControl(i); };
  EXPECT_NE(dynamic_cast<Backdrop*>(at(0)), nullptr);
  EXPECT_NE(dynamic_cast<Brand*>(at(1)), nullptr);
  EXPECT_NE(dynamic_cast<PresetMenu*>(at(2)), nullptr);
  EXPECT_NE(dynamic_cast<ModeMenu*>(at(5)), nullptr);
  EXPECT_NE(dynamic_cast<PageCaption*>(at(30)), nullptr);
  EXPECT_NE(dynamic_cast<ReferenceLine*>(at(6)), nullptr);
  EXPECT_NE(dynamic_cast<HistoryGraph*>(at(8)), nullptr);
  EXPECT_NE(dynamic_cast<LiveMeters*>(at(9)), nullptr);
  EXPECT_NE(dynamic_cast<ReferenceHelp*>(at(73)), nullptr);
  EXPECT_NE(dynamic_cast<ContextHelp*>(at(74)), nullptr);
  EXPECT_NE(dynamic_cast<Status*>(at(77)), nullptr);

  struct ButtonPlace {
    int index;
    ButtonKind kind;
    int page;
    const char* label;
  };
  const ButtonPlace buttons[] = {
      {3, SwitchBank, 0, "A"},
      {4, CopyBank, 0, "COPY"},
      {7, FreezeHistory, 0, "FREEZE HISTORY"},
      {26, PageTab, 0, "MAIN / PHRASE"},
      {27, PageTab, 1, "ACTIVITY / PAUSES"},
      {28, PageTab, 2, "TIMING / DETAIL"},
      {29, PageTab, 3, "MIX REFERENCE"},
      {75, ParamToggle, 0, "BYPASS"},
      {76, ParamToggle, 0, "ANALYZER"},
      {78, SupportMail, 0, kSupportMailAddress},
  };
  for (const ButtonPlace& place : buttons) {
    SCOPED_TRACE(place.index);
    const auto* button = dynamic_cast<Button*>(at(place.index));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->kind, place.kind);
    EXPECT_EQ(button->page, place.page);
    EXPECT_STREQ(button->label, place.label);
  }

  // Every knob is followed by its own value entry, an empty rectangle that takes no mouse.
  const std::vector<Expected> table = ExpectedLayout();
  int knobs = 0;
  for (int i = 0; i < 79; ++i) {
    auto* knob = dynamic_cast<Knob*>(at(i));
    if (!knob)
      continue;
    ++knobs;
    SCOPED_TRACE(i);
    EXPECT_EQ(knob->GetParamIdx(), table[static_cast<size_t>(i)].paramIdx);
    EXPECT_EQ(knob->valueEntry, dynamic_cast<ValueEntry*>(at(i + 1)));
    EXPECT_NE(knob->valueEntry, nullptr);
    EXPECT_EQ(knob->GetText().size, 16.f);
    EXPECT_STREQ(knob->GetText().font.data(), kEditorFont);
  }
  EXPECT_EQ(knobs, 29);
}

TEST(EditorLayout, KnobLabelsFollowTheRows) {
  EditorRig rig;
  const std::pair<int, const char*> labels[] = {
      {10, "INPUT"},      {24, "MIX"},         {31, "SLOW TIME"},  {41, "MAX GAIN SLEW"},
      {45, "HYSTERESIS"}, {59, "FAST AMOUNT"}, {67, "MIX OFFSET"}, {71, "REFERENCE FLOOR"}};
  for (const auto& [index, label] : labels)
    EXPECT_STREQ(dynamic_cast<Knob&>(*rig.ui->GetControl(index)).label, label) << index;
}

TEST(EditorLayout, KnobRowsSpanTheirPanels) {
  EditorRig rig;
  EXPECT_EQ(rig.ui->GetControl(24)->GetRECT(), IRECT(1007.5f, 429.f, 1137.5f, 533.f)); // MIX, main slot 7
  EXPECT_EQ(rig.ui->GetControl(41)->GetRECT(), IRECT(960.f, 610.f, 1130.f, 714.f));    // page 0 slot 5
}

TEST(EditorLayout, ConfiguresTheGraphics) {
  EditorRig rig;
  EXPECT_TRUE(rig.ui->MouseOverEnabled());
  EXPECT_TRUE(rig.ui->TooltipsEnabled());
  EXPECT_FLOAT_EQ(rig.ui->GetMinScale(), 0.85f);
  EXPECT_FLOAT_EQ(rig.ui->GetMaxScale(), 1.5f);
  EXPECT_EQ(rig.ui->Width(), 1180);
  EXPECT_EQ(rig.ui->Height(), 800);
  EXPECT_EQ(rig.ui->FPS(), 30);
}

TEST(EditorLayout, PagedControlsAreTheKnobsAndTheReferenceHelp) {
  EditorRig rig;
  const ViewState& vs = rig.View();
  ASSERT_EQ(vs.pagedControls.size(), 30u);
  int everyPage = 0, perPage[4] = {};
  for (const PagedControl& entry : vs.pagedControls) {
    if (entry.page < 0)
      ++everyPage;
    else
      ++perPage[entry.page];
  }
  EXPECT_EQ(everyPage, 8);
  EXPECT_EQ(perPage[0], 6);
  EXPECT_EQ(perPage[1], 6);
  EXPECT_EQ(perPage[2], 6);
  EXPECT_EQ(perPage[3], 4); // three knobs and the reference help
  EXPECT_EQ(vs.pagedControls.back().control, rig.ui->GetControl(73));
}

TEST(EditorLayout, EachPageShowsItsControlsAndTheMainRow) {
  EditorRig rig;
  ViewState& vs = rig.View();
  EXPECT_EQ(VisiblePagedIndexes(rig), IndexesOnPages({-1, 0}));
  for (int page : {1, 2, 3, 0}) {
    SCOPED_TRACE(page);
    vs.page = page;
    ShowPage(vs, *rig.ui);
    EXPECT_EQ(VisiblePagedIndexes(rig), IndexesOnPages({-1, page}));
  }
  // Nothing unpaged is ever hidden, value entries included.
  for (int i = 0; i < rig.ui->NControls(); ++i) {
    if (PageOf(vs, rig.ui->GetControl(i)) == kNotPaged) {
      EXPECT_FALSE(rig.ui->GetControl(i)->IsHidden()) << i;
    }
  }
}

TEST(EditorLayout, HiddenControlsTakeNoMouse) {
  EditorRig rig;
  // The page-1 ACTIVITY FLOOR knob lies under the page-0 SLOW TIME knob.
  EXPECT_EQ(rig.ui->GetMouseControl(100.f, 650.f), rig.ui->GetControl(31));
  rig.View().page = kPageActivity;
  ShowPage(rig.View(), *rig.ui);
  EXPECT_EQ(rig.ui->GetMouseControl(100.f, 650.f), rig.ui->GetControl(43));
}

TEST(EditorLayout, ReopeningStartsOnTheFirstPageWithTheInitialHelp) {
  EditorRig rig;
  rig.View().page = kPageReference;
  rig.View().historyFrozen = true;
  ShowPage(rig.View(), *rig.ui);
  SetHelp(rig.View(), "MIX", "Blend of the ridden and the dry vocal.");
  rig.Reopen();
  ASSERT_NE(rig.ui, nullptr);
  const ViewState& vs = rig.View();
  EXPECT_EQ(vs.page, kPageMain);
  EXPECT_FALSE(vs.historyFrozen);
  EXPECT_EQ(vs.helpTitle, "NATURAL LEVEL / CLEAR DECISIONS");
  EXPECT_EQ(vs.helpText, ViewState().helpText);
  EXPECT_FALSE(vs.snapshot.valid);
  EXPECT_EQ(rig.ui->NControls(), 79);
  EXPECT_EQ(VisiblePagedIndexes(rig), IndexesOnPages({-1, 0}));
}

TEST(EditorLayout, NullGraphicsDoesNothing) {
  EditorRig rig;
  ViewState& view = rig.View();
  LayoutEditor(rig.plugin.get(), nullptr);
  // The open editor is left as it was: its graphics, its 79 controls and its one record.
  EXPECT_EQ(rig.plugin->GetUI(), rig.ui);
  EXPECT_EQ(rig.ui->NControls(), 79);
  EXPECT_EQ(&rig.View(), &view);
  EXPECT_EQ(view.pagedControls.size(), 30u);
}

TEST(EditorLayout, SetHelpReplacesBothTexts) {
  ViewState vs;
  SetHelp(vs, "BYPASS", "Exact bypass.");
  EXPECT_EQ(vs.helpTitle, "BYPASS");
  EXPECT_EQ(vs.helpText, "Exact bypass.");
  SetHelp(vs, "", "");
  EXPECT_EQ(vs.helpTitle, "");
  EXPECT_EQ(vs.helpText, "");
}

TEST(EditorLayout, CornerResizerStaysWithinTheScaleLimits) {
  EditorRig rig;
  const IMouseMod left{true};
  rig.ui->OnMouseDown(1175.f, 795.f, left);
  rig.ui->OnMouseDrag(200.f, 150.f, -975.f, -645.f, left);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 0.85f);
  rig.ui->OnMouseDrag(3000.f, 2000.f, 2800.f, 1850.f, left);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 1.5f);
  rig.ui->OnMouseUp(3000.f, 2000.f, left);
  EXPECT_EQ(rig.ui->NControls(), 79) << "the layout is not run again";
}
