// The configuration record the plug-in hands to its framework base.
#pragma once

#include "FactoryPresets.h"
#include "IPlugConfig.h"
#include "Params.h"

constexpr const char* kTamselChannelIO = "1-1 2-2 1.1-1 1.2-1 2.1-2 2.2-2";

constexpr Config kTamselConfig{
    .nParams = kNumParams,
    .nPresets = kNumFactoryPresets,
    .channelIOStr = kTamselChannelIO,
    .pluginName = "TAMSEL",
    .productName = "TAMSEL",
    .mfrName = "KELDARINE",
    .vendorVersion = 0x100,
    .uniqueID = FourCC("Tmsl"),
    .mfrID = FourCC("Kldr"),
    .latency = 0,
    .plugDoesMidiIn = false,
    .plugDoesMidiOut = false,
    .plugDoesMPE = false,
    .plugDoesChunks = true,
    .plugType = 0,
    .plugHasUI = true,
    .plugWidth = 1180,
    .plugHeight = 800,
    .plugMinWidth = 393,
    .plugMaxWidth = 3540,
    .plugMinHeight = 266,
    .plugMaxHeight = 2400,
    .plugHostResize = true,
    .bundleID = "",
    .appGroupID = "",
};
