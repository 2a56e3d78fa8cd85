// One engine call: per-sample detection, ride, slew, trims, mix and bypass, then publication.
#include <algorithm>
#include <cmath>

#include "EngineMath.h"
#include "RiderEngine.h"

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

// The detector output is the new low-pass state.
inline double Detect(DetectorFilter& f, double x, double highPassCoef, double lowPassCoef) {
  OnePole(f.highPassState, x, highPassCoef);
  OnePole(f.lowPassState, x - f.highPassState, lowPassCoef);
  return f.lowPassState;
}

inline void Glide(double& g, double target, double c, double snap) {
  OnePole(g, target, c);
  if (std::abs(g - target) < snap) g = target;
}

inline float Magnitude(double x) { return static_cast<float>(std::abs(x)); }

inline double Read(const float* const* pair, int channel, int i) {
  if (pair == nullptr || pair[channel] == nullptr) return 0.0;
  return SanitizeSample(pair[channel][i]);
}

// The state that changes per sample, held in locals for the loop. The control tick and the
// history points work on the engine's fields, so the locals are handed back around them.
struct HotState {
  DetectorFilter mainL, mainR, refL, refR, outL, outR;
  double inputTrim, outputTrim, mix, bypass;
  double slowMs, fastMs, activityMs, referenceMs, outputMs;
  double requestDb, gainDb, clampedRequestDb;
  bool active, holding;
  std::int64_t sampleCount;
  std::uint64_t inactiveSamples;
  std::int32_t controlCountdown, historyCountdown;

  explicit HotState(const RiderEngine& e) { Load(e); }

  void Load(const RiderEngine& e) {
    mainL = e.mainLeftFilter;
    mainR = e.mainRightFilter;
    refL = e.referenceLeftFilter;
    refR = e.referenceRightFilter;
    outL = e.outputLeftFilter;
    outR = e.outputRightFilter;
    inputTrim = e.inputTrimGlide;
    outputTrim = e.outputTrimGlide;
    mix = e.mixGlide;
    bypass = e.bypassGlide;
    slowMs = e.slowMeanSquare;
    fastMs = e.fastMeanSquare;
    activityMs = e.activityMeanSquare;
    referenceMs = e.referenceMeanSquare;
    outputMs = e.outputMeanSquare;
    requestDb = e.requestDb;
    gainDb = e.gainDb;
    clampedRequestDb = e.clampedRequestDb;
    active = e.active;
    holding = e.holding;
    sampleCount = e.sampleCount;
    inactiveSamples = e.inactiveSamples;
    controlCountdown = e.controlCountdown;
    historyCountdown = e.historyCountdown;
  }

  void Store(RiderEngine& e) const {
    e.mainLeftFilter = mainL;
    e.mainRightFilter = mainR;
    e.referenceLeftFilter = refL;
    e.referenceRightFilter = refR;
    e.outputLeftFilter = outL;
    e.outputRightFilter = outR;
    e.inputTrimGlide = inputTrim;
    e.outputTrimGlide = outputTrim;
    e.mixGlide = mix;
    e.bypassGlide = bypass;
    e.slowMeanSquare = slowMs;
    e.fastMeanSquare = fastMs;
    e.activityMeanSquare = activityMs;
    e.referenceMeanSquare = referenceMs;
    e.outputMeanSquare = outputMs;
    e.requestDb = requestDb;
    e.gainDb = gainDb;
    e.clampedRequestDb = clampedRequestDb;
    e.active = active;
    e.holding = holding;
    e.sampleCount = sampleCount;
    e.inactiveSamples = inactiveSamples;
    e.controlCountdown = controlCountdown;
    e.historyCountdown = historyCountdown;
  }
};

}  // namespace

void RiderEngine::Process(const float* const* mainIn, float* const* out, int frames, bool hostBypass,
                          const float* const* sideIn, bool sidechainConnected, bool sidechainSilent) {
  if (frames < 1 || out == nullptr || out[0] == nullptr || out[1] == nullptr) return;

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
  const double mixTarget = params[kMix] * 0.01;
  const double bypassTarget = (hostBypass || params[kBypass] > 0.0f) ? 1.0 : 0.0;
  const auto holdSamples = static_cast<std::uint64_t>(params[kPauseHold] * 0.001 * sampleRate);
  const auto inactiveLimit = static_cast<std::uint64_t>(sampleRate * 60.0);
  const double maxStep = params[kMaxGainSlew] / sampleRate;
  const double maxBoost = params[kMaxBoost];
  const double maxCut = params[kMaxCut];
  const bool soloMode = params[kMode] == 0.0f;
  const bool analyzerOn = params[kAnalyzer] > 0.0f;
  const double hp = highPassCoef;
  const double lp = lowPassCoef;

  float inputPeak = 0.0f, gainedPeak = 0.0f, outputPeak = 0.0f;
  float outputPeakLeft = 0.0f, outputPeakRight = 0.0f, referencePeak = 0.0f;
  bool clip = false;

  HotState h(*this);
  // Linear gain, exact at the start of every call and stepped incrementally after that.
  double g = DbToGain(h.gainDb);

  for (int i = 0; i < frames; ++i) {
    Glide(h.inputTrim, inputTarget, glideCoef, 1e-10);
    Glide(h.outputTrim, outputTarget, glideCoef, 1e-10);
    Glide(h.mix, mixTarget, glideCoef, 1e-10);
    Glide(h.bypass, bypassTarget, glideCoef, 1e-9);

    const double dryL = Read(mainIn, 0, i);
    const double dryR = Read(mainIn, 1, i);
    const double xL = h.inputTrim * dryL;
    const double xR = h.inputTrim * dryR;

    // The detector filters never touch the audible signal.
    const double yL = Detect(h.mainL, xL, hp, lp);
    const double yR = Detect(h.mainR, xR, hp, lp);
    const double ms = 0.5 * yL * yL + 0.5 * yR * yR;
    double rL = 0.0, rR = 0.0, msRef = 0.0;
    if (analysing) {
      rL = SanitizeSample(sideIn[0][i]);
      rR = SanitizeSample(sideIn[1][i]);
      const double yRefL = Detect(h.refL, rL, hp, lp);
      const double yRefR = Detect(h.refR, rR, hp, lp);
      msRef = 0.5 * yRefL * yRefL + 0.5 * yRefR * yRefR;
    }

    inputPeak = std::max({inputPeak, Magnitude(xL), Magnitude(xR)});
    if (analysing) referencePeak = std::max({referencePeak, Magnitude(rL), Magnitude(rR)});

    OnePole(h.slowMs, ms, slowCoef);
    OnePole(h.referenceMs, msRef, referenceCoef);
    OnePole(h.fastMs, ms, fastCoef);
    OnePole(h.activityMs, ms, activityCoef);

    if (--h.controlCountdown <= 0) {
      h.controlCountdown = controlPeriod;
      h.Store(*this);
      ControlTick(analysing);
      h.Load(*this);
    }

    if (h.active) {
      h.inactiveSamples = 0;
      h.holding = false;
    } else {
      if (h.inactiveSamples < inactiveLimit) ++h.inactiveSamples;
      h.holding = h.inactiveSamples <= holdSamples;
    }

    if ((soloMode || referenceActive) && (h.active || h.holding)) {
      h.requestDb = h.clampedRequestDb;
    } else {
      OnePole(h.requestDb, 0.0, returnCoef);  // return towards unity
    }
    h.requestDb = std::clamp(h.requestDb, -maxCut, maxBoost);

    const double delta = std::clamp(h.requestDb - h.gainDb, -maxStep, maxStep);
    h.gainDb += delta;
    // g follows 10^(gainDb/20) step by step; unity is kept exact for transparency.
    g = h.gainDb == 0.0 ? 1.0 : g * GainStepFactor(delta);

    const double wetL = g * xL;
    const double wetR = g * xR;
    const double mixedL = ((wetL - xL) * h.mix + xL) * h.outputTrim;
    const double mixedR = ((wetR - xR) * h.mix + xR) * h.outputTrim;
    const double outL = h.bypass == 1.0 ? dryL : (mixedL - dryL) * (1.0 - h.bypass) + dryL;
    const double outR = h.bypass == 1.0 ? dryR : (mixedR - dryR) * (1.0 - h.bypass) + dryR;
    const float outLf = static_cast<float>(outL);
    const float outRf = static_cast<float>(outR);
    out[0][i] = outLf;
    out[1][i] = outRf;

    gainedPeak = std::max({gainedPeak, Magnitude(wetL), Magnitude(wetR)});
    const double yOutL = Detect(h.outL, outL, hp, lp);
    const double yOutR = Detect(h.outR, outR, hp, lp);
    outputPeakLeft = std::max(outputPeakLeft, Magnitude(outL));
    outputPeakRight = std::max(outputPeakRight, Magnitude(outR));
    clip = clip || std::abs(outLf) >= 1.0f || std::abs(outRf) >= 1.0f;

    ++h.sampleCount;
    OnePole(h.outputMs, 0.5 * yOutL * yOutL + 0.5 * yOutR * yOutR, outputCoef);

    if (analyzerOn && --h.historyCountdown <= 0) {
      h.historyCountdown = historyPeriod;
      h.Store(*this);
      WriteHistoryPoint();
    }
  }
  h.Store(*this);
  outputPeak = std::max(outputPeakLeft, outputPeakRight);

  PublishView(inputPeak, gainedPeak, outputPeak, outputPeakLeft, outputPeakRight, referencePeak, connected, clip,
              hostBypass);
}

void RiderEngine::ControlTick(bool analysing) {
  const bool wasActive = active;
  const bool wasReferenceActive = referenceActive;
  const bool soloMode = params[kMode] == 0.0f;

  // Activity gate with hysteresis: opens at the floor, closes only below floor - hysteresis.
  const double activityDb = LevelDb(activityMeanSquare);
  const double floorDb = params[kActivityFloor];
  if (!active && activityDb >= floorDb) {
    active = true;
  } else if (active && activityDb < floorDb - params[kActivityHysteresis]) {
    active = false;
  }

  const double referenceDb = LevelDb(referenceMeanSquare);
  referenceActive = analysing && referenceDb >= params[kReferenceFloor];

  if (soloMode) {
    targetDb = params[kSoloTarget];
  } else {
    targetDb = referenceActive ? referenceDb + params[kMixOffset] : -120.0;
  }

  const double slowDb = LevelDb(slowMeanSquare);
  const double fastDb = LevelDb(fastMeanSquare);
  const double ride = params[kRideAmount] * 0.01;
  slowRequestDb = (targetDb - slowDb) * ride;

  double d = slowDb - fastDb;
  if (d < 0.0) {
    // A transient above the slow envelope: restrain the fast cut.
    const double r = std::clamp((fastDb - slowDb) / 12.0, 0.0, 1.0);
    d *= 1.0 - params[kTransientProtect] * 0.01 * r;
  }
  fastRequestDb = params[kFastAmount] * d * 0.01 * ride;

  if (soloMode || referenceActive) {
    if (active) {
      clampedRequestDb = std::clamp(slowRequestDb + fastRequestDb, -static_cast<double>(params[kMaxCut]),
                                    static_cast<double>(params[kMaxBoost]));
    }
  } else {
    slowRequestDb = 0.0;
    fastRequestDb = 0.0;
    if (wasReferenceActive || rearm) requestDb = gainDb;  // return from the gain actually applied
  }

  if (wasActive && !active) {
    // Hold the gain applied at the moment the gate closed.
    requestDb = gainDb;
    clampedRequestDb = gainDb;
  }
  if (!active) {
    slowRequestDb = 0.0;
    fastRequestDb = 0.0;
  }
  rearm = false;
}

void RiderEngine::WriteHistoryPoint() {
  const double points[kHistoryRings] = {LevelDb(fastMeanSquare), LevelDb(outputMeanSquare),
                                        LevelDb(referenceMeanSquare), targetDb, slowRequestDb,
                                        fastRequestDb, gainDb};
  for (int k = 0; k < kHistoryRings; ++k) historyRings[k][historyWriteIndex] = static_cast<float>(points[k]);
  historyWriteIndex = (historyWriteIndex + 1) % kHistoryPoints;
  historyCount = std::min(historyCount + 1, kHistoryPoints);
}
