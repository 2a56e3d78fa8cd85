// The test host's side of an editor: an X11 parent window of its own, and a plug frame with the
// Linux run loop a host provides (timers and file-descriptor handlers, pumped by the test with
// poll on the test's thread, as a host's UI thread would).
#pragma once

#include <array>
#include <chrono>
#include <vector>

#include "HostObjects.h"
#include "pluginterfaces/gui/iplugview.h"

// Xlib's types without its macros (None, Status, Bool, ...) in every test that includes this.
struct _XDisplay;
using XWindowId = unsigned long;

// A mapped top-level window on its own X connection that, like a host's window, selects key
// events. It sits at the root's origin, so its coordinates are the screen's. Without a display,
// Open() is false.
class ParentWindow {
public:
  ParentWindow() = default;
  ~ParentWindow();
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;

  bool Open(int width, int height);
  void* Handle() const { return reinterpret_cast<void*>(window); }
  void Resize(int width, int height);
  // Presses the first button at a point of this window, moves to another and releases, through
  // the X server's test extension (window coordinates).
  void Drag(int fromX, int fromY, int toX, int toY);
  // The windows that others (the editor) created inside this one, after a round trip.
  std::vector<XWindowId> Children() const;
  // Size of a window, after a round trip; {0, 0} when it is gone.
  Steinberg::ViewRect SizeOf(XWindowId child) const;
  // The colour (red, green, blue) the X server shows at a pixel of a window; -1s when unreadable.
  std::array<int, 3> PixelOf(XWindowId child, int x, int y) const;

  // The user at the keyboard and mouse, through the X server (XTest): what the server does with
  // the input (pointer windows, keyboard focus) is real. Each call ends with a round trip.
  void MovePointer(int x, int y);
  void Click(int x, int y);
  // A key press and release by key symbol name ("space", "Return", "5").
  void Type(const char* keysymName);
  // The window that has the keyboard focus, and giving it to this window.
  XWindowId Focus() const;
  void TakeFocus();
  // Key presses this window received since the last call.
  int KeyPresses();

  _XDisplay* display = nullptr;
  XWindowId window = 0;
};

// A frame that only lets the view resize: a host without a run loop.
class PlainFrame : public Steinberg::IPlugFrame {
public:
  virtual ~PlainFrame() = default;
  TEST_HOST_UNOWNED_FUNKNOWN(Steinberg::IPlugFrame)
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView*, Steinberg::ViewRect*) override {
    return Steinberg::kResultFalse;
  }
};

// The frame and run loop of the test host. Like a real host it keeps a reference on every
// registered handler until it is unregistered, and answers resizeView by resizing its parent
// window, asking the view for its size and calling its onSize in the same call when the two differ.
class HostRunLoop : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
public:
  explicit HostRunLoop(ParentWindow* parentWindow = nullptr) : parent(parentWindow) {}
  virtual ~HostRunLoop(); // releases whatever is still registered

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  // Runs the loop until the timers have fired ticks times in all (or a generous time has passed):
  // poll on the handlers' descriptors with the time to the next timer as timeout.
  void Pump(int ticks);

  struct Timer {
    Steinberg::Linux::ITimerHandler* handler;
    Steinberg::Linux::TimerInterval interval;
    std::chrono::steady_clock::time_point due;
  };
  struct FdHandler {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  std::vector<Timer> timers;
  std::vector<FdHandler> fdHandlers;
  std::vector<Steinberg::ViewRect> resizeRequests;
  std::vector<Steinberg::ViewRect> sizesDuringResize; // what the view's getSize said in resizeView
  int onSizeCalls = 0;                                // made by resizeView
  bool refuseResize = false;                          // a host that keeps its window's size
  int timerTicks = 0;
  int fdCalls = 0;
  // When set, unregistered handlers are kept (with their reference) in these lists, to be called
  // late as a careless host might.
  bool keepUnregistered = false;
  std::vector<Steinberg::Linux::ITimerHandler*> oldTimers;
  std::vector<Steinberg::Linux::IEventHandler*> oldFdHandlers;

private:
  ParentWindow* parent;
};
