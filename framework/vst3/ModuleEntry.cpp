// The three exports of a Linux VST3 module. ModuleEntry and ModuleExit keep a load counter: the
// first entry initialises the module, the last exit uninitialises it.
#include "ModuleEntry.h"

#include <dlfcn.h>

#include <mutex>

#include "PluginFactory.h"
#include "pluginterfaces/base/fplatform.h"

namespace {

std::mutex entryLock;
int loadCount = 0;
void* moduleHandle = nullptr;
std::string moduleFolder;

std::string FolderOfThisModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&FolderOfThisModule), &info) == 0 || !info.dli_fname)
    return {};
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

void* ModuleHandle() {
  const std::lock_guard<std::mutex> hold(entryLock);
  return moduleHandle;
}

std::string ModuleFolder() {
  const std::lock_guard<std::mutex> hold(entryLock);
  return moduleFolder;
}

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle) {
  try {
    const std::lock_guard<std::mutex> hold(entryLock);
    if (loadCount++ == 0) {
      moduleHandle = sharedLibraryHandle;
      moduleFolder = FolderOfThisModule();
    }
    return true;
  } catch (...) {
    return false;
  }
}

SMTG_EXPORT_SYMBOL bool ModuleExit() {
  const std::lock_guard<std::mutex> hold(entryLock);
  if (loadCount == 0)
    return false;
  if (--loadCount == 0) {
    moduleHandle = nullptr;
    moduleFolder.clear();
    moduleFolder.shrink_to_fit();
  }
  return true;
}

SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() {
  static PluginFactory factory(PluginFactoryDesc());
  return &factory;
}

} // extern "C"
