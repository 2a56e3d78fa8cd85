// Double clicks from press times: X11 reports only single presses.
#pragma once

#include <cmath>
#include <cstdint>

struct DoubleClick {
  static constexpr double kInterval = 0.4; // seconds between the presses
  static constexpr double kDistance = 4.0; // pixels the second press may stray

  // true when this press completes a double click; a third press starts over.
  bool Press(double time, double x, double y, std::uint32_t button) {
    const bool isDouble = hasLast && button == lastButton && time - lastTime <= kInterval &&
                          time >= lastTime && std::fabs(x - lastX) <= kDistance &&
                          std::fabs(y - lastY) <= kDistance;
    hasLast = !isDouble;
    lastTime = time;
    lastX = x;
    lastY = y;
    lastButton = button;
    return isDouble;
  }

private:
  bool hasLast = false;
  double lastTime = 0.0, lastX = 0.0, lastY = 0.0;
  std::uint32_t lastButton = 0;
};
