#include "MenuControl.h"

#include "Button.h"
#include "IGraphics.h"
#include "Palette.h"
#include "ViewState.h"

MenuControl::MenuControl(const IRECT& bounds, int paramIdx, Tamsel* owner,
                         std::shared_ptr<ViewState> sharedView)
    : IControl(bounds, paramIdx), plugin(owner), viewState(std::move(sharedView)) {
  SetText(EditorText(15.f, kColorCream, EAlign::Near));
}

void MenuControl::OnMouseDown(float, float, const IMouseMod&) {
  Open();
}

bool MenuControl::OnKeyDown(float, float, const IKeyPress& key) {
  if (key.VK != kVK_RETURN && key.VK != kVK_SPACE)
    return false;
  Open();
  return true;
}

void MenuControl::OpenPopup(const char* helpTitle, const char* helpText) {
  SetHelp(*viewState, helpTitle, helpText);
  if (IGraphics* ui = GetUI())
    ui->CreatePopupMenu(*this, menu, GetRECT(), 0);
}

void MenuControl::DrawFace(IGraphics& g, const char* name, const IRECT& textBounds, const IColor& chevron,
                           float x, float y, float width) {
  DrawPanel(g, GetRECT(), false, GetMouseIsOver());
  g.DrawText(GetText(), name, textBounds);
  const float half = 0.5f * width;
  g.DrawLine(chevron, x, y, x + half, y + half, nullptr, 1.f);
  g.DrawLine(chevron, x + half, y + half, x + width, y, nullptr, 1.f);
}
