// The module's saved state: the 212-byte state block followed by the host bypass word (216
// bytes, little-endian). Host thread, possibly while audio runs; every value moves atomically.
#include <cstring>

#include "StreamIO.h"
#include "Tamsel.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// Both build a small byte chunk: an allocation failure is refused, never thrown into the host.
tresult PLUGIN_API Tamsel::getState(IBStream* state) try {
  if (!state)
    return kResultFalse;
  ParamVector bank{};
  for (int i = 0; i < kNumParams; ++i)
    bank[static_cast<std::size_t>(i)] = otherBank[static_cast<std::size_t>(i)].load();
  const bool bankB = activeBank.load();
  const std::int32_t preset = currentPreset.load();
  ParamVector values;
  GetParamValues(values);

  IByteChunk chunk;
  if (!WriteStateBlock(chunk, values, bank, preset, bankB) || chunk.Size() != kStateBlockSize)
    return kResultFalse;
  chunk.Resize(kModuleStateSize);
  const std::int32_t bypassWord = hostBypass.load(std::memory_order_relaxed) ? 1 : 0;
  std::memcpy(chunk.GetData() + kStateBlockSize, &bypassWord, sizeof(bypassWord));
  return WriteAll(state, chunk.GetData(), kModuleStateSize) ? kResultOk : kResultFalse;
} catch (...) {
  return kResultFalse;
}

tresult PLUGIN_API Tamsel::setState(IBStream* state) try {
  if (!state)
    return kResultFalse;
  std::uint8_t bytes[kModuleStateSize] = {};
  if (!ReadExact(state, bytes, kModuleStateSize) || !AtStreamEnd(state))
    return kResultFalse;
  std::int32_t bypassWord = 0;
  std::memcpy(&bypassWord, bytes + kStateBlockSize, sizeof(bypassWord));
  if (bypassWord != 0 && bypassWord != 1)
    return kResultFalse;

  IByteChunk chunk;
  chunk.Resize(kStateBlockSize);
  std::memcpy(chunk.GetData(), bytes, kStateBlockSize);
  if (UnserializeState(chunk, 0) != kStateBlockSize)
    return kResultFalse;
  hostBypass.store(bypassWord == 1, std::memory_order_relaxed);

  // The host's view of the parameters follows the restored state.
  for (int i = 0; i < kNumParams; ++i)
    if (Parameter* object = getParameterObject(static_cast<ParamID>(i)))
      object->setNormalized(GetParam(i)->GetNormalized());
  if (Parameter* object = getParameterObject(kBypassParamId))
    object->setNormalized(bypassWord == 1 ? 1.0 : 0.0);
  for (int i = 0; i < kNumParams; ++i)
    SendParameterValueFromDelegate(i, GetParam(i)->GetNormalized(), true);
  return kResultOk;
} catch (...) {
  return kResultFalse;
}
