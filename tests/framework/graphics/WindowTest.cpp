// The real window: a child of an X11 window made here, driven by its timer tick, fed by XTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <thread>

#include "GraphicsRig.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

struct Parent {
  Display* display = XOpenDisplay(nullptr);
  Window window = 0;
  Parent() {
    if (!display)
      return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 300, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~Parent() {
    if (display) {
      XDestroyWindow(display, window);
      XCloseDisplay(display);
    }
  }
};

struct WindowRig : GraphicsRig {
  Parent parent;
  Probe* probe = Add({20, 20, 120, 80}, "probe");
  ~WindowRig() { graphics->CloseWindow(); } // before the parent goes, also when a check failed

  // Ticks the editor until pred holds; false only at a limit that a hang reaches (a busy machine
  // can be slow to draw or to deliver an event).
  template <typename Pred> bool RunUntil(Pred pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
      graphics->OnTimer();
      if (pred())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  // Ticks the editor a set number of times.
  void Run(int ticks) {
    for (int tick = 0; tick < ticks; ++tick) {
      graphics->OnTimer();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  bool Logged(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
  }
  std::ptrdiff_t Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
  void Button(unsigned button, bool down) { XTestFakeButtonEvent(parent.display, button, down, CurrentTime); }
  void Click(int x, int y) {
    XTestFakeMotionEvent(parent.display, DefaultScreen(parent.display), x, y, CurrentTime);
    XTestFakeButtonEvent(parent.display, 1, True, CurrentTime);
    XTestFakeButtonEvent(parent.display, 1, False, CurrentTime);
    XFlush(parent.display);
  }
  void Type(KeySym key) {
    XTestFakeKeyEvent(parent.display, XKeysymToKeycode(parent.display, key), True, CurrentTime);
    XTestFakeKeyEvent(parent.display, XKeysymToKeycode(parent.display, key), False, CurrentTime);
    XSync(parent.display, False);
  }
};

TEST(Window, OpensAsChildDrawsFramesAndTakesInput) {
  WindowRig rig;
  ASSERT_NE(rig.parent.display, nullptr);
  IGraphics& g = *rig.graphics;
  ASSERT_TRUE(g.OpenWindow(reinterpret_cast<void*>(rig.parent.window)));
  EXPECT_TRUE(g.WindowIsOpen());
  EXPECT_NE(g.GetWindow(), nullptr);
  EXPECT_GE(g.GetEventFd(), 0);
  Window root = 0, parentOfEditor = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(rig.parent.display, reinterpret_cast<Window>(g.GetWindow()), &root, &parentOfEditor, &children,
             &count);
  if (children)
    XFree(children);
  EXPECT_EQ(parentOfEditor, rig.parent.window);

  EXPECT_TRUE(rig.RunUntil([&] { return g.FrameCount() > 0; }));
  EXPECT_TRUE(rig.Logged("probe draw"));

  // Twice at one place, quickly: a press, then a double click instead of a second press.
  rig.Click(50, 40);
  rig.Click(50, 40);
  EXPECT_TRUE(rig.RunUntil([&] { return rig.Logged("probe dbl 50,40"); }));
  EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "probe down 50,40"), 1);

  // Keys typed at the window are the host's (it passes them on through OnKeyDown), except while
  // the text entry is open: then they go into it.
  rig.Type(XK_Return);
  g.CreateTextEntry(*rig.probe, IText(), IRECT(20.f, 20.f, 120.f, 80.f), "", 7);
  rig.Type(XK_z);
  rig.Type(XK_Return);
  EXPECT_TRUE(rig.RunUntil([&] { return rig.Logged("probe entry z 7"); }));
  EXPECT_FALSE(rig.Logged("probe key 13"));

  g.CloseWindow();
  EXPECT_FALSE(g.WindowIsOpen());
  EXPECT_EQ(g.GetWindow(), nullptr);
  EXPECT_EQ(g.GetEventFd(), -1);
}

TEST(Window, OtherButtonsLeaveALeftDragAlone) {
  // X11 numbers: 2 the middle button, 8 and 9 the side buttons.
  for (unsigned other : {2u, 8u, 9u}) {
    SCOPED_TRACE(other);
    WindowRig rig;
    ASSERT_NE(rig.parent.display, nullptr);
    IGraphics& g = *rig.graphics;
    ASSERT_TRUE(g.OpenWindow(reinterpret_cast<void*>(rig.parent.window)));
    ASSERT_TRUE(rig.RunUntil([&] { return g.FrameCount() > 0; }));
    Display* d = rig.parent.display;
    XTestFakeMotionEvent(d, DefaultScreen(d), 50, 40, CurrentTime);
    rig.Button(1, true);
    // A quick double click of the other button while the left one is held.
    for (int i = 0; i < 2; ++i) {
      rig.Button(other, true);
      rig.Button(other, false);
    }
    XTestFakeMotionEvent(d, DefaultScreen(d), 60, 50, CurrentTime);
    XFlush(d);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Logged("probe drag 60,50"); }));
    EXPECT_EQ(rig.Count("probe down 50,40"), 1);
    EXPECT_EQ(rig.Count("probe dbl 50,40"), 0);
    EXPECT_EQ(rig.Count("probe up 50,40"), 0);

    rig.Button(1, false);
    XFlush(d);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Logged("probe up 60,50"); }));
    EXPECT_EQ(rig.Count("probe up 60,50"), 1);
    g.CloseWindow();
  }
}

TEST(Window, InputReachesControlsInDesignPointsAtAScale) {
  WindowRig rig;
  ASSERT_NE(rig.parent.display, nullptr);
  IGraphics& g = *rig.graphics;
  g.Resize(400, 300, 1.5f, false);
  ASSERT_TRUE(g.OpenWindow(reinterpret_cast<void*>(rig.parent.window)));
  rig.RunUntil([&] { return g.FrameCount() > 0; });
  rig.Click(150, 90); // pixels: design point (100, 60)
  EXPECT_TRUE(rig.RunUntil([&] { return rig.Logged("probe down 100,60"); }));
  g.CloseWindow();
}

TEST(Window, AParentThatDoesNotExistFailsTheOpening) {
  WindowRig rig;
  ASSERT_NE(rig.parent.display, nullptr);
  EXPECT_FALSE(rig.graphics->OpenWindow(reinterpret_cast<void*>(rig.parent.window + 0x100000)));
  EXPECT_FALSE(rig.graphics->WindowIsOpen());
  EXPECT_EQ(rig.graphics->GetEventFd(), -1);
  EXPECT_TRUE(rig.graphics->OpenWindow(reinterpret_cast<void*>(rig.parent.window)));
  rig.graphics->CloseWindow();
}

TEST(Window, FollowsResizes) {
  WindowRig rig;
  ASSERT_NE(rig.parent.display, nullptr);
  IGraphics& g = *rig.graphics;
  ASSERT_TRUE(g.OpenWindow(reinterpret_cast<void*>(rig.parent.window)));
  g.Resize(400, 300, 1.25f, true);
  rig.Run(200);
  Window root = 0;
  int x = 0, y = 0;
  unsigned w = 0, h = 0, border = 0, depth = 0;
  XGetGeometry(rig.parent.display, reinterpret_cast<Window>(g.GetWindow()), &root, &x, &y, &w, &h, &border,
               &depth);
  EXPECT_EQ(w, 500u);
  EXPECT_EQ(h, 375u);
  std::vector<std::uint8_t> rgba;
  int pw = 0, ph = 0;
  EXPECT_TRUE(g.RenderOffscreen(rgba, pw, ph)); // through the window's own context
  EXPECT_EQ(pw, 500);
  EXPECT_EQ(ph, 375);
  g.CloseWindow();
}

TEST(Window, OpensAndClosesManyTimes) {
  WindowRig rig;
  ASSERT_NE(rig.parent.display, nullptr);
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(rig.graphics->OpenWindow(reinterpret_cast<void*>(rig.parent.window))) << i;
    rig.graphics->OnTimer();
    rig.graphics->CloseWindow();
  }
  std::vector<std::uint8_t> rgba;
  int w = 0, h = 0;
  EXPECT_TRUE(rig.graphics->RenderOffscreen(rgba, w, h)); // the hidden context still works after
}

} // namespace
