// The 24 parameters: index order, tables and predicates shared by every subsystem.
#pragma once

#include <array>

constexpr int kNumParams = 24;

enum ParamIndex : int {
  kMode,
  kBypass,
  kInput,
  kOutput,
  kSoloTarget,
  kRideAmount,
  kMaxBoost,
  kMaxCut,
  kSlowTime,
  kFastTime,
  kFastAmount,
  kActivityFloor,
  kActivityHysteresis,
  kPauseHold,
  kPauseReturn,
  kDetectorHPF,
  kDetectorLPF,
  kMixOffset,
  kReferenceSmooth,
  kTransientProtect,
  kMaxGainSlew,
  kMix,
  kAnalyzer,
  kReferenceFloor,
};

// Plain parameter values in index order: the engine's input, a preset's values, the other A/B bank.
using ParamVector = std::array<float, kNumParams>;

extern const ParamVector kParamDefaults;
extern const ParamVector kParamMins;
extern const ParamVector kParamMaxs;
extern const std::array<const char*, kNumParams> kParamNames;
extern const std::array<const char*, kNumParams> kParamIds;
extern const std::array<const char*, kNumParams> kParamUnits;

// Mode, Bypass and Analyzer take whole values only.
constexpr bool IsSteppedParam(int index) {
  const unsigned i = static_cast<unsigned>(index);
  return i == kMode || i == kBypass || i == kAnalyzer;
}

// Times and corner frequencies move on an exponential scale.
constexpr bool IsExponentialParam(int index) {
  const unsigned i = static_cast<unsigned>(index);
  return i == kSlowTime || i == kFastTime || i == kPauseReturn || i == kDetectorHPF || i == kDetectorLPF ||
         i == kReferenceSmooth;
}
