// The pop-up menu of the Mode parameter: Solo or Mix Reference. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"
#include "IPopupMenu.h"

class IGraphics;
class Tamsel;
struct ViewState;

// "Solo" for 0, "Mix Reference" for any other mode.
const char* ModeName(int mode);

class ModeMenu : public IControl {
public:
  ModeMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void Draw(IGraphics& g) override;
  bool IsDirty() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnPopupMenuSelection(IPopupMenu* chosen, int valIdx) override;

  Tamsel* plugin;
  std::shared_ptr<ViewState> viewState;
  IPopupMenu menu; // rebuilt at every opening, so its tick follows the mode

private:
  int CurrentMode() const;
  void Open();
};
