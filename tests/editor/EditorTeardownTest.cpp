// Destroying the plug-in while its editor's window is open and a knob is held: the knob lets go
// while the plug-in is still whole, so nothing calls into a half-destroyed object. The engine's
// single release is checked by the sanitizer trees (a second release or none at all is reported).
#include <gtest/gtest.h>

#include <memory>

#include "IGraphics.h"
#include "Knob.h"
#include "Params.h"
#include "Tamsel.h"

namespace {

constexpr float kMixX = 1072.5f; // body of MIX, the last knob of the main row
constexpr float kMixY = 478.f;

TEST(EditorTeardown, DestroyingThePluginDuringAKnobDragEndsNormally) {
  auto plugin = std::make_unique<Tamsel>();
  ASSERT_NE(plugin->OpenWindow(nullptr), nullptr) << "no X display";
  IGraphics& ui = *plugin->GetUI();
  IMouseMod left;
  left.L = true;
  ui.OnMouseDown(kMixX, kMixY, left);
  ui.OnMouseDrag(kMixX, kMixY - 40.f, 0.f, -40.f, left);
  ui.ProcessEvents();
  const auto* mix = dynamic_cast<const Knob*>(ui.GetMouseControl(kMixX, kMixY));
  ASSERT_NE(mix, nullptr);
  ASSERT_EQ(mix->GetParamIdx(), kMix);
  ASSERT_TRUE(mix->IsDragging());
  ASSERT_TRUE(ui.IsMouseCursorHidden());
  plugin.reset();
}

} // namespace
