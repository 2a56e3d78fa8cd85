// The ride: control tick requests, activity gate, pause hold, slew limit and the reference.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineRig.h"

namespace {

// One sample of silence through the engine; the first sample after a reset runs a control tick.
void RunOneSilentSample(RiderEngine& e) {
  const float zero[1] = {0.0f};
  float outL[1], outR[1];
  const float* in[2] = {zero, zero};
  float* out[2] = {outL, outR};
  e.Process(in, out, 1, false, nullptr, false, false);
}

// Mean square that a smoother holds after one sample of silence at `db`.
double SeedFor(double db, double coef) { return MeanSquareOfDb(db) / (1.0 - coef); }

TEST(Ride, ControlTickRequests) {
  // Solo Target -18, Ride 100 %, Fast Amount 35 %, Transient Protect 50 %, Max Cut 12.
  struct {
    double slowDb, fastDb;
    float maxBoost;
    double slowRequest, fastRequest, clamped;
  } const cases[] = {
      {-24, -20, 6, 6, -1.1666666667, 4.8333333333},  // d = -4, r = 1/3, d -> -3.333
      {-24, -20, 3, 6, -1.1666666667, 3},
      {-24, -18, 6, 6, -0.35 * 6 * 0.75, 6 - 0.35 * 6 * 0.75},    // 6 dB above: scaled by 0.75
      {-24, -12, 6, 6, -0.35 * 12 * 0.5, 6 - 0.35 * 12 * 0.5},    // 12 dB above: by 0.5
      {-24, -6, 6, 6, -0.35 * 18 * 0.5, 6 - 0.35 * 18 * 0.5},     // beyond 12 dB: still 0.5
      {-24, -30, 18, 6, 0.35 * 6, 6 + 0.35 * 6},                  // boosts are never restrained
      {-3, -3, 6, -15, 0, -12},                                   // the cut budget
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.slowDb << " / " << c.fastDb << " / " << c.maxBoost);
    Rig rig({{kMaxBoost, c.maxBoost}});
    RiderEngine& e = *rig.engine;
    e.slowMeanSquare = SeedFor(c.slowDb, e.slowCoef);
    e.fastMeanSquare = SeedFor(c.fastDb, e.fastCoef);
    e.activityMeanSquare = SeedFor(c.fastDb, e.activityCoef);
    RunOneSilentSample(e);
    EXPECT_TRUE(e.active);
    EXPECT_NEAR(e.slowRequestDb, c.slowRequest, 1e-6);
    EXPECT_NEAR(e.fastRequestDb, c.fastRequest, 1e-6);
    EXPECT_NEAR(e.clampedRequestDb, c.clamped, 1e-6);
    EXPECT_EQ(e.requestDb, e.clampedRequestDb);
    EXPECT_NEAR(std::abs(e.gainDb), 6.0 / 48000.0, 1e-15);  // one slew step towards it
  }
}

TEST(Ride, ActivityGateHysteresis) {
  // Activity Floor -48, Hysteresis 6: opens at -48 or above, closes only below -54.
  struct {
    double activityDb;
    bool wasOpen, open;
  } const cases[] = {
      {-47.999, false, true}, {-48.001, false, false}, {-53.999, false, false},
      {-53.999, true, true},  {-54.001, true, false},  {-30.0, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.activityDb << (c.wasOpen ? " open" : " closed"));
    Rig rig;
    rig->active = c.wasOpen;
    rig->activityMeanSquare = SeedFor(c.activityDb, rig->activityCoef);
    RunOneSilentSample(*rig.engine);
    EXPECT_EQ(rig->active, c.open);
  }
}

TEST(Ride, PauseHoldLength) {
  struct {
    float holdMs;
    int heldSamples;
  } const cases[] = {{200.0f, 9600}, {0.0f, 0}, {10.0f, 480}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holdMs);
    Rig rig({{kPauseHold, c.holdMs}, {kAnalyzer, 0.0f}});
    RiderEngine& e = *rig.engine;
    // An open gate with 3 dB applied meets silence: the first tick closes it.
    e.active = true;
    e.gainDb = e.requestDb = e.clampedRequestDb = 3.0;
    int held = 0, firstReturn = -1;
    for (int i = 0; i < c.heldSamples + 100; ++i) {
      RunOneSilentSample(e);
      ASSERT_FALSE(e.active);
      if (e.holding) {
        ASSERT_EQ(firstReturn, -1) << "the hold is one stretch";
        ASSERT_EQ(e.requestDb, 3.0);
        ++held;
      } else if (firstReturn < 0) {
        firstReturn = i;
        EXPECT_LT(e.requestDb, 3.0);  // the return starts at once
      }
    }
    EXPECT_EQ(held, c.heldSamples);
    EXPECT_EQ(firstReturn, c.heldSamples);
  }
}

TEST(Ride, SlewLimit) {
  // A quiet vocal far below the target asks for the full boost; the gain climbs at the slew limit.
  struct {
    float slewDbPerS;
    double fs;
  } const cases[] = {{6.0f, 48000.0}, {24.0f, 48000.0}, {1.0f, 22050.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.slewDbPerS);
    Rig rig({{kMaxGainSlew, c.slewDbPerS}, {kMaxBoost, 18.0f}, {kSoloTarget, -6.0f}}, c.fs);
    const double maxStep = c.slewDbPerS / c.fs;
    const Stereo in = Tone(c.fs, 1000.0, 0.05, kEngineChunk);
    double before = rig->gainDb;
    int chunks = 0;
    while (rig->gainDb < 0.5 * c.slewDbPerS) {
      rig.Run(in);
      const double step = rig->gainDb - before;
      ASSERT_LE(step, kEngineChunk * maxStep * (1.0 + 1e-9));
      if (chunks >= 4) {
        ASSERT_NEAR(step, kEngineChunk * maxStep, 1e-9);  // once the gate is open
      }
      before = rig->gainDb;
      ++chunks;
    }
    // Half the slew per second takes half a second, plus the few milliseconds the gate needs.
    EXPECT_NEAR(chunks * kEngineChunk / c.fs, 0.5, kEngineChunk / c.fs + 0.002);
  }
}

TEST(Ride, ReturnToUnityWithoutReference) {
  // Mix Reference with no sidechain: target -120, no requests, the gain returns to 0 dB with the
  // 800 ms Pause Return, no faster than Max Gain Slew (6 dB/s).
  struct {
    double startDb;
    int samples;
    double expectedDb;
  } const cases[] = {{3.0, 38400, 3.0 * std::exp(-1.0)}, {12.0, 4800, 12.0 - 0.6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.startDb);
    Rig rig({{kMaxBoost, 18.0f}});
    rig.Set(kMode, 1.0f);
    rig->gainDb = rig->requestDb = c.startDb;
    rig.Run(Stereo(c.samples));
    EXPECT_NEAR(rig->gainDb, c.expectedDb, 1e-6);
    EXPECT_EQ(rig->targetDb, -120.0);
    EXPECT_EQ(rig->slowRequestDb, 0.0);
    EXPECT_EQ(rig->fastRequestDb, 0.0);
  }
}

TEST(Ride, MixReferenceModes) {
  const double fs = 48000.0;
  const int frames = 47 * kEngineChunk;  // whole calls, about half a second
  const Stereo vocal = Tone(fs, 300.0, 0.1, frames);
  const Stereo reference = Tone(fs, 1000.0, 0.1, frames, true);
  const Stereo leftOnly = [&] {
    Stereo s = reference;
    s.right.clear();
    return s;
  }();
  struct {
    const char* name;
    const Stereo* reference;
    bool connected, silent;
    int modeCode;
    bool viewConnected;
  } const cases[] = {
      {"no sidechain", nullptr, false, false, kModeCodeNoSidechain, false},
      {"bus active, no buffers", nullptr, true, false, kModeCodeNoSidechain, false},
      {"one channel pointer", &leftOnly, true, false, kModeCodeNoSidechain, false},
      {"connected but silent", &reference, true, true, kModeCodeReferenceClosed, true},
      {"connected with a reference", &reference, true, false, kModeCodeReferenceOpen, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig({{kMode, 1.0f}});
    if (c.reference == &leftOnly) {
      // Only the left pointer is handed over.
      Stereo out(kEngineChunk);
      for (int start = 0; start < frames; start += kEngineChunk) {
        const float* mainIn[2] = {vocal.left.data() + start, vocal.right.data() + start};
        const float* sideIn[2] = {leftOnly.left.data() + start, nullptr};
        float* outs[2] = {out.left.data(), out.right.data()};
        rig->Process(mainIn, outs, kEngineChunk, false, sideIn, true, false);
      }
    } else {
      rig.Run(vocal, kEngineChunk, {c.reference, c.connected, c.silent});
    }
    const ViewSnapshot view = rig->ReadView();
    const RiderPeaks peaks = rig->ReadPeaks();
    ASSERT_TRUE(view.valid);
    EXPECT_EQ(view.modeCode, c.modeCode);
    EXPECT_EQ(view.sidechainConnected, c.viewConnected);
    if (c.modeCode == kModeCodeReferenceOpen) {
      EXPECT_TRUE(rig->referenceActive);
      EXPECT_NEAR(view.targetDb, view.referenceDb + 3.0f, 0.05);  // Mix Offset 3 dB
      EXPECT_GT(view.referenceDb, -50.0f);
      EXPECT_FLOAT_EQ(peaks.referencePeak, 0.1f);
    } else {
      EXPECT_FALSE(rig->referenceActive);
      EXPECT_EQ(view.targetDb, -120.0f);
      EXPECT_EQ(view.slowRequestDb, 0.0f);
      EXPECT_EQ(view.fastRequestDb, 0.0f);
      EXPECT_EQ(view.gainDb, 0.0f);
      EXPECT_EQ(view.referenceDb, -120.0f);
      EXPECT_EQ(peaks.referencePeak, 0.0f);
    }
  }
}

TEST(Ride, SidechainChangeRestartsReference) {
  // A reference at about -23 dB against a floor of -30: the gate opens some 130 ms after the
  // reference level starts from silence.
  const double fs = 48000.0;
  Rig rig({{kMode, 1.0f}, {kReferenceFloor, -30.0f}});
  const Stereo vocal = Tone(fs, 300.0, 0.1, 24000);
  const Stereo reference = Tone(fs, 1000.0, 0.1, 24000, true);
  const Stereo chunkVocal = Tone(fs, 300.0, 0.1, kEngineChunk);
  const Stereo chunkReference = Tone(fs, 1000.0, 0.1, kEngineChunk, true);

  rig.Run(vocal, kEngineChunk, {&reference, true, false});
  ASSERT_EQ(rig->ReadView().modeCode, kModeCodeReferenceOpen);
  const double settledDb = rig->ReadView().referenceDb;

  rig.Run(chunkVocal, kEngineChunk, {&chunkReference, true, true});  // flagged silent
  EXPECT_EQ(rig->referenceMeanSquare, 0.0);
  EXPECT_EQ(rig->referenceLeftFilter.lowPassState, 0.0);
  EXPECT_EQ(rig->ReadView().modeCode, kModeCodeReferenceClosed);

  rig.Run(chunkVocal, kEngineChunk, {&chunkReference, true, false});  // live again: from silence
  EXPECT_LT(rig->ReadView().referenceDb, settledDb - 10.0);
  EXPECT_EQ(rig->ReadView().modeCode, kModeCodeReferenceClosed);

  rig.Run(vocal, kEngineChunk, {&reference, true, false});
  EXPECT_EQ(rig->ReadView().modeCode, kModeCodeReferenceOpen);
}

}  // namespace
