// The editor's graphics object: owns the controls, runs the frame loop, dispatches mouse and
// keyboard input, and draws through NanoVG on OpenGL 2, either into its own X11 window (a child
// of a host's or the standalone program's window, through pugl) or offscreen into a framebuffer
// object. Everything runs on the UI thread; nothing here is ever called from the audio thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "IControl.h"
#include "IGraphicsStructs.h"
#include "IPopupMenu.h"

class IEditorDelegate;

class IGraphics {
public:
  // width, height: the design size in points; fps: frames per second of the frame loop; scale:
  // the initial draw scale (window pixels per design point, before the screen scale).
  IGraphics(IEditorDelegate& delegate, int width, int height, int fps, float scale);
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  IEditorDelegate* GetDelegate() const;

  // ---- Resources --------------------------------------------------------------------------
  // A font from the embedded resources (by file name) or a file path, registered under fontID.
  // false when it can't be read or parsed.
  bool LoadFont(const char* fontID, const char* fileNameOrResID);
  // An SVG from the embedded resources or a file path; an empty ISVG when it fails.
  ISVG LoadSVG(const char* fileNameOrResID, const char* units = "px", float dpi = 72.f);

  // ---- Drawing: only inside Draw() of a control; coordinates in design points --------------
  void FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr);
  void DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr,
                float thickness = 1.f);
  void FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                     const IBlend* blend = nullptr);
  void DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                     const IBlend* blend = nullptr, float thickness = 1.f);
  void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                float thickness = 1.f);
  // Angles in degrees, clockwise from straight up.
  void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
               const IBlend* blend = nullptr, float thickness = 1.f);
  void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr,
                  float thickness = 1.f);
  void FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr);

  // Paths: build, then fill or stroke (which clear the path unless told to preserve it).
  void PathClear();
  void PathMoveTo(float x, float y);
  void PathLineTo(float x, float y);
  void PathRect(const IRECT& bounds);
  void PathRoundRect(const IRECT& bounds, float cornerRadius);
  void PathCircle(float cx, float cy, float r);
  void PathArc(float cx, float cy, float r, float a1, float a2);
  void PathFill(const IPattern& pattern, const IFillOptions& options = {}, const IBlend* blend = nullptr);
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = {},
                  const IBlend* blend = nullptr);

  // One line of text placed in bounds by the style's alignment.
  void DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend = nullptr);
  // Width of str in design points; bounds becomes the rectangle DrawText would fill when given
  // bounds. Works without a window (fonts are parsed on the CPU).
  float MeasureText(const IText& text, const char* str, IRECT& bounds) const;
  // Text broken into lines at the width of bounds; the block of lines placed by the style's
  // vertical alignment.
  void DrawMultiLineText(const IText& text, const char* str, const IRECT& bounds,
                         const IBlend* blend = nullptr);
  // Scaled uniformly by the smaller of the width and height ratios, placed at the top-left corner.
  void DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend = nullptr);
  // For a control whose picture never changes at a given size: draw() paints it once into a
  // cached layer, and every call copies the layer's pixels under the control's rectangle into the
  // frame. The layer is painted again when the pixel size or scale changes. The picture must be
  // opaque over the rectangle.
  void DrawCachedLayer(const IControl& owner, const std::function<void()>& draw);

  // ---- Controls ----------------------------------------------------------------------------
  // Takes ownership. Attachment order is drawing order and the order of the dirty checks.
  IControl* AttachControl(IControl* control, int ctrlTag = kNoTag, const char* group = "");
  int NControls() const;
  IControl* GetControl(int index) const;
  IControl* GetControlWithTag(int ctrlTag) const;
  void RemoveAllControls();
  void SetAllControlsDirty();
  // Every control bound to paramIdx takes the value (normalised) without informing the host.
  void SetControlValueFromDelegate(int paramIdx, double normalized);

  void EnableMouseOver(bool enable);
  bool MouseOverEnabled() const;
  // Tooltips appear after the mouse rests on a control for a moment.
  void EnableTooltips(bool enable);
  bool TooltipsEnabled() const;
  // The tooltip shown now, nullptr while none.
  const char* GetShownTooltip() const;

  // The text entry: one field at a time, drawn by the layer over bounds. Return commits (the
  // control's OnTextEntryCompletion), Escape cancels, a press outside closes it without a commit.
  // The layer's entry is always available; attaching it states the intent.
  void AttachTextEntryControl();
  void CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str = "",
                       int valIdx = 0);
  // The control whose text entry is open, or nullptr.
  IControl* GetControlInTextEntry() const;
  // Closes an open entry without calling the completion.
  void CancelTextEntry();
  // The text of the open entry ("" when none).
  const char* GetTextEntryText() const;

  // The popup menu: drawn by the layer below bounds; choosing an item sets the menu's chosen index
  // and calls control.OnPopupMenuSelection(&menu, valIdx); a press outside or Escape calls it with
  // nullptr. The menu must outlive the popup (it is the control's own).
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx = 0);
  bool IsPopupMenuOpen() const;

  // A handle in the bottom-right corner, size points square, that scales the editor (mode Scale).
  void AttachCornerResizer(EUIResizerMode mode, bool layoutOnResize, const IColor& color,
                           const IColor& mouseOverColor, const IColor& dragColor, float size);

  // Opens a URL with the desktop's handler, without waiting; the result of the handler is ignored.
  // The texts are for a confirmation or failure message and are not shown here.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr);
  // Tests replace the launcher; nullptr restores xdg-open.
  static void SetOpenURLHook(std::function<bool(const char* url)> hook);

  void HideMouseCursor(bool hide = true);
  bool IsMouseCursorHidden() const;

  // ---- Size and scale ----------------------------------------------------------------------
  int Width() const;  // design width in points
  int Height() const; // design height in points
  int FPS() const;
  // Window pixels per design point = draw scale x screen scale.
  float GetDrawScale() const;
  float GetScreenScale() const;
  // Same order as Resize: with needsPlatformResize the platform hook is asked first for the new
  // pixel size; false when it refuses (nothing changes) or the scale is not valid.
  bool SetScreenScale(float scale, bool needsPlatformResize = true);
  void SetScaleConstraints(float lo, float hi);
  float GetMinScale() const;
  float GetMaxScale() const;
  // Sets the design size and the draw scale (clamped to the constraints); the editor's own window
  // follows. needsPlatformResize first asks the platform hook (the window around the editor) for
  // the new pixel size, while the old size is still the one reported: when the hook refuses, size
  // and scale stay as they were; when the platform applies a size of its own during the call (a
  // host's onSize), that size stands; otherwise the new size is taken once the hook accepted.
  void Resize(int width, int height, float scale, bool needsPlatformResize = true);
  // Called by Resize and SetScreenScale with the new window size in pixels (a plug-in view asks its
  // host frame, the standalone program its main window); true = accepted. Without a hook only our
  // window resizes.
  void SetPlatformResizeHook(std::function<bool(int widthPx, int heightPx)> hook);
  int WindowWidth() const;  // pixels
  int WindowHeight() const; // pixels
  // Window pixels of a design length at these scales, rounded as WindowWidth and WindowHeight are.
  static int PixelsOf(int points, float drawScale, float screenScale);

  // ---- Frame loop --------------------------------------------------------------------------
  // One frame: asks IsDirty of every control in attachment order (hidden ones too); when any
  // visible control is dirty, redraws the dirty area: every visible control that meets it, in
  // attachment order, clipped to its rectangle. Returns whether anything was drawn. Needs a GL
  // context (the window's, or the offscreen one).
  bool OnFrame();
  // Frames drawn so far.
  std::uint64_t FrameCount() const;

  // ---- Platform window (pugl on X11 with GLX) ---------------------------------------------
  // Opens the editor's window as a child of parent (an X11 Window id; 0 for a top-level window).
  // false without a display or GL context; nothing is left behind then.
  bool OpenWindow(void* parent);
  void CloseWindow();
  bool WindowIsOpen() const;
  // The X11 Window id of the editor's own window (0 when closed).
  void* GetWindow() const;
  // The X connection's file descriptor, for a host run loop to watch (-1 when closed).
  int GetEventFd() const;
  // Handles pending window events without waiting (input, exposure, configuration).
  void ProcessEvents();
  // The frame timer's tick: OnFrame into the window, then pending events.
  void OnTimer();

  // ---- Offscreen path ----------------------------------------------------------------------
  // Draws one full frame (dirty checks included) at the current draw scale into a framebuffer
  // object and reads it back: rgba holds WindowWidth x WindowHeight pixels, top row first, 4 bytes
  // each. Uses the window's context when open, else a hidden one of its own. false without a
  // display or GL context.
  bool RenderOffscreen(std::vector<std::uint8_t>& rgba, int& width, int& height);

  // ---- Input, in design points (the platform layer converts; tests call these directly) -----
  void OnMouseDown(float x, float y, const IMouseMod& mod);
  void OnMouseUp(float x, float y, const IMouseMod& mod);
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  // Movement without a button: mouse-over and mouse-out.
  void OnMouseOver(float x, float y, const IMouseMod& mod);
  // The pointer left the window.
  void OnMouseOut();
  // true when a control under the mouse got it.
  bool OnMouseWheel(float x, float y, const IMouseMod& mod, float d);
  // The open text entry first, then the popup menu, then the control under the mouse. true =
  // handled. Keys come from the host (the window around the editor); the editor's own window
  // reads the keyboard only while the text entry is open, and has the keyboard focus just then.
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  // The last mouse position the editor saw, in design points; (-1, -1) once the mouse left it.
  void GetMousePosition(float& x, float& y) const;
  // While blocked, mouse and key input is dropped (a host's modal dialog runs, and its modality
  // doesn't reach our window); only the release of a press made before still ends that press, and
  // the pointer leaving still ends a mouse-over.
  void SetInputBlocked(bool blocked);
  bool InputBlocked() const;

  // The topmost control under (x, y) that takes the mouse: visible, not ignoring the mouse, and
  // enabled unless it asks for events when disabled. nullptr when none.
  IControl* GetMouseControl(float x, float y) const;
  // The control the mouse is over (for mouse-over), or nullptr.
  IControl* GetMouseOverControl() const;

  struct Impl;

private:
  std::unique_ptr<Impl> impl;
};

// The framework's graphics creation: one editor's graphics object.
IGraphics* MakeGraphics(IEditorDelegate& delegate, int width, int height, int fps = 30, float scale = 1.f);
