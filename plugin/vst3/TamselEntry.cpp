// The module's one class: the TAMSEL single-component effect.
#include "PluginFactory.h"
#include "Tamsel.h"
#include "TamselIds.h"

namespace {

Steinberg::FUnknown* CreateTamsel() {
  return static_cast<Steinberg::Vst::IAudioProcessor*>(new Tamsel());
}

const PluginClassDesc kTamselClasses[] = {{
    INLINE_UID(kTamselProcessorUID[0], kTamselProcessorUID[1], kTamselProcessorUID[2],
               kTamselProcessorUID[3]),
    kTamselCategory,
    kTamselClassName,
    kTamselSubCategories,
    kTamselVersion,
    kTamselSdkVersion,
    &CreateTamsel,
}};

const FactoryDesc kTamselFactory{kTamselVendor, "", "", kTamselClasses, 1};

} // namespace

const FactoryDesc& PluginFactoryDesc() {
  return kTamselFactory;
}
