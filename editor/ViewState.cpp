#include "ViewState.h"

#include "IGraphics.h"

void AttachPagedControl(ViewState& viewState, IGraphics& graphics, IControl* control, int page) {
  graphics.AttachControl(control, kNoTag, "");
  viewState.pagedControls.push_back({control, page});
}

void ShowPage(ViewState& viewState, IGraphics& graphics) {
  for (const PagedControl& entry : viewState.pagedControls)
    entry.control->Hide(entry.page >= 0 && entry.page != viewState.page);
  graphics.SetAllControlsDirty();
}

void SetHelp(ViewState& viewState, const char* title, const char* text) {
  viewState.helpTitle = title ? title : "";
  viewState.helpText = text ? text : "";
}
