// The plug-in class: parameters, factory presets, A/B banks, saved state, and the block entry
// that feeds the rider engine. The same source builds the VST3 module (TAMSEL_VST3), the
// standalone program (TAMSEL_APP) and the framework-only core.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "FactoryPresets.h"
#include "Params.h"
#include "RiderEngine.h"
#include "StateBlock.h"

#if defined(TAMSEL_VST3)
#include "vst3/IPlugVST3.h"
using TamselBase = IPlugVST3;
#elif defined(TAMSEL_APP)
#include "app/IPlugAPP.h"
using TamselBase = IPlugAPP;
#else
#include "IPlugBase.h"
using TamselBase = IPlugBase;
#endif

class Tamsel : public TamselBase {
public:
  explicit Tamsel(const InstanceInfo& info = InstanceInfo{});
  ~Tamsel() override;

  // Saved state, host or UI thread (TamselState.cpp).
  bool SerializeState(IByteChunk& chunk) const override;
  int UnserializeState(const IByteChunk& chunk, int startPos) override;

  // Processor (TamselProcess.cpp). ProcessBlock: audio thread; the others while not processing.
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override;
  void OnReset() override;
  void OnActivate(bool active) override;

#ifdef TAMSEL_VST3
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  void ApplyParameterChanges(Steinberg::Vst::ProcessData& data);
  // The module's own 64-bit path (audio thread).
  void ProcessDoubles(Steinberg::Vst::ProcessData& data);
#endif

  // The live values as floats, in index order; any thread.
  ParamVector& GetParamValues(ParamVector& values) const;

  // Presets and A/B banks, UI thread (TamselBanks.cpp).
  void ApplyPreset(int index);
  void ApplyPresetValues(const ParamVector& values, bool notifyHost);
  int FindMatchingPreset() const;
  void CopyToOtherBank();
  void ToggleBank();

  // The editor's parent window changed size (pixels); UI thread (TamselEditor.cpp).
  void OnParentWindowResize(int width, int height) override;
  bool FitParentWindowSize(int& width, int& height, float screenScale) const override;

  std::unique_ptr<RiderEngine> engine;
  std::array<std::atomic<float>, kNumParams> otherBank;
  std::atomic<std::int32_t> currentPreset{0};
  std::atomic<bool> activeBank{false};

protected:
  // Written by the audio thread (bypass queue) and by a state restore on the host's thread.
  std::atomic<bool> hostBypass{false};
  // Written by activation and reset only.
  bool engineRunning = false;
  bool resizing = false;

  // Per-block bus state and chunk buffers: audio thread.
  bool sidechainActive = false;
  bool sidechainSilent = false;
  std::int32_t mainChannels = 2;
  std::uint64_t mainSilenceFlags = 0;
  std::uint64_t sidechainSilenceFlags = 0;
  std::array<std::array<float, kEngineChunk>, 2> chunkInput{};
  std::array<std::array<float, kEngineChunk>, 2> chunkOutput{};
  std::array<std::array<float, kEngineChunk>, 2> chunkSidechain{};
  std::array<std::array<double, kEngineChunk>, 2> dryInput{};

private:
  void DeclareParams();
  void RegisterFactoryPresets();
  void Prepare();
  // OnParamChange and OnParamChangeUI for every parameter, source preset recall.
  void NotifyPresetRecall();
  // Graphics creation and layout for the framework's editor delegate (TamselEditor.cpp).
  void SetEditorFunctions();
};
