// What the engine publishes for the editor: the snapshot record, the peaks and the flag word.
#pragma once

#include <array>
#include <cstdint>

constexpr int kHistoryRings = 7;
constexpr int kHistoryPoints = 256;

using HistoryCurve = std::array<float, kHistoryPoints>;

// Linear magnitudes (full scale 1.0), each the largest of the last engine call.
struct RiderPeaks {
  float inputPeak = 0.0f;
  float gainedPeak = 0.0f;
  float outputPeak = 0.0f;
  float outputPeakLeft = 0.0f;
  float outputPeakRight = 0.0f;
  float referencePeak = 0.0f;
};

// Bits of the published flag word.
enum ViewFlags : std::uint32_t {
  kFlagActive = 1u << 0,
  kFlagHolding = 1u << 1,
  kFlagClipped = 1u << 2,
  kFlagSidechainConnected = 1u << 3,
  kFlagAnalyzerOn = 1u << 4,
  kFlagBypassed = 1u << 5,
};

// Mode codes of the published view.
enum ModeCode : std::int32_t {
  kModeCodeSolo = 0,
  kModeCodeNoSidechain = 1,
  kModeCodeReferenceClosed = 2,
  kModeCodeReferenceOpen = 3,
};

// A private copy of the published view; histories are oldest first, element 255 the newest.
struct ViewSnapshot {
  ViewSnapshot();

  HistoryCurve vocalHistory;
  HistoryCurve outputHistory;
  HistoryCurve referenceHistory;
  HistoryCurve targetHistory;
  HistoryCurve slowRequestHistory;
  HistoryCurve fastRequestHistory;
  HistoryCurve gainHistory;
  double sampleRate;
  float vocalDb;
  float outputDb;
  float referenceDb;
  float targetDb;
  float slowRequestDb;
  float fastRequestDb;
  float gainDb;
  bool active;
  bool holding;
  bool clipped;
  bool sidechainConnected;
  bool analyzerOn;
  bool bypassed;
  bool valid;
  std::int32_t modeCode;
  std::int64_t sampleCount;
  std::int32_t historyCount;
  float historyStepMs;
};
