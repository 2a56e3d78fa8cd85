// The plug-in's editor as a VST3 view on Linux: the editor window is an X11 child of the host's
// window, driven by the host's run loop (a frame timer and a handler on the X connection), never by
// a thread of ours. Sizes are window pixels: the design size x draw scale x the host's content scale.
// Every call comes from the host's UI thread.
#pragma once

#include <atomic>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

class IPlugVST3;

class IPlugVST3View : public Steinberg::IPlugView, public Steinberg::IPlugViewContentScaleSupport {
public:
  // Holds a reference on the plug-in until the view is destroyed.
  explicit IPlugVST3View(IPlugVST3& plugin);
  virtual ~IPlugVST3View(); // detaches first when still attached
  IPlugVST3View(const IPlugVST3View&) = delete;
  IPlugVST3View& operator=(const IPlugVST3View&) = delete;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // IPlugView.
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  // kResultFalse, with nothing left behind, without a run loop, a display or a GL context.
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  // The host's wheel and keys act where the editor last saw the mouse (the control under it, or
  // the open text entry); kResultFalse leaves whatever the editor doesn't use to the host.
  Steinberg::tresult PLUGIN_API onWheel(float distance) override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  // Taken when its key press was.
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  // The size the editor keeps for the rectangle (the same before and after attached): the
  // rectangle keeps its top-left corner where it can.
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

  // IPlugViewContentScaleSupport: the host's scale of the screen the editor is on. kResultFalse
  // when the host refuses the window size for it: the editor keeps the factor it had.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  bool IsAttached() const { return runLoop != nullptr; }

private:
  class TimerHandler;
  class EventHandler;

  void Detach();
  Steinberg::Linux::IRunLoop* FindRunLoop() const;
  // The editor's window size in pixels for a draw scale at the current content scale.
  Steinberg::ViewRect SizeForScale(float scale) const;
  // Asks the host to make its window this size (it then calls onSize).
  bool RequestResize(int width, int height);

  std::atomic<Steinberg::uint32> refCount{1};
  IPlugVST3& plugin;
  Steinberg::IPlugFrame* frame = nullptr;        // not owned: the host keeps it while it is set
  Steinberg::Linux::IRunLoop* runLoop = nullptr; // a reference while attached
  TimerHandler* timer = nullptr;
  EventHandler* events = nullptr;
  bool timerRegistered = false;
  bool eventsRegistered = false;
  float contentScale = 1.f;
  // The last key press the editor took, for its release.
  bool keyTaken = false;
  Steinberg::char16 takenKey = 0;
  Steinberg::int16 takenCode = 0;
};
