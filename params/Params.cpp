#include "Params.h"

// clang-format off
const ParamVector kParamDefaults = {
  0, 0, 0, 0, -18, 100, 6, 12, 1000, 80, 35, -48, 6, 200, 800, 100, 10000, 3, 600, 50, 6, 100, 1, -50};
const ParamVector kParamMins = {
  0, 0, -24, -24, -36, 0, 0, 0, 300, 10, 0, -90, 0, 0, 100, 40, 2000, -18, 100, 0, 1, 0, 0, -90};
const ParamVector kParamMaxs = {
  1, 1, 24, 24, -6, 100, 18, 24, 5000, 500, 100, -20, 12, 2000, 5000, 400, 18000, 18, 3000, 100, 24, 100, 1, -20};

const std::array<const char*, kNumParams> kParamNames = {
  "Mode", "Bypass", "Input", "Output", "Solo Target", "Ride Amount", "Max Boost", "Max Cut",
  "Slow Time", "Fast Time", "Fast Amount", "Activity Floor", "Activity Hysteresis", "Pause Hold",
  "Pause Return", "Detector HPF", "Detector LPF", "Mix Offset", "Reference Smooth",
  "Transient Protect", "Max Gain Slew", "Mix", "Analyzer", "Reference Floor"};
const std::array<const char*, kNumParams> kParamIds = {
  "mode", "bypass", "input", "output", "soloTarget", "rideAmount", "maxBoost", "maxCut",
  "slowTime", "fastTime", "fastAmount", "activityFloor", "activityHysteresis", "pauseHold",
  "pauseReturn", "detectorHPF", "detectorLPF", "mixOffset", "referenceSmooth",
  "transientProtect", "maxGainSlew", "mix", "analyzer", "referenceFloor"};
const std::array<const char*, kNumParams> kParamUnits = {
  "", "", "dB", "dB", "dBFS", "%", "dB", "dB", "ms", "ms", "%", "dBFS", "dB", "ms",
  "ms", "Hz", "Hz", "dB", "ms", "%", "dB/s", "%", "", "dBFS"};
// clang-format on
