// The channel I/O description: arrangements separated by spaces, each "inputs-outputs", buses
// within a side separated by '.'. "2.1-2" is a main input of 2 and a sidechain of 1 channel, with
// an output of 2 channels.
#pragma once

#include <string>
#include <vector>

struct IOConfig {
  std::vector<int> inputBuses;  // channel count per input bus, main first
  std::vector<int> outputBuses; // channel count per output bus
};

// Parses a description; malformed arrangements are skipped.
std::vector<IOConfig> ParseChannelIO(const char* description);

// True when an arrangement equals one of configs, a bus missing on either side counting as
// 0 channels.
bool MatchesIOConfig(const std::vector<IOConfig>& configs, const int* inputChannels, int numInputBuses,
                     const int* outputChannels, int numOutputBuses);
