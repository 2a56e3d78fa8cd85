// One engine call, in three loops over the chunk: the ride (input guard, trim, detection, control
// ticks, hold, request, budget, slew), the audible path (mix, output trim, bypass) and the output
// measurement. Each frame still sees the per-sample order of operations: a loop only reads what
// the loops before it left for that frame, and nothing flows back. Short loops with few live
// values keep several frames in flight on the CPU.
#include <algorithm>
#include <array>
#include <cmath>

#include "EngineMath.h"
#include "RiderEngine.h"
#include "StereoPair.h"

using namespace engine_math;

double SanitizeSample(double x) { return std::isfinite(x) ? std::clamp(x, -32.0, 32.0) : 0.0; }

bool RiderEngine::IsTransparent() const {
  if (bypassGlide == 1.0) return true;
  if (inputTrimGlide != 1.0 || outputTrimGlide != 1.0) return false;
  if (mixGlide == 0.0) return true;
  return gainDb == 0.0;
}

namespace {

inline void OnePole(double& s, double x, double c) { s += (x - s) * c; }
inline void OnePole(StereoPair& s, StereoPair x, StereoPair c) { s += (x - s) * c; }

// Detector filters of one pair of channels: the output is the new low-pass state.
struct PairDetector {
  StereoPair highPassState, lowPassState;

  PairDetector(const DetectorFilter& left, const DetectorFilter& right)
      : highPassState{left.highPassState, right.highPassState}, lowPassState{left.lowPassState, right.lowPassState} {}

  StereoPair Run(StereoPair x, StereoPair highPassCoef, StereoPair lowPassCoef) {
    OnePole(highPassState, x, highPassCoef);
    OnePole(lowPassState, x - highPassState, lowPassCoef);
    return lowPassState;
  }
  void Store(DetectorFilter& left, DetectorFilter& right) const {
    left = {highPassState[0], lowPassState[0]};
    right = {highPassState[1], lowPassState[1]};
  }
};

// 0.5 yL^2 + 0.5 yR^2
inline double MeanSquare(StereoPair y) { return MeanSquares(y, y)[0]; }

// A glide at its target stays there exactly, so settled glides need no update.
inline void Glide(double& g, double target, double c, double snap) {
  if (g == target) return;
  OnePole(g, target, c);
  if (std::abs(g - target) < snap) g = target;
}

inline void Glide(StereoPair& g, StereoPair target, StereoPair c, StereoPair snap) {
  if (!AnyDiffers(g, target)) return;
  OnePole(g, target, c);
  g = Select(_mm_cmplt_pd(Abs(g - target), snap), target, g);
}

// Values this small are inaudible and invisible (-1000 dB and less), but decaying on through
// the subnormal range they would make every pause cost the CPU ten times over.
inline void FlushTiny(double& v) {
  if (std::abs(v) < 1e-100) v = 0.0;
}

// Reads as silence when the channel is missing.
const std::array<float, kEngineChunk> kSilence{};

inline const float* Advance(const float* const* pair, int channel, int frames) {
  return (pair == nullptr || pair[channel] == nullptr) ? nullptr : pair[channel] + frames;
}

inline const float* ChannelOrSilence(const float* const* pair, int channel) {
  return (pair == nullptr || pair[channel] == nullptr) ? kSilence.data() : pair[channel];
}

// The ride's per-frame state, held in locals for the loop. The control tick works on the
// engine's fields, so the locals are handed back around it.
struct RideState {
  double inputTrim;
  StereoPair slowAndFast;  // mean squares
  StereoPair activityAndReference;
  double requestDb, gainDb, clampedRequestDb;
  bool active, holding;
  std::uint64_t inactiveSamples;
  std::int32_t controlCountdown, historyCountdown;

  explicit RideState(const RiderEngine& e) { Load(e); }

  void Load(const RiderEngine& e) {
    inputTrim = e.inputTrimGlide;
    slowAndFast = StereoPair{e.slowMeanSquare, e.fastMeanSquare};
    activityAndReference = StereoPair{e.activityMeanSquare, e.referenceMeanSquare};
    requestDb = e.requestDb;
    gainDb = e.gainDb;
    clampedRequestDb = e.clampedRequestDb;
    active = e.active;
    holding = e.holding;
    inactiveSamples = e.inactiveSamples;
    controlCountdown = e.controlCountdown;
    historyCountdown = e.historyCountdown;
  }

  void Store(RiderEngine& e) const {
    e.inputTrimGlide = inputTrim;
    e.slowMeanSquare = slowAndFast[0];
    e.fastMeanSquare = slowAndFast[1];
    e.activityMeanSquare = activityAndReference[0];
    e.referenceMeanSquare = activityAndReference[1];
    e.requestDb = requestDb;
    e.gainDb = gainDb;
    e.clampedRequestDb = clampedRequestDb;
    e.active = active;
    e.holding = holding;
    e.inactiveSamples = inactiveSamples;
    e.controlCountdown = controlCountdown;
    e.historyCountdown = historyCountdown;
  }
};

}  // namespace

void RiderEngine::Process(const float* const* mainIn, float* const* out, int frames, bool hostBypass,
                          const float* const* sideIn, bool sidechainConnected, bool sidechainSilent) {
  if (frames < 1 || out == nullptr || out[0] == nullptr || out[1] == nullptr) return;
  if (frames > kEngineChunk) {
    // Callers pass at most kEngineChunk frames; a longer call is taken in pieces.
    for (int start = 0; start < frames; start += kEngineChunk) {
      const float* mainPiece[2] = {Advance(mainIn, 0, start), Advance(mainIn, 1, start)};
      const float* sidePiece[2] = {Advance(sideIn, 0, start), Advance(sideIn, 1, start)};
      float* outPiece[2] = {out[0] + start, out[1] + start};
      Process(mainIn ? mainPiece : nullptr, outPiece, std::min(kEngineChunk, frames - start), hostBypass,
              sideIn ? sidePiece : nullptr, sidechainConnected, sidechainSilent);
    }
    return;
  }

  const bool connected = sidechainConnected && sideIn != nullptr && sideIn[0] != nullptr && sideIn[1] != nullptr;
  const bool silent = connected && sidechainSilent;
  const bool analysing = connected && !silent;

  if (connected != lastSidechainConnected || silent != lastSidechainSilent) {
    // Restart the reference analysis from silence and ride on from the applied gain.
    referenceMeanSquare = 0.0;
    referenceLeftFilter = DetectorFilter{};
    referenceRightFilter = DetectorFilter{};
    requestDb = gainDb;
    lastSidechainConnected = connected;
    lastSidechainSilent = silent;
    rearm = true;
    controlCountdown = 0;
  }

  // Block values.
  const double inputTarget = DbToGain(params[kInput]);
  const double outputTarget = DbToGain(params[kOutput]);
  const StereoPair mixAndBypassTargets{params[kMix] * 0.01, (hostBypass || params[kBypass] > 0.0f) ? 1.0 : 0.0};
  const auto holdSamples = static_cast<std::uint64_t>(params[kPauseHold] * 0.001 * sampleRate);
  const auto inactiveLimit = static_cast<std::uint64_t>(sampleRate * 60.0);
  const double maxStep = params[kMaxGainSlew] / sampleRate;
  const double maxBoost = params[kMaxBoost];
  const double maxCut = params[kMaxCut];
  const bool soloMode = params[kMode] == 0.0f;
  const bool analyzerOn = params[kAnalyzer] > 0.0f;

  const StereoPair hp = Splat(highPassCoef), lp = Splat(lowPassCoef);
  const double glide = glideCoef;
  const float* const mainL = ChannelOrSilence(mainIn, 0);
  const float* const mainR = ChannelOrSilence(mainIn, 1);

  // Peaks are kept in double: rounding to float is monotonic, so the float of the largest
  // magnitude is the largest float magnitude, and the clip flag follows from the output peaks.
  StereoPair inputPeak{}, gainedPeak{}, outputPeak{}, referencePeak{};
  int historySlot = -1, historyFrame = -1;

  // The ride.
  {
    const StereoPair slowAndFastCoefs{slowCoef, fastCoef};
    const StereoPair activityAndReferenceCoefs{activityCoef, referenceCoef};
    const double ret = returnCoef;
    const double stepUp = GainStepFactor(maxStep), stepDown = GainStepFactor(-maxStep);
    const float* const refL = analysing ? sideIn[0] : kSilence.data();
    const float* const refR = analysing ? sideIn[1] : kSilence.data();
    PairDetector main(mainLeftFilter, mainRightFilter), ref(referenceLeftFilter, referenceRightFilter);
    RideState h(*this);
    bool targetKnown = soloMode || referenceActive;
    // Linear gain, exact at the start of every call and stepped incrementally after that.
    double g = DbToGain(h.gainDb);

    for (int i = 0; i < frames; ++i) {
      Glide(h.inputTrim, inputTarget, glide, 1e-10);
      const StereoPair dry = SanitizePair(LoadPair(mainL, mainR, i));
      const StereoPair x = Splat(h.inputTrim) * dry;
      sanitizedInput[i] = dry;
      trimmedInput[i] = x;

      // The detector filters never touch the audible signal. Without an analysed reference the
      // reference filters stay at rest on silence, so they may run all the same.
      const StereoPair r = SanitizePair(LoadPair(refL, refR, i));
      const StereoPair ms = MeanSquares(main.Run(x, hp, lp), ref.Run(r, hp, lp));  // main, reference
      inputPeak = Max(inputPeak, Abs(x));
      referencePeak = Max(referencePeak, Abs(r));

      OnePole(h.slowAndFast, FirstInBoth(ms), slowAndFastCoefs);
      OnePole(h.activityAndReference, ms, activityAndReferenceCoefs);

      if (--h.controlCountdown <= 0) {
        h.controlCountdown = controlPeriod;
        h.Store(*this);
        ControlTick(analysing);
        h.Load(*this);
        targetKnown = soloMode || referenceActive;
      }

      if (h.active) {
        h.inactiveSamples = 0;
        h.holding = false;
      } else {
        if (h.inactiveSamples < inactiveLimit) ++h.inactiveSamples;
        h.holding = h.inactiveSamples <= holdSamples;
      }

      if (targetKnown && (h.active || h.holding)) {
        h.requestDb = h.clampedRequestDb;
      } else {
        OnePole(h.requestDb, 0.0, ret);  // return towards unity
      }
      // Budget and slew limit. The clamps are written as branches: they are well predicted,
      // and the gain's dependency from one frame to the next stays a single addition.
      if (h.requestDb < -maxCut) {
        h.requestDb = -maxCut;
      } else if (maxBoost < h.requestDb) {
        h.requestDb = maxBoost;
      }
      // g follows 10^(gainDb/20) step by step; unity is kept exact for transparency.
      const double difference = h.requestDb - h.gainDb;
      if (difference < -maxStep) {
        h.gainDb += -maxStep;
        g *= stepDown;
      } else if (maxStep < difference) {
        h.gainDb += maxStep;
        g *= stepUp;
      } else {
        h.gainDb += difference;
        if (difference != 0.0) g *= GainStepFactor(difference);
      }
      if (h.gainDb == 0.0) g = 1.0;
      linearGain[i] = g;

      // At most one history point per call: the period is at least 882 frames.
      if (analyzerOn && --h.historyCountdown <= 0) {
        h.historyCountdown = historyPeriod;
        h.Store(*this);
        historySlot = WriteHistoryPoint();
        historyFrame = i;
      }
    }
    h.Store(*this);
    main.Store(mainLeftFilter, mainRightFilter);
    ref.Store(referenceLeftFilter, referenceRightFilter);
  }

  // The audible path. Frames depend on one another only through the glides, so this loop
  // runs at the CPU's full width; the output values go on to the measurement below.
  {
    const StereoPair glides = Splat(glide), mixAndBypassSnap{1e-10, 1e-9};
    double outputTrim = outputTrimGlide;
    StereoPair mixAndBypass{mixGlide, bypassGlide};
    float* const outL = out[0];
    float* const outR = out[1];

    for (int i = 0; i < frames; ++i) {
      Glide(outputTrim, outputTarget, glide, 1e-10);
      Glide(mixAndBypass, mixAndBypassTargets, glides, mixAndBypassSnap);
      const double bypass = mixAndBypass[1];

      const StereoPair dry = sanitizedInput[i];
      const StereoPair x = trimmedInput[i];
      const StereoPair wet = Splat(linearGain[i]) * x;
      const StereoPair mixed = ((wet - x) * Splat(mixAndBypass[0]) + x) * Splat(outputTrim);
      const StereoPair y = bypass == 1.0 ? dry : (mixed - dry) * Splat(1.0 - bypass) + dry;
      StorePair(y, outL, outR, i);
      outputValues[i] = y;

      gainedPeak = Max(gainedPeak, Abs(wet));
      outputPeak = Max(outputPeak, Abs(y));
    }
    outputTrimGlide = outputTrim;
    mixGlide = mixAndBypass[0];
    bypassGlide = mixAndBypass[1];
  }

  // The output measurement, on the 64-bit output values.
  {
    const double output = outputCoef;
    PairDetector detector(outputLeftFilter, outputRightFilter);
    double outputMs = outputMeanSquare;
    for (int i = 0; i < frames; ++i) {
      OnePole(outputMs, MeanSquare(detector.Run(outputValues[i], hp, lp)), output);
      if (i == historyFrame) historyRings[1][historySlot] = static_cast<float>(LevelDb(outputMs));
    }
    detector.Store(outputLeftFilter, outputRightFilter);
    outputMeanSquare = outputMs;
  }
  sampleCount += frames;

  for (DetectorFilter* f : {&mainLeftFilter, &mainRightFilter, &referenceLeftFilter, &referenceRightFilter,
                            &outputLeftFilter, &outputRightFilter}) {
    FlushTiny(f->highPassState);
    FlushTiny(f->lowPassState);
  }
  for (double* v : {&slowMeanSquare, &fastMeanSquare, &activityMeanSquare, &referenceMeanSquare,
                    &outputMeanSquare, &requestDb, &gainDb}) {
    FlushTiny(*v);
  }

  const float outputPeakLeft = static_cast<float>(outputPeak[0]);
  const float outputPeakRight = static_cast<float>(outputPeak[1]);
  const float outputPeakBoth = std::max(outputPeakLeft, outputPeakRight);
  PublishView(static_cast<float>(std::max(inputPeak[0], inputPeak[1])),
              static_cast<float>(std::max(gainedPeak[0], gainedPeak[1])), outputPeakBoth, outputPeakLeft,
              outputPeakRight, static_cast<float>(std::max(referencePeak[0], referencePeak[1])), connected,
              outputPeakBoth >= 1.0f, hostBypass);
}
