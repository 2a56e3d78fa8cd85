// The graphics object's private state, shared by the files that implement IGraphics: controls and
// frame bookkeeping, input state, the layer's own overlays (text entry, popup menu, corner resizer,
// tooltip), resources and the drawing backend. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "IGraphics.h"
#include "PopupMenuView.h"
#include "TextEntry.h"

#include "FontStore.h"
#include "SvgStore.h"

struct NVGcontext;
struct RenderTarget;
struct GraphicsWindow;

struct IGraphics::Impl {
  Impl(IGraphics& owner, IEditorDelegate& editorDelegate, int w, int h, int frameRate, float scale);
  ~Impl();

  IGraphics& self;
  IEditorDelegate& delegate;
  int width, height, fps;
  float drawScale;
  float screenScale = 1.f;
  // Counts the sizes taken, so that a request can tell whether the platform answered during it.
  std::uint64_t sizeChanges = 0;
  float minScale = 0.25f, maxScale = 4.f;

  std::vector<std::unique_ptr<IControl>> controls;
  std::vector<bool> drawnVisible; // each control's visibility when the last frame was drawn
  IRECT pending;                  // area to redraw besides dirty controls (closed overlays, ...)
  bool fullRedraw = true;
  std::uint64_t frames = 0;

  bool mouseOverEnabled = false;
  bool tooltipsEnabled = false;
  IControl* captured = nullptr;  // the pressed control: drags and the release go to it
  IMouseMod heldBy;              // the button of the press that holds the mouse
  IControl* mouseOver = nullptr; // the control with the mouse-over flag
  bool mouseInside = false;
  float mouseX = -1.f, mouseY = -1.f;
  bool cursorHidden = false;
  bool inputBlocked = false;

  IControl* tooltipControl = nullptr;
  int restFrames = 0; // frames the mouse has rested on tooltipControl
  bool tooltipShown = false;
  IRECT tooltipRect;
  std::vector<std::string> tooltipLines;

  std::unique_ptr<TextEntry> entry;
  bool entryDragging = false;
  std::unique_ptr<PopupMenuView> popup;

  struct Resizer {
    bool attached = false;
    EUIResizerMode mode = EUIResizerMode::Scale;
    bool layoutOnResize = false;
    IColor color, overColor, dragColor;
    float size = 0.f;
    bool over = false;
    bool dragging = false;
    float downX = 0.f, downY = 0.f; // design point pressed, at the scale of the press
  } resizer;

  std::function<bool(int widthPx, int heightPx)> platformResizeHook;

  std::unique_ptr<FontStore> fonts;
  std::unique_ptr<SvgStore> svgs;
  // The target and NanoVG context of the frame being drawn; null while no GL context is current,
  // and then drawing calls do nothing (headless frames still run the dirty checks and Draw calls).
  RenderTarget* target = nullptr;
  NVGcontext* vg = nullptr;
  IRECT frameArea; // the area being redrawn, on whole pixels
  std::unique_ptr<GraphicsWindow> window;
  std::unique_ptr<GraphicsWindow> offscreen; // a hidden window lending its GL context

  float PixelScale() const { return drawScale * screenScale; }
  IRECT EditorRect() const { return {0.f, 0.f, static_cast<float>(width), static_cast<float>(height)}; }
  void Invalidate(const IRECT& area) { pending = pending.Union(area); }

  // Text measurement on the CPU, in design points.
  float TextWidth(const IText& style, const char* str) const;
  float LineHeight(const IText& style) const;
  // Breaks str into lines no wider than maxWidth (words longer than that stand alone).
  std::vector<std::string> BreakLines(const IText& style, const char* str, float maxWidth) const;

  // Overlays.
  void CloseTextEntry(bool commit);
  void ClosePopup(int chosen); // chosen < 0: dismissed
  // Only one overlay at a time: closes the entry (uncommitted), the menu (dismissed) and the tooltip.
  void CloseOverlays();
  IRECT ResizerRect() const;
  void ResizeFromDrag(float x, float y);
  void HideTooltip();
  void UpdateTooltip();
  void UpdateMouseOver(float x, float y, const IMouseMod& mod);
  void ForgetControls();

  // The window and the offscreen target follow the size (no-ops without them).
  void ResizeWindow();
  bool AskPlatform(int widthPx, int heightPx, bool& appliedMeanwhile);
  // Takes a size and both scales; our window follows when its pixel size changes.
  void ApplySize(int w, int h, float scale, float screen);
  void ReleaseOffscreen();
  void ApplyCursor();
  // The window takes the keyboard focus for the text entry, and gives it back to the window that
  // had it (no-ops without a window).
  void TakeKeyboard();
  void ReturnKeyboard();

  // One frame: dirty checks, drawing and overlays; full draws everything. FrameInto draws into a
  // target whose GL context is current.
  bool Frame(bool full);
  bool FrameInto(RenderTarget& t, bool full);
  void DrawOverlays();
};
