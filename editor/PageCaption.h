// The one-line caption between the page tabs and the page panel, naming what the shown page is
// about. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"

struct ViewState;

// The caption of page; any value other than 0..2 gets the reference page's.
const char* PageCaptionText(int page);

class PageCaption : public IControl {
public:
  PageCaption(const IRECT& bounds, std::shared_ptr<ViewState> viewState);

  void Draw(IGraphics& g) override;
  // Dirty in every frame.
  bool IsDirty() override;

private:
  std::shared_ptr<ViewState> viewState;
};
