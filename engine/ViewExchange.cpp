// The view exchange: one writer (audio thread) publishes under a sequence count, readers copy
// without locks and keep a copy only when the count was even and unchanged around it.
// Published words are stored with release and loaded with acquire (plain moves on x86): a reader
// that sees any word of a publication then also sees that publication's odd count on its second
// look, so a torn copy is always refused. No fences, which ThreadSanitizer could not follow.
#include "EngineMath.h"
#include "RiderEngine.h"

using namespace engine_math;

namespace {

constexpr int kReadAttempts = 4;
constexpr double kHistoryStepMs = 40.0;
constexpr auto kStore = std::memory_order_release;
constexpr auto kLoad = std::memory_order_acquire;

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

  const double levels[9] = {sampleRate,    LevelDb(fastMeanSquare), LevelDb(outputMeanSquare),
                            LevelDb(referenceMeanSquare), targetDb,  slowRequestDb,
                            fastRequestDb, gainDb,                   kHistoryStepMs};
  for (int i = 0; i < 9; ++i) publishedLevels[i].store(levels[i], kStore);

  const float peaks[6] = {inputPeak, gainedPeak, outputPeak, outputPeakLeft, outputPeakRight, referencePeak};
  for (int i = 0; i < 6; ++i) publishedPeaks[i].store(peaks[i], kStore);

  const bool analyzerOn = params[kAnalyzer] > 0.0f;
  std::uint32_t flags = 0;
  if (active) flags |= kFlagActive;
  if (holding) flags |= kFlagHolding;
  if (clipped) flags |= kFlagClipped;
  if (connected) flags |= kFlagSidechainConnected;
  if (analyzerOn) flags |= kFlagAnalyzerOn;
  if (hostBypass || params[kBypass] > 0.0f) flags |= kFlagBypassed;
  publishedFlags.store(flags, kStore);

  std::int32_t modeCode = kModeCodeSolo;
  if (params[kMode] != 0.0f) {
    modeCode = !connected ? kModeCodeNoSidechain : referenceActive ? kModeCodeReferenceOpen : kModeCodeReferenceClosed;
  }
  publishedModeCode.store(modeCode, kStore);
  publishedSampleCount.store(sampleCount, kStore);
  publishedHistoryCount.store(historyCount, kStore);

  // Unroll the rings oldest first: the write index holds the oldest point. Unchanged rings are
  // already published as they stand.
  if (analyzerOn && historyChanged) {
    historyChanged = false;
    const int split = kHistoryPoints - historyWriteIndex;
    for (int k = 0; k < kHistoryRings; ++k) {
      const HistoryCurve& ring = historyRings[k];
      auto& dest = publishedHistory[k];
      for (int j = 0; j < split; ++j) dest[j].store(ring[historyWriteIndex + j], kStore);
      for (int j = split; j < kHistoryPoints; ++j) dest[j].store(ring[j - split], kStore);
    }
  }

  viewSequence.fetch_add(1, std::memory_order_seq_cst);
}

ViewSnapshot RiderEngine::ReadView() const {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    const std::uint32_t s = viewSequence.load(kLoad);
    if (s & 1u) continue;

    ViewSnapshot t;
    HistoryCurve* curves[kHistoryRings] = {&t.vocalHistory,       &t.outputHistory,      &t.referenceHistory,
                                           &t.targetHistory,      &t.slowRequestHistory, &t.fastRequestHistory,
                                           &t.gainHistory};
    for (int k = 0; k < kHistoryRings; ++k) {
      for (int j = 0; j < kHistoryPoints; ++j) (*curves[k])[j] = publishedHistory[k][j].load(kLoad);
    }
    t.sampleRate = publishedLevels[kSlotSampleRate].load(kLoad);
    t.vocalDb = static_cast<float>(publishedLevels[kSlotVocal].load(kLoad));
    t.outputDb = static_cast<float>(publishedLevels[kSlotOutput].load(kLoad));
    t.referenceDb = static_cast<float>(publishedLevels[kSlotReference].load(kLoad));
    t.targetDb = static_cast<float>(publishedLevels[kSlotTarget].load(kLoad));
    t.slowRequestDb = static_cast<float>(publishedLevels[kSlotSlowRequest].load(kLoad));
    t.fastRequestDb = static_cast<float>(publishedLevels[kSlotFastRequest].load(kLoad));
    t.gainDb = static_cast<float>(publishedLevels[kSlotGain].load(kLoad));
    t.historyStepMs = static_cast<float>(publishedLevels[kSlotHistoryStep].load(kLoad));
    t.historyCount = publishedHistoryCount.load(kLoad);
    const std::uint32_t flags = publishedFlags.load(kLoad);
    t.active = (flags & kFlagActive) != 0;
    t.holding = (flags & kFlagHolding) != 0;
    t.clipped = (flags & kFlagClipped) != 0;
    t.sidechainConnected = (flags & kFlagSidechainConnected) != 0;
    t.analyzerOn = (flags & kFlagAnalyzerOn) != 0;
    t.bypassed = (flags & kFlagBypassed) != 0;
    t.modeCode = publishedModeCode.load(kLoad);
    t.sampleCount = publishedSampleCount.load(kLoad);

    if (viewSequence.load(kLoad) == s) {
      t.valid = true;
      return t;
    }
  }
  return ViewSnapshot{};
}

RiderPeaks RiderEngine::ReadPeaks() const {
  RiderPeaks p;
  p.inputPeak = publishedPeaks[0].load(kLoad);
  p.gainedPeak = publishedPeaks[1].load(kLoad);
  p.outputPeak = publishedPeaks[2].load(kLoad);
  p.outputPeakLeft = publishedPeaks[3].load(kLoad);
  p.outputPeakRight = publishedPeaks[4].load(kLoad);
  p.referencePeak = publishedPeaks[5].load(kLoad);
  return p;
}
