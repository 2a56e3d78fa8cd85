// The audio drivers the standalone program offers: the audio library's compiled Linux APIs in a
// fixed order. The settings' driver index is a position in this list.
#pragma once

#include <RtAudio.h>

#include <vector>

struct AudioDriver {
  RtAudio::Api api;
  const char* name;
};

// ALSA, PulseAudio, JACK, each only when the library was built with it. Never empty: a library
// without any of them offers its own default API as the only entry.
const std::vector<AudioDriver>& AudioDriverList();
