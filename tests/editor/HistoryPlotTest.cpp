// The history graph's geometry and choices, checked on known snapshots without drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "HistoryPlot.h"
#include "Palette.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Segment {
  float x1, y1, x2, y2;
  int end; // index of the later point
};

std::vector<Segment> Segments(const HistoryCurve& ring, const IRECT& panel, const CurveStyle& style,
                              int count, float range = 6.f) {
  std::vector<Segment> out;
  ForEachHistorySegment(
      ring, panel, style, OldestHistoryIndex(count), range, [&](float x1, float y1, float x2, float y2) {
        const int end = static_cast<int>(std::lround((x2 - panel.L) * 255.f / (panel.R - panel.L)));
        out.push_back({x1, y1, x2, y2, end});
      });
  return out;
}

HistoryCurve Filled(float v) {
  HistoryCurve ring;
  ring.fill(v);
  return ring;
}

constexpr CurveStyle kSolidLevel{false, false, false};
constexpr CurveStyle kTargetStyle{false, true, true};
constexpr CurveStyle kGapOnly{false, false, true};
constexpr CurveStyle kDashedLevel{false, true, false};
constexpr CurveStyle kSolidGain{true, false, false};
} // namespace

TEST(HistoryPlot, PointCountIsClampedAndSetsTheFirstSegment) {
  struct Case {
    int count;
    int valid;
    std::size_t segments;
    float firstX;
  } cases[] = {
      {0, 0, 0, 0.f},           {1, 1, 0, 0.f},        {2, 2, 1, 835.0157f},
      {3, 3, 2, 832.0314f},     {256, 256, 255, 77.f}, {257, 256, 255, 77.f},
      {100000, 256, 255, 77.f}, {-1, 0, 0, 0.f},       {std::numeric_limits<int>::min(), 0, 0, 0.f},
  };
  const HistoryCurve ring = Filled(-30.f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(ValidHistoryPoints(c.count), c.valid);
    EXPECT_EQ(OldestHistoryIndex(c.count), 256 - c.valid);
    const auto segments = Segments(ring, kLevelPanel, kSolidLevel, c.count);
    ASSERT_EQ(segments.size(), c.segments);
    if (!segments.empty()) {
      EXPECT_NEAR(segments.front().x1, c.firstX, 1e-3f);
      EXPECT_FLOAT_EQ(segments.back().x2, 838.f); // the newest point on the right edge
    }
  }
}

TEST(HistoryPlot, PointXRunsFromTheLeftToTheRightEdge) {
  EXPECT_FLOAT_EQ(HistoryPointX(kLevelPanel, 0), 77.f);
  EXPECT_FLOAT_EQ(HistoryPointX(kLevelPanel, 255), 838.f);
  EXPECT_NEAR(HistoryPointX(kLevelPanel, 254), 835.02f, 0.005f);
  EXPECT_FLOAT_EQ(HistoryPointX(kGainPanel, 255), 838.f);
}

TEST(HistoryPlot, LevelHeightsClampToThePanel) {
  struct Case {
    float level;
    float y;
  } cases[] = {{0.f, 191.f},     {12.f, 191.f}, {-72.f, 270.f}, {-120.f, 270.f}, {-36.f, 230.5f},
               {-6.f, 197.583f}, {kNaN, 270.f}, {kInf, 270.f},  {-kInf, 270.f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    EXPECT_NEAR(LevelPointY(kLevelPanel, c.level), c.y, 1e-3f);
  }
  const float grid[] = {256.83f, 237.08f, 217.33f, 197.58f};
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(LevelGridY(-60.f + 18.f * static_cast<float>(i)), grid[i], 0.005f);
}

TEST(HistoryPlot, GainHeightsScaleWithTheRange) {
  struct Case {
    float gain;
    float range;
    float y;
  } cases[] = {{0.f, 6.f, 351.f},  {6.f, 6.f, 315.f},   {-6.f, 6.f, 387.f}, {3.f, 6.f, 333.f},
               {20.f, 6.f, 315.f}, {-20.f, 6.f, 387.f}, {9.f, 9.f, 315.f},  {4.5f, 9.f, 333.f},
               {kNaN, 6.f, 351.f}, {kInf, 12.f, 351.f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gain);
    EXPECT_NEAR(GainPointY(kGainPanel, c.gain, c.range), c.y, 1e-3f);
  }
}

TEST(HistoryPlot, GainRangeIsTheNextMultipleOfThreeOverTheValidPoints) {
  struct Case {
    float peak;
    HistoryCurve ViewSnapshot::*ring;
    int count;
    float range;
  } cases[] = {
      {0.f, &ViewSnapshot::gainHistory, 256, 6.f},
      {6.f, &ViewSnapshot::gainHistory, 256, 6.f},
      {6.01f, &ViewSnapshot::slowRequestHistory, 256, 9.f},
      {12.f, &ViewSnapshot::fastRequestHistory, 256, 12.f},
      {12.5f, &ViewSnapshot::gainHistory, 256, 15.f},
      {-12.5f, &ViewSnapshot::slowRequestHistory, 256, 15.f},
      {kNaN, &ViewSnapshot::gainHistory, 256, 6.f},
      {-kInf, &ViewSnapshot::fastRequestHistory, 256, 6.f},
      {7.f, &ViewSnapshot::gainHistory, 1, 9.f}, // one point still counts
      {7.f, &ViewSnapshot::gainHistory, 0, 6.f},
      {20.f, &ViewSnapshot::gainHistory, -5, 6.f},
      {20.f, &ViewSnapshot::gainHistory, 999, 21.f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.peak << " count " << c.count);
    ViewSnapshot view;
    view.historyCount = c.count;
    (view.*c.ring)[255] = c.peak;
    EXPECT_FLOAT_EQ(GainRange(view), c.range);
  }
  ViewSnapshot view; // a large value before the oldest valid point is not looked at
  view.historyCount = 3;
  view.gainHistory[252] = 30.f;
  EXPECT_FLOAT_EQ(GainRange(view), 6.f);
}

TEST(HistoryPlot, TargetGapsRemoveBothSegmentsOfAPoint) {
  struct Case {
    float value;
    bool gap;
  } cases[] = {{-120.f, true}, {-100.f, true}, {-99.9f, false}, {-30.f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    HistoryCurve ring = Filled(-20.f);
    ring[100] = c.value;
    const auto segments = Segments(ring, kLevelPanel, kGapOnly, 256);
    EXPECT_EQ(segments.size(), c.gap ? 253u : 255u);
    for (const Segment& s : segments) {
      if (c.gap) {
        EXPECT_TRUE(s.end != 100 && s.end != 101) << s.end;
      }
      if (s.end == 100 && c.value < -72.f) { // drawn below -72 dBFS: on the bottom edge
        EXPECT_FLOAT_EQ(s.y2, 270.f);
      }
    }
  }
}

TEST(HistoryPlot, SilenceRunsAlongTheBottomWithoutGaps) {
  HistoryCurve ring = Filled(-20.f);
  ring[100] = -120.f;
  const auto segments = Segments(ring, kLevelPanel, kSolidLevel, 256);
  ASSERT_EQ(segments.size(), 255u);
  EXPECT_FLOAT_EQ(segments[99].y2, 270.f);
  EXPECT_FLOAT_EQ(segments[100].y1, 270.f);
}

TEST(HistoryPlot, NonFinitePointsAreDrawnAsSilenceOrUnityGain) {
  // A level counts as -120 dBFS (the bottom edge), a gain as 0 dB (the centre line); the target
  // treats such a point as it treats -120 dBFS: a gap.
  struct Case {
    CurveStyle style;
    const IRECT& panel;
    float y; // height of the point; 0 = the point's segments are gaps
  } cases[] = {{kSolidLevel, kLevelPanel, 270.f}, {kSolidGain, kGainPanel, 351.f}, {kGapOnly, kLevelPanel, 0.f}};
  for (float bad : {kNaN, kInf, -kInf}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << bad << " gain " << c.style.gainMode << " gap " << c.style.targetGap);
      HistoryCurve ring = Filled(-3.f);
      ring[200] = bad;
      ring[255] = bad;
      const auto segments = Segments(ring, c.panel, c.style, 256);
      EXPECT_EQ(segments.size(), c.y == 0.f ? 252u : 255u);
      for (const Segment& s : segments) {
        for (float v : {s.x1, s.y1, s.x2, s.y2})
          EXPECT_TRUE(std::isfinite(v));
        if (s.end == 200 || s.end == 255) {
          EXPECT_FLOAT_EQ(s.y2, c.y) << s.end;
        }
        if (s.end == 201) {
          EXPECT_FLOAT_EQ(s.y1, c.y);
        }
      }
    }
  }
}

TEST(HistoryPlot, DashesAreTiedToTheRingIndex) {
  const auto full = Segments(Filled(-20.f), kLevelPanel, kDashedLevel, 256);
  std::vector<int> ends;
  for (const Segment& s : full)
    ends.push_back(s.end);
  ASSERT_GE(ends.size(), 5u);
  EXPECT_EQ(std::vector<int>(ends.begin(), ends.begin() + 5), (std::vector<int>{1, 4, 5, 8, 9}));
  for (int e : ends)
    EXPECT_TRUE(e % 4 == 0 || e % 4 == 1) << e;
  // Three points: the segments end at 254 (skipped, 254 mod 4 = 2) and 255 (skipped): nothing.
  EXPECT_TRUE(Segments(Filled(-20.f), kLevelPanel, kDashedLevel, 3).empty());
  EXPECT_EQ(Segments(Filled(-20.f), kLevelPanel, kDashedLevel, 4).size(), 1u); // ends at 253
}

TEST(HistoryPlot, StateTextFrozenWinsOverAnalyzer) {
  struct Case {
    bool frozen, analyzerOn;
    const char* text;
    IColor color;
  } cases[] = {{true, true, "HISTORY FROZEN", kColorAmber},
               {true, false, "HISTORY FROZEN", kColorAmber},
               {false, true, "LIVE HISTORY", kColorGrey},
               {false, false, "ANALYZER OFF", kColorGrey}};
  for (const Case& c : cases) {
    const ColoredText t = HistoryStateText(c.frozen, c.analyzerOn);
    EXPECT_STREQ(t.text, c.text);
    EXPECT_EQ(t.color, c.color);
  }
}

TEST(HistoryPlot, SceneForEmptyAndShortHistories) {
  for (int count : {0, 1}) {
    SCOPED_TRACE(count);
    ViewSnapshot view;
    view.historyCount = count;
    view.analyzerOn = false;
    const HistoryScene scene = MakeHistoryScene(view, view, false);
    EXPECT_FALSE(scene.traces);
    EXPECT_FALSE(scene.displayOff); // the empty texts replace the notice too
    for (bool shown : scene.curveShown)
      EXPECT_FALSE(shown);
    EXPECT_STREQ(scene.gainLabels[0], "-6");
    EXPECT_STREQ(scene.gainLabels[1], "+0");
    EXPECT_STREQ(scene.gainLabels[2], "+6");
    EXPECT_STREQ(scene.footer, "10.2s WINDOW / LINKED GAIN");
  }
}

TEST(HistoryPlot, SceneLabelsAndFooter) {
  ViewSnapshot view;
  view.historyCount = 256;
  view.gainHistory[10] = -8.5f;
  view.historyStepMs = kNaN;
  HistoryScene scene = MakeHistoryScene(view, view, false);
  EXPECT_FLOAT_EQ(scene.range, 9.f);
  EXPECT_STREQ(scene.gainLabels[0], "-9");
  EXPECT_STREQ(scene.gainLabels[1], "+0");
  EXPECT_STREQ(scene.gainLabels[2], "+9");
  EXPECT_STREQ(scene.footer, "10.2s WINDOW / LINKED GAIN");
  view.historyStepMs = 20.f;
  scene = MakeHistoryScene(view, view, false);
  EXPECT_STREQ(scene.footer, "5.1s WINDOW / LINKED GAIN");
}

TEST(HistoryPlot, CurvesFollowTheirCopiesModeCodes) {
  // Index of the target and reference rows in the drawing table.
  std::size_t target = 0, reference = 0;
  for (std::size_t k = 0; k < kHistoryCurves.size(); ++k) {
    if (kHistoryCurves[k].ring == &ViewSnapshot::targetHistory)
      target = k;
    if (kHistoryCurves[k].ring == &ViewSnapshot::referenceHistory)
      reference = k;
  }
  EXPECT_EQ(kHistoryCurves[target].color, kColorAmber);
  EXPECT_TRUE(kHistoryCurves[target].style.dashed && kHistoryCurves[target].style.targetGap);
  EXPECT_TRUE(kHistoryCurves[reference].style.dashed && !kHistoryCurves[reference].style.targetGap);

  struct Case {
    int liveMode, displayMode;
    bool targetShown, referenceShown;
  } cases[] = {{0, 0, true, false},
               {1, 1, false, true},
               {2, 2, false, true},
               {3, 3, true, true},
               {1, 0, false, false}, // frozen in Solo, switched to Mix Reference without
                                     // a sidechain
               {3, 0, true, false},
               {0, 2, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.liveMode << " " << c.displayMode);
    ViewSnapshot live, display;
    live.historyCount = display.historyCount = 256;
    live.modeCode = c.liveMode;
    display.modeCode = c.displayMode;
    const HistoryScene scene = MakeHistoryScene(live, display, true);
    EXPECT_EQ(scene.curveShown[target], c.targetShown);
    EXPECT_EQ(scene.curveShown[reference], c.referenceShown);
    for (std::size_t k = 0; k < kHistoryCurves.size(); ++k)
      if (k != target && k != reference) {
        EXPECT_TRUE(scene.curveShown[k]);
      }
  }
}

TEST(HistoryPlot, DisplayOffNoticeFollowsTheLiveAnalyzer) {
  ViewSnapshot live, display;
  live.historyCount = display.historyCount = 2;
  live.analyzerOn = false;
  display.analyzerOn = true; // frozen before the switch
  HistoryScene scene = MakeHistoryScene(live, display, true);
  EXPECT_TRUE(scene.traces);
  EXPECT_TRUE(scene.displayOff);
  EXPECT_STREQ(scene.state.text, "HISTORY FROZEN");
  scene = MakeHistoryScene(live, live, false);
  EXPECT_TRUE(scene.displayOff);
  EXPECT_STREQ(scene.state.text, "ANALYZER OFF");
  live.analyzerOn = true;
  EXPECT_FALSE(MakeHistoryScene(live, live, false).displayOff);
}
