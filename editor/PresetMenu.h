// The pop-up menu of the 16 factory presets; it names the preset the current values equal, or
// "Custom". UI thread only.
#pragma once

#include <cstdint>

#include "MenuControl.h"

class PresetMenu : public MenuControl {
public:
  PresetMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void Draw(IGraphics& g) override;
  // Redraws when the matching preset changed, whatever changed the values.
  bool IsDirty() override;
  void OnPopupMenuSelection(IPopupMenu* chosen, int valIdx) override;

  std::int32_t shownPreset = -2; // never a match result, so the first check redraws

private:
  // The menu holds the preset names from construction on; nothing is ticked.
  void Open() override;
};
