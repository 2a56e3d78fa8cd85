// The MIDI input and output objects, their port lists, opening ports by name, and the input
// callback that queues messages for the audio thread.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "AppHost.h"

namespace {

constexpr const char* kMidiOff = "off";

// MIDI follows the audio system: JACK's own MIDI ports with the JACK driver, the ALSA sequencer
// otherwise; the other one only when the first cannot be created.
std::vector<RtMidi::Api> MidiApis(RtAudio::Api audioApi) {
  if (audioApi == RtAudio::UNIX_JACK)
    return {RtMidi::UNIX_JACK, RtMidi::LINUX_ALSA};
  return {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};
}

// The first API whose object can be created; each failure's text goes to standard error.
template <class Midi, class... Args>
std::unique_ptr<Midi> CreateMidi(const std::vector<RtMidi::Api>& apis, const Args&... args) {
  std::vector<RtMidi::Api> compiled;
  RtMidi::getCompiledApi(compiled);
  for (RtMidi::Api api : apis) {
    if (std::find(compiled.begin(), compiled.end(), api) == compiled.end())
      continue;
    try {
      return std::make_unique<Midi>(api, args...);
    } catch (const RtMidiError& error) {
      error.printMessage();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "\n%s\n\n", error.what());
    }
  }
  return nullptr;
}

// Clock, time code and the tick: the library drops them with its timing filter, but not on
// every backend.
bool IsTimingMessage(unsigned char status) {
  return status == 0xF1 || status == 0xF8 || status == 0xF9;
}

} // namespace

bool AppHost::InitMidi() {
  if (NoIO())
    return true;
  const std::vector<RtMidi::Api> apis = MidiApis(DriverApi());
  midiIn.reset();
  midiCallbackInstalled = false;
  midiIn = CreateMidi<RtMidiIn>(apis, std::string("RtMidi Input Client"), 100u);
  if (!midiIn)
    return false;
  midiOut.reset();
  midiOut = CreateMidi<RtMidiOut>(apis, std::string("RtMidi Output Client"));
  if (!midiOut)
    return false;
  midiIn->setCallback(&MidiCallback, this);
  midiCallbackInstalled = true;
  midiIn->ignoreTypes(false, true, false); // SysEx and active sensing pass; clock and time code do not
  return true;
}

void AppHost::ProbeMidiPorts() {
  midiInputPorts.clear();
  midiOutputPorts.clear();
  if (!midiIn || !midiOut)
    return;
  midiInputPorts.push_back(kMidiOff);
  for (unsigned int i = 0; i < midiIn->getPortCount(); ++i)
    midiInputPorts.push_back(midiIn->getPortName(i));
  midiOutputPorts.push_back(kMidiOff);
  for (unsigned int i = 0; i < midiOut->getPortCount(); ++i)
    midiOutputPorts.push_back(midiOut->getPortName(i));
}

std::int32_t AppHost::MidiPortNumber(int direction, const std::string& name) {
  if (name == kMidiOff)
    return 0;
  RtMidi* midi = direction == kMidiInput ? static_cast<RtMidi*>(midiIn.get()) : midiOut.get();
  if (!midi)
    return -1;
  const unsigned int count = midi->getPortCount();
  for (unsigned int i = 0; i < count; ++i)
    if (midi->getPortName(i) == name)
      return static_cast<std::int32_t>(i + 1);
  return -1;
}

// An error opening the port is not caught here: it reaches the caller.
bool AppHost::SelectMidiDevice(int direction, const std::string& name) {
  RtMidi* midi = direction == kMidiInput ? static_cast<RtMidi*>(midiIn.get()) : midiOut.get();
  if (!midi)
    return false;
  std::int32_t port = MidiPortNumber(direction, name);
  if (port == -1) {
    (direction == kMidiInput ? state.midiInputDevice : state.midiOutputDevice) = kMidiOff;
    SaveSettings();
    port = 0;
  }
  midi->closePort();
  if (port > 0)
    midi->openPort(static_cast<unsigned int>(port - 1),
                   direction == kMidiInput ? "RtMidi Input" : "RtMidi Output");
  return true;
}

void AppHost::MidiCallback(double, std::vector<unsigned char>* message, void* userData) noexcept {
  if (message && userData)
    static_cast<AppHost*>(userData)->QueueMidi(message->data(), message->size());
}

// MIDI thread: the only writer of the plug-in's two queues. Nothing is allocated; a full queue
// or an over-long message drops the message.
void AppHost::QueueMidi(const unsigned char* bytes, std::size_t size) {
  if (size == 0 || !bytes || exiting.load(std::memory_order_acquire))
    return;
  if (IsTimingMessage(bytes[0]))
    return;
  if (size <= 3) {
    IMidiMsg msg;
    msg.status = bytes[0];
    msg.data1 = size > 1 ? bytes[1] : 0;
    msg.data2 = size > 2 ? bytes[2] : 0;
    plugin->midiMsgsFromCallback.Push(msg);
  } else if (size <= static_cast<std::size_t>(SysExData::kMaxSize)) {
    SysExData entry;
    entry.size = static_cast<std::int32_t>(size);
    std::memcpy(entry.data, bytes, size);
    plugin->sysExMsgsFromCallback.Push(entry);
  }
}
