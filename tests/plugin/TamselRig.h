// Test rig: a plug-in that exposes its per-block fields and records what the host and the
// notifications see, plus host buffers handed to the framework's 32-bit audio routine.
#pragma once

#include <memory>
#include <vector>

#include "Tamsel.h"

struct HostEvent {
  enum Kind { kBegin, kPerform, kEnd, kChange, kChangeUI };
  Kind kind;
  int index;
  double value;
  bool operator==(const HostEvent&) const = default;
};

class TestTamsel : public Tamsel {
public:
  using Tamsel::chunkInput;
  using Tamsel::chunkOutput;
  using Tamsel::chunkSidechain;
  using Tamsel::engineRunning;
  using Tamsel::hostBypass;
  using Tamsel::mainChannels;
  using Tamsel::mainSilenceFlags;
  using Tamsel::sidechainActive;
  using Tamsel::sidechainSilenceFlags;
  using Tamsel::sidechainSilent;

  std::vector<HostEvent> events;
  std::vector<HostEvent> delegateValues;

  void BeginInformHostOfParamChange(int i) override { events.push_back({HostEvent::kBegin, i, 0.0}); }
  void InformHostOfParamChange(int i, double normalized) override {
    events.push_back({HostEvent::kPerform, i, normalized});
  }
  void EndInformHostOfParamChange(int i) override { events.push_back({HostEvent::kEnd, i, 0.0}); }
  void OnParamChange(int i, EParamSource source, int) override {
    events.push_back({HostEvent::kChange, i, static_cast<double>(source)});
  }
  void OnParamChangeUI(int i, EParamSource source) override {
    events.push_back({HostEvent::kChangeUI, i, static_cast<double>(source)});
  }
  void SendParameterValueFromDelegate(int i, double value, bool) override {
    delegateValues.push_back({HostEvent::kPerform, i, value});
  }
};

inline std::unique_ptr<TestTamsel> MakePlugin(double sampleRate = 48000.0, bool running = true) {
  auto plugin = std::make_unique<TestTamsel>();
  plugin->SetSampleRate(sampleRate);
  if (running)
    plugin->OnReset();
  return plugin;
}

// Host-side buffers of one block: main input bus, sidechain bus, output bus.
struct HostBuffers {
  std::vector<std::vector<float>> main, side, out;

  HostBuffers(int mainChannels, int sideChannels, int outChannels, int frames)
      : main(static_cast<size_t>(mainChannels), std::vector<float>(static_cast<size_t>(frames))),
        side(static_cast<size_t>(sideChannels), std::vector<float>(static_cast<size_t>(frames))),
        out(static_cast<size_t>(outChannels), std::vector<float>(static_cast<size_t>(frames), 0.7f)) {}

  int Frames() const {
    return main.empty() ? static_cast<int>(out[0].size()) : static_cast<int>(main[0].size());
  }

  void Process(IPlugProcessor& plugin) {
    std::vector<float*> mainPtrs, sidePtrs, outPtrs;
    for (auto& c : main)
      mainPtrs.push_back(c.data());
    for (auto& c : side)
      sidePtrs.push_back(c.data());
    for (auto& c : out)
      outPtrs.push_back(c.data());
    const AudioBusBuffers32 inputs[2] = {{static_cast<int>(main.size()), mainPtrs.data()},
                                         {static_cast<int>(side.size()), sidePtrs.data()}};
    const AudioBusBuffers32 outputs[1] = {{static_cast<int>(out.size()), outPtrs.data()}};
    plugin.ProcessBuffers(inputs, 2, outputs, 1, Frames());
  }
};

// A deterministic test signal well inside full scale: distinct per channel and frame.
inline float TestSample(int channel, int frame) {
  return 0.25f * static_cast<float>((frame * 37 + channel * 101) % 199 - 99) / 99.0f;
}

inline void FillTestSignal(std::vector<std::vector<float>>& channels, int firstChannel = 0) {
  for (size_t c = 0; c < channels.size(); ++c)
    for (size_t i = 0; i < channels[c].size(); ++i)
      channels[c][i] = TestSample(static_cast<int>(c) + firstChannel, static_cast<int>(i));
}

// Everything a refused state restore must leave alone.
struct PluginState {
  ParamVector values{};
  ParamVector otherBank{};
  int currentPreset = 0;
  bool activeBank = false;
  bool operator==(const PluginState&) const = default;
};

inline PluginState CaptureState(const Tamsel& plugin) {
  PluginState s;
  plugin.GetParamValues(s.values);
  for (size_t i = 0; i < kNumParams; ++i)
    s.otherBank[i] = plugin.otherBank[i].load();
  s.currentPreset = plugin.currentPreset.load();
  s.activeBank = plugin.activeBank.load();
  return s;
}
