// The editor view as a Linux host meets it: embedded into the test host's own X11 window, driven by
// the test host's run loop, resized by host and editor, opened and closed repeatedly, and failing
// cleanly without a run loop or a display. Runs under a private X server.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "HostWindow.h"
#include "ModuleHost.h"
#include "Params.h"
#include "VST3Keys.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

using namespace Steinberg;

namespace {

constexpr int kDesignWidth = 1180;
constexpr int kDesignHeight = 800;
constexpr int kFrames = 5;
// Timer ticks to wait for something the editor does on its own X events: only a hang reaches it.
constexpr int kPatience = 3000;

// Places in the editor at scale 1, in design points and (the parent sits at the screen's origin)
// screen pixels: the MIX knob's body, the BYPASS button, and a place outside the editor.
constexpr int kMixX = 1072, kMixY = 470;
constexpr int kBypassX = 100, kBypassY = 779;
constexpr int kOutsideX = 1500, kOutsideY = 1000;

struct ViewRelease {
  void operator()(IPlugView* view) const { view->release(); }
};
using ViewPtr = std::unique_ptr<IPlugView, ViewRelease>;

// The window size at a draw scale, as the editor computes it.
ViewRect Scaled(float scale, float contentScale = 1.f) {
  return ViewRect(0, 0,
                  static_cast<int32>(std::lround(static_cast<float>(kDesignWidth) * scale * contentScale)),
                  static_cast<int32>(std::lround(static_cast<float>(kDesignHeight) * scale * contentScale)));
}

void ExpectSize(const ViewRect& actual, const ViewRect& expected) {
  EXPECT_EQ(actual.getWidth(), expected.getWidth());
  EXPECT_EQ(actual.getHeight(), expected.getHeight());
}

ViewRect SizeOf(IPlugView& view) {
  ViewRect size;
  EXPECT_EQ(view.getSize(&size), kResultOk);
  return size;
}

tresult SetContentScale(IPlugView& view, float factor) {
  void* obj = nullptr;
  if (view.queryInterface(IPlugViewContentScaleSupport::iid, &obj) != kResultOk || !obj)
    return kNoInterface;
  auto* scaling = static_cast<IPlugViewContentScaleSupport*>(obj);
  const tresult result = scaling->setContentScaleFactor(factor);
  scaling->release();
  return result;
}

std::string SizeText(const ViewRect& rect) {
  return std::to_string(rect.getWidth()) + "x" + std::to_string(rect.getHeight());
}

// Unsets DISPLAY for its lifetime.
class NoDisplay {
public:
  NoDisplay() {
    if (const char* display = std::getenv("DISPLAY"))
      saved = display;
    unsetenv("DISPLAY");
  }
  ~NoDisplay() {
    if (!saved.empty())
      setenv("DISPLAY", saved.c_str(), 1);
  }
  NoDisplay(const NoDisplay&) = delete;
  NoDisplay& operator=(const NoDisplay&) = delete;

private:
  std::string saved;
};

class EditorView : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(parent.Open(kDesignWidth, kDesignHeight)) << "no X display"; }

  ViewPtr Create() {
    IPlugView* view = instance.controller->createView(Vst::ViewType::kEditor);
    EXPECT_NE(view, nullptr);
    return ViewPtr(view);
  }

  // A view attached to the parent window through the test host's run loop.
  ViewPtr Open() {
    ViewPtr view = Create();
    if (!view)
      return view;
    EXPECT_EQ(view->setFrame(&loop), kResultOk);
    EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    return view;
  }

  void ExpectNothingLeft() {
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_TRUE(loop.fdHandlers.empty());
    EXPECT_TRUE(parent.Children().empty());
  }

  // Runs the host's loop until done() holds; false only when the editor hangs.
  template <class Done> bool PumpUntil(Done done) {
    for (int tick = 0; tick < kPatience && !done(); ++tick)
      loop.Pump(1);
    return done();
  }

  // The user moves the mouse; the editor has seen it once its window has handled the events.
  void PointAt(int x, int y) {
    parent.MovePointer(x, y);
    loop.Pump(kFrames);
  }

  // The one window the editor made inside the parent.
  XWindowId EditorWindow() {
    const auto children = parent.Children();
    EXPECT_EQ(children.size(), 1u);
    return children.empty() ? 0 : children.front();
  }

  LoadedModule module;
  PluginInstance instance{module};
  ParentWindow parent;
  HostRunLoop loop{&parent};
};

TEST_F(EditorView, OnlyTheEditorNameMakesAView) {
  EXPECT_EQ(instance.controller->createView("inspector"), nullptr);
  EXPECT_EQ(instance.controller->createView(nullptr), nullptr);
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  void* obj = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, &obj), kResultOk);
  static_cast<IPlugViewContentScaleSupport*>(obj)->release();
  EXPECT_EQ(view->canResize(), kResultTrue);
}

TEST_F(EditorView, SupportsOnlyX11Embedding) {
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  const struct {
    FIDString type;
    tresult expected;
  } cases[] = {{kPlatformTypeX11EmbedWindowID, kResultTrue},
               {kPlatformTypeHWND, kResultFalse},
               {kPlatformTypeNSView, kResultFalse},
               {kPlatformTypeHIView, kResultFalse},
               {nullptr, kResultFalse}};
  for (const auto& c : cases)
    EXPECT_EQ(view->isPlatformTypeSupported(c.type), c.expected) << (c.type ? c.type : "null");
}

TEST_F(EditorView, DesignSizeBeforeTheFirstOpening) {
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  ExpectSize(SizeOf(*view), Scaled(1.f));
}

TEST_F(EditorView, RunsInsideTheHostWindowOnTheHostRunLoop) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  ASSERT_EQ(loop.timers.size(), 1u);
  EXPECT_EQ(loop.timers.front().interval, 1000u / 30u); // the editor's 30 frames per second
  ASSERT_EQ(loop.fdHandlers.size(), 1u);
  EXPECT_GE(loop.fdHandlers.front().fd, 0);

  loop.Pump(kFrames);
  EXPECT_GE(loop.timerTicks, kFrames);
  const XWindowId editor = EditorWindow();
  ExpectSize(parent.SizeOf(editor), SizeOf(*view));
  ExpectSize(SizeOf(*view), Scaled(1.f));

  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
  EXPECT_EQ(view->removed(), kResultFalse); // nothing to remove twice
}

// The backdrop's gradient reaches from the editor window's top row to its bottom row, at any scale.
TEST_F(EditorView, EditorDrawsIntoTheHostWindow) {
  const std::array<int, 3> top{32, 37, 50}, bottom{15, 21, 30};
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  for (const float scale : {1.f, 1.2f}) {
    SCOPED_TRACE(scale);
    const ViewRect size = Scaled(scale);
    parent.Resize(size.getWidth(), size.getHeight());
    ViewRect rect = size;
    view->onSize(&rect);
    loop.Pump(kFrames);
    const XWindowId editor = EditorWindow();
    for (const auto& [y, expected] : {std::pair{1, top}, std::pair{size.getHeight() - 2, bottom}}) {
      const auto rgb = parent.PixelOf(editor, 2, y);
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(rgb[static_cast<std::size_t>(c)], expected[static_cast<std::size_t>(c)], 3)
            << "row " << y;
    }
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorView, ReleaseWithoutRemovedLeavesNothing) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  loop.Pump(kFrames);
  EXPECT_EQ(parent.Children().size(), 1u);
  view.reset();
  ExpectNothingLeft();
}

TEST_F(EditorView, OpensAndClosesManyTimes) {
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    ViewPtr view = Open();
    ASSERT_TRUE(view);
    loop.Pump(2);
    EXPECT_EQ(parent.Children().size(), 1u);
    // Every other round the host forgets removed() and only releases.
    if (round % 2 == 0) {
      EXPECT_EQ(view->removed(), kResultOk);
    }
    view.reset();
    ExpectNothingLeft();
  }
}

TEST_F(EditorView, AttachRefusesBadArguments) {
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  view->setFrame(&loop);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->attached(parent.Handle(), nullptr), kResultFalse);
  ExpectNothingLeft();
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(loop.timers.size(), 1u);
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
}

TEST_F(EditorView, OneEditorWindowPerPlugin) {
  ViewPtr first = Open();
  ASSERT_TRUE(first);
  ViewPtr second = Create();
  ASSERT_TRUE(second);
  second->setFrame(&loop);
  EXPECT_EQ(second->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  second.reset();
  EXPECT_EQ(loop.timers.size(), 1u);
  loop.Pump(2);
  EXPECT_EQ(parent.Children().size(), 1u);
  EXPECT_EQ(first->removed(), kResultOk);
  ExpectNothingLeft();
}

TEST_F(EditorView, WithoutARunLoopAttachFailsCleanly) {
  PlainFrame plain;
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse); // no frame
  view->setFrame(&plain);
  EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  ExpectNothingLeft();
  EXPECT_EQ(view->removed(), kResultFalse);
  // Nothing of the failed attempts stands in the way of a real one.
  view->setFrame(&loop);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  loop.Pump(2);
  EXPECT_EQ(parent.Children().size(), 1u);
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
}

TEST_F(EditorView, WithoutADisplayAttachFailsCleanly) {
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  view->setFrame(&loop);
  {
    NoDisplay noDisplay;
    EXPECT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  }
  ExpectNothingLeft();
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
}

// A host that answers unregister late: the handlers it still holds do nothing.
TEST_F(EditorView, LateCallbacksAfterRemovedDoNothing) {
  loop.keepUnregistered = true;
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  const int fd = loop.fdHandlers.front().fd;
  loop.Pump(2);
  EXPECT_EQ(view->removed(), kResultOk);
  view.reset();
  ASSERT_EQ(loop.oldTimers.size(), 1u);
  ASSERT_EQ(loop.oldFdHandlers.size(), 1u);
  loop.oldTimers.front()->onTimer();
  loop.oldFdHandlers.front()->onFDIsSet(fd);
  EXPECT_TRUE(parent.Children().empty());
}

// The host passes the keys it gets to the view; the editor uses those meant for the control under
// the mouse and refuses the rest, which the host then keeps for itself.
TEST_F(EditorView, KeysFromTheHostActOnTheControlUnderTheMouse) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  loop.Pump(kFrames);
  const struct {
    int x, y;
    char16 key;
    int16 code, modifiers;
    Vst::ParamID param;
    double step; // of the parameter's normalised value
    tresult result;
  } cases[] = {
      {kMixX, kMixY, 0, VST3Key::kDown, 0, kMix, -0.01, kResultTrue},
      {kMixX, kMixY, 0, VST3Key::kDown, VST3Key::kShiftKey, kMix, -0.001, kResultTrue},
      {kMixX, kMixY, 0, VST3Key::kUp, VST3Key::kCommandKey, kMix, 0.01, kResultTrue},
      {kMixX, kMixY, 0, VST3Key::kLeft, 0, kMix, -0.01, kResultTrue},
      {kMixX, kMixY, 'q', 0, 0, kMix, 0.0, kResultFalse},
      {kMixX, kMixY, 0, VST3Key::kTab, 0, kMix, 0.0, kResultFalse},
      {kBypassX, kBypassY, ' ', VST3Key::kSpace, 0, kBypass, 1.0, kResultTrue},
      {kBypassX, kBypassY, 0, VST3Key::kReturn, 0, kBypass, -1.0, kResultTrue},
      {kBypassX, kBypassY, 0, VST3Key::kEscape, 0, kBypass, 0.0, kResultFalse},
      {kOutsideX, kOutsideY, 0, VST3Key::kDown, 0, kMix, 0.0, kResultFalse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " key " + std::to_string(c.key) +
                 " code " + std::to_string(c.code) + " modifiers " + std::to_string(c.modifiers));
    PointAt(c.x, c.y);
    const double before = instance.Normalized(c.param);
    const int edits = instance.handler.edits;
    EXPECT_EQ(view->onKeyDown(c.key, c.code, c.modifiers), c.result);
    EXPECT_EQ(view->onKeyUp(c.key, c.code, c.modifiers), c.result);
    EXPECT_NEAR(instance.Normalized(c.param), before + c.step, 1e-9);
    EXPECT_EQ(instance.handler.edits > edits, c.step != 0.0); // the host hears of every change
  }
  EXPECT_EQ(view->removed(), kResultOk);
  PointAt(kMixX, kMixY);
  EXPECT_EQ(view->onKeyDown(0, VST3Key::kDown, 0), kResultFalse); // no editor, no keys
}

TEST_F(EditorView, WheelFromTheHostTurnsTheKnobUnderTheMouse) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  PointAt(kMixX, kMixY);
  const double before = instance.Normalized(kMix);
  EXPECT_EQ(view->onWheel(-1.f), kResultTrue);
  EXPECT_NEAR(instance.Normalized(kMix), before - 0.01, 1e-9);
  PointAt(kOutsideX, kOutsideY);
  EXPECT_EQ(view->onWheel(1.f), kResultFalse);
  EXPECT_NEAR(instance.Normalized(kMix), before - 0.01, 1e-9);
  EXPECT_EQ(view->removed(), kResultOk);
}

// A click in the editor leaves the keyboard with the host: keys typed afterwards reach the host's
// window, not the control under the mouse.
TEST_F(EditorView, KeysTypedAfterAClickGoToTheHost) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  loop.Pump(kFrames);
  parent.TakeFocus();
  parent.KeyPresses();
  parent.Click(kBypassX, kBypassY);
  ASSERT_TRUE(PumpUntil([&] { return instance.Normalized(kBypass) == 1.0; })); // the click counted
  EXPECT_EQ(parent.Focus(), parent.window);
  parent.Type("space");
  loop.Pump(kFrames);
  EXPECT_EQ(parent.KeyPresses(), 1);
  EXPECT_EQ(instance.Normalized(kBypass), 1.0);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(parent.Focus(), parent.window);
}

// While the value entry is open the editor has the keyboard: the user types into it. When it
// closes, and when the host removes the view, the host's window has the keyboard again.
TEST_F(EditorView, ValueEntryHoldsTheKeyboardUntilItCloses) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  const XWindowId editor = EditorWindow();
  parent.TakeFocus();
  PointAt(kMixX, kMixY);
  ASSERT_EQ(view->onKeyDown(0, VST3Key::kReturn, 0), kResultTrue); // opens the entry
  EXPECT_EQ(view->onKeyUp(0, VST3Key::kReturn, 0), kResultTrue);
  EXPECT_EQ(parent.Focus(), editor);
  parent.KeyPresses();
  for (const char* key : {"5", "0", "Return"})
    parent.Type(key);
  EXPECT_TRUE(PumpUntil([&] { return parent.Focus() == parent.window; }));
  EXPECT_NEAR(instance.Normalized(kMix), 0.5, 1e-9); // 50 %
  EXPECT_EQ(parent.KeyPresses(), 0);

  // Keys the host passes reach an open entry as well; removing the view closes it uncommitted.
  ASSERT_EQ(view->onKeyDown(0, VST3Key::kReturn, 0), kResultTrue);
  EXPECT_EQ(parent.Focus(), editor);
  EXPECT_EQ(view->onKeyDown('7', 0, 0), kResultTrue);
  EXPECT_EQ(view->onKeyDown(0, VST3Key::kTab, 0), kResultTrue);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(parent.Focus(), parent.window);
  EXPECT_NEAR(instance.Normalized(kMix), 0.5, 1e-9);
}

TEST(EditorViewContext, RunLoopFromTheHostContext) {
  ParentWindow parent;
  ASSERT_TRUE(parent.Open(kDesignWidth, kDesignHeight)) << "no X display";
  HostRunLoop context(&parent);
  LoadedModule module;
  PluginInstance instance(module, static_cast<IPlugFrame*>(&context));
  PlainFrame frame;
  ViewPtr view(instance.controller->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  view->setFrame(&frame);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(context.timers.size(), 1u);
  EXPECT_EQ(context.fdHandlers.size(), 1u);
  context.Pump(2);
  EXPECT_EQ(parent.Children().size(), 1u);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_TRUE(context.timers.empty());
  EXPECT_TRUE(context.fdHandlers.empty());
  EXPECT_TRUE(parent.Children().empty());
}

TEST_F(EditorView, SizeConstraintKeepsAspectAndScaleLimits) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  const struct {
    ViewRect proposed;
    float scale; // of the rectangle the editor allows
  } cases[] = {
      {ViewRect(0, 0, 1180, 800), 1.f},   {ViewRect(0, 0, 1416, 960), 1.2f},
      {ViewRect(0, 0, 2360, 800), 1.f},   {ViewRect(0, 0, 1180, 1600), 1.f},
      {ViewRect(0, 0, 1298, 900), 1.1f},  {ViewRect(0, 0, 590, 400), 0.85f},
      {ViewRect(0, 0, 4000, 4000), 1.5f}, {ViewRect(0, 0, 0, 0), 0.85f},
      {ViewRect(0, 0, -20, 500), 0.85f},  {ViewRect(0, 0, 1770, 1200), 1.5f},
  };
  for (const auto& c : cases) {
    ViewRect rect = c.proposed;
    SCOPED_TRACE(std::to_string(rect.getWidth()) + "x" + std::to_string(rect.getHeight()));
    EXPECT_EQ(view->checkSizeConstraint(&rect), kResultTrue);
    ExpectSize(rect, Scaled(c.scale));
  }
  // The corner stays where the host put it.
  ViewRect offset(100, 50, 100 + 4000, 50 + 4000);
  view->checkSizeConstraint(&offset);
  EXPECT_EQ(offset.left, 100);
  EXPECT_EQ(offset.top, 50);
  ExpectSize(offset, Scaled(1.5f));
  EXPECT_EQ(view->removed(), kResultOk);
}

// The host resizes its window: within the limits the editor scales to fit, beyond them it scales
// to the limit and asks the host for the matching size.
TEST_F(EditorView, HostResizeWithinAndBeyondTheLimits) {
  const struct {
    int width, height;
    float scale;
    bool asksHost;
  } cases[] = {
      {1416, 960, 1.2f, false}, {1180, 800, 1.f, false},  {2360, 800, 1.f, false},
      {590, 400, 0.85f, true},  {4000, 4000, 1.5f, true}, {1003, 680, 0.85f, false},
  };
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    loop.resizeRequests.clear();
    parent.Resize(c.width, c.height);
    ViewRect rect(0, 0, c.width, c.height);
    EXPECT_EQ(view->onSize(&rect), kResultOk);
    loop.Pump(2);
    ExpectSize(SizeOf(*view), Scaled(c.scale));
    ExpectSize(parent.SizeOf(EditorWindow()), Scaled(c.scale));
    ASSERT_EQ(loop.resizeRequests.size(), c.asksHost ? 1u : 0u);
    if (c.asksHost)
      ExpectSize(loop.resizeRequests.front(), Scaled(c.scale));
  }
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
}

TEST_F(EditorView, ZeroOrMissingSizesChangeNothing) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  EXPECT_EQ(view->onSize(nullptr), kInvalidArgument);
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  EXPECT_EQ(view->checkSizeConstraint(nullptr), kInvalidArgument);
  ViewRect empty(0, 0, 0, 0);
  EXPECT_EQ(view->onSize(&empty), kResultOk);
  ExpectSize(SizeOf(*view), Scaled(1.f));
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorView, ContentScaleOfTheHost) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  void* obj = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, &obj), kResultOk);
  auto* scaling = static_cast<IPlugViewContentScaleSupport*>(obj);
  for (const float bad : {0.f, -1.f, NAN, INFINITY})
    EXPECT_NE(scaling->setContentScaleFactor(bad), kResultTrue);
  ExpectSize(SizeOf(*view), Scaled(1.f));

  for (const float factor : {1.5f, 2.f, 1.f}) {
    SCOPED_TRACE(factor);
    loop.resizeRequests.clear();
    EXPECT_EQ(scaling->setContentScaleFactor(factor), kResultTrue);
    loop.Pump(2);
    ExpectSize(SizeOf(*view), Scaled(1.f, factor));
    ASSERT_FALSE(loop.resizeRequests.empty());
    ExpectSize(loop.resizeRequests.back(), Scaled(1.f, factor));
    ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f, factor));
  }
  // The scale limits apply to the draw scale, so they widen with the content scale.
  scaling->setContentScaleFactor(2.f);
  ViewRect huge(0, 0, 5000, 5000);
  view->checkSizeConstraint(&huge);
  ExpectSize(huge, Scaled(1.5f, 2.f));
  scaling->release();
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
}

TEST_F(EditorView, ContentScaleBeforeAttachAppliesWhenItOpens) {
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  void* obj = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, &obj), kResultOk);
  auto* scaling = static_cast<IPlugViewContentScaleSupport*>(obj);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
  scaling->release();
  ExpectSize(SizeOf(*view), Scaled(1.f, 1.5f));
  parent.Resize(Scaled(1.f, 1.5f).getWidth(), Scaled(1.f, 1.5f).getHeight());
  view->setFrame(&loop);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  loop.Pump(2);
  ExpectSize(SizeOf(*view), Scaled(1.f, 1.5f));
  ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f, 1.5f));
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorView, ReopensAtTheLastScale) {
  {
    ViewPtr view = Open();
    ASSERT_TRUE(view);
    parent.Resize(1416, 960);
    ViewRect rect(0, 0, 1416, 960);
    view->onSize(&rect);
    ExpectSize(SizeOf(*view), Scaled(1.2f));
    EXPECT_EQ(view->removed(), kResultOk);
  }
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  ExpectSize(SizeOf(*view), Scaled(1.2f)); // what the host sizes its window to before attaching
  view->setFrame(&loop);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  loop.Pump(2);
  ExpectSize(SizeOf(*view), Scaled(1.2f));
  ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.2f));
  EXPECT_EQ(view->removed(), kResultOk);
}

// The editor asks for a new size: while the host handles the request the editor reports the size
// it has, so the host sees a change and answers with onSize, where the editor takes it.
TEST_F(EditorView, AskedSizeIsTakenInOnSize) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  for (const float factor : {2.f, 1.5f, 1.f}) {
    SCOPED_TRACE(factor);
    const ViewRect before = SizeOf(*view);
    loop.sizesDuringResize.clear();
    loop.onSizeCalls = 0;
    ASSERT_EQ(SetContentScale(*view, factor), kResultTrue);
    ASSERT_EQ(loop.sizesDuringResize.size(), 1u);
    ExpectSize(loop.sizesDuringResize.front(), before);
    EXPECT_EQ(loop.onSizeCalls, 1);
    ExpectSize(SizeOf(*view), Scaled(1.f, factor));
    loop.Pump(2);
    ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f, factor));
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

// The same order when the user drags the editor's corner handle.
TEST_F(EditorView, CornerDragIsTakenInOnSize) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  loop.Pump(2);
  // From inside the handle (the bottom-right 20 points) outwards: the scale grows by about 1.19.
  parent.Drag(kDesignWidth - 5, kDesignHeight - 5, 1400, 950);
  for (int round = 0; round < kPatience && loop.resizeRequests.empty(); ++round)
    loop.Pump(1);
  loop.Pump(2);
  ASSERT_FALSE(loop.resizeRequests.empty());
  ASSERT_EQ(loop.sizesDuringResize.size(), loop.resizeRequests.size());
  ExpectSize(loop.sizesDuringResize.front(), Scaled(1.f));
  for (std::size_t i = 0; i < loop.resizeRequests.size(); ++i)
    EXPECT_NE(loop.sizesDuringResize[i].getWidth(), loop.resizeRequests[i].getWidth()) << i;
  EXPECT_EQ(loop.onSizeCalls, static_cast<int>(loop.resizeRequests.size()));
  const ViewRect last = loop.resizeRequests.back();
  EXPECT_GT(last.getWidth(), Scaled(1.1f).getWidth());
  ExpectSize(SizeOf(*view), last);
  ExpectSize(parent.SizeOf(EditorWindow()), last);
  EXPECT_EQ(view->removed(), kResultOk);
}

// A host that keeps its window's size: the content scale is not taken, and what the view says
// afterwards, and the next opening, are for the size the editor has.
TEST_F(EditorView, RefusedContentScaleIsNotTaken) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  loop.refuseResize = true;
  EXPECT_EQ(SetContentScale(*view, 2.f), kResultFalse);
  EXPECT_EQ(loop.resizeRequests.size(), 1u);
  ExpectSize(SizeOf(*view), Scaled(1.f));
  ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f));
  ViewRect doubled(0, 0, 2360, 1600);
  EXPECT_EQ(view->checkSizeConstraint(&doubled), kResultTrue);
  ExpectSize(doubled, Scaled(1.5f));
  EXPECT_EQ(view->removed(), kResultOk);

  loop.refuseResize = false;
  ExpectSize(SizeOf(*view), Scaled(1.f));
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  loop.Pump(2);
  ExpectSize(SizeOf(*view), Scaled(1.f));
  ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f));
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorView, SizeConstraintIsTheSameBeforeAndAfterAttached) {
  const ViewRect proposals[] = {ViewRect(0, 0, 590, 400), ViewRect(0, 0, 4000, 4000),
                                ViewRect(0, 0, 1005, 2010), ViewRect(0, 0, 1416, 960), ViewRect(0, 0, 0, 0)};
  ViewPtr view = Create();
  ASSERT_TRUE(view);
  std::vector<ViewRect> detached;
  for (ViewRect rect : proposals) {
    EXPECT_EQ(view->checkSizeConstraint(&rect), kResultTrue);
    detached.push_back(rect);
  }
  view->setFrame(&loop);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  for (std::size_t i = 0; i < std::size(proposals); ++i) {
    ViewRect rect = proposals[i];
    SCOPED_TRACE(SizeText(rect));
    EXPECT_EQ(view->checkSizeConstraint(&rect), kResultTrue);
    ExpectSize(rect, detached[i]);
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

// A host that drag-resizes asks for a size, then sets the answer: the answer must stand when asked
// again, and onSize must keep it to the pixel, or the host goes on resizing. Host sizes: tall and
// wide ones, where one side follows the other's rounding, and ones near the editor's aspect.
TEST_F(EditorView, ApprovedSizesAreKeptExactly) {
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  for (const float factor : {1.f, 1.5f, 2.f}) {
    SCOPED_TRACE(factor);
    ASSERT_EQ(SetContentScale(*view, factor), kResultTrue);
    std::vector<ViewRect> proposals;
    for (int i = 0; i <= 600; ++i) {
      const int w = static_cast<int>(std::lround(static_cast<float>(880 + 3 * i) * factor));
      const int h = static_cast<int>(std::lround(static_cast<float>(600 + 2 * i) * factor));
      proposals.emplace_back(0, 0, w, 2 * w);
      proposals.emplace_back(0, 0, 3 * h, h);
      proposals.emplace_back(0, 0, w, w * kDesignHeight / kDesignWidth + i % 3 - 1);
    }
    std::vector<std::string> unstable, moved;
    for (const ViewRect& proposal : proposals) {
      ViewRect answer = proposal;
      view->checkSizeConstraint(&answer);
      ViewRect again = answer;
      view->checkSizeConstraint(&again);
      if (again.getWidth() != answer.getWidth() || again.getHeight() != answer.getHeight())
        unstable.push_back(SizeText(proposal) + " -> " + SizeText(answer) + " -> " + SizeText(again));
      ViewRect size = answer;
      EXPECT_EQ(view->onSize(&size), kResultOk);
      const ViewRect kept = SizeOf(*view);
      if (kept.getWidth() != answer.getWidth() || kept.getHeight() != answer.getHeight())
        moved.push_back(SizeText(proposal) + " -> " + SizeText(answer) + " kept as " + SizeText(kept));
    }
    EXPECT_TRUE(unstable.empty()) << unstable.size() << " answers changed, first " << unstable.front();
    EXPECT_TRUE(moved.empty()) << moved.size() << " sizes moved, first " << moved.front();
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

// Rectangles whose far side, or whose size, leaves the coordinate range.
TEST_F(EditorView, SizeConstraintAtTheEdgesOfTheCoordinates) {
  constexpr int32 kMin = std::numeric_limits<int32>::min();
  constexpr int32 kMax = std::numeric_limits<int32>::max();
  const struct {
    ViewRect proposed;
    float scale;
  } cases[] = {
      {ViewRect(kMax - 1000, kMax - 500, kMax, kMax), 0.85f},
      {ViewRect(kMax - 2000, 0, kMax, 2000), 1.5f},
      {ViewRect(kMin, kMin, kMax, kMax), 1.5f},
  };
  ViewPtr view = Open();
  ASSERT_TRUE(view);
  for (const auto& c : cases) {
    ViewRect rect = c.proposed;
    SCOPED_TRACE(std::to_string(rect.left) + "," + std::to_string(rect.top));
    EXPECT_EQ(view->checkSizeConstraint(&rect), kResultTrue);
    EXPECT_EQ(static_cast<int64>(rect.right) - rect.left, Scaled(c.scale).getWidth());
    EXPECT_EQ(static_cast<int64>(rect.bottom) - rect.top, Scaled(c.scale).getHeight());
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

// A second view of the plug-in, never attached, has no editor of its own to resize.
TEST_F(EditorView, OnlyTheAttachedViewFollowsOnSize) {
  ViewPtr shown = Open();
  ASSERT_TRUE(shown);
  ViewPtr other = Create();
  ASSERT_TRUE(other);
  ViewRect rect(0, 0, 1416, 960);
  EXPECT_EQ(other->onSize(&rect), kResultFalse);
  loop.Pump(2);
  ExpectSize(SizeOf(*shown), Scaled(1.f));
  ExpectSize(parent.SizeOf(EditorWindow()), Scaled(1.f));
  EXPECT_EQ(shown->removed(), kResultOk);
}

} // namespace
