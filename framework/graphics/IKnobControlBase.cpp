#include "IControl.h"
#include "IEditorDelegate.h"
#include "IGraphics.h"

IKnobControlBase::IKnobControlBase(const IRECT& bounds, int paramIdx, EDirection direction, double gearing)
    : IControl(bounds, paramIdx), knobDirection(direction), knobGearing(gearing) {}

void IKnobControlBase::OnMouseDown(float, float, const IMouseMod&) {
  knobDragValue = GetValue();
  knobDragging = true;
  if (GetParam())
    GetDelegate()->BeginInformHostOfParamChangeFromUI(GetParamIdx());
  if (GetUI())
    GetUI()->HideMouseCursor(true);
}

void IKnobControlBase::OnMouseUp(float, float, const IMouseMod&) {
  if (!knobDragging)
    return;
  knobDragging = false;
  if (GetParam())
    GetDelegate()->EndInformHostOfParamChangeFromUI(GetParamIdx());
  if (GetUI())
    GetUI()->HideMouseCursor(false);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod) {
  if (!knobDragging)
    return;
  const IRECT span = GetKnobDragBounds();
  const double gearing = knobGearing * ((mod.S || mod.C) ? 10.0 : 1.0);
  const double extent = knobDirection == EDirection::Vertical ? span.H() : span.W();
  if (extent <= 0.0 || gearing <= 0.0)
    return;
  // Upward (negative y) and rightward movement increase the value.
  const double distance = knobDirection == EDirection::Vertical ? -dY : dX;
  knobDragValue += distance / extent / gearing;
  const double value = std::clamp(knobDragValue, 0.0, 1.0);
  if (value != GetValue()) {
    SetValue(value);
    SetDirty(true);
  }
}

void IKnobControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) {
  if (knobDragging)
    return; // the drag's edit is open: a step would nest a second one
  const double step = (mod.S || mod.C) ? 0.001 : 0.01;
  SetValueFromUserInput(std::clamp(GetValue() + step * d, 0.0, 1.0));
}
