// The module's plug-in factory: IPluginFactory3 over a fixed list of classes that the plug-in
// supplies through PluginFactoryDesc().
#pragma once

#include <mutex>

#include "pluginterfaces/base/ipluginbase.h"

struct PluginClassDesc {
  Steinberg::TUID cid;
  const char* category;
  const char* name;
  const char* subCategories;
  const char* version;
  const char* sdkVersion;
  // A new instance holding one reference; host thread, under the module lock.
  Steinberg::FUnknown* (*create)();
};

struct FactoryDesc {
  const char* vendor;
  const char* url;
  const char* email;
  const PluginClassDesc* classes;
  int numClasses;
};

// Supplied by the plug-in.
const FactoryDesc& PluginFactoryDesc();

class PluginFactory : public Steinberg::IPluginFactory3 {
public:
  explicit PluginFactory(const FactoryDesc& classes) : desc(classes) {}
  virtual ~PluginFactory() = default;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  // The factory lives as long as the module; host references do not own it.
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override { return desc.numClasses; }
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) override;
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index,
                                                    Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString interfaceId,
                                               void** obj) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown*) override { return Steinberg::kResultOk; }

private:
  const PluginClassDesc* ClassAt(Steinberg::int32 index) const;

  const FactoryDesc& desc;
  std::mutex createLock; // one instance constructed at a time, module-wide
};
