// The optimised engine against the plain model in ReferenceRider.h: long programmes of varied
// input, parameter changes and sidechain changes in calls of odd sizes, compared after every call.
//
// Tolerances. Both compute in double; they differ only in evaluation order (one-pole form,
// filter algebra, the stepped linear gain), which leaves the states within about 1e-12 of each
// other relative to the signal. A double that close may still round to the neighbouring float,
// so float results may differ by an ulp or two: we allow 4 float ulps relative plus 1e-9
// absolute (-180 dBFS) for values that cancel to almost nothing. Gains and levels kept in
// double must agree within 1e-9 dB. Glides, flags, gates, counts and codes must agree exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "EngineRig.h"
#include "ReferenceRider.h"

namespace {

constexpr double kDbTolerance = 1e-9;

bool FloatsClose(double a, double b) {
  return std::abs(a - b) <= 4.0 * FLT_EPSILON * std::max(std::abs(a), std::abs(b)) + 1e-9;
}

// Missing: no main input at all; LeftOnly: the right pointer is null.
enum class Voice { Speech, Transients, Silence, Garbage, Quiet, Missing, LeftOnly };
// Zeros: connected but below Reference Floor; OnePointer: connected with one null pointer;
// FlagOff: buffers present but the bus not connected.
enum class Side { None, Bed, SilentFlag, Zeros, OnePointer, FlagOff };

struct Segment {
  double seconds;
  Voice voice;
  Side side = Side::None;
  std::vector<std::pair<int, float>> changes = {};  // applied before the segment
  bool hostBypass = false;
  bool reset = false;  // SetSampleRate again before the segment
};

// A voiced line with syllables, phrase pauses and a slow level swell; t in seconds.
double Speech(double t, int channel) {
  const double twoPi = 2.0 * std::numbers::pi;
  const double phase = twoPi * (190.0 * t + 4.0 * std::sin(twoPi * 0.6 * t));
  const double voice = std::sin(phase) + 0.5 * std::sin(2.0 * phase + channel) + 0.3 * std::sin(5.0 * phase);
  const double syllables = std::max(0.0, std::sin(twoPi * 3.3 * t));
  const double phrase = std::fmod(t, 1.7) < 1.2 ? 1.0 : 0.004;
  const double level = 0.15 * (0.55 + 0.45 * std::sin(twoPi * 0.21 * t));
  return level * voice * syllables * phrase * (channel == 0 ? 1.0 : 0.8);
}

float VoiceSample(Voice v, std::int64_t n, double fs, int channel) {
  const double t = static_cast<double>(n) / fs;
  switch (v) {
  case Voice::Speech:
  case Voice::LeftOnly:
    return static_cast<float>(Speech(t, channel));
  case Voice::Transients: {
    // Loud clicks every 150 ms over a quieter line; they pass full scale.
    const double sinceClick = std::fmod(t, 0.15);
    return static_cast<float>(0.3 * Speech(t, channel) + 1.6 * std::exp(-sinceClick * 900.0) *
                                                             std::sin(2.0 * std::numbers::pi * 2300.0 * t));
  }
  case Voice::Silence:
  case Voice::Missing:
    return 0.0f;
  case Voice::Garbage: {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, 40.0f, -100.0f, 32.5f};
    const std::int64_t k = n + 13 * channel;
    if (k % 37 == 0) return specials[(k / 37) % 6];
    return static_cast<float>(Speech(t, channel));
  }
  case Voice::Quiet:  // around the activity floor
    return static_cast<float>(0.012 * Speech(t, channel));
  }
  return 0.0f;
}

float BedSample(std::int64_t n, double fs, int channel) {
  const double t = static_cast<double>(n) / fs, twoPi = 2.0 * std::numbers::pi;
  const double swell = 0.08 * (0.6 + 0.4 * std::sin(twoPi * 0.3 * t));
  const double f = channel == 0 ? 110.0 : 165.0;
  return static_cast<float>(swell * (std::sin(twoPi * f * t) + 0.5 * std::sin(twoPi * 9.0 * f * t)));
}

struct Programme {
  const char* name;
  std::vector<std::pair<int, float>> start;
  std::vector<Segment> segments;
};

const Programme kProgrammes[] = {
    {"solo",
     {{kPauseHold, 150.0f}, {kPauseReturn, 300.0f}, {kMaxGainSlew, 24.0f}},
     {
         {0.66, Voice::Speech},
         {0.28, Voice::Transients},
         {0.55, Voice::Silence},  // hold, then the return
         {0.22, Voice::Garbage},
         {0.28, Voice::Speech, Side::None, {{kMaxBoost, 2.0f}, {kRideAmount, 60.0f}}},
         {0.17, Voice::Quiet, Side::None, {{kMaxCut, 3.0f}, {kTransientProtect, 100.0f}}},
         {0.3, Voice::Speech, Side::None, {{kBypass, 1.0f}}},
         {0.3, Voice::Speech, Side::None, {{kBypass, 0.0f}, {kMix, 0.0f}}},
         {0.17, Voice::Speech, Side::None, {{kMix, 40.0f}, {kInput, 7.5f}, {kOutput, -4.0f}}},
         {0.15, Voice::Missing, Side::None, {{kAnalyzer, 0.0f}}},
         {0.17, Voice::LeftOnly, Side::FlagOff, {{kSoloTarget, -24.0f}}, false, true},
         {0.28,
          Voice::Transients,
          Side::None,
          {{kAnalyzer, 1.0f}, {kMix, 100.0f}, {kInput, 0.0f}, {kOutput, 0.0f}}},
         {0.17, Voice::Speech, Side::None, {}, true},
         {0.22,
          Voice::Transients,
          Side::None,
          {{kMaxBoost, 18.0f}, {kSlowTime, 300.0f}, {kFastTime, 10.0f}, {kSoloTarget, -6.0f}}},
         {0.17, Voice::Transients, Side::None, {{kMode, 1.0f}}},
         {0.22, Voice::Speech, Side::None, {{kMode, 0.0f}, {kDetectorHPF, 400.0f}, {kDetectorLPF, 18000.0f}}},
     }},
    {"mix reference",
     {{kMode, 1.0f},
      {kPauseHold, 100.0f},
      {kPauseReturn, 250.0f},
      {kMaxGainSlew, 24.0f},
      {kReferenceSmooth, 100.0f}},
     {
         {0.55, Voice::Speech, Side::Bed},
         {0.28, Voice::Speech, Side::SilentFlag},
         {0.28, Voice::Speech, Side::None},
         {0.33, Voice::Speech, Side::Bed},
         {0.33, Voice::Speech, Side::Zeros},  // below Reference Floor
         {0.17, Voice::Speech, Side::OnePointer},
         {0.17, Voice::Speech, Side::FlagOff},
         {0.28, Voice::Transients, Side::Bed, {{kMixOffset, -6.0f}, {kMaxBoost, 3.0f}}},
         {0.44, Voice::Silence, Side::Bed},
         {0.22, Voice::Garbage, Side::Bed, {{kReferenceFloor, -25.0f}}},
         {0.22, Voice::Speech, Side::Bed, {{kMode, 0.0f}, {kReferenceFloor, -50.0f}}},
         {0.22, Voice::Speech, Side::Bed, {{kMode, 1.0f}}},
         {0.3, Voice::Speech, Side::Bed, {{kBypass, 1.0f}}},
         {0.17, Voice::Speech, Side::None, {{kBypass, 0.0f}, {kRideAmount, 30.0f}}},
         {0.3,
          Voice::Quiet,
          Side::Bed,
          {{kMix, 0.0f}, {kActivityFloor, -60.0f}, {kActivityHysteresis, 0.0f}}},
         {0.22, Voice::Speech, Side::Bed, {{kMix, 100.0f}, {kPauseHold, 0.0f}}},
     }},
    {"edge parameters",
     {{kMaxGainSlew, 1.0f}, {kPauseHold, 0.0f}, {kPauseReturn, 100.0f}, {kSlowTime, 5000.0f}},
     {
         {0.44, Voice::Speech},
         {0.28, Voice::Silence, Side::None, {{kMaxGainSlew, 24.0f}}},
         {0.33,
          Voice::Speech,
          Side::None,
          {{kMaxBoost, std::numeric_limits<float>::quiet_NaN()}, {kMaxCut, 30.0f}}},
         {0.28, Voice::Garbage, Side::None, {{kInput, 24.0f}, {kOutput, -24.0f}, {kTransientProtect, 0.0f}}},
         {0.22, Voice::Transients, Side::None, {{kInput, -24.0f}, {kOutput, 24.0f}, {kFastAmount, 100.0f}}},
         {0.28,
          Voice::Speech,
          Side::None,
          {{kInput, 0.0f}, {kOutput, 0.0f}, {kMode, 0.49f}, {kAnalyzer, -3.0f}}},
         {0.3, Voice::Speech, Side::None, {{kAnalyzer, 0.5f}, {kMix, 0.0f}}},
         {0.17, Voice::Silence, Side::None, {{kMix, 100.0f}}, true},
         {0.33, Voice::Silence},
         {0.17, Voice::Speech, Side::None, {{kMode, 1.0f}}, false, true},
         {0.17, Voice::Speech, Side::Bed},
     }},
};

// Call sizes 1..512, deterministic, with runs of single frames and full chunks.
struct CallSizes {
  std::uint32_t state = 12345;
  int Next() {
    state = state * 1664525u + 1013904223u;
    const std::uint32_t r = state >> 8;
    if (r % 9 == 0) return 1;
    if (r % 11 == 0) return kEngineChunk;
    return 1 + static_cast<int>((r >> 4) % kEngineChunk);
  }
};

void ExpectSameView(const ViewSnapshot& v, const ReferenceRider::View& ref) {
  ASSERT_TRUE(v.valid);
  EXPECT_EQ(v.sampleRate, ref.levels[0]);
  const float levels[] = {v.vocalDb,       v.outputDb,      v.referenceDb, v.targetDb,
                          v.slowRequestDb, v.fastRequestDb, v.gainDb};
  for (int k = 0; k < 7; ++k) EXPECT_PRED2(FloatsClose, levels[k], ref.levels[1 + k]) << "level " << k;
  const std::uint32_t flags = (v.active ? 1u : 0u) | (v.holding ? 2u : 0u) | (v.clipped ? 4u : 0u) |
                              (v.sidechainConnected ? 8u : 0u) | (v.analyzerOn ? 16u : 0u) |
                              (v.bypassed ? 32u : 0u);
  EXPECT_EQ(flags, ref.flags);
  EXPECT_EQ(v.modeCode, ref.modeCode);
  EXPECT_EQ(v.sampleCount, ref.sampleCount);
  EXPECT_EQ(v.historyCount, ref.historyCount);
  const HistoryCurve* curves[] = {&v.vocalHistory,  &v.outputHistory,      &v.referenceHistory,
                                  &v.targetHistory, &v.slowRequestHistory, &v.fastRequestHistory,
                                  &v.gainHistory};
  for (int k = 0; k < kHistoryRings; ++k) {
    EXPECT_PRED2(FloatsClose, (*curves[k])[kHistoryPoints - 1], ref.history[k][kHistoryPoints - 1])
        << "ring " << k;
  }
}

void RunProgramme(const Programme& prog, double fs) {
  ParamVector params = kParamDefaults;
  for (const auto& [index, value] : prog.start) params[index] = value;
  Rig rig;
  rig->SetParams(params);
  rig->SetSampleRate(fs);
  ReferenceRider ref(params, fs);
  RiderEngine& e = *rig.engine;
  ExpectSameView(e.ReadView(), ref.view);

  CallSizes sizes;
  std::int64_t n = 0;
  int call = 0;
  std::vector<float> in[2], side[2], out[2], refOut[2];
  for (auto* v : {&in[0], &in[1], &side[0], &side[1], &out[0], &out[1], &refOut[0], &refOut[1]}) {
    v->resize(kEngineChunk);
  }
  for (size_t s = 0; s < prog.segments.size(); ++s) {
    const Segment& seg = prog.segments[s];
    for (const auto& [index, value] : seg.changes) params[index] = value;
    rig->SetParams(params);
    ref.SetParams(params);
    if (seg.reset) {
      rig->SetSampleRate(fs);
      ref.SetSampleRate(fs);
      ExpectSameView(e.ReadView(), ref.view);
    }
    const std::int64_t end = n + static_cast<std::int64_t>(seg.seconds * fs);
    while (n < end) {
      const int frames = static_cast<int>(std::min<std::int64_t>(sizes.Next(), end - n));
      for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
          in[c][i] = VoiceSample(seg.voice, n + i, fs, c);
          side[c][i] = seg.side == Side::None || seg.side == Side::Zeros ? 0.0f : BedSample(n + i, fs, c);
        }
      }
      const float* mainIn[2] = {in[0].data(), seg.voice == Voice::LeftOnly ? nullptr : in[1].data()};
      const float* sideIn[2] = {side[0].data(), seg.side == Side::OnePointer ? nullptr : side[1].data()};
      const float* const* mainPair = seg.voice == Voice::Missing ? nullptr : mainIn;
      const float* const* sidePair = seg.side == Side::None ? nullptr : sideIn;
      const bool connected = seg.side != Side::None && seg.side != Side::FlagOff;
      float* outs[2] = {out[0].data(), out[1].data()};
      float* refOuts[2] = {refOut[0].data(), refOut[1].data()};
      ref.Process(mainPair, refOuts, frames, seg.hostBypass, sidePair, connected,
                  seg.side == Side::SilentFlag);
      if (call % 2 == 1 && mainPair != nullptr && mainIn[1] != nullptr) {
        // In place: the output arrays are the input arrays.
        std::copy_n(in[0].begin(), frames, out[0].begin());
        std::copy_n(in[1].begin(), frames, out[1].begin());
        const float* inPlace[2] = {out[0].data(), out[1].data()};
        e.Process(inPlace, outs, frames, seg.hostBypass, sidePair, connected, seg.side == Side::SilentFlag);
      } else {
        e.Process(mainPair, outs, frames, seg.hostBypass, sidePair, connected, seg.side == Side::SilentFlag);
      }

      SCOPED_TRACE(testing::Message() << prog.name << " at " << fs << " Hz, segment " << s << ", call "
                                      << call << " (" << frames << " frames from sample " << n << ")");
      for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < frames; ++i) {
          ASSERT_PRED2(FloatsClose, out[c][i], refOut[c][i]) << "channel " << c << " frame " << i;
        }
      }
      ASSERT_NEAR(e.gainDb, ref.gainDb, kDbTolerance);
      ASSERT_NEAR(e.requestDb, ref.requestDb, kDbTolerance);
      ASSERT_NEAR(e.targetDb, ref.targetDb, kDbTolerance);
      ASSERT_NEAR(e.clampedRequestDb, ref.clampedRequestDb, kDbTolerance);
      ASSERT_EQ(e.active, ref.active);
      ASSERT_EQ(e.holding, ref.holding);
      ASSERT_EQ(e.referenceActive, ref.referenceActive);
      ASSERT_EQ(e.inactiveSamples, ref.inactiveSamples);
      ASSERT_EQ(e.controlCountdown, ref.controlCountdown);
      ASSERT_EQ(e.IsTransparent(), ref.IsTransparent());
      // The glides take the same formula in both, so they snap on the same sample.
      ASSERT_EQ(e.inputTrimGlide, ref.inputGlide);
      ASSERT_EQ(e.outputTrimGlide, ref.outputGlide);
      ASSERT_EQ(e.mixGlide, ref.mixGlide);
      ASSERT_EQ(e.bypassGlide, ref.bypassGlide);
      const RiderPeaks peaks = e.ReadPeaks();
      const float enginePeaks[] = {peaks.inputPeak,      peaks.gainedPeak,      peaks.outputPeak,
                                   peaks.outputPeakLeft, peaks.outputPeakRight, peaks.referencePeak};
      for (int k = 0; k < 6; ++k)
        ASSERT_PRED2(FloatsClose, enginePeaks[k], ref.view.peaks[k]) << "peak " << k;
      ExpectSameView(e.ReadView(), ref.view);
      if (testing::Test::HasFailure()) return;
      n += frames;
      ++call;
    }
  }
  // The whole published history once more, oldest first.
  const ViewSnapshot v = e.ReadView();
  const HistoryCurve* curves[] = {&v.vocalHistory,  &v.outputHistory,      &v.referenceHistory,
                                  &v.targetHistory, &v.slowRequestHistory, &v.fastRequestHistory,
                                  &v.gainHistory};
  for (int k = 0; k < kHistoryRings; ++k) {
    for (int j = 0; j < kHistoryPoints; ++j) {
      ASSERT_PRED2(FloatsClose, (*curves[k])[j], ref.view.history[k][j]) << "ring " << k << " point " << j;
    }
  }
}

TEST(ReferenceRide, MatchesPlainModel) {
  for (const double fs : {48000.0, 44100.0}) {
    for (const Programme& prog : kProgrammes) RunProgramme(prog, fs);
  }
}

}  // namespace
