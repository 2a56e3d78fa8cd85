#include "Utf8.h"

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The byte count that a lead byte announces; 1 for anything that is not a lead byte.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4)
    return 4;
  if (lead >= 0xE0)
    return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2)
    return 2;
  return 1;
}

} // namespace

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text.size();
  // Step back over the continuation bytes of a character that the cut would split.
  std::size_t start = maxBytes;
  std::size_t back = 0;
  while (start > 0 && back < 3 && IsContinuation(static_cast<unsigned char>(text[start]))) {
    --start;
    ++back;
  }
  if (back == 0)
    return maxBytes; // the cut falls before a lead byte or a single byte
  const unsigned char lead = static_cast<unsigned char>(text[start]);
  return SequenceLength(lead) > back ? start : maxBytes;
}
