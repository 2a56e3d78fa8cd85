// One plug-in parameter: range, shape, display texts and its live value. The live value is a plain
// (not normalised) 64-bit float read and written atomically, so any thread may use it.
#pragma once

#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

class IParam {
public:
  enum EParamType { kTypeNone, kTypeBool, kTypeEnum, kTypeDouble };
  enum EParamUnit { kUnitCustom };
  enum EFlags { kFlagsNone = 0, kFlagStepped = 1 };
  enum class EShapeKind { Linear, Exp };

  struct Shape {
    EShapeKind kind;
  };
  // plain = min + n * (max - min)
  struct ShapeLinear : Shape {
    ShapeLinear() : Shape{EShapeKind::Linear} {}
  };
  // plain = min * (max / min)^n; needs min > 0
  struct ShapeExp : Shape {
    ShapeExp() : Shape{EShapeKind::Exp} {}
  };

  IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Declaration (construction thread).
  void InitBool(const char* name, bool defaultValue, const char* label = "", int flags = kFlagsNone,
                const char* group = "", const char* offText = "off", const char* onText = "on");
  void InitEnum(const char* name, int defaultValue, std::initializer_list<const char*> texts,
                int flags = kFlagsNone, const char* group = "");
  void InitDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                  const char* label = "", int flags = kFlagsNone, const char* group = "",
                  const Shape& shape = ShapeLinear(), EParamUnit unit = kUnitCustom);

  // Live value, any thread.
  double Value() const { return value.load(std::memory_order_relaxed); }
  void Set(double plain) { value.store(Constrain(plain), std::memory_order_relaxed); }
  double GetNormalized() const { return ToNormalized(Value()); }
  void SetNormalized(double normalized) { Set(FromNormalized(normalized)); }

  // Conversions; the normalised side is clamped to 0..1, and a non-finite one gives the default.
  double ToNormalized(double plain) const;
  double FromNormalized(double normalized) const;
  // Stepped values snap to whole steps (halves away from zero), then every value is clamped to
  // min..max; a non-finite value becomes the default.
  double Constrain(double plain) const;

  const char* GetName() const { return name.c_str(); }
  const char* GetLabel() const { return label.c_str(); }
  const char* GetGroup() const { return group.c_str(); }
  EParamType Type() const { return type; }
  EParamUnit Unit() const { return unit; }
  EShapeKind ShapeKind() const { return shape; }
  int GetFlags() const { return flags; }
  bool GetStepped() const { return (flags & kFlagStepped) != 0; }
  double GetMin() const { return minValue; }
  double GetMax() const { return maxValue; }
  double GetRange() const { return maxValue - minValue; }
  double GetStep() const { return step; }
  double GetDefault(bool normalized = false) const {
    return normalized ? ToNormalized(defaultValue) : defaultValue;
  }
  // Discrete steps a host sees: 0 for a continuous value, texts - 1 for a switch or an enumeration.
  int GetStepCount() const;
  int NDisplayTexts() const { return static_cast<int>(displayTexts.size()); }
  const char* GetDisplayText(int index) const;

  // Text of a plain value: the enumeration or switch text, else the number (C locale, as many
  // decimals as the step has) followed by the label.
  std::string DisplayText(double plain) const;
  std::string GetDisplay() const { return DisplayText(Value()); }
  // Parses a display text, or a number with an optional trailing label (C locale). On success
  // stores the constrained plain value in plain.
  bool ParseText(const char* text, double& plain) const;

private:
  void InitCommon(const char* paramName, const char* paramLabel, const char* paramGroup, int paramFlags,
                  EParamType paramType, double defaultPlain, double minPlain, double maxPlain,
                  double stepSize);
  int DisplayDecimals() const;

  std::string name;
  std::string label;
  std::string group;
  std::vector<std::string> displayTexts;
  EParamType type = kTypeNone;
  EParamUnit unit = kUnitCustom;
  EShapeKind shape = EShapeKind::Linear;
  int flags = kFlagsNone;
  double defaultValue = 0.0;
  double minValue = 0.0;
  double maxValue = 1.0;
  double step = 1.0;
  std::atomic<double> value{0.0};
};
