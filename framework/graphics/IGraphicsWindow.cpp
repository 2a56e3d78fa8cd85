// The editor's own window (pugl on X11 with GLX) and the offscreen path. Frames are drawn into the
// render target's framebuffer and copied to the window, so only the dirty area needs redrawing.
#include "DoubleClick.h"
#include "GraphicsImpl.h"
#include "KeyMap.h"
#include "RenderTarget.h"
// pugl is compiled as C and its headers declare no C linkage of their own.
extern "C" {
#include "pugl/gl.h"
#include "pugl/pugl.h"
}

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

struct GraphicsWindow {
  IGraphics::Impl* m = nullptr;
  PuglWorld* world = nullptr;
  PuglView* view = nullptr;
  RenderTarget target;
  bool contextReady = false;
  int widthPx = 0, heightPx = 0;  // the X window's size
  std::uint32_t buttons = 0;      // one bit per pugl button held
  float lastX = 0.f, lastY = 0.f; // pointer, design points
  DoubleClick clicks;
  Cursor blankCursor = 0;
  // The keyboard focus before the text entry took it, while the entry holds it.
  bool holdsFocus = false;
  Window focusBefore = 0;
  int revertBefore = RevertToParent;

  GraphicsWindow() = default;
  GraphicsWindow(const GraphicsWindow&) = delete;
  GraphicsWindow& operator=(const GraphicsWindow&) = delete;
  ~GraphicsWindow() { Close(); }

  Display* XDisplay() const { return static_cast<Display*>(puglGetNativeWorld(world)); }
  Window XWindow() const { return static_cast<Window>(puglGetNativeView(view)); }

  bool Open(IGraphics::Impl& impl, PuglNativeView parent, bool visible);
  void Close();
  // A frame drawn into the target and shown, outside pugl's own exposures.
  bool DrawFrame();
  void Resize(int w, int h);
  void ShowCursor(bool show);
  // Key events are selected only while the text entry is open: otherwise X delivers the keys the
  // user types over the editor to the editor instead of to the host's window around it.
  void SelectKeys(bool select);
  void TakeFocus();
  void ReturnFocus();
};

namespace {

IMouseMod Mods(PuglMods state, std::uint32_t buttons) {
  IMouseMod mod;
  mod.L = (buttons & 1u) != 0;
  mod.R = (buttons & 2u) != 0; // pugl numbers the right button 1
  mod.S = (state & PUGL_MOD_SHIFT) != 0;
  mod.C = (state & PUGL_MOD_CTRL) != 0;
  mod.A = (state & PUGL_MOD_ALT) != 0;
  return mod;
}

// A press or release names its own button, so that a hold ends only with the button that began it.
IMouseMod ButtonMods(const PuglButtonEvent& e) {
  IMouseMod mod = Mods(e.state, e.button < 32 ? 1u << e.button : 0u);
  mod.button = static_cast<int>(e.button);
  return mod;
}

IKeyPress KeyFromEvent(Display* display, const PuglKeyEvent& e) {
  const auto keycode = static_cast<KeyCode>(e.keycode);
  const bool shift = (e.state & PUGL_MOD_SHIFT) != 0;
  const KeySym plain = XkbKeycodeToKeysym(display, keycode, 0, 0);
  KeySym typed = XkbKeycodeToKeysym(display, keycode, 0, shift ? 1 : 0);
  if (typed == NoSymbol)
    typed = plain;
  const std::string text = TextFromKeysym(typed);
  return IKeyPress(text.c_str(), VirtualKeyFromKeysym(plain), shift, (e.state & PUGL_MOD_CTRL) != 0,
                   (e.state & PUGL_MOD_ALT) != 0);
}

PuglStatus OnEvent(PuglView* view, const PuglEvent* event) {
  auto* w = static_cast<GraphicsWindow*>(puglGetHandle(view));
  IGraphics& g = w->m->self;
  const float s = w->m->PixelScale();
  switch (event->type) {
  case PUGL_CREATE: // the GL context is current
    w->contextReady = w->target.Create();
    break;
  case PUGL_DESTROY:
    w->target.Destroy();
    w->contextReady = false;
    break;
  case PUGL_CONFIGURE:
    w->widthPx = static_cast<int>(event->configure.width);
    w->heightPx = static_cast<int>(event->configure.height);
    break;
  case PUGL_EXPOSE: // the GL context is current; pugl swaps the buffers afterwards
    if (w->contextReady) {
      w->m->FrameInto(w->target, false);
      if (w->target.width > 0)
        w->target.BlitToWindow(w->widthPx, w->heightPx);
    }
    break;
  case PUGL_BUTTON_PRESS: {
    const PuglButtonEvent& e = event->button;
    const float x = static_cast<float>(e.x) / s, y = static_cast<float>(e.y) / s;
    if (e.button < 32)
      w->buttons |= 1u << e.button;
    w->lastX = x;
    w->lastY = y;
    const IMouseMod mod = ButtonMods(e);
    if (w->clicks.Press(e.time, e.x, e.y, e.button))
      g.OnMouseDblClick(x, y, mod);
    else
      g.OnMouseDown(x, y, mod);
    break;
  }
  case PUGL_BUTTON_RELEASE: {
    const PuglButtonEvent& e = event->button;
    const float x = static_cast<float>(e.x) / s, y = static_cast<float>(e.y) / s;
    const IMouseMod mod = ButtonMods(e);
    if (e.button < 32)
      w->buttons &= ~(1u << e.button);
    g.OnMouseUp(x, y, mod);
    break;
  }
  case PUGL_MOTION: {
    const PuglMotionEvent& e = event->motion;
    const float x = static_cast<float>(e.x) / s, y = static_cast<float>(e.y) / s;
    if (w->buttons)
      g.OnMouseDrag(x, y, x - w->lastX, y - w->lastY, Mods(e.state, w->buttons));
    else
      g.OnMouseOver(x, y, Mods(e.state, 0));
    w->lastX = x;
    w->lastY = y;
    break;
  }
  case PUGL_SCROLL: {
    const PuglScrollEvent& e = event->scroll;
    if (e.dy != 0.0)
      g.OnMouseWheel(static_cast<float>(e.x) / s, static_cast<float>(e.y) / s, Mods(e.state, w->buttons),
                     static_cast<float>(e.dy));
    break;
  }
  case PUGL_POINTER_IN: { // also when the window opens under a resting pointer: keys act there
    const PuglCrossingEvent& e = event->crossing;
    if (!w->buttons) {
      w->lastX = static_cast<float>(e.x) / s;
      w->lastY = static_cast<float>(e.y) / s;
      g.OnMouseOver(w->lastX, w->lastY, Mods(e.state, 0));
    }
    break;
  }
  case PUGL_POINTER_OUT:
    if (!w->buttons)
      g.OnMouseOut();
    break;
  case PUGL_KEY_PRESS: { // keys the user types into the text entry; the host passes all others
    const PuglKeyEvent& e = event->key;
    if (w->m->entry)
      g.OnKeyDown(static_cast<float>(e.x) / s, static_cast<float>(e.y) / s, KeyFromEvent(w->XDisplay(), e));
    break;
  }
  default:
    break;
  }
  return PUGL_SUCCESS;
}

bool badWindow = false;

int NoteError(Display*, XErrorEvent*) {
  badWindow = true;
  return 0;
}

// Xlib's default error handler ends the process: a parent that doesn't exist (a host's mistake)
// must only fail the opening. The handler is ours just for this round trip on our own connection.
bool WindowExists(Display* display, Window window) {
  badWindow = false;
  XErrorHandler previous = XSetErrorHandler(NoteError);
  XWindowAttributes attributes;
  const Status status = XGetWindowAttributes(display, window, &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  return status != 0 && !badWindow;
}

} // namespace

bool GraphicsWindow::Open(IGraphics::Impl& impl, PuglNativeView parent, bool visible) {
  m = &impl;
  world = puglNewWorld(PUGL_MODULE, 0);
  if (!world) // no display
    return false;
  view = puglNewView(world);
  if (!view || (parent && !WindowExists(XDisplay(), static_cast<Window>(parent)))) {
    Close();
    return false;
  }
  widthPx = impl.self.WindowWidth();
  heightPx = impl.self.WindowHeight();
  puglSetHandle(view, this);
  puglSetBackend(view, puglGlBackend());
  puglSetViewHint(view, PUGL_USE_COMPAT_PROFILE, PUGL_TRUE);
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MAJOR, 2);
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MINOR, 1);
  puglSetViewHint(view, PUGL_DOUBLE_BUFFER, PUGL_TRUE);
  puglSetViewHint(view, PUGL_SWAP_INTERVAL, 0); // never block the host's UI thread on a swap
  puglSetViewHint(view, PUGL_RESIZABLE, PUGL_FALSE);
  puglSetSizeHint(view, PUGL_DEFAULT_SIZE, static_cast<PuglSpan>(widthPx), static_cast<PuglSpan>(heightPx));
  puglSetEventFunc(view, OnEvent);
  if (parent)
    puglSetParentWindow(view, parent);
  if (puglRealize(view) != PUGL_SUCCESS || !contextReady) {
    Close();
    return false;
  }
  SelectKeys(false);
  if (visible)
    puglShow(view);
  return true;
}

void GraphicsWindow::Close() {
  ReturnFocus();
  if (view) {
    if (blankCursor)
      XFreeCursor(XDisplay(), blankCursor);
    blankCursor = 0;
    puglFreeView(view); // PUGL_DESTROY releases the target with its context current
    view = nullptr;
  }
  if (world)
    puglFreeWorld(world);
  world = nullptr;
}

bool GraphicsWindow::DrawFrame() {
  if (!contextReady || puglEnterContext(view) != PUGL_SUCCESS)
    return false;
  const bool drawn = m->FrameInto(target, false);
  if (target.width > 0) {
    target.BlitToWindow(widthPx, heightPx);
    glXSwapBuffers(XDisplay(), XWindow());
  }
  puglLeaveContext(view);
  return drawn;
}

void GraphicsWindow::Resize(int w, int h) {
  widthPx = w;
  heightPx = h;
  puglSetSize(view, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void GraphicsWindow::ShowCursor(bool show) {
  Display* display = XDisplay();
  if (show) {
    XUndefineCursor(display, XWindow());
  } else {
    if (!blankCursor) {
      const char empty = 0;
      Pixmap bitmap = XCreateBitmapFromData(display, XWindow(), &empty, 1, 1);
      XColor black{};
      blankCursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
      XFreePixmap(display, bitmap);
    }
    XDefineCursor(display, XWindow(), blankCursor);
  }
  XFlush(display);
}

void GraphicsWindow::SelectKeys(bool select) {
  Display* display = XDisplay();
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, XWindow(), &attributes))
    return;
  constexpr long keys = KeyPressMask | KeyReleaseMask;
  XSelectInput(display, XWindow(),
               select ? attributes.your_event_mask | keys : attributes.your_event_mask & ~keys);
  XFlush(display);
}

void GraphicsWindow::TakeFocus() {
  Display* display = XDisplay();
  XWindowAttributes attributes;
  if (holdsFocus || !XGetWindowAttributes(display, XWindow(), &attributes) ||
      attributes.map_state != IsViewable)
    return;
  XGetInputFocus(display, &focusBefore, &revertBefore);
  SelectKeys(true);
  XSetInputFocus(display, XWindow(), RevertToParent, CurrentTime);
  // A round trip: the host asking who has the keyboard right after the entry opened must get us.
  XSync(display, False);
  holdsFocus = true;
}

// Only when the editor still has the focus: a host or window manager that moved it elsewhere
// meanwhile keeps it. The window that had it may be gone or hidden by now, and no window may have
// had it: then the window around the editor takes it.
void GraphicsWindow::ReturnFocus() {
  if (!holdsFocus)
    return;
  holdsFocus = false;
  Display* display = XDisplay();
  SelectKeys(false);
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus != XWindow())
    return;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, XWindow(), &root, &parent, &children, &count) && children)
    XFree(children);
  XErrorHandler previous = XSetErrorHandler(NoteError);
  badWindow = focusBefore == None;
  if (!badWindow) {
    XSetInputFocus(display, focusBefore, revertBefore, CurrentTime);
    XSync(display, False);
  }
  if (badWindow && parent) {
    badWindow = false;
    XSetInputFocus(display, parent, RevertToParent, CurrentTime);
    XSync(display, False);
  }
  XSetErrorHandler(previous);
}

// Here, where the window type is complete.
IGraphics::Impl::Impl(IGraphics& owner, IEditorDelegate& editorDelegate, int w, int h, int frameRate,
                      float scale)
    : self(owner), delegate(editorDelegate), width(w), height(h), fps(frameRate > 0 ? frameRate : 30),
      drawScale(scale > 0.f ? scale : 1.f), fonts(std::make_unique<FontStore>()),
      svgs(std::make_unique<SvgStore>()) {}

IGraphics::Impl::~Impl() = default;

bool IGraphics::OpenWindow(void* parent) {
  Impl& m = *impl;
  if (m.window)
    return true;
  auto w = std::make_unique<GraphicsWindow>();
  if (!w->Open(m, reinterpret_cast<PuglNativeView>(parent), true))
    return false;
  m.window = std::move(w);
  m.fullRedraw = true;
  if (m.cursorHidden)
    m.window->ShowCursor(false);
  return true;
}

void IGraphics::CloseWindow() {
  Impl& m = *impl;
  if (!m.window)
    return;
  m.CloseTextEntry(false); // gives the keyboard back while the window still exists
  m.window.reset();
  // A drag or an edit in progress ends with the window.
  if (m.captured) {
    IControl* c = m.captured;
    m.captured = nullptr;
    c->OnMouseUp(m.mouseX, m.mouseY, {});
  }
  m.entryDragging = false;
  m.resizer.dragging = false;
  m.mouseInside = false;
  m.cursorHidden = false;
}

bool IGraphics::WindowIsOpen() const {
  return impl->window != nullptr;
}

void* IGraphics::GetWindow() const {
  return impl->window ? reinterpret_cast<void*>(impl->window->XWindow()) : nullptr;
}

int IGraphics::GetEventFd() const {
  return impl->window ? ConnectionNumber(impl->window->XDisplay()) : -1;
}

void IGraphics::ProcessEvents() {
  if (impl->window)
    puglUpdate(impl->window->world, 0.0);
}

void IGraphics::OnTimer() {
  if (!impl->window)
    return;
  impl->window->DrawFrame();
  ProcessEvents();
}

bool IGraphics::RenderOffscreen(std::vector<std::uint8_t>& rgba, int& width, int& height) {
  Impl& m = *impl;
  rgba.clear();
  width = height = 0;
  GraphicsWindow* w = m.window.get();
  if (!w) {
    if (!m.offscreen) {
      auto hidden = std::make_unique<GraphicsWindow>();
      if (!hidden->Open(m, 0, false))
        return false;
      m.offscreen = std::move(hidden);
    }
    w = m.offscreen.get();
  }
  if (puglEnterContext(w->view) != PUGL_SUCCESS)
    return false;
  const bool drawn = m.FrameInto(w->target, true);
  if (drawn) {
    w->target.ReadPixels(rgba);
    width = w->target.width;
    height = w->target.height;
  }
  puglLeaveContext(w->view);
  return drawn;
}

void IGraphics::Impl::ResizeWindow() {
  if (window)
    window->Resize(self.WindowWidth(), self.WindowHeight());
}

void IGraphics::Impl::ReleaseOffscreen() {
  offscreen.reset();
}

void IGraphics::Impl::TakeKeyboard() {
  if (window)
    window->TakeFocus();
}

void IGraphics::Impl::ReturnKeyboard() {
  if (window)
    window->ReturnFocus();
}

void IGraphics::Impl::ApplyCursor() {
  if (window)
    window->ShowCursor(!cursorHidden);
}
