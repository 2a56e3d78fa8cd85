// The standalone program's host object. It stands in for a host application: it owns the
// plug-in, the audio library object and the two MIDI library objects, the settings records and
// the device and port lists. One per process, reached through hostInstance.
//
// Threads: everything runs on the UI thread except AudioCallback (the audio library's thread)
// and MidiCallback (the MIDI library's thread). They share only the atomic flags and counters
// below; the stream fields are set by the UI thread while no stream runs.
#pragma once

#include <RtAudio.h>
#include <RtMidi.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppState.h"
#include "BlockFifo.h"
#include "IPlugAPP.h"

class AppHost {
public:
  static constexpr unsigned kHostBlockSize = BlockFifo::kBlock;
  enum Direction : int { kMidiInput = 0, kMidiOutput = 1 };

  ~AppHost();
  AppHost(const AppHost&) = delete;
  AppHost& operator=(const AppHost&) = delete;

  // Start-up: settings, audio driver, device lists, MIDI, plug-in reset and activation. False
  // only when the settings cannot be loaded. Opens no stream.
  bool InitHost();
  // No-I/O mode: no audio or MIDI object, port or list entry ever exists.
  bool NoIO() const { return noIO || !screenshotPath.empty(); }

  // Audio devices (AudioDevices.cpp).
  bool ChangeAudioDriver();
  void ProbeAudioDevices();
  std::optional<std::uint32_t> FindAudioDeviceIndex(const std::string& name);
  std::string AudioDeviceName(std::uint32_t id);
  // The library's device count and device info (which may throw), asked again when JACK refused
  // the question.
  unsigned int AudioDeviceCount();
  RtAudio::DeviceInfo AudioDeviceInfo(std::uint32_t id);
  // Whether a library call that failed for the tries-th time is worth another, after a moment:
  // under JACK a few times. The library opens a client of one name for each device question and
  // for the stream, and a server, more often a busy one, can refuse the next open of that name
  // while it still tears the last one down.
  bool TryJackAgain(int tries);
  // Opens the stream for the devices of state; true at once in no-I/O mode.
  bool ApplyAudioSettings();

  // The stream (AudioStream.cpp).
  bool OpenAudioStream(std::uint32_t inputId, std::uint32_t outputId, std::uint32_t sampleRate,
                       std::uint32_t bufferSize);
  void CloseAudio();
  // Forgets the active settings when the library closed or stopped the stream by itself (under
  // JACK, when the server goes away), so that the next OK or Cancel opens one again.
  void ForgetStoppedStream();
  // Sets the stream state for channel counts and a device block: flags, counters, the block
  // buffering and the pointer lists. While no stream runs.
  void PrepareStream(int inputs, int outputs, unsigned deviceBlock);
  // Asks the callback for its faded-out last block and waits for it, at most limit. True when
  // it came.
  bool EndStream(std::chrono::milliseconds limit);
  // A few device periods: how long a close waits for the last block.
  std::chrono::milliseconds EndWaitLimit() const;

  // Audio thread: the stream callback and its body. The buffers hold 64-bit samples,
  // non-interleaved; the channel counts are those of PrepareStream.
  static int AudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames, double streamTime,
                           RtAudioStreamStatus status, void* userData) noexcept;
  void ProcessDeviceBlock(double* output, double* input, unsigned int nFrames);
  // In-place linear fade of a non-interleaved buffer over its n frames.
  static void ApplyFades(double* buffer, int channels, unsigned int n, bool fadeOut);
  // The audio library's error report: "\nerrorCallback: " text "\n\n" on standard error; on the
  // audio thread it is kept for the UI thread to write (AudioThreadReports.h).
  static void ErrorCallback(RtAudioError::Type type, const std::string& errorText) noexcept;

  // MIDI ports (MidiPorts.cpp). Directions: kMidiInput, kMidiOutput.
  bool InitMidi();
  void ProbeMidiPorts();
  // 0 for "off", n >= 1 for the library's port n - 1, -1 when the name is not a port.
  std::int32_t MidiPortNumber(int direction, const std::string& name);
  bool SelectMidiDevice(int direction, const std::string& name);
  // MIDI thread.
  static void MidiCallback(double timeStamp, std::vector<unsigned char>* message, void* userData) noexcept;
  void QueueMidi(const unsigned char* bytes, std::size_t size);

  // Settings file (SettingsFile.cpp).
  bool LoadSettings();
  // False when the file could not be replaced; the old one is then left as it was.
  bool SaveSettings();

  // Shows a message to the user: the main window sets this; without it the text goes to
  // standard error.
  std::function<void(const std::string& text, const std::string& caption)> messageBox;
  void ShowMessage(const std::string& text, const std::string& caption) const;

  std::unique_ptr<IPlugAPP> plugin;
  std::unique_ptr<RtAudio> audioIO;
  std::unique_ptr<RtMidiIn> midiIn;
  std::unique_ptr<RtMidiOut> midiOut;
  AppState state;
  AppState tempState;
  // The settings of the running stream; none while no stream runs.
  std::optional<AppState> activeState;
  double streamSampleRate = 44100.0;
  std::atomic<std::uint32_t> callbackCount{0}; // 1 once the first callback after an open is done
  unsigned int streamBufferSize = 512;         // the audio library may change it when opening
  std::atomic<bool> exiting{false};            // set first at destruction; MIDI is dropped
  std::atomic<bool> audioEnding{false};        // UI thread asks for the last, faded block
  std::atomic<bool> audioDone{false};          // the callback delivered it and plays silence
  bool noIO = false;
  std::optional<std::uint32_t> defaultInputDevice;
  std::optional<std::uint32_t> defaultOutputDevice;
  std::string iniPath;
  std::string screenshotPath;
  std::vector<std::uint32_t> audioInputIds;
  std::vector<std::uint32_t> audioOutputIds;
  std::vector<std::string> midiInputPorts;
  std::vector<std::string> midiOutputPorts;
  // One entry per plug-in channel; the callback points them at each 512-frame block.
  std::vector<double*> inputChannelPointers;
  std::vector<double*> outputChannelPointers;
  // Channels of the open stream: what the devices offer, up to the plug-in's maximum.
  int streamInputs = 0;
  int streamOutputs = 0;
  BlockFifo blocks;

private:
  friend AppHost* CreateHost();
  AppHost();

  RtAudio::Api DriverApi() const;
  bool midiCallbackInstalled = false;
  bool fadeInPending = false; // audio thread while a stream runs; set by PrepareStream
};

// The one host object; destroyed at process exit if still set.
extern std::unique_ptr<AppHost> hostInstance;

// Creates the host and its plug-in and makes it the hostInstance, destroying any previous one.
AppHost* CreateHost();

// The name the audio library gives a device, as the program shows and stores it: the text after
// the first colon, or the whole name.
std::string DeviceDisplayName(const std::string& libraryName);

// Channels to open on a side: as many as the device offers, up to the plug-in's maximum.
int StreamChannels(unsigned deviceChannels, int pluginChannels);
