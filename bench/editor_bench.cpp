// CPU time of one full editor frame through the offscreen path (dirty checks, the view pull, all
// 79 controls drawn, the read-back), at scales 1.0 and 1.5, with the history full.
//
// It needs a display with OpenGL; measure Mesa's software renderer with
//   xvfb-run -a -s "-screen 0 1920x1200x24" env LIBGL_ALWAYS_SOFTWARE=1 build/bench/editor_bench
// The time is the whole process's CPU time: the software renderer rasterises on threads of its own.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "IGraphics.h"
#include "RiderEngine.h"
#include "Tamsel.h"

namespace {

// Twelve seconds of a swelling tone: more than the 256 history points of 40 ms each.
void FillHistory(Tamsel& plugin) {
  plugin.SetSampleRate(48000.0);
  plugin.OnReset();
  std::vector<float> left(kEngineChunk), right(kEngineChunk), outLeft(kEngineChunk), outRight(kEngineChunk);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  std::int64_t n = 0;
  for (int chunk = 0; chunk < 12 * 48000 / kEngineChunk; ++chunk) {
    for (int i = 0; i < kEngineChunk; ++i, ++n) {
      const double t = static_cast<double>(n) / 48000.0;
      const double level = 0.05 + 0.2 * std::pow(std::sin(std::numbers::pi * 0.4 * t), 2.0);
      left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] =
          static_cast<float>(level * std::sin(2.0 * std::numbers::pi * 200.0 * t));
    }
    plugin.engine->Process(in, out, kEngineChunk, false, nullptr, false, false);
  }
}

void EditorFrame(benchmark::State& state) {
  const float scale = static_cast<float>(state.range(0)) / 100.f;
  Tamsel plugin;
  FillHistory(plugin);
  IGraphics* ui = plugin.OpenUI();
  if (!ui) {
    state.SkipWithError("no editor");
    return;
  }
  ui->Resize(ui->Width(), ui->Height(), scale, false);
  std::vector<std::uint8_t> rgba;
  int width = 0, height = 0;
  if (!ui->RenderOffscreen(rgba, width, height)) { // the first frame also builds caches
    state.SkipWithError("no display or OpenGL: run under xvfb-run");
    plugin.CloseWindow();
    return;
  }
  for (auto _ : state) {
    ui->RenderOffscreen(rgba, width, height);
    benchmark::DoNotOptimize(rgba.data());
  }
  state.counters["pixels"] = static_cast<double>(width) * height;
  plugin.CloseWindow();
}

} // namespace

BENCHMARK(EditorFrame)->Arg(100)->Arg(150)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
