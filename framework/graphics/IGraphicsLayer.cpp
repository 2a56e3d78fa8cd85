// Cached layers: a static picture drawn once into a framebuffer of its own and copied into every
// frame, which costs a fraction of drawing it again with a software rasteriser.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "GraphicsImpl.h"
#include "GraphicsRender.h"
#include "RenderTarget.h"
#include "nanovg.h"

namespace {

void BeginNanoVG(IGraphics::Impl& m) {
  const RenderTarget& t = *m.target;
  const float s = m.PixelScale();
  nvgBeginFrame(m.vg, static_cast<float>(t.width) / s, static_cast<float>(t.height) / s, s);
}

} // namespace

void IGraphics::DrawCachedLayer(const IControl& owner, const std::function<void()>& draw) {
  Impl& m = *impl;
  if (!m.vg || !m.target) {
    draw();
    return;
  }
  RenderTarget& t = *m.target;
  const float s = m.PixelScale();
  const IRECT area = m.frameArea;
  const IRECT clip = owner.GetRECT().Intersect(area);
  // What was queued so far goes into the frame first; NanoVG starts again after the copy.
  nvgEndFrame(m.vg);
  if (!t.HasLayer(&owner, s)) {
    if (!t.BeginLayer(&owner, s)) { // no framebuffer to spare: draw into the frame as usual
      BeginNanoVG(m);
      GraphicsRender::Clip(m, clip);
      draw();
      return;
    }
    m.frameArea = m.EditorRect();
    BeginNanoVG(m);
    GraphicsRender::Clip(m, owner.GetRECT());
    draw();
    nvgEndFrame(m.vg);
    t.EndLayer();
    m.frameArea = area;
  }
  t.CopyLayer(&owner, static_cast<int>(std::lround(clip.L * s)), static_cast<int>(std::lround(clip.T * s)),
              std::min(t.width, static_cast<int>(std::lround(clip.R * s))),
              std::min(t.height, static_cast<int>(std::lround(clip.B * s))));
  BeginNanoVG(m);
  GraphicsRender::Clip(m, clip);
}
