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
  const float designWidth = static_cast<float>(kTamselConfig.plugWidth);
  const float designHeight = static_cast<float>(kTamselConfig.plugHeight);
  const float wanted = std::min(static_cast<float>(height) / (screenScale * designHeight),
                                static_cast<float>(width) / (screenScale * designWidth));
  const float scale = std::clamp(wanted, kEditorMinScale, kEditorMaxScale);
  // Only a clamped scale needs the window to follow; otherwise the host already sized it.
  graphics->Resize(kTamselConfig.plugWidth, kTamselConfig.plugHeight, scale, scale != wanted);
  // A platform window that refuses to follow leaves the graphics at their old scale; they take the
  // clamped one all the same.
  if (graphics->GetDrawScale() != scale)
    graphics->Resize(kTamselConfig.plugWidth, kTamselConfig.plugHeight, scale, false);
  resizing = false;
}
