// Engine cost per stereo frame on 512-frame calls of a vocal-like line, with and without a
// stereo reference, and with the Analyzer on and off.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "RiderEngine.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kSeconds = 12;
constexpr int kFrames = kSeconds * 48000;

struct Material {
  std::vector<float> vocalL, vocalR, mixL, mixR;
};

// A voiced tone with harmonics, a syllable-rate envelope and pauses; a mix bed that swells slowly.
const Material& TestMaterial() {
  static const Material m = [] {
    Material s;
    for (auto* v : {&s.vocalL, &s.vocalR, &s.mixL, &s.mixR}) v->resize(kFrames);
    const double twoPi = 2.0 * std::numbers::pi;
    for (int i = 0; i < kFrames; ++i) {
      const double t = i / kRate;
      const double pitch = 180.0 + 25.0 * std::sin(twoPi * 0.7 * t);
      const double phase = twoPi * pitch * t;
      const double voice = std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.25 * std::sin(3.0 * phase);
      const double syllables = std::pow(std::max(0.0, std::sin(twoPi * 3.7 * t)), 0.6);
      const double phrase = std::fmod(t, 3.0) < 2.2 ? 1.0 : 0.003;  // a breath pause every 3 s
      const double level = 0.2 * (0.6 + 0.4 * std::sin(twoPi * 0.13 * t));
      const double v = level * voice * syllables * phrase;
      s.vocalL[i] = static_cast<float>(v);
      s.vocalR[i] = static_cast<float>(0.9 * v);
      const double bed = 0.1 * (0.7 + 0.3 * std::sin(twoPi * 0.05 * t));
      s.mixL[i] = static_cast<float>(bed * (std::sin(twoPi * 110.0 * t) + 0.6 * std::sin(twoPi * 1320.0 * t)));
      s.mixR[i] = static_cast<float>(bed * (std::sin(twoPi * 165.0 * t) + 0.6 * std::sin(twoPi * 990.0 * t)));
    }
    return s;
  }();
  return m;
}

void RunEngine(benchmark::State& state, bool mixReference, bool analyzer) {
  const Material& m = TestMaterial();
  std::unique_ptr<RiderEngine> engine;
  MakeRiderEngine(engine);
  ParamVector p = kParamDefaults;
  p[kMode] = mixReference ? 1.0f : 0.0f;
  p[kAnalyzer] = analyzer ? 1.0f : 0.0f;
  engine->SetParams(p);
  engine->SetSampleRate(kRate);

  std::vector<float> outL(kEngineChunk), outR(kEngineChunk);
  float* out[2] = {outL.data(), outR.data()};
  int position = 0;
  for (auto _ : state) {
    const float* mainIn[2] = {m.vocalL.data() + position, m.vocalR.data() + position};
    const float* sideIn[2] = {m.mixL.data() + position, m.mixR.data() + position};
    engine->Process(mainIn, out, kEngineChunk, false, mixReference ? sideIn : nullptr, mixReference, false);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
    position += kEngineChunk;
    if (position + kEngineChunk > kFrames) position = 0;
  }

  // CPU time per stereo frame (shown in seconds with an SI prefix), and seconds of 48 kHz audio
  // processed per CPU second: the real-time factor.
  state.counters["time_per_frame"] =
      benchmark::Counter(kEngineChunk, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["realtime_factor"] =
      benchmark::Counter(kEngineChunk / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Solo(benchmark::State& state) { RunEngine(state, false, true); }
void BM_MixReference(benchmark::State& state) { RunEngine(state, true, state.range(0) != 0); }

}  // namespace

BENCHMARK(BM_Solo);
BENCHMARK(BM_MixReference)->ArgName("analyzer")->Arg(1)->Arg(0);

BENCHMARK_MAIN();
