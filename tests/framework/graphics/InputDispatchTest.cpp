#include <gtest/gtest.h>

#include "GraphicsRig.h"

namespace {

using Log = std::vector<std::string>;

TEST(InputDispatch, TopmostControlThatTakesTheMouseIsHit) {
  GraphicsRig rig;
  Probe* back = rig.Add({0, 0, 400, 300}, "back");
  Probe* hidden = rig.Add({10, 10, 100, 100}, "hidden");
  Probe* ignoring = rig.Add({10, 10, 100, 100}, "ignoring");
  Probe* disabled = rig.Add({10, 10, 100, 100}, "disabled");
  hidden->Hide(true);
  ignoring->SetIgnoreMouse(true);
  disabled->SetDisabled(true);
  IGraphics& g = *rig.graphics;

  EXPECT_EQ(g.GetMouseControl(50, 50), back);
  disabled->SetMouseEventsWhenDisabled(true);
  EXPECT_EQ(g.GetMouseControl(50, 50), disabled);
  disabled->SetMouseEventsWhenDisabled(false);
  hidden->Hide(false);
  EXPECT_EQ(g.GetMouseControl(50, 50), hidden);
  // Left and top edges belong to the rectangle, right and bottom do not.
  EXPECT_EQ(g.GetMouseControl(10, 10), hidden);
  EXPECT_EQ(g.GetMouseControl(100, 50), back);
  EXPECT_EQ(g.GetMouseControl(400, 50), nullptr);
}

TEST(InputDispatch, PressedControlKeepsTheMouseUntilRelease) {
  GraphicsRig rig;
  rig.Add({0, 0, 100, 100}, "a");
  rig.Add({100, 0, 200, 100}, "b");
  IGraphics& g = *rig.graphics;
  g.OnMouseDown(50, 50, {});
  g.OnMouseDrag(150, 50, 100, 0, {});
  g.OnMouseUp(150, 50, {});
  g.OnMouseDrag(150, 60, 0, 10, {});
  EXPECT_EQ(rig.log, (Log{"a down 50,50", "a drag 150,50", "a up 150,50"}));
}

TEST(InputDispatch, MouseOverAndOutOnlyWhenEnabled) {
  GraphicsRig rig;
  Probe* a = rig.Add({0, 0, 100, 100}, "a");
  rig.Add({100, 0, 200, 100}, "b");
  IGraphics& g = *rig.graphics;
  g.OnMouseOver(50, 50, {});
  EXPECT_TRUE(rig.log.empty());

  g.EnableMouseOver(true);
  g.OnMouseOver(50, 50, {});
  EXPECT_TRUE(a->GetMouseIsOver());
  EXPECT_EQ(g.GetMouseOverControl(), a);
  g.OnMouseOver(150, 50, {});
  EXPECT_FALSE(a->GetMouseIsOver());
  g.OnMouseOut();
  EXPECT_EQ(rig.log, (Log{"a over", "a out", "b over", "b out"}));
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
}

TEST(InputDispatch, KeysGoToTheControlUnderTheMouse) {
  GraphicsRig rig;
  Probe* a = rig.Add({0, 0, 100, 100}, "a");
  IGraphics& g = *rig.graphics;
  EXPECT_TRUE(g.OnKeyDown(50, 50, IKeyPress("", kVK_TAB)));
  a->takesKeys = false;
  EXPECT_FALSE(g.OnKeyDown(50, 50, IKeyPress("", kVK_TAB)));
  EXPECT_FALSE(g.OnKeyDown(250, 50, IKeyPress("", kVK_TAB)));
  EXPECT_EQ(rig.log, (Log{"a key 9", "a key 9"}));
}

// While a host's modal dialog blocks the editor, nothing new reaches a control; a press made
// before still ends with its release.
TEST(InputDispatch, BlockedInputReachesNoControlButEndsAHold) {
  GraphicsRig rig;
  rig.Add({0, 0, 100, 100}, "a");
  rig.Add({100, 0, 200, 100}, "b");
  IGraphics& g = *rig.graphics;
  g.EnableMouseOver(true);
  g.OnMouseDown(50, 50, {});
  g.SetInputBlocked(true);
  g.OnMouseDrag(60, 50, 10, 0, {});
  g.OnMouseUp(60, 50, {});
  g.OnMouseOver(150, 50, {});
  g.OnMouseDown(150, 50, {});
  g.OnMouseUp(150, 50, {});
  g.OnMouseDblClick(150, 50, {});
  g.OnMouseWheel(150, 50, {}, 1.f);
  EXPECT_FALSE(g.OnKeyDown(150, 50, IKeyPress("", kVK_TAB)));
  g.SetInputBlocked(false);
  g.OnMouseDown(150, 50, {});
  EXPECT_EQ(rig.log, (Log{"a down 50,50", "a up 60,50", "b down 150,50"}));
}

TEST(InputDispatch, DoubleClickWithoutParameterDoesNothing) {
  GraphicsRig rig;
  struct Plain : IControl {
    using IControl::IControl;
    void Draw(IGraphics&) override {}
  };
  IControl* plain = rig.graphics->AttachControl(new Plain({0, 0, 100, 100}));
  rig.graphics->OnMouseDblClick(50, 50, {});
  plain->SetValueToDefault();
  EXPECT_TRUE(rig.plug.edits.empty());
}

TEST(InputDispatch, DoubleClickResetsABoundParameterInOneEdit) {
  GraphicsRig rig;
  struct Plain : IControl {
    using IControl::IControl;
    void Draw(IGraphics&) override {}
  };
  IControl* c = rig.graphics->AttachControl(new Plain({0, 0, 100, 100}, kGain));
  c->SetValueFromUserInput(0.75);
  rig.plug.edits.clear();
  rig.graphics->OnMouseDblClick(50, 50, {});
  EXPECT_EQ(rig.plug.edits, (Log{"begin 0", "set 0 0.500000", "end 0"}));
  EXPECT_DOUBLE_EQ(rig.plug.GetParam(kGain)->Value(), 0.0);
}

} // namespace
