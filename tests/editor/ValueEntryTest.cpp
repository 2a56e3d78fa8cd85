// Value texts with units, the parsing of typed values, and the entry from opening to commit.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "ControlRig.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct FormatCase {
  int param;
  double plain;
  const char* text;
};

const FormatCase kFormatCases[] = {
    {kDetectorLPF, 10000.0, "10.00 kHz"},
    {kDetectorLPF, 18000.0, "18.00 kHz"},
    {kDetectorHPF, 400.0, "400 Hz"},
    {kDetectorHPF, 999.6, "1000 Hz"}, // the kHz choice is made on the unformatted value
    {kDetectorHPF, 1000.0, "1.00 kHz"},
    {kSlowTime, 1000.0, "1000 ms"},
    {kSoloTarget, -18.0, "-18.0 dBFS"},
    {kMaxBoost, 3.0, "3.0 dB"},
    {kMaxGainSlew, 6.0, "6.0 dB/s"},
    {kMix, 35.0, "35 %"},
    {kInput, -0.04, "-0.0 dB"},
    {kFastAmount, 12.5, "12 %"},
    {kMode, 1.0, "1.00"},
    {kAnalyzer, 0.0, "0.00"},
    // Values that are not finite keep their unit.
    {kInput, kNaN, "nan dB"},
    {kInput, -kInf, "-inf dB"},
    {kSoloTarget, kNaN, "nan dBFS"},
    {kSoloTarget, -kInf, "-inf dBFS"},
    {kDetectorLPF, kNaN, "nan Hz"},
    {kDetectorLPF, -kInf, "-inf Hz"},
    {kDetectorLPF, kInf, "inf kHz"},
    {kSlowTime, kNaN, "nan ms"},
    {kMaxGainSlew, -kInf, "-inf dB/s"},
    {kMix, kNaN, "nan %"},
    {kMode, kNaN, "nan"},
};

void ExpectFormats() {
  for (const FormatCase& c : kFormatCases) {
    char buffer[64];
    FormatParamValue(c.param, c.plain, buffer);
    EXPECT_STREQ(buffer, c.text) << c.param << " " << c.plain;
  }
}

TEST(FormatParamValue, UnitTable) {
  ExpectFormats();
}

struct ParseCase {
  int param;
  const char* text;
  bool accepted;
  double plain;
};

const ParseCase kParseCases[] = {
    {kDetectorLPF, "2k", true, 2000.0},
    {kDetectorLPF, "2 kHz", true, 2000.0},
    {kDetectorLPF, "2KHZ", true, 2000.0},
    {kDetectorLPF, "2000 hz", true, 2000.0},
    {kDetectorLPF, "2 k hz", true, 2000.0},
    {kDetectorLPF, "  18000", true, 18000.0},
    {kDetectorLPF, "2 Hertz", false, 0.0},
    {kDetectorLPF, "1999", false, 0.0},
    {kDetectorHPF, "0.03k", false, 0.0},
    {kSlowTime, "1.5 s", true, 1500.0},
    {kSlowTime, "1500", true, 1500.0},
    {kSlowTime, "1500ms", true, 1500.0},
    {kSlowTime, "1,5 s", false, 0.0},
    {kSlowTime, "1.5 sec", false, 0.0},
    {kSoloTarget, "-6 db", true, -6.0},
    {kSoloTarget, "-6 dbfs", true, -6.0},
    {kSoloTarget, "-6", true, -6.0},
    {kSoloTarget, "-36", true, -36.0},
    {kSoloTarget, "-5", false, 0.0},
    {kSoloTarget, "-36.01", false, 0.0},
    {kInput, "10 dbfs", true, 10.0},
    {kInput, "+3 dB", true, 3.0},
    {kMaxGainSlew, "6 db", false, 0.0},
    {kMaxGainSlew, "6 db/s", true, 6.0},
    {kMaxGainSlew, "6", true, 6.0},
    {kMix, "100 %", true, 100.0},
    {kMix, "100%%", false, 0.0},
    {kMix, "", false, 0.0},
    {kSlowTime, "ms", false, 0.0},
    {kMix, "inf", false, 0.0},
    {kMix, "nan", false, 0.0},
    {kMix, "1e999", false, 0.0},
    {kMix, "5e1", true, 50.0},
    {kMode, "1", true, 1.0},
    {kMode, "1 x", false, 0.0},
};

void ExpectParses() {
  for (const ParseCase& c : kParseCases) {
    double value = -1234.0;
    EXPECT_EQ(ParseValueEntry(c.param, c.text, value), c.accepted) << c.param << " '" << c.text << "'";
    if (c.accepted) {
      EXPECT_DOUBLE_EQ(value, c.plain) << c.param << " '" << c.text << "'";
    }
  }
}

TEST(ParseValueEntry, UnitsScalingAndRange) {
  ExpectParses();
}

TEST(ParseValueEntry, RefusesBadIndexesAndNull) {
  double value = 0.0;
  EXPECT_FALSE(ParseValueEntry(-1, "1", value));
  EXPECT_FALSE(ParseValueEntry(24, "1", value));
  EXPECT_FALSE(ParseValueEntry(kMix, nullptr, value));
}

// A process locale with a decimal comma changes neither direction.
TEST(ValueTextLocale, StaysInTheCLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
    GTEST_SKIP() << "no de_DE.UTF-8 locale";
  ExpectFormats();
  ExpectParses();
  std::setlocale(LC_ALL, "C");
}

struct EntryRig : ControlRig {
  Knob* knob = AddKnob(kSlowTime, "SLOW TIME", MainRowRect(0));
  Knob* lpf = AddKnob(kDetectorLPF, "DETECTOR LPF", MainRowRect(1));

  void Open(Knob* k) {
    const IRECT box = k->ValueBox();
    Click(box.MW(), box.MH());
    ASSERT_EQ(graphics->GetControlInTextEntry(), k->valueEntry);
  }
};

TEST(ValueEntry, PrefillIsThePlainNumber) {
  EntryRig rig;
  rig.Open(rig.lpf);
  EXPECT_STREQ(rig.graphics->GetTextEntryText(), "10000");
  rig.graphics->CancelTextEntry();
  rig.Param(kSlowTime).Set(1234.56789012);
  rig.Open(rig.knob);
  EXPECT_STREQ(rig.graphics->GetTextEntryText(), "1234.5679");
}

TEST(ValueEntry, TypedValueIsOneEdit) {
  EntryRig rig;
  rig.Open(rig.knob);
  rig.Type("1.5 s");
  rig.Commit();
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_NEAR(rig.Param(kSlowTime).Value(), 1500.0, 1e-9);
  EXPECT_EQ(rig.plugin.edits, OneEdit(kSlowTime, rig.Param(kSlowTime).GetNormalized()));
}

TEST(ValueEntry, UnitsThroughTheEntry) {
  EntryRig rig;
  rig.Open(rig.lpf);
  rig.Type("2 k hz");
  rig.Commit();
  EXPECT_NEAR(rig.Param(kDetectorLPF).Value(), 2000.0, 1e-9);
}

TEST(ValueEntry, RefusedTextLeavesTheParameterAndExplains) {
  EntryRig rig;
  for (const char* text : {"1,5 s", "6 db", "", "inf", "99999"}) {
    rig.Open(rig.knob);
    rig.Key(0.f, 0.f, kVK_BACK); // the pre-fill is selected
    rig.Type(text);
    rig.Commit();
    EXPECT_DOUBLE_EQ(rig.Param(kSlowTime).Value(), 1000.0) << text;
    EXPECT_EQ(rig.viewState->helpTitle, "VALID PHYSICAL VALUES") << text;
    EXPECT_EQ(rig.viewState->helpText, "Enter a finite value within the displayed range. Frequency accepts "
                                       "Hz/kHz and timing accepts ms/s. Invalid values leave the control "
                                       "unchanged.");
  }
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(ValueEntry, UnchangedPrefillInformsNoHost) {
  EntryRig rig;
  rig.Open(rig.knob);
  rig.Commit();
  EXPECT_DOUBLE_EQ(rig.Param(kSlowTime).Value(), 1000.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
  const std::string title = rig.viewState->helpTitle;
  EXPECT_EQ(title, "SLOW TIME"); // the press wrote it; an accepted value leaves it
}

TEST(ValueEntry, EscapeCommitsNothing) {
  EntryRig rig;
  rig.Open(rig.knob);
  rig.Type("2000");
  rig.Key(0.f, 0.f, kVK_ESCAPE);
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(rig.Param(kSlowTime).Value(), 1000.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(ValueEntry, HidingTheKnobClosesItsEntryUncommitted) {
  EntryRig rig;
  rig.Open(rig.knob);
  rig.Type("2000");
  rig.knob->Hide(true); // a page change
  rig.DirtyPass();
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  rig.Commit();
  EXPECT_DOUBLE_EQ(rig.Param(kSlowTime).Value(), 1000.0);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

TEST(ValueEntry, GreyingTheKnobClosesItsEntryUncommitted) {
  ControlRig rig;
  Knob* solo = rig.AddKnob(kSoloTarget, "SOLO TARGET", MainRowRect(2));
  rig.DirtyPass();
  const IRECT box = solo->ValueBox();
  rig.Click(box.MW(), box.MH());
  ASSERT_EQ(rig.graphics->GetControlInTextEntry(), solo->valueEntry);
  rig.Type("-10");
  rig.Param(kMode).Set(1.0); // automation, before the next frame
  rig.Commit();              // still open: this frame hasn't come yet
  EXPECT_DOUBLE_EQ(rig.Param(kSoloTarget).Value(), -18.0);
  rig.Click(box.MW(), box.MH());
  rig.Type("-10");
  rig.DirtyPass();
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_TRUE(rig.plugin.edits.empty());
}

// That it draws nothing needs a rendered frame: ControlPixels.ValueEntryDrawsNothingOverItsKnob.
TEST(ValueEntry, IgnoresTheMouseAndHasNoParameter) {
  ValueEntry entry(IRECT(), nullptr);
  EXPECT_TRUE(entry.GetIgnoreMouse());
  EXPECT_EQ(entry.GetParamIdx(), kNoParameter);
  entry.OnTextEntryCompletion("1", -1); // no completion: nothing happens
}

} // namespace
