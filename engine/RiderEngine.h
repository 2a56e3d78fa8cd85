// The rider engine: level detection, gain requests, slew, trims, mix and bypass, and the view it
// publishes. One object per plug-in instance; everything but ReadView/ReadPeaks runs on the audio
// thread (or while processing is stopped).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "Params.h"
#include "ViewSnapshot.h"

constexpr int kEngineChunk = 512;

// Detector: a one-pole high-pass (input minus a low-pass at its corner) into a one-pole low-pass.
struct DetectorFilter {
  double highPassState = 0.0;
  double lowPassState = 0.0;
};

struct RiderEngine {
  ParamVector params = kParamDefaults;
  double sampleRate = 48000.0;

  DetectorFilter mainLeftFilter;
  DetectorFilter mainRightFilter;
  DetectorFilter referenceLeftFilter;
  DetectorFilter referenceRightFilter;
  DetectorFilter outputLeftFilter;
  DetectorFilter outputRightFilter;

  // Linear factors that glide towards their per-block targets.
  double inputTrimGlide = 1.0;
  double outputTrimGlide = 1.0;
  double mixGlide = 1.0;
  double bypassGlide = 0.0;

  // Mean squares in full-scale units.
  double slowMeanSquare = 0.0;
  double fastMeanSquare = 0.0;
  double activityMeanSquare = 0.0;
  double referenceMeanSquare = 0.0;
  double outputMeanSquare = 0.0;

  // One-pole coefficients: s := s + (x - s) * c.
  double slowCoef = 0.0;
  double fastCoef = 0.0;
  double activityCoef = 0.0;
  double referenceCoef = 0.0;
  double outputCoef = 0.0;
  double highPassCoef = 0.0;
  double lowPassCoef = 0.0;
  double glideCoef = 0.0;
  double returnCoef = 0.0;

  // Gains and levels in dB.
  double slowRequestDb = 0.0;
  double fastRequestDb = 0.0;
  double requestDb = 0.0;
  double gainDb = 0.0;
  double targetDb = -18.0;
  double clampedRequestDb = 0.0;

  bool active = false;
  bool holding = false;
  bool referenceActive = false;
  bool lastSidechainConnected = false;
  bool lastSidechainSilent = false;
  bool rearm = false;

  std::int64_t sampleCount = 0;
  std::uint64_t inactiveSamples = 0;
  std::int32_t controlCountdown = 0;
  std::int32_t controlPeriod = 48;
  std::int32_t historyCountdown = 0;
  std::int32_t historyPeriod = 1920;
  std::int32_t historyWriteIndex = 0;
  std::int32_t historyCount = 0;

  // Ring order: vocal, output and reference level, target, slow request, fast request, gain.
  std::array<HistoryCurve, kHistoryRings> historyRings{};
  // Set whenever the rings change (history point, reset): only then does a publication copy
  // them, which spares most calls the 7 x 256 stores.
  bool historyChanged = true;

  // Published view: a sequence lock (odd while a publication is being written). Every word is an
  // atomic so that a reader on another thread never races the writer.
  std::atomic<std::uint32_t> viewSequence{0};
  std::array<std::array<std::atomic<float>, kHistoryPoints>, kHistoryRings> publishedHistory{};
  // Sample rate, vocal, output and reference level, target, slow and fast request, gain, step ms.
  std::array<std::atomic<double>, 9> publishedLevels{};
  // RiderPeaks fields in order.
  std::array<std::atomic<float>, 6> publishedPeaks{};
  std::atomic<std::uint32_t> publishedFlags{0};
  std::atomic<std::int32_t> publishedModeCode{0};
  std::atomic<std::int64_t> publishedSampleCount{0};
  std::atomic<std::int32_t> publishedHistoryCount{0};

  // Audio thread, or while processing is stopped.
  void SetSampleRate(double fs);
  void SetParams(const ParamVector& values);
  void UpdateCoefficients();
  void Reset();

  // Audio thread. mainIn and sideIn are (left, right) pairs that may be null or hold null
  // pointers; out must hold two non-null pointers and may alias mainIn. Callers pass at most
  // kEngineChunk frames (a longer call is processed and published in pieces).
  void Process(const float* const* mainIn, float* const* out, int frames, bool hostBypass,
               const float* const* sideIn, bool sidechainConnected, bool sidechainSilent);
  bool IsTransparent() const;

  // Audio thread: the single writer of the published view.
  void PublishView(float inputPeak, float gainedPeak, float outputPeak, float outputPeakLeft,
                   float outputPeakRight, float referencePeak, bool connected, bool clipped, bool hostBypass);
  // UI thread (any reader): lock-free, never waits; valid is false when every attempt met a write.
  ViewSnapshot ReadView() const;
  // UI thread: the six peaks, each whole, possibly from two publications.
  RiderPeaks ReadPeaks() const;

 private:
  void ControlTick(bool analysing);
  int WriteHistoryPoint();

  // Hand-over between the stages of one call, per frame: the sanitised input and reference and
  // the trimmed input (left, right), and the linear gain.
  using FramePair = double __attribute__((vector_size(16)));
  std::array<FramePair, kEngineChunk> sanitizedInput;
  std::array<FramePair, kEngineChunk> sanitizedReference;
  std::array<FramePair, kEngineChunk> trimmedInput;
  std::array<double, kEngineChunk> linearGain;
};

void MakeRiderEngine(std::unique_ptr<RiderEngine>& owner);
void DestroyRiderEngine(std::unique_ptr<RiderEngine>& owner);
ParamVector SanitizeParamValues(const ParamVector& values);
double SanitizeSample(double x);
