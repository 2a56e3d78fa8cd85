// UTF-8 text of the framework to and from the UTF-16 strings of the VST3 interfaces.
#pragma once

#include <string>

#include "pluginterfaces/base/ftypes.h"

// Copies utf8 into a zero-terminated buffer of capacity units, cutting it when it is longer.
void CopyUtf8ToUtf16(const char* utf8, Steinberg::char16* out, int capacity);
std::string Utf16ToUtf8(const Steinberg::char16* text);
