// The dirty check of the controls that are drawn again on every editor frame.
#pragma once

#include "IControl.h"

// Marks the control dirty without triggering its action and reports the framework's dirty state,
// which is therefore always true. UI thread.
inline bool MarkDirtyEveryFrame(IControl& control) {
  control.SetDirty(false);
  return control.IControl::IsDirty();
}
