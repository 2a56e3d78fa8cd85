#include <algorithm>
#include <cmath>
#include <cstring>

#include "Tamsel.h"

// The standalone program has a main input only, as many channels as the device connects (at
// most 2), never a reference and no host bypass.
#ifdef TAMSEL_APP
constexpr bool kStandalone = true;
#else
constexpr bool kStandalone = false;
#endif

void Tamsel::Prepare() {
  double rate = GetSampleRate();
  if (!std::isfinite(rate) || rate <= 0.0)
    rate = 48000.0;
  ParamVector snapshot;
  engine->SetParams(GetParamValues(snapshot));
  engine->SetSampleRate(rate); // clamps to 22050..192000 and resets
  SetLatency(0);
  engineRunning = true;
}

void Tamsel::OnReset() {
  Prepare();
}

void Tamsel::OnActivate(bool active) {
  if (active)
    Prepare();
  else
    engineRunning = false; // the engine keeps its state
}

// Frames s..s+n-1 of a host channel into a chunk buffer; a missing channel reads as 0.
static void CopyOrSilence(const float* source, int s, int n, float* chunk) {
  if (source)
    std::memcpy(chunk, source + s, sizeof(float) * static_cast<std::size_t>(n));
  else
    std::memset(chunk, 0, sizeof(float) * static_cast<std::size_t>(n));
}

// Audio thread. Inputs: main left, main right, sidechain left, sidechain right; outputs left,
// right. No allocation: the chunk buffers are members, the snapshot is local.
void Tamsel::ProcessBlock(float** inputs, float** outputs, int nFrames) {
  if (nFrames < 1)
    return;
  const int outCount = std::min(NOutChansConnected(), static_cast<int>(kMaxChannelSlots));

  if (!engineRunning) {
    for (int c = 0; c < outCount; ++c)
      if (outputs[c])
        std::memset(outputs[c], 0, sizeof(float) * static_cast<std::size_t>(nFrames));
    return;
  }

  ParamVector snapshot;
  engine->SetParams(GetParamValues(snapshot));

  // Sources per slot; nullptr reads as 0. A silent-flagged channel reads as exactly 0.
  auto source = [inputs](int slot, bool use) -> const float* {
    return (use && inputs) ? inputs[slot] : nullptr;
  };
  const int mainCount = kStandalone ? std::min(NInChansConnected(), 2) : mainChannels;
  const bool sideActive = !kStandalone && sidechainActive;
  const bool monoMain = mainCount < 2;
  const float* mainLeft = source(0, mainCount >= 1 && (mainSilenceFlags & 1u) == 0);
  const float* mainRight = source(1, !monoMain && (mainSilenceFlags & 2u) == 0);
  const bool monoSide = !(sideActive && IsChannelConnected(ERoute::kInput, 3));
  const float* sideLeft = source(2, sideActive && (sidechainSilenceFlags & 1u) == 0);
  const float* sideRight = source(3, !monoSide && (sidechainSilenceFlags & 2u) == 0);
  const bool bypass = !kStandalone && hostBypass.load(std::memory_order_relaxed);

  const float* mainIn[2] = {chunkInput[0].data(), chunkInput[1].data()};
  const float* sideIn[2] = {chunkSidechain[0].data(), chunkSidechain[1].data()};
  float* out[2] = {chunkOutput[0].data(), chunkOutput[1].data()};

  for (int s = 0; s < nFrames; s += kEngineChunk) {
    const int n = std::min(kEngineChunk, nFrames - s);
    CopyOrSilence(mainLeft, s, n, chunkInput[0].data());
    CopyOrSilence(monoMain ? mainLeft : mainRight, s, n, chunkInput[1].data());
    CopyOrSilence(sideLeft, s, n, chunkSidechain[0].data());
    CopyOrSilence(monoSide ? sideLeft : sideRight, s, n, chunkSidechain[1].data());

    engine->Process(mainIn, out, n, bypass, sideIn, sideActive, !kStandalone && sidechainSilent);

    for (int c = 0; c < outCount; ++c) {
      float* dest = outputs[c] ? outputs[c] + s : nullptr;
      if (!dest)
        continue;
      if (outCount == 1) {
        for (int j = 0; j < n; ++j)
          dest[j] = (chunkOutput[0][j] + chunkOutput[1][j]) * 0.5f;
      } else if (c < 2) {
        std::memcpy(dest, chunkOutput[static_cast<std::size_t>(c)].data(), sizeof(float) * static_cast<std::size_t>(n));
      } else {
        std::memset(dest, 0, sizeof(float) * static_cast<std::size_t>(n));
      }
    }
  }
}
