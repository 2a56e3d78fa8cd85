// The published view: defaults, history unrolling, Analyzer off, flags and the two-thread exchange.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EngineRig.h"

namespace {

const HistoryCurve& Curve(const ViewSnapshot& v, int ring) {
  const HistoryCurve* curves[kHistoryRings] = {&v.vocalHistory,       &v.outputHistory,      &v.referenceHistory,
                                               &v.targetHistory,      &v.slowRequestHistory, &v.fastRequestHistory,
                                               &v.gainHistory};
  return *curves[ring];
}

void ExpectFilled(const ViewSnapshot& v, float target) {
  const float fills[kHistoryRings] = {-120.0f, -120.0f, -120.0f, target, 0.0f, 0.0f, 0.0f};
  for (int k = 0; k < kHistoryRings; ++k) {
    for (float x : Curve(v, k)) ASSERT_EQ(x, fills[k]) << "ring " << k;
  }
}

TEST(ViewExchange, DefaultRecord) {
  const ViewSnapshot v;
  ExpectFilled(v, 0.0f);
  EXPECT_EQ(v.sampleRate, 48000.0);
  EXPECT_EQ(v.vocalDb, -120.0f);
  EXPECT_EQ(v.outputDb, -120.0f);
  EXPECT_EQ(v.referenceDb, -120.0f);
  EXPECT_EQ(v.targetDb, -18.0f);
  EXPECT_EQ(v.slowRequestDb, 0.0f);
  EXPECT_EQ(v.fastRequestDb, 0.0f);
  EXPECT_EQ(v.gainDb, 0.0f);
  EXPECT_FALSE(v.active || v.holding || v.clipped || v.sidechainConnected || v.bypassed || v.valid);
  EXPECT_TRUE(v.analyzerOn);
  EXPECT_EQ(v.modeCode, 0);
  EXPECT_EQ(v.sampleCount, 0);
  EXPECT_EQ(v.historyCount, 0);
  EXPECT_EQ(v.historyStepMs, 40.0f);
}

TEST(ViewExchange, SnapshotRightAfterCreation) {
  struct {
    float soloTarget;
    double fs;
  } const cases[] = {{-18.0f, 48000.0}, {-24.0f, 44100.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.soloTarget);
    std::unique_ptr<RiderEngine> engine;
    MakeRiderEngine(engine);
    ParamVector p = kParamDefaults;
    p[kSoloTarget] = c.soloTarget;
    engine->SetParams(p);
    engine->SetSampleRate(c.fs);
    const ViewSnapshot v = engine->ReadView();
    ASSERT_TRUE(v.valid);
    ExpectFilled(v, c.soloTarget);
    EXPECT_EQ(v.vocalDb, -120.0f);
    EXPECT_EQ(v.outputDb, -120.0f);
    EXPECT_EQ(v.referenceDb, -120.0f);
    EXPECT_EQ(v.targetDb, c.soloTarget);
    EXPECT_EQ(v.sampleRate, c.fs);
    EXPECT_EQ(v.historyCount, 0);
    EXPECT_EQ(v.sampleCount, 0);
    EXPECT_EQ(v.modeCode, 0);
    EXPECT_EQ(v.historyStepMs, 40.0f);
    EXPECT_TRUE(v.analyzerOn);
    EXPECT_FALSE(v.bypassed || v.active || v.clipped || v.sidechainConnected);
    DestroyRiderEngine(engine);
    EXPECT_EQ(engine, nullptr);
  }
}

TEST(ViewExchange, OddSequenceGivesDefault) {
  Rig rig({{kMode, 1.0f}}, 96000.0);
  rig.Run(Tone(96000.0, 440.0, 0.5, 4096));
  rig->viewSequence.fetch_add(1);  // a publication that never ends
  const ViewSnapshot v = rig->ReadView();
  EXPECT_FALSE(v.valid);
  EXPECT_EQ(v.sampleRate, 48000.0);
  EXPECT_EQ(v.sampleCount, 0);
  EXPECT_EQ(v.modeCode, 0);
  ExpectFilled(v, 0.0f);

  rig->viewSequence.fetch_add(1);
  const ViewSnapshot w = rig->ReadView();
  EXPECT_TRUE(w.valid);
  EXPECT_EQ(w.sampleRate, 96000.0);
  EXPECT_EQ(w.sampleCount, 4096);
}

TEST(ViewExchange, HistoryOldestFirst) {
  // A quadrature tone rising 0.1 dB per history point: every published vocal level is above the
  // one before it.
  const double fs = 48000.0;
  Rig rig;
  const int points = 300;
  const int frames = (points - 1) * 1920;  // after the point at the first sample
  Stereo in(frames);
  for (int i = 0; i < frames; ++i) {
    const double amplitude = std::pow(10.0, (-60.0 + 0.1 * i / 1920.0) / 20.0);
    const double phase = 2.0 * std::numbers::pi * 1000.0 * i / fs;
    in.left[i] = static_cast<float>(amplitude * std::sin(phase));
    in.right[i] = static_cast<float>(amplitude * std::cos(phase));
  }

  rig.Run(Stereo(1));  // the first point, at silence
  ViewSnapshot v = rig->ReadView();
  EXPECT_EQ(v.historyCount, 1);
  EXPECT_EQ(v.vocalHistory[255], -120.0f);
  EXPECT_EQ(v.targetHistory[255], -18.0f);

  rig.Run(in);
  v = rig->ReadView();
  EXPECT_EQ(v.historyCount, 256);
  EXPECT_EQ(rig->historyWriteIndex, points % 256);
  for (int j = 1; j < kHistoryPoints; ++j) {
    ASSERT_GT(v.vocalHistory[j], v.vocalHistory[j - 1]) << j;
    ASSERT_EQ(v.targetHistory[j], -18.0f);
  }
  EXPECT_NEAR(v.vocalHistory[255], v.vocalDb, 0.01);
  // The newest point is the last element; the ring keeps it just before the write index.
  for (int k = 0; k < kHistoryRings; ++k) {
    EXPECT_EQ(Curve(v, k)[255], rig->historyRings[k][(rig->historyWriteIndex + 255) % 256]);
    EXPECT_EQ(Curve(v, k)[0], rig->historyRings[k][rig->historyWriteIndex]);
  }
}

TEST(ViewExchange, ThreePointsAtTheEnd) {
  Rig rig;
  rig.Run(Tone(48000.0, 1000.0, 0.3, 2 * 1920 + 1, true));
  const ViewSnapshot v = rig->ReadView();
  EXPECT_EQ(v.historyCount, 3);
  EXPECT_EQ(v.vocalHistory[252], -120.0f);
  EXPECT_LT(v.vocalHistory[253], v.vocalHistory[254]);
  EXPECT_LT(v.vocalHistory[254], v.vocalHistory[255]);
  EXPECT_GT(v.vocalHistory[253], -120.0f);
}

TEST(ViewExchange, AnalyzerOffFreezesHistory) {
  Rig rig;
  const Stereo in = Tone(48000.0, 1000.0, 0.3, 48000, true);
  rig.Run(in);
  const ViewSnapshot before = rig->ReadView();
  ASSERT_EQ(before.historyCount, 25);  // one point every 40 ms from the first sample

  rig.Set(kAnalyzer, 0.0f);
  rig.Run(in);
  rig.Run(Tone(48000.0, 250.0, 0.01, 48000));
  const ViewSnapshot off = rig->ReadView();
  EXPECT_FALSE(off.analyzerOn);
  EXPECT_EQ(off.historyCount, 25);
  for (int k = 0; k < kHistoryRings; ++k) EXPECT_EQ(Curve(off, k), Curve(before, k)) << "ring " << k;
  EXPECT_NE(off.vocalDb, before.vocalDb);

  rig.Set(kAnalyzer, 1.0f);
  rig.Run(in);
  EXPECT_GT(rig->ReadView().historyCount, 25);
}

TEST(ViewExchange, BypassFlagFollowsTheCall) {
  Rig rig;
  rig.Run(Stereo(64), kEngineChunk, {}, true);
  EXPECT_TRUE(rig->ReadView().bypassed);
  rig->Reset();
  EXPECT_FALSE(rig->ReadView().bypassed);
  rig.Set(kBypass, 1.0f);
  rig->Reset();
  EXPECT_TRUE(rig->ReadView().bypassed);
}

// One writer publishes views whose every word derives from a counter k; the reader checks that
// each accepted copy holds a single k throughout, and that k never goes back.
TEST(ViewExchange, TwoThreadsNeverSeeATornCopy) {
  constexpr int kPublications = 3000;
  constexpr int kMaxReads = 1'000'000;  // the reader reads until the writer is done
  Rig rig({{kMode, 1.0f}});
  RiderEngine& e = *rig.engine;
  std::atomic<bool> failed{false};
  std::atomic<bool> written{false};

  std::thread writer([&] {
    for (int k = 1; k <= kPublications; ++k) {
      const double kd = k;
      e.sampleRate = 1000.0 + kd;
      e.fastMeanSquare = MeanSquareOfDb(-(k % 100));
      e.targetDb = kd;
      e.slowRequestDb = -kd;
      e.fastRequestDb = 0.5 * kd;
      e.gainDb = 2.0 * kd;
      e.sampleCount = k;
      e.historyCount = k % 257;
      e.historyWriteIndex = k % 256;
      e.active = (k & 1) != 0;
      e.holding = (k & 2) != 0;
      e.referenceActive = (k & 16) != 0;
      for (int r = 0; r < kHistoryRings; ++r) e.historyRings[r].fill(static_cast<float>(k + r));
      e.historyChanged = true;
      const float peak = static_cast<float>(k);
      e.PublishView(peak, peak, peak, peak, peak, peak, (k & 8) != 0, (k & 4) != 0, false);
      std::this_thread::yield();  // leaves the reader even windows, as the audio thread's pauses do
    }
    written = true;
  });

  std::int64_t last = 0;
  int accepted = 0;
  for (int i = 0; i < kMaxReads && !written && !failed; ++i) {
    const ViewSnapshot v = e.ReadView();
    const RiderPeaks peaks = e.ReadPeaks();
    if (peaks.inputPeak != std::floor(peaks.inputPeak)) failed = true;
    if (!v.valid) continue;
    ++accepted;
    const std::int64_t k = v.sampleCount;
    if (k == 0) continue;  // the reset's publication
    const float kf = static_cast<float>(k);
    bool ok = k >= last && v.sampleRate == 1000.0 + static_cast<double>(k) && v.targetDb == kf &&
              v.slowRequestDb == -kf && v.fastRequestDb == 0.5f * kf && v.gainDb == 2.0f * kf &&
              std::abs(v.vocalDb + static_cast<float>(k % 100)) < 1e-3f && v.historyCount == k % 257 &&
              v.active == ((k & 1) != 0) && v.holding == ((k & 2) != 0) && v.clipped == ((k & 4) != 0) &&
              v.sidechainConnected == ((k & 8) != 0) &&
              v.modeCode == ((k & 8) == 0 ? 1 : (k & 16) != 0 ? 3 : 2);
    for (int r = 0; r < kHistoryRings && ok; ++r) {
      for (float x : Curve(v, r)) ok = ok && x == kf + static_cast<float>(r);
    }
    if (!ok) failed = true;
    last = k;
  }
  writer.join();
  EXPECT_FALSE(failed);
  EXPECT_GT(accepted, 0);
  const ViewSnapshot final = e.ReadView();
  EXPECT_TRUE(final.valid);
  EXPECT_EQ(final.sampleCount, kPublications);
}

}  // namespace
