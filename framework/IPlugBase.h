// The plug-in base: configuration, parameters, the preset list, state hooks, host-edit and editor
// notifications, on top of the processor side. A wrapper (VST3 module, standalone host) derives
// from it and overrides the host-facing hooks; without one they do nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IByteChunk.h"
#include "IEditorDelegate.h"
#include "IParam.h"
#include "IPlugConfig.h"
#include "IPlugPresets.h"
#include "IPlugProcessor.h"

class IPlugBase : public IPlugProcessor, public IEditorDelegate {
public:
  IPlugBase(const InstanceInfo& info, const Config& config);
  ~IPlugBase() override = default;

  const Config& GetConfig() const { return baseConfig; }
  const char* GetPluginName() const { return baseConfig.pluginName; }
  const char* GetProductName() const { return baseConfig.productName; }
  const char* GetMfrName() const { return baseConfig.mfrName; }
  int GetPluginVersion() const { return baseConfig.vendorVersion; }
  std::string GetPluginVersionString() const { return VersionString(baseConfig.vendorVersion); }
  int GetUniqueID() const { return baseConfig.uniqueID; }
  int GetMfrID() const { return baseConfig.mfrID; }
  bool DoesStateChunks() const { return baseConfig.plugDoesChunks; }

  int NParams() const override { return numParams; }
  IParam* GetParam(int index) override {
    return index >= 0 && index < numParams ? &paramList[index] : nullptr;
  }
  const IParam* GetParam(int index) const override {
    return index >= 0 && index < numParams ? &paramList[index] : nullptr;
  }

  // Saved state (non-audio thread). The defaults store every parameter as a 64-bit value.
  // UnserializeState returns the position after what it read, or -1 when it refuses.
  virtual bool SerializeState(IByteChunk& chunk) const;
  virtual int UnserializeState(const IByteChunk& chunk, int startPos);

  // Preset list (non-audio thread).
  int NPresets() const { return static_cast<int>(presetList.size()); }
  const IPreset* GetPreset(int index) const;
  const char* GetPresetName(int index) const;
  int GetCurrentPresetIdx() const { return currentPresetIdx; }
  // Stores name and chunk in the first slot that holds no state yet; false when none is free.
  bool MakePresetFromChunk(const char* name, const IByteChunk& chunk);
  // Restores a preset through UnserializeState (success when it returns a position > 0); a slot
  // without state first captures the current state through SerializeState.
  bool RestorePreset(int index);

  // One edit as the host sees it. No host is attached here; a wrapper overrides these.
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}

  // Notifications after a parameter changed.
  void OnParamChange(int, EParamSource, int) override {}
  void OnParamChangeUI(int, EParamSource) override {}
  // OnParamChange for every parameter in index order.
  void OnParamReset(EParamSource source);

private:
  Config baseConfig;
  int numParams = 0;
  std::unique_ptr<IParam[]> paramList;
  std::vector<IPreset> presetList;
  int currentPresetIdx = 0;
};
