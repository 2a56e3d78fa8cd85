// The record a plug-in hands to the framework base at construction, and small shared enums.
#pragma once

#include <string>

// Filled in by a deliverable's wrapper (VST3 factory, standalone host); the base keeps nothing of it.
struct InstanceInfo {
  void* appHost = nullptr; // standalone: the host object that asks for the plug-in
};

struct Config {
  int nParams = 0;
  int nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int vendorVersion = 0; // 0xMMMMmmpp: major, minor, patch
  int uniqueID = 0;
  int mfrID = 0;
  int latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  int plugType = 0; // 0: effect
  bool plugHasUI = false;
  int plugWidth = 0;
  int plugHeight = 0;
  int plugMinWidth = 0;
  int plugMaxWidth = 0;
  int plugMinHeight = 0;
  int plugMaxHeight = 0;
  bool plugHostResize = false;
  const char* bundleID = "";
  const char* appGroupID = "";
};

// Who caused a parameter change.
enum EParamSource { kReset = 0, kHost = 1, kPresetRecall = 2, kUI = 3, kDelegate = 4 };

// Direction of an audio bus or channel (scoped: parameter tables may use the plain names).
enum class ERoute { kInput = 0, kOutput = 1 };

// Four-character code, first letter in the most significant byte.
constexpr int FourCC(const char (&code)[5]) {
  return static_cast<int>((static_cast<unsigned>(static_cast<unsigned char>(code[0])) << 24) |
                          (static_cast<unsigned>(static_cast<unsigned char>(code[1])) << 16) |
                          (static_cast<unsigned>(static_cast<unsigned char>(code[2])) << 8) |
                          static_cast<unsigned>(static_cast<unsigned char>(code[3])));
}

// "major.minor.patch" from a version word 0xMMMMmmpp (0x100 reads "0.1.0").
std::string VersionString(int version);
