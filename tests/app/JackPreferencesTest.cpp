// The preferences dialog's model on a real JACK server: the devices and ports it lists come from
// the audio and MIDI libraries, and its buttons re-open the real stream and ports.
#include <gtest/gtest.h>

#include "HostRig.h"
#include "JackFeeder.h"
#include "JackServer.h"
#include "PreferencesModel.h"
#include "Waits.h"

namespace {

using namespace PreferencesControl;

class JackPreferences : public ::testing::Test {
protected:
  void SetUp() override {
    if (DriverIndex("JACK") < 0)
      GTEST_SKIP() << "the audio library has no JACK driver";
    server = std::make_unique<JackServer>(1024, 48000);
    ASSERT_TRUE(server->Ready());
    JackFeeder::Options options;
    options.midi = true;
    feeder = std::make_unique<JackFeeder>(options);
    ASSERT_TRUE(feeder->Active());
    config.Write(JackSettings("feeder", "feeder") + "[midi]\nindev=" + feeder->MidiPortName() + "\n");
    host = CreateRecordingHost(&plugin);
    ASSERT_TRUE(host->InitHost());
    ASSERT_TRUE(host->ApplyAudioSettings());
    ASSERT_NE(host->midiIn, nullptr);
    dialog = std::make_unique<PreferencesModel>(*host);
    PreferencesDialogProc(*dialog, DialogMessage::kInitDialog);
  }
  void TearDown() override {
    dialog.reset();
    hostInstance.reset();
  }

  std::string Selected(int id) const {
    std::string text;
    ComboText(*dialog, text, id, dialog->List(id).selected);
    return text;
  }
  // Whether a note sent now reaches the plug-in, through the running stream: each try waits for a
  // few blocks of the stream. The server may give up on a late client and drop a note, so it is
  // sent a few times.
  bool MidiArrives() {
    const int before = plugin->midiSeen.load();
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (!feeder->SendMidi({{0x90, 1, static_cast<std::uint8_t>(attempt + 1)}}, kHangLimit))
        return false;
      const int blocks = plugin->blocks.load();
      if (!WaitUntil([&] { return plugin->midiSeen.load() > before || plugin->blocks.load() >= blocks + 4; }))
        return false;
      if (plugin->midiSeen.load() > before)
        return true;
    }
    return false;
  }

  ConfigFolder config;
  std::unique_ptr<JackServer> server;
  std::unique_ptr<JackFeeder> feeder;
  RecordingTamsel* plugin = nullptr;
  AppHost* host = nullptr;
  std::unique_ptr<PreferencesModel> dialog;
};

} // namespace

TEST_F(JackPreferences, ListsTheServersDevicesAndPorts) {
  EXPECT_EQ(dialog->List(kDriverList).selected, DriverIndex("JACK"));
  EXPECT_EQ(Selected(kInputDeviceList), "feeder");
  EXPECT_EQ(Selected(kOutputDeviceList), "feeder");
  // The feeder's two ports on each side.
  EXPECT_EQ(dialog->List(kInputLeftList).texts, std::vector<std::string>{"1"});
  EXPECT_EQ(dialog->List(kInputRightList).texts, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Selected(kOutputRightList), "2");
  EXPECT_EQ(Selected(kSampleRateList), "48000");
  EXPECT_EQ(Selected(kBufferSizeList), "1024");
  EXPECT_EQ(Selected(kMidiInputList), feeder->MidiPortName());
  EXPECT_EQ(Selected(kMidiOutputList), "off");
}

TEST_F(JackPreferences, OkAfterOnlyAMidiChannelReopensTheStream) {
  dialog->Choose(kMidiOutputChannelList, 5);
  ASSERT_EQ(host->activeState->midiOutputChannel, 0u);
  dialog->Command(kOk, Notification::kSelectionChange);
  EXPECT_EQ(dialog->endResult, kOk);
  EXPECT_TRUE(dialog->lastApplyResult);
  EXPECT_EQ(host->activeState, host->state); // the new stream started with the edited settings
  EXPECT_EQ(host->activeState->midiOutputChannel, 5u);
}

TEST_F(JackPreferences, CancelReopensTheMidiPortFoundAtOpening) {
  ASSERT_TRUE(MidiArrives());
  dialog->Choose(kMidiInputList, 0);
  EXPECT_EQ(host->state.midiInputDevice, "off");
  EXPECT_FALSE(MidiArrives());
  std::filesystem::remove(config.File());
  dialog->Command(kCancel, Notification::kSelectionChange);
  EXPECT_EQ(host->state.midiInputDevice, feeder->MidiPortName());
  EXPECT_TRUE(dialog->lastApplyResult);
  EXPECT_TRUE(MidiArrives());
  EXPECT_FALSE(std::filesystem::exists(config.File()));
}

// Another driver chosen and then JACK again picks the first device of each side: when those are the
// devices the stream ran on, the settings end as found, but the stream has been closed.
class JackDriverRoundTrip : public JackPreferences, public ::testing::WithParamInterface<int> {};

TEST_P(JackDriverRoundTrip, LeavesTheStreamRunning) {
  const int jack = DriverIndex("JACK");
  const int other = jack == 0 ? 1 : 0;
  if (other >= static_cast<int>(AudioDriverList().size()))
    GTEST_SKIP() << "the audio library has no other driver";
  ASSERT_FALSE(host->audioInputIds.empty());
  ASSERT_FALSE(host->audioOutputIds.empty());
  host->state.audioInputDevice = host->AudioDeviceName(host->audioInputIds.front());
  host->state.audioOutputDevice = host->AudioDeviceName(host->audioOutputIds.front());
  ASSERT_TRUE(host->ApplyAudioSettings());
  dialog = std::make_unique<PreferencesModel>(*host);
  PreferencesDialogProc(*dialog, DialogMessage::kInitDialog);

  dialog->Choose(kDriverList, other);
  dialog->Choose(kDriverList, jack);
  ASSERT_EQ(host->state, host->tempState);
  dialog->Command(GetParam(), Notification::kSelectionChange);
  ASSERT_NE(host->audioIO, nullptr);
  EXPECT_TRUE(host->audioIO->isStreamOpen());
  EXPECT_TRUE(host->audioIO->isStreamRunning());
  EXPECT_EQ(host->activeState, host->state);
  const int blocks = plugin->blocks.load();
  EXPECT_TRUE(WaitUntil([&] { return plugin->blocks.load() > blocks; }));
}

INSTANTIATE_TEST_SUITE_P(Buttons, JackDriverRoundTrip, ::testing::Values(kOk, kCancel),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(param.param == kOk ? "Ok" : "Cancel");
                         });

// The library closes the stream by itself when its server goes away: an OK afterwards, or a
// Cancel of a dialog that found it running, opens one again although the settings are unchanged.
TEST_F(JackPreferences, AStreamTheLibraryClosedIsOpenedAgain) {
  const struct {
    const char* name;
    bool closedBeforeOpening;
    int button;
  } cases[] = {
      {"closed, then OK", true, kOk},
      {"closed while the dialog runs, then OK", false, kOk},
      {"closed while the dialog runs, then Cancel", false, kCancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(host->ApplyAudioSettings());
    if (c.closedBeforeOpening)
      host->audioIO->closeStream();
    dialog = std::make_unique<PreferencesModel>(*host);
    PreferencesDialogProc(*dialog, DialogMessage::kInitDialog);
    if (!c.closedBeforeOpening)
      host->audioIO->closeStream();
    ASSERT_FALSE(host->audioIO->isStreamOpen());
    dialog->Command(c.button, Notification::kSelectionChange);
    EXPECT_TRUE(host->audioIO->isStreamOpen());
    EXPECT_TRUE(host->audioIO->isStreamRunning());
    EXPECT_EQ(host->activeState, host->state);
  }
}
