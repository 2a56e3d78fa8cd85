// A read-out text together with the colour its state gives it.
#pragma once

#include "IGraphicsStructs.h"

struct ColoredText {
  const char* text = "";
  IColor color{};
};
