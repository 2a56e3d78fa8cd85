// One engine call, in three passes over the chunk: the input guard (sanitise and widen, four
// frames at a time), the ride (trim, detection, control ticks, hold, request, budget, slew) and
// the audible path with the output measurement (mix, output trim, bypass, output level). Each
// frame still sees the per-sample order of operations: a pass only reads what the passes before
// it left for that frame, and nothing flows back. Short loops with few live values keep several
// frames in flight on the CPU.
#include <algorithm>
#include <array>
#include <cmath>

#include "EngineMath.h"
#include "InputGuard.h"
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

// s + (x - s) c, evaluated as s (1 - c) + x c with keep = 1 - c: the value carried from one
// sample to the next then waits for one multiply and one add instead of a subtract besides.
inline void OnePole(double& s, double x, double c, double keep) { s = s * keep + x * c; }
inline void OnePole(StereoPair& s, StereoPair x, StereoPair c, StereoPair keep) { s = s * keep + x * c; }

// A coefficient with its complement, both per lane.
struct PairCoef {
  StereoPair c, keep;
  explicit PairCoef(StereoPair coef) : c(coef), keep(Splat(1.0) - coef) {}
};

// Detector filters of one pair of channels: the output is the new low-pass state.
struct PairDetector {
  StereoPair highPassState, lowPassState;

  PairDetector(const DetectorFilter& left, const DetectorFilter& right)
      : highPassState{left.highPassState, right.highPassState}, lowPassState{left.lowPassState, right.lowPassState} {}

  StereoPair Run(StereoPair x, const PairCoef& highPass, const PairCoef& lowPass) {
    // With s' = s + (x - s) c, the high-pass output x - s' is (x - s)(1 - c) and s' is x minus
    // that: one multiply fewer than updating s first.
    const StereoPair highPassed = (x - highPassState) * highPass.keep;
    highPassState = x - highPassed;
    OnePole(lowPassState, highPassed, lowPass.c, lowPass.keep);
    return lowPassState;
  }
  void Store(DetectorFilter& left, DetectorFilter& right) const {
    left = {highPassState[0], lowPassState[0]};
    right = {highPassState[1], lowPassState[1]};
  }
};

// yL^2 + yR^2: twice the mean square.
inline double SumOfSquares(StereoPair y) { return SumsOfSquares(y, y)[0]; }

// Glides keep the plain form g + (target - g) c: the snap is a threshold test, and only the
// plain form makes it fire on the sample its definition gives (the s(1 - c) + xc form drifts by
// rounding and, at large trims, snapped a sample early). A glide at its target stays there
// exactly, so settled glides need no update.
inline void Glide(double& g, double target, double c, double snap) {
  if (g == target) return;
  g += (target - g) * c;
  if (std::abs(g - target) < snap) g = target;
}

inline void Glide(StereoPair& g, StereoPair target, StereoPair c, StereoPair snap) {
  if (!AnyDiffers(g, target)) return;
  g += (target - g) * c;
  g = Select(_mm_cmplt_pd(Abs(g - target), snap), target, g);
}

// Values this small are inaudible and invisible (-1000 dB and less), but decaying on through
// the subnormal range they would make every pause cost the CPU ten times over.
inline void FlushTiny(double& v) {
  if (std::abs(v) < 1e-100) v = 0.0;
}

// Reads as silence when the channel is missing.
const std::array<float, kEngineChunk> kSilence{};
// The reference while it is not analysed, as guarded (left, right) frames.
using FramePair = double __attribute__((vector_size(16)));
const std::array<FramePair, kEngineChunk> kSilentFrames{};

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

  const PairCoef hp(Splat(highPassCoef)), lp(Splat(lowPassCoef));
  const double glide = glideCoef;
  const float* const mainL = ChannelOrSilence(mainIn, 0);
  const float* const mainR = ChannelOrSilence(mainIn, 1);

  // Peaks are kept in double: rounding to float is monotonic, so the float of the largest
  // magnitude is the largest float magnitude, and the clip flag follows from the output peaks.
  StereoPair inputPeak{}, gainedPeak{}, outputPeak{};
  int historySlot = -1, historyFrame = -1;

  // Every input and reference sample is read here, before any output is written.
  GuardFrames(mainL, mainR, frames, reinterpret_cast<double*>(sanitizedInput.data()));
  const float referencePeak =
      analysing ? GuardFrames(sideIn[0], sideIn[1], frames, reinterpret_cast<double*>(sanitizedReference.data()))
                : 0.0f;
  const FramePair* const reference = analysing ? sanitizedReference.data() : kSilentFrames.data();

  // The ride.
  {
    // The smoothers take the mean square 0.5 (yL^2 + yR^2) as the sum of squares times half the
    // coefficient: halving is exact, so the product is the same.
    const PairCoef slowAndFastCoefs(StereoPair{slowCoef, fastCoef});
    const PairCoef activityAndReferenceCoefs(StereoPair{activityCoef, referenceCoef});
    const StereoPair slowAndFastHalf = Splat(0.5) * slowAndFastCoefs.c;
    const StereoPair activityAndReferenceHalf = Splat(0.5) * activityAndReferenceCoefs.c;
    const double returnKeep = 1.0 - returnCoef;
    const double stepUp = GainStepFactor(maxStep), stepDown = GainStepFactor(-maxStep);
    PairDetector main(mainLeftFilter, mainRightFilter), ref(referenceLeftFilter, referenceRightFilter);
    RideState h(*this);
    bool targetKnown = soloMode || referenceActive;
    // Linear gain, exact at the start of every call and stepped incrementally after that.
    double g = DbToGain(h.gainDb);

    // Trim, detection and smoothing of frame i.
    auto detect = [&](int i) {
      Glide(h.inputTrim, inputTarget, glide, 1e-10);
      const StereoPair x = Splat(h.inputTrim) * StereoPair(sanitizedInput[i]);
      trimmedInput[i] = x;
      inputPeak = Max(inputPeak, Abs(x));

      // The detector filters never touch the audible signal. Without an analysed reference the
      // reference filters stay at rest on silence, so they may run all the same.
      const StereoPair squares = SumsOfSquares(main.Run(x, hp, lp), ref.Run(reference[i], hp, lp));
      h.slowAndFast = h.slowAndFast * slowAndFastCoefs.keep + FirstInBoth(squares) * slowAndFastHalf;
      h.activityAndReference =
          h.activityAndReference * activityAndReferenceCoefs.keep + squares * activityAndReferenceHalf;
    };

    // Budget and slew limit. The clamps are written as branches: they are well predicted, and
    // the gain's dependency from one frame to the next stays a single addition.
    auto budget = [&] {
      if (h.requestDb < -maxCut) {
        h.requestDb = -maxCut;
      } else if (maxBoost < h.requestDb) {
        h.requestDb = maxBoost;
      }
    };
    // g follows 10^(gainDb/20) step by step; unity is kept exact for transparency.
    auto slew = [&](int i) {
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
    };

    // Hold, request, budget and slew of frame i.
    auto control = [&](int i) {
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
        h.requestDb *= returnKeep;  // return towards unity: r + (0 - r) c
      }
      budget();
      slew(i);
    };

    for (int i = 0; i < frames;) {
      detect(i);
      if (--h.controlCountdown <= 0) {
        h.controlCountdown = controlPeriod;
        h.Store(*this);
        ControlTick(analysing);
        h.Load(*this);
        targetKnown = soloMode || referenceActive;
      }
      control(i);
      // At most one history point per call: the period is at least 882 frames.
      if (analyzerOn && --h.historyCountdown <= 0) {
        h.historyCountdown = historyPeriod;
        h.Store(*this);
        historySlot = WriteHistoryPoint();
        historyFrame = i;
      }
      ++i;

      // The frames before the next tick and the next history point. Only ticks change the gates,
      // the target and the held request, so while riding the budgeted request stays as it is.
      int run = std::min(frames - i, h.controlCountdown - 1);
      if (analyzerOn) {
        run = std::min(run, h.historyCountdown - 1);
        h.historyCountdown -= run;
      }
      h.controlCountdown -= run;
      const int end = i + run;
      if (targetKnown && h.active) {
        for (; i < end; ++i) {
          detect(i);
          slew(i);
        }
      } else {
        for (; i < end; ++i) {
          detect(i);
          control(i);
        }
      }
    }
    h.Store(*this);
    main.Store(mainLeftFilter, mainRightFilter);
    ref.Store(referenceLeftFilter, referenceRightFilter);
  }

  // The audible path and the output measurement. Frames depend on one another only through
  // the glides and the output filters, short chains that overlap from frame to frame.
  {
    const StereoPair mixAndBypassSnap{1e-10, 1e-9};
    const double outputHalf = 0.5 * outputCoef, outputKeep = 1.0 - outputCoef;
    double outputTrim = outputTrimGlide;
    StereoPair mixAndBypass{mixGlide, bypassGlide};
    PairDetector detector(outputLeftFilter, outputRightFilter);
    double outputMs = outputMeanSquare;
    float* const outL = out[0];
    float* const outR = out[1];

    // One frame, mixed by mix(wet, x, dry): the output sample, then the measurement.
    auto frame = [&](int i, auto mix) {
      const StereoPair dry = sanitizedInput[i];
      const StereoPair x = trimmedInput[i];
      const StereoPair wet = Splat(linearGain[i]) * x;
      const StereoPair y = mix(wet, x, dry);
      StorePair(y, outL, outR, i);

      gainedPeak = Max(gainedPeak, Abs(wet));
      outputPeak = Max(outputPeak, Abs(y));
      // Measured on the 64-bit output values.
      outputMs = outputMs * outputKeep + SumOfSquares(detector.Run(y, hp, lp)) * outputHalf;
      if (i == historyFrame) historyRings[1][historySlot] = static_cast<float>(LevelDb(outputMs));
    };
    // Mix, output trim and bypass with the given glide values.
    auto mixWith = [](StereoPair mix, StereoPair trim, double bypass, StereoPair wetShare) {
      return [=](StereoPair wet, StereoPair x, StereoPair dry) {
        const StereoPair mixed = ((wet - x) * mix + x) * trim;
        return bypass == 1.0 ? dry : (mixed - dry) * wetShare + dry;
      };
    };

    // The targets hold for the whole call, so glides that start on them stay there.
    if (outputTrim == outputTarget && !AnyDiffers(mixAndBypass, mixAndBypassTargets)) {
      const double mix = mixAndBypass[0], bypass = mixAndBypass[1];
      if (mix == 1.0 && outputTrim == 1.0 && bypass == 0.0) {
        // The full mix at unity trim: the factors of exactly 1 change nothing and are left out.
        const auto unity = [](StereoPair wet, StereoPair x, StereoPair dry) { return (((wet - x) + x) - dry) + dry; };
        for (int i = 0; i < frames; ++i) frame(i, unity);
      } else {
        const auto settled = mixWith(Splat(mix), Splat(outputTrim), bypass, Splat(1.0 - bypass));
        for (int i = 0; i < frames; ++i) frame(i, settled);
      }
    } else {
      for (int i = 0; i < frames; ++i) {
        Glide(outputTrim, outputTarget, glide, 1e-10);
        Glide(mixAndBypass, mixAndBypassTargets, Splat(glide), mixAndBypassSnap);
        const double bypass = mixAndBypass[1];
        frame(i, mixWith(Splat(mixAndBypass[0]), Splat(outputTrim), bypass, Splat(1.0 - bypass)));
      }
    }
    outputTrimGlide = outputTrim;
    mixGlide = mixAndBypass[0];
    bypassGlide = mixAndBypass[1];
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
              outputPeakRight, referencePeak, connected, outputPeakBoth >= 1.0f, hostBypass);
}
