// Mesa unloads its software driver when the last X display closes; LeakSanitizer then reports the
// driver's own, still referenced, allocations as leaks from an unknown module. Display test
// programs keep the driver loaded for their whole run, so leak reports name only real leaks.
#include <dlfcn.h>

namespace {

struct KeepMesaLoaded {
  KeepMesaLoaded() {
    if (*TAMSEL_MESA_DRIVER)
      dlopen(TAMSEL_MESA_DRIVER, RTLD_NOW | RTLD_NODELETE);
  }
} keepMesaLoaded;

} // namespace
