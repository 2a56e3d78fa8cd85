#include "Backdrop.h"

#include <utility>

#include "AlwaysDirty.h"
#include "IGraphics.h"
#include "Palette.h"
#include "RiderEngine.h"
#include "Tamsel.h"
#include "ViewState.h"

namespace {
constexpr IColor kGradientTop(255, 32, 37, 50);
constexpr IColor kGradientBottom(255, 15, 21, 30);
constexpr IColor kScanLineStrong(3, 255, 255, 255);
constexpr IColor kScanLineFaint(1, 255, 255, 255);

constexpr IRECT kMainRowPanel(36.f, 421.f, 1144.f, 547.f);
constexpr IRECT kPagePanel(36.f, 604.f, 1144.f, 716.f);

void DrawPanelFrame(IGraphics& g, const IRECT& panel) {
  g.FillRoundRect(kColorInk, panel, 5.f);
  // Half a point in, so the one-point outline lies on whole pixels at scale 1.
  g.DrawRoundRect(kColorSlate, panel.GetPadded(-0.5f), 5.f, nullptr, 1.f);
}
} // namespace

Backdrop::Backdrop(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> state)
    : IControl(bounds), plugin(owner), viewState(std::move(state)) {
  SetIgnoreMouse(true);
}

// UI thread, once per frame before any other control's check: a view caught mid-write is
// skipped, and the record keeps the last good one.
bool Backdrop::IsDirty() {
  if (plugin && plugin->engine) {
    const RiderEngine& engine = *plugin->engine;
    const ViewSnapshot view = engine.ReadView();
    if (view.valid) {
      viewState->snapshot = view;
      viewState->peaks = engine.ReadPeaks();
    }
  }
  return MarkDirtyEveryFrame(*this);
}

// The picture never changes at a given size: it is painted once and copied into every frame.
void Backdrop::Draw(IGraphics& g) {
  g.DrawCachedLayer(*this, [this, &g] { DrawBackground(g); });
}

void Backdrop::DrawBackground(IGraphics& g) {
  const IRECT& r = GetRECT();
  g.PathClear();
  g.PathRect(r);
  g.PathFill(
      IPattern::CreateLinearGradient(590.f, 0.f, 590.f, 800.f, {kGradientTop, 0.f}, {kGradientBottom, 1.f}));

  // Each scan line is the one-point band a line of thickness 1 would cover, filled: a software
  // rasteriser fills a band in a fraction of the time it takes to stroke the same line.
  for (int y = 0; y < 800; y += 4) {
    const auto fy = static_cast<float>(y);
    g.FillRect(y % 12 == 0 ? kScanLineStrong : kScanLineFaint, IRECT(0.f, fy - 0.5f, 1180.f, fy + 0.5f));
  }

  g.DrawText(EditorText(35.f, kColorCream), "TAMSEL", IRECT(36.f, 41.f, 640.f, 84.f));
  g.DrawText(EditorText(11.f, kColorGrey), "NATURAL LEVEL / SLOW + FAST GAIN RIDING",
             IRECT(40.f, 86.f, 700.f, 101.f));
  g.DrawLine(kColorSlate, 36.f, 103.f, 1144.f, 103.f, nullptr, 1.f);

  DrawPanelFrame(g, kMainRowPanel);
  DrawPanelFrame(g, kPagePanel);
  g.DrawLine(kColorSlate, 36.f, 755.f, 1144.f, 755.f, nullptr, 1.f);
}
