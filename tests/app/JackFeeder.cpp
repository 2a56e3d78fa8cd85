#include "JackFeeder.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "Waits.h"

JackFeeder::JackFeeder(const Options& feederOptions) : options(feederOptions) {
  // The server refuses an open whose client does not answer its notifications within two
  // seconds, which a busy machine can miss: tried again. The exact name, since tests open the
  // feeder by it.
  const auto openOptions = static_cast<jack_options_t>(JackNoStartServer | JackUseExactName);
  WaitUntil([&] {
    jack_status_t status{};
    client = jack_client_open(options.name.c_str(), openOptions, &status);
    return client != nullptr;
  });
  if (!client)
    return;
  rate = jack_get_sample_rate(client);
  period = jack_get_buffer_size(client);
  for (int c = 0; c < options.outputs; ++c)
    outPorts.push_back(jack_port_register(client, ("out_" + std::to_string(c + 1)).c_str(),
                                          JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0));
  for (int c = 0; c < options.inputs; ++c)
    inPorts.push_back(jack_port_register(client, ("in_" + std::to_string(c + 1)).c_str(),
                                         JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
  if (options.midi)
    midiPort = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  const auto frames = static_cast<std::size_t>(options.recordSeconds * rate);
  recording.assign(static_cast<std::size_t>(options.inputs), std::vector<float>(frames, 0.0f));
  pendingMidi.reserve(64);
  jack_set_process_callback(client, &Process, this);
  jack_set_xrun_callback(client, &Xrun, this);
  active = jack_activate(client) == 0;
}

JackFeeder::~JackFeeder() {
  if (!client)
    return;
  if (active)
    jack_deactivate(client);
  jack_client_close(client);
}

std::string JackFeeder::MidiPortName() const {
  return midiPort ? jack_port_name(midiPort) : "";
}

int JackFeeder::Process(jack_nframes_t frames, void* self) {
  static_cast<JackFeeder*>(self)->ProcessCycle(frames);
  return 0;
}

int JackFeeder::Xrun(void* self) {
  auto* feeder = static_cast<JackFeeder*>(self);
  const int index = feeder->lateCount.load(std::memory_order_relaxed);
  if (index < kMaxLate) {
    feeder->lateAt[static_cast<std::size_t>(index)].store(feeder->played.load(std::memory_order_relaxed),
                                                          std::memory_order_relaxed);
    feeder->lateCount.store(index + 1, std::memory_order_release);
  }
  return 0;
}

bool JackFeeder::LateNear(std::size_t frame, std::size_t margin) const {
  const int count = lateCount.load(std::memory_order_acquire);
  if (count >= kMaxLate)
    return true;
  const std::uint64_t target = recordFrom.load(std::memory_order_relaxed) + frame;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t at = lateAt[static_cast<std::size_t>(i)].load(std::memory_order_relaxed);
    if (at + margin >= target && at <= target + margin)
      return true;
  }
  return false;
}

void JackFeeder::ProcessCycle(jack_nframes_t frames) {
  const double step = 2.0 * M_PI * options.frequency / rate;
  const std::uint64_t start = played.load(std::memory_order_relaxed);
  for (jack_port_t* port : outPorts) {
    auto* out = static_cast<float*>(jack_port_get_buffer(port, frames));
    for (jack_nframes_t j = 0; j < frames; ++j)
      out[j] = static_cast<float>(options.amplitude * std::sin(step * static_cast<double>(start + j)));
  }
  played.store(start + frames, std::memory_order_relaxed);

  for (std::size_t c = 0; c < inPorts.size() && !recordingStarted && !recording[c].empty(); ++c) {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(inPorts[c], frames));
    if (std::any_of(in, in + frames, [](float sample) { return sample != 0.0f; })) {
      recordingStarted = true;
      recordFrom.store(start, std::memory_order_relaxed);
    }
  }
  const std::size_t at = recorded.load(std::memory_order_relaxed);
  const std::size_t room = recordingStarted ? recording[0].size() - at : 0;
  const std::size_t take = std::min<std::size_t>(frames, room);
  for (std::size_t c = 0; c < inPorts.size() && take > 0; ++c) {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(inPorts[c], frames));
    std::memcpy(recording[c].data() + at, in, sizeof(float) * take);
  }
  if (take > 0)
    recorded.store(at + take, std::memory_order_release);

  if (midiPort) {
    void* buffer = jack_port_get_buffer(midiPort, frames);
    jack_midi_clear_buffer(buffer);
    if (midiArmed.load(std::memory_order_acquire)) {
      bool fitted = true;
      jack_nframes_t time = 0;
      for (const auto& message : pendingMidi) {
        fitted = jack_midi_event_write(buffer, time, message.data(), message.size()) == 0 && fitted;
        time = std::min<jack_nframes_t>(time + 1, frames - 1);
      }
      midiFitted.store(fitted, std::memory_order_relaxed);
      midiArmed.store(false, std::memory_order_release);
    }
  }
  cycles.fetch_add(1, std::memory_order_release);
}

bool JackFeeder::WaitForRecorded(std::size_t frames, std::chrono::milliseconds limit) const {
  const std::size_t room = recording.empty() ? 0 : recording[0].size();
  return frames <= room && WaitUntil([&] { return Recorded() >= frames; }, limit);
}

bool JackFeeder::WaitForCycles(std::uint64_t count, std::chrono::milliseconds limit) const {
  return WaitUntil([&] { return Cycles() >= count; }, limit);
}

bool JackFeeder::SendMidi(const std::vector<std::vector<std::uint8_t>>& messages,
                          std::chrono::milliseconds limit) {
  if (!midiPort || midiArmed.load(std::memory_order_acquire))
    return false;
  pendingMidi = messages;
  midiArmed.store(true, std::memory_order_release);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (midiArmed.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return midiFitted.load(std::memory_order_relaxed);
}
