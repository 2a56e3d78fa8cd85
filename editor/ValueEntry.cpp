#include "ValueEntry.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

#include "CLocaleFormat.h"
#include "IGraphics.h"
#include "Knob.h"
#include "ParamFollow.h"
#include "Params.h"
#include "ViewState.h"

namespace {

// The display form of a value, chosen by the parameter's unit label; the first row whose unit
// matches and whose threshold the unformatted value reaches wins. A row without a threshold
// takes any value, NaN included, so such a value keeps its unit. Labels not listed: "%.2f".
struct ValueFormat {
  const char* unit;
  double from;
  const char* format;
  double divisor;
};
constexpr double kAny = std::numeric_limits<double>::lowest();
constexpr ValueFormat kValueFormats[] = {
    {"Hz", 1000.0, "%.2f kHz", 1000.0}, {"Hz", kAny, "%.0f Hz", 1.0}, {"ms", kAny, "%.0f ms", 1.0},
    {"dB/s", kAny, "%.1f dB/s", 1.0},   {"dB", kAny, "%.1f dB", 1.0}, {"dBFS", kAny, "%.1f dBFS", 1.0},
    {"%", kAny, "%.0f %%", 1.0},
};

// The unit texts a typed value may carry (white space dropped, lower case), and their scaling.
// A label with no row takes the bare number only.
struct UnitSpelling {
  const char* unit;
  const char* text;
  double scale;
};
constexpr UnitSpelling kUnitSpellings[] = {
    {"Hz", "", 1.0},   {"Hz", "hz", 1.0},   {"Hz", "k", 1000.0}, {"Hz", "khz", 1000.0}, {"ms", "", 1.0},
    {"ms", "ms", 1.0}, {"ms", "s", 1000.0}, {"dB/s", "", 1.0},   {"dB/s", "db/s", 1.0}, {"dB", "", 1.0},
    {"dB", "db", 1.0}, {"dB", "dbfs", 1.0}, {"dBFS", "", 1.0},   {"dBFS", "db", 1.0},   {"dBFS", "dbfs", 1.0},
    {"%", "", 1.0},    {"%", "%", 1.0},
};

constexpr const char* kRefusedTitle = "VALID PHYSICAL VALUES";
constexpr const char* kRefusedText =
    "Enter a finite value within the displayed range. Frequency accepts Hz/kHz and "
    "timing accepts ms/s. Invalid values leave the control unchanged.";

// The process (or a host) may have set a locale with a decimal comma.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// false when the text cannot be any unit (longer than every spelling).
bool UnitText(const char* rest, char (&unit)[8]) {
  std::size_t n = 0;
  for (; *rest; ++rest) {
    if (IsSpace(*rest))
      continue;
    if (n + 1 >= sizeof(unit))
      return false;
    const char c = *rest;
    unit[n++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  unit[n] = '\0';
  return true;
}

// The scaling of the unit text for the label, or 0 when the text is not one of its spellings.
double UnitScale(const char* label, const char* unit) {
  bool labelListed = false;
  for (const UnitSpelling& s : kUnitSpellings) {
    if (std::strcmp(s.unit, label) != 0)
      continue;
    labelListed = true;
    if (std::strcmp(s.text, unit) == 0)
      return s.scale;
  }
  return !labelListed && unit[0] == '\0' ? 1.0 : 0.0;
}

} // namespace

ValueEntry::ValueEntry(const IRECT& bounds, std::function<void(const char*)> onCompletion)
    : IControl(bounds, kNoParameter), completion(std::move(onCompletion)) {
  SetIgnoreMouse(true);
}

void ValueEntry::OnTextEntryCompletion(const char* str, int) {
  if (completion)
    completion(str);
}

void FormatParamValue(int paramIdx, double plain, char (&buffer)[64]) {
  const char* label = static_cast<unsigned>(paramIdx) < kNumParams ? kParamUnits[paramIdx] : "";
  for (const ValueFormat& f : kValueFormats) {
    if (std::strcmp(f.unit, label) == 0 && (f.from == kAny || plain >= f.from)) {
      FormatC(buffer, sizeof(buffer), f.format, plain / f.divisor);
      return;
    }
  }
  FormatC(buffer, sizeof(buffer), "%.2f", plain);
}

bool ParseValueEntry(int paramIdx, const char* text, double& value) {
  const auto p = static_cast<unsigned>(paramIdx);
  if (p >= kNumParams || !text)
    return false;
  char* rest = nullptr;
  value = strtod_l(text, &rest, CLocale());
  if (rest == text || !std::isfinite(value))
    return false;
  char unit[8];
  if (!UnitText(rest, unit))
    return false;
  const double scale = UnitScale(kParamUnits[p], unit);
  if (scale == 0.0)
    return false;
  value *= scale;
  return std::isfinite(value) && value >= static_cast<double>(kParamMins[p]) &&
         value <= static_cast<double>(kParamMaxs[p]);
}

void OpenValueEntry(Knob& knob) {
  IGraphics* ui = knob.GetUI();
  const IParam* param = knob.GetParam();
  if (!ui || !param || !knob.valueEntry)
    return;
  char text[64];
  FormatC(text, sizeof(text), "%.8g", param->Value());
  ui->CreateTextEntry(*knob.valueEntry, knob.GetText(), knob.ValueBox(), text, kNoValIdx);
}

void ApplyValueEntry(Knob& knob, const char* text) {
  // The mode may have greyed the knob since the last frame; its entry commits nothing then.
  if (knob.IsHidden() || knob.IsDisabled() || knob.DisabledByMode())
    return;
  double plain = 0.0;
  if (ParseValueEntry(knob.GetParamIdx(), text, plain)) {
    if (const IParam* param = knob.GetParam()) {
      TakeParamValue(knob);
      knob.SetValueFromUserInput(std::clamp(param->ToNormalized(plain), 0.0, 1.0));
    }
    return;
  }
  SetHelp(*knob.viewState, kRefusedTitle, kRefusedText);
  if (IGraphics* ui = knob.GetUI())
    ui->SetAllControlsDirty();
}
