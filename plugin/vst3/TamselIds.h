// What identifies TAMSEL to a VST3 host.
#pragma once

#include "pluginterfaces/base/ftypes.h"

// Class id of the processor. Hosts store it in every saved project: it never changes.
inline constexpr Steinberg::uint32 kTamselProcessorUID[4] = {0x34E4FE5E, 0x740834D1, 0x6B9CE68C, 0x9C3FFC58};

inline constexpr const char* kTamselCategory = "Audio Module Class";
inline constexpr const char* kTamselSubCategories = "Fx|Dynamics";
inline constexpr const char* kTamselSdkVersion = "VST 3.8.1";
