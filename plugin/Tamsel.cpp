#include "Tamsel.h"

#include "TamselConfig.h"

Tamsel::Tamsel(const InstanceInfo& info) : TamselBase(info, kTamselConfig) {
  MakeRiderEngine(engine);
  for (std::atomic<float>& value : otherBank)
    value.store(0.0f);
  DeclareParams();
  RegisterFactoryPresets();
  for (int i = 0; i < kNumParams; ++i)
    otherBank[static_cast<std::size_t>(i)].exchange(static_cast<float>(GetParam(i)->Value()));
  SetEditorFunctions();
}

// The editor closes first, while every part of the plug-in is still there: a knob held at this
// moment ends its host edit through the plug-in, and no control outlives the engine it reads.
Tamsel::~Tamsel() {
  CloseWindow();
  DestroyRiderEngine(engine);
}

void Tamsel::DeclareParams() {
  for (int i = 0; i < kNumParams; ++i) {
    const auto k = static_cast<std::size_t>(i);
    IParam* param = GetParam(i);
    if (i == kMode) {
      param->InitEnum(kParamNames[k], static_cast<int>(kParamDefaults[k]), {"Solo", "Mix Reference"});
    } else if (IsSteppedParam(i)) {
      param->InitBool(kParamNames[k], kParamDefaults[k] != 0.0f, "", IParam::kFlagsNone, "", "off", "on");
    } else {
      const IParam::Shape shape =
          IsExponentialParam(i) ? IParam::Shape(IParam::ShapeExp()) : IParam::Shape(IParam::ShapeLinear());
      param->InitDouble(kParamNames[k], kParamDefaults[k], kParamMins[k], kParamMaxs[k], 0.001,
                        kParamUnits[k], IParam::kFlagsNone, "", shape, IParam::kUnitCustom);
    }
  }
}

// Each factory preset also goes into the framework's preset list as a state block whose two
// banks both hold the preset.
void Tamsel::RegisterFactoryPresets() {
  const FactoryPresetTable& table = GetFactoryPresets();
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    const PresetRecord& record = table[static_cast<std::size_t>(p)];
    IByteChunk chunk;
    WriteStateBlock(chunk, record.values, record.values, p, false);
    MakePresetFromChunk(record.name, chunk);
  }
}

ParamVector& Tamsel::GetParamValues(ParamVector& values) const {
  values.fill(0.0f);
  for (int i = 0; i < kNumParams; ++i)
    values[static_cast<std::size_t>(i)] = static_cast<float>(GetParam(i)->Value());
  return values;
}

void Tamsel::NotifyPresetRecall() {
  for (int i = 0; i < NParams(); ++i) {
    OnParamChange(i, kPresetRecall, -1);
    OnParamChangeUI(i, kPresetRecall);
  }
}
