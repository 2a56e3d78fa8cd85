// Host automation reaches the parameters on the audio thread without telling the controls, so a
// bound control takes the live value before it draws or starts an edit from it. UI thread.
#pragma once

#include "IControl.h"
#include "IParam.h"

inline void TakeParamValue(IControl& control) {
  if (const IParam* param = control.GetParam())
    control.SetValue(param->GetNormalized());
}
