// Test rig: an engine with chosen parameters, stereo test signals and chunked processing.
#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "RiderEngine.h"

struct Stereo {
  std::vector<float> left, right;
  explicit Stereo(int frames = 0) : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames)) {}
  int Frames() const { return static_cast<int>(left.size()); }
};

// A sine per channel; quadrature puts a cosine on the right so that L^2 + R^2 carries no ripple.
inline Stereo Tone(double fs, double hz, double amplitude, int frames, bool quadrature = false) {
  Stereo s(frames);
  for (int i = 0; i < frames; ++i) {
    const double phase = 2.0 * std::numbers::pi * hz * i / fs;
    s.left[i] = static_cast<float>(amplitude * std::sin(phase));
    s.right[i] = static_cast<float>(amplitude * (quadrature ? std::cos(phase) : std::sin(phase)));
  }
  return s;
}

inline double DbOfMeanSquare(double ms) { return 10.0 * std::log10(ms); }
inline double MeanSquareOfDb(double db) { return std::pow(10.0, db / 10.0); }

// The reference handed to Rig::Run: buffers (or none) and the bus flags.
struct Sidechain {
  const Stereo* reference = nullptr;
  bool connected = false;
  bool silent = false;
};

struct Rig {
  std::unique_ptr<RiderEngine> engine;

  explicit Rig(std::initializer_list<std::pair<int, float>> changes = {}, double fs = 48000.0) {
    MakeRiderEngine(engine);
    ParamVector p = kParamDefaults;
    for (const auto& [index, value] : changes) p[index] = value;
    engine->SetParams(p);
    engine->SetSampleRate(fs);
  }

  RiderEngine* operator->() const { return engine.get(); }

  void Set(int index, float value) {
    ParamVector p = engine->params;
    p[index] = value;
    engine->SetParams(p);
  }

  // Processes in calls of at most `chunk` frames and returns the output.
  Stereo Run(const Stereo& in, int chunk = kEngineChunk, Sidechain side = {}, bool hostBypass = false) {
    Stereo out(in.Frames());
    for (int start = 0; start < in.Frames(); start += chunk) {
      const int n = std::min(chunk, in.Frames() - start);
      const float* mainIn[2] = {in.left.data() + start, in.right.data() + start};
      float* outs[2] = {out.left.data() + start, out.right.data() + start};
      const float* sideIn[2] = {nullptr, nullptr};
      if (side.reference != nullptr) {
        sideIn[0] = side.reference->left.data() + start;
        sideIn[1] = side.reference->right.data() + start;
      }
      engine->Process(mainIn, outs, n, hostBypass, side.reference ? sideIn : nullptr, side.connected, side.silent);
    }
    return out;
  }
};
