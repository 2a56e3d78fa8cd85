// The processor side of a plug-in: sample rate, block size, reportedLatency, channel connections and the
// 32-bit audio routine that hands the slotConnected channels to ProcessBlock.
#pragma once

#include <array>
#include <vector>

#include "IPlugChannelIO.h"
#include "IPlugConfig.h"

// One bus of host buffers: numChannels pointers to 32-bit sample arrays.
struct AudioBusBuffers32 {
  int numChannels = 0;
  float** channels = nullptr;
};

class IPlugProcessor {
public:
  static constexpr int kMaxBuses = 4;
  static constexpr int kMaxChannelSlots = 8;

  explicit IPlugProcessor(const Config& config);
  virtual ~IPlugProcessor() = default;
  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  // Audio thread. inputs and outputs hold one pointer per channel slot (see ProcessBuffers);
  // a slot that is not slotConnected holds nullptr. The default writes silence.
  virtual void ProcessBlock(float** inputs, float** outputs, int nFrames);
  // Host thread, never while a block is processed.
  virtual void OnReset() {}
  virtual void OnActivate(bool) {}

  // Audio thread. Each bus owns a fixed range of channel channelSlots: bus b starts after the largest
  // channel counts of buses 0..b-1 in the channel I/O description, so with "2.2-2" the main
  // input is channelSlots 0-1 and the sidechain channelSlots 2-3 whatever the main bus holds. Records which
  // channelSlots are slotConnected, then calls ProcessBlock once. Allocates nothing.
  void ProcessBuffers(const AudioBusBuffers32* inputBuses, int numInputBuses,
                      const AudioBusBuffers32* outputBuses, int numOutputBuses, int nFrames);

  bool IsChannelConnected(ERoute route, int channel) const;
  int NInChansConnected() const { return NChansConnected(ERoute::kInput); }
  int NOutChansConnected() const { return NChansConnected(ERoute::kOutput); }
  // Marks channelSlots first..first+count-1 of a route slotConnected or not.
  void SetChannelConnections(ERoute route, int first, int count, bool slotConnected);

  double GetSampleRate() const { return currentSampleRate; }
  void SetSampleRate(double rate) { currentSampleRate = rate; }
  int GetBlockSize() const { return currentBlockSize; }
  void SetBlockSize(int frames) { currentBlockSize = frames; }
  virtual void SetLatency(int samples) { reportedLatency = samples; }
  int GetLatency() const { return reportedLatency; }

  // Channel I/O description, for a wrapper to declare buses and accept arrangements.
  int NIOConfigs() const { return static_cast<int>(ioConfigs.size()); }
  const IOConfig& GetIOConfig(int index) const { return ioConfigs[static_cast<std::size_t>(index)]; }
  int MaxNBuses(ERoute route) const;
  int MaxNChannelsForBus(ERoute route, int bus) const;
  int MaxNChannels(ERoute route) const;
  int FirstSlotOfBus(ERoute route, int bus) const;
  bool IsSupportedArrangement(const int* inputChannels, int numInputBuses, const int* outputChannels,
                              int numOutputBuses) const;

private:
  int NChansConnected(ERoute route) const;
  void AttachBuses(ERoute route, const AudioBusBuffers32* buses, int numBuses);

  std::vector<IOConfig> ioConfigs;
  std::array<std::array<int, kMaxBuses>, 2> busWidths{};    // largest channel count per bus
  std::array<std::array<int, kMaxBuses + 1>, 2> busSlots{}; // first slot per bus
  std::array<std::array<float*, kMaxChannelSlots>, 2> channelSlots{};
  std::array<std::array<bool, kMaxChannelSlots>, 2> slotConnected{};
  double currentSampleRate = 44100.0;
  int currentBlockSize = 1024;
  int reportedLatency = 0;
};
