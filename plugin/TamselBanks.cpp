#include <algorithm>
#include <cmath>

#include "Tamsel.h"

void Tamsel::ApplyPreset(int index) {
  if (index < 0)
    return;
  const FactoryPresetTable& table = GetFactoryPresets();
  if (index >= kNumFactoryPresets)
    return;
  ApplyPresetValues(table[static_cast<std::size_t>(index)].values, true);
  currentPreset.exchange(index);
}

// Each parameter is one complete host edit; the editor follows, then the recall notifications.
void Tamsel::ApplyPresetValues(const ParamVector& values, bool notifyHost) {
  for (int i = 0; i < kNumParams; ++i) {
    IParam* param = GetParam(i);
    if (notifyHost)
      BeginInformHostOfParamChange(i);
    param->Set(static_cast<double>(values[static_cast<std::size_t>(i)]));
    const double normalized = param->GetNormalized();
    if (notifyHost) {
      InformHostOfParamChange(i, normalized);
      EndInformHostOfParamChange(i);
    }
    SendParameterValueFromDelegate(i, normalized, true);
  }
  NotifyPresetRecall();
}

// A value matches within tol = max(range * 2e-6, 1e-5), in float.
int Tamsel::FindMatchingPreset() const {
  ParamVector current;
  GetParamValues(current);
  const FactoryPresetTable& table = GetFactoryPresets();
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    const ParamVector& values = table[static_cast<std::size_t>(p)].values;
    bool matches = true;
    for (std::size_t j = 0; j < kNumParams && matches; ++j) {
      const float tol = std::max((kParamMaxs[j] - kParamMins[j]) * 0.000002f, 0.00001f);
      matches = std::fabs(current[j] - values[j]) <= tol;
    }
    if (matches)
      return p;
  }
  return -1;
}

void Tamsel::CopyToOtherBank() {
  for (int i = 0; i < kNumParams; ++i)
    otherBank[static_cast<std::size_t>(i)].exchange(static_cast<float>(GetParam(i)->Value()));
}

void Tamsel::ToggleBank() {
  ParamVector shown;
  GetParamValues(shown);
  ParamVector incoming;
  for (std::size_t i = 0; i < kNumParams; ++i) {
    incoming[i] = otherBank[i].load();
    otherBank[i].exchange(shown[i]);
  }
  ApplyPresetValues(incoming, true);
  activeBank.exchange(!activeBank.load());
}
