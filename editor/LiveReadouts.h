// What the meters and the status lines show, as plain functions of the shared view, so that
// drawing and tests share one source. Fixed design-space coordinates.
#pragma once

#include <array>
#include <cstddef>

#include "ColoredText.h"
#include "IGraphicsStructs.h"
#include "ViewSnapshot.h"

constexpr IRECT kLiveMetersRect(872.f, 155.f, 1144.f, 409.f);
constexpr int kMeterBars = 3;
constexpr float kMeterTrackLeft = 923.f;
constexpr float kMeterTrackLength = 143.f;
// Levels at or below this print as "-inf".
constexpr float kMeterSilentDb = -90.f;

// Centre line of bar k (0 input, 1 output, 2 reference).
inline float MeterBarY(int k) {
  return 194.f + 24.f * static_cast<float>(k);
}

// A peak magnitude made safe: negative and non-finite count as 0.
float SafePeak(float peak);
// 20 log10 of a safe peak above 0, else -120.
float PeakLevelDb(float peak);
// The filled part of the track, 0..1 over -60..0 dBFS.
float MeterFill(float levelDb);

struct MeterBar {
  const char* label = "";
  float level = -120.f;
  float length = 0.f; // filled points of the track; nothing is drawn at 0
  IColor barColor{};
  IColor valueColor{};
  char value[16]{};
};

// Bar k for its peak: over full scale the bar and its value turn amber.
MeterBar MakeMeterBar(int k, float peak);

struct MeterScene {
  std::array<MeterBar, kMeterBars> bars{};
  char ride[48]{};
  char target[64]{};
  ColoredText state{};
  ColoredText clip{};
};

MeterScene MakeMeterScene(const ViewSnapshot& view, const RiderPeaks& peaks);

// The rider's state in words, the first matching condition winning.
ColoredText MeterStateLine(const ViewSnapshot& view);

// What the target follows: the Mode parameter's plain value decides Solo at once, the engine's
// mode code the rest once it has processed audio with the new mode.
ColoredText ReferenceLineText(double modeValue, int modeCode);
// Whether an external bus reaches the sidechain.
ColoredText ReferenceBusText(bool sidechainConnected);

// "CAUSAL GAIN RIDER / ZERO PDC / 48.0 kHz"; a non-finite rate counts as 48000 Hz.
void FormatStatusRate(double sampleRate, char* buffer, std::size_t size);
