// The test host: loads the built TAMSEL.so as a Linux VST3 host does (dlopen, ModuleEntry,
// GetPluginFactory), creates instances, and builds real ProcessData blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "HostObjects.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

class LoadedModule {
public:
  LoadedModule();  // dlopen + ModuleEntry; fails the test when either fails
  ~LoadedModule(); // ModuleExit + dlclose
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  Steinberg::IPluginFactory* Factory() const { return factory; }
  Steinberg::TUID& ClassId() { return classId; }
  void* Symbol(const char* name) const;

private:
  void* handle = nullptr;
  Steinberg::IPluginFactory* factory = nullptr;
  Steinberg::TUID classId{};
};

// One plug-in instance: component, processor and controller of a single-component effect.
class PluginInstance {
public:
  // context: what initialize gets; the test host's application object when null.
  explicit PluginInstance(LoadedModule& module, Steinberg::FUnknown* context = nullptr);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  // Bus activation, setupProcessing, setActive(true), setProcessing(true).
  void Start(Steinberg::int32 sampleSize, Steinberg::int32 maxBlock = 1024, bool sidechain = true,
             double sampleRate = 48000.0);
  // setProcessing(false), setActive(false).
  void Stop();
  bool SetArrangement(int mainChannels, int sideChannels, int outChannels);

  std::vector<unsigned char> State(); // getState through the SDK's MemoryStream
  Steinberg::tresult Restore(const std::vector<unsigned char>& bytes, int bytesPerRead = 1 << 20);
  double Normalized(Steinberg::Vst::ParamID id) const { return controller->getParamNormalized(id); }

  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;
  HostComponentHandler handler;

private:
  Steinberg::Vst::HostApplication hostContext; // not reference counted: the host owns it
  bool active = false;
};

// Buffers of one block and the ProcessData that points at them: input bus 0 (main), input bus 1
// (sidechain), output bus 0.
template <class Sample> class AudioBlock {
public:
  AudioBlock(int frames, int mainChannels = 2, int sideChannels = 2, int outChannels = 2);
  AudioBlock(const AudioBlock&) = delete;
  AudioBlock& operator=(const AudioBlock&) = delete;

  std::vector<std::vector<Sample>> main, side, out;
  std::vector<Sample*> mainPointers, sidePointers, outPointers;
  Steinberg::Vst::AudioBusBuffers inputs[3]{}; // a third entry for the too-many-buses check
  Steinberg::Vst::AudioBusBuffers outputs[2]{};
  Steinberg::Vst::ProcessData data{};
};

extern template class AudioBlock<float>;
extern template class AudioBlock<double>;

// A sine at the given level (dBFS peak) and frequency, 48 kHz, starting at frame start.
double Sine(int frame, double levelDb, double hz = 220.0);
