#include "HostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <algorithm>

using namespace Steinberg;
using Clock = std::chrono::steady_clock;

ParentWindow::~ParentWindow() {
  if (!display)
    return;
  if (window)
    XDestroyWindow(display, window);
  XCloseDisplay(display);
}

bool ParentWindow::Open(int width, int height) {
  display = XOpenDisplay(nullptr);
  if (!display)
    return false;
  const int screen = DefaultScreen(display);
  window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                               BlackPixel(display, screen));
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask);
  XMapWindow(display, window);
  XSync(display, False);
  return window != 0;
}

void ParentWindow::Resize(int width, int height) {
  XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(display, False);
}

void ParentWindow::Drag(int fromX, int fromY, int toX, int toY) {
  const int screen = DefaultScreen(display);
  Window child = 0;
  int rootX = 0, rootY = 0;
  XTranslateCoordinates(display, window, RootWindow(display, screen), 0, 0, &rootX, &rootY, &child);
  XTestFakeMotionEvent(display, screen, rootX + fromX, rootY + fromY, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeMotionEvent(display, screen, rootX + toX, rootY + toY, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
}

std::vector<XWindowId> ParentWindow::Children() const {
  XSync(display, False);
  Window root = 0;
  Window parentOfWindow = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<XWindowId> result;
  if (XQueryTree(display, window, &root, &parentOfWindow, &children, &count)) {
    result.assign(children, children + count);
    if (children)
      XFree(children);
  }
  return result;
}

namespace {
int ignoreErrors(Display*, XErrorEvent*) {
  return 0;
}
} // namespace

ViewRect ParentWindow::SizeOf(XWindowId child) const {
  XSync(display, False);
  // A window that is already gone must not end the test through the default error handler.
  auto* previous = XSetErrorHandler(ignoreErrors);
  XWindowAttributes attributes{};
  const Status ok = XGetWindowAttributes(display, child, &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  return ok ? ViewRect(0, 0, attributes.width, attributes.height) : ViewRect();
}

namespace {
// One channel of a TrueColor pixel, scaled to 0..255.
int Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0)
    return -1;
  int shift = 0;
  while (!((mask >> shift) & 1ul))
    ++shift;
  const unsigned long max = mask >> shift;
  return static_cast<int>(((pixel & mask) >> shift) * 255ul / max);
}
} // namespace

std::array<int, 3> ParentWindow::PixelOf(XWindowId child, int x, int y) const {
  XSync(display, False);
  auto* previous = XSetErrorHandler(ignoreErrors);
  XImage* image = XGetImage(display, child, x, y, 1, 1, AllPlanes, ZPixmap);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!image)
    return {-1, -1, -1};
  const unsigned long pixel = XGetPixel(image, 0, 0);
  const std::array<int, 3> rgb{Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
                               Channel(pixel, image->blue_mask)};
  XDestroyImage(image);
  return rgb;
}

void ParentWindow::MovePointer(int x, int y) {
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XSync(display, False);
}

void ParentWindow::Click(int x, int y) {
  MovePointer(x, y);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
}

void ParentWindow::Type(const char* keysymName) {
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
}

XWindowId ParentWindow::Focus() const {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus;
}

void ParentWindow::TakeFocus() {
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
}

int ParentWindow::KeyPresses() {
  XSync(display, False);
  int count = 0;
  XEvent event;
  while (XCheckTypedWindowEvent(display, window, KeyPress, &event))
    ++count;
  return count;
}

HostRunLoop::~HostRunLoop() {
  for (auto& timer : timers)
    timer.handler->release();
  for (auto& entry : fdHandlers)
    entry.handler->release();
  for (auto* handler : oldTimers)
    handler->release();
  for (auto* handler : oldFdHandlers)
    handler->release();
}

tresult PLUGIN_API HostRunLoop::queryInterface(const TUID queried, void** obj) {
  QUERY_INTERFACE(queried, obj, FUnknown::iid, IPlugFrame)
  QUERY_INTERFACE(queried, obj, IPlugFrame::iid, IPlugFrame)
  QUERY_INTERFACE(queried, obj, Linux::IRunLoop::iid, Linux::IRunLoop)
  *obj = nullptr;
  return kNoInterface;
}

tresult PLUGIN_API HostRunLoop::resizeView(IPlugView* view, ViewRect* newSize) {
  if (!view || !newSize)
    return kInvalidArgument;
  resizeRequests.push_back(*newSize);
  if (refuseResize)
    return kResultFalse;
  if (parent)
    parent->Resize(newSize->getWidth(), newSize->getHeight());
  ViewRect now;
  view->getSize(&now);
  sizesDuringResize.push_back(now);
  if (now.getWidth() != newSize->getWidth() || now.getHeight() != newSize->getHeight()) {
    ++onSizeCalls;
    view->onSize(newSize);
  }
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::registerEventHandler(Linux::IEventHandler* handler,
                                                     Linux::FileDescriptor fd) {
  if (!handler || fd < 0)
    return kInvalidArgument;
  handler->addRef();
  fdHandlers.push_back({handler, fd});
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
  const auto found = std::find_if(fdHandlers.begin(), fdHandlers.end(),
                                  [handler](const FdHandler& entry) { return entry.handler == handler; });
  if (found == fdHandlers.end())
    return kInvalidArgument;
  if (keepUnregistered)
    oldFdHandlers.push_back(handler);
  else
    handler->release();
  fdHandlers.erase(found);
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::registerTimer(Linux::ITimerHandler* handler,
                                              Linux::TimerInterval milliseconds) {
  if (!handler || milliseconds == 0)
    return kInvalidArgument;
  handler->addRef();
  timers.push_back({handler, milliseconds, Clock::now() + std::chrono::milliseconds(milliseconds)});
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
  const auto found = std::find_if(timers.begin(), timers.end(),
                                  [handler](const Timer& timer) { return timer.handler == handler; });
  if (found == timers.end())
    return kInvalidArgument;
  if (keepUnregistered)
    oldTimers.push_back(handler);
  else
    handler->release();
  timers.erase(found);
  return kResultTrue;
}

void HostRunLoop::Pump(int ticks) {
  const int target = timerTicks + ticks;
  // Only a hang reaches it: on a busy machine a software-rendered frame can take seconds.
  const auto giveUp = Clock::now() + std::chrono::seconds(60);
  while (timerTicks < target && Clock::now() < giveUp && !timers.empty()) {
    auto next = timers.front().due;
    for (const auto& timer : timers)
      next = std::min(next, timer.due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
    std::vector<pollfd> fds;
    for (const auto& entry : fdHandlers)
      fds.push_back({entry.fd, POLLIN, 0});
    poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(0, wait.count())));
    // A callback may unregister handlers: each is looked up again before it is called.
    for (const auto& ready : fds) {
      if (!(ready.revents & POLLIN))
        continue;
      for (const auto& entry : std::vector<FdHandler>(fdHandlers))
        if (entry.fd == ready.fd &&
            std::any_of(fdHandlers.begin(), fdHandlers.end(),
                        [&entry](const FdHandler& e) { return e.handler == entry.handler; })) {
          ++fdCalls;
          entry.handler->onFDIsSet(entry.fd);
        }
    }
    const auto now = Clock::now();
    for (const auto& timer : std::vector<Timer>(timers)) {
      auto still = std::find_if(timers.begin(), timers.end(),
                                [&timer](const Timer& t) { return t.handler == timer.handler; });
      if (still == timers.end() || still->due > now)
        continue;
      still->due = now + std::chrono::milliseconds(still->interval);
      ++timerTicks;
      timer.handler->onTimer();
    }
  }
}
