#include "ModuleHost.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;

namespace {

Vst::SpeakerArrangement ArrangementOf(int channels) {
  return channels == 0   ? Vst::SpeakerArr::kEmpty
         : channels == 1 ? Vst::SpeakerArr::kMono
                         : Vst::SpeakerArr::kStereo;
}

} // namespace

LoadedModule::LoadedModule() {
  handle = dlopen(TAMSEL_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    ADD_FAILURE() << "dlopen: " << dlerror();
    return;
  }
  auto entry = reinterpret_cast<bool (*)(void*)>(Symbol("ModuleEntry"));
  auto getFactory = reinterpret_cast<IPluginFactory* (*)()>(Symbol("GetPluginFactory"));
  if (!entry || !getFactory || !entry(handle)) {
    ADD_FAILURE() << "module entry failed";
    return;
  }
  factory = getFactory();
  PClassInfo info;
  if (factory && factory->countClasses() == 1 && factory->getClassInfo(0, &info) == kResultOk) {
    std::memcpy(classId, info.cid, sizeof(TUID));
  } else {
    ADD_FAILURE() << "no class";
  }
}

LoadedModule::~LoadedModule() {
  if (!handle)
    return;
  if (factory)
    factory->release();
  if (auto exitModule = reinterpret_cast<bool (*)()>(Symbol("ModuleExit"))) {
    EXPECT_TRUE(exitModule());
  }
  dlclose(handle);
}

void* LoadedModule::Symbol(const char* name) const {
  return handle ? dlsym(handle, name) : nullptr;
}

PluginInstance::PluginInstance(LoadedModule& module, FUnknown* context) {
  void* obj = nullptr;
  if (!module.Factory() ||
      module.Factory()->createInstance(module.ClassId(), Vst::IComponent::iid, &obj) != kResultOk || !obj) {
    ADD_FAILURE() << "createInstance";
    return;
  }
  component = static_cast<Vst::IComponent*>(obj);
  EXPECT_EQ(component->initialize(context ? context : &hostContext), kResultOk);
  EXPECT_EQ(component->queryInterface(Vst::IAudioProcessor::iid, &obj), kResultOk);
  processor = static_cast<Vst::IAudioProcessor*>(obj);
  EXPECT_EQ(component->queryInterface(Vst::IEditController::iid, &obj), kResultOk);
  controller = static_cast<Vst::IEditController*>(obj);
  controller->setComponentHandler(&handler);
}

PluginInstance::~PluginInstance() {
  if (component) {
    if (active)
      Stop();
    controller->setComponentHandler(nullptr);
    controller->release();
    processor->release();
    EXPECT_EQ(component->terminate(), kResultOk);
    component->release();
  }
}

void PluginInstance::Start(int32 sampleSize, int32 maxBlock, bool sidechain, double sampleRate) {
  ASSERT_EQ(component->activateBus(Vst::kAudio, Vst::kInput, 1, sidechain), kResultOk);
  Vst::ProcessSetup setup{Vst::kRealtime, sampleSize, maxBlock, sampleRate};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  ASSERT_EQ(component->setActive(true), kResultOk);
  ASSERT_EQ(processor->setProcessing(true), kResultOk);
  active = true;
}

void PluginInstance::Stop() {
  EXPECT_EQ(processor->setProcessing(false), kResultOk);
  EXPECT_EQ(component->setActive(false), kResultOk);
  active = false;
}

bool PluginInstance::SetArrangement(int mainChannels, int sideChannels, int outChannels) {
  Vst::SpeakerArrangement ins[2] = {ArrangementOf(mainChannels), ArrangementOf(sideChannels)};
  Vst::SpeakerArrangement outs[1] = {ArrangementOf(outChannels)};
  return processor->setBusArrangements(ins, 2, outs, 1) == kResultTrue;
}

std::vector<unsigned char> PluginInstance::State() {
  MemoryStream stream;
  EXPECT_EQ(component->getState(&stream), kResultOk);
  const auto* data = reinterpret_cast<const unsigned char*>(stream.getData());
  return std::vector<unsigned char>(data, data + stream.getSize());
}

tresult PluginInstance::Restore(const std::vector<unsigned char>& bytes, int bytesPerRead) {
  ChunkedStream stream(bytes, bytesPerRead);
  return component->setState(&stream);
}

template <class Sample>
AudioBlock<Sample>::AudioBlock(int frames, int mainChannels, int sideChannels, int outChannels)
    : main(static_cast<std::size_t>(mainChannels), std::vector<Sample>(static_cast<std::size_t>(frames))),
      side(static_cast<std::size_t>(sideChannels), std::vector<Sample>(static_cast<std::size_t>(frames))),
      out(static_cast<std::size_t>(outChannels), std::vector<Sample>(static_cast<std::size_t>(frames))) {
  for (auto& c : main)
    mainPointers.push_back(c.data());
  for (auto& c : side)
    sidePointers.push_back(c.data());
  for (auto& c : out)
    outPointers.push_back(c.data());
  auto attach = [](Vst::AudioBusBuffers& bus, std::vector<Sample*>& pointers) {
    bus.numChannels = static_cast<int32>(pointers.size());
    if constexpr (sizeof(Sample) == 4)
      bus.channelBuffers32 = pointers.data();
    else
      bus.channelBuffers64 = pointers.data();
  };
  attach(inputs[0], mainPointers);
  attach(inputs[1], sidePointers);
  attach(outputs[0], outPointers);
  data.processMode = Vst::kRealtime;
  data.symbolicSampleSize = sizeof(Sample) == 4 ? Vst::kSample32 : Vst::kSample64;
  data.numSamples = frames;
  data.numInputs = 2;
  data.numOutputs = 1;
  data.inputs = inputs;
  data.outputs = outputs;
}

template class AudioBlock<float>;
template class AudioBlock<double>;

double Sine(int frame, double levelDb, double hz) {
  return std::pow(10.0, levelDb / 20.0) * std::sin(2.0 * std::numbers::pi * hz * frame / 48000.0);
}
