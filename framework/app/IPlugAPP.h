// The standalone base: the plug-in side of a desktop host that owns the audio and MIDI devices.
// The host hands it 64-bit device channels in fixed blocks; MIDI arrives on the host's MIDI
// thread through two lock-free queues that the audio thread drains at the start of every block.
#pragma once

#include <array>
#include <string>

#include "IMidiMsg.h"
#include "IPlugBase.h"
#include "IPlugQueue.h"

class IPlugAPP : public IPlugBase {
public:
  static constexpr std::size_t kMidiQueueSize = 32;
  static constexpr std::size_t kSysExQueueSize = 4;
  // Frames converted per pass; any block size is accepted.
  static constexpr int kConvertFrames = 512;

  IPlugAPP(const InstanceInfo& info, const Config& config);

  // UI thread, before processing starts. version: major in bits 16 and up, minor in 8-15,
  // patch in 0-7.
  void SetHost(const char* name, int version);
  const std::string& GetHostName() const { return hostName; }
  int GetHostVersion() const { return hostVersion; }

  // Audio thread. inputs and outputs each hold MaxNChannels entries of their route, or are
  // absent; a null entry is a channel the device does not offer and counts as not connected.
  // Hands the queued MIDI to the plug-in, then runs nFrames through ProcessBlock in 32 bits.
  // Allocates nothing.
  void AppProcess(double** inputs, double** outputs, int nFrames);

  // Audio thread: one call per queued message, in arrival order, at the start of AppProcess.
  virtual void ProcessMidiMsg(const IMidiMsg&) {}
  virtual void ProcessSysEx(const ISysEx&) {}

  // Written by the host's MIDI thread only, read by the audio thread only.
  IPlugQueue<IMidiMsg, kMidiQueueSize> midiMsgsFromCallback;
  IPlugQueue<SysExData, kSysExQueueSize> sysExMsgsFromCallback;

private:
  void DeliverMidi();

  std::string hostName;
  int hostVersion = 0;
  // Audio thread: the 32-bit copies of the device channels.
  std::array<std::array<float, kConvertFrames>, kMaxChannelSlots> inputScratch{};
  std::array<std::array<float, kConvertFrames>, kMaxChannelSlots> outputScratch{};
};
