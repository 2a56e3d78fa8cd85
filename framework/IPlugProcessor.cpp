#include "IPlugProcessor.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t R(ERoute route) {
  return static_cast<std::size_t>(route);
}
} // namespace

IPlugProcessor::IPlugProcessor(const Config& config)
    : ioConfigs(ParseChannelIO(config.channelIOStr)), reportedLatency(config.latency) {
  for (const IOConfig& io : ioConfigs) {
    for (std::size_t r = 0; r < 2; ++r) {
      const std::vector<int>& buses = r == 0 ? io.inputBuses : io.outputBuses;
      for (std::size_t b = 0; b < buses.size() && b < kMaxBuses; ++b)
        busWidths[r][b] = std::max(busWidths[r][b], buses[b]);
    }
  }
  for (std::size_t r = 0; r < 2; ++r) {
    int slot = 0;
    for (int b = 0; b < kMaxBuses; ++b) {
      busSlots[r][b] = slot;
      slot = std::min(slot + busWidths[r][b], kMaxChannelSlots);
    }
    busSlots[r][kMaxBuses] = slot;
  }
}

void IPlugProcessor::ProcessBlock(float**, float** outputs, int nFrames) {
  if (nFrames < 1)
    return;
  for (int c = 0; c < kMaxChannelSlots; ++c)
    if (outputs[c])
      std::memset(outputs[c], 0, sizeof(float) * static_cast<std::size_t>(nFrames));
}

void IPlugProcessor::AttachBuses(ERoute route, const AudioBusBuffers32* buses, int numBuses) {
  channelSlots[R(route)].fill(nullptr);
  slotConnected[R(route)].fill(false);
  if (!buses)
    return;
  const int n = std::min(numBuses, kMaxBuses);
  for (int b = 0; b < n; ++b) {
    const int first = busSlots[R(route)][b];
    const int width = busSlots[R(route)][b + 1] - first;
    const int channels = std::min(buses[b].numChannels, width);
    for (int c = 0; c < channels; ++c) {
      float* samples = buses[b].channels ? buses[b].channels[c] : nullptr;
      channelSlots[R(route)][first + c] = samples;
      slotConnected[R(route)][first + c] = samples != nullptr;
    }
  }
}

void IPlugProcessor::ProcessBuffers(const AudioBusBuffers32* inputBuses, int numInputBuses,
                                    const AudioBusBuffers32* outputBuses, int numOutputBuses, int nFrames) {
  AttachBuses(ERoute::kInput, inputBuses, numInputBuses);
  AttachBuses(ERoute::kOutput, outputBuses, numOutputBuses);
  ProcessBlock(channelSlots[R(ERoute::kInput)].data(), channelSlots[R(ERoute::kOutput)].data(), nFrames);
}

bool IPlugProcessor::IsChannelConnected(ERoute route, int channel) const {
  if (channel < 0 || channel >= kMaxChannelSlots)
    return false;
  return slotConnected[R(route)][channel];
}

int IPlugProcessor::NChansConnected(ERoute route) const {
  return static_cast<int>(std::count(slotConnected[R(route)].begin(), slotConnected[R(route)].end(), true));
}

void IPlugProcessor::SetChannelConnections(ERoute route, int first, int count, bool isConnected) {
  for (int c = std::max(first, 0); c < first + count && c < kMaxChannelSlots; ++c)
    slotConnected[R(route)][c] = isConnected;
}

int IPlugProcessor::MaxNBuses(ERoute route) const {
  int most = 0;
  for (const IOConfig& io : ioConfigs)
    most = std::max(most, static_cast<int>(R(route) == 0 ? io.inputBuses.size() : io.outputBuses.size()));
  return std::min(most, kMaxBuses);
}

int IPlugProcessor::MaxNChannelsForBus(ERoute route, int bus) const {
  if (bus < 0 || bus >= kMaxBuses)
    return 0;
  return busWidths[R(route)][bus];
}

int IPlugProcessor::MaxNChannels(ERoute route) const {
  return busSlots[R(route)][kMaxBuses];
}

int IPlugProcessor::FirstSlotOfBus(ERoute route, int bus) const {
  if (bus < 0 || bus > kMaxBuses)
    return -1;
  return busSlots[R(route)][bus];
}

bool IPlugProcessor::IsSupportedArrangement(const int* inputChannels, int numInputBuses,
                                            const int* outputChannels, int numOutputBuses) const {
  return MatchesIOConfig(ioConfigs, inputChannels, numInputBuses, outputChannels, numOutputBuses);
}
