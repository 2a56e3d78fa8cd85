// The brand mark's web page, and the help band's and caption's texts, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContextHelp.h"
#include "EditorRig.h"
#include "MakerLinks.h"
#include "PageCaption.h"

namespace {

// Records what the editor asks the desktop to open.
struct OpenedUrls {
  std::vector<std::string> urls;
  OpenedUrls() {
    IGraphics::SetOpenURLHook([this](const char* url) {
      urls.emplace_back(url);
      return true;
    });
  }
  ~OpenedUrls() { IGraphics::SetOpenURLHook(nullptr); }
};

constexpr float kBrandX = 120.f, kBrandY = 20.f;

} // namespace

TEST(Brand, AClickOpensTheMakersPage) {
  EditorRig rig;
  OpenedUrls opened;
  rig.ui->OnMouseDown(kBrandX, kBrandY, IMouseMod{true});
  rig.ui->OnMouseUp(kBrandX, kBrandY, IMouseMod{true});
  EXPECT_EQ(opened.urls, std::vector<std::string>{kMakerWebPage});
}

TEST(Brand, ReturnAndSpaceOpenTheMakersPageTabDoesNot) {
  struct KeyCase {
    IKeyPress key;
    bool opens;
  };
  const KeyCase cases[] = {{IKeyPress("\r", kVK_RETURN), true},
                           {IKeyPress(" ", kVK_SPACE), true},
                           {IKeyPress("\t", kVK_TAB), false},
                           {IKeyPress("k", 'K'), false}};
  EditorRig rig;
  rig.ui->OnMouseOver(kBrandX, kBrandY, IMouseMod{});
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.key.VK);
    OpenedUrls opened;
    EXPECT_EQ(rig.ui->OnKeyDown(kBrandX, kBrandY, c.key), c.opens);
    EXPECT_EQ(opened.urls, c.opens ? std::vector<std::string>{kMakerWebPage} : std::vector<std::string>{});
  }
}

TEST(Brand, MouseOverMarksItDirty) {
  EditorRig rig;
  IControl& brand = *rig.ui->GetControl(1);
  brand.SetClean();
  rig.ui->OnMouseOver(kBrandX, kBrandY, IMouseMod{});
  EXPECT_TRUE(brand.GetMouseIsOver());
  EXPECT_TRUE(brand.IsDirty());
  brand.SetClean();
  rig.ui->OnMouseOver(600.f, 300.f, IMouseMod{});
  EXPECT_FALSE(brand.GetMouseIsOver());
  EXPECT_TRUE(brand.IsDirty());
}

TEST(ContextHelp, ReportsAChangeOfTheTextOnly) {
  auto vs = std::make_shared<ViewState>();
  ContextHelp help(IRECT(36.f, 724.f, 1144.f, 753.f), vs);
  help.SetClean();
  EXPECT_TRUE(help.IsDirty()) << "the initial text is new to it";
  help.SetClean();
  EXPECT_FALSE(help.IsDirty());

  SetHelp(*vs, "ANOTHER TITLE", vs->helpText.c_str());
  EXPECT_FALSE(help.IsDirty()) << "a new title alone waits for the next full redraw";

  SetHelp(*vs, "ANOTHER TITLE", "Another text.");
  EXPECT_TRUE(help.IsDirty());
  help.SetClean();
  SetHelp(*vs, "X", "Another texT."); // same length, other bytes
  EXPECT_TRUE(help.IsDirty());
  help.SetClean();
  SetHelp(*vs, "X", "Another");
  EXPECT_TRUE(help.IsDirty());
  help.SetClean();
  SetHelp(*vs, "", "");
  EXPECT_TRUE(help.IsDirty());
  help.SetClean();
  EXPECT_FALSE(help.IsDirty());
}

TEST(ContextHelp, TakesNoMouse) {
  EditorRig rig;
  EXPECT_EQ(rig.ui->GetMouseControl(600.f, 740.f), nullptr);
}

TEST(PageCaption, NamesEachPage) {
  const std::pair<int, const char*> cases[] = {
      {0, "PHRASE SHAPE / RESPONSE / TRANSIENT DETAIL"},
      {1, "ACTIVITY / PAUSES / ANALYSIS FILTERS"},
      {2, "SLOW + FAST REQUESTS / ONE SHARED GAIN BUDGET"},
      {3, "EXTERNAL INSTRUMENTAL REFERENCE / HOST ROUTING REQUIRED"},
      {4, "EXTERNAL INSTRUMENTAL REFERENCE / HOST ROUTING REQUIRED"},
      {-1, "EXTERNAL INSTRUMENTAL REFERENCE / HOST ROUTING REQUIRED"},
  };
  for (const auto& [page, caption] : cases)
    EXPECT_STREQ(PageCaptionText(page), caption) << page;
}

TEST(PageCaption, IsDirtyInEveryFrame) {
  auto vs = std::make_shared<ViewState>();
  PageCaption caption(IRECT(48.f, 584.f, 1129.f, 603.f), vs);
  for (int frame = 0; frame < 3; ++frame) {
    caption.SetClean();
    EXPECT_TRUE(caption.IsDirty());
  }
}
