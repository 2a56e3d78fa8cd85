// The standalone program's one plug-in.
#include "Tamsel.h"
#include "app/AppFactory.h"

std::unique_ptr<IPlugAPP> MakePlug(const InstanceInfo& info) {
  return std::make_unique<Tamsel>(info);
}
