// IPlugVST3: the audio-thread side. Host edge cases (malformed blocks, missing or inactive buses,
// silence flags) are settled here so the plug-in's block function never sees them.
#include <cstring>

#include "IPlugVST3.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <class Sample> bool ChannelsPresent(Sample** channels, int32 numChannels) {
  if (!channels)
    return false;
  for (int32 c = 0; c < numChannels; ++c)
    if (!channels[c])
      return false;
  return true;
}

template <class Sample> bool AllZero(const Sample* samples, int32 frames) {
  for (int32 i = 0; i < frames; ++i)
    if (samples[i] != Sample(0))
      return false; // -0.0 compares equal, NaN does not
  return true;
}

} // namespace

// Audio thread.
tresult IPlugVST3::CheckProcessData(const ProcessData& data) const {
  if (data.numSamples < 0 || data.numSamples > MaxSamplesPerBlock())
    return kInvalidArgument;
  if (data.numInputs < 0 || data.numInputs > static_cast<int32>(audioInputs.size()))
    return kInvalidArgument;
  if (data.numOutputs < 0 || data.numOutputs > static_cast<int32>(audioOutputs.size()))
    return kInvalidArgument;
  if ((data.numInputs != 0 && !data.inputs) || (data.numOutputs != 0 && !data.outputs))
    return kInvalidArgument;
  if (data.symbolicSampleSize != SampleSize())
    return kInvalidArgument;

  const bool wide = data.symbolicSampleSize == kSample64;
  auto busValid = [&](const AudioBusBuffers& bus, ERoute route, int index, bool checkPointers) {
    if (bus.numChannels < 0 || bus.numChannels > MaxNChannelsForBus(route, index))
      return false;
    if (!checkPointers || data.numSamples == 0 || bus.numChannels == 0)
      return true;
    return wide ? ChannelsPresent(bus.channelBuffers64, bus.numChannels)
                : ChannelsPresent(bus.channelBuffers32, bus.numChannels);
  };
  // A host may hand a sidechain it has not activated with null buffers; it is never read.
  for (int32 b = 0; b < data.numInputs; ++b)
    if (!busValid(data.inputs[b], ERoute::kInput, b, IsInputBusActive(b)))
      return kInvalidArgument;
  for (int32 b = 0; b < data.numOutputs; ++b)
    if (!busValid(data.outputs[b], ERoute::kOutput, b, true))
      return kInvalidArgument;
  return kResultOk;
}

// Audio thread: the framework always sees both input bus entries.
void IPlugVST3::ProcessBuffers32(const ProcessData& data) {
  std::array<AudioBusBuffers32, kMaxInputBuses> inputBuses{};
  for (int32 b = 0; b < data.numInputs && b < kMaxInputBuses; ++b) {
    const int channels = UsedInputChannels(data, b);
    if (channels == 0)
      continue;
    inputBuses[static_cast<std::size_t>(b)].numChannels = channels;
    inputBuses[static_cast<std::size_t>(b)].channels = data.inputs[b].channelBuffers32;
  }
  AudioBusBuffers32 outputBus{};
  if (data.numOutputs > 0) {
    outputBus.numChannels = data.outputs[0].numChannels;
    outputBus.channels = data.outputs[0].channelBuffers32;
  }
  ProcessBuffers(inputBuses.data(), kMaxInputBuses, &outputBus, data.numOutputs > 0 ? 1 : 0, data.numSamples);
}

// Audio thread.
void IPlugVST3::MarkSilentOutputs(ProcessData& data) {
  const bool wide = data.symbolicSampleSize == kSample64;
  for (int32 b = 0; b < data.numOutputs; ++b) {
    AudioBusBuffers& bus = data.outputs[b];
    bus.silenceFlags = 0;
    for (int32 c = 0; c < bus.numChannels && c < 64; ++c) {
      const bool silent = wide ? (bus.channelBuffers64 && bus.channelBuffers64[c] &&
                                  AllZero(bus.channelBuffers64[c], data.numSamples))
                               : (bus.channelBuffers32 && bus.channelBuffers32[c] &&
                                  AllZero(bus.channelBuffers32[c], data.numSamples));
      if (silent)
        bus.silenceFlags |= std::uint64_t{1} << c;
    }
  }
}

// Audio thread. A plug-in with its own parameter handling or 64-bit path overrides this.
tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  if (const tresult check = CheckProcessData(data); check != kResultOk)
    return check;
  if (data.numSamples == 0)
    return kResultOk;
  if (data.symbolicSampleSize == kSample32) {
    ProcessBuffers32(data);
  } else {
    for (int32 b = 0; b < data.numOutputs; ++b)
      for (int32 c = 0; c < data.outputs[b].numChannels; ++c)
        std::memset(data.outputs[b].channelBuffers64[c], 0,
                    sizeof(double) * static_cast<std::size_t>(data.numSamples));
  }
  MarkSilentOutputs(data);
  return kResultOk;
}
