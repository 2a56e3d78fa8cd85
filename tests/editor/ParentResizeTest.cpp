// The editor follows its parent window's size: the smaller ratio wins, the scale stays within
// 0.85..1.5, and only a clamped scale asks the platform window to follow.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "EditorRig.h"

namespace {

struct ResizeCase {
  int width, height;
  float screenScale;
  float scale;
  bool platformResize;
};

struct PlatformRequests {
  std::vector<std::pair<int, int>> sizes;
};

void WatchPlatformResizes(IGraphics& ui, PlatformRequests& requests) {
  ui.SetPlatformResizeHook([&requests](int w, int h) {
    requests.sizes.emplace_back(w, h);
    return true;
  });
}

} // namespace

class ParentResize : public testing::TestWithParam<ResizeCase> {};

TEST_P(ParentResize, ScalesToTheSmallerRatio) {
  const ResizeCase& c = GetParam();
  EditorRig rig;
  rig.ui->SetScreenScale(c.screenScale);
  rig.ui->Resize(1180, 800, 1.2f, false); // somewhere else first, so every case changes the scale
  PlatformRequests requests;
  WatchPlatformResizes(*rig.ui, requests);

  rig.plugin->OnParentWindowResize(c.width, c.height);

  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), c.scale);
  EXPECT_EQ(rig.ui->Width(), 1180);
  EXPECT_EQ(rig.ui->Height(), 800);
  if (c.platformResize) {
    ASSERT_EQ(requests.sizes.size(), 1u);
    const float px = c.scale * c.screenScale;
    EXPECT_EQ(requests.sizes[0].first, static_cast<int>(std::lround(1180.f * px)));
    EXPECT_EQ(requests.sizes[0].second, static_cast<int>(std::lround(800.f * px)));
  } else {
    EXPECT_TRUE(requests.sizes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParentResize,
    testing::Values(ResizeCase{1180, 800, 1.f, 1.f, false}, ResizeCase{590, 400, 1.f, 0.85f, true},
                    ResizeCase{2360, 800, 1.f, 1.f, false}, ResizeCase{1770, 1200, 1.5f, 1.f, false},
                    ResizeCase{1298, 1000, 1.f, 1.1f, false}, ResizeCase{3540, 2400, 1.f, 1.5f, true},
                    ResizeCase{3540, 2400, 2.f, 1.5f, false}),
    [](const testing::TestParamInfo<ResizeCase>& param) {
      const ResizeCase& c = param.param;
      return std::to_string(c.width) + "x" + std::to_string(c.height) + "AtScreenScale" +
             std::to_string(static_cast<int>(c.screenScale * 10.f));
    });

TEST(ParentResizeIgnored, NonPositiveSizesLeaveTheEditorAlone) {
  EditorRig rig;
  rig.ui->Resize(1180, 800, 1.2f, false);
  PlatformRequests requests;
  WatchPlatformResizes(*rig.ui, requests);
  const int sizes[][2] = {{0, 800}, {1180, 0}, {-1180, 800}, {1180, -800}, {0, 0}};
  for (const auto& size : sizes)
    rig.plugin->OnParentWindowResize(size[0], size[1]);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 1.2f);
  EXPECT_TRUE(requests.sizes.empty());
}

// The graphics take the clamped scale even when the window around the editor can't follow.
TEST(ParentResizeRefused, TheGraphicsStillTakeTheClampedScale) {
  const ResizeCase cases[] = {{590, 400, 1.f, 0.85f, true}, {3540, 2400, 1.f, 1.5f, true}};
  for (const ResizeCase& c : cases) {
    EditorRig rig;
    rig.ui->Resize(1180, 800, 1.2f, false);
    int asked = 0;
    rig.ui->SetPlatformResizeHook([&asked](int, int) {
      ++asked;
      return false;
    });
    rig.plugin->OnParentWindowResize(c.width, c.height);
    EXPECT_EQ(asked, 1) << c.width;
    EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), c.scale) << c.width;
    EXPECT_EQ(rig.ui->Width(), 1180);
    EXPECT_EQ(rig.ui->Height(), 800);
  }
}

TEST(ParentResizeIgnored, WithoutAnEditorOrItsControlsNothingHappens) {
  {
    Tamsel plugin;
    plugin.OnParentWindowResize(590, 400); // no graphics object
    EXPECT_EQ(plugin.GetUI(), nullptr);
    // Nothing was kept for the next editor, and the call left no resize running.
    IGraphics* ui = plugin.OpenUI();
    ASSERT_NE(ui, nullptr);
    EXPECT_FLOAT_EQ(ui->GetDrawScale(), 1.f);
    plugin.OnParentWindowResize(590, 400);
    EXPECT_FLOAT_EQ(ui->GetDrawScale(), 0.85f);
    plugin.CloseWindow();
  }

  EditorRig rig;
  rig.ui->Resize(1180, 800, 1.2f, false);
  rig.ui->RemoveAllControls();
  rig.plugin->OnParentWindowResize(590, 400);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 1.2f);
}

TEST(ParentResizeIgnored, ACallDuringTheResizeDoesNothing) {
  EditorRig rig;
  PlatformRequests requests;
  rig.ui->SetPlatformResizeHook([&](int w, int h) {
    requests.sizes.emplace_back(w, h);
    rig.plugin->OnParentWindowResize(3540, 2400); // the host answers with its own resize
    return true;
  });
  rig.plugin->OnParentWindowResize(590, 400);
  EXPECT_EQ(requests.sizes.size(), 1u);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 0.85f);

  // The guard is down again afterwards.
  rig.plugin->OnParentWindowResize(3540, 2400);
  EXPECT_EQ(requests.sizes.size(), 2u);
  EXPECT_FLOAT_EQ(rig.ui->GetDrawScale(), 1.5f);
}

// The host may resize the editor between about a third of its size and three times it.
TEST(ParentResizeLimits, TheHostMayResizeWithinTheConfiguredSizes) {
  const Tamsel plugin;
  const Config& config = plugin.GetConfig();
  EXPECT_TRUE(config.plugHostResize);
  EXPECT_EQ(config.plugMinWidth, 393);
  EXPECT_EQ(config.plugMaxWidth, 3540);
  EXPECT_EQ(config.plugMinHeight, 266);
  EXPECT_EQ(config.plugMaxHeight, 2400);
}
