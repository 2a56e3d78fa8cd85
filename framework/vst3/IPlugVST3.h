// A single-component VST3 effect on top of IPlugBase: one object is the component, the audio
// processor and the edit controller. Buses come from the channel I/O description, host-visible
// parameters from the IParam list plus a bypass parameter (kBypassParamId).
#pragma once

#include <array>
#include <atomic>

#include "IPlugBase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

constexpr Steinberg::Vst::ParamID kBypassParamId = 0x10000;

class IPlugVST3 : public IPlugBase,
                  public Steinberg::Vst::EditController,
                  public Steinberg::Vst::IComponent,
                  public Steinberg::Vst::IAudioProcessor,
                  public Steinberg::Vst::IProcessContextRequirements {
public:
  IPlugVST3(const InstanceInfo& info, const Config& config);
  ~IPlugVST3() override;

  // IPluginBase (host thread).
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent (host thread).
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type,
                                          Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                           Steinberg::int32 index, Steinberg::Vst::BusInfo& bus) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  // One function serves IComponent and IEditController: the component state is the whole state.
  // The defaults store the IPlugBase state chunk.
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

  // IAudioProcessor.
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  // Audio thread. The default checks the block and runs 32-bit blocks through ProcessBuffers.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override { return Steinberg::Vst::kNoTail; }

  // IProcessContextRequirements (host thread, before setActive): the ProcessContext fields that
  // process() reads. This layer reads none; a plug-in that reads some overrides this.
  Steinberg::uint32 PLUGIN_API getProcessContextRequirements() override { return 0; }

  // IEditController (host or UI thread). Values of ids below NParams() are the IParam live values.
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID tag,
                                                      Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API
  normalizedParamToPlain(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API
  plainParamToNormalized(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue plainValue) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
  // The open editor's controls follow the host's value too.
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                   Steinberg::Vst::ParamValue value) override;
  // The editor (name "editor") as an X11-embedded view; nullptr for any other name or without one.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IPlugBase host hooks: one edit goes to the component handler when the host has set one.
  void BeginInformHostOfParamChange(int index) override;
  void InformHostOfParamChange(int index, double normalized) override;
  void EndInformHostOfParamChange(int index) override;
  // Asks the host to restart with kLatencyChanged only when the latency it knows changes.
  void SetLatency(int samples) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  REFCOUNT_METHODS(Steinberg::Vst::EditController)

protected:
  // Audio thread helpers for process().
  // kResultOk when the block is well-formed: frame count within the set-up maximum, at most two
  // input and one output bus, at most two channels per bus, the set-up sample size, and a non-null
  // pointer for every channel that carries frames. An input bus the host has not activated is
  // never read, so its pointers are not checked.
  Steinberg::tresult CheckProcessData(const Steinberg::Vst::ProcessData& data) const;
  // The 32-bit routine: a two-entry input bus array (a missing or inactive bus has no channels).
  void ProcessBuffers32(const Steinberg::Vst::ProcessData& data);
  // Sets bit c of every output bus's silenceFlags when channel c holds only zeros (-0.0 too).
  static void MarkSilentOutputs(Steinberg::Vst::ProcessData& data);

  bool IsInputBusActive(int bus) const;
  // The channels of input bus `bus` that a block uses: the host's count, at most the accepted
  // arrangement's (some hosts hand more, the extra ones silent); 0 for a missing or inactive bus.
  int UsedInputChannels(const Steinberg::Vst::ProcessData& data, int bus) const;
  int MaxSamplesPerBlock() const { return maxSamplesPerBlock.load(std::memory_order_relaxed); }
  int SampleSize() const { return sampleSize.load(std::memory_order_relaxed); }

private:
  static constexpr int kMaxInputBuses = 2;

  void DeclareBuses();
  void DeclareParameters();
  Steinberg::Vst::AudioBus* InputBus(int index) const;
  Steinberg::Vst::AudioBus* OutputBus(int index) const;

  Steinberg::Vst::BusList audioInputs{Steinberg::Vst::kAudio, Steinberg::Vst::kInput};
  Steinberg::Vst::BusList audioOutputs{Steinberg::Vst::kAudio, Steinberg::Vst::kOutput};
  std::array<std::atomic<bool>, kMaxInputBuses> inputBusActive{};
  // Channel counts of the input arrangements, set while processing is off.
  std::array<std::atomic<int>, kMaxInputBuses> acceptedInputChannels{};
  std::atomic<int> maxSamplesPerBlock{1024};
  std::atomic<int> sampleSize{Steinberg::Vst::kSample32};
  int hostKnownLatency = -1; // none reported yet
};
