#include "IPlugAPP.h"

#include <algorithm>

IPlugAPP::IPlugAPP(const InstanceInfo& info, const Config& config) : IPlugBase(info, config) {}

void IPlugAPP::SetHost(const char* name, int version) {
  hostName = name ? name : "";
  hostVersion = version;
}

void IPlugAPP::DeliverMidi() {
  IMidiMsg msg;
  while (midiMsgsFromCallback.Pop(msg))
    ProcessMidiMsg(msg);
  SysExData entry;
  while (sysExMsgsFromCallback.Pop(entry))
    ProcessSysEx(ISysEx{entry.offset, entry.data, entry.size});
}

void IPlugAPP::AppProcess(double** inputs, double** outputs, int nFrames) {
  DeliverMidi();
  if (nFrames < 1)
    return;
  const int numInputs = std::min(MaxNChannels(ERoute::kInput), static_cast<int>(kMaxChannelSlots));
  const int numOutputs = std::min(MaxNChannels(ERoute::kOutput), static_cast<int>(kMaxChannelSlots));
  auto channel = [](double** list, int c) { return list ? list[c] : nullptr; };

  // Each bus points at its own range of the slot pointers, as a multi-bus host would lay it out.
  std::array<float*, kMaxChannelSlots> inSlots{}, outSlots{};
  for (int c = 0; c < numInputs; ++c)
    inSlots[c] = channel(inputs, c) ? inputScratch[c].data() : nullptr;
  for (int c = 0; c < numOutputs; ++c)
    outSlots[c] = channel(outputs, c) ? outputScratch[c].data() : nullptr;
  std::array<AudioBusBuffers32, kMaxBuses> inBuses{}, outBuses{};
  const int numInBuses = MaxNBuses(ERoute::kInput), numOutBuses = MaxNBuses(ERoute::kOutput);
  for (int b = 0; b < numInBuses; ++b)
    inBuses[b] = {MaxNChannelsForBus(ERoute::kInput, b), &inSlots[FirstSlotOfBus(ERoute::kInput, b)]};
  for (int b = 0; b < numOutBuses; ++b)
    outBuses[b] = {MaxNChannelsForBus(ERoute::kOutput, b), &outSlots[FirstSlotOfBus(ERoute::kOutput, b)]};

  for (int s = 0; s < nFrames; s += kConvertFrames) {
    const int n = std::min(kConvertFrames, nFrames - s);
    for (int c = 0; c < numInputs; ++c)
      if (const double* source = channel(inputs, c))
        for (int j = 0; j < n; ++j)
          inputScratch[c][j] = static_cast<float>(source[s + j]);
    ProcessBuffers(inBuses.data(), numInBuses, outBuses.data(), numOutBuses, n);
    for (int c = 0; c < numOutputs; ++c)
      if (double* dest = channel(outputs, c))
        for (int j = 0; j < n; ++j)
          dest[s + j] = outputScratch[c][j];
  }
}
