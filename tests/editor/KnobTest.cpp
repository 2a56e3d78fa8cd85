// The knob through the graphics layer's input functions: drag gearing at two scales, wheel,
// keys, double click, the value box, the help, and greying by mode.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "ControlRig.h"

namespace {

constexpr float kBodyX = 110.f; // centre of the main-row slot-0 knob
constexpr float kBodyY = 478.f;
constexpr float kBoxY = 517.f; // inside its value box

struct KnobRig : ControlRig {
  Knob* knob = AddKnob(kMix, "MIX", MainRowRect(0));
  Knob* solo = AddKnob(kSoloTarget, "SOLO TARGET", MainRowRect(2));
  Knob* offset = AddKnob(kMixOffset, "MIX OFFSET", MainRowRect(4));

  double Value() { return Param(kMix).GetNormalized(); }
  void SetValue(double normalized) {
    Param(kMix).SetNormalized(normalized); // as host automation does: the controls aren't told
    plugin.edits.clear();
  }
  // A drag through the layer in design points, upward for negative dy.
  void Drag(float dy, const IMouseMod& mod = {}) {
    graphics->OnMouseDown(kBodyX, kBodyY, mod);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
      graphics->OnMouseDrag(kBodyX, kBodyY + dy * static_cast<float>(i) / steps, 0.f, dy / steps, mod);
    graphics->OnMouseUp(kBodyX, kBodyY + dy, mod);
  }
};

// Begin first, end last, one of each, and only values of the one parameter in between.
void ExpectOneDragEdit(const std::vector<HostEvent>& edits, int param) {
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front(), (HostEvent{HostEvent::kBegin, param, 0.0}));
  EXPECT_EQ(edits.back(), (HostEvent{HostEvent::kEnd, param, 0.0}));
  for (std::size_t i = 1; i + 1 < edits.size(); ++i) {
    EXPECT_EQ(edits[i].kind, HostEvent::kPerform);
    EXPECT_EQ(edits[i].index, param);
  }
}

struct DragCase {
  float scale;
  float dy;
  IMouseMod mod;
  double start;
  double expected;
};

void PrintTo(const DragCase& c, std::ostream* os) {
  *os << "scale " << c.scale << " dy " << c.dy << (c.mod.S ? " shift" : "") << (c.mod.C ? " ctrl" : "");
}

class KnobDrag : public testing::TestWithParam<DragCase> {};

TEST_P(KnobDrag, MovesByDistanceOverSpanAndGearing) {
  const DragCase& c = GetParam();
  KnobRig rig;
  rig.graphics->Resize(1180, 800, c.scale, false);
  rig.SetValue(c.start);
  rig.Drag(c.dy, c.mod);
  EXPECT_NEAR(rig.Value(), c.expected, 1e-9);
  ExpectOneDragEdit(rig.plugin.edits, kMix);
  EXPECT_NEAR(rig.plugin.edits[rig.plugin.edits.size() - 2].value, c.expected, 1e-9);
}

IMouseMod Shift() {
  IMouseMod m;
  m.L = m.S = true;
  return m;
}
IMouseMod Ctrl() {
  IMouseMod m;
  m.L = m.C = true;
  return m;
}
IMouseMod Left() {
  IMouseMod m;
  m.L = true;
  return m;
}

// 104-point span, gearing 4: 416 points sweep the range; Shift or Ctrl ten times finer.
INSTANTIATE_TEST_SUITE_P(
    Cases, KnobDrag,
    testing::Values(DragCase{1.f, -104.f, Left(), 0.5, 0.75}, DragCase{1.5f, -104.f, Left(), 0.5, 0.75},
                    DragCase{1.f, 52.f, Left(), 0.5, 0.375}, DragCase{1.5f, 52.f, Left(), 0.5, 0.375},
                    DragCase{1.f, -104.f, Shift(), 0.5, 0.525}, DragCase{1.5f, -104.f, Ctrl(), 0.5, 0.525},
                    DragCase{1.f, -1000.f, Left(), 0.5, 1.0}, DragCase{1.5f, 1000.f, Left(), 0.5, 0.0}));

IMouseMod Right() {
  IMouseMod m;
  m.R = true;
  return m;
}

// A right press during a left drag on MIX, somewhere in the editor.
struct SecondButtonCase {
  const char* where;
  float x, y;
};

void PrintTo(const SecondButtonCase& c, std::ostream* os) {
  *os << c.where;
}

class KnobSecondButton : public testing::TestWithParam<SecondButtonCase> {};

// The press is ignored: the drag keeps its one edit until the left button comes up, then the
// cursor is back and the knob follows the host again.
TEST_P(KnobSecondButton, StartsNoSecondGesture) {
  const SecondButtonCase& c = GetParam();
  KnobRig rig;
  rig.SetValue(0.5);
  rig.graphics->OnMouseDown(kBodyX, kBodyY, Left());
  rig.graphics->OnMouseDrag(kBodyX, kBodyY - 26.f, 0.f, -26.f, Left());
  rig.graphics->OnMouseDown(c.x, c.y, Right());
  rig.graphics->OnMouseUp(c.x, c.y, Right());
  EXPECT_TRUE(rig.knob->IsDragging());
  rig.graphics->OnMouseDrag(kBodyX, kBodyY - 52.f, 0.f, -26.f, Left());
  rig.graphics->OnMouseUp(kBodyX, kBodyY - 52.f, Left());

  EXPECT_NEAR(rig.Value(), 0.625, 1e-9);
  ExpectOneDragEdit(rig.plugin.edits, kMix);
  EXPECT_FALSE(rig.knob->IsDragging());
  EXPECT_FALSE(rig.solo->IsDragging());
  EXPECT_FALSE(rig.graphics->IsMouseCursorHidden());
  rig.Param(kMix).SetNormalized(0.123);
  rig.DirtyPass();
  EXPECT_NEAR(rig.knob->GetValue(), 0.123, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, KnobSecondButton,
                         testing::Values(SecondButtonCase{"same knob", kBodyX, kBodyY},
                                         SecondButtonCase{"another knob", MainRowRect(2).MW(), kBodyY},
                                         SecondButtonCase{"empty space", 600.f, 100.f}));

// What may reach a knob while it is dragged; none of it may open an edit inside the drag's own.
struct DuringDragCase {
  const char* what;
  void (*input)(KnobRig& rig);
};

void PrintTo(const DuringDragCase& c, std::ostream* os) {
  *os << c.what;
}

class KnobDuringDrag : public testing::TestWithParam<DuringDragCase> {};

TEST_P(KnobDuringDrag, OpensNoNestedEdit) {
  KnobRig rig;
  rig.SetValue(0.5);
  rig.graphics->OnMouseDown(kBodyX, kBodyY, Left());
  rig.graphics->OnMouseDrag(kBodyX, kBodyY - 26.f, 0.f, -26.f, Left());
  GetParam().input(rig);
  rig.graphics->OnMouseDrag(kBodyX, kBodyY - 52.f, 0.f, -26.f, Left());
  rig.graphics->OnMouseUp(kBodyX, kBodyY - 52.f, Left());
  ExpectOneDragEdit(rig.plugin.edits, kMix);
  EXPECT_NEAR(rig.Value(), 0.625, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnobDuringDrag,
    testing::Values(
        DuringDragCase{"wheel", [](KnobRig& rig) { rig.graphics->OnMouseWheel(kBodyX, kBodyY, Left(), 1.f); }},
        DuringDragCase{"up", [](KnobRig& rig) { rig.Key(kBodyX, kBodyY, kVK_UP); }},
        DuringDragCase{"shift left", [](KnobRig& rig) { rig.Key(kBodyX, kBodyY, kVK_LEFT, true); }},
        DuringDragCase{"home", [](KnobRig& rig) { rig.Key(kBodyX, kBodyY, kVK_HOME); }}));

TEST(Knob, PressWithoutMovementChangesNothing) {
  KnobRig rig;
  rig.SetValue(0.3);
  rig.Click(kBodyX, kBodyY);
  EXPECT_DOUBLE_EQ(rig.Value(), 0.3);
  for (const HostEvent& e : rig.plugin.edits)
    EXPECT_NE(e.kind, HostEvent::kPerform);
}

struct KeyCase {
  double start;
  int vk;
  bool shift, ctrl, alt;
  double expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << "from " << c.start << " key " << c.vk << (c.shift ? " shift" : "") << (c.ctrl ? " ctrl" : "")
      << (c.alt ? " alt" : "");
}

class KnobKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(KnobKeys, StepAndClamp) {
  const KeyCase& c = GetParam();
  KnobRig rig;
  rig.SetValue(c.start);
  EXPECT_TRUE(rig.Key(kBodyX, kBodyY, c.vk, c.shift, c.ctrl, c.alt));
  EXPECT_NEAR(rig.Value(), c.expected, 1e-12);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kMix, rig.Value()));
}

INSTANTIATE_TEST_SUITE_P(Cases, KnobKeys,
                         testing::Values(KeyCase{0.5, kVK_UP, false, false, false, 0.51},
                                         KeyCase{0.5, kVK_RIGHT, false, false, false, 0.51},
                                         KeyCase{0.5, kVK_DOWN, false, false, false, 0.49},
                                         KeyCase{0.5, kVK_LEFT, false, false, false, 0.49},
                                         KeyCase{0.995, kVK_UP, false, false, false, 1.0},
                                         KeyCase{0.004, kVK_DOWN, false, false, false, 0.0},
                                         KeyCase{0.5, kVK_RIGHT, true, false, false, 0.501},
                                         KeyCase{0.5, kVK_RIGHT, false, true, false, 0.51},
                                         KeyCase{0.5, kVK_LEFT, false, false, true, 0.49},
                                         KeyCase{0.2, kVK_HOME, false, false, false, 1.0}));

TEST(Knob, StepAtTheEndOfTheRangeInformsNoHost) {
  KnobRig rig;
  rig.SetValue(1.0);
  EXPECT_TRUE(rig.Key(kBodyX, kBodyY, kVK_UP));
  EXPECT_DOUBLE_EQ(rig.Value(), 1.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(Knob, OtherKeysAreNotHandled) {
  KnobRig rig;
  rig.SetValue(0.5);
  for (int vk : {kVK_TAB, kVK_ESCAPE, kVK_SPACE, kVK_END})
    EXPECT_FALSE(rig.Key(kBodyX, kBodyY, vk)) << vk;
  EXPECT_DOUBLE_EQ(rig.Value(), 0.5);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(Knob, ReturnOpensTheEntryOverTheValueBox) {
  KnobRig rig;
  EXPECT_TRUE(rig.Key(kBodyX, kBodyY, kVK_RETURN));
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), rig.knob->valueEntry);
  EXPECT_STREQ(rig.graphics->GetTextEntryText(), "100");
}

TEST(Knob, DoubleClickReturnsToTheDefaultInOneEdit) {
  KnobRig rig;
  IParam& solo = rig.Param(kSoloTarget);
  solo.Set(-30.0);
  rig.plugin.edits.clear();
  const IRECT r = MainRowRect(2);
  rig.graphics->OnMouseDblClick(r.MW(), r.T + 49.f, Left());
  rig.graphics->OnMouseUp(r.MW(), r.T + 49.f, Left());
  EXPECT_DOUBLE_EQ(solo.Value(), -18.0);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kSoloTarget, solo.GetNormalized()));
}

struct WheelCase {
  double start;
  float d;
  bool fine;
  double expected;
};

void PrintTo(const WheelCase& c, std::ostream* os) {
  *os << "from " << c.start << " by " << c.d << (c.fine ? " fine" : "");
}

class KnobWheel : public testing::TestWithParam<WheelCase> {};

TEST_P(KnobWheel, StepsAreClamped) {
  const WheelCase& c = GetParam();
  KnobRig rig;
  rig.SetValue(c.start);
  IMouseMod mod;
  mod.S = c.fine;
  rig.graphics->OnMouseWheel(kBodyX, kBodyY, mod, c.d);
  EXPECT_NEAR(rig.Value(), c.expected, 1e-12);
}

// One fast wheel event never jumps past either end or wraps around.
INSTANTIATE_TEST_SUITE_P(Cases, KnobWheel,
                         testing::Values(WheelCase{0.5, 1.f, false, 0.51}, WheelCase{0.5, -2.f, false, 0.48},
                                         WheelCase{0.5, 1.f, true, 0.501}, WheelCase{0.995, 1.f, false, 1.0},
                                         WheelCase{0.004, -1.f, false, 0.0},
                                         WheelCase{0.5, 500.f, false, 1.0},
                                         WheelCase{0.5, -500.f, false, 0.0}));

TEST(Knob, LeftPressInTheValueBoxOpensTheEntryAndStartsNoDrag) {
  KnobRig rig;
  rig.SetValue(0.5);
  rig.graphics->OnMouseDown(kBodyX, kBoxY, Left());
  rig.graphics->OnMouseDrag(kBodyX, kBoxY - 100.f, 0.f, -100.f, Left());
  rig.graphics->OnMouseUp(kBodyX, kBoxY - 100.f, Left());
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), rig.knob->valueEntry);
  EXPECT_DOUBLE_EQ(rig.Value(), 0.5);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(Knob, RightPressInTheValueBoxOpensNothingAndStartsNoDrag) {
  KnobRig rig;
  rig.SetValue(0.5);
  IMouseMod right;
  right.R = true;
  rig.graphics->OnMouseDown(kBodyX, kBoxY, right);
  rig.graphics->OnMouseDrag(kBodyX, kBoxY - 100.f, 0.f, -100.f, right);
  rig.graphics->OnMouseUp(kBodyX, kBoxY - 100.f, right);
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(rig.Value(), 0.5);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(Knob, ValueBoxEdgesLeftAndTopInclusive) {
  KnobRig rig;
  const IRECT box = rig.knob->ValueBox();
  EXPECT_EQ(box, IRECT(50.f, 504.f, 170.f, 530.f));
  rig.graphics->OnMouseDown(box.L, box.T, Left());
  rig.graphics->OnMouseUp(box.L, box.T, Left());
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), rig.knob->valueEntry);
  rig.graphics->CancelTextEntry();
  rig.graphics->OnMouseDown(box.R, box.T + 1.f, Left()); // right edge: the body's drag
  EXPECT_TRUE(rig.knob->IsDragging());
  rig.graphics->OnMouseUp(box.R, box.T + 1.f, Left());
}

TEST(Knob, HoverAndPressWriteTheHelpWhichStaysAfterLeaving) {
  KnobRig rig;
  rig.graphics->OnMouseOver(kBodyX, kBodyY, {});
  EXPECT_EQ(rig.viewState->helpTitle, "MIX");
  EXPECT_EQ(rig.viewState->helpText, ParamHelpTexts(kMix));
  rig.graphics->OnMouseOver(5.f, 5.f, {});
  rig.graphics->OnMouseOut();
  EXPECT_EQ(rig.viewState->helpTitle, "MIX");
  const IRECT solo = MainRowRect(2);
  rig.Click(solo.MW(), solo.T + 49.f);
  EXPECT_EQ(rig.viewState->helpTitle, "SOLO TARGET");
  EXPECT_EQ(rig.viewState->helpText, ParamHelpTexts(kSoloTarget));
}

TEST(Knob, TooltipIsTheParameterHelp) {
  KnobRig rig;
  EXPECT_STREQ(rig.knob->GetTooltip(), ParamHelpTexts(kMix));
}

TEST(Knob, FollowsHostAutomationBeforeStepping) {
  KnobRig rig;
  rig.DirtyPass();
  rig.Param(kMix).SetNormalized(0.3); // the control still holds 1.0
  rig.plugin.edits.clear();
  EXPECT_TRUE(rig.Key(kBodyX, kBodyY, kVK_UP));
  EXPECT_NEAR(rig.Value(), 0.31, 1e-12);
}

// Mode greying: input ignored while grey, and the switch is made by the next frame's checks.
class KnobMode : public testing::Test {
protected:
  KnobRig rig;
  const IRECT soloRect = MainRowRect(2);
  const IRECT offsetRect = MainRowRect(4);

  void SetMode(int mode) {
    rig.Param(kMode).Set(mode);
    rig.DirtyPass();
    rig.plugin.edits.clear();
  }
  // Every input a knob takes, at the knob's body.
  void TryEverything(const IRECT& r) {
    const float x = r.MW(), y = r.T + 49.f;
    EXPECT_FALSE(rig.Key(x, y, kVK_UP));
    EXPECT_FALSE(rig.Key(x, y, kVK_HOME));
    EXPECT_FALSE(rig.Key(x, y, kVK_RETURN));
    rig.graphics->OnMouseDown(x, y, Left());
    rig.graphics->OnMouseDrag(x, y - 50.f, 0.f, -50.f, Left());
    rig.graphics->OnMouseUp(x, y - 50.f, Left());
    rig.graphics->OnMouseDblClick(x, y, Left());
    rig.graphics->OnMouseUp(x, y, Left());
    rig.graphics->OnMouseWheel(x, y, {}, 3.f);
    rig.Click(x, r.B - 10.f);
  }
};

TEST_F(KnobMode, SoloGreysTheReferenceKnobs) {
  SetMode(0);
  EXPECT_FALSE(rig.solo->IsDisabled());
  EXPECT_TRUE(rig.offset->IsDisabled());
  const double before = rig.Param(kMixOffset).Value();
  const std::string title = rig.viewState->helpTitle;
  TryEverything(offsetRect);
  EXPECT_EQ(rig.Param(kMixOffset).Value(), before);
  EXPECT_TRUE(rig.plugin.edits.empty());
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_EQ(rig.viewState->helpTitle, title);
}

TEST_F(KnobMode, MixReferenceGreysSoloTargetWithinOneFrame) {
  SetMode(0);
  rig.Param(kMode).Set(1.0);
  rig.DirtyPass();
  EXPECT_TRUE(rig.solo->IsDisabled());
  EXPECT_FALSE(rig.offset->IsDisabled());
  rig.plugin.edits.clear();
  const double before = rig.Param(kSoloTarget).Value();
  TryEverything(soloRect);
  EXPECT_EQ(rig.Param(kSoloTarget).Value(), before);
  EXPECT_TRUE(rig.plugin.edits.empty());
  EXPECT_TRUE(rig.Key(offsetRect.MW(), offsetRect.T + 49.f, kVK_UP));
  EXPECT_EQ(rig.plugin.edits.size(), 3u);
}

TEST_F(KnobMode, GreyingNeverChangesTheValue) {
  rig.Param(kSoloTarget).Set(-25.0);
  SetMode(1);
  SetMode(0);
  EXPECT_DOUBLE_EQ(rig.Param(kSoloTarget).Value(), -25.0);
}

TEST_F(KnobMode, GreyingEndsADragInProgress) {
  SetMode(0);
  const float x = soloRect.MW(), y = soloRect.T + 49.f;
  rig.graphics->OnMouseDown(x, y, Left());
  rig.graphics->OnMouseDrag(x, y - 20.f, 0.f, -20.f, Left());
  const double during = rig.Param(kSoloTarget).Value();
  rig.Param(kMode).Set(1.0);
  rig.DirtyPass();
  EXPECT_FALSE(rig.solo->IsDragging());
  ASSERT_FALSE(rig.plugin.edits.empty());
  EXPECT_EQ(rig.plugin.edits.back(), (HostEvent{HostEvent::kEnd, kSoloTarget, 0.0}));
  const std::size_t count = rig.plugin.edits.size();
  rig.graphics->OnMouseDrag(x, y - 60.f, 0.f, -40.f, Left());
  rig.graphics->OnMouseUp(x, y - 60.f, Left());
  EXPECT_DOUBLE_EQ(rig.Param(kSoloTarget).Value(), during);
  EXPECT_EQ(rig.plugin.edits.size(), count);
}

} // namespace
