// The drawing calls, in design points, through NanoVG; nothing happens without a current target.
#include <GL/gl.h>

#include <cmath>

#include "GraphicsImpl.h"
#include "GraphicsRender.h"
#include "GraphicsResources.h"
#include "RenderTarget.h"
#include "nanovg.h"

namespace {

NVGcolor Color(const IColor& c) {
  auto channel = [](int v) { return static_cast<unsigned char>(std::clamp(v, 0, 255)); };
  return nvgRGBA(channel(c.R), channel(c.G), channel(c.B), channel(c.A));
}

// Degrees clockwise from straight up, to NanoVG's radians clockwise from the x axis.
float ArcAngle(float degrees) {
  return nvgDegToRad(degrees - 90.f);
}

NVGcontext* Begin(IGraphics::Impl& m, const IBlend* blend) {
  if (m.vg) {
    nvgGlobalAlpha(m.vg, blend ? std::clamp(blend->weight, 0.f, 1.f) : 1.f);
    nvgBeginPath(m.vg);
  }
  return m.vg;
}

void Stroke(NVGcontext* vg, const IColor& color, float thickness) {
  nvgStrokeColor(vg, Color(color));
  nvgStrokeWidth(vg, thickness);
  nvgStroke(vg);
  nvgBeginPath(vg); // NanoVG would keep the flattened path for the next calls
}

void Fill(NVGcontext* vg, const IColor& color) {
  nvgFillColor(vg, Color(color));
  nvgFill(vg);
  nvgBeginPath(vg);
}

NVGpaint Paint(NVGcontext* vg, const IPattern& p) {
  // The stops' offsets move the gradient's ends along the line between the two points.
  const float dx = p.x2 - p.x1, dy = p.y2 - p.y1;
  return nvgLinearGradient(vg, p.x1 + p.start.offset * dx, p.y1 + p.start.offset * dy,
                           p.x1 + p.end.offset * dx, p.y1 + p.end.offset * dy, Color(p.start.color),
                           Color(p.end.color));
}

} // namespace

IRECT GraphicsRender::PixelAligned(const IGraphics::Impl& m, const IRECT& area) {
  if (area.Empty())
    return {};
  const float s = m.PixelScale();
  return {std::floor(area.L * s) / s, std::floor(area.T * s) / s, std::ceil(area.R * s) / s,
          std::ceil(area.B * s) / s};
}

void GraphicsRender::BeginFrame(IGraphics::Impl& m, const IRECT& area) {
  m.frameArea = area;
  if (!m.vg)
    return;
  const RenderTarget& t = *m.target;
  const float s = m.PixelScale();
  const int x0 = static_cast<int>(std::lround(area.L * s)), y0 = static_cast<int>(std::lround(area.T * s));
  const int x1 = std::min(t.width, static_cast<int>(std::lround(area.R * s)));
  const int y1 = std::min(t.height, static_cast<int>(std::lround(area.B * s)));
  // The area starts opaque black, so that every pixel is opaque whatever is drawn.
  glEnable(GL_SCISSOR_TEST);
  glScissor(x0, t.height - y1, x1 - x0, y1 - y0);
  glClearColor(0.f, 0.f, 0.f, 1.f);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  nvgBeginFrame(m.vg, static_cast<float>(t.width) / s, static_cast<float>(t.height) / s, s);
}

void GraphicsRender::Clip(IGraphics::Impl& m, const IRECT& r) {
  if (!m.vg)
    return;
  nvgReset(m.vg);
  nvgBeginPath(m.vg);
  const IRECT c = r.Intersect(m.frameArea);
  nvgScissor(m.vg, c.L, c.T, c.W(), c.H());
}

void GraphicsRender::EndFrame(IGraphics::Impl& m) {
  if (m.vg)
    nvgEndFrame(m.vg);
}

ISVG IGraphics::LoadSVG(const char* fileNameOrResID, const char* units, float dpi) {
  std::vector<unsigned char> data;
  if (!ReadResourceOrFile(fileNameOrResID, data))
    return {};
  ISVG svg;
  svg.id = impl->svgs->Add(data, units, dpi, svg.width, svg.height);
  if (svg.id < 0)
    return {};
  return svg;
}

void IGraphics::DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend) {
  if (!impl->vg || !svg.IsValid() || svg.width <= 0.f || svg.height <= 0.f)
    return;
  const float scale = std::min(bounds.W() / svg.width, bounds.H() / svg.height);
  if (scale <= 0.f)
    return;
  const float w = svg.width * scale, h = svg.height * scale;
  const float s = impl->PixelScale();
  const int image = impl->target->SvgImage(*impl->svgs, svg.id, static_cast<int>(std::ceil(w * s)),
                                           static_cast<int>(std::ceil(h * s)));
  if (!image)
    return;
  NVGcontext* vg = Begin(*impl, blend);
  nvgRect(vg, bounds.L, bounds.T, w, h);
  nvgFillPaint(vg, nvgImagePattern(vg, bounds.L, bounds.T, w, h, 0.f, image, 1.f));
  nvgFill(vg);
  nvgBeginPath(vg);
}

void IGraphics::FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgRect(vg, bounds.L, bounds.T, bounds.W(), bounds.H());
    Fill(vg, color);
  }
}

void IGraphics::DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgRect(vg, bounds.L, bounds.T, bounds.W(), bounds.H());
    Stroke(vg, color, thickness);
  }
}

void IGraphics::FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius,
                              const IBlend* blend) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgRoundedRect(vg, bounds.L, bounds.T, bounds.W(), bounds.H(), cornerRadius);
    Fill(vg, color);
  }
}

void IGraphics::DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius,
                              const IBlend* blend, float thickness) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgRoundedRect(vg, bounds.L, bounds.T, bounds.W(), bounds.H(), cornerRadius);
    Stroke(vg, color, thickness);
  }
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                         float thickness) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgMoveTo(vg, x1, y1);
    nvgLineTo(vg, x2, y2);
    Stroke(vg, color, thickness);
  }
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                        const IBlend* blend, float thickness) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgArc(vg, cx, cy, r, ArcAngle(a1), ArcAngle(a2), NVG_CW);
    Stroke(vg, color, thickness);
  }
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend,
                           float thickness) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgCircle(vg, cx, cy, r);
    Stroke(vg, color, thickness);
  }
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend) {
  if (NVGcontext* vg = Begin(*impl, blend)) {
    nvgCircle(vg, cx, cy, r);
    Fill(vg, color);
  }
}

void IGraphics::PathClear() {
  if (impl->vg)
    nvgBeginPath(impl->vg);
}

void IGraphics::PathMoveTo(float x, float y) {
  if (impl->vg)
    nvgMoveTo(impl->vg, x, y);
}

void IGraphics::PathLineTo(float x, float y) {
  if (impl->vg)
    nvgLineTo(impl->vg, x, y);
}

void IGraphics::PathRect(const IRECT& bounds) {
  if (impl->vg)
    nvgRect(impl->vg, bounds.L, bounds.T, bounds.W(), bounds.H());
}

void IGraphics::PathRoundRect(const IRECT& bounds, float cornerRadius) {
  if (impl->vg)
    nvgRoundedRect(impl->vg, bounds.L, bounds.T, bounds.W(), bounds.H(), cornerRadius);
}

void IGraphics::PathCircle(float cx, float cy, float r) {
  if (impl->vg)
    nvgCircle(impl->vg, cx, cy, r);
}

void IGraphics::PathArc(float cx, float cy, float r, float a1, float a2) {
  if (impl->vg)
    nvgArc(impl->vg, cx, cy, r, ArcAngle(a1), ArcAngle(a2), NVG_CW);
}

// NanoVG fills by the non-zero rule; even-odd paths are filled the same way.
void IGraphics::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) {
  NVGcontext* vg = impl->vg;
  if (!vg)
    return;
  nvgGlobalAlpha(vg, blend ? std::clamp(blend->weight, 0.f, 1.f) : 1.f);
  if (pattern.type == IPattern::EType::Linear)
    nvgFillPaint(vg, Paint(vg, pattern));
  else
    nvgFillColor(vg, Color(pattern.start.color));
  nvgFill(vg);
  if (!options.preserve)
    nvgBeginPath(vg);
}

void IGraphics::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                           const IBlend* blend) {
  NVGcontext* vg = impl->vg;
  if (!vg)
    return;
  nvgGlobalAlpha(vg, blend ? std::clamp(blend->weight, 0.f, 1.f) : 1.f);
  if (pattern.type == IPattern::EType::Linear)
    nvgStrokePaint(vg, Paint(vg, pattern));
  else
    nvgStrokeColor(vg, Color(pattern.start.color));
  nvgStrokeWidth(vg, thickness);
  nvgStroke(vg);
  if (!options.preserve)
    nvgBeginPath(vg);
}
