#include "PageCaption.h"

#include <utility>

#include "AlwaysDirty.h"
#include "IGraphics.h"
#include "Palette.h"
#include "ViewState.h"

const char* PageCaptionText(int page) {
  switch (page) {
  case kPageMain:
    return "PHRASE SHAPE / RESPONSE / TRANSIENT DETAIL";
  case kPageActivity:
    return "ACTIVITY / PAUSES / ANALYSIS FILTERS";
  case kPageTiming:
    return "SLOW + FAST REQUESTS / ONE SHARED GAIN BUDGET";
  default:
    return "EXTERNAL INSTRUMENTAL REFERENCE / HOST ROUTING REQUIRED";
  }
}

PageCaption::PageCaption(const IRECT& bounds, std::shared_ptr<ViewState> state)
    : IControl(bounds), viewState(std::move(state)) {
  SetIgnoreMouse(true);
}

bool PageCaption::IsDirty() {
  return MarkDirtyEveryFrame(*this);
}

void PageCaption::Draw(IGraphics& g) {
  g.DrawText(EditorText(10.f, kColorAmber), PageCaptionText(viewState->page), GetRECT());
}
