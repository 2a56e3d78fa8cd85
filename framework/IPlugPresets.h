// One entry of the framework's preset list: a name and the state block it restores.
#pragma once

#include <string>

#include "IByteChunk.h"

struct IPreset {
  bool initialized = false;
  std::string name;
  IByteChunk chunk;
};
