// Peak bars for the trimmed input, the output and the reference, the applied ride, the target and
// vocal levels, the rider's state and the clip warning. Display only. UI thread.
#pragma once

#include "ReadoutControl.h"

class LiveMeters : public ReadoutControl {
public:
  LiveMeters(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);
  void Draw(IGraphics& g) override;
};
