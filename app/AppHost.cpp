#include "AppHost.h"

#include <cstdio>
#include <utility>

#include "AppFactory.h"
#include "AudioDrivers.h"

std::unique_ptr<AppHost> hostInstance;

AppHost::AppHost() {
  InstanceInfo info;
  info.appHost = this;
  plugin = CreatePlug(info);
}

AppHost* CreateHost() {
  std::unique_ptr<AppHost> host(new AppHost());
  AppHost* created = host.get();
  std::unique_ptr<AppHost> previous = std::exchange(hostInstance, std::move(host));
  previous.reset(); // its stream is closed and its devices released before we go on
  return created;
}

bool AppHost::InitHost() {
  plugin->SetHost("standalone", plugin->GetPluginVersion());
  if (!LoadSettings())
    return false;
  ChangeAudioDriver();
  ProbeAudioDevices();
  InitMidi();
  ProbeMidiPorts();
  // Copies: selecting may replace the stored name.
  const std::string midiInputName = state.midiInputDevice;
  SelectMidiDevice(kMidiInput, midiInputName);
  const std::string midiOutputName = state.midiOutputDevice;
  SelectMidiDevice(kMidiOutput, midiOutputName);
  plugin->OnParamReset(kReset);
  plugin->OnActivate(true);
  return true;
}

// Nothing that a library thread could still use is deleted before that thread is stopped:
// MIDI is dropped first, the stream is ended and closed, then the objects go, the plug-in last.
AppHost::~AppHost() {
  exiting.store(true, std::memory_order_release);
  CloseAudio();
  try {
    if (midiIn && midiCallbackInstalled)
      midiIn->cancelCallback();
    if (midiOut)
      midiOut->closePort();
  } catch (const RtMidiError& error) {
    error.printMessage();
  }
  audioInputIds.clear();
  audioOutputIds.clear();
  midiInputPorts.clear();
  midiOutputPorts.clear();
  midiOut.reset();
  midiIn.reset();
  audioIO.reset();
  plugin.reset();
}

RtAudio::Api AppHost::DriverApi() const {
  const std::vector<AudioDriver>& drivers = AudioDriverList();
  return state.audioDriverType < drivers.size() ? drivers[state.audioDriverType].api : drivers.front().api;
}

void AppHost::ShowMessage(const std::string& text, const std::string& caption) const {
  if (messageBox)
    messageBox(text, caption);
  else
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
