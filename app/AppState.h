// The standalone program's device settings: one plain record, copied and compared field by field.
#pragma once

#include <cstdint>
#include <string>

struct AppState {
  std::string audioInputDevice = "Default Device";
  std::string audioOutputDevice = "Default Device";
  std::string midiInputDevice = "off";
  std::string midiOutputDevice = "off";
  std::uint32_t audioDriverType = 0; // position in AudioDriverList()
  std::uint32_t sampleRate = 44100;
  std::uint32_t bufferSize = 512;
  std::uint32_t midiInputChannel = 0; // 0: all channels, 1..16: that channel
  std::uint32_t midiOutputChannel = 0;
  std::uint32_t inputChannelLeft = 1; // device channels, counted from 1
  std::uint32_t inputChannelRight = 2;
  std::uint32_t outputChannelLeft = 1;
  std::uint32_t outputChannelRight = 2;

  bool operator==(const AppState&) const = default;
};

// The audio part: driver, devices, rate, buffer and the four channel choices.
bool AudioSettingsEqual(const AppState& a, const AppState& b);
// The MIDI part: ports and channels.
bool MidiSettingsEqual(const AppState& a, const AppState& b);
