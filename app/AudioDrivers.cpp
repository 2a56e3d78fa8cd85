#include "AudioDrivers.h"

#include <algorithm>

const std::vector<AudioDriver>& AudioDriverList() {
  static const std::vector<AudioDriver> drivers = [] {
    constexpr AudioDriver kOrder[] = {
        {RtAudio::LINUX_ALSA, "ALSA"}, {RtAudio::LINUX_PULSE, "PulseAudio"}, {RtAudio::UNIX_JACK, "JACK"}};
    std::vector<RtAudio::Api> compiled;
    RtAudio::getCompiledApi(compiled);
    std::vector<AudioDriver> list;
    for (const AudioDriver& driver : kOrder)
      if (std::find(compiled.begin(), compiled.end(), driver.api) != compiled.end())
        list.push_back(driver);
    if (list.empty())
      list.push_back({RtAudio::UNSPECIFIED, "Default"});
    return list;
  }();
  return drivers;
}
