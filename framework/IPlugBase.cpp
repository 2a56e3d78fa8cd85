#include "IPlugBase.h"

#include <algorithm>

IPlugBase::IPlugBase(const InstanceInfo&, const Config& pluginConfig)
    : IPlugProcessor(pluginConfig), baseConfig(pluginConfig), numParams(std::max(pluginConfig.nParams, 0)),
      paramList(std::make_unique<IParam[]>(static_cast<std::size_t>(numParams))),
      presetList(static_cast<std::size_t>(std::max(pluginConfig.nPresets, 0))) {
  for (std::size_t i = 0; i < presetList.size(); ++i)
    presetList[i].name = "Empty";
}

bool IPlugBase::SerializeState(IByteChunk& chunk) const {
  for (int i = 0; i < numParams; ++i) {
    const double v = paramList[i].Value();
    chunk.Put(&v);
  }
  return true;
}

int IPlugBase::UnserializeState(const IByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (int i = 0; i < numParams && pos >= 0; ++i) {
    double v = 0.0;
    pos = chunk.Get(&v, pos);
    if (pos >= 0)
      paramList[i].Set(v);
  }
  if (pos >= 0)
    OnParamReset(kPresetRecall);
  return pos;
}

const IPreset* IPlugBase::GetPreset(int index) const {
  if (index < 0 || index >= NPresets())
    return nullptr;
  return &presetList[static_cast<std::size_t>(index)];
}

const char* IPlugBase::GetPresetName(int index) const {
  const IPreset* preset = GetPreset(index);
  return preset ? preset->name.c_str() : "";
}

bool IPlugBase::MakePresetFromChunk(const char* name, const IByteChunk& chunk) {
  for (IPreset& preset : presetList) {
    if (preset.initialized)
      continue;
    preset.initialized = true;
    preset.name = name ? name : "";
    preset.chunk = chunk;
    return true;
  }
  return false;
}

bool IPlugBase::RestorePreset(int index) {
  if (index < 0 || index >= NPresets())
    return false;
  IPreset& preset = presetList[static_cast<std::size_t>(index)];
  bool restored = false;
  if (!preset.initialized) {
    preset.initialized = true;
    preset.chunk.Clear();
    restored = SerializeState(preset.chunk);
  } else {
    restored = UnserializeState(preset.chunk, 0) > 0;
  }
  if (restored)
    currentPresetIdx = index;
  return restored;
}

void IPlugBase::OnParamReset(EParamSource source) {
  for (int i = 0; i < numParams; ++i)
    OnParamChange(i, source, -1);
}
