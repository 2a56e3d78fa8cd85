#include "ModeMenu.h"

#include "Button.h"
#include "EditorLayout.h"
#include "IGraphics.h"
#include "Palette.h"
#include "ParamFollow.h"
#include "ParamHelpTexts.h"
#include "Params.h"
#include "ViewState.h"

namespace {
constexpr IRECT kModeMenuBounds(36.f, 110.f, 300.f, 146.f);
constexpr IRECT kModeTextBounds(49.f, 110.f, 272.f, 146.f);
constexpr int kNumModes = 2;
} // namespace

const char* ModeName(int mode) {
  return mode == 0 ? "Solo" : "Mix Reference";
}

ModeMenu::ModeMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView)
    : IControl(kModeMenuBounds, kMode), plugin(owner), viewState(std::move(sharedView)) {
  SetText(EditorText(15.f, kColorCream, EAlign::Near));
  SetTooltip(ParamHelpTexts(kMode));
}

int ModeMenu::CurrentMode() const {
  const IParam* param = GetParam();
  return param ? static_cast<int>(param->Value()) : 0;
}

void ModeMenu::Draw(IGraphics& g) {
  DrawPanel(g, GetRECT(), false, GetMouseIsOver());
  g.DrawText(GetText(), ModeName(CurrentMode()), kModeTextBounds);
  g.DrawLine(kColorPink, 278.f, 125.f, 283.f, 130.f, nullptr, 1.f);
  g.DrawLine(kColorPink, 283.f, 130.f, 288.f, 125.f, nullptr, 1.f);
}

bool ModeMenu::IsDirty() {
  TakeParamValue(*this);
  return IControl::IsDirty();
}

void ModeMenu::Open() {
  SetHelp(*viewState, "SOLO / MIX REFERENCE", ParamHelpTexts(kMode));
  menu.Clear();
  const int mode = CurrentMode();
  for (int i = 0; i < kNumModes; ++i)
    menu.AddItem(ModeName(i), i == mode ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
  if (IGraphics* ui = GetUI())
    ui->CreatePopupMenu(*this, menu, GetRECT(), 0);
}

void ModeMenu::OnMouseDown(float, float, const IMouseMod&) {
  Open();
}

bool ModeMenu::OnKeyDown(float, float, const IKeyPress& key) {
  if (key.VK != kVK_RETURN && key.VK != kVK_SPACE)
    return false;
  Open();
  return true;
}

void ModeMenu::OnPopupMenuSelection(IPopupMenu* chosen, int) {
  if (!chosen || chosen->GetChosenItemIdx() < 0)
    return;
  if (const IParam* param = GetParam()) {
    TakeParamValue(*this);
    SetValueFromUserInput(param->ToNormalized(chosen->GetChosenItemIdx()));
  }
  if (IGraphics* ui = GetUI())
    ui->SetAllControlsDirty();
}
