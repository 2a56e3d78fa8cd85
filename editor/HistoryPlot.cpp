#include "HistoryPlot.h"

#include <algorithm>
#include <cmath>

#include "CLocaleFormat.h"
#include "Palette.h"

namespace {
constexpr float kDefaultHistoryStepMs = 40.f;

float FiniteOr(float v, float fallback) {
  return std::isfinite(v) ? v : fallback;
}
} // namespace

const std::array<HistoryCurveRow, kHistoryRings> kHistoryCurves = {{
    {&ViewSnapshot::vocalHistory, false, kColorBlue, {false, false, false}, CurveCondition::Always},
    {&ViewSnapshot::outputHistory, false, kColorTeal, {false, false, false}, CurveCondition::Always},
    {&ViewSnapshot::targetHistory, false, kColorAmber, {false, true, true}, CurveCondition::LiveTarget},
    {&ViewSnapshot::referenceHistory,
     false,
     kColorGrey,
     {false, true, false},
     CurveCondition::DisplayReference},
    {&ViewSnapshot::slowRequestHistory, true, kColorTeal, {true, false, false}, CurveCondition::Always},
    {&ViewSnapshot::fastRequestHistory, true, kColorBlue, {true, false, false}, CurveCondition::Always},
    {&ViewSnapshot::gainHistory, true, kColorPink, {true, false, false}, CurveCondition::Always},
}};

int ValidHistoryPoints(int historyCount) {
  return std::clamp(historyCount, 0, kHistoryPoints);
}

float HistoryPointX(const IRECT& panel, int j) {
  return panel.L + (panel.R - panel.L) * static_cast<float>(j) / static_cast<float>(kHistoryPoints - 1);
}

float LevelPointY(const IRECT& panel, float levelDb) {
  const float v = FiniteOr(levelDb, -120.f);
  return panel.B - (panel.B - panel.T) * std::clamp((v - kLevelFloorDb) / -kLevelFloorDb, 0.f, 1.f);
}

float GainPointY(const IRECT& panel, float gainDb, float range) {
  const float v = FiniteOr(gainDb, 0.f);
  return (panel.T + panel.B) / 2.f - (panel.B - panel.T) * std::clamp(v, -range, range) / (2.f * range);
}

float GainRange(const ViewSnapshot& view) {
  float peak = kMinGainRangeDb;
  for (int j = OldestHistoryIndex(view.historyCount); j < kHistoryPoints; ++j)
    for (const HistoryCurve* ring : {&view.slowRequestHistory, &view.fastRequestHistory, &view.gainHistory})
      peak = std::max(peak, std::fabs(FiniteOr((*ring)[j], 0.f)));
  return 3.f * std::ceil(peak / 3.f);
}

float LevelGridY(float levelDb) {
  return LevelPointY(kLevelPanel, levelDb);
}

double HistoryWindowSeconds(float historyStepMs) {
  return static_cast<double>(FiniteOr(historyStepMs, kDefaultHistoryStepMs)) * kHistoryPoints / 1000.0;
}

ColoredText HistoryStateText(bool frozen, bool liveAnalyzerOn) {
  if (frozen)
    return {"HISTORY FROZEN", kColorAmber};
  return {liveAnalyzerOn ? "LIVE HISTORY" : "ANALYZER OFF", kColorGrey};
}

bool HistorySegmentDrawn(const CurveStyle& style, int c, float from, float to) {
  if (style.dashed && c % 4 >= 2)
    return false;
  if (!style.targetGap)
    return true;
  // A target that is not finite counts as -120 dBFS, which is a gap like any target of silence.
  const float silence = -120.f;
  return FiniteOr(from, silence) > kTargetGapDb && FiniteOr(to, silence) > kTargetGapDb;
}

bool HistoryCurveShown(CurveCondition condition, const ViewSnapshot& liveView,
                       const ViewSnapshot& displayView) {
  switch (condition) {
  case CurveCondition::LiveTarget:
    return liveView.modeCode == kModeCodeSolo || liveView.modeCode == kModeCodeReferenceOpen;
  case CurveCondition::DisplayReference:
    return displayView.modeCode != kModeCodeSolo;
  case CurveCondition::Always:
    break;
  }
  return true;
}

HistoryScene MakeHistoryScene(const ViewSnapshot& liveView, const ViewSnapshot& displayView, bool frozen) {
  HistoryScene scene;
  scene.state = HistoryStateText(frozen, liveView.analyzerOn);
  scene.points = ValidHistoryPoints(displayView.historyCount);
  scene.oldest = kHistoryPoints - scene.points;
  scene.range = GainRange(displayView);
  scene.traces = scene.points >= 2;
  scene.displayOff = scene.traces && !liveView.analyzerOn;
  for (std::size_t k = 0; k < kHistoryCurves.size(); ++k)
    scene.curveShown[k] =
        scene.traces && HistoryCurveShown(kHistoryCurves[k].condition, liveView, displayView);
  FormatC(scene.footer, sizeof(scene.footer), "%.1fs WINDOW / LINKED GAIN",
          HistoryWindowSeconds(displayView.historyStepMs));
  for (int i = -1; i <= 1; ++i)
    FormatC(scene.gainLabels[i + 1], sizeof(scene.gainLabels[0]), "%+.0f",
            static_cast<double>(static_cast<float>(i) * scene.range));
  return scene;
}
