// The editor's own window (pugl on X11 with GLX) and the offscreen target.
#include "GraphicsImpl.h"
#include "GraphicsResources.h"

struct GraphicsWindow {};
struct OffscreenContext {};

// Here, where the window and offscreen types are complete.
IGraphics::Impl::Impl(IGraphics& owner, IEditorDelegate& editorDelegate, int w, int h, int frameRate,
                      float scale)
    : self(owner), delegate(editorDelegate), width(w), height(h), fps(frameRate > 0 ? frameRate : 30),
      drawScale(scale > 0.f ? scale : 1.f), fonts(std::make_unique<FontStore>()),
      svgs(std::make_unique<SvgStore>()) {}

IGraphics::Impl::~Impl() = default;

bool IGraphics::OpenWindow(void*) {
  return false;
}

void IGraphics::CloseWindow() {}

bool IGraphics::WindowIsOpen() const {
  return false;
}

void* IGraphics::GetWindow() const {
  return nullptr;
}

int IGraphics::GetEventFd() const {
  return -1;
}

void IGraphics::ProcessEvents() {}

void IGraphics::OnTimer() {}

bool IGraphics::RenderOffscreen(std::vector<std::uint8_t>& rgba, int& width, int& height) {
  rgba.clear();
  width = height = 0;
  return false;
}

void IGraphics::Impl::ResizeWindow() {}
void IGraphics::Impl::ReleaseOffscreen() {}
void IGraphics::Impl::ApplyCursor() {}
