#include <gtest/gtest.h>

#include "GraphicsRig.h"

namespace {

using Log = std::vector<std::string>;

struct Plain : IControl {
  using IControl::IControl;
  void Draw(IGraphics&) override {}
};

struct Knob : IKnobControlBase {
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

TEST(ControlValue, UserInputIsOneCompleteEditWhenTheValueChanges) {
  GraphicsRig rig;
  int actions = 0;
  IControl* c = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}, kGain, [&](IControl*) { ++actions; }));
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.5); // takes the parameter's value when attached
  c->SetValueFromUserInput(0.75);
  EXPECT_EQ(rig.plug.edits, (Log{"begin 0", "set 0 0.750000", "end 0"}));
  EXPECT_DOUBLE_EQ(rig.plug.GetParam(kGain)->Value(), 12.0);
  EXPECT_EQ(actions, 1);
  rig.plug.edits.clear();
  c->SetValueFromUserInput(0.75);
  EXPECT_TRUE(rig.plug.edits.empty());
  EXPECT_EQ(actions, 1);
}

TEST(ControlValue, DelegateValuesReachEveryBoundControlWithoutTheHost) {
  GraphicsRig rig;
  IControl* a = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}, kGain));
  IControl* b = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}, kGain));
  IControl* other = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}, kSwitch));
  rig.graphics->SetControlValueFromDelegate(kGain, 0.625);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.625);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.625);
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.0);
  EXPECT_TRUE(rig.plug.edits.empty());
  // A user edit on one moves its peers too.
  a->SetValueFromUserInput(1.0);
  EXPECT_DOUBLE_EQ(b->GetValue(), 1.0);
}

TEST(ControlValue, SteppedParametersSnapTheControlValue) {
  GraphicsRig rig;
  IControl* c = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}, kSteps));
  c->SetValueFromUserInput(0.3);
  EXPECT_DOUBLE_EQ(rig.plug.GetParam(kSteps)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.25);
}

TEST(ControlValue, DefaultWithoutParameterDoesNothing) {
  GraphicsRig rig;
  IControl* c = rig.graphics->AttachControl(new Plain({0, 0, 10, 10}));
  c->SetValueFromUserInput(0.3);
  c->SetValueToDefault();
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.3);
  EXPECT_TRUE(rig.plug.edits.empty());
  Plain detached({0, 0, 10, 10}, kGain); // bound, but attached to nothing
  detached.SetValueToDefault();
  detached.OnMouseDblClick(1, 1, {});
}

// A knob 104 points high, as the editor's are.
struct KnobRig : GraphicsRig {
  Knob* knob = new Knob({0, 0, 130, 104}, kGain);
  KnobRig() {
    graphics->AttachControl(knob);
    knob->SetValueFromUserInput(0.0);
    plug.edits.clear();
  }
  // Drags upward by the distance in design points, in steps, with the modifiers.
  void Drag(float distance, IMouseMod mod = {}) {
    graphics->OnMouseDown(60, 90, mod);
    constexpr int kSteps = 8;
    float y = 90.f;
    for (int i = 0; i < kSteps; ++i) {
      const float dy = -distance / kSteps;
      y += dy;
      graphics->OnMouseDrag(60, y, 0, dy, mod);
    }
    graphics->OnMouseUp(60, y, mod);
  }
};

class KnobDrag : public ::testing::TestWithParam<float> {};

TEST_P(KnobDrag, SweepsTheRangeOverFourTimesItsHeight) {
  KnobRig rig;
  rig.graphics->Resize(400, 300, GetParam(), false);
  struct Case {
    float distance;
    IMouseMod mod;
    double value;
  };
  IMouseMod shift, ctrl;
  shift.S = true;
  ctrl.C = true;
  for (const Case& c : {Case{104.f, {}, 0.25}, Case{416.f, {}, 1.0}, Case{-208.f, {}, 0.5},
                        Case{-104.f, shift, 0.475}, Case{-104.f, ctrl, 0.45}, Case{-5000.f, {}, 0.0}}) {
    rig.Drag(c.distance, c.mod);
    EXPECT_NEAR(rig.knob->GetValue(), c.value, 1e-9) << c.distance;
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, KnobDrag, ::testing::Values(1.f, 1.5f));

TEST(KnobDragEdit, BeginsOnPressAndEndsOnRelease) {
  KnobRig rig;
  rig.Drag(10.4f);
  ASSERT_GE(rig.plug.edits.size(), 3u);
  EXPECT_EQ(rig.plug.edits.front(), "begin 0");
  EXPECT_EQ(rig.plug.edits.back(), "end 0");
  EXPECT_EQ(
      std::count_if(rig.plug.edits.begin(), rig.plug.edits.end(),
                    [](const std::string& s) { return s.rfind("begin", 0) == 0 || s.rfind("end", 0) == 0; }),
      2);
  EXPECT_NEAR(rig.knob->GetValue(), 0.025, 1e-9);
}

TEST(KnobDragEdit, ComingBackFromBeyondTheEndFollowsTheMouse) {
  KnobRig rig;
  rig.graphics->OnMouseDown(60, 90, {});
  rig.graphics->OnMouseDrag(60, 90, 0, 104.f, {}); // a quarter below 0
  EXPECT_DOUBLE_EQ(rig.knob->GetValue(), 0.0);
  rig.graphics->OnMouseDrag(60, 90, 0, -208.f, {});
  EXPECT_NEAR(rig.knob->GetValue(), 0.25, 1e-9);
  rig.graphics->OnMouseUp(60, 90, {});
}

TEST(KnobWheel, StepsAndClamps) {
  KnobRig rig;
  IMouseMod fine;
  fine.C = true;
  struct Case {
    float d;
    IMouseMod mod;
    double value;
  };
  for (const Case& c : {Case{1.f, {}, 0.01}, Case{2.f, fine, 0.012}, Case{-5.f, {}, 0.0},
                        Case{500.f, {}, 1.0}, Case{1.f, {}, 1.0}}) {
    rig.graphics->OnMouseWheel(60, 50, c.mod, c.d);
    EXPECT_NEAR(rig.knob->GetValue(), c.value, 1e-9) << c.d;
  }
  // Each wheel step that changes the value is one edit; the last changed nothing.
  EXPECT_EQ(std::count(rig.plug.edits.begin(), rig.plug.edits.end(), "begin 0"), 4);
}

} // namespace
