// Test rig for the standalone host: a private settings folder for the test process, a plug-in
// that records what the host asks of it, and small helpers.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "AppHost.h"
#include "AudioDrivers.h"
#include "ScratchFolder.h"
#include "Tamsel.h"

// XDG_CONFIG_HOME points at a fresh scratch folder while the object lives.
class ConfigFolder {
public:
  std::filesystem::path Folder() const { return scratch / "Tamsel"; }
  std::filesystem::path File() const { return Folder() / "settings.ini"; }
  void Write(const std::string& text) const {
    std::filesystem::create_directories(Folder());
    std::ofstream(File(), std::ios::binary) << text;
  }
  std::string Read() const {
    std::ifstream file(File(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

private:
  ScratchFolder scratch;
  ScopedEnv config{"XDG_CONFIG_HOME", scratch.Path().c_str()};
};

// Counts its blocks and what start-up tells it; the processing is the plug-in's own.
class RecordingTamsel : public Tamsel {
public:
  RecordingTamsel() { ++alive; }
  ~RecordingTamsel() override { --alive; }
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    blocks.fetch_add(1, std::memory_order_relaxed);
    if (nFrames != static_cast<int>(AppHost::kHostBlockSize))
      wrongBlocks.fetch_add(1, std::memory_order_relaxed);
    Tamsel::ProcessBlock(inputs, outputs, nFrames);
  }
  void OnParamChange(int index, EParamSource source, int sample) override {
    if (source == kReset)
      ++resetNotices;
    Tamsel::OnParamChange(index, source, sample);
  }
  void OnActivate(bool active) override {
    activated = activated || active;
    Tamsel::OnActivate(active);
  }
  // Audio thread. data1 and data2 carry a 14-bit sequence number.
  void ProcessMidiMsg(const IMidiMsg& msg) override {
    const int sequence = msg.data1 * 128 + msg.data2;
    if (sequence <= lastSequence)
      outOfOrder.fetch_add(1, std::memory_order_relaxed);
    lastSequence = sequence;
    midiSeen.fetch_add(1, std::memory_order_relaxed);
  }

  static inline std::atomic<int> alive{0};
  std::atomic<int> blocks{0};
  std::atomic<int> wrongBlocks{0};
  std::atomic<int> midiSeen{0};
  std::atomic<int> outOfOrder{0};
  int lastSequence = -1;
  int resetNotices = 0;
  bool activated = false;
};

// Destroys the host when it goes. Declared after a test's JACK server and feeder, it closes the
// host's clients before theirs, also when the test stops early.
struct HostScope {
  HostScope() = default;
  ~HostScope() { hostInstance.reset(); }
  HostScope(const HostScope&) = delete;
  HostScope& operator=(const HostScope&) = delete;
};

// A host whose plug-in records; not yet started.
inline AppHost* CreateRecordingHost(RecordingTamsel** plugin = nullptr) {
  AppHost* host = CreateHost();
  auto recording = std::make_unique<RecordingTamsel>();
  if (plugin)
    *plugin = recording.get();
  host->plugin = std::move(recording);
  return host;
}

// The position of a driver in the driver list, or -1.
inline int DriverIndex(const char* name) {
  const std::vector<AudioDriver>& drivers = AudioDriverList();
  for (std::size_t i = 0; i < drivers.size(); ++i)
    if (std::string(drivers[i].name) == name)
      return static_cast<int>(i);
  return -1;
}

// The audio section for the JACK driver with the given devices, 1024 frames at 48 kHz.
inline std::string JackSettings(const std::string& input, const std::string& output) {
  return "[audio]\ndriver=" + std::to_string(DriverIndex("JACK")) + "\nindev=" + input +
         "\noutdev=" + output + "\nbuffer=1024\nsr=48000\n";
}
