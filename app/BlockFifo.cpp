#include "BlockFifo.h"

#include <numeric>

unsigned BlockFifo::LatencyFor(unsigned n) {
  if (n % kBlock == 0)
    return 0;
  // The frames still missing at the end of a device block are (k * n) mod 512 for some k; their
  // largest value is 512 - gcd(n, 512).
  return kBlock - std::gcd(n, kBlock);
}

void BlockFifo::Reset(int inputs, int outputs, unsigned deviceBlock) {
  numInputs = std::clamp(inputs, 0, kMaxChannels);
  numOutputs = std::clamp(outputs, 0, kMaxChannels);
  latency = LatencyFor(deviceBlock);
  position = 0;
  writePos = 0;
  readPos = (kRing - latency) % kRing;
  available = latency;
  for (auto& channel : played)
    channel.fill(0.0);
}

void BlockFifo::PlayFromRing(double* out, unsigned n, unsigned frame, unsigned count) {
  const unsigned take = std::min(count, available);
  const unsigned first = std::min(take, kRing - readPos);
  for (int c = 0; c < numOutputs && out; ++c) {
    double* dest = out + c * n + frame;
    const double* ring = played[c].data();
    std::memcpy(dest, ring + readPos, sizeof(double) * first);
    std::memcpy(dest + first, ring, sizeof(double) * (take - first));
    std::fill(dest + take, dest + count, 0.0);
  }
  readPos = (readPos + take) % kRing;
  available -= take;
}
