// The saved state: one fixed 212-byte little-endian record.
//   0 magic 'KATS'   4 version 1   8 count 24   12 current values (24 floats)
//   108 other bank (24 floats)   204 current preset 0..15   208 active bank 0/1
// The VST3 module stores it followed by the host bypass word (216 bytes).
#pragma once

#include <cstdint>

#include "IByteChunk.h"
#include "Params.h"

constexpr int kStateBlockSize = 212;
constexpr int kModuleStateSize = 216;
constexpr std::int32_t kStateMagic = ('K' << 24) | ('A' << 16) | ('T' << 8) | 'S';
constexpr std::int32_t kStateVersion = 1;

struct StateBlock {
  std::int32_t magic = kStateMagic;
  std::int32_t version = kStateVersion;
  std::int32_t count = kNumParams;
  ParamVector values{};
  ParamVector otherBank{};
  std::int32_t currentPreset = 0;
  std::int32_t activeBank = 0;
};

// Finite, inside min..max (inclusive), and whole for the stepped parameters.
bool AreValidParamValues(const ParamVector& values);

// Appends the 212 bytes at the end of chunk.
bool WriteStateBlock(IByteChunk& chunk, const ParamVector& values, const ParamVector& otherBank,
                     std::int32_t currentPreset, bool activeBank);

// Reads the block at start, which must end the chunk, and checks every field. On refusal block
// may hold a partial read; nothing else is touched.
bool ReadStateBlock(const IByteChunk& chunk, int start, StateBlock& block);
