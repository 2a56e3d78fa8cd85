// What one GL context draws with: its NanoVG context, the framebuffer object that keeps the
// editor's pixels between frames (only the dirty area is redrawn into it), the fonts registered
// with NanoVG and the SVG images uploaded as textures. Every call needs that context current.
#pragma once

#include <cstdint>
#include <vector>

struct NVGcontext;
struct FontStore;
struct SvgStore;

struct RenderTarget {
  NVGcontext* vg = nullptr;
  int width = 0, height = 0; // of the framebuffer, in pixels
  bool fresh = true;         // its pixels are undefined: the next frame must draw everything

  RenderTarget() = default;
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;

  bool Create();
  void Destroy();
  // Sizes the framebuffer (a new size makes it fresh), registers fonts added since the last
  // call, and binds it for drawing. false when the framebuffer can't be made.
  bool Prepare(int widthPx, int heightPx, const FontStore& fonts);
  // NanoVG's font id for the font at index of the store.
  int FontId(int index) const;
  // The NanoVG image of an SVG at a pixel size, rasterised and uploaded when not cached; 0 on failure.
  int SvgImage(SvgStore& svgs, int svg, int widthPx, int heightPx);
  // The framebuffer's pixels, RGBA, top row first.
  void ReadPixels(std::vector<std::uint8_t>& rgba) const;
  // Copies the framebuffer to the window's own buffer (windowHeight pixels high), top-left aligned.
  void BlitToWindow(int windowWidth, int windowHeight) const;

  // A cached picture the size of the framebuffer, one per owner, drawn at one pixel scale.
  // Whether owner's picture exists for the current size and scale.
  bool HasLayer(const void* owner, float scale) const;
  // Binds owner's picture for drawing, made or resized as needed and cleared to opaque black;
  // false when its framebuffer can't be made (nothing is bound then).
  bool BeginLayer(const void* owner, float scale);
  // Binds the framebuffer again after a layer was drawn.
  void EndLayer();
  // Copies the pixels x0..x1, y0..y1 (top row 0) of owner's picture into the framebuffer.
  void CopyLayer(const void* owner, int x0, int y0, int x1, int y1) const;

private:
  struct Layer {
    const void* owner;
    unsigned fbo, color, depthStencil;
    int width, height;
    float scale;
  };
  void ReleaseFramebuffer();
  void ReleaseLayers();
  unsigned fbo = 0, color = 0, depthStencil = 0;
  std::vector<Layer> layers;
  std::vector<int> fontIds;
  struct Image {
    int svg, widthPx, heightPx, image;
  };
  std::vector<Image> images;
};
