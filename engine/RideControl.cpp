// The control tick (gates, target, requests, budget) and the history points.
#include <algorithm>

#include "EngineMath.h"
#include "RiderEngine.h"

using namespace engine_math;

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

  // The reference level is taken only for an analysed reference.
  const double referenceDb = analysing ? LevelDb(referenceMeanSquare) : -120.0;
  referenceActive = analysing && referenceDb >= params[kReferenceFloor];
  const bool targetKnown = soloMode || referenceActive;

  if (soloMode) {
    targetDb = params[kSoloTarget];
  } else {
    targetDb = referenceActive ? referenceDb + params[kMixOffset] : -120.0;
  }

  // Without an open gate and a known target nothing is requested, and the slow and fast levels
  // are not needed.
  slowRequestDb = 0.0;
  fastRequestDb = 0.0;
  if (active && targetKnown) {
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
    clampedRequestDb = std::clamp(slowRequestDb + fastRequestDb, -static_cast<double>(params[kMaxCut]),
                                  static_cast<double>(params[kMaxBoost]));
  }
  if (!targetKnown && (wasReferenceActive || rearm)) requestDb = gainDb;  // return from the gain actually applied

  if (wasActive && !active) {
    // Hold the gain applied at the moment the gate closed.
    requestDb = gainDb;
    clampedRequestDb = gainDb;
  }
  rearm = false;
}

// Writes every ring but the output level, which the audible pass adds at the same sample;
// returns the slot written.
int RiderEngine::WriteHistoryPoint() {
  const double points[kHistoryRings] = {LevelDb(fastMeanSquare), 0.0, LevelDb(referenceMeanSquare), targetDb,
                                        slowRequestDb, fastRequestDb, gainDb};
  const int slot = historyWriteIndex;
  for (int k = 0; k < kHistoryRings; ++k) historyRings[k][slot] = static_cast<float>(points[k]);
  historyWriteIndex = (historyWriteIndex + 1) % kHistoryPoints;
  historyCount = std::min(historyCount + 1, kHistoryPoints);
  historyChanged = true;
  return slot;
}
