#include "IPlugConfig.h"

std::string VersionString(int version) {
  const unsigned v = static_cast<unsigned>(version);
  return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFFu) + "." + std::to_string(v & 0xFFu);
}
