// Reading back offscreen frames: pixels addressed in design points at the frame's draw scale.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "IGraphics.h"

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

inline Rgb ToRgb(const IColor& c) {
  return {c.R, c.G, c.B};
}

struct Frame {
  std::vector<std::uint8_t> rgba;
  int width = 0, height = 0;
  float scale = 1.f;

  bool Render(IGraphics& ui) {
    scale = ui.GetDrawScale() * ui.GetScreenScale();
    return ui.RenderOffscreen(rgba, width, height);
  }
  const std::uint8_t* PixelAt(int x, int y) const {
    return &rgba[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
  }
  // The pixel whose area starts at the design point (x, y).
  Rgb At(float x, float y) const {
    const std::uint8_t* p = PixelAt(static_cast<int>(x * scale), static_cast<int>(y * scale));
    return {p[0], p[1], p[2]};
  }
  bool AllOpaque() const {
    for (size_t i = 3; i < rgba.size(); i += 4)
      if (rgba[i] != 255)
        return false;
    return true;
  }
  // Pixels inside the design rectangle that pass the test.
  int Count(const IRECT& r, const std::function<bool(Rgb)>& test) const {
    int n = 0;
    ForEach(r, [&](int, int, Rgb c) { n += test(c) ? 1 : 0; });
    return n;
  }
  // The rightmost pixel column inside r holding a pixel that passes the test; -1 when none.
  int RightmostColumn(const IRECT& r, const std::function<bool(Rgb)>& test) const {
    int right = -1;
    ForEach(r, [&](int x, int, Rgb c) {
      if (test(c) && x > right)
        right = x;
    });
    return right;
  }
  void ForEach(const IRECT& r, const std::function<void(int, int, Rgb)>& visit) const {
    const int x0 = static_cast<int>(r.L * scale), x1 = static_cast<int>(r.R * scale);
    const int y0 = static_cast<int>(r.T * scale), y1 = static_cast<int>(r.B * scale);
    for (int y = y0; y < y1 && y < height; ++y)
      for (int x = x0; x < x1 && x < width; ++x) {
        const std::uint8_t* p = PixelAt(x, y);
        visit(x, y, {p[0], p[1], p[2]});
      }
  }
};

// Amber ink over the dark background: far more red than blue (cream, grey and the background
// are close to neutral or blue).
inline bool IsAmberish(Rgb c) {
  return c.r - c.b > 40;
}
// Any text or line well above the background's brightness.
inline bool IsInked(Rgb c) {
  return c.r > 90 || c.g > 90 || c.b > 90;
}
