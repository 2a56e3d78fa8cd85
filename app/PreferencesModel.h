// The preferences dialog without its widgets: every drop-down list keyed by its control id, with
// its entries, selection and enabled state, and the dialog's handling of its start and of each
// command. The GTK view mirrors these lists; tests drive them without a display. UI thread only.
#pragma once

#include <RtAudio.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AppState.h"

class AppHost;

namespace PreferencesControl {
constexpr int kOk = 1;     // IDOK
constexpr int kCancel = 2; // IDCANCEL
constexpr int kDriverList = 40009;
constexpr int kInputDeviceList = 40010;
constexpr int kOutputDeviceList = 40011;
constexpr int kBufferSizeList = 40012;
constexpr int kSampleRateList = 40013;
constexpr int kInputLeftList = 40014;
constexpr int kInputRightList = 40015;
constexpr int kOutputRightList = 40016;
constexpr int kOutputLeftList = 40017;
constexpr int kMidiInputList = 40018;
constexpr int kMidiOutputList = 40019;
constexpr int kMidiInputChannelList = 40020;
constexpr int kMidiOutputChannelList = 40021;
constexpr int kConfigButton = 40022;
constexpr int kApplyButton = 40024;
// Every list, in the order the dialog shows them.
constexpr int kLists[] = {kDriverList,           kInputDeviceList, kOutputDeviceList,     kBufferSizeList,
                          kSampleRateList,       kInputLeftList,   kInputRightList,       kOutputLeftList,
                          kOutputRightList,      kMidiInputList,   kMidiInputChannelList, kMidiOutputList,
                          kMidiOutputChannelList};
} // namespace PreferencesControl

// One drop-down list: entry texts with their item data, the selected position (-1: none).
struct PreferencesList {
  std::vector<std::string> texts;
  std::vector<std::uint32_t> data;
  int selected = -1;
  bool enabled = true;

  void Clear();
  void Append(const std::string& text, std::uint32_t itemData = 0);
  int Count() const { return static_cast<int>(texts.size()); }
  // Selects position, or nothing when the list has no such entry.
  void Select(int position);
  // The first entry whose whole text equals text, byte for byte (-1: none).
  int FindExact(const std::string& text) const;
  // The same, ignoring the letter case of ASCII letters.
  int FindExactIgnoringCase(const std::string& text) const;
};

enum class DialogMessage { kInitDialog, kCommand, kOther };
// A list acts on a selection change; a button on any notification.
enum class Notification { kSelectionChange, kOther };

class PreferencesModel {
public:
  // Device information for a device id: channel counts, rates and the library's name.
  using DeviceInfoSource = std::function<RtAudio::DeviceInfo(std::uint32_t id)>;

  // Without a source the host's audio object is asked; its errors give an empty record.
  explicit PreferencesModel(AppHost& host, DeviceInfoSource deviceInfo = {});

  PreferencesList& List(int id) { return lists.at(id); }
  const PreferencesList& List(int id) const { return lists.at(id); }

  void InitDialog();
  void Command(int id, Notification notification);
  // The user picked position in list id: the selection changes, then the list's command runs.
  void Choose(int id, int position);

  void FillAudioControls();
  void FillAudioDeviceLists();
  void FillInputChannels(const RtAudio::DeviceInfo& input);
  void FillOutputChannels(const RtAudio::DeviceInfo& output);
  void FillSampleRates(const RtAudio::DeviceInfo& input, const RtAudio::DeviceInfo& output);
  bool FillMidiControls();

  AppHost& host;
  // There is no driver configuration on this platform: the button stays disabled.
  bool configEnabled = false;
  // Set when the dialog ends: kOk or kCancel.
  std::optional<int> endResult;
  // How often the dialog re-opened the audio with ApplyAudioSettings, and the last answer.
  int audioApplies = 0;
  bool lastApplyResult = true;

private:
  std::string DeviceName(std::uint32_t id);
  void ApplyAudio();
  void SelectMidiPort(int direction, int listId, std::string& field);
  void ChooseDriver();
  void ChooseLeftChannel(int leftId, int rightId, std::uint32_t& left, std::uint32_t& right);
  void ChooseRightChannel(int rightId, Notification notification, std::uint32_t& right);
  void Ok();
  void Cancel();

  DeviceInfoSource deviceInfo;
  std::map<int, PreferencesList> lists;
  std::optional<AppState> activeAtOpening; // the running stream's settings when the dialog opened
};

// The dialog procedure: 1 for the start and for every command, 0 for other messages.
int PreferencesDialogProc(PreferencesModel& dialog, DialogMessage message, int id = 0,
                          Notification notification = Notification::kSelectionChange);

// Sets target to the text of the entry at position of list id; false, leaving target as it was,
// when there is no such entry.
bool ComboText(const PreferencesModel& dialog, std::string& target, int id, int position);
