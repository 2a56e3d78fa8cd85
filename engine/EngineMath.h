// Small numeric helpers shared by the engine's files.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine_math {

constexpr double kMeanSquareFloor = 1e-12;  // -120 dB
constexpr double kLn10Over20 = std::numbers::ln10 / 20.0;

// Level of a mean square, floored so that no logarithm sees 0.
inline double LevelDb(double meanSquare) { return 10.0 * std::log10(std::max(meanSquare, kMeanSquareFloor)); }

inline double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

// Time constant of ms milliseconds: n = ms * fs * 0.001 samples, c = 1 - e^(-1/n).
inline double TimeConstantCoef(double ms, double fs) {
  const double n = ms * fs * 0.001;
  return -std::expm1(-1.0 / n);
}

// One-pole corner at f Hz, kept below 0.45 fs: c = 1 - e^(-2 pi f / fs).
inline double CornerCoef(double hz, double fs) {
  const double f = std::min(hz, 0.45 * fs);
  return -std::expm1(-2.0 * std::numbers::pi * f / fs);
}

// 10^(deltaDb/20) for the small steps the slew limit allows (at most about 1e-3 dB, so
// u <= 1.3e-4): the cubic Taylor series of e^u is then exact to double precision.
inline double GainStepFactor(double deltaDb) {
  const double u = deltaDb * kLn10Over20;
  return 1.0 + u * (1.0 + u * (0.5 + u * (1.0 / 6.0)));
}

}  // namespace engine_math
