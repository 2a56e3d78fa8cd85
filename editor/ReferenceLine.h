// One line beside the mode menu: what the target follows and whether the reference is usable.
// Display only. UI thread.
#pragma once

#include "ReadoutControl.h"

class ReferenceLine : public ReadoutControl {
public:
  ReferenceLine(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);
  void Draw(IGraphics& g) override;
};
