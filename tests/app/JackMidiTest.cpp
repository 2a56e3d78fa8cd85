// MIDI through JACK: the feeder's MIDI port is opened by name and its messages land in the
// plug-in's queues. No audio stream runs, so nothing drains the queues but the test.
#include <gtest/gtest.h>

#include "HostRig.h"
#include "JackFeeder.h"
#include "JackServer.h"
#include "Waits.h"

namespace {

using Message = std::vector<std::uint8_t>;

class JackMidi : public ::testing::Test {
protected:
  void SetUp() override {
    if (DriverIndex("JACK") < 0)
      GTEST_SKIP() << "the audio library has no JACK driver";
    // No audio runs, so the server may wait for a late client: a message is then late, never lost.
    server = std::make_unique<JackServer>(1024, 48000, JackServer::Cycles::kWaiting);
    ASSERT_TRUE(server->Ready());
    JackFeeder::Options options;
    options.outputs = options.inputs = 0;
    options.midi = true;
    options.recordSeconds = 0.0;
    feeder = std::make_unique<JackFeeder>(options);
    ASSERT_TRUE(feeder->Active());
    config.Write("[audio]\ndriver=" + std::to_string(DriverIndex("JACK")) +
                 "\n[midi]\nindev=" + feeder->MidiPortName() + "\n");
    host = CreateHost();
    ASSERT_TRUE(host->InitHost());
    ASSERT_NE(host->midiIn, nullptr);
    ASSERT_NE(host->midiOut, nullptr);
    // The port is connected while the host opens it; one message shows that it carries them.
    ASSERT_TRUE(WaitUntil([&] { return feeder->MidiConnected(); }));
    ASSERT_TRUE(Send({{0x90, 1, 1}}));
    ASSERT_TRUE(ShortArrive(1));
    Drain();
  }
  void TearDown() override { hostInstance.reset(); }

  bool Send(const std::vector<Message>& messages) {
    lateMark = feeder->LateMark();
    return feeder->SendMidi(messages, kHangLimit);
  }
  // Whether count messages are waiting; if not, whether the server reported a late cycle since
  // the send (it then gives up on a client that takes too long, whose events are lost).
  template <class Queue>
  ::testing::AssertionResult Arrive(const Queue& queue, std::size_t count) const {
    if (WaitUntil([&] { return queue.ElementsAvailable() >= count; }))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << queue.ElementsAvailable() << " of " << count << " messages arrived; "
           << (feeder->LateSince(lateMark) ? "the server reported a late cycle since they were sent"
                                           : "no cycle was late since they were sent: the host lost them");
  }
  ::testing::AssertionResult ShortArrive(std::size_t count) const {
    return Arrive(host->plugin->midiMsgsFromCallback, count);
  }
  ::testing::AssertionResult SysExArrive(std::size_t count) const {
    return Arrive(host->plugin->sysExMsgsFromCallback, count);
  }
  std::vector<IMidiMsg> TakeShort() {
    std::vector<IMidiMsg> taken;
    IMidiMsg msg;
    while (host->plugin->midiMsgsFromCallback.Pop(msg))
      taken.push_back(msg);
    return taken;
  }
  std::vector<Message> TakeSysEx() {
    std::vector<Message> taken;
    SysExData entry;
    while (host->plugin->sysExMsgsFromCallback.Pop(entry))
      taken.emplace_back(entry.data, entry.data + entry.size);
    return taken;
  }
  void Drain() {
    TakeShort();
    TakeSysEx();
  }
  // Lets a few cycles pass so that anything still on its way has arrived: the server waits for
  // every client, so a cycle of the feeder begins only once the host's port has read the last one.
  void Settle() const { ASSERT_TRUE(feeder->WaitForCycles(feeder->Cycles() + 3, kHangLimit)); }

  static Message SysEx(std::size_t size, std::uint8_t seed) {
    Message message(size);
    message.front() = 0xF0;
    for (std::size_t i = 1; i + 1 < size; ++i)
      message[i] = static_cast<std::uint8_t>((seed + i) & 0x7F);
    message.back() = 0xF7;
    return message;
  }

  ConfigFolder config;
  std::unique_ptr<JackServer> server;
  std::unique_ptr<JackFeeder> feeder;
  AppHost* host = nullptr;
  int lateMark = 0;
};

bool Same(const IMidiMsg& msg, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  return msg.offset == 0 && msg.status == status && msg.data1 == data1 && msg.data2 == data2;
}

} // namespace

TEST_F(JackMidi, PortsAreListedAndOpenedByName) {
  ASSERT_FALSE(host->midiInputPorts.empty());
  EXPECT_EQ(host->midiInputPorts.front(), "off");
  EXPECT_NE(std::find(host->midiInputPorts.begin(), host->midiInputPorts.end(), feeder->MidiPortName()),
            host->midiInputPorts.end());
  EXPECT_EQ(host->midiOutputPorts.front(), "off");
  EXPECT_EQ(host->state.midiInputDevice, feeder->MidiPortName());
  EXPECT_GT(host->MidiPortNumber(AppHost::kMidiInput, feeder->MidiPortName()), 0);
  EXPECT_EQ(host->MidiPortNumber(AppHost::kMidiInput, "off"), 0);
  EXPECT_EQ(host->MidiPortNumber(AppHost::kMidiInput, "no input"), -1);
  // The stored output name came from a file without the key: not a port, so it became "off".
  EXPECT_EQ(host->state.midiOutputDevice, "off");
  EXPECT_NE(config.Read().find("outdev=off"), std::string::npos);

  // "off" closes the port and leaves the settings as they are.
  ASSERT_TRUE(host->SelectMidiDevice(AppHost::kMidiInput, "off"));
  EXPECT_EQ(host->state.midiInputDevice, feeder->MidiPortName());
  ASSERT_TRUE(Send({{0x90, 60, 100}}));
  Settle();
  EXPECT_TRUE(TakeShort().empty());

  // A port that has gone: "off" stored and saved, no port open.
  ASSERT_TRUE(host->SelectMidiDevice(AppHost::kMidiInput, "gone:port"));
  EXPECT_EQ(host->state.midiInputDevice, "off");
  EXPECT_NE(config.Read().find("[midi]\nindev=off\n"), std::string::npos);
}

TEST_F(JackMidi, ShortMessagesKeepTheirBytes) {
  ASSERT_TRUE(Send({{0x90, 60, 100}, {0xB0, 7, 64}, {0xC0, 5}, {0xFE}}));
  ASSERT_TRUE(ShortArrive(4));
  Settle();
  const std::vector<IMidiMsg> taken = TakeShort();
  ASSERT_EQ(taken.size(), 4u);
  EXPECT_TRUE(Same(taken[0], 0x90, 60, 100));
  EXPECT_TRUE(Same(taken[1], 0xB0, 7, 64));
  EXPECT_TRUE(Same(taken[2], 0xC0, 5, 0)); // a two-byte message: second data byte 0
  EXPECT_TRUE(Same(taken[3], 0xFE, 0, 0));
}

TEST_F(JackMidi, ClockAndTimeCodeNeverArrive) {
  ASSERT_TRUE(Send({{0xF8}, {0xF1, 0x21}, {0xF8}, {0x80, 60, 0}}));
  ASSERT_TRUE(ShortArrive(1));
  Settle();
  const std::vector<IMidiMsg> taken = TakeShort();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_TRUE(Same(taken[0], 0x80, 60, 0));
}

TEST_F(JackMidi, SysExUpTo512BytesIsQueued) {
  const Message longest = SysEx(512, 3), tooLong = SysEx(513, 5);
  ASSERT_TRUE(Send({tooLong}));
  ASSERT_TRUE(Send({longest}));
  ASSERT_TRUE(SysExArrive(1));
  Settle();
  const std::vector<Message> taken = TakeSysEx();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0], longest);
}

TEST_F(JackMidi, FullQueuesDropWhatComesLater) {
  std::vector<Message> notes;
  for (int i = 0; i < 40; ++i)
    notes.push_back({0x90, static_cast<std::uint8_t>(i), 100});
  ASSERT_TRUE(Send(notes));
  ASSERT_TRUE(ShortArrive(IPlugAPP::kMidiQueueSize));
  Settle();
  const std::vector<IMidiMsg> taken = TakeShort();
  ASSERT_EQ(taken.size(), IPlugAPP::kMidiQueueSize);
  for (std::size_t i = 0; i < taken.size(); ++i)
    EXPECT_EQ(taken[i].data1, i);

  std::vector<Message> dumps;
  for (std::uint8_t i = 0; i < 6; ++i)
    dumps.push_back(SysEx(16, i));
  ASSERT_TRUE(Send(dumps));
  ASSERT_TRUE(SysExArrive(IPlugAPP::kSysExQueueSize));
  Settle();
  const std::vector<Message> queued = TakeSysEx();
  ASSERT_EQ(queued.size(), IPlugAPP::kSysExQueueSize);
  for (std::size_t i = 0; i < queued.size(); ++i)
    EXPECT_EQ(queued[i], dumps[i]);
}

TEST_F(JackMidi, NothingIsQueuedOnceDestructionHasBegun) {
  host->exiting.store(true);
  ASSERT_TRUE(Send({{0x90, 60, 100}, {0xF0, 1, 2, 3, 0xF7}}));
  Settle();
  EXPECT_TRUE(TakeShort().empty());
  EXPECT_TRUE(TakeSysEx().empty());
}
