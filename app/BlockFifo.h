// Hands the plug-in fixed 512-frame blocks whatever block the device delivers. A device block
// that is a whole multiple of 512 frames is processed in place, without delay. Any other size is
// buffered: input collects in a 512-frame block, output plays from a ring that starts with
// L = 512 - gcd(N, 512) frames of silence, the least delay that fills every device block of N
// frames. Should the device change its block size mid-stream, a frame that is not ready yet plays
// as silence; nothing is ever read or written past a buffer.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>

#include "IPlugProcessor.h"

class BlockFifo {
public:
  static constexpr unsigned kBlock = 512;
  static constexpr int kMaxChannels = IPlugProcessor::kMaxChannelSlots;

  // The delay in frames for a device block of n frames.
  static unsigned LatencyFor(unsigned n);

  // UI thread, while no stream runs: channel counts of the stream and its device block.
  void Reset(int inputs, int outputs, unsigned deviceBlock);
  unsigned Latency() const { return latency; }
  // Frames collected towards the next block.
  unsigned Position() const { return position; }

  // Audio thread. One device block of n frames, non-interleaved (channel c starts at sample
  // c * n; in or out may be absent). Calls process(inputs, outputs) for every complete block,
  // with inPointers and outPointers (at least kMaxChannels entries each) pointing at its 512
  // frames, or absent for a side without channels. Allocates nothing.
  template <class Process>
  void Run(double* in, double* out, unsigned n, double** inPointers, double** outPointers, Process&& process);

private:
  static constexpr unsigned kRing = 2 * kBlock; // holds the delay plus one block

  void PlayFromRing(double* out, unsigned n, unsigned frame, unsigned count);

  int numInputs = 0;
  int numOutputs = 0;
  unsigned latency = 0;
  unsigned position = 0;  // frames in collected
  unsigned readPos = 0;   // next ring frame to play
  unsigned writePos = 0;  // where the next processed block goes, 0 or kBlock
  unsigned available = 0; // ring frames not yet played
  std::array<std::array<double, kBlock>, kMaxChannels> collected{};
  std::array<std::array<double, kRing>, kMaxChannels> played{};
};

template <class Process>
void BlockFifo::Run(double* in, double* out, unsigned n, double** inPointers, double** outPointers,
                    Process&& process) {
  double** inList = numInputs > 0 ? inPointers : nullptr;
  double** outList = numOutputs > 0 ? outPointers : nullptr;
  unsigned frame = 0;
  while (frame < n) {
    const unsigned count = std::min(kBlock - position, n - frame);
    if (count == kBlock && available == 0) {
      for (int c = 0; c < numInputs; ++c)
        inPointers[c] = in ? in + c * n + frame : nullptr;
      for (int c = 0; c < numOutputs; ++c)
        outPointers[c] = out ? out + c * n + frame : nullptr;
      process(inList, outList);
      frame += kBlock;
      continue;
    }
    for (int c = 0; c < numInputs; ++c) {
      double* dest = collected[c].data() + position;
      if (in)
        std::memcpy(dest, in + c * n + frame, sizeof(double) * count);
      else
        std::fill(dest, dest + count, 0.0);
    }
    position += count;
    if (position == kBlock) {
      for (int c = 0; c < numInputs; ++c)
        inPointers[c] = collected[c].data();
      for (int c = 0; c < numOutputs; ++c)
        outPointers[c] = played[c].data() + writePos;
      process(inList, outList);
      writePos = (writePos + kBlock) % kRing;
      available += kBlock;
      position = 0;
    }
    PlayFromRing(out, n, frame, count);
    frame += count;
  }
}
