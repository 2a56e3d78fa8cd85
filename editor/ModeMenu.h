// The pop-up menu of the Mode parameter: Solo or Mix Reference. UI thread only.
#pragma once

#include "MenuControl.h"

// "Solo" for 0, "Mix Reference" for any other mode.
const char* ModeName(int mode);

class ModeMenu : public MenuControl {
public:
  ModeMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void Draw(IGraphics& g) override;
  bool IsDirty() override;
  // The default reset to Solo, from the live Mode.
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnPopupMenuSelection(IPopupMenu* chosen, int valIdx) override;

private:
  int CurrentMode() const;
  // Rebuilds the menu, so its tick follows the mode.
  void Open() override;
};
