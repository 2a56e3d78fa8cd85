// What the mode and preset menus share: a framed face with a name and a chevron, and a popup
// that a click, Enter or Space opens after writing the context help. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"
#include "IPopupMenu.h"

class IGraphics;
class Tamsel;
struct ViewState;

class MenuControl : public IControl {
public:
  MenuControl(const IRECT& bounds, int paramIdx, Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;

  Tamsel* plugin;
  std::shared_ptr<ViewState> viewState;
  IPopupMenu menu;

protected:
  // Fills the menu when it changes, then calls OpenPopup.
  virtual void Open() = 0;
  void OpenPopup(const char* helpTitle, const char* helpText);
  // The panel (never active) with the name in textBounds and a downward chevron whose left arm starts at
  // (x, y) and which is width wide.
  void DrawFace(IGraphics& g, const char* name, const IRECT& textBounds, const IColor& chevron, float x,
                float y, float width);
};
