#include "IPlugChannelIO.h"

#include <algorithm>
#include <cstddef>

namespace {

// "2.1" -> {2, 1}; false for anything but digits and single dots.
bool ParseBusList(const std::string& text, std::vector<int>& buses) {
  buses.clear();
  if (text.empty())
    return false;
  int count = 0;
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (count > 64)
        return false;
      count = count * 10 + (c - '0');
      digit = true;
    } else if (c == '.' && digit) {
      buses.push_back(count);
      count = 0;
      digit = false;
    } else {
      return false;
    }
  }
  if (!digit)
    return false;
  buses.push_back(count);
  return true;
}

bool SideMatches(const std::vector<int>& buses, const int* channels, int numBuses) {
  const std::size_t given = (channels && numBuses > 0) ? static_cast<std::size_t>(numBuses) : 0u;
  const std::size_t n = std::max(buses.size(), given);
  for (std::size_t b = 0; b < n; ++b) {
    const int want = b < buses.size() ? buses[b] : 0;
    const int have = b < given ? channels[b] : 0;
    if (want != have)
      return false;
  }
  return true;
}

} // namespace

std::vector<IOConfig> ParseChannelIO(const char* description) {
  std::vector<IOConfig> configs;
  if (!description)
    return configs;
  const std::string text(description);
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && text[pos] == ' ')
      ++pos;
    std::size_t end = text.find(' ', pos);
    if (end == std::string::npos)
      end = text.size();
    const std::string token = text.substr(pos, end - pos);
    pos = end;
    const std::size_t dash = token.find('-');
    if (token.empty() || dash == std::string::npos)
      continue;
    IOConfig config;
    if (ParseBusList(token.substr(0, dash), config.inputBuses) &&
        ParseBusList(token.substr(dash + 1), config.outputBuses))
      configs.push_back(std::move(config));
  }
  return configs;
}

bool MatchesIOConfig(const std::vector<IOConfig>& configs, const int* inputChannels, int numInputBuses,
                     const int* outputChannels, int numOutputBuses) {
  for (const IOConfig& config : configs) {
    if (SideMatches(config.inputBuses, inputChannels, numInputBuses) &&
        SideMatches(config.outputBuses, outputChannels, numOutputBuses))
      return true;
  }
  return false;
}
