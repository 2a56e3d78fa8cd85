// One help text per parameter: knob tooltips and help, the parameter toggles' help.
#pragma once

// The text of parameter index; "" for an index outside 0..23 (negative ones too).
const char* ParamHelpTexts(int index);
