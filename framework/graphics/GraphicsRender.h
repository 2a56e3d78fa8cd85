// The frame's drawing target: NanoVG on the current GL context, or nothing in a headless frame.
#pragma once

#include "GraphicsImpl.h"

namespace GraphicsRender {
// area grown to whole pixels of the current scale.
IRECT PixelAligned(const IGraphics::Impl& m, const IRECT& area);
// Starts a frame over area (design points) of the current target; the area is cleared to black
// only when the target has no earlier content.
void BeginFrame(IGraphics::Impl& m, const IRECT& area);
// Limits drawing to r (design points) until the next Clip.
void Clip(IGraphics::Impl& m, const IRECT& r);
void EndFrame(IGraphics::Impl& m);
} // namespace GraphicsRender
