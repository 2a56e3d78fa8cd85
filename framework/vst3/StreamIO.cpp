#include "StreamIO.h"

#include <cstdint>

using namespace Steinberg;

bool WriteAll(IBStream* stream, const void* data, int size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  int written = 0;
  while (written < size) {
    const int32 rest = size - written;
    int32 count = 0;
    if (stream->write(const_cast<std::uint8_t*>(bytes + written), rest, &count) != kResultOk)
      return false;
    if (count < 1 || count > rest)
      return false;
    written += count;
  }
  return true;
}

bool ReadExact(IBStream* stream, void* data, int size) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  int read = 0;
  while (read < size) {
    const int32 rest = size - read;
    int32 count = 0;
    if (stream->read(bytes + read, rest, &count) != kResultOk)
      return false;
    if (count < 1 || count > rest)
      return false;
    read += count;
  }
  return true;
}

bool AtStreamEnd(IBStream* stream) {
  std::uint8_t extra = 0;
  int32 count = 0;
  const tresult result = stream->read(&extra, 1, &count);
  if (result != kResultOk && result != kResultFalse)
    return false;
  return count == 0;
}
