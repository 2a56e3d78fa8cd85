#include "StateBlock.h"

#include <bit>
#include <cmath>

#include "FactoryPresets.h"

static_assert(std::endian::native == std::endian::little, "the state block is stored little-endian");
static_assert(sizeof(float) == 4 && sizeof(ParamVector) == 96);

bool AreValidParamValues(const ParamVector& values) {
  for (int i = 0; i < kNumParams; ++i) {
    const float v = values[static_cast<std::size_t>(i)];
    if (!std::isfinite(v) || v < kParamMins[static_cast<std::size_t>(i)] ||
        v > kParamMaxs[static_cast<std::size_t>(i)])
      return false;
    if (IsSteppedParam(i) && v != std::floor(v))
      return false;
  }
  return true;
}

bool WriteStateBlock(IByteChunk& chunk, const ParamVector& values, const ParamVector& otherBank,
                     std::int32_t currentPreset, bool activeBank) {
  const std::int32_t header[3] = {kStateMagic, kStateVersion, kNumParams};
  const std::int32_t bank = activeBank ? 1 : 0;
  chunk.Put(&header);
  chunk.Put(&values);
  chunk.Put(&otherBank);
  chunk.Put(&currentPreset);
  chunk.Put(&bank);
  return true;
}

bool ReadStateBlock(const IByteChunk& chunk, int start, StateBlock& block) {
  if (start < 0 || chunk.Size() - start != kStateBlockSize)
    return false;
  int pos = chunk.Get(&block.magic, start);
  if (pos < 0 || block.magic != kStateMagic)
    return false;
  pos = chunk.Get(&block.version, pos);
  if (pos < 0 || block.version != kStateVersion)
    return false;
  pos = chunk.Get(&block.count, pos);
  if (pos < 0 || block.count != kNumParams)
    return false;
  pos = chunk.Get(&block.values, pos);
  if (pos >= 0)
    pos = chunk.Get(&block.otherBank, pos);
  if (pos >= 0)
    pos = chunk.Get(&block.currentPreset, pos);
  if (pos >= 0)
    pos = chunk.Get(&block.activeBank, pos);
  if (pos < 0)
    return false;
  // Compared unsigned, so every negative value is refused too.
  if (static_cast<std::uint32_t>(block.currentPreset) >= static_cast<std::uint32_t>(kNumFactoryPresets) ||
      static_cast<std::uint32_t>(block.activeBank) > 1u)
    return false;
  return AreValidParamValues(block.values) && AreValidParamValues(block.otherBank);
}
