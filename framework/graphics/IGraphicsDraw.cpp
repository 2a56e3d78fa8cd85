// The drawing calls, in design points, through NanoVG.
#include "GraphicsImpl.h"
#include "GraphicsRender.h"

void GraphicsRender::BeginFrame(IGraphics::Impl&, const IRECT&) {}
void GraphicsRender::Clip(IGraphics::Impl&, const IRECT&) {}
void GraphicsRender::EndFrame(IGraphics::Impl&) {}

ISVG IGraphics::LoadSVG(const char*, const char*, float) {
  return {};
}

void IGraphics::FillRect(const IColor&, const IRECT&, const IBlend*) {}
void IGraphics::DrawRect(const IColor&, const IRECT&, const IBlend*, float) {}
void IGraphics::FillRoundRect(const IColor&, const IRECT&, float, const IBlend*) {}
void IGraphics::DrawRoundRect(const IColor&, const IRECT&, float, const IBlend*, float) {}
void IGraphics::DrawLine(const IColor&, float, float, float, float, const IBlend*, float) {}
void IGraphics::DrawArc(const IColor&, float, float, float, float, float, const IBlend*, float) {}
void IGraphics::DrawCircle(const IColor&, float, float, float, const IBlend*, float) {}
void IGraphics::FillCircle(const IColor&, float, float, float, const IBlend*) {}
void IGraphics::PathClear() {}
void IGraphics::PathMoveTo(float, float) {}
void IGraphics::PathLineTo(float, float) {}
void IGraphics::PathRect(const IRECT&) {}
void IGraphics::PathRoundRect(const IRECT&, float) {}
void IGraphics::PathCircle(float, float, float) {}
void IGraphics::PathArc(float, float, float, float, float) {}
void IGraphics::PathFill(const IPattern&, const IFillOptions&, const IBlend*) {}
void IGraphics::PathStroke(const IPattern&, float, const IStrokeOptions&, const IBlend*) {}
void IGraphics::DrawSVG(const ISVG&, const IRECT&, const IBlend*) {}
