#include "LiveMeters.h"

#include "IGraphics.h"
#include "LiveReadouts.h"
#include "Palette.h"

LiveMeters::LiveMeters(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
    : ReadoutControl(bounds, owner, std::move(view)) {}

void LiveMeters::Draw(IGraphics& g) {
  const MeterScene scene = MakeMeterScene(viewState->snapshot, viewState->peaks);
  const IRECT& bounds = GetRECT();
  g.FillRoundRect(kColorInk, bounds, 5.f);
  g.DrawRoundRect(kColorSlate, bounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);
  g.DrawText(EditorText(11.f, kColorGrey), "ACTUAL SIGNAL / GAIN", IRECT(885.f, 159.f, 1130.f, 184.f));

  for (int k = 0; k < kMeterBars; ++k) {
    const MeterBar& bar = scene.bars[static_cast<std::size_t>(k)];
    const float y = MeterBarY(k);
    g.DrawText(EditorText(10.f, kColorGrey), bar.label, IRECT(885.f, y - 7.f, 918.f, y + 8.f));
    g.FillRoundRect(kColorSlate,
                    IRECT(kMeterTrackLeft, y - 3.f, kMeterTrackLeft + kMeterTrackLength, y + 3.f), 3.f);
    if (bar.length > 0.f)
      g.FillRoundRect(bar.barColor, IRECT(kMeterTrackLeft, y - 3.f, kMeterTrackLeft + bar.length, y + 3.f),
                      3.f);
    g.DrawText(EditorText(11.f, bar.valueColor, EAlign::Far), bar.value,
               IRECT(1074.f, y - 7.f, 1130.f, y + 8.f));
  }

  g.DrawText(EditorText(17.f, kColorPink), scene.ride, IRECT(885.f, 258.f, 1130.f, 290.f));
  g.DrawText(EditorText(10.f, kColorGrey), scene.target, IRECT(885.f, 292.f, 1130.f, 316.f));
  g.DrawText(EditorText(10.f, scene.state.color), scene.state.text, IRECT(885.f, 320.f, 1130.f, 348.f));
  g.DrawText(EditorText(10.f, scene.clip.color), scene.clip.text, IRECT(885.f, 353.f, 1130.f, 379.f));
  g.DrawText(EditorText(10.f, kColorGrey), "FILTERED RMS IS NOT LUFS", IRECT(885.f, 380.f, 1130.f, 401.f));
}
