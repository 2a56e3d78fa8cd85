// The history graph's geometry and choices as plain functions of the two snapshot copies, so that
// drawing and tests share one source. Fixed design-space coordinates throughout.
#pragma once

#include <array>

#include "ColoredText.h"
#include "IGraphicsStructs.h"
#include "ViewSnapshot.h"

constexpr IRECT kHistoryGraphRect(36.f, 155.f, 856.f, 409.f);
// -72 dBFS on the bottom edge, 0 dBFS on the top edge.
constexpr IRECT kLevelPanel(77.f, 191.f, 838.f, 270.f);
// 0 dB on the centre line, plus and minus the gain range on the edges.
constexpr IRECT kGainPanel(77.f, 315.f, 838.f, 387.f);

constexpr float kLevelFloorDb = -72.f;
constexpr float kMinGainRangeDb = 6.f;
// Target points at or below this are stretches with nothing driving the target.
constexpr float kTargetGapDb = -100.f;

// The history count made safe: 0..256.
int ValidHistoryPoints(int historyCount);
// Index of the oldest valid point, 256 - valid points.
inline int OldestHistoryIndex(int historyCount) {
  return kHistoryPoints - ValidHistoryPoints(historyCount);
}

// x of point j (0..255) in a panel: the newest point on the right edge.
float HistoryPointX(const IRECT& panel, int j);
// Height of a level in dBFS (non-finite counts as -120), clamped to the panel.
float LevelPointY(const IRECT& panel, float levelDb);
// Height of a gain in dB (non-finite counts as 0) for the gain range, clamped to the panel.
float GainPointY(const IRECT& panel, float gainDb, float range);
// The smallest multiple of 3 dB at or above the largest request or gain magnitude of the valid
// points, never below 6 dB; non-finite values count as 0.
float GainRange(const ViewSnapshot& view);
// y of a level grid line.
float LevelGridY(float levelDb);
// The window length printed in the footer; a non-finite step counts as 40 ms.
double HistoryWindowSeconds(float historyStepMs);

// "HISTORY FROZEN", "LIVE HISTORY" or "ANALYZER OFF".
ColoredText HistoryStateText(bool frozen, bool liveAnalyzerOn);

// How a ring is drawn.
struct CurveStyle {
  bool gainMode;  // gain panel scaling, else level
  bool dashed;    // two segments drawn, two skipped, tied to the ring index
  bool targetGap; // a segment touching a point at or below -100 dBFS is skipped
};

// Whether the segment ending at point c (from c - 1) is drawn: not on a dash gap, and for the
// target not touching a point at or below -100 dBFS (a non-finite target counts as -120).
bool HistorySegmentDrawn(const CurveStyle& style, int c, float from, float to);

// Calls segment(x1, y1, x2, y2) for every drawn segment of ring from the oldest valid point first.
template <class Segment>
void ForEachHistorySegment(const HistoryCurve& ring, const IRECT& panel, const CurveStyle& style, int oldest,
                           float range, Segment&& segment) {
  auto height = [&](float v) { return style.gainMode ? GainPointY(panel, v, range) : LevelPointY(panel, v); };
  for (int i = oldest < 0 ? 0 : oldest; i + 1 < kHistoryPoints; ++i) {
    const int c = i + 1;
    if (!HistorySegmentDrawn(style, c, ring[i], ring[c]))
      continue;
    segment(HistoryPointX(panel, i), height(ring[i]), HistoryPointX(panel, c), height(ring[c]));
  }
}

// Which of the seven rings are drawn: the reference only when the drawn copy is in Mix Reference,
// the target only when the live mode lets it drive (Solo, or an open reference gate).
enum class CurveCondition { Always, LiveTarget, DisplayReference };

struct HistoryCurveRow {
  HistoryCurve ViewSnapshot::*ring;
  bool gainPanel;
  IColor color;
  CurveStyle style;
  CurveCondition condition;
};

bool HistoryCurveShown(CurveCondition condition, const ViewSnapshot& liveView,
                       const ViewSnapshot& displayView);

// The seven rings in drawing order with their panels, colours and styles.
extern const std::array<HistoryCurveRow, kHistoryRings> kHistoryCurves;

// Everything one frame of the graph decides before drawing.
struct HistoryScene {
  ColoredText state{};
  int points = 0; // valid points of the drawn copy
  int oldest = kHistoryPoints;
  float range = kMinGainRangeDb;
  bool traces = false;     // two points or more: curves instead of the empty texts
  bool displayOff = false; // the notice over the curves
  std::array<bool, kHistoryRings> curveShown{};
  char footer[48]{};
  char gainLabels[3][16]{}; // bottom, centre, top
};

HistoryScene MakeHistoryScene(const ViewSnapshot& liveView, const ViewSnapshot& displayView, bool frozen);
