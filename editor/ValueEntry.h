// Value text with units, and the typed value entry of a knob: the invisible control that receives
// the committed text, and the functions that format, open, parse and apply. UI thread only.
#pragma once

#include <functional>

#include "IControl.h"

class Knob;

class ValueEntry : public IControl {
public:
  ValueEntry(const IRECT& bounds, std::function<void(const char*)> completion);

  void OnTextEntryCompletion(const char* str, int valIdx) override;
  void Draw(IGraphics&) override {}

private:
  std::function<void(const char*)> completion;
};

// The display text of a plain value of parameter paramIdx, with its unit (C locale).
void FormatParamValue(int paramIdx, double plain, char (&buffer)[64]);
// A number in the C locale, an optional unit of the parameter's in one of its accepted spellings
// (scaled: "k" and "khz" by 1000, "s" by 1000), within the parameter's range. true = accepted;
// value then holds the plain value.
bool ParseValueEntry(int paramIdx, const char* text, double& value);
// Opens the text entry over the knob's value box, pre-filled with its plain value ("%.8g").
void OpenValueEntry(Knob& knob);
// Sets the knob's parameter from the committed text, or explains the refusal in the help.
void ApplyValueEntry(Knob& knob, const char* text);
