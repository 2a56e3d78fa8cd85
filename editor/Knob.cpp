#include "Knob.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "IGraphics.h"
#include "Palette.h"
#include "ParamFollow.h"
#include "ParamHelpTexts.h"
#include "Tamsel.h"
#include "ValueEntry.h"
#include "ViewState.h"

namespace {
constexpr IColor kBodyTop(255, 72, 80, 95);
constexpr IColor kBodyBottom(255, 22, 29, 39);
constexpr IColor kOuterRing(255, 88, 99, 118);
constexpr IColor kInnerRing(255, 26, 33, 44);

constexpr float kCentreDrop = 49.f; // the body's centre below the top edge
constexpr float kArcRadius = 27.f;
constexpr float kBodyRadius = 22.f;
constexpr float kInnerRadius = 17.f;
constexpr float kPointerStart = 11.f;
constexpr float kSweep = 276.f;        // degrees, centred on straight up
constexpr std::size_t kLongLabel = 13; // longer labels take the smaller size

double KeyStep(const IKeyPress& key) {
  const double size = key.S ? 0.001 : 0.01;
  switch (key.VK) {
  case kVK_UP:
  case kVK_RIGHT:
    return size;
  case kVK_LEFT:
  case kVK_DOWN:
    return -size;
  default:
    return 0.0;
  }
}
} // namespace

Knob::Knob(const IRECT& bounds, int paramIdx, const char* knobLabel, Tamsel* owner,
           std::shared_ptr<ViewState> sharedView)
    : IKnobControlBase(bounds, paramIdx, EDirection::Vertical, 4.0), label(knobLabel ? knobLabel : ""),
      plugin(owner), viewState(std::move(sharedView)) {
  SetText(EditorText(16.f, kColorCream, EAlign::Center));
  SetTooltip(ParamHelpTexts(paramIdx));
}

IRECT Knob::ValueBox() const {
  const IRECT& r = GetRECT();
  return {r.MW() - 60.f, r.B - 29.f, r.MW() + 60.f, r.B - 3.f};
}

bool Knob::DisabledByMode() const {
  const IParam* mode = plugin ? plugin->GetParam(kMode) : nullptr;
  const bool mixReference = mode && static_cast<int>(mode->Value()) == 1;
  switch (GetParamIdx()) {
  case kSoloTarget:
    return mixReference;
  case kMixOffset:
  case kReferenceSmooth:
  case kReferenceFloor:
    return !mixReference;
  default:
    return false;
  }
}

void Knob::WriteHelp() {
  SetHelp(*viewState, label, ParamHelpTexts(GetParamIdx()));
}

void Knob::OnMouseDown(float x, float y, const IMouseMod& mod) {
  if (IsDisabled())
    return;
  WriteHelp();
  // A press in the value box is for typing, never the start of a drag.
  if (ValueBox().Contains(x, y)) {
    if (!mod.R)
      OpenValueEntry(*this);
    return;
  }
  TakeParamValue(*this);
  IKnobControlBase::OnMouseDown(x, y, mod);
}

void Knob::OnMouseDblClick(float, float, const IMouseMod&) {
  if (IsDisabled())
    return;
  TakeParamValue(*this);
  SetValueToDefault();
}

void Knob::OnMouseWheel(float x, float y, const IMouseMod& mod, float d) {
  if (!IsDragging())
    TakeParamValue(*this);
  IKnobControlBase::OnMouseWheel(x, y, mod, d);
}

bool Knob::OnKeyDown(float, float, const IKeyPress& key) {
  // During a drag its edit is open; a key's edit would nest inside it.
  if (IsDisabled() || IsDragging())
    return false;
  switch (key.VK) {
  case kVK_RETURN:
    OpenValueEntry(*this);
    return true;
  case kVK_HOME:
    TakeParamValue(*this);
    SetValueToDefault();
    return true;
  default:
    break;
  }
  const double step = KeyStep(key);
  if (step == 0.0)
    return false;
  TakeParamValue(*this);
  SetValueFromUserInput(std::clamp(GetValue() + step, 0.0, 1.0));
  return true;
}

void Knob::OnMouseOver(float x, float y, const IMouseMod& mod) {
  WriteHelp();
  IKnobControlBase::OnMouseOver(x, y, mod);
}

bool Knob::IsDirty() {
  if (!IsDragging())
    TakeParamValue(*this);
  const bool disable = DisabledByMode();
  if (disable != IsDisabled()) {
    // A drag in progress ends here, so the host's edit is closed and the grey knob stays still.
    if (disable && IsDragging())
      IKnobControlBase::OnMouseUp(0.f, 0.f, IMouseMod{});
    SetDisabled(disable);
    SetDirty(false);
  }
  IGraphics* ui = GetUI();
  if (ui && valueEntry && (IsHidden() || IsDisabled()) && ui->GetControlInTextEntry() == valueEntry)
    ui->CancelTextEntry();
  return IKnobControlBase::IsDirty();
}

void Knob::Draw(IGraphics& g) {
  const IRECT& r = GetRECT();
  const bool disabled = IsDisabled();
  const IColor textColor = disabled ? kColorGrey : kColorCream;
  const IColor arcColor = disabled ? kColorGrey : kColorPink;
  const float cx = r.MW();
  const float cy = r.T + kCentreDrop;
  const double v = GetValue();
  const float angle = static_cast<float>(v) * kSweep - 0.5f * kSweep;

  const float labelSize = std::strlen(label) <= kLongLabel ? 14.f : 12.f;
  g.DrawText(EditorText(labelSize, textColor, EAlign::Center), label, IRECT(r.L, r.T, r.R, r.T + 22.f));

  g.DrawArc(kColorSlate, cx, cy, kArcRadius, -0.5f * kSweep, 0.5f * kSweep, nullptr, 3.f);
  if (v > 0.0)
    g.DrawArc(arcColor, cx, cy, kArcRadius, -0.5f * kSweep, angle, nullptr, 3.f);

  g.PathClear();
  g.PathCircle(cx, cy, kBodyRadius);
  g.PathFill(IPattern::CreateLinearGradient(cx, cy - kBodyRadius, cx, cy + kBodyRadius, {kBodyTop, 0.f},
                                            {kBodyBottom, 1.f}));
  g.DrawCircle(kOuterRing, cx, cy, kBodyRadius, nullptr, 1.f);
  g.DrawCircle(kInnerRing, cx, cy, kInnerRadius, nullptr, 1.f);

  const float radians = angle * std::numbers::pi_v<float> / 180.f;
  const float sx = std::sin(radians);
  const float sy = -std::cos(radians);
  g.DrawLine(arcColor, cx + kPointerStart * sx, cy + kPointerStart * sy, cx + kBodyRadius * sx,
             cy + kBodyRadius * sy, nullptr, 3.f);

  const IRECT box = ValueBox();
  g.FillRoundRect(kColorInk, box, 5.f);
  const bool hover = GetMouseIsOver() && !disabled;
  g.DrawRoundRect(hover ? kColorAmber : kColorSlate, box.GetPadded(-0.5f), 5.f, nullptr, 1.f);

  // The open entry field covers the box.
  if (valueEntry && g.GetControlInTextEntry() == valueEntry)
    return;
  const IParam* param = GetParam();
  char text[64];
  FormatParamValue(GetParamIdx(), param ? param->Value() : v, text);
  g.DrawText(EditorText(15.f, textColor, EAlign::Center), text, box);
}
