#include "LiveReadouts.h"

#include <algorithm>
#include <cmath>

#include "CLocaleFormat.h"
#include "Palette.h"

namespace {
struct MeterRow {
  const char* label;
  float RiderPeaks::*peak;
  IColor color; // below full scale
};

constexpr std::array<MeterRow, kMeterBars> kMeterRows = {{
    {"IN", &RiderPeaks::inputPeak, kColorBlue},
    {"OUT", &RiderPeaks::outputPeak, kColorTeal},
    {"REF", &RiderPeaks::referencePeak, kColorGrey},
}};

float FiniteOr(float v, float fallback) {
  return std::isfinite(v) ? v : fallback;
}
} // namespace

float SafePeak(float peak) {
  return std::isfinite(peak) && peak > 0.f ? peak : 0.f;
}

float PeakLevelDb(float peak) {
  const float p = SafePeak(peak);
  return p > 0.f ? 20.f * std::log10(p) : -120.f;
}

float MeterFill(float levelDb) {
  return std::clamp((levelDb + 60.f) / 60.f, 0.f, 1.f);
}

MeterBar MakeMeterBar(int k, float peak) {
  const MeterRow& row = kMeterRows[static_cast<std::size_t>(std::clamp(k, 0, kMeterBars - 1))];
  const bool over = SafePeak(peak) >= 1.f;
  MeterBar bar;
  bar.label = row.label;
  bar.level = PeakLevelDb(peak);
  bar.length = kMeterTrackLength * MeterFill(bar.level);
  bar.barColor = over ? kColorAmber : row.color;
  bar.valueColor = over ? kColorAmber : kColorCream;
  if (bar.level <= kMeterSilentDb)
    FormatC(bar.value, sizeof(bar.value), "-inf");
  else
    FormatC(bar.value, sizeof(bar.value), "%.1f", static_cast<double>(bar.level));
  return bar;
}

ColoredText MeterStateLine(const ViewSnapshot& view) {
  if (view.bypassed)
    return {"BYPASSED / ORIGINAL AUDIO", kColorAmber};
  if (view.modeCode == kModeCodeNoSidechain)
    return {"NO SIDECHAIN / UNITY RETURN", kColorAmber};
  if (view.modeCode == kModeCodeReferenceClosed)
    return {"QUIET REFERENCE / UNITY RETURN", kColorAmber};
  if (view.active)
    return {"VOCAL ACTIVE / RIDING", kColorTeal};
  if (view.holding)
    return {"PAUSE HOLD / RETAINED GAIN", kColorTeal};
  return {"BELOW FLOOR / UNITY RETURN", kColorTeal};
}

MeterScene MakeMeterScene(const ViewSnapshot& view, const RiderPeaks& peaks) {
  MeterScene scene;
  for (int k = 0; k < kMeterBars; ++k)
    scene.bars[static_cast<std::size_t>(k)] =
        MakeMeterBar(k, peaks.*kMeterRows[static_cast<std::size_t>(k)].peak);
  FormatC(scene.ride, sizeof(scene.ride), "APPLIED RIDE  %+.2f dB",
          static_cast<double>(FiniteOr(view.gainDb, 0.f)));
  if (view.modeCode == kModeCodeNoSidechain || view.modeCode == kModeCodeReferenceClosed)
    FormatC(scene.target, sizeof(scene.target), "TARGET -- / NO ACTIVE REFERENCE");
  else
    FormatC(scene.target, sizeof(scene.target), "TARGET %.1f / VOCAL %.1f dBFS",
            static_cast<double>(FiniteOr(view.targetDb, -18.f)),
            static_cast<double>(FiniteOr(view.vocalDb, -120.f)));
  scene.state = MeterStateLine(view);
  scene.clip = view.clipped ? ColoredText{"OUTPUT CLIP / REDUCE LEVEL", kColorAmber}
                            : ColoredText{"OUTPUT HEADROOM / NO LIMITER", kColorGrey};
  return scene;
}

ColoredText ReferenceLineText(double modeValue, int modeCode) {
  // A NaN mode value is not Solo; the engine's code then tells what the target follows.
  if (modeValue <= 0.5)
    return {"SOLO / FILTERED VOCAL RMS TARGET", kColorGrey};
  switch (modeCode) {
  case kModeCodeNoSidechain:
    return {"NO EXTERNAL SIDECHAIN / RIDE RETURNS TO UNITY", kColorAmber};
  case kModeCodeReferenceClosed:
    return {"REFERENCE BELOW FLOOR / RIDE RETURNS TO UNITY", kColorAmber};
  case kModeCodeReferenceOpen:
    return {"EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorGrey};
  default:
    // Mix Reference chosen, but the engine has not yet processed audio with it.
    return {"EXTERNAL MIX REFERENCE / LINKED VOCAL GAIN", kColorAmber};
  }
}

ColoredText ReferenceBusText(bool sidechainConnected) {
  return sidechainConnected ? ColoredText{"EXTERNAL BUS CONNECTED / ACTIVITY STILL REQUIRED", kColorGrey}
                            : ColoredText{"NO EXTERNAL BUS / RETURN TO UNITY", kColorAmber};
}

void FormatStatusRate(double sampleRate, char* buffer, std::size_t size) {
  const double rate = std::isfinite(sampleRate) ? sampleRate : 48000.0;
  FormatC(buffer, size, "CAUSAL GAIN RIDER / ZERO PDC / %.1f kHz", rate / 1000.0);
}
