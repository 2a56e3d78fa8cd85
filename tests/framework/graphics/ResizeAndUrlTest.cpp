#include <gtest/gtest.h>

#include <clocale>

#include "GraphicsRig.h"
#include "OpenURL.h"

namespace {

struct ResizerRig : GraphicsRig {
  std::vector<std::pair<int, int>> requests;
  ResizerRig() {
    graphics->SetScaleConstraints(0.85f, 1.5f);
    graphics->AttachCornerResizer(EUIResizerMode::Scale, false, IColor(), IColor(), IColor(), 20.f);
    graphics->SetPlatformResizeHook([this](int w, int h) {
      requests.emplace_back(w, h);
      return true;
    });
  }
  // Presses the handle near the corner and drags the pointer to (x, y), points at the press's scale.
  void DragCornerTo(float x, float y) {
    graphics->OnMouseDown(395, 295, {});
    graphics->OnMouseDrag(x, y, x - 395, y - 295, {});
    graphics->OnMouseUp(x, y, {});
  }
};

TEST(CornerResizer, ScalesWithinTheConstraints) {
  ResizerRig rig;
  IGraphics& g = *rig.graphics;
  struct Case {
    float x, y, scale;
  };
  // The grabbed point stays under the pointer: scale = pointer pixels / grabbed points.
  for (const Case& c : {Case{474.f, 413.f, 1.2f}, Case{2000.f, 2000.f, 1.5f}, Case{10.f, 10.f, 0.85f}}) {
    g.Resize(400, 300, 1.f, false);
    rig.DragCornerTo(c.x, c.y);
    EXPECT_NEAR(g.GetDrawScale(), c.scale, 1e-4) << c.x;
    EXPECT_EQ(g.Width(), 400);
  }
  ASSERT_FALSE(rig.requests.empty());
  EXPECT_EQ(rig.requests.back(), std::make_pair(340, 255));
}

TEST(CornerResizer, APlatformThatRefusesKeepsTheSize) {
  ResizerRig rig;
  rig.graphics->SetPlatformResizeHook([](int, int) { return false; });
  rig.DragCornerTo(600.f, 600.f);
  EXPECT_FLOAT_EQ(rig.graphics->GetDrawScale(), 1.f);
  // Without asking the platform, the size is simply taken.
  rig.graphics->Resize(400, 300, 1.25f, false);
  EXPECT_FLOAT_EQ(rig.graphics->GetDrawScale(), 1.25f);
}

TEST(CornerResizer, PressesBesideTheHandleGoToControls) {
  ResizerRig rig;
  rig.Add({0, 0, 400, 300}, "back");
  rig.graphics->OnMouseDown(370, 290, {});
  EXPECT_EQ(rig.log, (std::vector<std::string>{"back down 370,290"}));
}

TEST(OpenURL, TheHookIsAskedOnceWithTheURL) {
  GraphicsRig rig;
  std::vector<std::string> opened;
  IGraphics::SetOpenURLHook([&](const char* url) {
    opened.emplace_back(url);
    return true;
  });
  EXPECT_TRUE(rig.graphics->OpenURL("https://example.org/a?b=1", nullptr, nullptr, nullptr));
  IGraphics::SetOpenURLHook(nullptr);
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/a?b=1"}));
  EXPECT_FALSE(OpenURL(nullptr));
  EXPECT_FALSE(OpenURL(""));
}

// Numbers shown and typed stay in the C locale whatever the process locale says.
TEST(Locale, NumbersKeepTheDecimalPointInACommaLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
    GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
  GraphicsRig rig;
  const IParam& gain = *rig.plug.GetParam(kGain);
  const std::string shown = gain.DisplayText(-1.5);
  double parsed = 0.0;
  const bool ok = gain.ParseText("2.25 dB", parsed);
  rig.graphics->CreateTextEntry(*rig.Add({0, 0, 0, 0}, "entry"), IText(), IRECT(0, 0, 100, 20), "0.5");
  rig.graphics->OnKeyDown(0, 0, IKeyPress(",", ','));
  const std::string typed = rig.graphics->GetTextEntryText();
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(shown, "-1.50 dB");
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(parsed, 2.25);
  EXPECT_EQ(typed, ","); // typed text is taken as it is, never reformatted
}

} // namespace
