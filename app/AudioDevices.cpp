// The audio library object, its device lists and the choice of devices from the settings.
#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "AppHost.h"
#include "AudioDrivers.h"

std::string DeviceDisplayName(const std::string& libraryName) {
  const std::size_t colon = libraryName.find(':');
  return colon == std::string::npos ? libraryName : libraryName.substr(colon + 1);
}

bool AppHost::TryJackAgain(int tries) {
  constexpr int kTries = 4; // no server at all costs only these few moments
  if (tries >= kTries || !audioIO || audioIO->getCurrentApi() != RtAudio::UNIX_JACK)
    return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return true;
}

unsigned int AppHost::AudioDeviceCount() {
  unsigned int count = audioIO->getDeviceCount();
  for (int tries = 1; count == 0 && TryJackAgain(tries); ++tries)
    count = audioIO->getDeviceCount();
  return count;
}

RtAudio::DeviceInfo AppHost::AudioDeviceInfo(std::uint32_t id) {
  RtAudio::DeviceInfo info = audioIO->getDeviceInfo(id);
  for (int tries = 1; !info.probed && TryJackAgain(tries); ++tries)
    info = audioIO->getDeviceInfo(id);
  return info;
}

bool AppHost::ChangeAudioDriver() {
  CloseAudio();
  audioIO.reset();
  if (NoIO())
    return true;
  if (state.audioDriverType >= AudioDriverList().size())
    state.audioDriverType = 0;
  try {
    audioIO = std::make_unique<RtAudio>(DriverApi());
  } catch (const RtAudioError& error) {
    ErrorCallback(error.getType(), error.getMessage());
  } catch (const std::exception& error) {
    ErrorCallback(RtAudioError::UNSPECIFIED, error.what());
  }
  // The library's error callback is handed over with each stream (openStream).
  return audioIO != nullptr;
}

// A new list each time, and the defaults from this probe only: a device that has gone away is
// no longer the default.
void AppHost::ProbeAudioDevices() {
  audioInputIds.clear();
  audioOutputIds.clear();
  defaultInputDevice.reset();
  defaultOutputDevice.reset();
  if (!audioIO)
    return;
  unsigned int count = 0;
  try {
    count = AudioDeviceCount();
  } catch (const RtAudioError& error) {
    ErrorCallback(error.getType(), error.getMessage());
  }
  for (unsigned int id = 0; id < count; ++id) {
    try {
      const RtAudio::DeviceInfo info = AudioDeviceInfo(id);
      if (info.inputChannels > 0)
        audioInputIds.push_back(id);
      if (info.outputChannels > 0)
        audioOutputIds.push_back(id);
      if (info.isDefaultInput)
        defaultInputDevice = id;
      if (info.isDefaultOutput)
        defaultOutputDevice = id;
    } catch (const RtAudioError& error) {
      ErrorCallback(error.getType(), error.getMessage());
    }
  }
}

std::optional<std::uint32_t> AppHost::FindAudioDeviceIndex(const std::string& name) {
  if (!audioIO)
    return std::nullopt;
  try {
    const unsigned int count = AudioDeviceCount();
    for (unsigned int id = 0; id < count; ++id)
      if (DeviceDisplayName(AudioDeviceInfo(id).name) == name)
        return id;
  } catch (const RtAudioError& error) {
    ErrorCallback(error.getType(), error.getMessage());
  }
  return std::nullopt;
}

std::string AppHost::AudioDeviceName(std::uint32_t id) {
  if (!audioIO)
    return {};
  try {
    return DeviceDisplayName(AudioDeviceInfo(id).name);
  } catch (const RtAudioError& error) {
    ErrorCallback(error.getType(), error.getMessage());
  }
  return {};
}

bool AppHost::ApplyAudioSettings() {
  if (NoIO())
    return true;
  std::optional<std::uint32_t> inputId = FindAudioDeviceIndex(state.audioInputDevice);
  std::optional<std::uint32_t> outputId = FindAudioDeviceIndex(state.audioOutputDevice);
  bool failed = false;
  bool inputFellBack = false;
  if (!inputId) {
    if (defaultInputDevice) {
      inputId = defaultInputDevice;
      inputFellBack = true;
      if (!audioInputIds.empty())
        state.audioInputDevice = AudioDeviceName(*inputId);
    } else {
      failed = true;
    }
  }
  if (!outputId) {
    if (defaultOutputDevice) {
      outputId = defaultOutputDevice;
      if (!audioOutputIds.empty())
        state.audioOutputDevice = AudioDeviceName(*outputId);
      SaveSettings();
    } else {
      failed = true;
      if (inputFellBack)
        SaveSettings();
    }
  } else if (inputFellBack) {
    SaveSettings();
  }
  if (failed)
    ShowMessage("Please check the audio settings", "Error");
  if (inputId && outputId)
    return OpenAudioStream(*inputId, *outputId, state.sampleRate, state.bufferSize);
  return false;
}
