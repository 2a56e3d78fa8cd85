// MIDI as the standalone base hands it to a plug-in: short messages and SysEx, each stamped with
// the frame of the block at which it takes effect.
#pragma once

#include <cstdint>

struct IMidiMsg {
  std::int32_t offset = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

// A SysEx message as the plug-in sees it; data points into the queue entry being delivered.
struct ISysEx {
  std::int32_t offset = 0;
  const std::uint8_t* data = nullptr;
  std::int32_t size = 0;
};

// One queued SysEx message: a fixed area, so that queuing never allocates.
struct SysExData {
  static constexpr int kMaxSize = 512;
  std::int32_t offset = 0;
  std::int32_t size = 0;
  std::uint8_t data[kMaxSize] = {};
};
