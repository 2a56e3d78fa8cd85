// Geometry and hover state of an open popup menu drawn by the layer: one row per item below (or,
// without room, above) the rectangle it opened for, kept inside the editor. UI thread only.
#pragma once

#include <functional>

#include "IControl.h"
#include "IPopupMenu.h"

struct PopupMenuView {
  static constexpr float kItemHeight = 24.f;
  static constexpr float kTickSpace = 22.f; // left margin holding the tick mark
  static constexpr float kTextPad = 12.f;

  IControl* control = nullptr;
  IPopupMenu* menu = nullptr;
  int valIdx = 0;
  IText style;
  IRECT box;
  int hovered = -1;

  // textWidth gives the width of an item's text in the menu's style.
  PopupMenuView(IControl& owner, IPopupMenu& items, const IRECT& bounds, int idx, float editorWidth,
                float editorHeight, const std::function<float(const char*)>& textWidth);

  IRECT ItemRect(int index) const;
  // The item under (x, y), -1 when none.
  int ItemAt(float x, float y) const;
  bool Selectable(int index) const;
  // The next selectable item from hovered in direction step (+1 / -1); hovered when none.
  int Step(int step) const;
};
