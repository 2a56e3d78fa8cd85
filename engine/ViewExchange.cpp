// The view exchange: one writer (audio thread) publishes under a sequence count, readers copy
// without locks and keep a copy only when the count was even and unchanged around it.
#include "EngineMath.h"
#include "RiderEngine.h"

using namespace engine_math;

namespace {

constexpr int kReadAttempts = 4;
constexpr double kHistoryStepMs = 40.0;
constexpr auto kRelaxed = std::memory_order_relaxed;

enum LevelSlot : int {
  kSlotSampleRate,
  kSlotVocal,
  kSlotOutput,
  kSlotReference,
  kSlotTarget,
  kSlotSlowRequest,
  kSlotFastRequest,
  kSlotGain,
  kSlotHistoryStep,
};

}  // namespace

ViewSnapshot::ViewSnapshot()
    : sampleRate(48000.0),
      vocalDb(-120.0f),
      outputDb(-120.0f),
      referenceDb(-120.0f),
      targetDb(-18.0f),
      slowRequestDb(0.0f),
      fastRequestDb(0.0f),
      gainDb(0.0f),
      active(false),
      holding(false),
      clipped(false),
      sidechainConnected(false),
      analyzerOn(true),
      bypassed(false),
      valid(false),
      modeCode(kModeCodeSolo),
      sampleCount(0),
      historyCount(0),
      historyStepMs(40.0f) {
  vocalHistory.fill(-120.0f);
  outputHistory.fill(-120.0f);
  referenceHistory.fill(-120.0f);
  targetHistory.fill(0.0f);
  slowRequestHistory.fill(0.0f);
  fastRequestHistory.fill(0.0f);
  gainHistory.fill(0.0f);
}

void RiderEngine::PublishView(float inputPeak, float gainedPeak, float outputPeak, float outputPeakLeft,
                              float outputPeakRight, float referencePeak, bool connected, bool clipped,
                              bool hostBypass) {
  viewSequence.fetch_add(1, std::memory_order_seq_cst);
  // Keeps the stores below from becoming visible before the count turned odd.
  std::atomic_thread_fence(std::memory_order_release);

  const double levels[9] = {sampleRate,    LevelDb(fastMeanSquare), LevelDb(outputMeanSquare),
                            LevelDb(referenceMeanSquare), targetDb,  slowRequestDb,
                            fastRequestDb, gainDb,                   kHistoryStepMs};
  for (int i = 0; i < 9; ++i) publishedLevels[i].store(levels[i], kRelaxed);

  const float peaks[6] = {inputPeak, gainedPeak, outputPeak, outputPeakLeft, outputPeakRight, referencePeak};
  for (int i = 0; i < 6; ++i) publishedPeaks[i].store(peaks[i], kRelaxed);

  const bool analyzerOn = params[kAnalyzer] > 0.0f;
  std::uint32_t flags = 0;
  if (active) flags |= kFlagActive;
  if (holding) flags |= kFlagHolding;
  if (clipped) flags |= kFlagClipped;
  if (connected) flags |= kFlagSidechainConnected;
  if (analyzerOn) flags |= kFlagAnalyzerOn;
  if (hostBypass || params[kBypass] > 0.0f) flags |= kFlagBypassed;
  publishedFlags.store(flags, kRelaxed);

  std::int32_t modeCode = kModeCodeSolo;
  if (params[kMode] != 0.0f) {
    modeCode = !connected ? kModeCodeNoSidechain : referenceActive ? kModeCodeReferenceOpen : kModeCodeReferenceClosed;
  }
  publishedModeCode.store(modeCode, kRelaxed);
  publishedSampleCount.store(sampleCount, kRelaxed);
  publishedHistoryCount.store(historyCount, kRelaxed);

  // Unroll the rings oldest first: the write index holds the oldest point.
  if (analyzerOn) {
    const int split = kHistoryPoints - historyWriteIndex;
    for (int k = 0; k < kHistoryRings; ++k) {
      const HistoryCurve& ring = historyRings[k];
      auto& dest = publishedHistory[k];
      for (int j = 0; j < split; ++j) dest[j].store(ring[historyWriteIndex + j], kRelaxed);
      for (int j = split; j < kHistoryPoints; ++j) dest[j].store(ring[j - split], kRelaxed);
    }
  }

  viewSequence.fetch_add(1, std::memory_order_seq_cst);
}

ViewSnapshot RiderEngine::ReadView() const {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    const std::uint32_t s = viewSequence.load(std::memory_order_acquire);
    if (s & 1u) continue;

    ViewSnapshot t;
    HistoryCurve* curves[kHistoryRings] = {&t.vocalHistory,       &t.outputHistory,      &t.referenceHistory,
                                           &t.targetHistory,      &t.slowRequestHistory, &t.fastRequestHistory,
                                           &t.gainHistory};
    for (int k = 0; k < kHistoryRings; ++k) {
      for (int j = 0; j < kHistoryPoints; ++j) (*curves[k])[j] = publishedHistory[k][j].load(kRelaxed);
    }
    t.sampleRate = publishedLevels[kSlotSampleRate].load(kRelaxed);
    t.vocalDb = static_cast<float>(publishedLevels[kSlotVocal].load(kRelaxed));
    t.outputDb = static_cast<float>(publishedLevels[kSlotOutput].load(kRelaxed));
    t.referenceDb = static_cast<float>(publishedLevels[kSlotReference].load(kRelaxed));
    t.targetDb = static_cast<float>(publishedLevels[kSlotTarget].load(kRelaxed));
    t.slowRequestDb = static_cast<float>(publishedLevels[kSlotSlowRequest].load(kRelaxed));
    t.fastRequestDb = static_cast<float>(publishedLevels[kSlotFastRequest].load(kRelaxed));
    t.gainDb = static_cast<float>(publishedLevels[kSlotGain].load(kRelaxed));
    t.historyStepMs = static_cast<float>(publishedLevels[kSlotHistoryStep].load(kRelaxed));
    t.historyCount = publishedHistoryCount.load(kRelaxed);
    const std::uint32_t flags = publishedFlags.load(kRelaxed);
    t.active = (flags & kFlagActive) != 0;
    t.holding = (flags & kFlagHolding) != 0;
    t.clipped = (flags & kFlagClipped) != 0;
    t.sidechainConnected = (flags & kFlagSidechainConnected) != 0;
    t.analyzerOn = (flags & kFlagAnalyzerOn) != 0;
    t.bypassed = (flags & kFlagBypassed) != 0;
    t.modeCode = publishedModeCode.load(kRelaxed);
    t.sampleCount = publishedSampleCount.load(kRelaxed);

    // Orders the copy before the second look at the count.
    std::atomic_thread_fence(std::memory_order_acquire);
    if (viewSequence.load(kRelaxed) == s) {
      t.valid = true;
      return t;
    }
  }
  return ViewSnapshot{};
}

RiderPeaks RiderEngine::ReadPeaks() const {
  RiderPeaks p;
  p.inputPeak = publishedPeaks[0].load(kRelaxed);
  p.gainedPeak = publishedPeaks[1].load(kRelaxed);
  p.outputPeak = publishedPeaks[2].load(kRelaxed);
  p.outputPeakLeft = publishedPeaks[3].load(kRelaxed);
  p.outputPeakRight = publishedPeaks[4].load(kRelaxed);
  p.referencePeak = publishedPeaks[5].load(kRelaxed);
  return p;
}
