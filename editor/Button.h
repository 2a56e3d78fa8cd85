// The editor's one clickable button class, whose kind decides what a click does, and the framed
// panel that buttons and menus share. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "IControl.h"

class IGraphics;
class Tamsel;
struct ViewState;

enum ButtonKind : std::int32_t {
  ParamToggle = 0,
  SwitchBank = 1,
  CopyBank = 2,
  PageTab = 3,
  FreezeHistory = 4,
  SupportMail = 5
};

class Button : public IControl {
public:
  // paramIdx: the toggled parameter for ParamToggle, kNoParameter otherwise; page: the page a
  // PageTab opens, 0 otherwise.
  Button(const IRECT& bounds, int paramIdx, const char* buttonLabel, ButtonKind buttonKind, int buttonPage,
         Tamsel* owner, std::shared_ptr<ViewState> sharedView);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void Draw(IGraphics& g) override;
  bool IsDirty() override;

  const char* label;
  Tamsel* plugin;
  std::shared_ptr<ViewState> viewState;
  std::int32_t kind;
  std::int32_t page;

private:
  void Click();
};

// Fill and outline of a panel: active fills darker pink, hover outlines amber.
void DrawPanel(IGraphics& g, const IRECT& bounds, bool active, bool hover);
