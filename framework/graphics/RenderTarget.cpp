#include "RenderTarget.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "FontStore.h"
#include "SvgStore.h"
#include "nanovg.h"
#define NANOVG_GL2 1
#include "nanovg_gl.h"

namespace {

// A colour and a depth-stencil buffer (NanoVG fills concave paths through the stencil), bound.
bool MakeFramebuffer(int widthPx, int heightPx, unsigned& fbo, unsigned& color, unsigned& depthStencil) {
  glGenFramebuffers(1, &fbo);
  glGenRenderbuffers(1, &color);
  glGenRenderbuffers(1, &depthStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, color);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, widthPx, heightPx);
  glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, widthPx, heightPx);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void DeleteFramebuffer(unsigned& fbo, unsigned& color, unsigned& depthStencil) {
  if (fbo)
    glDeleteFramebuffers(1, &fbo);
  if (color)
    glDeleteRenderbuffers(1, &color);
  if (depthStencil)
    glDeleteRenderbuffers(1, &depthStencil);
  fbo = color = depthStencil = 0;
}

} // namespace

bool RenderTarget::Create() {
  // No stencil strokes: they cost three passes per stroke, and opaque strokes gain nothing by them.
  vg = nvgCreateGL2(NVG_ANTIALIAS);
  fresh = true;
  return vg != nullptr;
}

void RenderTarget::Destroy() {
  ReleaseFramebuffer();
  if (vg)
    nvgDeleteGL2(vg); // frees the images' textures too
  vg = nullptr;
  fontIds.clear();
  images.clear();
}

void RenderTarget::ReleaseFramebuffer() {
  DeleteFramebuffer(fbo, color, depthStencil);
  width = height = 0;
  ReleaseLayers();
}

void RenderTarget::ReleaseLayers() {
  for (Layer& l : layers)
    DeleteFramebuffer(l.fbo, l.color, l.depthStencil);
  layers.clear();
}

bool RenderTarget::Prepare(int widthPx, int heightPx, const FontStore& fonts) {
  if (!vg || widthPx <= 0 || heightPx <= 0)
    return false;
  if (widthPx != width || heightPx != height || !fbo) {
    ReleaseFramebuffer();
    if (!MakeFramebuffer(widthPx, heightPx, fbo, color, depthStencil)) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      ReleaseFramebuffer();
      return false;
    }
    width = widthPx;
    height = heightPx;
    fresh = true;
  }
  for (std::size_t i = fontIds.size(); i < fonts.fonts.size(); ++i) {
    FontStore::Font& f = *fonts.fonts[i];
    fontIds.push_back(nvgCreateFontMem(vg, f.id.c_str(), f.data.data(), static_cast<int>(f.data.size()), 0));
  }
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glViewport(0, 0, width, height);
  return true;
}

int RenderTarget::FontId(int index) const {
  return index >= 0 && index < static_cast<int>(fontIds.size()) ? fontIds[static_cast<std::size_t>(index)]
                                                                : -1;
}

int RenderTarget::SvgImage(SvgStore& svgs, int svg, int widthPx, int heightPx) {
  for (const Image& i : images)
    if (i.svg == svg && i.widthPx == widthPx && i.heightPx == heightPx)
      return i.image;
  const SvgStore::Raster* raster = svgs.Rasterise(svg, widthPx, heightPx);
  if (!raster)
    return 0;
  // Keep a few sizes of each image (a resize drag makes many).
  constexpr int kSizesKept = 3;
  if (std::count_if(images.begin(), images.end(), [svg](const Image& i) { return i.svg == svg; }) >=
      kSizesKept) {
    auto oldest = std::find_if(images.begin(), images.end(), [svg](const Image& i) { return i.svg == svg; });
    nvgDeleteImage(vg, oldest->image);
    images.erase(oldest);
  }
  const int image = nvgCreateImageRGBA(vg, widthPx, heightPx, NVG_IMAGE_PREMULTIPLIED, raster->rgba.data());
  if (image)
    images.push_back({svg, widthPx, heightPx, image});
  return image;
}

void RenderTarget::ReadPixels(std::vector<std::uint8_t>& rgba) const {
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(height));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  rgba.resize(bottomUp.size());
  for (int y = 0; y < height; ++y)
    std::copy_n(bottomUp.data() + row * static_cast<std::size_t>(height - 1 - y), row,
                rgba.data() + row * static_cast<std::size_t>(y));
}

void RenderTarget::BlitToWindow(int windowWidth, int windowHeight) const {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glViewport(0, 0, windowWidth, windowHeight);
  glDisable(GL_SCISSOR_TEST);
  if (windowWidth > width || windowHeight > height) {
    glClearColor(0.f, 0.f, 0.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // GL counts rows from the bottom: keep the editor's top edge at the window's top.
  const int top = windowHeight - height;
  glBlitFramebuffer(0, 0, width, height, 0, top, width, top + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool RenderTarget::HasLayer(const void* owner, float scale) const {
  return std::any_of(layers.begin(), layers.end(), [&](const Layer& l) {
    return l.owner == owner && l.width == width && l.height == height && l.scale == scale;
  });
}

bool RenderTarget::BeginLayer(const void* owner, float scale) {
  auto l = std::find_if(layers.begin(), layers.end(), [owner](const Layer& x) { return x.owner == owner; });
  if (l != layers.end() && (l->width != width || l->height != height)) {
    DeleteFramebuffer(l->fbo, l->color, l->depthStencil);
    layers.erase(l);
    l = layers.end();
  }
  if (l == layers.end()) {
    Layer made{owner, 0, 0, 0, width, height, scale};
    if (!MakeFramebuffer(width, height, made.fbo, made.color, made.depthStencil)) {
      DeleteFramebuffer(made.fbo, made.color, made.depthStencil);
      EndLayer();
      return false;
    }
    layers.push_back(made);
    l = layers.end() - 1;
  }
  l->scale = scale;
  glBindFramebuffer(GL_FRAMEBUFFER, l->fbo);
  glViewport(0, 0, width, height);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.f, 0.f, 0.f, 1.f);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  return true;
}

void RenderTarget::EndLayer() {
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glViewport(0, 0, width, height);
}

void RenderTarget::CopyLayer(const void* owner, int x0, int y0, int x1, int y1) const {
  const auto l =
      std::find_if(layers.begin(), layers.end(), [owner](const Layer& x) { return x.owner == owner; });
  if (l == layers.end() || x1 <= x0 || y1 <= y0)
    return;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, l->fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
  glDisable(GL_SCISSOR_TEST);
  // GL counts rows from the bottom.
  glBlitFramebuffer(x0, height - y1, x1, height - y0, x0, height - y1, x1, height - y0, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
}
