#include "Tamsel.h"

bool Tamsel::SerializeState(IByteChunk& chunk) const {
  ParamVector values;
  GetParamValues(values);
  ParamVector other;
  for (std::size_t i = 0; i < kNumParams; ++i)
    other[i] = otherBank[i].load();
  return WriteStateBlock(chunk, values, other, currentPreset.load(), activeBank.load());
}

// Everything is checked before anything changes: a refused block leaves the plug-in as it was.
int Tamsel::UnserializeState(const IByteChunk& chunk, int startPos) {
  StateBlock block;
  if (!ReadStateBlock(chunk, startPos, block))
    return -1;

  for (int i = 0; i < kNumParams; ++i) {
    IParam* param = GetParam(i);
    param->Set(static_cast<double>(block.values[static_cast<std::size_t>(i)]));
    SendParameterValueFromDelegate(i, param->GetNormalized(), true);
  }
  OnParamReset(kPresetRecall);

  for (std::size_t i = 0; i < kNumParams; ++i)
    otherBank[i].exchange(block.otherBank[i]);
  currentPreset.exchange(block.currentPreset);
  activeBank.exchange(block.activeBank == 1);
  return startPos + kStateBlockSize;
}
