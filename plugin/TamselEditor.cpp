// The plug-in's editor functions: graphics creation, layout, and following the parent window.
#include <algorithm>
#include <cmath>

#include "EditorLayout.h"
#include "IGraphics.h"
#include "Tamsel.h"
#include "TamselConfig.h"

void Tamsel::SetEditorFunctions() {
  makeGraphicsFunc = [this] {
    return ::MakeGraphics(*this, kTamselConfig.plugWidth, kTamselConfig.plugHeight, kEditorFPS, 1.f);
  };
  layoutFunc = [this](IGraphics* graphics) { LayoutEditor(this, graphics); };
}

namespace {

// The draw scale that a parent of width x height pixels asks for at a screen scale: the smaller
// ratio, so that the whole editor fits.
float WantedScale(int width, int height, float screenScale) {
  return std::min(static_cast<float>(height) / (screenScale * static_cast<float>(kTamselConfig.plugHeight)),
                  static_cast<float>(width) / (screenScale * static_cast<float>(kTamselConfig.plugWidth)));
}

} // namespace

// UI thread. The resize this asks for may call back here; the guard makes that call do nothing.
void Tamsel::OnParentWindowResize(int width, int height) {
  if (resizing)
    return;
  IGraphics* graphics = GetUI();
  if (!graphics || graphics->NControls() == 0 || width <= 0 || height <= 0)
    return;
  const float screenScale = graphics->GetScreenScale();
  if (!std::isfinite(screenScale) || screenScale <= 0.f)
    return;
  resizing = true;
  const float wanted = WantedScale(width, height, screenScale);
  const float scale = std::clamp(wanted, kEditorMinScale, kEditorMaxScale);
  // Only a clamped scale needs the window to follow; otherwise the host already sized it.
  graphics->Resize(kTamselConfig.plugWidth, kTamselConfig.plugHeight, scale, scale != wanted);
  // A platform window that refuses to follow leaves the graphics at their old scale; they take the
  // clamped one all the same.
  if (graphics->GetDrawScale() != scale)
    graphics->Resize(kTamselConfig.plugWidth, kTamselConfig.plugHeight, scale, false);
  resizing = false;
}

// The scale taken from rounded pixels is not the scale they were rounded from, so a size is only
// kept as it is once taking it again gives the same pixels. Each round can only lower the scale a
// little, and the lower limit is such a size: a few rounds settle.
bool Tamsel::FitParentWindowSize(int& width, int& height, float screenScale) const {
  if (!std::isfinite(screenScale) || screenScale <= 0.f)
    return false;
  constexpr int kMaxRounds = 16;
  int w = width, h = height;
  for (int round = 0; round < kMaxRounds; ++round) {
    const float wanted = WantedScale(w, h, screenScale);
    const float scale = std::clamp(wanted, kEditorMinScale, kEditorMaxScale);
    const int nextW = IGraphics::PixelsOf(kTamselConfig.plugWidth, scale, screenScale);
    const int nextH = IGraphics::PixelsOf(kTamselConfig.plugHeight, scale, screenScale);
    const bool settled = nextW == w && nextH == h;
    w = nextW;
    h = nextH;
    if (settled)
      break;
  }
  width = w;
  height = h;
  return true;
}
