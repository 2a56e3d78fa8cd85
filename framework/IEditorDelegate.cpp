#include "IEditorDelegate.h"

#include <cmath>

#include "IGraphics.h"
#include "IParam.h"

void IEditorDelegate::GraphicsDeleter::operator()(IGraphics* g) const {
  delete g;
}

IEditorDelegate::IEditorDelegate() = default;

IEditorDelegate::~IEditorDelegate() {
  CloseWindow();
}

void IEditorDelegate::BeginInformHostOfParamChangeFromUI(int paramIdx) {
  if (GetParam(paramIdx))
    BeginInformHostOfParamChange(paramIdx);
}

void IEditorDelegate::SendParameterValueFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param || !std::isfinite(normalized))
    return;
  param->SetNormalized(normalized);
  InformHostOfParamChange(paramIdx, param->GetNormalized());
  OnParamChange(paramIdx, kUI, -1);
  OnParamChangeUI(paramIdx, kUI);
}

void IEditorDelegate::EndInformHostOfParamChangeFromUI(int paramIdx) {
  if (GetParam(paramIdx))
    EndInformHostOfParamChange(paramIdx);
}

void IEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double value, bool normalized) {
  if (!ui)
    return;
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  ui->SetControlValueFromDelegate(paramIdx, normalized ? value : param->ToNormalized(value));
}

IGraphics* IEditorDelegate::OpenUI() {
  if (ui)
    return ui.get();
  if (!makeGraphicsFunc)
    return nullptr;
  ui.reset(makeGraphicsFunc());
  if (!ui)
    return nullptr;
  if (lastScale > 0.f)
    ui->Resize(ui->Width(), ui->Height(), lastScale, false);
  if (layoutFunc)
    layoutFunc(ui.get());
  return ui.get();
}

void* IEditorDelegate::OpenWindow(void* parent) {
  const bool wasOpen = ui != nullptr;
  IGraphics* graphics = OpenUI();
  if (!graphics)
    return nullptr;
  if (!graphics->WindowIsOpen() && !graphics->OpenWindow(parent)) {
    if (!wasOpen)
      ui.reset();
    return nullptr;
  }
  return graphics->GetWindow();
}

void IEditorDelegate::CloseWindow() {
  if (!ui)
    return;
  lastScale = ui->GetDrawScale();
  ui->CloseWindow();
  ui.reset();
}
