// "settings.ini": sections audio and midi, thirteen keys, read once at start and rewritten whole
// at each save. Lines the program does not know are kept.
#include <limits>

#include "AppHost.h"
#include "AudioDrivers.h"
#include "Folders.h"
#include "IniFile.h"

namespace {

constexpr const char* kSettingsFolder = "Tamsel";
constexpr const char* kSettingsFile = "settings.ini";
// A value is read into a buffer of this size, so at most 99 bytes of it are kept.
constexpr std::size_t kValueBuffer = 100;
constexpr std::uint32_t kMost = std::numeric_limits<std::uint32_t>::max();

// One key: its field (text or number), the value taken when the key is missing, and for numbers
// the range outside which the read value is replaced by that same value.
struct SettingsKey {
  const char* section;
  const char* key;
  std::string AppState::*text;
  std::uint32_t AppState::*number;
  const char* missingText;
  std::uint32_t missingNumber;
  bool writtenSigned; // "%i" rather than "%u"
  std::uint32_t least;
  std::uint32_t most;
};

// In the order of reading and writing. The driver's range is the driver list, checked apart.
const SettingsKey kSettingsKeys[] = {
    {"audio", "driver", nullptr, &AppState::audioDriverType, nullptr, 0, false, 0, kMost},
    {"audio", "indev", &AppState::audioInputDevice, nullptr, "Built-in Input", 0, false, 0, 0},
    {"audio", "outdev", &AppState::audioOutputDevice, nullptr, "Built-in Output", 0, false, 0, 0},
    {"audio", "in1", nullptr, &AppState::inputChannelLeft, nullptr, 1, false, 1, 1024},
    {"audio", "in2", nullptr, &AppState::inputChannelRight, nullptr, 2, false, 1, 1024},
    {"audio", "out1", nullptr, &AppState::outputChannelLeft, nullptr, 1, false, 1, 1024},
    {"audio", "out2", nullptr, &AppState::outputChannelRight, nullptr, 2, false, 1, 1024},
    {"audio", "buffer", nullptr, &AppState::bufferSize, nullptr, 512, true, 16, 8192},
    {"audio", "sr", nullptr, &AppState::sampleRate, nullptr, 44100, true, 8000, 384000},
    {"midi", "indev", &AppState::midiInputDevice, nullptr, "no input", 0, false, 0, 0},
    {"midi", "outdev", &AppState::midiOutputDevice, nullptr, "no output", 0, false, 0, 0},
    {"midi", "inchan", nullptr, &AppState::midiInputChannel, nullptr, 0, false, 0, 16},
    {"midi", "outchan", nullptr, &AppState::midiOutputChannel, nullptr, 0, false, 0, 16},
};

std::string FormatNumber(const SettingsKey& row, std::uint32_t value) {
  return row.writtenSigned ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
}

} // namespace

bool AppHost::LoadSettings() {
  const std::string config = UserConfigFolder();
  if (config.empty()) {
    iniPath.clear(); // no place for the file: run with the defaults and write nothing
    return true;
  }
  iniPath = config + "/" + kSettingsFolder + "/";
  bool read = true;
  if (!PathExists(iniPath)) {
    CreateFolders(iniPath);
    read = false;
  }
  iniPath += kSettingsFile;
  IniFile file;
  // A file that cannot be read (no regular file, too large) leaves the defaults; the save below
  // then fails the same way and leaves the file alone.
  if (read && RegularFileExists(iniPath) && file.Load(iniPath)) {
    for (const SettingsKey& row : kSettingsKeys) {
      if (row.text) {
        state.*row.text = file.GetString(row.section, row.key, row.missingText, kValueBuffer);
        continue;
      }
      const std::uint32_t value = file.GetInt(row.section, row.key, row.missingNumber);
      state.*row.number = value < row.least || value > row.most ? row.missingNumber : value;
    }
    if (state.audioDriverType >= AudioDriverList().size())
      state.audioDriverType = 0;
  }
  SaveSettings();
  return true;
}

bool AppHost::SaveSettings() {
  if (iniPath.empty())
    return false;
  IniFile file;
  if (!file.Load(iniPath))
    return false; // a file we cannot read is not replaced by one without its other lines
  for (const SettingsKey& row : kSettingsKeys)
    file.Set(row.section, row.key, row.text ? state.*row.text : FormatNumber(row, state.*row.number));
  return file.Save(iniPath);
}
