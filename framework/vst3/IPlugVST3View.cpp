#include "IPlugVST3View.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "IGraphics.h"
#include "IPlugVST3.h"
#include "VST3Keys.h"

using namespace Steinberg;

namespace {

constexpr int kFallbackFPS = 30;

// A handler the host's run loop calls back. The host may keep its reference a little longer than
// the registration, so the handler outlives the view's interest in it and then does nothing.
template <class Interface> class RunLoopHandler : public Interface {
public:
  explicit RunLoopHandler(IPlugVST3View* owner) : view(owner) {}
  virtual ~RunLoopHandler() = default;
  RunLoopHandler(const RunLoopHandler&) = delete;
  RunLoopHandler& operator=(const RunLoopHandler&) = delete;

  tresult PLUGIN_API queryInterface(const TUID queried, void** obj) override {
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Interface)
    QUERY_INTERFACE(queried, obj, Interface::iid, Interface)
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++refCount; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --refCount;
    if (left == 0)
      delete this;
    return left;
  }

  IPlugVST3View* view; // null once the view has let go

private:
  std::atomic<uint32> refCount{1};
};

template <class Handler> void ReleaseHandler(Handler* handler) {
  if (!handler)
    return;
  handler->view = nullptr;
  handler->release();
}

} // namespace

class IPlugVST3View::TimerHandler : public RunLoopHandler<Linux::ITimerHandler> {
public:
  using RunLoopHandler::RunLoopHandler;
  // UI thread: one frame of the editor, then whatever input arrived meanwhile.
  void PLUGIN_API onTimer() override {
    if (view)
      if (IGraphics* graphics = view->plugin.GetUI())
        graphics->OnTimer();
  }
};

class IPlugVST3View::EventHandler : public RunLoopHandler<Linux::IEventHandler> {
public:
  using RunLoopHandler::RunLoopHandler;
  // UI thread: the X connection has something to read; handles it without waiting.
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override {
    if (view)
      if (IGraphics* graphics = view->plugin.GetUI())
        graphics->ProcessEvents();
  }
};

IPlugVST3View::IPlugVST3View(IPlugVST3& owner) : plugin(owner) {
  plugin.addRef();
}

IPlugVST3View::~IPlugVST3View() {
  Detach();
  plugin.release();
}

tresult PLUGIN_API IPlugVST3View::queryInterface(const TUID queried, void** obj) {
  QUERY_INTERFACE(queried, obj, FUnknown::iid, IPlugView)
  QUERY_INTERFACE(queried, obj, IPlugView::iid, IPlugView)
  QUERY_INTERFACE(queried, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API IPlugVST3View::addRef() {
  return ++refCount;
}

// A host that releases the view without removing it first still gets no window, timer or
// handler left behind.
uint32 PLUGIN_API IPlugVST3View::release() {
  const uint32 left = --refCount;
  if (left == 0)
    delete this;
  return left;
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
  return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) try {
  if (IsAttached() || !parent || isPlatformTypeSupported(type) != kResultTrue)
    return kResultFalse;
  // One editor window per plug-in: another view of the same plug-in may be showing it.
  if (IGraphics* shown = plugin.GetUI(); shown && shown->WindowIsOpen())
    return kResultFalse;
  runLoop = FindRunLoop();
  if (!runLoop)
    return kResultFalse;
  timer = new TimerHandler(this);
  events = new EventHandler(this);

  IGraphics* graphics = plugin.OpenUI();
  if (!graphics) {
    Detach();
    return kResultFalse;
  }
  graphics->SetScreenScale(contentScale);
  graphics->SetPlatformResizeHook([this](int width, int height) { return RequestResize(width, height); });
  const int fd = plugin.OpenWindow(parent) ? graphics->GetEventFd() : -1;
  if (fd < 0 || runLoop->registerEventHandler(events, fd) != kResultOk) {
    Detach();
    return kResultFalse;
  }
  eventsRegistered = true;
  const int fps = graphics->FPS() > 0 ? graphics->FPS() : kFallbackFPS;
  if (runLoop->registerTimer(timer, static_cast<Linux::TimerInterval>(std::max(1, 1000 / fps))) !=
      kResultOk) {
    Detach();
    return kResultFalse;
  }
  timerRegistered = true;
  return kResultOk;
} catch (...) { // nothing may unwind into the host
  Detach();
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::removed() {
  if (!IsAttached())
    return kResultFalse;
  Detach();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onWheel(float distance) try {
  IGraphics* graphics = plugin.GetUI();
  if (!graphics || !IsAttached())
    return kResultFalse;
  float x = 0.f, y = 0.f;
  graphics->GetMousePosition(x, y);
  return graphics->OnMouseWheel(x, y, IMouseMod(), distance) ? kResultTrue : kResultFalse;
} catch (...) { // nothing may unwind into the host
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers) try {
  keyTaken = false;
  IGraphics* graphics = plugin.GetUI();
  if (!graphics || !IsAttached())
    return kResultFalse;
  float x = 0.f, y = 0.f;
  graphics->GetMousePosition(x, y);
  if (!graphics->OnKeyDown(x, y, KeyPressFromVST3(key, keyCode, modifiers)))
    return kResultFalse;
  keyTaken = true;
  takenKey = key;
  takenCode = keyCode;
  return kResultTrue;
} catch (...) {
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::onKeyUp(char16 key, int16 keyCode, int16) {
  if (!keyTaken || key != takenKey || keyCode != takenCode)
    return kResultFalse;
  keyTaken = false;
  return kResultTrue;
}

// Undoes whatever part of attached() happened, in reverse order.
void IPlugVST3View::Detach() {
  if (!runLoop)
    return;
  if (timerRegistered)
    runLoop->unregisterTimer(timer);
  if (eventsRegistered)
    runLoop->unregisterEventHandler(events);
  timerRegistered = eventsRegistered = false;
  if (IGraphics* graphics = plugin.GetUI())
    graphics->SetPlatformResizeHook(nullptr);
  plugin.CloseWindow();
  ReleaseHandler(timer);
  ReleaseHandler(events);
  timer = nullptr;
  events = nullptr;
  runLoop->release();
  runLoop = nullptr;
}

// The frame first, as the SDK asks of hosts; some hosts offer it only through their context.
Linux::IRunLoop* IPlugVST3View::FindRunLoop() const {
  for (FUnknown* source : {static_cast<FUnknown*>(frame), plugin.getHostContext()}) {
    void* obj = nullptr;
    if (source && source->queryInterface(Linux::IRunLoop::iid, &obj) == kResultOk && obj)
      return static_cast<Linux::IRunLoop*>(obj);
  }
  return nullptr;
}

ViewRect IPlugVST3View::SizeForScale(float scale) const {
  const Config& config = plugin.GetConfig();
  return ViewRect(0, 0, IGraphics::PixelsOf(config.plugWidth, scale, contentScale),
                  IGraphics::PixelsOf(config.plugHeight, scale, contentScale));
}

// While attached the editor's own window has the last word; before, the scale it will open with.
tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
  if (!size)
    return kInvalidArgument;
  if (IGraphics* graphics = plugin.GetUI(); graphics && IsAttached()) {
    *size = ViewRect(0, 0, graphics->WindowWidth(), graphics->WindowHeight());
    return kResultOk;
  }
  const float last = plugin.GetLastEditorScale();
  *size = SizeForScale(last > 0.f ? last : 1.f);
  return kResultOk;
}

// The host's answer to a resize, ours or its own: only here does the editor take a new size. A view
// that is not attached has no window of its own, so the editor another view shows stays as it is.
tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
  if (!newSize)
    return kInvalidArgument;
  IGraphics* graphics = plugin.GetUI();
  if (!graphics || !IsAttached())
    return kResultFalse;
  // A content scale that was asked for arrives with the size the host gives for it.
  graphics->SetScreenScale(contentScale, false);
  plugin.OnParentWindowResize(newSize->getWidth(), newSize->getHeight());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::setFrame(IPlugFrame* newFrame) {
  frame = newFrame;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::canResize() {
  const Config& config = plugin.GetConfig();
  return config.plugHasUI && config.plugHostResize ? kResultTrue : kResultFalse;
}

// The answer is what onSize keeps of it, so asking again or resizing to it changes nothing.
tresult PLUGIN_API IPlugVST3View::checkSizeConstraint(ViewRect* rect) {
  if (!rect)
    return kInvalidArgument;
  const auto clampToInt = [](int64 v) {
    return static_cast<int>(std::clamp<int64>(v, 0, std::numeric_limits<int32>::max()));
  };
  int width = clampToInt(static_cast<int64>(rect->right) - rect->left);
  int height = clampToInt(static_cast<int64>(rect->bottom) - rect->top);
  if (canResize() != kResultTrue || !plugin.FitParentWindowSize(width, height, contentScale)) {
    ViewRect now;
    getSize(&now);
    width = now.getWidth();
    height = now.getHeight();
  }
  // The top-left corner stays, unless the far side would leave the coordinate range.
  const auto place = [](int32& low, int32& high, int size) {
    low = static_cast<int32>(
        std::min<int64>(low, std::numeric_limits<int32>::max() - static_cast<int64>(size)));
    high = low + size;
  };
  place(rect->left, rect->right, width);
  place(rect->top, rect->bottom, height);
  return kResultTrue;
}

// Before the editor opens the factor is kept for the opening. While it is open, the host is asked
// for the window size at the new factor and the factor holds only if it agrees.
tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor) {
  if (!std::isfinite(factor) || factor <= 0.f)
    return kInvalidArgument;
  contentScale = factor; // also what onSize and checkSizeConstraint work with during the request
  IGraphics* graphics = plugin.GetUI();
  if (!graphics || !IsAttached())
    return kResultTrue;
  graphics->SetScreenScale(factor);
  // A refused request leaves the editor at the factor it has.
  contentScale = graphics->GetScreenScale();
  return contentScale == factor ? kResultTrue : kResultFalse;
}

bool IPlugVST3View::RequestResize(int width, int height) {
  if (!frame)
    return false;
  ViewRect size(0, 0, width, height);
  return frame->resizeView(this, &size) == kResultTrue;
}
