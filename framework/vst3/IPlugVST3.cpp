// IPlugVST3: the component and audio-processor side (buses, set-up, activation, default state).
#include "IPlugVST3.h"

#include <algorithm>
#include <vector>

#include "StreamIO.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

SpeakerArrangement ArrangementFor(int channels) {
  switch (channels) {
  case 1:
    return SpeakerArr::kMono;
  case 2:
    return SpeakerArr::kStereo;
  default:
    return SpeakerArr::kEmpty;
  }
}

} // namespace

IPlugVST3::IPlugVST3(const InstanceInfo& info, const Config& config) : IPlugBase(info, config) {}

IPlugVST3::~IPlugVST3() = default;

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID queried, void** obj) {
  QUERY_INTERFACE(queried, obj, IComponent::iid, IComponent)
  QUERY_INTERFACE(queried, obj, IAudioProcessor::iid, IAudioProcessor)
  QUERY_INTERFACE(queried, obj, IProcessContextRequirements::iid, IProcessContextRequirements)
  return EditController::queryInterface(queried, obj);
}

// Host thread. The plug-in's constructor has declared its parameters by now.
tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  const tresult result = EditController::initialize(context);
  if (result != kResultOk)
    return result;
  try {
    DeclareBuses();
    DeclareParameters();
  } catch (...) { // nothing may unwind into the host
    audioInputs.clear();
    audioOutputs.clear();
    parameters.removeAll();
    EditController::terminate();
    return kOutOfMemory;
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::terminate() {
  audioInputs.clear();
  audioOutputs.clear();
  parameters.removeAll();
  return EditController::terminate();
}

void IPlugVST3::DeclareBuses() {
  audioInputs.clear();
  audioOutputs.clear();
  const int numInputs = std::min(MaxNBuses(ERoute::kInput), kMaxInputBuses);
  for (int b = 0; b < numInputs; ++b) {
    const int channels = MaxNChannelsForBus(ERoute::kInput, b);
    const SpeakerArrangement arr = ArrangementFor(channels);
    // The main bus is on by default; a sidechain waits until the host routes something to it.
    auto* bus = b == 0 ? new AudioBus(STR16("Input"), kMain, BusInfo::kDefaultActive, arr)
                       : new AudioBus(STR16("Sidechain"), kAux, 0, arr);
    bus->setActive(b == 0);
    inputBusActive[static_cast<std::size_t>(b)].store(b == 0, std::memory_order_relaxed);
    acceptedInputChannels[static_cast<std::size_t>(b)].store(channels, std::memory_order_relaxed);
    audioInputs.push_back(IPtr<Bus>(bus, false));
  }
  if (MaxNBuses(ERoute::kOutput) > 0) {
    auto* bus = new AudioBus(STR16("Output"), kMain, BusInfo::kDefaultActive,
                             ArrangementFor(MaxNChannelsForBus(ERoute::kOutput, 0)));
    bus->setActive(true);
    audioOutputs.push_back(IPtr<Bus>(bus, false));
  }
}

AudioBus* IPlugVST3::InputBus(int index) const {
  if (index < 0 || index >= static_cast<int>(audioInputs.size()))
    return nullptr;
  return static_cast<AudioBus*>(audioInputs[static_cast<std::size_t>(index)].get());
}

AudioBus* IPlugVST3::OutputBus(int index) const {
  if (index < 0 || index >= static_cast<int>(audioOutputs.size()))
    return nullptr;
  return static_cast<AudioBus*>(audioOutputs[static_cast<std::size_t>(index)].get());
}

bool IPlugVST3::IsInputBusActive(int bus) const {
  if (bus < 0 || bus >= kMaxInputBuses)
    return false;
  return inputBusActive[static_cast<std::size_t>(bus)].load(std::memory_order_relaxed);
}

int IPlugVST3::UsedInputChannels(const ProcessData& data, int bus) const {
  if (bus >= data.numInputs || !IsInputBusActive(bus))
    return 0;
  return std::min(data.inputs[bus].numChannels,
                  acceptedInputChannels[static_cast<std::size_t>(bus)].load(std::memory_order_relaxed));
}

tresult PLUGIN_API IPlugVST3::getControllerClassId(TUID) {
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setIoMode(IoMode) {
  return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getBusCount(MediaType type, BusDirection dir) {
  if (type != kAudio)
    return 0;
  return static_cast<int32>(dir == kInput ? audioInputs.size() : audioOutputs.size());
}

tresult PLUGIN_API IPlugVST3::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) {
  if (type != kAudio)
    return kInvalidArgument;
  AudioBus* bus = dir == kInput ? InputBus(index) : OutputBus(index);
  if (!bus)
    return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  return bus->getInfo(info) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
  return kNotImplemented;
}

// Host thread, while processing is off.
tresult PLUGIN_API IPlugVST3::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  if (type != kAudio)
    return kInvalidArgument;
  AudioBus* bus = dir == kInput ? InputBus(index) : OutputBus(index);
  if (!bus)
    return kInvalidArgument;
  bus->setActive(state);
  if (dir == kInput)
    inputBusActive[static_cast<std::size_t>(index)].store(state != 0, std::memory_order_relaxed);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  OnActivate(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns < 0 || numOuts < 0 || numIns > static_cast<int32>(audioInputs.size()) ||
      numOuts > static_cast<int32>(audioOutputs.size()) || (numIns > 0 && !inputs) ||
      (numOuts > 0 && !outputs))
    return kResultFalse;
  std::array<int, kMaxInputBuses> inChannels{};
  std::array<int, 1> outChannels{};
  for (int32 b = 0; b < numIns; ++b)
    inChannels[static_cast<std::size_t>(b)] = SpeakerArr::getChannelCount(inputs[b]);
  for (int32 b = 0; b < numOuts; ++b)
    outChannels[static_cast<std::size_t>(b)] = SpeakerArr::getChannelCount(outputs[b]);
  if (!IsSupportedArrangement(inChannels.data(), numIns, outChannels.data(), numOuts))
    return kResultFalse;
  for (int32 b = 0; b < numIns; ++b) {
    InputBus(b)->setArrangement(inputs[b]);
    acceptedInputChannels[static_cast<std::size_t>(b)].store(inChannels[static_cast<std::size_t>(b)],
                                                             std::memory_order_relaxed);
  }
  for (int32 b = 0; b < numOuts; ++b)
    OutputBus(b)->setArrangement(outputs[b]);
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
  AudioBus* bus = dir == kInput ? InputBus(index) : OutputBus(index);
  if (!bus)
    return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() {
  hostKnownLatency = GetLatency();
  return static_cast<uint32>(std::max(hostKnownLatency, 0));
}

// Host thread, while processing is off.
tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64)
    return kResultFalse;
  maxSamplesPerBlock.store(setup.maxSamplesPerBlock, std::memory_order_relaxed);
  sampleSize.store(setup.symbolicSampleSize, std::memory_order_relaxed);
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock);
  OnReset();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setProcessing(TBool state) {
  if (!state)
    OnReset();
  return kResultOk;
}

void IPlugVST3::SetLatency(int samples) {
  IPlugProcessor::SetLatency(samples);
  // Some hosts answer a restart by deactivating and reactivating, which calls this again: only a
  // real change may ask for one, or the two would loop.
  if (samples == hostKnownLatency || !componentHandler)
    return;
  hostKnownLatency = samples;
  componentHandler->restartComponent(kLatencyChanged);
}

tresult PLUGIN_API IPlugVST3::getState(IBStream* state) try {
  IByteChunk chunk;
  if (!state || !SerializeState(chunk))
    return kResultFalse;
  return WriteAll(state, chunk.GetData(), chunk.Size()) ? kResultOk : kResultFalse;
} catch (...) {
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setState(IBStream* state) try {
  if (!state)
    return kResultFalse;
  IByteChunk chunk;
  std::array<std::uint8_t, 256> part{};
  for (;;) {
    int32 got = 0;
    const tresult result = state->read(part.data(), static_cast<int32>(part.size()), &got);
    if (result != kResultOk || got <= 0 || got > static_cast<int32>(part.size()))
      break;
    chunk.PutBytes(part.data(), got);
  }
  if (UnserializeState(chunk, 0) != chunk.Size())
    return kResultFalse;
  for (int i = 0; i < NParams(); ++i)
    if (Parameter* p = parameters.getParameter(static_cast<ParamID>(i)))
      p->setNormalized(GetParam(i)->GetNormalized());
  return kResultOk;
} catch (...) {
  return kResultFalse;
}

// A single-component effect has no separate controller state: the component state is all of it.
tresult PLUGIN_API IPlugVST3::setComponentState(IBStream*) {
  return kResultOk;
}
