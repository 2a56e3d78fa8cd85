// A placeholder that holds a control's place in the layout (rectangle, parameter, tooltip) while
// its own class is not in the tree yet. It draws nothing.
#pragma once

#include "IControl.h"

class LayoutStandIn : public IControl {
public:
  LayoutStandIn(const IRECT& bounds, int paramIdx, const char* tooltip, bool ignoresMouse)
      : IControl(bounds, paramIdx) {
    SetTooltip(tooltip);
    SetIgnoreMouse(ignoresMouse);
  }
  void Draw(IGraphics&) override {}
};
