#include "PresetMenu.h"

#include "IGraphics.h"
#include "Palette.h"
#include "Tamsel.h"

namespace {
constexpr IRECT kPresetMenuBounds(747.f, 41.f, 1015.f, 83.f);
constexpr IRECT kPresetTextBounds(760.f, 41.f, 989.f, 83.f);
} // namespace

PresetMenu::PresetMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView)
    : MenuControl(kPresetMenuBounds, kNoParameter, owner, std::move(sharedView)) {
  SetTooltip("16 original vocal-riding starting points. Presets change controls, never sidechain routing.");
  for (const PresetRecord& preset : GetFactoryPresets())
    menu.AddItem(preset.name);
}

void PresetMenu::Draw(IGraphics& g) {
  const int match = plugin->FindMatchingPreset();
  const char* name =
      static_cast<unsigned>(match) < kNumFactoryPresets ? GetFactoryPresets()[match].name : "Custom";
  DrawFace(g, name, kPresetTextBounds, kColorAmber, 993.f, 58.f, 12.f);
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
  OpenPopup("FACTORY STARTING POINTS", "Listen and adapt to your recorded level. Presets do not connect a "
                                       "reference bus; A/B stores both sets of actual controls.");
}

void PresetMenu::OnPopupMenuSelection(IPopupMenu* chosen, int) {
  if (!chosen || chosen->GetChosenItemIdx() < 0)
    return;
  plugin->ApplyPreset(chosen->GetChosenItemIdx());
  if (IGraphics* ui = GetUI())
    ui->SetAllControlsDirty();
}
