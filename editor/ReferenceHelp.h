// The MIX REFERENCE page's routing help and whether an external bus is connected. Display only.
// UI thread.
#pragma once

#include "ReadoutControl.h"

class ReferenceHelp : public ReadoutControl {
public:
  ReferenceHelp(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);
  void Draw(IGraphics& g) override;
};
