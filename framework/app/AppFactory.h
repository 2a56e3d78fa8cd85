// How a standalone host gets its plug-in: the plug-in supplies MakePlug, the host calls
// CreatePlug, which constructs one instance at a time under a process-wide lock.
#pragma once

#include <memory>
#include <mutex>

#include "IPlugAPP.h"

// Supplied by the plug-in.
std::unique_ptr<IPlugAPP> MakePlug(const InstanceInfo& info);

// UI thread. Inline, so that the plug-in's MakePlug resolves in whatever links the host.
inline std::unique_ptr<IPlugAPP> CreatePlug(const InstanceInfo& info) {
  static std::mutex createLock;
  const std::lock_guard<std::mutex> hold(createLock);
  return MakePlug(info);
}
