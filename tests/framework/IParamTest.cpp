#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "IParam.h"

namespace {

struct Params {
  IParam time, level, toggle, choice;
  Params() {
    time.InitDouble("Time", 1000.0, 300.0, 5000.0, 0.001, "ms", IParam::kFlagsNone, "", IParam::ShapeExp());
    level.InitDouble("Level", -18.0, -36.0, -6.0, 0.001, "dBFS");
    toggle.InitBool("Switch", true, "", IParam::kFlagsNone, "", "off", "on");
    choice.InitEnum("Choice", 0, {"Solo", "Mix Reference"});
  }
};

} // namespace

TEST(IParam, NormalisedConversion) {
  Params p;
  struct Case {
    const IParam* param;
    double normalized;
    double plain;
  };
  const Case cases[] = {
      {&p.time, 0.0, 300.0},   {&p.time, 0.5, std::sqrt(300.0 * 5000.0)},
      {&p.time, 1.0, 5000.0},  {&p.level, 0.0, -36.0},
      {&p.level, 0.5, -21.0},  {&p.level, 1.0, -6.0},
      {&p.level, 0.25, -28.5}, {&p.toggle, 1.0, 1.0},
      {&p.choice, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(c.param->FromNormalized(c.normalized), c.plain, 1e-9) << c.param->GetName() << c.normalized;
    EXPECT_NEAR(c.param->ToNormalized(c.plain), c.normalized, 1e-12) << c.param->GetName() << c.plain;
  }
  EXPECT_NEAR(p.time.FromNormalized(0.5), 1224.745, 0.001);
  // The normalised side is clamped.
  EXPECT_EQ(p.level.FromNormalized(1.5), -6.0);
  EXPECT_EQ(p.level.FromNormalized(-0.2), -36.0);
  EXPECT_EQ(p.time.ToNormalized(10.0), 0.0);
  EXPECT_EQ(p.time.ToNormalized(1e6), 1.0);
}

TEST(IParam, ConstrainSnapsSteppedValuesThenClamps) {
  Params p;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    IParam* param;
    double in;
    double out;
  };
  const Case cases[] = {
      {&p.toggle, 0.5, 1.0},    {&p.toggle, 0.49, 0.0}, {&p.toggle, -3.0, 0.0},
      {&p.toggle, 7.0, 1.0},    {&p.choice, 0.5, 1.0},  {&p.choice, 1.5, 1.0},
      {&p.choice, -0.5, 0.0},   {&p.level, -5.0, -6.0}, {&p.level, -18.2345, -18.2345},
      {&p.level, -40.0, -36.0}, {&p.level, nan, -18.0}, {&p.time, 12.0, 300.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.param->Constrain(c.in), c.out) << c.param->GetName() << " " << c.in;
    c.param->Set(c.in);
    EXPECT_EQ(c.param->Value(), c.out) << c.param->GetName() << " " << c.in;
  }
  p.level.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(p.level.Value(), -21.0);
  EXPECT_DOUBLE_EQ(p.level.GetNormalized(), 0.5);
}

TEST(IParam, Description) {
  Params p;
  EXPECT_EQ(p.time.Type(), IParam::kTypeDouble);
  EXPECT_EQ(p.toggle.Type(), IParam::kTypeBool);
  EXPECT_EQ(p.choice.Type(), IParam::kTypeEnum);
  EXPECT_EQ(p.time.GetStepCount(), 0);
  EXPECT_EQ(p.toggle.GetStepCount(), 1);
  EXPECT_EQ(p.choice.GetStepCount(), 1);
  EXPECT_STREQ(p.level.GetLabel(), "dBFS");
  EXPECT_EQ(p.level.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.toggle.GetDefault(), 1.0);
  EXPECT_DOUBLE_EQ(p.level.GetDefault(true), 0.6);
  EXPECT_EQ(p.toggle.Value(), 1.0);
  EXPECT_EQ(p.choice.NDisplayTexts(), 2);
  EXPECT_STREQ(p.choice.GetDisplayText(1), "Mix Reference");
  EXPECT_STREQ(p.choice.GetDisplayText(2), "");
}

TEST(IParam, DisplayTexts) {
  Params p;
  struct Case {
    const IParam* param;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {&p.toggle, 0.0, "off"},
      {&p.toggle, 1.0, "on"},
      {&p.choice, 0.0, "Solo"},
      {&p.choice, 1.0, "Mix Reference"},
      {&p.level, -18.0, "-18.000 dBFS"},
      {&p.level, -20.5, "-20.500 dBFS"},
      {&p.time, 1224.7449, "1224.745 ms"},
      {&p.time, 300.0, "300.000 ms"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.param->DisplayText(c.value), c.text);
  IParam centred;
  centred.InitDouble("Offset", 0.0, -18.0, 18.0, 0.001, "dB");
  EXPECT_EQ(centred.DisplayText(-0.0001), "0.000 dB");
}

TEST(IParam, ParseText) {
  Params p;
  struct Case {
    const IParam* param;
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {&p.toggle, "on", true, 1.0},
      {&p.toggle, "OFF", true, 0.0},
      {&p.toggle, "1", true, 1.0},
      {&p.choice, "Mix Reference", true, 1.0},
      {&p.choice, " Solo ", true, 0.0},
      {&p.level, "-12.5", true, -12.5},
      {&p.level, "-12.5 dBFS", true, -12.5},
      {&p.level, "+0", true, -6.0},
      {&p.level, "-100", true, -36.0},
      {&p.time, "2e3 ms", true, 2000.0},
      {&p.level, "-12,5", false, 0.0},
      {&p.level, "-12.5 Hz", false, 0.0},
      {&p.level, "abc", false, 0.0},
      {&p.level, "nan", false, 0.0},
      {&p.level, "", false, 0.0},
      {&p.choice, "Stereo", false, 0.0},
  };
  for (const Case& c : cases) {
    double value = 0.0;
    EXPECT_EQ(c.param->ParseText(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}
