// The bottom status lines: the sample rate and the design notes. Display only. UI thread.
#pragma once

#include "ReadoutControl.h"

class Status : public ReadoutControl {
public:
  Status(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);
  void Draw(IGraphics& g) override;
};
