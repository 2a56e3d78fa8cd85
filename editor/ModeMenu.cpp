#include "ModeMenu.h"

#include "IGraphics.h"
#include "Palette.h"
#include "ParamFollow.h"
#include "ParamHelpTexts.h"
#include "Params.h"

namespace {
constexpr IRECT kModeMenuBounds(36.f, 110.f, 300.f, 146.f);
constexpr IRECT kModeTextBounds(49.f, 110.f, 272.f, 146.f);
constexpr int kNumModes = 2;
} // namespace

const char* ModeName(int mode) {
  return mode == 0 ? "Solo" : "Mix Reference";
}

ModeMenu::ModeMenu(Tamsel* owner, std::shared_ptr<ViewState> sharedView)
    : MenuControl(kModeMenuBounds, kMode, owner, std::move(sharedView)) {
  SetTooltip(ParamHelpTexts(kMode));
}

int ModeMenu::CurrentMode() const {
  const IParam* param = GetParam();
  return param ? static_cast<int>(param->Value()) : 0;
}

void ModeMenu::Draw(IGraphics& g) {
  DrawFace(g, ModeName(CurrentMode()), kModeTextBounds, kColorPink, 278.f, 125.f, 10.f);
}

bool ModeMenu::IsDirty() {
  TakeParamValue(*this);
  return IControl::IsDirty();
}

void ModeMenu::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  TakeParamValue(*this);
  MenuControl::OnMouseDblClick(x, y, mod);
}

void ModeMenu::Open() {
  menu.Clear();
  const int mode = CurrentMode();
  for (int i = 0; i < kNumModes; ++i)
    menu.AddItem(ModeName(i), i == mode ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
  OpenPopup("SOLO / MIX REFERENCE", ParamHelpTexts(kMode));
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
