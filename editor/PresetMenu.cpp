#include "PresetMenu.h"

#include "Button.h"
#include "EditorLayout.h"
#include "IGraphics.h"
#include "Palette.h"
#include "Tamsel.h"
#include "ViewState.h"

namespace {
constexpr IRECT kPresetMenuBounds(747.f, 41.f, 1015.f, 83.f);
constexpr IRECT kPresetTextBounds(760.f, 41.f, 989.f, 83.f);
} // namespace

PresetMenu::PresetMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView)
    : IControl(kPresetMenuBounds), plugin(owner), viewState(std::move(sharedView)) {
  SetText(EditorText(15.f, kColorCream, EAlign::Near));
  SetTooltip("16 original vocal-riding starting points. Presets change controls, never sidechain routing.");
  for (const PresetRecord& preset : GetFactoryPresets())
    menu.AddItem(preset.name);
}

void PresetMenu::Draw(IGraphics& g) {
  DrawPanel(g, GetRECT(), false, GetMouseIsOver());
  const int match = plugin->FindMatchingPreset();
  const char* name =
      static_cast<unsigned>(match) < kNumFactoryPresets ? GetFactoryPresets()[match].name : "Custom";
  g.DrawText(GetText(), name, kPresetTextBounds);
  g.DrawLine(kColorAmber, 993.f, 58.f, 999.f, 64.f, nullptr, 1.f);
  g.DrawLine(kColorAmber, 999.f, 64.f, 1005.f, 58.f, nullptr, 1.f);
}

bool PresetMenu::IsDirty() {
  const int match = plugin->FindMatchingPreset();
  if (match != shownPreset) {
    shownPreset = match;
    SetDirty(false);
  }
  return IControl::IsDirty();
}

void PresetMenu::Open() {
  SetHelp(*viewState, "FACTORY STARTING POINTS",
          "Listen and adapt to your recorded level. Presets do not connect a reference bus; A/B stores both "
          "sets of actual controls.");
  if (IGraphics* ui = GetUI())
    ui->CreatePopupMenu(*this, menu, GetRECT(), 0);
}

void PresetMenu::OnMouseDown(float, float, const IMouseMod&) {
  Open();
}

bool PresetMenu::OnKeyDown(float, float, const IKeyPress& key) {
  if (key.VK != kVK_RETURN && key.VK != kVK_SPACE)
    return false;
  Open();
  return true;
}

void PresetMenu::OnPopupMenuSelection(IPopupMenu* chosen, int) {
  if (!chosen || chosen->GetChosenItemIdx() < 0)
    return;
  plugin->ApplyPreset(chosen->GetChosenItemIdx());
  if (IGraphics* ui = GetUI())
    ui->SetAllControlsDirty();
}
