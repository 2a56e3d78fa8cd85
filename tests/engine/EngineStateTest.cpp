// Sample rate, coefficients, parameter sanitising and SetParams behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EngineRig.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct RateCase {
  double requested, rate;
  int controlPeriod, historyPeriod;
};

TEST(EngineState, SampleRateAndPeriods) {
  const RateCase cases[] = {
      {kNaN, 48000, 48, 1920},     {kInf, 48000, 48, 1920},      {-kInf, 48000, 48, 1920},
      {0.0, 22050, 22, 882},       {-44100.0, 22050, 22, 882},   {10000.0, 22050, 22, 882},
      {22050.0, 22050, 22, 882},   {44100.0, 44100, 44, 1764},   {48000.0, 48000, 48, 1920},
      {96000.0, 96000, 96, 3840},  {192000.0, 192000, 192, 7680}, {384000.0, 192000, 192, 7680},
  };
  std::unique_ptr<RiderEngine> engine;
  MakeRiderEngine(engine);
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.requested);
    engine->SetSampleRate(c.requested);
    EXPECT_EQ(engine->sampleRate, c.rate);
    EXPECT_EQ(engine->controlPeriod, c.controlPeriod);
    EXPECT_EQ(engine->historyPeriod, c.historyPeriod);
  }
}

TEST(EngineState, CoefficientsAt48kHz) {
  Rig rig;
  const RiderEngine& e = *rig.engine;
  struct {
    const char* name;
    double value, expected;
  } const cases[] = {
      {"glide 10 ms", e.glideCoef, 0.0020812},       {"activity 15 ms", e.activityCoef, 0.0013879},
      {"output 80 ms", e.outputCoef, 0.00026038},    {"slow 1000 ms", e.slowCoef, 2.0833e-5},
      {"high-pass 100 Hz", e.highPassCoef, 0.013005}, {"low-pass 10 kHz", e.lowPassCoef, 0.72991},
      // n samples: c = 1 - e^(-1/n)
      {"fast 80 ms", e.fastCoef, 1.0 - std::exp(-1.0 / 3840.0)},
      {"reference 600 ms", e.referenceCoef, 1.0 - std::exp(-1.0 / 28800.0)},
      {"return 800 ms", e.returnCoef, 1.0 - std::exp(-1.0 / 38400.0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(c.value / c.expected, 1.0, 5e-5);
  }
}

TEST(EngineState, LowPassCornerStaysBelowNyquist) {
  Rig low({{kDetectorLPF, 18000.0f}}, 22050.0);
  EXPECT_NEAR(low->lowPassCoef, 1.0 - std::exp(-2.0 * std::numbers::pi * 9922.5 / 22050.0), 1e-12);
  Rig high({{kDetectorLPF, 18000.0f}}, 48000.0);
  EXPECT_NEAR(high->lowPassCoef, 1.0 - std::exp(-2.0 * std::numbers::pi * 18000.0 / 48000.0), 1e-12);
}

TEST(EngineState, SanitizeParamValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct {
    int index;
    float value, expected;
  } const cases[] = {
      {kSlowTime, nan, 1000.0f},    {kInput, inf, 0.0f},          {kSoloTarget, -inf, -18.0f},
      {kMaxBoost, 30.0f, 18.0f},    {kMaxCut, -1.0f, 0.0f},       {kDetectorLPF, 1e9f, 18000.0f},
      {kMode, 0.5f, 1.0f},          {kMode, 0.49f, 0.0f},         {kBypass, 0.7f, 1.0f},
      {kAnalyzer, -3.0f, 0.0f},     {kAnalyzer, nan, 1.0f},       {kPauseHold, 123.5f, 123.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(kParamNames[c.index]);
    ParamVector values = kParamDefaults;
    values[c.index] = c.value;
    const ParamVector s = SanitizeParamValues(values);
    EXPECT_EQ(s[c.index], c.expected);
    for (int i = 0; i < kNumParams; ++i) {
      if (i != c.index) {
        EXPECT_EQ(s[i], kParamDefaults[i]);
      }
    }
  }
}

// A coefficient overwritten by the test shows whether SetParams re-derived them.
TEST(EngineState, SetParamsTakesOnlyChanges) {
  struct {
    const char* name;
    int index;
    float value;
    bool rederives, rearms;
  } const cases[] = {
      {"same values", kMode, 0.0f, false, false},
      {"same after sanitising", kMaxBoost, 40.0f, false, false},
      {"mode change", kMode, 1.0f, true, true},
      {"pause hold change", kPauseHold, 500.0f, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig({{kMaxBoost, 18.0f}});
    rig->controlCountdown = 17;
    rig->slowCoef = 0.5;
    rig.Set(c.index, c.value);
    EXPECT_EQ(rig->slowCoef == 0.5, !c.rederives);
    EXPECT_EQ(rig->rearm, c.rearms);
    EXPECT_EQ(rig->controlCountdown, c.rearms ? 0 : 17);
    EXPECT_EQ(rig->params[c.index], std::min(c.value, kParamMaxs[c.index]));
  }
}

TEST(EngineState, ResetRestoresProcessingState) {
  Rig rig({{kMode, 1.0f}, {kSoloTarget, -24.0f}, {kBypass, 1.0f}, {kInput, 6.0f}, {kMix, 40.0f}});
  const Stereo in = Tone(48000.0, 440.0, 0.25, 4096);
  rig.Run(in);
  rig->SetSampleRate(48000.0);
  const RiderEngine& e = *rig.engine;
  EXPECT_EQ(e.bypassGlide, 1.0);
  EXPECT_EQ(e.inputTrimGlide, std::pow(10.0, 6.0 / 20.0));
  EXPECT_EQ(e.mixGlide, 40.0f * 0.01);
  EXPECT_EQ(e.targetDb, -24.0);  // the Solo Target even in Mix Reference
  EXPECT_EQ(e.sampleCount, 0);
  EXPECT_EQ(e.historyCount, 0);
  EXPECT_EQ(e.historyWriteIndex, 0);
  EXPECT_EQ(e.gainDb, 0.0);
  EXPECT_EQ(e.fastMeanSquare, 0.0);
  EXPECT_FALSE(e.active);
  const float fills[kHistoryRings] = {-120.0f, -120.0f, -120.0f, -24.0f, 0.0f, 0.0f, 0.0f};
  for (int k = 0; k < kHistoryRings; ++k) {
    for (float v : e.historyRings[k]) ASSERT_EQ(v, fills[k]) << "ring " << k;
  }

  // Bypass on at reset: the very first samples are the untouched input.
  const Stereo out = rig.Run(in);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out.left[i], in.left[i]) << i;
}

}  // namespace
