// The editor's knob for every continuous parameter: label, value arc, body with pointer and the
// value box with the formatted value. It takes drags, the wheel, keyboard steps and typed values
// (neither wheel nor keys during a drag, whose edit is open), and turns grey and ignores input
// while the mode makes its parameter irrelevant. UI thread only.
#pragma once

#include <memory>

#include "IControl.h"

class IGraphics;
class Tamsel;
class ValueEntry;
struct ViewState;

class Knob : public IKnobControlBase {
public:
  Knob(const IRECT& bounds, int paramIdx, const char* knobLabel, Tamsel* owner,
       std::shared_ptr<ViewState> sharedView);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  void Draw(IGraphics& g) override;
  bool IsDirty() override;
  IRECT GetKnobDragBounds() override { return GetTargetRECT(); }

  // The box under the body: the drawn value, the click target for typed entry, the entry field.
  IRECT ValueBox() const;
  // Whether the current mode makes this knob's parameter irrelevant.
  bool DisabledByMode() const;

  const char* label;
  Tamsel* plugin;
  std::shared_ptr<ViewState> viewState;
  ValueEntry* valueEntry = nullptr; // owned by the graphics object

private:
  void WriteHelp();
};
