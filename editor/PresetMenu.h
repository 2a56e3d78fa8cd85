// The pop-up menu of the 16 factory presets; it names the preset the current values equal, or
// "Custom". UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "IControl.h"
#include "IPopupMenu.h"

class IGraphics;
class Tamsel;
struct ViewState;

class PresetMenu : public IControl {
public:
  PresetMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void Draw(IGraphics& g) override;
  // Redraws when the matching preset changed, whatever changed the values.
  bool IsDirty() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnPopupMenuSelection(IPopupMenu* chosen, int valIdx) override;

  Tamsel* plugin;
  std::shared_ptr<ViewState> viewState;
  IPopupMenu menu;               // the preset names, built once
  std::int32_t shownPreset = -2; // never a match result, so the first check redraws

private:
  void Open();
};
