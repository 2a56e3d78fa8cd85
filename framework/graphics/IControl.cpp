#include "IControl.h"

#include "IEditorDelegate.h"
#include "IGraphics.h"
#include "IParam.h"

IControl::IControl(const IRECT& bounds, int paramIdx, IActionFunction action)
    : controlRect(bounds), controlTargetRect(bounds), controlParamIdx(paramIdx),
      controlAction(std::move(action)) {}

void IControl::OnMouseDown(float, float, const IMouseMod&) {}
void IControl::OnMouseUp(float, float, const IMouseMod&) {}
void IControl::OnMouseDrag(float, float, float, float, const IMouseMod&) {}
void IControl::OnMouseWheel(float, float, const IMouseMod&, float) {}

void IControl::OnMouseDblClick(float, float, const IMouseMod&) {
  SetValueToDefault();
}

void IControl::OnMouseOver(float, float, const IMouseMod&) {
  if (!controlMouseIsOver) {
    controlMouseIsOver = true;
    SetDirty(false);
  }
}

void IControl::OnMouseOut() {
  if (controlMouseIsOver) {
    controlMouseIsOver = false;
    SetDirty(false);
  }
}

bool IControl::OnKeyDown(float, float, const IKeyPress&) {
  return false;
}

void IControl::OnTextEntryCompletion(const char*, int) {}
void IControl::OnPopupMenuSelection(IPopupMenu*, int) {}

bool IControl::IsDirty() {
  return controlDirty;
}

void IControl::SetDirty(bool triggerAction, int) {
  controlDirty = true;
  if (!triggerAction)
    return;
  if (IEditorDelegate* delegate = GetDelegate(); delegate && GetParam()) {
    delegate->SendParameterValueFromUI(controlParamIdx, controlValue);
    // Peers bound to the same parameter (and this control) follow the value the parameter took.
    if (controlUI)
      controlUI->SetControlValueFromDelegate(controlParamIdx, GetParam()->GetNormalized());
  }
  if (controlAction)
    controlAction(this);
}

double IControl::GetValue(int) const {
  return controlValue;
}

void IControl::SetValue(double value, int) {
  if (std::isfinite(value))
    controlValue = std::clamp(value, 0.0, 1.0);
}

void IControl::SetValueFromDelegate(double value, int valIdx) {
  if (GetValue(valIdx) != value) {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx) {
  if (!std::isfinite(value) || GetValue(valIdx) == std::clamp(value, 0.0, 1.0))
    return;
  IEditorDelegate* delegate = GetParam() ? GetDelegate() : nullptr;
  if (delegate)
    delegate->BeginInformHostOfParamChangeFromUI(controlParamIdx);
  SetValue(value, valIdx);
  SetDirty(true, valIdx);
  if (delegate)
    delegate->EndInformHostOfParamChangeFromUI(controlParamIdx);
}

void IControl::SetValueToDefault(int) {
  if (const IParam* param = GetParam())
    SetValueFromUserInput(param->GetDefault(true));
}

int IControl::GetParamIdx(int) const {
  return controlParamIdx;
}

void IControl::SetParamIdx(int paramIdx, int) {
  controlParamIdx = paramIdx;
}

const IParam* IControl::GetParam(int) const {
  const IEditorDelegate* delegate = GetDelegate();
  return delegate && controlParamIdx != kNoParameter ? delegate->GetParam(controlParamIdx) : nullptr;
}

void IControl::Hide(bool hide) {
  if (controlHidden != hide) {
    controlHidden = hide;
    SetDirty(false);
  }
}

void IControl::SetDisabled(bool disable) {
  if (controlDisabled != disable) {
    controlDisabled = disable;
    SetDirty(false);
  }
}

IEditorDelegate* IControl::GetDelegate() const {
  return controlUI ? controlUI->GetDelegate() : nullptr;
}
