#include <gtest/gtest.h>

#include "GraphicsRig.h"

namespace {

using Log = std::vector<std::string>;

Log Only(const Log& log, const std::string& what) {
  Log out;
  for (const std::string& s : log)
    if (s.size() > what.size() && s.compare(s.size() - what.size(), what.size(), what) == 0)
      out.push_back(s);
  return out;
}

TEST(Frame, AsksEveryControlInOrderThenDrawsTheVisibleOnes) {
  GraphicsRig rig;
  rig.Add({0, 0, 400, 300}, "back");
  rig.Add({10, 10, 50, 50}, "hidden")->Hide(true);
  rig.Add({20, 20, 60, 60}, "front");
  EXPECT_TRUE(rig.graphics->OnFrame());
  EXPECT_EQ(rig.log, (Log{"back dirty?", "hidden dirty?", "front dirty?", "back draw", "front draw"}));
  EXPECT_EQ(rig.graphics->FrameCount(), 1u);
}

TEST(Frame, RedrawsOnlyWhatMeetsTheDirtyArea) {
  GraphicsRig rig;
  rig.Add({0, 0, 400, 300}, "back");
  Probe* left = rig.Add({10, 10, 50, 50}, "left");
  rig.Add({40, 40, 80, 80}, "overlap");
  rig.Add({200, 10, 250, 50}, "right");
  rig.graphics->OnFrame();
  rig.log.clear();
  EXPECT_FALSE(rig.graphics->OnFrame()); // nothing dirty
  EXPECT_EQ(Only(rig.log, "draw"), Log{});

  left->SetDirty(false);
  rig.log.clear();
  EXPECT_TRUE(rig.graphics->OnFrame());
  EXPECT_EQ(Only(rig.log, "draw"), (Log{"back draw", "left draw", "overlap draw"}));
}

TEST(Frame, HidingAControlRedrawsWhatLayBeneath) {
  GraphicsRig rig;
  rig.Add({0, 0, 400, 300}, "back");
  Probe* top = rig.Add({10, 10, 50, 50}, "top");
  rig.graphics->OnFrame();
  top->Hide(true);
  rig.log.clear();
  EXPECT_TRUE(rig.graphics->OnFrame());
  EXPECT_EQ(Only(rig.log, "draw"), (Log{"back draw"}));
}

TEST(Frame, HiddenDirtyControlsAloneDrawNothing) {
  GraphicsRig rig;
  rig.Add({0, 0, 100, 100}, "a");
  Probe* hidden = rig.Add({200, 0, 300, 100}, "hidden");
  hidden->Hide(true);
  rig.graphics->OnFrame();
  hidden->SetDirty(false);
  rig.log.clear();
  EXPECT_FALSE(rig.graphics->OnFrame());
  EXPECT_EQ(rig.log, (Log{"a dirty?", "hidden dirty?"}));
}

TEST(Frame, ResizeRedrawsEverything) {
  GraphicsRig rig;
  rig.Add({0, 0, 100, 100}, "a");
  rig.Add({200, 0, 300, 100}, "b");
  rig.graphics->OnFrame();
  rig.graphics->Resize(400, 300, 1.25f, false);
  rig.log.clear();
  rig.graphics->OnFrame();
  EXPECT_EQ(Only(rig.log, "draw"), (Log{"a draw", "b draw"}));
  EXPECT_EQ(rig.graphics->WindowWidth(), 500);
  EXPECT_EQ(rig.graphics->WindowHeight(), 375);
}

TEST(Tooltip, AppearsAfterASecondOfRestAndGoesOnMovement) {
  GraphicsRig rig;
  rig.Add({0, 0, 100, 100}, "a")->SetTooltip("Help for a");
  rig.Add({100, 0, 200, 100}, "b");
  IGraphics& g = *rig.graphics;
  g.EnableTooltips(true);
  g.OnMouseOver(50, 50, {});
  for (int i = 0; i < g.FPS() - 1; ++i)
    g.OnFrame();
  EXPECT_EQ(g.GetShownTooltip(), nullptr);
  g.OnFrame();
  ASSERT_NE(g.GetShownTooltip(), nullptr);
  EXPECT_STREQ(g.GetShownTooltip(), "Help for a");
  g.OnMouseDown(50, 50, {});
  EXPECT_EQ(g.GetShownTooltip(), nullptr);
  g.OnMouseUp(50, 50, {});

  g.OnMouseOver(150, 50, {}); // no tooltip there
  for (int i = 0; i < 2 * g.FPS(); ++i)
    g.OnFrame();
  EXPECT_EQ(g.GetShownTooltip(), nullptr);

  g.EnableTooltips(false);
  g.OnMouseOver(50, 50, {});
  for (int i = 0; i < 2 * g.FPS(); ++i)
    g.OnFrame();
  EXPECT_EQ(g.GetShownTooltip(), nullptr);
}

} // namespace
