#include "Button.h"

#include "AlwaysDirty.h"
#include "IGraphics.h"
#include "MakerLinks.h"
#include "Palette.h"
#include "ParamFollow.h"
#include "ParamHelpTexts.h"
#include "Tamsel.h"
#include "ViewState.h"

namespace {
constexpr const char* kCopyTitle = "COPY TO OTHER BANK";
constexpr const char* kCopyText =
    "Current controls were copied to the other A/B bank. Sidechain connectivity "
    "belongs to the host and is not changed.";
constexpr const char* kFreezeTitle = "DISPLAY HISTORY ONLY";
constexpr const char* kFreezeText =
    "History is paused for visual inspection. Live scalar meters, actual gain "
    "riding and host automation keep running.";
} // namespace

void DrawPanel(IGraphics& g, const IRECT& bounds, bool active, bool hover) {
  g.FillRoundRect(active ? kColorActiveFill : kColorInk, bounds, 5.f);
  const IColor outline = hover ? kColorAmber : (active ? kColorPink : kColorSlate);
  g.DrawRoundRect(outline, bounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);
}

Button::Button(const IRECT& bounds, int paramIdx, const char* buttonLabel, ButtonKind buttonKind,
               int buttonPage, Tamsel* owner, std::shared_ptr<ViewState> sharedView)
    : IControl(bounds, paramIdx), label(buttonLabel ? buttonLabel : ""), plugin(owner),
      viewState(std::move(sharedView)), kind(buttonKind), page(buttonPage) {}

void Button::Click() {
  IGraphics* ui = GetUI();
  switch (kind) {
  case ParamToggle: {
    if (GetParam()) {
      TakeParamValue(*this);
      SetValueFromUserInput(GetValue() < 0.5 ? 1.0 : 0.0);
    }
    const int index = GetParamIdx();
    SetHelp(*viewState, static_cast<unsigned>(index) < kNumParams ? kParamNames[index] : "",
            ParamHelpTexts(index));
    break;
  }
  case SwitchBank:
    plugin->ToggleBank();
    break;
  case CopyBank:
    plugin->CopyToOtherBank();
    SetHelp(*viewState, kCopyTitle, kCopyText);
    break;
  case PageTab:
    viewState->page = page;
    if (ui)
      ShowPage(*viewState, *ui);
    break;
  case FreezeHistory:
    viewState->historyFrozen = !viewState->historyFrozen;
    SetHelp(*viewState, kFreezeTitle, kFreezeText);
    break;
  case SupportMail:
    if (ui)
      ui->OpenURL(kSupportMailUrl);
    break;
  default:
    break;
  }
  if (ui)
    ui->SetAllControlsDirty();
}

void Button::OnMouseDown(float, float, const IMouseMod&) {
  Click();
}

bool Button::OnKeyDown(float, float, const IKeyPress& key) {
  if (key.VK != kVK_RETURN && key.VK != kVK_SPACE)
    return false;
  Click();
  return true;
}

bool Button::IsDirty() {
  TakeParamValue(*this);
  return MarkDirtyEveryFrame(*this);
}

void Button::Draw(IGraphics& g) {
  const IParam* param = GetParam();
  const bool on = param && param->GetNormalized() > 0.5;
  bool active = on;
  const char* text = label;
  switch (kind) {
  case PageTab:
    active = page == viewState->page || on;
    break;
  case SwitchBank: {
    const bool bankB = plugin->activeBank.load();
    active = on || bankB;
    text = bankB ? "B" : "A";
    break;
  }
  case FreezeHistory:
    active = on || viewState->historyFrozen;
    text = viewState->historyFrozen ? "HISTORY FROZEN" : "FREEZE HISTORY";
    break;
  default:
    break;
  }
  DrawPanel(g, GetRECT(), active, GetMouseIsOver());
  g.DrawText(EditorText(12.f, active ? kColorPink : kColorCream, EAlign::Center), text, GetRECT());
}
