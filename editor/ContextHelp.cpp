#include "ContextHelp.h"

#include <utility>

#include "IGraphics.h"
#include "Palette.h"
#include "ViewState.h"

ContextHelp::ContextHelp(const IRECT& bounds, std::shared_ptr<ViewState> state)
    : IControl(bounds), viewState(std::move(state)) {
  SetIgnoreMouse(true);
}

// Only the text is compared: a new title alone is picked up by the next full redraw.
bool ContextHelp::IsDirty() {
  if (cachedHelpText != viewState->helpText) {
    cachedHelpText = viewState->helpText;
    SetDirty(false);
  }
  return IControl::IsDirty();
}

// Both boxes reach two points above the band; the layer clips them to it.
void ContextHelp::Draw(IGraphics& g) {
  if (!viewState->helpTitle.empty())
    g.DrawText(EditorText(10.f, kColorAmber), viewState->helpTitle.c_str(), IRECT(36.f, 722.f, 303.f, 753.f));
  if (!viewState->helpText.empty())
    g.DrawMultiLineText(EditorText(12.f, kColorGrey), viewState->helpText.c_str(),
                        IRECT(314.f, 722.f, 1144.f, 753.f));
}
