// Creation, sample rate, parameters, coefficients and reset of the rider engine.
#include <algorithm>
#include <cmath>

#include "EngineMath.h"
#include "RiderEngine.h"

using namespace engine_math;

void MakeRiderEngine(std::unique_ptr<RiderEngine>& owner) {
  owner = std::make_unique<RiderEngine>();
  owner->UpdateCoefficients();
  owner->Reset();
}

void DestroyRiderEngine(std::unique_ptr<RiderEngine>& owner) { owner.reset(); }

ParamVector SanitizeParamValues(const ParamVector& values) {
  ParamVector s{};
  for (int i = 0; i < kNumParams; ++i) {
    float v = values[i];
    if (!std::isfinite(v)) {
      v = kParamDefaults[i];
    } else {
      v = std::clamp(v, kParamMins[i], kParamMaxs[i]);
    }
    if (IsSteppedParam(i)) v = std::round(v);  // halves away from zero
    s[i] = v;
  }
  return s;
}

void RiderEngine::SetSampleRate(double fs) {
  sampleRate = std::isfinite(fs) ? std::clamp(fs, 22050.0, 192000.0) : 48000.0;
  controlPeriod = std::max(1, static_cast<std::int32_t>(std::round(sampleRate * 0.001)));
  historyPeriod = std::max(1, static_cast<std::int32_t>(std::round(sampleRate * 0.04)));
  UpdateCoefficients();
  Reset();
}

void RiderEngine::SetParams(const ParamVector& values) {
  const ParamVector s = SanitizeParamValues(values);
  bool changed = false;
  for (int i = 0; i < kNumParams; ++i) changed = changed || !(s[i] == params[i]);
  if (!changed) return;
  if (!(s[kMode] == params[kMode])) {
    // The next sample runs a tick that re-seeds the request for the new mode.
    rearm = true;
    controlCountdown = 0;
  }
  params = s;
  UpdateCoefficients();
}

void RiderEngine::UpdateCoefficients() {
  const double fs = sampleRate;
  slowCoef = TimeConstantCoef(params[kSlowTime], fs);
  fastCoef = TimeConstantCoef(params[kFastTime], fs);
  activityCoef = TimeConstantCoef(15.0, fs);
  referenceCoef = TimeConstantCoef(params[kReferenceSmooth], fs);
  outputCoef = TimeConstantCoef(80.0, fs);
  glideCoef = TimeConstantCoef(10.0, fs);
  returnCoef = TimeConstantCoef(params[kPauseReturn], fs);
  highPassCoef = CornerCoef(params[kDetectorHPF], fs);
  lowPassCoef = CornerCoef(params[kDetectorLPF], fs);
}

void RiderEngine::Reset() {
  for (DetectorFilter* f : {&mainLeftFilter, &mainRightFilter, &referenceLeftFilter, &referenceRightFilter,
                            &outputLeftFilter, &outputRightFilter}) {
    *f = DetectorFilter{};
  }

  // The glides start at their targets; the host's bypass flag plays no part here.
  inputTrimGlide = DbToGain(params[kInput]);
  outputTrimGlide = DbToGain(params[kOutput]);
  mixGlide = params[kMix] * 0.01;
  bypassGlide = params[kBypass];

  slowMeanSquare = fastMeanSquare = activityMeanSquare = referenceMeanSquare = outputMeanSquare = 0.0;
  clampedRequestDb = slowRequestDb = fastRequestDb = requestDb = gainDb = 0.0;

  holding = referenceActive = lastSidechainConnected = lastSidechainSilent = active = false;
  inactiveSamples = 0;
  sampleCount = 0;
  historyCountdown = 0;
  controlCountdown = 0;

  targetDb = params[kSoloTarget];
  historyWriteIndex = 0;
  historyCount = 0;

  const float fills[kHistoryRings] = {-120.0f, -120.0f, -120.0f, params[kSoloTarget], 0.0f, 0.0f, 0.0f};
  for (int k = 0; k < kHistoryRings; ++k) historyRings[k].fill(fills[k]);
  historyChanged = true;

  PublishView(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, false, false, false);
}
