// The common base of the display-only read-outs beside and below the graph: they hold the plug-in
// and a share of the view record, ignore the mouse, and are drawn again on every frame.
#pragma once

#include <memory>
#include <utility>

#include "AlwaysDirty.h"
#include "IControl.h"
#include "ViewState.h"

class Tamsel;

class ReadoutControl : public IControl {
public:
  ReadoutControl(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
      : IControl(bounds), plugin(owner), viewState(std::move(view)) {
    SetIgnoreMouse(true);
  }

  bool IsDirty() override { return MarkDirtyEveryFrame(*this); }

protected:
  Tamsel* plugin; // not owned
  std::shared_ptr<ViewState> viewState;
};
