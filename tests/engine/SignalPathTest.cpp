// The audible path: sample guard, bypass, transparency, degenerate calls, clip flag and gain.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "EngineMath.h"
#include "EngineRig.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A vocal-like line: a tone with a syllable-rate envelope and pauses, plus edge samples.
Stereo Phrase(double fs, int frames) {
  Stereo s = Tone(fs, 220.0, 0.3, frames);
  for (int i = 0; i < frames; ++i) {
    const double t = i / fs;
    const double syllables = 0.55 + 0.45 * std::sin(2.0 * std::numbers::pi * 4.0 * t);
    const double phrase = std::fmod(t, 2.0) < 1.4 ? 1.0 : 0.01;  // a pause every two seconds
    s.left[i] = static_cast<float>(s.left[i] * syllables * phrase);
    s.right[i] = static_cast<float>(s.right[i] * syllables * phrase * 0.7);
  }
  return s;
}

TEST(SignalPath, SanitizeSample) {
  const double inf = std::numeric_limits<double>::infinity();
  struct {
    double x, expected;
  } const cases[] = {
      {std::numeric_limits<double>::quiet_NaN(), 0.0}, {inf, 0.0}, {-inf, 0.0}, {40.0, 32.0},
      {-100.0, -32.0}, {32.0, 32.0}, {-0.25, -0.25}, {1e-30, 1e-30},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeSample(c.x), c.expected) << c.x;
}

TEST(SignalPath, BypassConvergesToSanitisedInput) {
  struct {
    const char* name;
    bool hostBypass;
    float parameter;
  } const cases[] = {{"host bypass", true, 0.0f}, {"Bypass parameter", false, 1.0f}};
  const double fs = 48000.0;
  const Stereo phrase = Phrase(fs, 24000);
  Stereo edges = Tone(fs, 220.0, 0.3, kEngineChunk);
  const float specials[] = {40.0f, -100.0f, kNaN, kInf, -kInf, 0.3f, 32.0f};
  const float guarded[] = {32.0f, -32.0f, 0.0f, 0.0f, 0.0f, 0.3f, 32.0f};
  for (int i = 0; i < 7; ++i) edges.left[10 + i] = edges.right[100 + i] = specials[i];

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig({{kInput, 12.0f}, {kOutput, -6.0f}, {kMix, 50.0f}, {kMaxGainSlew, 24.0f}});
    rig.Run(phrase);
    ASSERT_NE(rig->gainDb, 0.0);
    rig.Set(kBypass, c.parameter);

    // 10 ms glide: 1 - 1/e after 480 samples, snapped to exactly 1 once within 1e-9.
    rig.Run(Stereo(480), kEngineChunk, {}, c.hostBypass);
    EXPECT_NEAR(rig->bypassGlide, 1.0 - std::exp(-1.0), 1e-9);
    rig.Run(Stereo(9000), kEngineChunk, {}, c.hostBypass);
    EXPECT_LT(rig->bypassGlide, 1.0);
    rig.Run(Stereo(1500), kEngineChunk, {}, c.hostBypass);
    EXPECT_EQ(rig->bypassGlide, 1.0);

    const Stereo out = rig.Run(edges, kEngineChunk, {}, c.hostBypass);
    for (int i = 0; i < kEngineChunk; ++i) {
      const float l = (i >= 10 && i < 17) ? guarded[i - 10] : edges.left[i];
      const float r = (i >= 100 && i < 107) ? guarded[i - 100] : edges.right[i];
      ASSERT_EQ(std::bit_cast<std::uint32_t>(out.left[i]), std::bit_cast<std::uint32_t>(l)) << i;
      ASSERT_EQ(std::bit_cast<std::uint32_t>(out.right[i]), std::bit_cast<std::uint32_t>(r)) << i;
    }
    EXPECT_TRUE(rig->IsTransparent());
    EXPECT_TRUE(rig->ReadView().bypassed);
  }
}

TEST(SignalPath, MixZeroIsTransparent) {
  const double fs = 48000.0;
  Rig rig({{kMaxGainSlew, 24.0f}});
  const Stereo phrase = Phrase(fs, 48000);
  rig.Run(phrase);
  rig.Set(kMix, 0.0f);
  rig.Run(phrase);
  ASSERT_EQ(rig->mixGlide, 0.0);
  ASSERT_NE(rig->gainDb, 0.0);  // the ride goes on, unheard
  EXPECT_TRUE(rig->IsTransparent());

  Stereo in = Tone(fs, 220.0, 0.5, kEngineChunk);
  in.left[5] = 40.0f;
  in.right[6] = kNaN;
  const Stereo out = rig.Run(in);
  for (int i = 0; i < kEngineChunk; ++i) {
    ASSERT_EQ(out.left[i], static_cast<float>(SanitizeSample(in.left[i]))) << i;
    ASSERT_EQ(out.right[i], static_cast<float>(SanitizeSample(in.right[i]))) << i;
  }
}

TEST(SignalPath, IsTransparentRule) {
  struct {
    double bypass, inputTrim, outputTrim, mix, gainDb;
    bool transparent;
  } const cases[] = {
      {1.0, 2.0, 0.5, 1.0, 3.0, true},   {0.5, 1.0, 1.0, 0.0, 0.0, true},  {0.0, 2.0, 1.0, 0.0, 0.0, false},
      {0.0, 1.0, 0.5, 0.0, 0.0, false},  {0.0, 1.0, 1.0, 0.0, 3.0, true},  {0.0, 1.0, 1.0, 0.5, 0.0, true},
      {0.0, 1.0, 1.0, 0.5, 1e-9, false}, {0.999, 1.0, 1.0, 1.0, -2.0, false},
  };
  Rig rig;
  for (const auto& c : cases) {
    rig->bypassGlide = c.bypass;
    rig->inputTrimGlide = c.inputTrim;
    rig->outputTrimGlide = c.outputTrim;
    rig->mixGlide = c.mix;
    rig->gainDb = c.gainDb;
    EXPECT_EQ(rig->IsTransparent(), c.transparent)
        << c.bypass << " " << c.inputTrim << " " << c.outputTrim << " " << c.mix << " " << c.gainDb;
  }
}

TEST(SignalPath, DegenerateCallsDoNothing) {
  Rig rig;
  const Stereo in = Tone(48000.0, 440.0, 0.5, 64);
  const float* mainIn[2] = {in.left.data(), in.right.data()};
  Stereo out(64);
  std::fill(out.left.begin(), out.left.end(), 7.0f);
  std::fill(out.right.begin(), out.right.end(), 7.0f);
  float* outs[2] = {out.left.data(), out.right.data()};
  float* halfOuts[2] = {out.left.data(), nullptr};
  struct {
    const char* name;
    float* const* out;
    int frames;
  } const cases[] = {{"zero frames", outs, 0}, {"negative frames", outs, -5}, {"no outputs", nullptr, 64},
                     {"one output", halfOuts, 64}};
  const std::uint32_t sequence = rig->viewSequence.load();
  for (const auto& c : cases) {
    rig->Process(mainIn, c.out, c.frames, false, nullptr, false, false);
    EXPECT_EQ(rig->viewSequence.load(), sequence) << c.name;
    EXPECT_EQ(rig->sampleCount, 0) << c.name;
  }
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(out.left[i] == 7.0f && out.right[i] == 7.0f) << i;
}

TEST(SignalPath, MissingInputReadsAsSilence) {
  Rig rig({{kInput, 6.0f}});
  rig->inputTrimGlide = 1.0;  // the glide still moves towards +6 dB
  const Stereo in = Tone(48000.0, 440.0, 0.5, 64);
  const float* leftOnly[2] = {in.left.data(), nullptr};
  Stereo out(64);
  float* outs[2] = {out.left.data(), out.right.data()};

  rig->Process(nullptr, outs, 64, false, nullptr, false, false);
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f) << i;
  EXPECT_GT(rig->inputTrimGlide, 1.0);
  EXPECT_EQ(rig->sampleCount, 64);
  EXPECT_EQ(rig->ReadView().sampleCount, 64);

  rig->Process(leftOnly, outs, 64, false, nullptr, false, false);
  EXPECT_NE(out.left[10], 0.0f);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out.right[i], 0.0f) << i;
}

TEST(SignalPath, ClipFlagAndPeaksPerCall) {
  struct {
    float sample;
    bool clipped;
  } const cases[] = {{1.0f, true}, {-1.0f, true}, {0.99999994f, false}, {0.5f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sample);
    Rig rig;
    Stereo in(16);
    in.right[3] = c.sample;  // gain is still 0 dB: the output is the input
    const Stereo out = rig.Run(in);
    ASSERT_EQ(out.right[3], c.sample);
    const ViewSnapshot view = rig->ReadView();
    const RiderPeaks peaks = rig->ReadPeaks();
    EXPECT_EQ(view.clipped, c.clipped);
    EXPECT_EQ(peaks.inputPeak, std::abs(c.sample));
    EXPECT_EQ(peaks.gainedPeak, std::abs(c.sample));
    EXPECT_EQ(peaks.outputPeak, std::abs(c.sample));
    EXPECT_EQ(peaks.outputPeakRight, std::abs(c.sample));
    EXPECT_EQ(peaks.outputPeakLeft, 0.0f);
    EXPECT_EQ(peaks.referencePeak, 0.0f);
  }
}

// In a long pause the decaying states must reach exact zero instead of lingering in the
// subnormal range, where every operation on them is many times slower.
TEST(SignalPath, SilenceSettlesToExactZero) {
  const double fs = 48000.0;
  Rig rig({{kPauseHold, 0.0f}, {kPauseReturn, 100.0f}, {kMaxGainSlew, 24.0f}});
  rig.Run(Phrase(fs, 96000));
  ASSERT_NE(rig->gainDb, 0.0);
  const Stereo silence(kEngineChunk);
  const RiderEngine& e = *rig.engine;
  for (int call = 0; call < 60 * 48000 / kEngineChunk; ++call) {
    rig.Run(silence);
    for (double v : {e.mainLeftFilter.highPassState, e.mainLeftFilter.lowPassState, e.mainRightFilter.highPassState,
                     e.mainRightFilter.lowPassState, e.outputLeftFilter.highPassState, e.outputLeftFilter.lowPassState,
                     e.outputRightFilter.highPassState, e.outputRightFilter.lowPassState, e.slowMeanSquare,
                     e.fastMeanSquare, e.activityMeanSquare, e.outputMeanSquare, e.requestDb, e.gainDb}) {
      ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL) << "call " << call;
    }
  }
  EXPECT_EQ(e.gainDb, 0.0);
  EXPECT_EQ(e.requestDb, 0.0);
  EXPECT_EQ(e.mainLeftFilter.highPassState, 0.0);
  EXPECT_EQ(e.outputRightFilter.lowPassState, 0.0);
  EXPECT_TRUE(e.IsTransparent());
}

TEST(SignalPath, LongCallIsTakenInPieces) {
  const double fs = 48000.0;
  Rig pieces, chunks;
  const Stereo in = Phrase(fs, 3 * kEngineChunk + 100);
  const Stereo a = pieces.Run(in, in.Frames());
  const Stereo b = chunks.Run(in);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(pieces->sampleCount, in.Frames());
  EXPECT_EQ(pieces->gainDb, chunks->gainDb);
}

// The stepped gain against 10^(gainDb/20) along a long slewing path (up, down, decaying).
TEST(SignalPath, SteppedGainTracksFormula) {
  const double maxStep = 24.0 / 22050.0;  // the largest step any setting allows
  double gainDb = 0.0, request = 0.0;
  double g = engine_math::DbToGain(gainDb);
  double worstDb = 0.0;
  for (int i = 0; i < 22050 * 60; ++i) {
    const int phase = (i / 20000) % 4;
    request = phase == 0 ? 18.0 : phase == 1 ? -24.0 : phase == 2 ? request * 0.9999 : 7.5;
    const double delta = std::clamp(request - gainDb, -maxStep, maxStep);
    gainDb += delta;
    g = g * engine_math::GainStepFactor(delta);
    worstDb = std::max(worstDb, std::abs(20.0 * std::log10(g) - gainDb));
  }
  EXPECT_LT(worstDb, 1e-6);
}

// Calls of one sample start from the exact formula every time; the two outputs must agree.
TEST(SignalPath, ChunkedGainMatchesPerSampleFormula) {
  const double fs = 48000.0;
  const std::initializer_list<std::pair<int, float>> settings = {
      {kMaxGainSlew, 24.0f}, {kMaxBoost, 12.0f}, {kPauseHold, 50.0f}, {kAnalyzer, 0.0f}};
  Rig chunked(settings, fs), perSample(settings, fs);
  const Stereo in = Phrase(fs, 5 * 48000);
  const Stereo a = chunked.Run(in);
  const Stereo b = perSample.Run(in, 1);
  ASSERT_EQ(chunked->gainDb, perSample->gainDb);
  double minGain = 0.0, maxGain = 0.0;
  for (int i = 0; i < in.Frames(); ++i) {
    for (const auto& [x, y] : {std::pair{a.left[i], b.left[i]}, std::pair{a.right[i], b.right[i]}}) {
      ASSERT_LE(std::abs(x - y), std::abs(y) * std::numeric_limits<float>::epsilon()) << i;  // one float step
    }
    if (in.left[i] != 0.0f) {
      const double db = 20.0 * std::log10(std::abs(b.left[i] / in.left[i]));
      minGain = std::min(minGain, db);
      maxGain = std::max(maxGain, db);
    }
  }
  EXPECT_GT(maxGain - minGain, 3.0);  // the gain did move
}

}  // namespace
