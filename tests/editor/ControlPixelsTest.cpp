// Rendered frames of the whole editor at scales 1.0 and 1.5: the active and hovered button panels,
// the knobs' arc and pointer at the ends of their range, the grey of the knobs that the mode
// disables, and the invisible value entry. Exact colours where a fill or a 3-point stroke fully
// covers a pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "EditorRig.h"
#include "Knob.h"
#include "Palette.h"
#include "Params.h"
#include "Pixels.h"
#include "ValueEntry.h"

namespace {

int Distance(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}
auto Near(const IColor& color) {
  return [target = ToRgb(color)](Rgb c) { return Distance(c, target) < 40; };
}
// Cream text, anti-aliased over the dark fills: far greener than pink ever is.
bool IsCreamish(Rgb c) {
  return c.g > 150;
}

// A point on a knob's circle around its body centre, at an angle clockwise from straight up.
struct KnobGeometry {
  float cx, cy;
  explicit KnobGeometry(const IRECT& r) : cx(r.MW()), cy(r.T + 49.f) {}
  float X(float radius, float degrees) const {
    return cx + radius * std::sin(degrees * std::numbers::pi_v<float> / 180.f);
  }
  float Y(float radius, float degrees) const {
    return cy - radius * std::cos(degrees * std::numbers::pi_v<float> / 180.f);
  }
};

const IRECT kMixKnob(1007.5f, 429.f, 1137.5f, 533.f);    // main row, slot 7
const IRECT kSoloTargetKnob(320.f, 429.f, 450.f, 533.f); // main row, slot 2
const IRECT kMixOffsetKnob(50.f, 610.f, 220.f, 714.f);   // MIX REFERENCE page, slot 0
const IRECT kBankButton(1028.f, 41.f, 1084.f, 83.f);
const IRECT kFirstTab(36.f, 555.f, 301.f, 583.f);
const IRECT kSecondTab(316.f, 555.f, 581.f, 583.f);
constexpr float kPointerMiddle = 16.5f; // between the pointer's ends at radius 11 and 22
constexpr float kArcRadius = 27.f;

IRECT LabelOf(const IRECT& knob) {
  return {knob.L, knob.T, knob.R, knob.T + 22.f};
}

class ControlPixels : public testing::TestWithParam<float> {
protected:
  void SetUp() override { rig.ui->Resize(1180, 800, GetParam(), false); }
  void Render() { ASSERT_TRUE(frame.Render(*rig.ui)); }
  void Click(const IRECT& r) {
    rig.ui->OnMouseDown(r.MW(), r.MH(), IMouseMod{});
    rig.ui->OnMouseUp(r.MW(), r.MH(), IMouseMod{});
  }
  void SetNormalized(int paramIdx, double value) { rig.plugin->GetParam(paramIdx)->SetNormalized(value); }

  EditorRig rig;
  Frame frame;
};

} // namespace

TEST_P(ControlPixels, BankButtonIsActiveWhileBankBIs) {
  const float fillX = kBankButton.L + 4.f, midY = kBankButton.MH();
  Render();
  EXPECT_EQ(frame.At(fillX, midY), ToRgb(kColorInk));
  EXPECT_EQ(frame.At(kBankButton.L + 0.5f, midY), ToRgb(kColorSlate));
  EXPECT_GT(frame.Count(kBankButton, IsCreamish), 3); // "A"
  EXPECT_EQ(frame.Count(kBankButton, Near(kColorPink)), 0);

  rig.plugin->ToggleBank();
  Render();
  EXPECT_EQ(frame.At(fillX, midY), ToRgb(kColorActiveFill));
  EXPECT_EQ(frame.At(kBankButton.L + 0.5f, midY), ToRgb(kColorPink));
  EXPECT_GT(frame.Count(kBankButton, Near(kColorPink)), 5); // "B"
  EXPECT_EQ(frame.Count(kBankButton, IsCreamish), 0);
  EXPECT_TRUE(frame.AllOpaque());
}

TEST_P(ControlPixels, ShownPageTabIsActiveAndHoverOutlinesItInAmber) {
  const float midY = kFirstTab.MH();
  Render();
  EXPECT_EQ(frame.At(kFirstTab.L + 4.f, midY), ToRgb(kColorActiveFill));
  EXPECT_EQ(frame.At(kFirstTab.L + 0.5f, midY), ToRgb(kColorPink));
  EXPECT_EQ(frame.At(kSecondTab.L + 4.f, midY), ToRgb(kColorInk));
  EXPECT_EQ(frame.At(kSecondTab.L + 0.5f, midY), ToRgb(kColorSlate));

  rig.ui->OnMouseOver(kFirstTab.MW(), midY, IMouseMod{});
  Render();
  EXPECT_EQ(frame.At(kFirstTab.L + 4.f, midY), ToRgb(kColorActiveFill));
  EXPECT_EQ(frame.At(kFirstTab.L + 0.5f, midY), ToRgb(kColorAmber));

  Click(kSecondTab);
  rig.ui->OnMouseOver(600.f, 20.f, IMouseMod{}); // off every control
  Render();
  EXPECT_EQ(frame.At(kFirstTab.L + 4.f, midY), ToRgb(kColorInk));
  EXPECT_EQ(frame.At(kSecondTab.L + 4.f, midY), ToRgb(kColorActiveFill));
  EXPECT_EQ(frame.At(kSecondTab.L + 0.5f, midY), ToRgb(kColorPink));
}

TEST_P(ControlPixels, KnobArcAndPointerAtTheEndsOfTheRange) {
  const KnobGeometry knob(kMixKnob);
  SetNormalized(kMix, 0.0);
  Render();
  EXPECT_EQ(frame.At(knob.X(kArcRadius, 0.f), knob.Y(kArcRadius, 0.f)), ToRgb(kColorSlate)); // track only
  EXPECT_EQ(frame.At(knob.X(kPointerMiddle, -138.f), knob.Y(kPointerMiddle, -138.f)), ToRgb(kColorPink));
  // No value arc: above the body's centre nothing is pink.
  EXPECT_EQ(frame.Count(IRECT(kMixKnob.L, kMixKnob.T + 22.f, kMixKnob.R, knob.cy - 1.f),
                        [](Rgb c) { return c == ToRgb(kColorPink); }),
            0);

  SetNormalized(kMix, 1.0);
  Render();
  for (float degrees : {-130.f, 0.f, 130.f})
    EXPECT_EQ(frame.At(knob.X(kArcRadius, degrees), knob.Y(kArcRadius, degrees)), ToRgb(kColorPink))
        << degrees;
  EXPECT_EQ(frame.At(knob.X(kPointerMiddle, 138.f), knob.Y(kPointerMiddle, 138.f)), ToRgb(kColorPink));
  EXPECT_NE(frame.At(knob.X(kPointerMiddle, -138.f), knob.Y(kPointerMiddle, -138.f)), ToRgb(kColorPink));
}

TEST_P(ControlPixels, KnobsTheModeDisablesAreGrey) {
  const KnobGeometry mixOffset(kMixOffsetKnob);
  const KnobGeometry soloTarget(kSoloTargetKnob);
  SetNormalized(kMixOffset, 1.0);
  SetNormalized(kSoloTarget, 1.0);
  Click(IRECT(876.f, 555.f, 1141.f, 583.f)); // the MIX REFERENCE tab
  Render();
  // Solo: MIX OFFSET is grey in its label, arc and pointer; SOLO TARGET keeps its colours.
  EXPECT_EQ(frame.Count(LabelOf(kMixOffsetKnob), Near(kColorCream)), 0);
  EXPECT_GT(frame.Count(LabelOf(kMixOffsetKnob), Near(kColorGrey)), 10);
  EXPECT_EQ(frame.At(mixOffset.X(kArcRadius, 0.f), mixOffset.Y(kArcRadius, 0.f)), ToRgb(kColorGrey));
  EXPECT_EQ(frame.At(mixOffset.X(kPointerMiddle, 138.f), mixOffset.Y(kPointerMiddle, 138.f)),
            ToRgb(kColorGrey));
  EXPECT_GT(frame.Count(LabelOf(kSoloTargetKnob), Near(kColorCream)), 10);
  EXPECT_EQ(frame.At(soloTarget.X(kArcRadius, 0.f), soloTarget.Y(kArcRadius, 0.f)), ToRgb(kColorPink));

  // Mix Reference: the other way round, from the next frame on.
  SetNormalized(kMode, 1.0);
  Render();
  EXPECT_GT(frame.Count(LabelOf(kMixOffsetKnob), Near(kColorCream)), 10);
  EXPECT_EQ(frame.At(mixOffset.X(kArcRadius, 0.f), mixOffset.Y(kArcRadius, 0.f)), ToRgb(kColorPink));
  EXPECT_EQ(frame.Count(LabelOf(kSoloTargetKnob), Near(kColorCream)), 0);
  EXPECT_EQ(frame.At(soloTarget.X(kPointerMiddle, 138.f), soloTarget.Y(kPointerMiddle, 138.f)),
            ToRgb(kColorGrey));
  EXPECT_TRUE(frame.AllOpaque());
}

TEST_P(ControlPixels, ValueEntryDrawsNothingOverItsKnob) {
  Knob* mix = nullptr;
  for (int i = 0; i < rig.ui->NControls() && !mix; ++i)
    if (auto* knob = dynamic_cast<Knob*>(rig.ui->GetControl(i)); knob && knob->GetRECT() == kMixKnob)
      mix = knob;
  ASSERT_TRUE(mix && mix->valueEntry);
  Render();
  const Frame before = frame;
  // The layout gives the entry no area; spread over its knob (and drawn after it) it must leave
  // every pixel as the knob drew it.
  mix->valueEntry->SetTargetAndDrawRECTs(kMixKnob);
  rig.ui->SetAllControlsDirty();
  Render();
  int changed = 0;
  before.ForEach(kMixKnob, [&](int x, int y, Rgb c) {
    const std::uint8_t* p = frame.PixelAt(x, y);
    changed += Rgb{p[0], p[1], p[2]} == c ? 0 : 1;
  });
  EXPECT_EQ(changed, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, ControlPixels, testing::Values(1.f, 1.5f));
