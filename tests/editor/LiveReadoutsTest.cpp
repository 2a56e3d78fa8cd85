// What the meters, the reference line, the reference help and the status line show for known views.
#include <gtest/gtest.h>

#include <limits>

#include "LiveReadouts.h"
#include "Palette.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
} // namespace

TEST(LiveReadouts, MeterBarsForKnownPeaks) {
  struct Case {
    float peak;
    const char* value;
    float length;
    bool amber;
  } cases[] = {
      {0.f, "-inf", 0.f, false},         {0.001f, "-60.0", 0.f, false},    {0.5f, "-6.0", 128.65f, false},
      {1.f, "0.0", 143.f, true},         {2.f, "6.0", 143.f, true},        {-0.5f, "-inf", 0.f, false},
      {kNaN, "-inf", 0.f, false},        {kInf, "-inf", 0.f, false},       {-kInf, "-inf", 0.f, false},
      {3.1623e-5f, "-90.0", 0.f, false}, {3.0e-5f, "-inf", 0.f, false},    {3.1989e-5f, "-89.9", 0.f, false},
      {0.1f, "-20.0", 95.333f, false},   {0.99f, "-0.1", 142.792f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.peak);
    for (int k = 0; k < kMeterBars; ++k) {
      const MeterBar bar = MakeMeterBar(k, c.peak);
      EXPECT_STREQ(bar.value, c.value);
      EXPECT_NEAR(bar.length, c.length, 0.01f);
      EXPECT_EQ(bar.valueColor, c.amber ? kColorAmber : kColorCream);
      const IColor normal[] = {kColorBlue, kColorTeal, kColorGrey};
      EXPECT_EQ(bar.barColor, c.amber ? kColorAmber : normal[k]);
    }
  }
  EXPECT_STREQ(MakeMeterBar(0, 0.f).label, "IN");
  EXPECT_STREQ(MakeMeterBar(1, 0.f).label, "OUT");
  EXPECT_STREQ(MakeMeterBar(2, 0.f).label, "REF");
}

TEST(LiveReadouts, SceneTakesInputOutputAndReferencePeaks) {
  RiderPeaks peaks;
  peaks.inputPeak = 0.5f;
  peaks.gainedPeak = 1.f; // not shown
  peaks.outputPeak = 1.f;
  peaks.outputPeakLeft = 0.25f;
  peaks.referencePeak = 0.1f;
  const MeterScene scene = MakeMeterScene(ViewSnapshot(), peaks);
  EXPECT_STREQ(scene.bars[0].value, "-6.0");
  EXPECT_STREQ(scene.bars[1].value, "0.0");
  EXPECT_STREQ(scene.bars[2].value, "-20.0");
  for (int k = 0; k < kMeterBars; ++k)
    EXPECT_FLOAT_EQ(MeterBarY(k), 194.f + 24.f * static_cast<float>(k));
}

TEST(LiveReadouts, AppliedRideAndTargetLines) {
  struct Case {
    float gain;
    const char* ride;
  } rides[] = {{-3.456f, "APPLIED RIDE  -3.46 dB"},
               {0.004f, "APPLIED RIDE  +0.00 dB"},
               {12.f, "APPLIED RIDE  +12.00 dB"},
               {kNaN, "APPLIED RIDE  +0.00 dB"},
               {-kInf, "APPLIED RIDE  +0.00 dB"}};
  for (const Case& c : rides) {
    ViewSnapshot view;
    view.gainDb = c.gain;
    EXPECT_STREQ(MakeMeterScene(view, RiderPeaks()).ride, c.ride);
  }
  struct Target {
    int mode;
    float target, vocal;
    const char* text;
  } targets[] = {{0, -18.f, -120.f, "TARGET -18.0 / VOCAL -120.0 dBFS"},
                 {3, -21.26f, -33.34f, "TARGET -21.3 / VOCAL -33.3 dBFS"},
                 {1, -18.f, -20.f, "TARGET -- / NO ACTIVE REFERENCE"},
                 {2, -18.f, -20.f, "TARGET -- / NO ACTIVE REFERENCE"},
                 {0, kNaN, kInf, "TARGET -18.0 / VOCAL -120.0 dBFS"}};
  for (const Target& c : targets) {
    ViewSnapshot view;
    view.modeCode = c.mode;
    view.targetDb = c.target;
    view.vocalDb = c.vocal;
    EXPECT_STREQ(MakeMeterScene(view, RiderPeaks()).target, c.text);
  }
}

TEST(LiveReadouts, StateLineFirstMatchWins) {
  struct Case {
    bool bypassed, active, holding;
    int mode;
    const char* text;
    IColor color;
  } cases[] = {
      {true, true, true, 1, "BYPASSED / ORIGINAL AUDIO", kColorAmber},
      {true, false, false, 0, "BYPASSED / ORIGINAL AUDIO", kColorAmber},
      {false, true, false, 1, "NO SIDECHAIN / UNITY RETURN", kColorAmber},
      {false, true, false, 2, "QUIET REFERENCE / UNITY RETURN", kColorAmber},
      {false, true, true, 3, "VOCAL ACTIVE / RIDING", kColorTeal},
      {false, true, false, 0, "VOCAL ACTIVE / RIDING", kColorTeal},
      {false, false, true, 0, "PAUSE HOLD / RETAINED GAIN", kColorTeal},
      {false, false, false, 0, "BELOW FLOOR / UNITY RETURN", kColorTeal},
      {false, false, false, 3, "BELOW FLOOR / UNITY RETURN", kColorTeal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ViewSnapshot view;
    view.bypassed = c.bypassed;
    view.active = c.active;
    view.holding = c.holding;
    view.modeCode = c.mode;
    const ColoredText line = MakeMeterScene(view, RiderPeaks()).state;
    EXPECT_STREQ(line.text, c.text);
    EXPECT_EQ(line.color, c.color);
  }
}

TEST(LiveReadouts, ClipLine) {
  ViewSnapshot view;
  EXPECT_STREQ(MakeMeterScene(view, RiderPeaks()).clip.text, "OUTPUT HEADROOM / NO LIMITER");
  EXPECT_EQ(MakeMeterScene(view, RiderPeaks()).clip.color, kColorGrey);
  view.clipped = true;
  EXPECT_STREQ(MakeMeterScene(view, RiderPeaks()).clip.text, "OUTPUT CLIP / REDUCE LEVEL");
  EXPECT_EQ(MakeMeterScene(view, RiderPeaks()).clip.color, kColorAmber);
}

TEST(LiveReadouts, ReferenceLineForEachModeCode) {
  constexpr double kNaNMode = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double mode;
    int code;
    const char* text;
    IColor color;
  } cases[] = {
      {0.0, 0, "SOLO / FILTERED VOCAL RMS TARGET", kColorGrey},
      {0.5, 3, "SOLO / FILTERED VOCAL RMS TARGET", kColorGrey}, // the parameter decides Solo at once
      {1.0, 1, "NO EXTERNAL SIDECHAIN / RIDE RETURNS TO UNITY", kColorAmber},
      {1.0, 2, "REFERENCE BELOW FLOOR / RIDE RETURNS TO UNITY", kColorAmber},
      {1.0, 3, "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorGrey},
      {1.0, 0, "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorAmber}, // engine not yet caught up
      {1.0, 7, "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorAmber},
      {1.0, -1, "EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorAmber},
      {kNaNMode, 1, "NO EXTERNAL SIDECHAIN / RIDE RETURNS TO UNITY", kColorAmber},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << c.code);
    const ColoredText line = ReferenceLineText(c.mode, c.code);
    EXPECT_STREQ(line.text, c.text);
    EXPECT_EQ(line.color, c.color);
  }
}

TEST(LiveReadouts, ReferenceBusLine) {
  EXPECT_STREQ(ReferenceBusText(true).text, "EXTERNAL BUS CONNECTED / ACTIVITY STILL REQUIRED");
  EXPECT_EQ(ReferenceBusText(true).color, kColorGrey);
  EXPECT_STREQ(ReferenceBusText(false).text, "NO EXTERNAL BUS / RETURN TO UNITY");
  EXPECT_EQ(ReferenceBusText(false).color, kColorAmber);
}

TEST(LiveReadouts, StatusLineSampleRate) {
  struct Case {
    double rate;
    const char* text;
  } cases[] = {{44100.0, "CAUSAL GAIN RIDER / ZERO PDC / 44.1 kHz"},
               {48000.0, "CAUSAL GAIN RIDER / ZERO PDC / 48.0 kHz"},
               {96000.0, "CAUSAL GAIN RIDER / ZERO PDC / 96.0 kHz"},
               {22050.0, "CAUSAL GAIN RIDER / ZERO PDC / 22.1 kHz"},
               {std::numeric_limits<double>::quiet_NaN(), "CAUSAL GAIN RIDER / ZERO PDC / 48.0 kHz"}};
  for (const Case& c : cases) {
    char text[64];
    FormatStatusRate(c.rate, text, sizeof(text));
    EXPECT_STREQ(text, c.text);
  }
}
