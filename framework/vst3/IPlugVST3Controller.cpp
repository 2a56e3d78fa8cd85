// IPlugVST3: the edit-controller side. Host-visible parameter objects are derived from the IParam
// list; values, texts and conversions come from the IParam objects themselves, so no range
// exists twice.
#include <cmath>
#include <cstring>
#include <string>

#include "IPlugVST3.h"
#include "IPlugVST3View.h"
#include "Utf16.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The host shows the unit from the parameter info next to the value text.
std::string WithoutLabel(std::string text, const char* label) {
  const std::string suffix = std::string(" ") + label;
  if (label[0] != '\0' && text.size() >= suffix.size() &&
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
    text.resize(text.size() - suffix.size());
  return text;
}

} // namespace

// Host thread (initialize).
void IPlugVST3::DeclareParameters() {
  parameters.removeAll();
  String128 title{};
  String128 units{};
  for (int i = 0; i < NParams(); ++i) {
    const IParam& param = *GetParam(i);
    CopyUtf8ToUtf16(param.GetName(), title, 128);
    CopyUtf8ToUtf16(param.GetLabel(), units, 128);
    const auto tag = static_cast<ParamID>(i);
    Parameter* p = nullptr;
    if (param.Type() == IParam::kTypeEnum) {
      auto* list = new StringListParameter(title, tag, units);
      String128 text{};
      for (int t = 0; t < param.NDisplayTexts(); ++t) {
        CopyUtf8ToUtf16(param.GetDisplayText(t), text, 128);
        list->appendString(text);
      }
      list->getInfo().defaultNormalizedValue = param.GetDefault(true);
      p = list;
    } else {
      p = new Parameter(title, tag, units, param.GetDefault(true), param.GetStepCount(),
                        ParameterInfo::kCanAutomate);
    }
    p->setNormalized(param.GetNormalized());
    parameters.addParameter(p);
  }
  parameters.addParameter(new Parameter(STR16("Bypass"), kBypassParamId, nullptr, 0.0, 1,
                                        ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass));
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                    String128 string) try {
  const IParam* param = GetParam(static_cast<int>(tag));
  if (!param || tag >= kBypassParamId)
    return EditController::getParamStringByValue(tag, valueNormalized, string);
  const std::string text =
      WithoutLabel(param->DisplayText(param->FromNormalized(valueNormalized)), param->GetLabel());
  CopyUtf8ToUtf16(text.c_str(), string, 128);
  return kResultOk;
} catch (...) { // the texts are built in std::string; nothing may unwind into the host
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID tag, TChar* string,
                                                    ParamValue& valueNormalized) try {
  const IParam* param = GetParam(static_cast<int>(tag));
  if (!param || tag >= kBypassParamId)
    return EditController::getParamValueByString(tag, string, valueNormalized);
  double plain = 0.0;
  if (!param->ParseText(Utf16ToUtf8(string).c_str(), plain))
    return kResultFalse;
  valueNormalized = param->ToNormalized(plain);
  return kResultOk;
} catch (...) {
  return kResultFalse;
}

ParamValue PLUGIN_API IPlugVST3::normalizedParamToPlain(ParamID tag, ParamValue valueNormalized) {
  const IParam* param = GetParam(static_cast<int>(tag));
  if (!param || tag >= kBypassParamId)
    return EditController::normalizedParamToPlain(tag, valueNormalized);
  return param->FromNormalized(valueNormalized);
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID tag, ParamValue plainValue) {
  const IParam* param = GetParam(static_cast<int>(tag));
  if (!param || tag >= kBypassParamId)
    return EditController::plainParamToNormalized(tag, plainValue);
  return param->ToNormalized(plainValue);
}

// The live value may have moved on the audio thread (parameter queues), so it is read from there.
ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID tag) {
  const IParam* param = GetParam(static_cast<int>(tag));
  if (!param || tag >= kBypassParamId)
    return EditController::getParamNormalized(tag);
  return param->GetNormalized();
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID tag, ParamValue value) {
  Parameter* object = parameters.getParameter(tag);
  if (!object)
    return kResultFalse;
  // A value that is not finite takes the default, the bypass's too.
  if (!std::isfinite(value))
    value = object->getInfo().defaultNormalizedValue;
  object->setNormalized(value);
  if (IParam* param = GetParam(static_cast<int>(tag)); param && tag < kBypassParamId) {
    param->SetNormalized(value);
    OnParamChange(static_cast<int>(tag), kHost, -1);
    SendParameterValueFromDelegate(static_cast<int>(tag), param->GetNormalized(), true);
  }
  return kResultOk;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0 || !GetConfig().plugHasUI)
    return nullptr;
  try {
    return new IPlugVST3View(*this);
  } catch (...) {
    return nullptr;
  }
}

// UI thread: one edit of the plug-in's own (editor, preset, A/B bank) as the host sees it.
void IPlugVST3::BeginInformHostOfParamChange(int index) {
  beginEdit(static_cast<ParamID>(index));
}

void IPlugVST3::InformHostOfParamChange(int index, double normalized) {
  if (Parameter* object = parameters.getParameter(static_cast<ParamID>(index)))
    object->setNormalized(normalized);
  performEdit(static_cast<ParamID>(index), normalized);
}

void IPlugVST3::EndInformHostOfParamChange(int index) {
  endEdit(static_cast<ParamID>(index));
}
