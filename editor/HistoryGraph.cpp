#include "HistoryGraph.h"

#include <array>
#include <utility>

#include "AlwaysDirty.h"
#include "CLocaleFormat.h"
#include "HistoryPlot.h"
#include "IGraphics.h"
#include "Palette.h"

namespace {
struct Legend {
  const char* text;
  IRECT rect;
  IColor color;
};

constexpr std::array<Legend, 8> kLegends = {{
    {"FILTERED RMS / dBFS", {48.f, 159.f, 244.f, 182.f}, kColorGrey},
    {"VOCAL", {274.f, 159.f, 340.f, 182.f}, kColorBlue},
    {"OUTPUT", {349.f, 159.f, 425.f, 182.f}, kColorTeal},
    {"TARGET", {435.f, 159.f, 513.f, 182.f}, kColorAmber},
    {"REFERENCE", {524.f, 159.f, 658.f, 182.f}, kColorGrey},
    {"SLOW REQUEST", {48.f, 282.f, 204.f, 306.f}, kColorTeal},
    {"FAST REQUEST", {220.f, 282.f, 365.f, 306.f}, kColorBlue},
    {"APPLIED RIDE", {392.f, 282.f, 550.f, 306.f}, kColorPink},
}};

constexpr IRECT kStateTextRect(681.f, 159.f, 838.f, 182.f);
constexpr IRECT kFooterRect(570.f, 282.f, 838.f, 306.f);
constexpr IRECT kDisplayOffRect(90.f, 205.f, 826.f, 236.f);
constexpr float kLevelThickness = 1.2f;
constexpr float kGainThickness = 1.5f;

void DrawGridLine(IGraphics& g, const IColor& color, float y) {
  g.DrawLine(color, kLevelPanel.L, y, kLevelPanel.R, y, nullptr, 1.f);
}
} // namespace

HistoryGraph::HistoryGraph(Tamsel* owner, std::shared_ptr<ViewState> view)
    : IControl(kHistoryGraphRect), plugin(owner), viewState(std::move(view)) {
  SetIgnoreMouse(true);
}

bool HistoryGraph::IsDirty() {
  liveView = viewState->snapshot;
  if (!viewState->historyFrozen)
    displayView = liveView;
  return MarkDirtyEveryFrame(*this);
}

void HistoryGraph::DrawHistoryCurve(IGraphics& g, const HistoryCurve& ring, const IRECT& panel,
                                    const IColor& color, const CurveStyle& style, int oldest, float range) {
  const float thickness = style.gainMode ? kGainThickness : kLevelThickness;
  ForEachHistorySegment(ring, panel, style, oldest, range, [&](float x1, float y1, float x2, float y2) {
    g.DrawLine(color, x1, y1, x2, y2, nullptr, thickness);
  });
}

void HistoryGraph::Draw(IGraphics& g) {
  const HistoryScene scene = MakeHistoryScene(liveView, displayView, viewState->historyFrozen);
  const IRECT& bounds = GetRECT();
  g.FillRoundRect(kColorInk, bounds, 5.f);
  g.DrawRoundRect(kColorSlate, bounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);

  for (std::size_t i = 0; i < 5; ++i)
    g.DrawText(EditorText(11.f, kLegends[i].color), kLegends[i].text, kLegends[i].rect);
  g.DrawText(EditorText(11.f, scene.state.color, EAlign::Far), scene.state.text, kStateTextRect);

  char label[16];
  for (int i = 0; i < 4; ++i) {
    const float level = -60.f + 18.f * static_cast<float>(i);
    const float y = LevelGridY(level);
    DrawGridLine(g, kColorSlate, y);
    FormatC(label, sizeof(label), "%.0f", static_cast<double>(level));
    g.DrawText(EditorText(10.f, kColorGrey, EAlign::Far), label, IRECT(43.f, y - 8.f, 69.f, y + 8.f));
  }

  for (std::size_t i = 5; i < kLegends.size(); ++i)
    g.DrawText(EditorText(11.f, kLegends[i].color), kLegends[i].text, kLegends[i].rect);
  for (int i = -1; i <= 1; ++i) {
    const float y = kGainPanel.MH() - 36.f * static_cast<float>(i);
    DrawGridLine(g, i == 0 ? kColorGrey : kColorSlate, y);
    g.DrawText(EditorText(10.f, kColorGrey, EAlign::Far), scene.gainLabels[i + 1],
               IRECT(39.f, y - 8.f, 69.f, y + 8.f));
  }
  g.DrawText(EditorText(10.f, kColorGrey, EAlign::Far), scene.footer, kFooterRect);

  if (!scene.traces) {
    g.DrawText(EditorText(12.f, kColorGrey, EAlign::Center), "START AUDIO TO SEE ACTUAL HISTORY",
               kLevelPanel);
    g.DrawText(EditorText(11.f, kColorGrey, EAlign::Center), "NO GENERATED OR DECORATIVE TRACES", kGainPanel);
    return;
  }
  for (std::size_t k = 0; k < kHistoryCurves.size(); ++k) {
    const HistoryCurveRow& row = kHistoryCurves[k];
    if (scene.curveShown[k])
      DrawHistoryCurve(g, displayView.*row.ring, row.gainPanel ? kGainPanel : kLevelPanel, row.color,
                       row.style, scene.oldest, scene.range);
  }
  if (scene.displayOff)
    g.DrawText(EditorText(11.f, kColorAmber, EAlign::Center), "DISPLAY OFF / METERS AND AUDIO KEEP RUNNING",
               kDisplayOffRect);
}
