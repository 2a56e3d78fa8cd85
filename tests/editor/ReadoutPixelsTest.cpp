// Rendered frames of the whole editor with a known engine view, at scales 1.0 and 1.5: where the
// meters' bars end, where the applied ride is drawn, the amber state texts, and no transparent pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "EditorRig.h"
#include "HistoryGraph.h"
#include "HistoryPlot.h"
#include "LiveReadouts.h"
#include "Palette.h"
#include "Pixels.h"

namespace {

constexpr int kChunksPerSecond = 48000 / kEngineChunk;

template <class T> T* FindControl(IGraphics& ui) {
  for (int i = 0; i < ui.NControls(); ++i)
    if (auto* c = dynamic_cast<T*>(ui.GetControl(i)))
      return c;
  return nullptr;
}

int Distance(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

class ReadoutPixels : public testing::TestWithParam<float> {
protected:
  void SetUp() override {
    rig.ui->Resize(1180, 800, GetParam(), false);
    graph = FindControl<HistoryGraph>(*rig.ui);
    ASSERT_NE(graph, nullptr);
  }
  void Render() { ASSERT_TRUE(frame.Render(*rig.ui)); }
  // The pixel row in column x of the design rectangle whose colour is nearest to the given one.
  int NearestRow(float x, const IRECT& r, const IColor& color) const {
    int best = -1, bestDistance = 1 << 30;
    frame.ForEach(IRECT(x, r.T, x + 1.f / frame.scale, r.B), [&](int, int y, Rgb c) {
      const int d = Distance(c, ToRgb(color));
      if (d < bestDistance) {
        bestDistance = d;
        best = y;
      }
    });
    return best;
  }

  EditorRig rig;
  HistoryGraph* graph = nullptr;
  Frame frame;
};

} // namespace

TEST_P(ReadoutPixels, EveryPixelIsOpaqueWithHistoryAndMeters) {
  rig.FeedAudio(2 * kChunksPerSecond, 0.5f);
  Render();
  EXPECT_TRUE(frame.AllOpaque());
}

TEST_P(ReadoutPixels, InputBarEndsAtItsLevel) {
  rig.FeedAudio(kChunksPerSecond, 0.5f);
  Render();
  const float peak = rig.View().peaks.inputPeak;
  ASSERT_NEAR(peak, 0.5f, 1e-3f);
  const MeterBar bar = MakeMeterBar(0, peak);
  ASSERT_NEAR(bar.length, 128.7f, 0.1f);
  const float y = MeterBarY(0);
  const float end = kMeterTrackLeft + bar.length;
  EXPECT_EQ(frame.At(kMeterTrackLeft + 10.f, y), ToRgb(kColorBlue));
  EXPECT_EQ(frame.At(end - 3.f, y), ToRgb(kColorBlue));
  EXPECT_EQ(frame.At(end + 2.f, y), ToRgb(kColorSlate)); // the track beyond the fill
  const IRECT track(kMeterTrackLeft, y - 3.f, kMeterTrackLeft + kMeterTrackLength, y + 3.f);
  const int lastBlue = frame.RightmostColumn(track, [](Rgb c) { return c == ToRgb(kColorBlue); });
  EXPECT_NEAR(static_cast<float>(lastBlue), end * frame.scale, 2.f);
  // The value "-6.0" is cream, not amber.
  EXPECT_EQ(frame.Count(IRECT(1074.f, y - 7.f, 1130.f, y + 8.f), IsAmberish), 0);
}

TEST_P(ReadoutPixels, FullScaleInputTurnsBarAndValueAmber) {
  rig.FeedAudio(kChunksPerSecond / 4, 1.2f);
  Render();
  ASSERT_GE(rig.View().peaks.inputPeak, 1.f);
  const float y = MeterBarY(0);
  EXPECT_EQ(frame.At(kMeterTrackLeft + 5.f, y), ToRgb(kColorAmber));
  EXPECT_EQ(frame.At(kMeterTrackLeft + kMeterTrackLength - 5.f, y), ToRgb(kColorAmber));
  EXPECT_GT(frame.Count(IRECT(1074.f, y - 7.f, 1130.f, y + 8.f), IsAmberish), 10);
}

TEST_P(ReadoutPixels, AppliedRideIsDrawnWhereItsGainLies) {
  rig.FeedAudio(6 * kChunksPerSecond, 0.5f);
  Render();
  const ViewSnapshot& view = graph->DisplayView();
  ASSERT_GE(view.historyCount, 100);
  const float range = GainRange(view);
  for (int j : {180, 230, 254}) {
    SCOPED_TRACE(j);
    const float x = HistoryPointX(kGainPanel, j);
    const float expected = GainPointY(kGainPanel, view.gainHistory[static_cast<std::size_t>(j)], range);
    const int row = NearestRow(x, kGainPanel, kColorPink);
    EXPECT_NEAR(static_cast<float>(row), expected * frame.scale, 1.5f);
  }
}

TEST_P(ReadoutPixels, StateTextAndNoticeTurnAmber) {
  const IRECT stateText(681.f, 159.f, 838.f, 182.f);
  // The middle of the notice's line, below the curves of a steady -12 dBFS tone.
  const IRECT notice(300.f, 215.f, 620.f, 227.f);
  rig.FeedAudio(kChunksPerSecond, 0.25f);
  Render();
  EXPECT_GT(frame.Count(stateText, IsInked), 20); // "LIVE HISTORY" in grey
  EXPECT_EQ(frame.Count(stateText, IsAmberish), 0);

  rig.View().historyFrozen = true;
  Render();
  EXPECT_GT(frame.Count(stateText, IsAmberish), 20);
  EXPECT_EQ(frame.Count(notice, IsAmberish), 0);

  rig.plugin->GetParam(kAnalyzer)->Set(0.0);
  ParamVector values;
  rig.plugin->engine->SetParams(rig.plugin->GetParamValues(values));
  rig.FeedAudio(4);
  Render();
  EXPECT_FALSE(graph->LiveView().analyzerOn);
  EXPECT_GT(frame.Count(notice, IsAmberish), 20);
  EXPECT_GT(frame.Count(stateText, IsAmberish), 20); // still "HISTORY FROZEN"
  EXPECT_TRUE(frame.AllOpaque());
}

TEST_P(ReadoutPixels, EmptyHistoryShowsWordsInsteadOfCurves) {
  Render();
  ASSERT_EQ(graph->DisplayView().historyCount, 0);
  EXPECT_GT(frame.Count(IRECT(300.f, 220.f, 620.f, 242.f), IsInked), 50); // centred text
  EXPECT_EQ(frame.Count(kGainPanel, [](Rgb c) { return Distance(c, ToRgb(kColorPink)) < 60; }), 0);
  EXPECT_EQ(frame.Count(kLevelPanel, [](Rgb c) { return Distance(c, ToRgb(kColorBlue)) < 60; }), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, ReadoutPixels, testing::Values(1.f, 1.5f));
