// Cost of process() through the loaded TAMSEL module (32-bit and 64-bit blocks of 512 frames,
// stereo sidechain, Mix Reference) next to the bare engine on the same signal. The module is
// loaded as a Linux host loads it: dlopen, ModuleEntry, GetPluginFactory.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "Params.h"
#include "RiderEngine.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

using namespace Steinberg;
namespace vst = Steinberg::Vst;

namespace {

constexpr int kFrames = 512;
constexpr double kRate = 48000.0;

// Vocal-like main input (a tone with a syllable envelope) and a louder instrumental reference.
struct Signal {
  std::vector<double> main[2], side[2];
  Signal() {
    for (auto* channels : {main, side})
      for (int c = 0; c < 2; ++c)
        channels[c].resize(kFrames);
    for (int i = 0; i < kFrames; ++i) {
      const double t = i / kRate;
      const double envelope = 0.5 + 0.5 * std::sin(2.0 * std::numbers::pi * 4.0 * t);
      main[0][static_cast<std::size_t>(i)] = 0.2 * envelope * std::sin(2.0 * std::numbers::pi * 220.0 * t);
      main[1][static_cast<std::size_t>(i)] = 0.9 * main[0][static_cast<std::size_t>(i)];
      side[0][static_cast<std::size_t>(i)] = 0.3 * std::sin(2.0 * std::numbers::pi * 110.0 * t);
      side[1][static_cast<std::size_t>(i)] = 0.3 * std::sin(2.0 * std::numbers::pi * 165.0 * t);
    }
  }
};

void Fail(const char* what) {
  std::fprintf(stderr, "module_bench: %s\n", what);
  std::exit(1);
}

class Module {
public:
  Module() {
    handle = dlopen(TAMSEL_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      Fail(dlerror());
    auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(handle, "ModuleEntry"));
    auto getFactory = reinterpret_cast<IPluginFactory* (*)()>(dlsym(handle, "GetPluginFactory"));
    if (!entry || !getFactory || !entry(handle))
      Fail("module entry");
    factory = getFactory();
    PClassInfo info;
    if (!factory || factory->getClassInfo(0, &info) != kResultOk)
      Fail("class info");
    void* obj = nullptr;
    if (factory->createInstance(info.cid, vst::IComponent::iid, &obj) != kResultOk)
      Fail("createInstance");
    component = static_cast<vst::IComponent*>(obj);
    component->initialize(&host);
    component->queryInterface(vst::IAudioProcessor::iid, &obj);
    processor = static_cast<vst::IAudioProcessor*>(obj);
    component->queryInterface(vst::IEditController::iid, &obj);
    controller = static_cast<vst::IEditController*>(obj);
  }
  ~Module() {
    processor->setProcessing(false);
    component->setActive(false);
    controller->release();
    processor->release();
    component->terminate();
    component->release();
    factory->release();
    reinterpret_cast<bool (*)()>(dlsym(handle, "ModuleExit"))();
    dlclose(handle);
  }

  void Start(int32 sampleSize) {
    controller->setParamNormalized(kMode, 1.0); // Mix Reference
    component->activateBus(vst::kAudio, vst::kInput, 1, true);
    vst::ProcessSetup setup{vst::kRealtime, sampleSize, kFrames, kRate};
    if (processor->setupProcessing(setup) != kResultOk)
      Fail("setupProcessing");
    component->setActive(true);
    processor->setProcessing(true);
  }

  vst::IComponent* component = nullptr;
  vst::IAudioProcessor* processor = nullptr;
  vst::IEditController* controller = nullptr;

private:
  void* handle = nullptr;
  IPluginFactory* factory = nullptr;
  vst::HostApplication host;
};

template <class Sample> void ModuleProcess(benchmark::State& state) {
  const Signal signal;
  Module module;
  module.Start(sizeof(Sample) == 4 ? vst::kSample32 : vst::kSample64);
  std::vector<Sample> main[2], side[2], out[2];
  for (int c = 0; c < 2; ++c) {
    main[c].assign(signal.main[c].begin(), signal.main[c].end());
    side[c].assign(signal.side[c].begin(), signal.side[c].end());
    out[c].assign(kFrames, Sample(0));
  }
  Sample* mainPointers[2] = {main[0].data(), main[1].data()};
  Sample* sidePointers[2] = {side[0].data(), side[1].data()};
  Sample* outPointers[2] = {out[0].data(), out[1].data()};
  vst::AudioBusBuffers inputs[2]{}, outputs[1]{};
  inputs[0].numChannels = inputs[1].numChannels = outputs[0].numChannels = 2;
  if constexpr (sizeof(Sample) == 4) {
    inputs[0].channelBuffers32 = mainPointers;
    inputs[1].channelBuffers32 = sidePointers;
    outputs[0].channelBuffers32 = outPointers;
  } else {
    inputs[0].channelBuffers64 = mainPointers;
    inputs[1].channelBuffers64 = sidePointers;
    outputs[0].channelBuffers64 = outPointers;
  }
  vst::ProcessData data{};
  data.processMode = vst::kRealtime;
  data.symbolicSampleSize = sizeof(Sample) == 4 ? vst::kSample32 : vst::kSample64;
  data.numSamples = kFrames;
  data.numInputs = 2;
  data.numOutputs = 1;
  data.inputs = inputs;
  data.outputs = outputs;

  for (auto _ : state) {
    if (module.processor->process(data) != kResultOk)
      Fail("process");
    benchmark::DoNotOptimize(out[0].data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}

void BareEngine(benchmark::State& state) {
  const Signal signal;
  std::unique_ptr<RiderEngine> engine;
  MakeRiderEngine(engine);
  ParamVector params = kParamDefaults;
  params[kMode] = 1.0f;
  engine->SetParams(params);
  engine->SetSampleRate(kRate);
  std::vector<float> main[2], side[2], out[2];
  for (int c = 0; c < 2; ++c) {
    main[c].assign(signal.main[c].begin(), signal.main[c].end());
    side[c].assign(signal.side[c].begin(), signal.side[c].end());
    out[c].assign(kFrames, 0.0f);
  }
  const float* mainIn[2] = {main[0].data(), main[1].data()};
  const float* sideIn[2] = {side[0].data(), side[1].data()};
  float* outPointers[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    engine->Process(mainIn, outPointers, kFrames, false, sideIn, true, false);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  DestroyRiderEngine(engine);
}

} // namespace

BENCHMARK(BareEngine);
BENCHMARK(ModuleProcess<float>)->Name("ModuleProcess32");
BENCHMARK(ModuleProcess<double>)->Name("ModuleProcess64");

BENCHMARK_MAIN();
