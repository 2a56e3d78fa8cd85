// The preferences dialog's lists and how they are filled from the host's settings, device lists
// and port lists.
#include "PreferencesModel.h"

#include <exception>

#include "AppHost.h"
#include "AudioDrivers.h"

using namespace PreferencesControl;

namespace {

constexpr std::uint32_t kBufferSizes[] = {32, 64, 96, 128, 192, 256, 512, 1024, 2048, 4096, 8192};
constexpr int kMidiChannels = 16;

// A value as the dialog writes it: signed decimal.
std::string Decimal(std::uint32_t value) {
  return std::to_string(static_cast<std::int32_t>(value));
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  return true;
}

// A stored channel (counted from 1) as a list position; 0 gives none.
int ChannelPosition(std::uint32_t channel) {
  return channel >= 1 && channel <= 0x7FFFFFFFu ? static_cast<int>(channel) - 1 : -1;
}

} // namespace

void PreferencesList::Clear() {
  texts.clear();
  data.clear();
  selected = -1;
}

void PreferencesList::Append(const std::string& text, std::uint32_t itemData) {
  texts.push_back(text);
  data.push_back(itemData);
}

void PreferencesList::Select(int position) {
  selected = position >= 0 && position < Count() ? position : -1;
}

int PreferencesList::FindExact(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (texts[static_cast<std::size_t>(i)] == text)
      return i;
  return -1;
}

int PreferencesList::FindExactIgnoringCase(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (EqualIgnoringCase(texts[static_cast<std::size_t>(i)], text))
      return i;
  return -1;
}

PreferencesModel::PreferencesModel(AppHost& host_, DeviceInfoSource deviceInfo_)
    : host(host_), deviceInfo(std::move(deviceInfo_)) {
  if (!deviceInfo)
    deviceInfo = [this](std::uint32_t id) {
      // The audio object is looked up at each call: a driver change replaces it.
      if (host.audioIO) {
        try {
          return host.AudioDeviceInfo(id);
        } catch (const RtAudioError& error) {
          AppHost::ErrorCallback(error.getType(), error.getMessage());
        } catch (const std::exception& error) {
          AppHost::ErrorCallback(RtAudioError::UNSPECIFIED, error.what());
        }
      }
      return RtAudio::DeviceInfo{};
    };
  for (int id : kLists)
    lists[id];
}

std::string PreferencesModel::DeviceName(std::uint32_t id) {
  return DeviceDisplayName(deviceInfo(id).name);
}

void PreferencesModel::InitDialog() {
  PreferencesList& drivers = List(kDriverList);
  drivers.Clear();
  for (const AudioDriver& driver : AudioDriverList())
    drivers.Append(driver.name);
  drivers.Select(static_cast<int>(host.state.audioDriverType));
  FillAudioControls();
  FillMidiControls();
  host.tempState = host.state;
  host.ForgetStoppedStream();
  activeAtOpening = host.activeState;
}

void PreferencesModel::FillAudioControls() {
  FillAudioDeviceLists();
  PreferencesList& buffers = List(kBufferSizeList);
  buffers.Clear();
  for (std::uint32_t size : kBufferSizes)
    buffers.Append(Decimal(size), size);
  buffers.Select(buffers.FindExact(Decimal(host.state.bufferSize)));
}

// Every driver here feeds the input list, and none has a configuration panel of its own.
void PreferencesModel::FillAudioDeviceLists() {
  PreferencesList& inputs = List(kInputDeviceList);
  PreferencesList& outputs = List(kOutputDeviceList);
  inputs.enabled = true;
  inputs.Clear();
  outputs.Clear();
  int inputPosition = 0;
  for (std::uint32_t id : host.audioInputIds) {
    inputs.Append(DeviceName(id), id);
    if (inputs.texts.back() == host.state.audioInputDevice)
      inputPosition = inputs.Count() - 1;
  }
  int outputPosition = 0;
  for (std::uint32_t id : host.audioOutputIds) {
    outputs.Append(DeviceName(id), id);
    if (outputs.texts.back() == host.state.audioOutputDevice)
      outputPosition = outputs.Count() - 1;
  }
  outputs.Select(outputPosition);
  inputs.Select(inputPosition);
  RtAudio::DeviceInfo input{};
  RtAudio::DeviceInfo output{};
  if (!host.audioInputIds.empty())
    input = deviceInfo(host.audioInputIds[static_cast<std::size_t>(inputPosition)]);
  if (!host.audioOutputIds.empty())
    output = deviceInfo(host.audioOutputIds[static_cast<std::size_t>(outputPosition)]);
  // An empty side still empties its channel lists, so no channel of another device stays.
  FillInputChannels(input);
  FillOutputChannels(output);
  FillSampleRates(input, output);
}

namespace {

// Left: "1" to "n - 1"; right: "1" to "n", so the right channel can follow any left one. A
// device without channels in this direction leaves both lists empty and disabled.
void FillChannels(PreferencesList& left, PreferencesList& right, unsigned int channels,
                  std::uint32_t leftChannel, std::uint32_t rightChannel) {
  left.Clear();
  right.Clear();
  left.enabled = right.enabled = channels > 0;
  if (channels == 0)
    return;
  for (unsigned int c = 1; c < channels; ++c) {
    left.Append(Decimal(c), c);
    right.Append(Decimal(c), c);
  }
  right.Append(Decimal(channels), channels);
  left.Select(ChannelPosition(leftChannel));
  right.Select(ChannelPosition(rightChannel));
}

} // namespace

void PreferencesModel::FillInputChannels(const RtAudio::DeviceInfo& input) {
  FillChannels(List(kInputLeftList), List(kInputRightList), input.inputChannels, host.state.inputChannelLeft,
               host.state.inputChannelRight);
}

void PreferencesModel::FillOutputChannels(const RtAudio::DeviceInfo& output) {
  FillChannels(List(kOutputLeftList), List(kOutputRightList), output.outputChannels,
               host.state.outputChannelLeft, host.state.outputChannelRight);
}

void PreferencesModel::FillSampleRates(const RtAudio::DeviceInfo& input, const RtAudio::DeviceInfo& output) {
  PreferencesList& rates = List(kSampleRateList);
  rates.Clear();
  for (unsigned int inputRate : input.sampleRates)
    for (unsigned int outputRate : output.sampleRates)
      if (inputRate == outputRate)
        rates.Append(Decimal(inputRate), inputRate);
  rates.Select(rates.FindExact(Decimal(host.state.sampleRate)));
}

bool PreferencesModel::FillMidiControls() {
  if (!host.midiIn || !host.midiOut)
    return false;
  const struct {
    int id;
    const std::vector<std::string>& ports;
    std::string& device;
  } directions[] = {{kMidiInputList, host.midiInputPorts, host.state.midiInputDevice},
                    {kMidiOutputList, host.midiOutputPorts, host.state.midiOutputDevice}};
  for (const auto& direction : directions) {
    PreferencesList& list = List(direction.id);
    list.Clear();
    for (const std::string& port : direction.ports)
      list.Append(port);
    int position = list.FindExactIgnoringCase(direction.device);
    if (position < 0) {
      direction.device = "off";
      host.SaveSettings();
      position = 0;
    }
    list.Select(position);
  }
  for (int id : {kMidiInputChannelList, kMidiOutputChannelList}) {
    PreferencesList& list = List(id);
    list.Clear();
    list.Append("all", 0);
    for (int channel = 1; channel <= kMidiChannels; ++channel)
      list.Append(Decimal(static_cast<std::uint32_t>(channel)), static_cast<std::uint32_t>(channel));
  }
  List(kMidiInputChannelList).Select(static_cast<int>(host.state.midiInputChannel));
  List(kMidiOutputChannelList).Select(static_cast<int>(host.state.midiOutputChannel));
  return true;
}

bool ComboText(const PreferencesModel& dialog, std::string& target, int id, int position) {
  const PreferencesList& list = dialog.List(id);
  if (position < 0 || position >= list.Count())
    return false;
  target = list.texts[static_cast<std::size_t>(position)];
  return true;
}

int PreferencesDialogProc(PreferencesModel& dialog, DialogMessage message, int id,
                          Notification notification) {
  switch (message) {
  case DialogMessage::kInitDialog:
    dialog.InitDialog();
    return 1;
  case DialogMessage::kCommand:
    dialog.Command(id, notification);
    return 1;
  case DialogMessage::kOther:
    break;
  }
  return 0;
}
