// The chronological picture of the last 256 history points: levels and target above, requests and
// the applied ride below. Keeps a live copy of the engine's view and a drawn one that stands still
// while the history is frozen. Ignores the mouse. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"
#include "ViewState.h"

class Tamsel;
struct CurveStyle;

class HistoryGraph : public IControl {
public:
  HistoryGraph(Tamsel* plugin, std::shared_ptr<ViewState> viewState);

  void Draw(IGraphics& g) override;
  // Refreshes the copies; dirty every frame, frozen or not.
  bool IsDirty() override;

  const ViewSnapshot& LiveView() const { return liveView; }
  const ViewSnapshot& DisplayView() const { return displayView; }

private:
  void DrawHistoryCurve(IGraphics& g, const HistoryCurve& ring, const IRECT& panel, const IColor& color,
                        const CurveStyle& style, int oldest, float range);

  Tamsel* plugin; // not owned; the graph draws from the view alone
  std::shared_ptr<ViewState> viewState;
  ViewSnapshot liveView;
  ViewSnapshot displayView;
};
