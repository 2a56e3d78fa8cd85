#include "FactoryPresets.h"

#include <initializer_list>

namespace {

struct PresetChange {
  int index;
  float value;
};

// The defaults with a few values changed.
ParamVector Defaults(std::initializer_list<PresetChange> changes) {
  ParamVector values = kParamDefaults;
  for (const PresetChange& change : changes)
    values[static_cast<std::size_t>(change.index)] = change.value;
  return values;
}

} // namespace

FactoryPresetTable BuildFactoryPresets() {
  // clang-format off
  return {{
    {"Natural Lead", Defaults({})},
    {"Gentle Phrase Ride", Defaults({{kMaxBoost, 3}, {kMaxCut, 6}, {kFastAmount, 15}, {kMaxGainSlew, 3}})},
    {"Intimate Vocal", Defaults({{kSoloTarget, -24}, {kMaxBoost, 4}, {kSlowTime, 1500}, {kActivityFloor, -54}})},
    {"Fast Pop Lead", Defaults({{kSlowTime, 500}, {kFastTime, 30}, {kFastAmount, 65}, {kMaxGainSlew, 12}})},
    {"Dynamic Singer", Defaults({{kMaxBoost, 9}, {kMaxCut, 18}, {kPauseHold, 350}, {kMaxGainSlew, 9}})},
    {"Quiet Interview", Defaults({{kSoloTarget, -24}, {kFastAmount, 20}, {kActivityFloor, -60}})},
    {"Podcast Tamsel", Defaults({{kSoloTarget, -20}, {kSlowTime, 700}, {kFastTime, 60}, {kPauseHold, 150},
                                 {kMaxGainSlew, 8}})},
    {"Narration Balance", Defaults({{kSoloTarget, -22}, {kSlowTime, 1500}, {kFastAmount, 25},
                                    {kPauseReturn, 500}})},
    {"Backing Vocal", Defaults({{kSoloTarget, -26}, {kRideAmount, 65}, {kMaxBoost, 3}, {kMaxCut, 8}})},
    {"Live Vocal Conservative", Defaults({{kMaxBoost, 3}, {kMaxCut, 8}, {kActivityFloor, -42},
                                          {kTransientProtect, 80}, {kMaxGainSlew, 4}})},
    {"Slow Ballad", Defaults({{kSlowTime, 2500}, {kFastTime, 160}, {kFastAmount, 15}, {kPauseHold, 600},
                              {kPauseReturn, 2000}})},
    {"Transient Friendly", Defaults({{kFastTime, 20}, {kFastAmount, 60}, {kTransientProtect, 100}})},
    {"Mix Reference Lead", Defaults({{kMode, 1}})},
    {"Mix Reference Soft", Defaults({{kMode, 1}, {kMaxBoost, 3}, {kFastAmount, 15}, {kMixOffset, 0},
                                     {kReferenceSmooth, 1200}})},
    {"Mix Reference Live", Defaults({{kMode, 1}, {kMaxBoost, 3}, {kActivityFloor, -42}, {kReferenceSmooth, 1000},
                                     {kMaxGainSlew, 4}})},
    {"Unity Audit", Defaults({{kRideAmount, 0}})},
  }};
  // clang-format on
}

const FactoryPresetTable& GetFactoryPresets() {
  static const FactoryPresetTable table = BuildFactoryPresets();
  return table;
}
