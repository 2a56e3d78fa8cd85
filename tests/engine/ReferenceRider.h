// A plain model of the rider: one sample at a time, every step in its documented order, each
// one-pole as s + (x - s) c and the gain through pow. Coefficients are derived here from the
// parameters, not taken from the engine. Test-only; it is the yardstick for the optimised engine.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "RiderEngine.h"

struct ReferenceRider {
  struct Filter {
    double highPass = 0.0, lowPass = 0.0;
    double Run(double x, double hpCoef, double lpCoef) {
      highPass = highPass + (x - highPass) * hpCoef;
      lowPass = lowPass + ((x - highPass) - lowPass) * lpCoef;
      return lowPass;
    }
  };
  // What one publication holds.
  struct View {
    std::array<double, 9> levels{};
    std::array<float, 6> peaks{};
    std::uint32_t flags = 0;
    std::int32_t modeCode = 0, historyCount = 0;
    std::int64_t sampleCount = 0;
    std::array<HistoryCurve, kHistoryRings> history{};
  };

  ParamVector p = kParamDefaults;
  double fs = 48000.0;
  Filter mainL, mainR, refL, refR, outL, outR;
  double inputGlide = 1.0, outputGlide = 1.0, mixGlide = 1.0, bypassGlide = 0.0;
  double slowMs = 0.0, fastMs = 0.0, activityMs = 0.0, referenceMs = 0.0, outputMs = 0.0;
  double slowC = 0, fastC = 0, activityC = 0, referenceC = 0, outputC = 0, hpC = 0, lpC = 0, glideC = 0,
         returnC = 0;
  double slowRequestDb = 0, fastRequestDb = 0, requestDb = 0, gainDb = 0, targetDb = -18,
         clampedRequestDb = 0;
  bool active = false, holding = false, referenceActive = false, lastConnected = false, lastSilent = false;
  bool rearm = false;
  std::int64_t sampleCount = 0;
  std::uint64_t inactiveSamples = 0;
  int controlCountdown = 0, controlPeriod = 48, historyCountdown = 0, historyPeriod = 1920;
  int historyWriteIndex = 0, historyCount = 0;
  std::array<HistoryCurve, kHistoryRings> rings{};
  View view;

  // The same set-up as the engine's: construction, then the parameters, then the rate.
  ReferenceRider(const ParamVector& values, double rate) {
    Coefficients();
    Reset();
    SetParams(values);
    SetSampleRate(rate);
  }

  static double Db(double ms) { return 10.0 * std::log10(std::max(ms, 1e-12)); }
  static double Guard(double x) { return std::isfinite(x) ? std::clamp(x, -32.0, 32.0) : 0.0; }
  static double TimeCoef(double ms, double rate) { return -std::expm1(-1.0 / (ms * rate * 0.001)); }
  static double CornerCoef(double hz, double rate) {
    return -std::expm1(-2.0 * std::numbers::pi * std::min(hz, 0.45 * rate) / rate);
  }

  void SetSampleRate(double rate) {
    fs = std::isfinite(rate) ? std::clamp(rate, 22050.0, 192000.0) : 48000.0;
    controlPeriod = std::max(1, static_cast<int>(std::round(fs * 0.001)));
    historyPeriod = std::max(1, static_cast<int>(std::round(fs * 0.04)));
    Coefficients();
    Reset();
  }

  void SetParams(const ParamVector& values) {
    ParamVector s{};
    bool changed = false;
    for (int i = 0; i < kNumParams; ++i) {
      s[i] =
          std::isfinite(values[i]) ? std::clamp(values[i], kParamMins[i], kParamMaxs[i]) : kParamDefaults[i];
      if (i == kMode || i == kBypass || i == kAnalyzer) s[i] = std::round(s[i]);
      changed = changed || !(s[i] == p[i]);
    }
    if (!changed) return;
    if (!(s[kMode] == p[kMode])) {
      rearm = true;
      controlCountdown = 0;
    }
    p = s;
    Coefficients();
  }

  void Coefficients() {
    slowC = TimeCoef(p[kSlowTime], fs);
    fastC = TimeCoef(p[kFastTime], fs);
    activityC = TimeCoef(15.0, fs);
    referenceC = TimeCoef(p[kReferenceSmooth], fs);
    outputC = TimeCoef(80.0, fs);
    glideC = TimeCoef(10.0, fs);
    returnC = TimeCoef(p[kPauseReturn], fs);
    hpC = CornerCoef(p[kDetectorHPF], fs);
    lpC = CornerCoef(p[kDetectorLPF], fs);
  }

  void Reset() {
    mainL = mainR = refL = refR = outL = outR = Filter{};
    inputGlide = std::pow(10.0, p[kInput] / 20.0);
    outputGlide = std::pow(10.0, p[kOutput] / 20.0);
    mixGlide = p[kMix] * 0.01;
    bypassGlide = p[kBypass];
    slowMs = fastMs = activityMs = referenceMs = outputMs = 0.0;
    clampedRequestDb = slowRequestDb = fastRequestDb = requestDb = gainDb = 0.0;
    holding = referenceActive = lastConnected = lastSilent = active = false;
    inactiveSamples = 0;
    sampleCount = 0;
    historyCountdown = controlCountdown = 0;
    targetDb = p[kSoloTarget];
    historyWriteIndex = historyCount = 0;
    const float fills[kHistoryRings] = {-120, -120, -120, p[kSoloTarget], 0, 0, 0};
    for (int k = 0; k < kHistoryRings; ++k) rings[k].fill(fills[k]);
    Publish({}, false, false, false);
  }

  bool IsTransparent() const {
    if (bypassGlide == 1.0) return true;
    if (inputGlide != 1.0 || outputGlide != 1.0) return false;
    return mixGlide == 0.0 || gainDb == 0.0;
  }

  void Process(const float* const* mainIn, float* const* out, int frames, bool hostBypass,
               const float* const* sideIn, bool sidechainConnected, bool sidechainSilent) {
    if (frames < 1 || out == nullptr || out[0] == nullptr || out[1] == nullptr) return;
    const bool connected =
        sidechainConnected && sideIn != nullptr && sideIn[0] != nullptr && sideIn[1] != nullptr;
    const bool silent = connected && sidechainSilent;
    const bool analysing = connected && !silent;
    if (connected != lastConnected || silent != lastSilent) {
      referenceMs = 0.0;
      refL = refR = Filter{};
      requestDb = gainDb;
      lastConnected = connected;
      lastSilent = silent;
      rearm = true;
      controlCountdown = 0;
    }
    const double inputTarget = std::pow(10.0, p[kInput] / 20.0),
                 outputTarget = std::pow(10.0, p[kOutput] / 20.0);
    const double mixTarget = p[kMix] * 0.01, bypassTarget = (hostBypass || p[kBypass] > 0.0f) ? 1.0 : 0.0;
    const auto holdSamples = static_cast<std::uint64_t>(p[kPauseHold] * 0.001 * fs);
    const double maxStep = p[kMaxGainSlew] / fs;
    std::array<float, 6> peaks{};  // input, gained, output, output left, output right, reference
    bool clip = false;
    auto peak = [](float& pk, double v) { pk = std::max(pk, static_cast<float>(std::abs(v))); };
    auto glide = [&](double& g, double target, double snap) {
      g = g + (target - g) * glideC;
      if (std::abs(g - target) < snap) g = target;
    };

    for (int i = 0; i < frames; ++i) {
      glide(inputGlide, inputTarget, 1e-10);
      glide(outputGlide, outputTarget, 1e-10);
      glide(mixGlide, mixTarget, 1e-10);
      glide(bypassGlide, bypassTarget, 1e-9);
      const double dry[2] = {mainIn && mainIn[0] ? Guard(mainIn[0][i]) : 0.0,
                             mainIn && mainIn[1] ? Guard(mainIn[1][i]) : 0.0};
      const double x[2] = {inputGlide * dry[0], inputGlide * dry[1]};
      double r[2] = {0, 0}, yRef[2] = {0, 0};
      const double yL = mainL.Run(x[0], hpC, lpC);
      if (analysing) yRef[0] = refL.Run(r[0] = Guard(sideIn[0][i]), hpC, lpC);
      const double yR = mainR.Run(x[1], hpC, lpC);
      if (analysing) yRef[1] = refR.Run(r[1] = Guard(sideIn[1][i]), hpC, lpC);
      const double ms = 0.5 * yL * yL + 0.5 * yR * yR;
      const double msRef = analysing ? 0.5 * yRef[0] * yRef[0] + 0.5 * yRef[1] * yRef[1] : 0.0;
      peak(peaks[0], x[0]);
      peak(peaks[0], x[1]);
      if (analysing) {
        peak(peaks[5], r[0]);
        peak(peaks[5], r[1]);
      }
      slowMs = slowMs + (ms - slowMs) * slowC;
      referenceMs = referenceMs + (msRef - referenceMs) * referenceC;
      fastMs = fastMs + (ms - fastMs) * fastC;
      activityMs = activityMs + (ms - activityMs) * activityC;

      if (--controlCountdown <= 0) {
        controlCountdown = controlPeriod;
        Tick(analysing);
      }
      if (active) {
        inactiveSamples = 0;
        holding = false;
      } else {
        if (inactiveSamples < static_cast<std::uint64_t>(fs * 60.0)) ++inactiveSamples;
        holding = inactiveSamples <= holdSamples;
      }
      if ((p[kMode] == 0.0f || referenceActive) && (active || holding)) {
        requestDb = clampedRequestDb;
      } else {
        requestDb = requestDb + (0.0 - requestDb) * returnC;
      }
      requestDb = std::clamp(requestDb, -static_cast<double>(p[kMaxCut]), static_cast<double>(p[kMaxBoost]));
      gainDb = gainDb + std::clamp(requestDb - gainDb, -maxStep, maxStep);
      const double g = std::pow(10.0, gainDb / 20.0);

      double y[2];
      Filter* filters[2] = {&outL, &outR};
      for (int c = 0; c < 2; ++c) {
        const double wet = g * x[c];
        const double mixed = ((wet - x[c]) * mixGlide + x[c]) * outputGlide;
        const double o = bypassGlide == 1.0 ? dry[c] : (mixed - dry[c]) * (1.0 - bypassGlide) + dry[c];
        out[c][i] = static_cast<float>(o);
        peak(peaks[1], wet);
        y[c] = filters[c]->Run(o, hpC, lpC);
        peak(peaks[2], o);
        peak(peaks[3 + c], o);
        clip = clip || static_cast<float>(std::abs(o)) >= 1.0f;
      }
      ++sampleCount;
      outputMs = outputMs + (0.5 * y[0] * y[0] + 0.5 * y[1] * y[1] - outputMs) * outputC;

      if (p[kAnalyzer] > 0.0f && --historyCountdown <= 0) {
        historyCountdown = historyPeriod;
        const double point[kHistoryRings] = {Db(fastMs),    Db(outputMs),  Db(referenceMs), targetDb,
                                             slowRequestDb, fastRequestDb, gainDb};
        for (int k = 0; k < kHistoryRings; ++k) rings[k][historyWriteIndex] = static_cast<float>(point[k]);
        historyWriteIndex = (historyWriteIndex + 1) % kHistoryPoints;
        historyCount = std::min(historyCount + 1, kHistoryPoints);
      }
    }
    // Accepted in the engine: states below 1e-100 end each call flushed to 0.
    for (Filter* f : {&mainL, &mainR, &refL, &refR, &outL, &outR}) {
      Flush(f->highPass);
      Flush(f->lowPass);
    }
    for (double* v : {&slowMs, &fastMs, &activityMs, &referenceMs, &outputMs, &requestDb, &gainDb}) Flush(*v);
    Publish(peaks, connected, clip, hostBypass);
  }

  static void Flush(double& v) {
    if (std::abs(v) < 1e-100) v = 0.0;
  }

  void Tick(bool analysing) {
    const bool wasActive = active, wasReferenceActive = referenceActive;
    const double activityDb = Db(activityMs);
    if (!active && activityDb >= p[kActivityFloor]) {
      active = true;
    } else if (active && activityDb < static_cast<double>(p[kActivityFloor]) - p[kActivityHysteresis]) {
      active = false;
    }
    referenceActive = analysing && Db(referenceMs) >= p[kReferenceFloor];
    if (p[kMode] == 0.0f) {
      targetDb = p[kSoloTarget];
    } else {
      targetDb = referenceActive ? Db(referenceMs) + p[kMixOffset] : -120.0;
    }
    const double slowDb = Db(slowMs), fastDb = Db(fastMs);
    slowRequestDb = (targetDb - slowDb) * p[kRideAmount] * 0.01;
    double d = slowDb - fastDb;
    if (d < 0.0) d = d * (1.0 - p[kTransientProtect] * 0.01 * std::clamp((fastDb - slowDb) / 12.0, 0.0, 1.0));
    fastRequestDb = p[kFastAmount] * d * 0.01 * p[kRideAmount] * 0.01;
    if (p[kMode] == 0.0f || referenceActive) {
      if (active) {
        clampedRequestDb = std::clamp(slowRequestDb + fastRequestDb, -static_cast<double>(p[kMaxCut]),
                                      static_cast<double>(p[kMaxBoost]));
      }
    } else {
      slowRequestDb = fastRequestDb = 0.0;
      if (wasReferenceActive || rearm) requestDb = gainDb;
    }
    if (wasActive && !active) requestDb = clampedRequestDb = gainDb;
    if (!active) slowRequestDb = fastRequestDb = 0.0;
    rearm = false;
  }

  void Publish(const std::array<float, 6>& peaks, bool connected, bool clipped, bool hostBypass) {
    view.levels = {fs,     Db(fastMs), Db(outputMs), Db(referenceMs), targetDb, slowRequestDb, fastRequestDb,
                   gainDb, 40};
    view.peaks = peaks;
    view.flags = (active ? 1u : 0u) | (holding ? 2u : 0u) | (clipped ? 4u : 0u) | (connected ? 8u : 0u) |
                 (p[kAnalyzer] > 0.0f ? 16u : 0u) | (hostBypass || p[kBypass] > 0.0f ? 32u : 0u);
    view.modeCode = p[kMode] == 0.0f ? 0 : !connected ? 1 : referenceActive ? 3 : 2;
    view.sampleCount = sampleCount;
    view.historyCount = historyCount;
    if (p[kAnalyzer] > 0.0f) {
      for (int k = 0; k < kHistoryRings; ++k) {  // oldest first: the write index holds the oldest point
        std::rotate_copy(rings[k].begin(), rings[k].begin() + historyWriteIndex, rings[k].end(),
                         view.history[k].begin());
      }
    }
  }
};
