// The module's audio entry: block checks, parameter queues, bus state, the 32-bit routine or the
// module's own 64-bit path, and the output silence flags. Audio thread only; allocates nothing.
#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Tamsel.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Infinite or NaN (exponent bits all ones) becomes 0; the rest is held within +-32, keeping its
// bits (-0.0 too). x - x is 0 exactly for finite x.
inline double GuardSample(double x) {
  double held = 32.0 < x ? 32.0 : x;
  held = -32.0 > held ? -32.0 : held;
  return x - x == 0.0 ? held : 0.0;
}

// One chunk of a host channel, guarded into dry (main channels only) and narrowed into chunk; a
// missing channel reads as zeros.
void LoadChunk(const double* source, double* dry, float* chunk, int n) {
  if (!source) {
    if (dry)
      std::fill(dry, dry + n, 0.0);
    std::fill(chunk, chunk + n, 0.0f);
    return;
  }
  int j = 0;
#if defined(__SSE2__)
  // The same guard four samples at a time: minpd(32, x) and maxpd(-32, .) are the two selects.
  const __m128d high = _mm_set1_pd(32.0), low = _mm_set1_pd(-32.0), zero = _mm_setzero_pd();
  auto guard = [&](__m128d x) {
    return _mm_and_pd(_mm_max_pd(low, _mm_min_pd(high, x)), _mm_cmpeq_pd(_mm_sub_pd(x, x), zero));
  };
  for (; j + 4 <= n; j += 4) {
    const __m128d a = guard(_mm_loadu_pd(source + j));
    const __m128d b = guard(_mm_loadu_pd(source + j + 2));
    if (dry) {
      _mm_storeu_pd(dry + j, a);
      _mm_storeu_pd(dry + j + 2, b);
    }
    _mm_storeu_ps(chunk + j, _mm_movelh_ps(_mm_cvtpd_ps(a), _mm_cvtpd_ps(b)));
  }
#endif
  for (; j < n; ++j) {
    const double g = GuardSample(source[j]);
    if (dry)
      dry[j] = g;
    chunk[j] = static_cast<float>(g);
  }
}

bool Clear(std::uint64_t flags, int channel) {
  return (flags & (std::uint64_t{1} << channel)) == 0;
}

} // namespace

tresult PLUGIN_API Tamsel::process(ProcessData& data) {
  if (const tresult check = CheckProcessData(data); check != kResultOk)
    return check;
  ApplyParameterChanges(data);
  if (data.numSamples == 0)
    return kResultOk; // a parameter-only call

  mainChannels = UsedInputChannels(data, 0);
  mainSilenceFlags = data.numInputs != 0 ? data.inputs[0].silenceFlags : 3;
  const int sidechainChannels = UsedInputChannels(data, 1);
  sidechainActive = sidechainChannels > 0;
  sidechainSilenceFlags = data.numInputs > 1 ? data.inputs[1].silenceFlags : 3;
  if (sidechainActive) {
    const std::uint64_t all = (std::uint64_t{1} << sidechainChannels) - 1;
    sidechainSilent = (sidechainSilenceFlags & all) == all;
  } else {
    sidechainSilent = false;
  }

  if (data.symbolicSampleSize == kSample64)
    ProcessDoubles(data);
  else
    ProcessBuffers32(data);
  MarkSilentOutputs(data);
  return kResultOk;
}

// One value per parameter and block: the last point of each queue.
void Tamsel::ApplyParameterChanges(ProcessData& data) {
  IParameterChanges* changes = data.inputParameterChanges;
  if (!changes)
    return;
  for (int32 i = 0; i < changes->getParameterCount(); ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue)
      continue;
    const int32 points = queue->getPointCount();
    if (points <= 0)
      continue;
    int32 offset = 0;
    ParamValue value = 0.0;
    if (queue->getPoint(points - 1, offset, value) != kResultOk || !std::isfinite(value))
      continue;
    const ParamID id = queue->getParameterId();
    if (id == kBypassParamId) {
      hostBypass.store(value > 0.5, std::memory_order_relaxed);
      continue;
    }
    if (id >= static_cast<ParamID>(kNumParams))
      continue;
    GetParam(static_cast<int>(id))->SetNormalized(std::clamp(value, 0.0, 1.0));
    OnParamChange(static_cast<int>(id), kHost, -1);
  }
}

// 64-bit blocks: guarded in double precision, ridden in 32-bit chunks, and when the engine was
// transparent before and after a chunk the guarded input itself goes out, bit for bit.
void Tamsel::ProcessDoubles(ProcessData& data) {
  ParamVector snapshot;
  engine->SetParams(GetParamValues(snapshot));

  const AudioBusBuffers* mainBus = data.numInputs > 0 ? &data.inputs[0] : nullptr;
  const AudioBusBuffers* sideBus = data.numInputs > 1 ? &data.inputs[1] : nullptr;
  const int mainRightChannel = mainChannels == 1 ? 0 : 1;
  const double* mainLeft =
      mainChannels > 0 && Clear(mainSilenceFlags, 0) ? mainBus->channelBuffers64[0] : nullptr;
  const double* mainRight = mainChannels > mainRightChannel && Clear(mainSilenceFlags, mainRightChannel)
                                ? mainBus->channelBuffers64[mainRightChannel]
                                : nullptr;
  const double* sideLeft = nullptr;
  const double* sideRight = nullptr;
  if (sidechainActive) {
    const int sideRightChannel = UsedInputChannels(data, 1) == 1 ? 0 : 1;
    if (Clear(sidechainSilenceFlags, 0))
      sideLeft = sideBus->channelBuffers64[0];
    if (Clear(sidechainSilenceFlags, sideRightChannel))
      sideRight = sideBus->channelBuffers64[sideRightChannel];
  }
  const bool bypass = hostBypass.load(std::memory_order_relaxed);

  const float* mainIn[2] = {chunkInput[0].data(), chunkInput[1].data()};
  const float* sideIn[2] = {chunkSidechain[0].data(), chunkSidechain[1].data()};
  float* out[2] = {chunkOutput[0].data(), chunkOutput[1].data()};

  for (int32 s = 0; s < data.numSamples; s += kEngineChunk) {
    const int n = std::min(kEngineChunk, data.numSamples - s);
    // The guarded input can only go out when the engine is transparent before the chunk.
    const bool transparentBefore = engine->IsTransparent();
    LoadChunk(mainLeft ? mainLeft + s : nullptr, transparentBefore ? dryInput[0].data() : nullptr,
              chunkInput[0].data(), n);
    LoadChunk(mainRight ? mainRight + s : nullptr, transparentBefore ? dryInput[1].data() : nullptr,
              chunkInput[1].data(), n);
    LoadChunk(sideLeft ? sideLeft + s : nullptr, nullptr, chunkSidechain[0].data(), n);
    LoadChunk(sideRight ? sideRight + s : nullptr, nullptr, chunkSidechain[1].data(), n);

    engine->Process(mainIn, out, n, bypass, sideIn, sidechainActive, sidechainSilent);
    const bool transparent = transparentBefore && engine->IsTransparent();

    for (int32 b = 0; b < data.numOutputs; ++b) {
      const AudioBusBuffers& bus = data.outputs[b];
      for (int32 c = 0; c < bus.numChannels && c < 2; ++c) {
        double* dest = bus.channelBuffers64[c] + s;
        const auto k = static_cast<std::size_t>(c);
        if (!engineRunning)
          std::fill(dest, dest + n, 0.0);
        else if (transparent)
          std::copy(dryInput[k].begin(), dryInput[k].begin() + n, dest);
        else
          std::copy(chunkOutput[k].begin(), chunkOutput[k].begin() + n, dest);
      }
    }
  }
}
