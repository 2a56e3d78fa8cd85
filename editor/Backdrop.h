// The editor's background, first of its controls. Its dirty check is the frame's one pull of the
// engine's published view into the shared view record. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"

class Tamsel;
struct ViewState;

class Backdrop : public IControl {
public:
  Backdrop(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);

  void Draw(IGraphics& g) override;
  // Dirty in every frame: the whole editor is redrawn at the frame rate.
  bool IsDirty() override;

  // The editor's shared record, reached through its first control (screenshots, tests).
  ViewState& GetViewState() const { return *viewState; }

private:
  void DrawBackground(IGraphics& g);

  Tamsel* plugin; // not owned
  std::shared_ptr<ViewState> viewState;
};
