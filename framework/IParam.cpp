#include "IParam.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool EqualsIgnoringCase(const char* a, std::size_t aLength, const char* b) {
  const std::size_t bLength = std::strlen(b);
  if (aLength != bLength)
    return false;
  for (std::size_t i = 0; i < aLength; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    const auto la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
    const auto lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
    if (la != lb)
      return false;
  }
  return true;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

void IParam::InitCommon(const char* paramName, const char* paramLabel, const char* paramGroup, int paramFlags,
                        EParamType paramType, double defaultPlain, double minPlain, double maxPlain,
                        double stepSize) {
  name = paramName ? paramName : "";
  label = paramLabel ? paramLabel : "";
  group = paramGroup ? paramGroup : "";
  flags = paramFlags;
  type = paramType;
  minValue = minPlain;
  maxValue = maxPlain;
  step = stepSize;
  defaultValue = minPlain; // Constrain's fallback while the default is not yet known
  defaultValue = Constrain(defaultPlain);
  value.store(defaultValue, std::memory_order_relaxed);
}

void IParam::InitBool(const char* paramName, bool defaultOn, const char* paramLabel, int paramFlags,
                      const char* paramGroup, const char* offText, const char* onText) {
  displayTexts = {offText ? offText : "", onText ? onText : ""};
  shape = EShapeKind::Linear;
  InitCommon(paramName, paramLabel, paramGroup, paramFlags | kFlagStepped, kTypeBool, defaultOn ? 1.0 : 0.0,
             0.0, 1.0, 1.0);
}

void IParam::InitEnum(const char* paramName, int defaultIndex, std::initializer_list<const char*> texts,
                      int paramFlags, const char* paramGroup) {
  displayTexts.clear();
  for (const char* t : texts)
    displayTexts.emplace_back(t ? t : "");
  shape = EShapeKind::Linear;
  const double maxIndex = displayTexts.empty() ? 0.0 : static_cast<double>(displayTexts.size() - 1);
  InitCommon(paramName, "", paramGroup, paramFlags | kFlagStepped, kTypeEnum,
             static_cast<double>(defaultIndex), 0.0, maxIndex, 1.0);
}

void IParam::InitDouble(const char* paramName, double defaultPlain, double minPlain, double maxPlain,
                        double stepSize, const char* paramLabel, int paramFlags, const char* paramGroup,
                        const Shape& paramShape, EParamUnit paramUnit) {
  displayTexts.clear();
  shape = paramShape.kind;
  unit = paramUnit;
  InitCommon(paramName, paramLabel, paramGroup, paramFlags, kTypeDouble, defaultPlain, minPlain, maxPlain,
             stepSize);
}

double IParam::ToNormalized(double plain) const {
  const double v = std::clamp(plain, minValue, maxValue);
  if (!(maxValue > minValue))
    return 0.0;
  double n = 0.0;
  if (shape == EShapeKind::Exp)
    n = std::log(v / minValue) / std::log(maxValue / minValue); // n = log(v/min) / log(max/min)
  else
    n = (v - minValue) / (maxValue - minValue);
  return std::isfinite(n) ? std::clamp(n, 0.0, 1.0) : 0.0;
}

double IParam::FromNormalized(double normalized) const {
  if (!std::isfinite(normalized))
    return defaultValue;
  const double n = std::clamp(normalized, 0.0, 1.0);
  if (shape == EShapeKind::Exp)
    return minValue * std::pow(maxValue / minValue, n);
  return minValue + n * (maxValue - minValue);
}

double IParam::Constrain(double plain) const {
  if (!std::isfinite(plain))
    return defaultValue;
  double v = plain;
  if (GetStepped() && step > 0.0)
    v = std::round(v / step) * step;
  return std::clamp(v, minValue, maxValue);
}

int IParam::GetStepCount() const {
  if (type == kTypeBool)
    return 1;
  if (type == kTypeEnum)
    return std::max(NDisplayTexts() - 1, 0);
  if (GetStepped() && step > 0.0)
    return static_cast<int>(std::lround(GetRange() / step));
  return 0;
}

const char* IParam::GetDisplayText(int index) const {
  if (index < 0 || index >= NDisplayTexts())
    return "";
  return displayTexts[static_cast<std::size_t>(index)].c_str();
}

int IParam::DisplayDecimals() const {
  if (!(step > 0.0) || step >= 1.0)
    return 0;
  return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}

std::string IParam::DisplayText(double plain) const {
  const double v = Constrain(plain);
  if (!displayTexts.empty()) {
    const long index = std::lround(v - minValue);
    return GetDisplayText(static_cast<int>(index));
  }
  const int decimals = DisplayDecimals();
  double shown = v;
  if (std::fabs(shown) < 0.5 * std::pow(10.0, -decimals))
    shown = 0.0; // no "-0.000"
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), shown, std::chars_format::fixed, decimals);
  std::string out(text, result.ptr);
  if (!label.empty())
    out += " " + label;
  return out;
}

bool IParam::ParseText(const char* text, double& plain) const {
  if (!text)
    return false;
  const char* begin = text;
  const char* end = text + std::strlen(text);
  while (begin < end && IsSpace(*begin))
    ++begin;
  while (end > begin && IsSpace(end[-1]))
    --end;
  if (begin == end)
    return false;

  for (int i = 0; i < NDisplayTexts(); ++i) {
    if (EqualsIgnoringCase(begin, static_cast<std::size_t>(end - begin), GetDisplayText(i))) {
      plain = Constrain(minValue + i);
      return true;
    }
  }

  const char* numberBegin = (*begin == '+') ? begin + 1 : begin;
  double number = 0.0;
  const auto result = std::from_chars(numberBegin, end, number, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(number))
    return false;
  const char* rest = result.ptr;
  while (rest < end && IsSpace(*rest))
    ++rest;
  if (rest != end &&
      !(!label.empty() && EqualsIgnoringCase(rest, static_cast<std::size_t>(end - rest), label.c_str())))
    return false;
  plain = Constrain(number);
  return true;
}
