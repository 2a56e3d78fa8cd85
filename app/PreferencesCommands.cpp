// The preferences dialog's commands: what each list does when the user picks an entry, and the
// Apply, OK and Cancel buttons.
#include <cstdio>
#include <exception>

#include "AppHost.h"
#include "PreferencesModel.h"

using namespace PreferencesControl;

namespace {

// Opens a port from a GTK handler: the library's error for the port is reported, not thrown.
void OpenMidiPort(AppHost& host, int direction, const std::string& name) {
  try {
    host.SelectMidiDevice(direction, name);
  } catch (const RtMidiError& error) {
    error.printMessage();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "\n%s\n\n", error.what());
  }
}

} // namespace

void PreferencesModel::Choose(int id, int position) {
  List(id).Select(position);
  Command(id, Notification::kSelectionChange);
}

void PreferencesModel::Command(int id, Notification notification) {
  AppState& state = host.state;
  const bool picked = notification == Notification::kSelectionChange;
  const PreferencesList* list = lists.count(id) ? &List(id) : nullptr;
  // The selection is public: one set past the list counts as none.
  const int position = list && list->selected < list->Count() ? list->selected : -1;
  switch (id) {
  case kDriverList:
    if (picked)
      ChooseDriver();
    break;
  case kInputDeviceList:
    if (picked && ComboText(*this, state.audioInputDevice, id, position)) {
      state.inputChannelLeft = 1;
      state.inputChannelRight = 2;
      FillAudioDeviceLists();
    }
    break;
  case kOutputDeviceList:
    if (picked && ComboText(*this, state.audioOutputDevice, id, position)) {
      state.outputChannelLeft = 1;
      state.outputChannelRight = 2;
      FillAudioDeviceLists();
    }
    break;
  case kBufferSizeList:
    if (picked && position >= 0)
      state.bufferSize = list->data[static_cast<std::size_t>(position)];
    break;
  case kSampleRateList:
    if (picked && position >= 0)
      state.sampleRate = list->data[static_cast<std::size_t>(position)];
    break;
  case kInputLeftList:
    if (picked)
      ChooseLeftChannel(kInputLeftList, kInputRightList, state.inputChannelLeft, state.inputChannelRight);
    break;
  case kInputRightList:
    ChooseRightChannel(kInputRightList, notification, state.inputChannelRight);
    break;
  case kOutputLeftList:
    if (picked)
      ChooseLeftChannel(kOutputLeftList, kOutputRightList, state.outputChannelLeft, state.outputChannelRight);
    break;
  case kOutputRightList:
    ChooseRightChannel(kOutputRightList, notification, state.outputChannelRight);
    break;
  case kMidiInputList:
    if (picked)
      SelectMidiPort(AppHost::kMidiInput, id, state.midiInputDevice);
    break;
  case kMidiOutputList:
    if (picked)
      SelectMidiPort(AppHost::kMidiOutput, id, state.midiOutputDevice);
    break;
  case kMidiInputChannelList:
    if (picked && position >= 0)
      state.midiInputChannel = static_cast<std::uint32_t>(position);
    break;
  case kMidiOutputChannelList:
    if (picked && position >= 0)
      state.midiOutputChannel = static_cast<std::uint32_t>(position);
    break;
  case kApplyButton:
    ApplyAudio();
    break;
  case kOk:
    Ok();
    break;
  case kCancel:
    Cancel();
    break;
  default:
    break;
  }
}

// A new driver has its own devices: the first of each side, and the output channels from 1.
void PreferencesModel::ChooseDriver() {
  AppState& state = host.state;
  const int position = List(kDriverList).selected;
  if (position < 0 || static_cast<std::uint32_t>(position) == state.audioDriverType)
    return;
  state.audioDriverType = static_cast<std::uint32_t>(position);
  host.ChangeAudioDriver();
  host.ProbeAudioDevices();
  if (!host.audioInputIds.empty())
    state.audioInputDevice = DeviceName(host.audioInputIds.front());
  if (!host.audioOutputIds.empty())
    state.audioOutputDevice = DeviceName(host.audioOutputIds.front());
  state.outputChannelLeft = 1;
  state.outputChannelRight = 2;
  FillAudioControls();
}

// The right channel follows the left one: left p + 1, right p + 2.
void PreferencesModel::ChooseLeftChannel(int leftId, int rightId, std::uint32_t& left, std::uint32_t& right) {
  const int position = List(leftId).selected;
  if (position < 0)
    return;
  left = static_cast<std::uint32_t>(position) + 1;
  right = static_cast<std::uint32_t>(position) + 2;
  List(rightId).Select(position + 1);
}

// The right channel cannot be moved on its own: a pick snaps back to the stored channel. A list
// without a selection (a stored channel the device lacks) keeps the stored channel.
void PreferencesModel::ChooseRightChannel(int rightId, Notification notification, std::uint32_t& right) {
  PreferencesList& list = List(rightId);
  if (notification == Notification::kSelectionChange)
    list.Select(right >= 1 && right <= 0x7FFFFFFFu ? static_cast<int>(right) - 1 : -1);
  if (list.selected >= 0)
    right = static_cast<std::uint32_t>(list.selected) + 1;
}

// The port opens at once. A port that has gone away is stored as "off" by the host; the list
// then shows "off" too.
void PreferencesModel::SelectMidiPort(int direction, int listId, std::string& field) {
  PreferencesList& list = List(listId);
  if (!ComboText(*this, field, listId, list.selected))
    return;
  const std::string name = field;
  OpenMidiPort(host, direction, name);
  if (field != name)
    list.Select(list.FindExactIgnoringCase(field));
}

void PreferencesModel::ApplyAudio() {
  ++audioApplies;
  lastApplyResult = host.ApplyAudioSettings();
}

// The caller saves the settings after OK.
void PreferencesModel::Ok() {
  host.ForgetStoppedStream();
  if (host.activeState != host.state)
    ApplyAudio();
  endResult = kOk;
}

// Puts back the settings found at opening: the audio runs again with them, and a MIDI port
// chosen meanwhile gives way to the one that was open before. Nothing is saved. Settings that end
// as they were are not enough to do nothing: a driver chosen and chosen back, or an Apply, has
// replaced the stream found at opening.
void PreferencesModel::Cancel() {
  endResult = kCancel;
  host.ForgetStoppedStream();
  if (AudioSettingsEqual(host.state, host.tempState) && MidiSettingsEqual(host.state, host.tempState) &&
      host.activeState == activeAtOpening)
    return;
  const AppState edited = host.state;
  host.state = host.tempState;
  host.ChangeAudioDriver();
  host.ProbeAudioDevices();
  ApplyAudio();
  const struct {
    int direction;
    const std::string& before;
    const std::string& restored;
  } ports[] = {{AppHost::kMidiInput, edited.midiInputDevice, host.state.midiInputDevice},
               {AppHost::kMidiOutput, edited.midiOutputDevice, host.state.midiOutputDevice}};
  for (const auto& port : ports) {
    if (port.before != port.restored)
      OpenMidiPort(host, port.direction, std::string(port.restored));
  }
}
