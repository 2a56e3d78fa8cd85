#include "IGraphics.h"

#include <cmath>

#include "GraphicsImpl.h"
#include "GraphicsResources.h"
#include "IEditorDelegate.h"
#include "IParam.h"
#include "OpenURL.h"

IGraphics::IGraphics(IEditorDelegate& delegate, int width, int height, int fps, float scale)
    : impl(std::make_unique<Impl>(*this, delegate, width, height, fps, scale)) {}

IGraphics::~IGraphics() {
  CloseWindow();
  RemoveAllControls();
  impl->ReleaseOffscreen();
}

IEditorDelegate* IGraphics::GetDelegate() const {
  return &impl->delegate;
}

// ---- Controls --------------------------------------------------------------------------------

IControl* IGraphics::AttachControl(IControl* control, int ctrlTag, const char* group) {
  if (!control)
    return nullptr;
  control->SetGraphics(this);
  control->SetTag(ctrlTag);
  control->SetGroup(group);
  if (const IParam* param = control->GetParam())
    control->SetValue(param->GetNormalized());
  impl->controls.emplace_back(control);
  impl->drawnVisible.push_back(false);
  control->OnAttached();
  return control;
}

int IGraphics::NControls() const {
  return static_cast<int>(impl->controls.size());
}

IControl* IGraphics::GetControl(int index) const {
  return index >= 0 && index < NControls() ? impl->controls[static_cast<std::size_t>(index)].get() : nullptr;
}

IControl* IGraphics::GetControlWithTag(int ctrlTag) const {
  if (ctrlTag == kNoTag)
    return nullptr;
  for (const auto& c : impl->controls)
    if (c->GetTag() == ctrlTag)
      return c.get();
  return nullptr;
}

void IGraphics::Impl::ForgetControls() {
  entry.reset();
  entryDragging = false;
  popup.reset();
  captured = nullptr;
  mouseOver = nullptr;
  tooltipControl = nullptr;
  tooltipShown = false;
  restFrames = 0;
}

void IGraphics::RemoveAllControls() {
  impl->ForgetControls();
  impl->controls.clear();
  impl->drawnVisible.clear();
  impl->fullRedraw = true;
}

void IGraphics::SetAllControlsDirty() {
  for (const auto& c : impl->controls)
    c->SetDirty(false);
}

void IGraphics::SetControlValueFromDelegate(int paramIdx, double normalized) {
  if (paramIdx == kNoParameter)
    return;
  for (const auto& c : impl->controls)
    if (c->GetParamIdx() == paramIdx)
      c->SetValueFromDelegate(normalized);
}

void IGraphics::EnableMouseOver(bool enable) {
  if (!enable && impl->mouseOver) {
    impl->mouseOver->OnMouseOut();
    impl->mouseOver = nullptr;
  }
  impl->mouseOverEnabled = enable;
}

bool IGraphics::MouseOverEnabled() const {
  return impl->mouseOverEnabled;
}

void IGraphics::EnableTooltips(bool enable) {
  impl->tooltipsEnabled = enable;
  if (!enable)
    impl->HideTooltip();
}

bool IGraphics::TooltipsEnabled() const {
  return impl->tooltipsEnabled;
}

const char* IGraphics::GetShownTooltip() const {
  return impl->tooltipShown && impl->tooltipControl ? impl->tooltipControl->GetTooltip() : nullptr;
}

IControl* IGraphics::GetMouseControl(float x, float y) const {
  for (auto it = impl->controls.rbegin(); it != impl->controls.rend(); ++it) {
    IControl* c = it->get();
    if (c->IsHidden() || c->GetIgnoreMouse() || (c->IsDisabled() && !c->GetMouseEventsWhenDisabled()))
      continue;
    if (c->IsHit(x, y))
      return c;
  }
  return nullptr;
}

IControl* IGraphics::GetMouseOverControl() const {
  return impl->mouseOver;
}

// ---- Overlays --------------------------------------------------------------------------------

void IGraphics::AttachTextEntryControl() {
  // The layer's text entry is always available; attaching it is kept for callers that ask.
}

void IGraphics::CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str,
                                int valIdx) {
  Impl& m = *impl;
  m.CloseOverlays();
  m.entry = std::make_unique<TextEntry>(
      control, text, bounds, str, valIdx, [&m, text](const std::u32string& s, int count) {
        const std::string prefix = EncodeUtf8(s.substr(0, static_cast<std::size_t>(count)));
        return m.TextWidth(text, prefix.c_str());
      });
  m.Invalidate(bounds);
  m.TakeKeyboard();
}

IControl* IGraphics::GetControlInTextEntry() const {
  return impl->entry ? &impl->entry->Control() : nullptr;
}

void IGraphics::CancelTextEntry() {
  impl->CloseTextEntry(false);
}

const char* IGraphics::GetTextEntryText() const {
  return impl->entry ? impl->entry->Text().c_str() : "";
}

void IGraphics::Impl::CloseOverlays() {
  CloseTextEntry(false);
  ClosePopup(-1);
  HideTooltip();
}

void IGraphics::Impl::CloseTextEntry(bool commit) {
  if (!entry)
    return;
  // Closed before the completion runs, so that the completion may open another entry.
  std::unique_ptr<TextEntry> closed = std::move(entry);
  entryDragging = false;
  ReturnKeyboard();
  Invalidate(closed->Bounds());
  closed->Control().SetDirty(false);
  if (commit)
    closed->Control().OnTextEntryCompletion(closed->Text().c_str(), closed->ValIdx());
}

void IGraphics::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx) {
  Impl& m = *impl;
  m.CloseOverlays();
  menu.SetChosenItemIdx(-1);
  m.popup = std::make_unique<PopupMenuView>(
      control, menu, bounds, valIdx, static_cast<float>(m.width), static_cast<float>(m.height),
      [&m, &control](const char* s) { return m.TextWidth(control.GetText().WithSize(14.f), s); });
  m.Invalidate(m.popup->box);
}

bool IGraphics::IsPopupMenuOpen() const {
  return impl->popup != nullptr;
}

void IGraphics::Impl::ClosePopup(int chosen) {
  if (!popup)
    return;
  std::unique_ptr<PopupMenuView> closed = std::move(popup);
  Invalidate(closed->box);
  closed->control->SetDirty(false);
  if (chosen >= 0) {
    closed->menu->SetChosenItemIdx(chosen);
    closed->control->OnPopupMenuSelection(closed->menu, closed->valIdx);
  } else {
    closed->control->OnPopupMenuSelection(nullptr, closed->valIdx);
  }
}

void IGraphics::AttachCornerResizer(EUIResizerMode mode, bool layoutOnResize, const IColor& color,
                                    const IColor& mouseOverColor, const IColor& dragColor, float size) {
  Impl::Resizer& r = impl->resizer;
  r.attached = true;
  r.mode = mode;
  r.layoutOnResize = layoutOnResize;
  r.color = color;
  r.overColor = mouseOverColor;
  r.dragColor = dragColor;
  r.size = size;
  impl->Invalidate(impl->ResizerRect());
}

IRECT IGraphics::Impl::ResizerRect() const {
  if (!resizer.attached)
    return {};
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  return {w - resizer.size, h - resizer.size, w, h};
}

void IGraphics::Impl::ResizeFromDrag(float x, float y) {
  // The design point pressed stays under the pointer: the new scale is the pointer's distance
  // from the origin in pixels over the pressed point's distance in points.
  const float px = x * drawScale, py = y * drawScale;
  const float sx = resizer.downX > 0.f ? px / resizer.downX : drawScale;
  const float sy = resizer.downY > 0.f ? py / resizer.downY : drawScale;
  self.Resize(width, height, std::min(sx, sy), true);
}

bool IGraphics::OpenURL(const char* url, const char*, const char*, const char*) {
  return ::OpenURL(url);
}

void IGraphics::SetOpenURLHook(std::function<bool(const char* url)> hook) {
  ::SetOpenURLHook(std::move(hook));
}

// ---- Size and scale --------------------------------------------------------------------------

int IGraphics::Width() const {
  return impl->width;
}

int IGraphics::Height() const {
  return impl->height;
}

int IGraphics::FPS() const {
  return impl->fps;
}

float IGraphics::GetDrawScale() const {
  return impl->drawScale;
}

float IGraphics::GetScreenScale() const {
  return impl->screenScale;
}

// Asks the platform for a new pixel size while the old one is still reported. True when the
// caller should apply its size now: no need to ask, no hook, or an accepting platform that did not
// apply a size of its own during the call.
bool IGraphics::Impl::AskPlatform(int widthPx, int heightPx, bool& appliedMeanwhile) {
  appliedMeanwhile = false;
  if (!platformResizeHook || (widthPx == self.WindowWidth() && heightPx == self.WindowHeight()))
    return true;
  const std::uint64_t before = sizeChanges;
  if (!platformResizeHook(widthPx, heightPx))
    return false;
  appliedMeanwhile = sizeChanges != before;
  return true;
}

void IGraphics::Impl::ApplySize(int w, int h, float scale, float screen) {
  const int oldW = self.WindowWidth(), oldH = self.WindowHeight();
  width = w;
  height = h;
  drawScale = scale;
  screenScale = screen;
  ++sizeChanges;
  if (self.WindowWidth() != oldW || self.WindowHeight() != oldH)
    ResizeWindow();
  fullRedraw = true;
  self.SetAllControlsDirty();
}

bool IGraphics::SetScreenScale(float scale, bool needsPlatformResize) {
  Impl& m = *impl;
  if (!std::isfinite(scale) || !(scale > 0.f))
    return false;
  if (scale == m.screenScale)
    return true;
  if (needsPlatformResize) {
    bool appliedMeanwhile = false;
    if (!m.AskPlatform(PixelsOf(m.width, m.drawScale, scale), PixelsOf(m.height, m.drawScale, scale),
                       appliedMeanwhile))
      return false;
    if (appliedMeanwhile)
      return m.screenScale == scale;
  }
  m.ApplySize(m.width, m.height, m.drawScale, scale);
  return true;
}

void IGraphics::SetScaleConstraints(float lo, float hi) {
  if (lo > 0.f && hi >= lo) {
    impl->minScale = lo;
    impl->maxScale = hi;
  }
}

float IGraphics::GetMinScale() const {
  return impl->minScale;
}

float IGraphics::GetMaxScale() const {
  return impl->maxScale;
}

void IGraphics::SetPlatformResizeHook(std::function<bool(int widthPx, int heightPx)> hook) {
  impl->platformResizeHook = std::move(hook);
}

void IGraphics::Resize(int width, int height, float scale, bool needsPlatformResize) {
  Impl& m = *impl;
  if (width <= 0 || height <= 0 || !std::isfinite(scale))
    return;
  scale = std::clamp(scale, m.minScale, m.maxScale);
  const bool changed = m.width != width || m.height != height || m.drawScale != scale;
  if (changed && needsPlatformResize) {
    bool appliedMeanwhile = false;
    if (!m.AskPlatform(PixelsOf(width, scale, m.screenScale), PixelsOf(height, scale, m.screenScale),
                       appliedMeanwhile) ||
        appliedMeanwhile)
      return;
  }
  m.ApplySize(width, height, scale, m.screenScale);
}

int IGraphics::PixelsOf(int points, float drawScale, float screenScale) {
  return static_cast<int>(std::lround(static_cast<float>(points) * drawScale * screenScale));
}

int IGraphics::WindowWidth() const {
  return PixelsOf(impl->width, impl->drawScale, impl->screenScale);
}

int IGraphics::WindowHeight() const {
  return PixelsOf(impl->height, impl->drawScale, impl->screenScale);
}

std::uint64_t IGraphics::FrameCount() const {
  return impl->frames;
}

IGraphics* MakeGraphics(IEditorDelegate& delegate, int width, int height, int fps, float scale) {
  return new IGraphics(delegate, width, height, fps, scale);
}
