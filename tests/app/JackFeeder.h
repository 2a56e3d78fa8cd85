// The test's own JACK client: plays a sine on its output ports (which the host opens as its input
// device), records its input ports (the host's output) from the first cycle that brings sound, and
// sends MIDI from a port of its own. Everything the process callback touches is allocated up front.
// On a busy machine the host may take long to start its stream: the recording waits for it.
#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class JackFeeder {
public:
  struct Options {
    std::string name = "feeder";
    int outputs = 2; // ports the host reads
    int inputs = 2;  // ports the host writes
    bool midi = false;
    double frequency = 440.0;
    double amplitude = 0.0;
    double recordSeconds = 30.0; // from the first sound
  };

  explicit JackFeeder(const Options& options);
  ~JackFeeder();
  JackFeeder(const JackFeeder&) = delete;
  JackFeeder& operator=(const JackFeeder&) = delete;

  bool Active() const { return client && active; }
  unsigned Rate() const { return rate; }
  unsigned Period() const { return period; }
  std::string MidiPortName() const;

  // Frames recorded so far on every input port; the samples below are final once counted.
  std::size_t Recorded() const { return recorded.load(std::memory_order_acquire); }
  const std::vector<float>& Recording(int input) const { return recording[input]; }
  // Waits until at least frames are recorded; false at the limit or when the recording is full.
  bool WaitForRecorded(std::size_t frames, std::chrono::milliseconds limit) const;
  // Process cycles run so far, and a wait until the count reaches cycles (false at the limit).
  std::uint64_t Cycles() const { return cycles.load(std::memory_order_acquire); }
  bool WaitForCycles(std::uint64_t count, std::chrono::milliseconds limit) const;

  // Whether some client of the server came too late within margin frames of a recorded frame;
  // the server then drops or repeats blocks, so what was recorded there says nothing about the
  // host's fades.
  bool LateNear(std::size_t frame, std::size_t margin) const;
  // A mark of the late cycles reported so far, and whether the server reported one after it.
  int LateMark() const { return lateCount.load(std::memory_order_acquire); }
  bool LateSince(int mark) const { return LateMark() > mark || LateMark() >= kMaxLate; }

  // Whether the MIDI port is connected in the server's graph, so that what it sends is read.
  bool MidiConnected() const { return midiPort && jack_port_connected(midiPort) > 0; }

  // Sends the messages in the next cycle and waits until they went out; false at the limit or
  // when they did not fit.
  bool SendMidi(const std::vector<std::vector<std::uint8_t>>& messages, std::chrono::milliseconds limit);

private:
  static int Process(jack_nframes_t frames, void* self);
  static int Xrun(void* self);
  void ProcessCycle(jack_nframes_t frames);

  Options options;
  jack_client_t* client = nullptr;
  bool active = false;
  unsigned rate = 0;
  unsigned period = 0;
  std::vector<jack_port_t*> outPorts, inPorts;
  jack_port_t* midiPort = nullptr;
  std::vector<std::vector<float>> recording;
  std::atomic<std::size_t> recorded{0};
  std::atomic<std::uint64_t> played{0};
  std::atomic<std::uint64_t> recordFrom{0}; // the played frame of the first recorded one
  bool recordingStarted = false;
  std::atomic<std::uint64_t> cycles{0};
  std::vector<std::vector<std::uint8_t>> pendingMidi;
  std::atomic<bool> midiArmed{false};
  std::atomic<bool> midiFitted{true};
  static constexpr int kMaxLate = 64;
  std::atomic<int> lateCount{0};
  std::array<std::atomic<std::uint64_t>, kMaxLate> lateAt{}; // played frames when it was reported
};
