// The read-out controls on a real engine: what the history graph copies each frame, freezing,
// Analyzer off, the mode codes in the reference line and the meters, and that they take no input.
#include <gtest/gtest.h>

#include <memory>

#include "EngineRig.h"
#include "HistoryGraph.h"
#include "HistoryPlot.h"
#include "LiveMeters.h"
#include "LiveReadouts.h"
#include "Palette.h"
#include "ReferenceHelp.h"
#include "ReferenceLine.h"
#include "Status.h"
#include "Tamsel.h"

namespace {
// An engine fed with known audio, and the read-outs on one view record, pulled the way the
// background control pulls it once per frame.
struct Readouts {
  Tamsel plugin;
  Rig rig;
  std::shared_ptr<ViewState> view = std::make_shared<ViewState>();
  HistoryGraph graph{&plugin, view};
  LiveMeters meters{kLiveMetersRect, &plugin, view};
  ReferenceLine line{IRECT(315.f, 110.f, 950.f, 146.f), &plugin, view};
  ReferenceHelp help{IRECT(596.f, 618.f, 1126.f, 708.f), &plugin, view};
  Status status{IRECT(323.f, 759.f, 936.f, 796.f), &plugin, view};

  IControl* controls[5] = {&graph, &meters, &line, &help, &status};

  void Frame() {
    const ViewSnapshot snapshot = rig->ReadView();
    if (snapshot.valid) {
      view->snapshot = snapshot;
      view->peaks = rig->ReadPeaks();
    }
    for (IControl* c : controls)
      c->IsDirty();
  }
  // Both the plug-in's parameter (read by the reference line) and the engine's copy.
  void SetParam(int index, float value) {
    plugin.GetParam(index)->Set(value);
    rig.Set(index, value);
  }
  // Speech-like: a 220 Hz tone at -12 dBFS; each 40 ms makes a history point.
  void Talk(double seconds, Sidechain side = {}) {
    rig.Run(Tone(48000.0, 220.0, 0.25, Frames(seconds)), 512, side);
  }
  static int Frames(double seconds) { return static_cast<int>(seconds * 48000.0); }
};
} // namespace

TEST(ReadoutControls, DisplayOnlyAndRedrawnEveryFrame) {
  Readouts r;
  EXPECT_EQ(r.graph.GetRECT(), IRECT(36.f, 155.f, 856.f, 409.f));
  for (IControl* c : r.controls) {
    EXPECT_TRUE(c->GetIgnoreMouse());
    EXPECT_EQ(c->GetParamIdx(), kNoParameter);
    EXPECT_STREQ(c->GetTooltip(), "");
    for (int frame = 0; frame < 3; ++frame) {
      c->SetClean();
      EXPECT_TRUE(c->IsDirty());
    }
  }
  EXPECT_EQ(r.graph.LiveView().historyCount, 0);
  EXPECT_EQ(r.graph.DisplayView().historyCount, 0);
}

TEST(ReadoutControls, GraphFollowsTheEngineThenStandsStillWhileFrozen) {
  Readouts r;
  r.Talk(0.5);
  r.Frame();
  const int before = r.graph.LiveView().historyCount;
  ASSERT_GE(before, 10);
  EXPECT_EQ(r.graph.DisplayView().historyCount, before);
  EXPECT_EQ(r.graph.DisplayView().vocalHistory, r.view->snapshot.vocalHistory);

  r.view->historyFrozen = true;
  r.Talk(0.5);
  r.Frame();
  EXPECT_GT(r.graph.LiveView().historyCount, before);
  EXPECT_EQ(r.graph.DisplayView().historyCount, before);
  EXPECT_STREQ(MakeHistoryScene(r.graph.LiveView(), r.graph.DisplayView(), true).state.text,
               "HISTORY FROZEN");
  // The meters keep reading the live record.
  EXPECT_EQ(r.view->snapshot.historyCount, r.graph.LiveView().historyCount);

  r.view->historyFrozen = false;
  r.Frame();
  EXPECT_EQ(r.graph.DisplayView().historyCount, r.graph.LiveView().historyCount);
  EXPECT_EQ(r.graph.DisplayView().gainHistory, r.graph.LiveView().gainHistory);
}

TEST(ReadoutControls, AnalyzerOffKeepsTheLastCurvesUnderTheNotice) {
  Readouts r;
  r.Talk(0.3);
  r.Frame();
  const ViewSnapshot recorded = r.graph.DisplayView();
  r.SetParam(kAnalyzer, 0.f);
  r.Talk(0.3);
  r.Frame();
  EXPECT_FALSE(r.graph.LiveView().analyzerOn);
  EXPECT_EQ(r.graph.DisplayView().historyCount, recorded.historyCount);
  EXPECT_EQ(r.graph.DisplayView().vocalHistory, recorded.vocalHistory);
  const HistoryScene scene = MakeHistoryScene(r.graph.LiveView(), r.graph.DisplayView(), false);
  EXPECT_STREQ(scene.state.text, "ANALYZER OFF");
  EXPECT_TRUE(scene.traces && scene.displayOff);
  // Frozen while switching it off: the freeze keeps its text, the notice still shows.
  r.view->historyFrozen = true;
  EXPECT_STREQ(MakeHistoryScene(r.graph.LiveView(), r.graph.DisplayView(), true).state.text,
               "HISTORY FROZEN");
  EXPECT_TRUE(MakeHistoryScene(r.graph.LiveView(), r.graph.DisplayView(), true).displayOff);
}

TEST(ReadoutControls, FrozenSoloThenMixReferenceWithoutSidechain) {
  Readouts r;
  r.Talk(0.3);
  r.Frame();
  r.view->historyFrozen = true;
  r.SetParam(kMode, 1.f);
  r.Talk(0.1);
  r.Frame();
  EXPECT_EQ(r.graph.LiveView().modeCode, kModeCodeNoSidechain);
  EXPECT_EQ(r.graph.DisplayView().modeCode, kModeCodeSolo);
  const HistoryScene scene = MakeHistoryScene(r.graph.LiveView(), r.graph.DisplayView(), true);
  for (std::size_t k = 0; k < kHistoryCurves.size(); ++k) {
    const bool targetOrReference = kHistoryCurves[k].ring == &ViewSnapshot::targetHistory ||
                                   kHistoryCurves[k].ring == &ViewSnapshot::referenceHistory;
    EXPECT_EQ(scene.curveShown[k], !targetOrReference) << k;
  }
}

TEST(ReadoutControls, ModeCodesInTheReferenceLineAndTheMeters) {
  const Stereo loud = Tone(48000.0, 330.0, 0.3, Readouts::Frames(0.5));
  const Stereo quiet(Readouts::Frames(0.5));
  struct Case {
    float mode;
    Sidechain side;
    int code;
    const char* line;
    IColor lineColor;
    const char* state;
    const char* target;
    const char* bus;
  } cases[] = {
      {0.f,
       {},
       0,
       "SOLO / FILTERED VOCAL RMS TARGET",
       kColorGrey,
       "VOCAL ACTIVE / RIDING",
       "TARGET -18.0 / VOCAL",
       "NO EXTERNAL BUS / RETURN TO UNITY"},
      {1.f,
       {},
       1,
       "NO EXTERNAL SIDECHAIN / RIDE RETURNS TO UNITY",
       kColorAmber,
       "NO SIDECHAIN / UNITY RETURN",
       "TARGET -- / NO ACTIVE REFERENCE",
       "NO EXTERNAL BUS / RETURN TO UNITY"},
      {1.f,
       {&quiet, true, true},
       2,
       "REFERENCE BELOW FLOOR / RIDE RETURNS TO UNITY",
       kColorAmber,
       "QUIET REFERENCE / UNITY RETURN",
       "TARGET -- / NO ACTIVE REFERENCE",
       "EXTERNAL BUS CONNECTED / ACTIVITY STILL REQUIRED"},
      {1.f,
       {&loud, true, false},
       3,
       "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN",
       kColorGrey,
       "VOCAL ACTIVE / RIDING",
       "TARGET -",
       "EXTERNAL BUS CONNECTED / ACTIVITY STILL REQUIRED"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Readouts r;
    r.SetParam(kMode, c.mode);
    r.Talk(0.5, c.side);
    r.Frame();
    ASSERT_EQ(r.view->snapshot.modeCode, c.code);
    EXPECT_STREQ(r.line.Line().text, c.line);
    EXPECT_EQ(r.line.Line().color, c.lineColor);
    const MeterScene meters = MakeMeterScene(r.view->snapshot, r.view->peaks);
    EXPECT_STREQ(meters.state.text, c.state);
    EXPECT_EQ(std::string(meters.target).rfind(c.target, 0), 0u) << meters.target;
    EXPECT_STREQ(ReferenceBusText(r.view->snapshot.sidechainConnected).text, c.bus);
    EXPECT_STREQ(meters.bars[0].value, "-12.0"); // the tone's peak through the default trim
  }
}

TEST(ReadoutControls, ReferenceLineWaitsForTheEngineAfterAModeSwitch) {
  Readouts r;
  r.Talk(0.1);
  r.Frame();
  r.plugin.GetParam(kMode)->Set(1.0); // no audio processed since
  r.Frame();
  EXPECT_EQ(r.view->snapshot.modeCode, kModeCodeSolo);
  EXPECT_STREQ(r.line.Line().text, "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN");
  EXPECT_EQ(r.line.Line().color, kColorAmber);
  r.rig.Set(kMode, 1.f);
  r.Talk(0.05);
  r.Frame();
  EXPECT_STREQ(r.line.Line().text, "NO EXTERNAL SIDECHAIN / RIDE RETURNS TO UNITY");
}

TEST(ReadoutControls, StatusAndMetersFollowTheEnginesRateAndPeaks) {
  Readouts r;
  r.rig->SetSampleRate(44100.0);
  r.Frame();
  char text[64];
  FormatStatusRate(r.view->snapshot.sampleRate, text, sizeof(text));
  EXPECT_STREQ(text, "CAUSAL GAIN RIDER / ZERO PDC / 44.1 kHz");
  const MeterScene silent = MakeMeterScene(r.view->snapshot, r.view->peaks);
  for (const MeterBar& bar : silent.bars) {
    EXPECT_STREQ(bar.value, "-inf");
    EXPECT_EQ(bar.length, 0.f);
  }
}
