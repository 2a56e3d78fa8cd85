// The help band above the bottom row: the current help title on the left, its explanation wrapped
// on the right. The texts come from the shared view record. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "IControl.h"

struct ViewState;

class ContextHelp : public IControl {
public:
  ContextHelp(const IRECT& bounds, std::shared_ptr<ViewState> viewState);

  void Draw(IGraphics& g) override;
  // Dirty when the help text changed since the last frame.
  bool IsDirty() override;

private:
  std::shared_ptr<ViewState> viewState;
  std::string cachedHelpText; // the help text seen at the last change
};
