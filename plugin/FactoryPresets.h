// The 16 factory presets: names and parameter vectors in menu order.
#pragma once

#include <array>

#include "Params.h"

constexpr int kNumFactoryPresets = 16;

struct PresetRecord {
  const char* name;
  ParamVector values;
};

using FactoryPresetTable = std::array<PresetRecord, kNumFactoryPresets>;

FactoryPresetTable BuildFactoryPresets();
// Any thread: built once on first use, the same table afterwards.
const FactoryPresetTable& GetFactoryPresets();
