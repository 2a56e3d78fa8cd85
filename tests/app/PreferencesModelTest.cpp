// The preferences dialog without a display: a host in no-I/O mode with device lists of the test's
// own, described through the dialog's device information.
#include <gtest/gtest.h>

#include <map>

#include "HostRig.h"
#include "PreferencesModel.h"

namespace {

using namespace PreferencesControl;
using Texts = std::vector<std::string>;

RtAudio::DeviceInfo Device(const std::string& name, unsigned inputs, unsigned outputs,
                           std::vector<unsigned> rates) {
  RtAudio::DeviceInfo info{};
  info.probed = true;
  info.name = name;
  info.inputChannels = inputs;
  info.outputChannels = outputs;
  info.sampleRates = std::move(rates);
  return info;
}

class PreferencesModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    host = CreateHost();
    host->noIO = true;
    ASSERT_TRUE(host->InitHost());
    devices = {{0, Device("hw:Mono", 1, 1, {44100, 48000})},
               {1, Device("hw:Stereo", 2, 2, {44100, 48000})},
               {2, Device("hw:Quad", 4, 4, {48000, 96000})},
               {3, Device("Silent", 0, 0, {44100})}};
    host->audioInputIds = {0, 1, 2};
    host->audioOutputIds = {0, 1, 2};
    // As if the stream had opened with the settings, and the file as yet unwritten by the dialog.
    host->activeState = host->state;
    std::filesystem::remove(config.File());
  }
  void TearDown() override { hostInstance.reset(); }

  PreferencesModel& Open() {
    model = std::make_unique<PreferencesModel>(*host, [this](std::uint32_t id) {
      const auto found = devices.find(id);
      return found == devices.end() ? RtAudio::DeviceInfo{} : found->second;
    });
    EXPECT_EQ(PreferencesDialogProc(*model, DialogMessage::kInitDialog), 1);
    return *model;
  }
  // MIDI objects whose backend finds no server, with port lists of the test's own.
  void AddMidi(Texts inputs, Texts outputs) {
    host->midiIn = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "prefs test in");
    host->midiOut = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "prefs test out");
    host->midiInputPorts = std::move(inputs);
    host->midiOutputPorts = std::move(outputs);
  }
  const PreferencesList& List(int id) const { return model->List(id); }
  bool FileWritten() const { return std::filesystem::exists(config.File()); }

  ConfigFolder config;
  AppHost* host = nullptr;
  std::map<std::uint32_t, RtAudio::DeviceInfo> devices;
  std::unique_ptr<PreferencesModel> model;
};

TEST_F(PreferencesModelTest, OpeningShowsTheStoredSettings) {
  host->state.audioInputDevice = "Stereo";
  host->state.audioOutputDevice = "Quad";
  host->state.sampleRate = 48000;
  Open();
  EXPECT_EQ(List(kDriverList).texts.size(), AudioDriverList().size());
  EXPECT_EQ(List(kDriverList).selected, 0);
  EXPECT_EQ(List(kInputDeviceList).texts, (Texts{"Mono", "Stereo", "Quad"}));
  EXPECT_EQ(List(kInputDeviceList).selected, 1);
  EXPECT_EQ(List(kOutputDeviceList).selected, 2);
  EXPECT_TRUE(List(kInputDeviceList).enabled);
  EXPECT_FALSE(model->configEnabled);
  EXPECT_EQ(List(kBufferSizeList).texts,
            (Texts{"32", "64", "96", "128", "192", "256", "512", "1024", "2048", "4096", "8192"}));
  EXPECT_EQ(List(kBufferSizeList).selected, 6);
  EXPECT_EQ(List(kSampleRateList).texts, Texts{"48000"});
  EXPECT_EQ(List(kSampleRateList).selected, 0);
  EXPECT_EQ(host->tempState, host->state);
}

TEST_F(PreferencesModelTest, UnknownDeviceSelectsTheFirstAndStoredValuesStay) {
  host->state.audioInputDevice = "Gone";
  host->state.bufferSize = 500;
  host->state.sampleRate = 22050;
  Open();
  EXPECT_EQ(List(kInputDeviceList).selected, 0);
  EXPECT_EQ(List(kBufferSizeList).selected, -1);
  EXPECT_EQ(List(kSampleRateList).texts, (Texts{"44100", "48000"}));
  EXPECT_EQ(List(kSampleRateList).selected, -1);
  EXPECT_EQ(host->state.audioInputDevice, "Gone");
  EXPECT_EQ(host->state.bufferSize, 500u);
}

struct ChannelCase {
  const char* device;
  Texts left;
  Texts right;
  int leftSelected; // for the stored channels 1 and 2
  int rightSelected;
};

class ChannelLists : public PreferencesModelTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(ChannelLists, FollowTheDeviceChannelCount) {
  const ChannelCase& c = GetParam();
  host->state.audioInputDevice = host->state.audioOutputDevice = c.device;
  Open();
  for (auto [leftId, rightId] :
       {std::pair{kInputLeftList, kInputRightList}, {kOutputLeftList, kOutputRightList}}) {
    EXPECT_EQ(List(leftId).texts, c.left);
    EXPECT_EQ(List(rightId).texts, c.right);
    EXPECT_EQ(List(leftId).selected, c.leftSelected);
    EXPECT_EQ(List(rightId).selected, c.rightSelected);
    EXPECT_TRUE(List(rightId).enabled);
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, ChannelLists,
                         ::testing::Values(ChannelCase{"Mono", {}, {"1"}, -1, -1},
                                           ChannelCase{"Stereo", {"1"}, {"1", "2"}, 0, 1},
                                           ChannelCase{"Quad", {"1", "2", "3"}, {"1", "2", "3", "4"}, 0, 1}));

// A device that lost its channels while the program ran.
TEST_F(PreferencesModelTest, DeviceWithoutChannelsLeavesTheListsEmpty) {
  host->audioInputIds = {3};
  host->audioOutputIds = {3};
  host->state.audioInputDevice = host->state.audioOutputDevice = "Silent";
  Open();
  for (int id : {kInputLeftList, kInputRightList, kOutputLeftList, kOutputRightList}) {
    EXPECT_TRUE(List(id).texts.empty());
    EXPECT_FALSE(List(id).enabled);
  }
  EXPECT_EQ(host->state.inputChannelRight, 2u);
}

TEST_F(PreferencesModelTest, NoDevicesLeaveEveryDeviceListEmpty) {
  host->audioInputIds.clear();
  host->audioOutputIds.clear();
  Open();
  for (int id : {kInputDeviceList, kOutputDeviceList, kSampleRateList, kInputLeftList, kInputRightList,
                 kOutputLeftList, kOutputRightList}) {
    EXPECT_TRUE(List(id).texts.empty()) << id;
    EXPECT_EQ(List(id).selected, -1) << id;
  }
  EXPECT_TRUE(List(kMidiInputList).texts.empty()); // no MIDI objects either
}

struct SidePair {
  int left;
  int right;
  std::uint32_t AppState::*leftChannel;
  std::uint32_t AppState::*rightChannel;
};

class ChannelChoice : public PreferencesModelTest, public ::testing::WithParamInterface<SidePair> {
protected:
  void SetUp() override {
    PreferencesModelTest::SetUp();
    host->state.audioInputDevice = host->state.audioOutputDevice = "Quad";
    Open();
  }
};

TEST_P(ChannelChoice, LeftThreeSelectsRightFour) {
  const SidePair& side = GetParam();
  model->Choose(side.left, 2);
  EXPECT_EQ(host->state.*side.leftChannel, 3u);
  EXPECT_EQ(host->state.*side.rightChannel, 4u);
  EXPECT_EQ(List(side.right).selected, 3);
}

TEST_P(ChannelChoice, RightSnapsBackToTheStoredChannel) {
  const SidePair& side = GetParam();
  model->Choose(side.right, 3);
  EXPECT_EQ(List(side.right).selected, 1);
  EXPECT_EQ(host->state.*side.rightChannel, 2u);
}

TEST_P(ChannelChoice, RightWithoutSelectionKeepsTheStoredChannel) {
  const SidePair& side = GetParam();
  host->state.*side.rightChannel = 7;
  model->FillAudioDeviceLists();
  ASSERT_EQ(List(side.right).selected, -1);
  model->Choose(side.right, 0);
  EXPECT_EQ(List(side.right).selected, -1);
  EXPECT_EQ(host->state.*side.rightChannel, 7u);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, ChannelChoice,
    ::testing::Values(SidePair{kInputLeftList, kInputRightList, &AppState::inputChannelLeft,
                               &AppState::inputChannelRight},
                      SidePair{kOutputLeftList, kOutputRightList, &AppState::outputChannelLeft,
                               &AppState::outputChannelRight}));

TEST_F(PreferencesModelTest, NewInputDeviceResetsItsChannelsAndRebuildsTheLists) {
  host->state.audioInputDevice = host->state.audioOutputDevice = "Quad";
  host->state.inputChannelLeft = 3;
  host->state.inputChannelRight = 4;
  host->state.outputChannelLeft = 3;
  host->state.outputChannelRight = 4;
  Open();
  ASSERT_EQ(List(kSampleRateList).texts, (Texts{"48000", "96000"}));
  model->Choose(kInputDeviceList, 1);
  EXPECT_EQ(host->state.audioInputDevice, "Stereo");
  EXPECT_EQ(host->state.inputChannelLeft, 1u);
  EXPECT_EQ(host->state.inputChannelRight, 2u);
  EXPECT_EQ(host->state.outputChannelLeft, 3u); // the output keeps its own
  EXPECT_EQ(List(kInputDeviceList).selected, 1);
  EXPECT_EQ(List(kInputLeftList).texts, Texts{"1"});
  EXPECT_EQ(List(kInputRightList).texts, (Texts{"1", "2"}));
  EXPECT_EQ(List(kInputRightList).selected, 1);
  EXPECT_EQ(List(kOutputLeftList).selected, 2);
  EXPECT_EQ(List(kSampleRateList).texts, Texts{"48000"});
}

TEST_F(PreferencesModelTest, RatesAreThoseBothDevicesOffer) {
  host->state.audioInputDevice = "Stereo";
  host->state.audioOutputDevice = "Quad";
  Open();
  EXPECT_EQ(List(kSampleRateList).texts, Texts{"48000"});
  EXPECT_EQ(List(kSampleRateList).data, std::vector<std::uint32_t>{48000});
  EXPECT_EQ(List(kSampleRateList).selected, -1); // 44100 is stored
  model->Choose(kSampleRateList, 0);
  EXPECT_EQ(host->state.sampleRate, 48000u);
}

TEST_F(PreferencesModelTest, EveryBufferEntryStoresItsSize) {
  Open();
  const PreferencesList& sizes = List(kBufferSizeList);
  for (int position = 0; position < sizes.Count(); ++position) {
    model->Choose(kBufferSizeList, position);
    EXPECT_EQ(std::to_string(host->state.bufferSize), sizes.texts[static_cast<std::size_t>(position)]);
  }
  model->Choose(kBufferSizeList, sizes.FindExact("8192"));
  EXPECT_EQ(host->state.bufferSize, 8192u);
}

TEST_F(PreferencesModelTest, MidiChannelsAreAllThenOneToSixteen) {
  AddMidi({"off"}, {"off"});
  host->state.midiOutputChannel = 16;
  Open();
  const PreferencesList& channels = List(kMidiInputChannelList);
  ASSERT_EQ(channels.Count(), 17);
  EXPECT_EQ(channels.texts.front(), "all");
  EXPECT_EQ(channels.texts.back(), "16");
  EXPECT_EQ(channels.selected, 0);
  EXPECT_EQ(List(kMidiOutputChannelList).selected, 16);
  model->Choose(kMidiInputChannelList, 10);
  EXPECT_EQ(host->state.midiInputChannel, 10u);
}

TEST_F(PreferencesModelTest, MissingMidiPortBecomesOffAndIsSaved) {
  AddMidi({"off", "Keys"}, {"off", "Synth"});
  host->state.midiInputDevice = "Gone";
  host->state.midiOutputDevice = "synth"; // the letter case does not matter
  Open();
  EXPECT_EQ(host->state.midiInputDevice, "off");
  EXPECT_EQ(List(kMidiInputList).texts, (Texts{"off", "Keys"}));
  EXPECT_EQ(List(kMidiInputList).selected, 0);
  EXPECT_EQ(List(kMidiOutputList).selected, 1);
  EXPECT_EQ(host->state.midiOutputDevice, "synth");
  ASSERT_TRUE(FileWritten());
  EXPECT_NE(config.Read().find("[midi]\nindev=off\noutdev=synth\n"), std::string::npos);
  EXPECT_EQ(host->tempState.midiInputDevice, "off");
}

// A port chosen in the dialog opens at once; one that has gone since the list was made is "off".
TEST_F(PreferencesModelTest, ChosenMidiPortThatIsGoneShowsOff) {
  AddMidi({"off", "Keys"}, {"off"});
  Open();
  model->Choose(kMidiInputList, 1);
  EXPECT_EQ(host->state.midiInputDevice, "off");
  EXPECT_EQ(List(kMidiInputList).selected, 0);
}

TEST_F(PreferencesModelTest, DriverListHoldsTheCompiledDrivers) {
  Open();
  const std::vector<AudioDriver>& drivers = AudioDriverList();
  for (std::size_t i = 0; i < drivers.size(); ++i)
    EXPECT_EQ(List(kDriverList).texts[i], drivers[i].name);
  // Picking the driver in use changes nothing.
  model->Choose(kDriverList, 0);
  EXPECT_EQ(host->audioInputIds.size(), 3u);
}

TEST_F(PreferencesModelTest, AnotherDriverProbesItsDevicesAndResetsTheOutputChannels) {
  if (AudioDriverList().size() < 2)
    GTEST_SKIP() << "the audio library offers one driver only";
  host->state.outputChannelLeft = 3;
  host->state.outputChannelRight = 4;
  Open();
  model->Choose(kDriverList, 1);
  EXPECT_EQ(host->state.audioDriverType, 1u);
  EXPECT_EQ(host->state.outputChannelLeft, 1u);
  EXPECT_EQ(host->state.outputChannelRight, 2u);
  EXPECT_TRUE(List(kInputDeviceList).texts.empty()); // no devices in no-I/O mode
  EXPECT_EQ(List(kBufferSizeList).selected, 6);
}

struct Decision {
  const char* name;
  std::function<void(PreferencesModel&)> edit;
  int button;
  int applies;
  std::optional<int> end;
  std::uint32_t bufferAfter;
  std::uint32_t midiOutputChannelAfter;
};

void PrintTo(const Decision& decision, std::ostream* out) {
  *out << decision.name;
}

class Buttons : public PreferencesModelTest, public ::testing::WithParamInterface<Decision> {};

TEST_P(Buttons, DecideWhatIsAppliedAndWriteNothing) {
  const Decision& d = GetParam();
  AddMidi({"off"}, {"off"});
  PreferencesModel& dialog = Open();
  const AppState opened = host->state;
  if (d.edit)
    d.edit(dialog);
  EXPECT_EQ(PreferencesDialogProc(dialog, DialogMessage::kCommand, d.button), 1);
  EXPECT_EQ(dialog.audioApplies, d.applies);
  EXPECT_EQ(dialog.endResult, d.end);
  EXPECT_EQ(host->state.bufferSize, d.bufferAfter);
  EXPECT_EQ(host->state.midiOutputChannel, d.midiOutputChannelAfter);
  EXPECT_EQ(host->tempState, opened);
  EXPECT_FALSE(FileWritten()); // OK leaves the saving to its caller
}

void PickBuffer8192(PreferencesModel& dialog) {
  dialog.Choose(kBufferSizeList, dialog.List(kBufferSizeList).FindExact("8192"));
}

INSTANTIATE_TEST_SUITE_P(
    Decisions, Buttons,
    ::testing::Values(Decision{"CancelWithoutChanges", nullptr, kCancel, 0, kCancel, 512, 0},
                      Decision{"CancelAfterBufferSize", PickBuffer8192, kCancel, 1, kCancel, 512, 0},
                      Decision{"CancelAfterMidiChannel",
                               [](PreferencesModel& dialog) { dialog.Choose(kMidiOutputChannelList, 3); },
                               kCancel, 1, kCancel, 512, 0},
                      Decision{"OkWithoutChanges", nullptr, kOk, 0, kOk, 512, 0},
                      Decision{"OkAfterBufferSize", PickBuffer8192, kOk, 1, kOk, 8192, 0},
                      Decision{"OkAfterMidiOutputChannelOnly",
                               [](PreferencesModel& dialog) { dialog.Choose(kMidiOutputChannelList, 5); },
                               kOk, 1, kOk, 512, 5},
                      Decision{"ApplyKeepsTheDialogOpen", PickBuffer8192, kApplyButton, 1, std::nullopt, 8192,
                               0},
                      Decision{"ConfigDoesNothing", PickBuffer8192, kConfigButton, 0, std::nullopt, 8192, 0}),
    [](const ::testing::TestParamInfo<Decision>& param) { return std::string(param.param.name); });

TEST_F(PreferencesModelTest, OkAfterApplyDoesNotApplyAgain) {
  PreferencesModel& dialog = Open();
  PickBuffer8192(dialog);
  dialog.Command(kApplyButton, Notification::kSelectionChange);
  host->activeState = host->state; // what a stream that opened would hold
  dialog.Command(kOk, Notification::kSelectionChange);
  EXPECT_EQ(dialog.audioApplies, 1);
}

TEST_F(PreferencesModelTest, CancelAfterApplyPutsBackTheOpeningSettings) {
  PreferencesModel& dialog = Open();
  PickBuffer8192(dialog);
  dialog.Command(kApplyButton, Notification::kSelectionChange);
  dialog.Command(kCancel, Notification::kSelectionChange);
  EXPECT_EQ(dialog.audioApplies, 2);
  EXPECT_EQ(host->state, host->tempState);
  EXPECT_EQ(host->state.bufferSize, 512u);
  EXPECT_FALSE(FileWritten());
}

TEST_F(PreferencesModelTest, OnlySelectionChangesAct) {
  PreferencesModel& dialog = Open();
  dialog.List(kBufferSizeList).Select(10);
  EXPECT_EQ(PreferencesDialogProc(dialog, DialogMessage::kCommand, kBufferSizeList, Notification::kOther), 1);
  EXPECT_EQ(host->state.bufferSize, 512u);
  EXPECT_EQ(PreferencesDialogProc(dialog, DialogMessage::kOther), 0);
  dialog.List(kBufferSizeList).selected = 11; // past the list
  dialog.Command(kBufferSizeList, Notification::kSelectionChange);
  EXPECT_EQ(host->state.bufferSize, 512u);
  std::string text = "kept";
  EXPECT_FALSE(ComboText(dialog, text, kBufferSizeList, 11));
  EXPECT_FALSE(ComboText(dialog, text, kBufferSizeList, -1));
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(ComboText(dialog, text, kBufferSizeList, 10));
  EXPECT_EQ(text, "8192");
}

} // namespace
