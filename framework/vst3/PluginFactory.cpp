#include "PluginFactory.h"

#include <cstring>
#include <new>

#include "Utf16.h"
#include "pluginterfaces/base/funknown.h"

using namespace Steinberg;

namespace {

template <std::size_t N> void CopyText(char8 (&out)[N], const char* text) {
  std::strncpy(out, text ? text : "", N - 1);
  out[N - 1] = 0;
}

// The fields the three class-info records share.
template <class Info> void FillClassBasics(Info* info, const PluginClassDesc& c) {
  *info = {};
  std::memcpy(info->cid, c.cid, sizeof(TUID));
  info->cardinality = PClassInfo::kManyInstances;
  CopyText(info->category, c.category);
}

} // namespace

tresult PLUGIN_API PluginFactory::queryInterface(const TUID queried, void** obj) {
  QUERY_INTERFACE(queried, obj, FUnknown::iid, IPluginFactory)
  QUERY_INTERFACE(queried, obj, IPluginFactory::iid, IPluginFactory)
  QUERY_INTERFACE(queried, obj, IPluginFactory2::iid, IPluginFactory2)
  QUERY_INTERFACE(queried, obj, IPluginFactory3::iid, IPluginFactory3)
  *obj = nullptr;
  return kNoInterface;
}

const PluginClassDesc* PluginFactory::ClassAt(int32 index) const {
  return index >= 0 && index < desc.numClasses ? &desc.classes[index] : nullptr;
}

tresult PLUGIN_API PluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (!info)
    return kInvalidArgument;
  *info = {};
  CopyText(info->vendor, desc.vendor);
  CopyText(info->url, desc.url);
  CopyText(info->email, desc.email);
  info->flags = PFactoryInfo::kUnicode;
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const PluginClassDesc* c = ClassAt(index);
  if (!c || !info)
    return kInvalidArgument;
  FillClassBasics(info, *c);
  CopyText(info->name, c->name);
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const PluginClassDesc* c = ClassAt(index);
  if (!c || !info)
    return kInvalidArgument;
  FillClassBasics(info, *c);
  CopyText(info->name, c->name);
  CopyText(info->subCategories, c->subCategories);
  CopyText(info->vendor, desc.vendor);
  CopyText(info->version, c->version);
  CopyText(info->sdkVersion, c->sdkVersion);
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const PluginClassDesc* c = ClassAt(index);
  if (!c || !info)
    return kInvalidArgument;
  FillClassBasics(info, *c);
  CopyUtf8ToUtf16(c->name, info->name, PClassInfo::kNameSize);
  CopyText(info->subCategories, c->subCategories);
  CopyUtf8ToUtf16(desc.vendor, info->vendor, PClassInfo2::kVendorSize);
  CopyUtf8ToUtf16(c->version, info->version, PClassInfo2::kVersionSize);
  CopyUtf8ToUtf16(c->sdkVersion, info->sdkVersion, PClassInfo2::kVersionSize);
  return kResultOk;
}

// Host thread. Nothing may throw back into the host.
tresult PLUGIN_API PluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj) {
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !interfaceId)
    return kInvalidArgument;
  for (int32 i = 0; i < desc.numClasses; ++i) {
    const PluginClassDesc& c = desc.classes[i];
    if (std::memcmp(c.cid, cid, sizeof(TUID)) != 0)
      continue;
    FUnknown* instance = nullptr;
    try {
      const std::lock_guard<std::mutex> hold(createLock);
      instance = c.create();
    } catch (...) {
      return kOutOfMemory;
    }
    if (!instance)
      return kOutOfMemory;
    TUID wanted;
    std::memcpy(wanted, interfaceId, sizeof(TUID));
    const tresult result = instance->queryInterface(wanted, obj);
    instance->release();
    return result == kResultOk ? kResultOk : kNoInterface;
  }
  return kInvalidArgument;
}
