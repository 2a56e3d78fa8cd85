// The module's one class: the TAMSEL single-component effect.
#include <string>

#include "PluginFactory.h"
#include "Tamsel.h"
#include "TamselConfig.h"
#include "TamselIds.h"

namespace {

// Name, vendor and version come from the plug-in's configuration record.
const std::string kTamselVersion = VersionString(kTamselConfig.vendorVersion);

Steinberg::FUnknown* CreateTamsel() {
  return static_cast<Steinberg::Vst::IAudioProcessor*>(new Tamsel());
}

const PluginClassDesc kTamselClasses[] = {{
    INLINE_UID(kTamselProcessorUID[0], kTamselProcessorUID[1], kTamselProcessorUID[2],
               kTamselProcessorUID[3]),
    kTamselCategory,
    kTamselConfig.pluginName,
    kTamselSubCategories,
    kTamselVersion.c_str(),
    kTamselSdkVersion,
    &CreateTamsel,
}};

const FactoryDesc kTamselFactory{kTamselConfig.mfrName, "", "", kTamselClasses, 1};

} // namespace

const FactoryDesc& PluginFactoryDesc() {
  return kTamselFactory;
}
