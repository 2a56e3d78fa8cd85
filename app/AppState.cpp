#include "AppState.h"

bool AudioSettingsEqual(const AppState& a, const AppState& b) {
  return a.audioDriverType == b.audioDriverType && a.audioInputDevice == b.audioInputDevice &&
         a.audioOutputDevice == b.audioOutputDevice && a.sampleRate == b.sampleRate &&
         a.bufferSize == b.bufferSize && a.inputChannelLeft == b.inputChannelLeft &&
         a.inputChannelRight == b.inputChannelRight && a.outputChannelLeft == b.outputChannelLeft &&
         a.outputChannelRight == b.outputChannelRight;
}

bool MidiSettingsEqual(const AppState& a, const AppState& b) {
  return a.midiInputDevice == b.midiInputDevice && a.midiOutputDevice == b.midiOutputDevice &&
         a.midiInputChannel == b.midiInputChannel && a.midiOutputChannel == b.midiOutputChannel;
}
