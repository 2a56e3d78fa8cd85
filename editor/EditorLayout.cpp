#include "EditorLayout.h"

#include <memory>

#include "Backdrop.h"
#include "Brand.h"
#include "Button.h"
#include "ContextHelp.h"
#include "HistoryGraph.h"
#include "IGraphics.h"
#include "Knob.h"
#include "LiveMeters.h"
#include "MakerLinks.h"
#include "ModeMenu.h"
#include "PageCaption.h"
#include "Palette.h"
#include "ParamHelpTexts.h"
#include "Params.h"
#include "PresetMenu.h"
#include "ReferenceHelp.h"
#include "ReferenceLine.h"
#include "Status.h"
#include "Tamsel.h"
#include "ValueEntry.h"
#include "ViewState.h"

namespace {

struct KnobSlot {
  int paramIdx;
  const char* label;
};

constexpr KnobSlot kMainRow[] = {
    {kInput, "INPUT"},
    {kOutput, "OUTPUT"},
    {kSoloTarget, "SOLO TARGET"},
    {kRideAmount, "RIDE AMOUNT"},
    {kMaxBoost, "MAX BOOST"},
    {kMaxCut, "MAX CUT"},
    {kFastAmount, "FAST AMOUNT"},
    {kMix, "MIX"},
};

struct PageRow {
  const KnobSlot* slots;
  int count;
};

constexpr KnobSlot kPhrasePage[] = {
    {kSlowTime, "SLOW TIME"},
    {kFastTime, "FAST TIME"},
    {kPauseHold, "PAUSE HOLD"},
    {kPauseReturn, "PAUSE RETURN"},
    {kTransientProtect, "TRANSIENT PROTECT"},
    {kMaxGainSlew, "MAX GAIN SLEW"},
};
constexpr KnobSlot kActivityPage[] = {
    {kActivityFloor, "ACTIVITY FLOOR"}, {kActivityHysteresis, "HYSTERESIS"}, {kPauseHold, "PAUSE HOLD"},
    {kPauseReturn, "PAUSE RETURN"},     {kDetectorHPF, "DETECTOR HPF"},      {kDetectorLPF, "DETECTOR LPF"},
};
constexpr KnobSlot kTimingPage[] = {
    {kSlowTime, "SLOW TIME"},
    {kFastTime, "FAST TIME"},
    {kFastAmount, "FAST AMOUNT"},
    {kReferenceSmooth, "REFERENCE SMOOTH"},
    {kTransientProtect, "TRANSIENT PROTECT"},
    {kMaxGainSlew, "MAX GAIN SLEW"},
};
constexpr KnobSlot kReferencePage[] = {
    {kMixOffset, "MIX OFFSET"},
    {kReferenceSmooth, "REFERENCE SMOOTH"},
    {kReferenceFloor, "REFERENCE FLOOR"},
};
constexpr PageRow kPageRows[] = {
    {kPhrasePage, 6},
    {kActivityPage, 6},
    {kTimingPage, 6},
    {kReferencePage, 3},
};

constexpr const char* kPageTabLabels[] = {"MAIN / PHRASE", "ACTIVITY / PAUSES", "TIMING / DETAIL",
                                          "MIX REFERENCE"};

IRECT KnobRect(int slot, bool mainRow) {
  const auto s = static_cast<float>(slot);
  if (mainRow) {
    const float left = 45.f + 137.5f * s;
    return {left, 429.f, left + 130.f, 533.f};
  }
  const float left = 50.f + 182.f * s;
  return {left, 610.f, left + 170.f, 714.f};
}

void Attach(IGraphics& graphics, IControl* control) {
  graphics.AttachControl(control, kNoTag, "");
}

// Everything one control of the layout is built from, and what it shares.
struct LayoutContext {
  Tamsel* plugin;
  IGraphics& graphics;
  std::shared_ptr<ViewState> viewState;

  void AttachButton(const IRECT& bounds, int paramIdx, const char* label, ButtonKind kind, int page,
                    const char* tooltip) const {
    auto* button = new Button(bounds, paramIdx, label, kind, page, plugin, viewState);
    button->SetTooltip(tooltip);
    Attach(graphics, button);
  }

  // A knob and its value entry, the entry right after it and never paged.
  void AddKnob(int paramIdx, const char* label, int page, int slot, bool mainRow) const {
    auto* knob = new Knob(KnobRect(slot, mainRow), paramIdx, label, plugin, viewState);
    knob->SetText(EditorText(16.f, kColorCream, EAlign::Center));
    knob->SetTooltip(ParamHelpTexts(paramIdx));
    AttachPagedControl(*viewState, graphics, knob, page);
    auto* entry = new ValueEntry(IRECT(), [knob](const char* text) { ApplyValueEntry(*knob, text); });
    entry->SetIgnoreMouse(true);
    knob->valueEntry = entry;
    Attach(graphics, entry);
  }
};

} // namespace

void LayoutEditor(Tamsel* plugin, IGraphics* graphics) {
  if (!graphics)
    return;
  IGraphics& g = *graphics;
  const LayoutContext layout{plugin, g, std::make_shared<ViewState>()};
  const std::shared_ptr<ViewState>& viewState = layout.viewState;

  g.EnableMouseOver(true);
  g.EnableTooltips(true);
  g.SetScaleConstraints(kEditorMinScale, kEditorMaxScale);
  g.AttachTextEntryControl();
  g.LoadFont(kEditorFont, "Roboto-Regular.ttf"); // a missing font leaves the layer's default

  // Title row. The backdrop must stay first: its dirty check pulls the engine's view for the frame.
  Attach(g, new Backdrop(IRECT(0.f, 0.f, 1180.f, 800.f), plugin, viewState));
  const ISVG logo = g.LoadSVG("keldarine_logo.svg", "px", 72.f);
  Attach(g, new Brand(IRECT(28.f, 0.f, 238.f, 42.f), logo));
  Attach(g, new PresetMenu(plugin, viewState));
  layout.AttachButton(IRECT(1028.f, 41.f, 1084.f, 83.f), kNoParameter, "A", SwitchBank, 0,
                      "Switch A/B control banks, both saved with the session.");
  layout.AttachButton(IRECT(1096.f, 41.f, 1144.f, 83.f), kNoParameter, "COPY", CopyBank, 0,
                      "Copy current controls to the other A/B bank.");

  // Mode, reference line, history and meters.
  Attach(g, new ModeMenu(plugin, viewState));
  Attach(g, new ReferenceLine(IRECT(315.f, 110.f, 950.f, 146.f), plugin, viewState));
  layout.AttachButton(
      IRECT(965.f, 110.f, 1144.f, 146.f), kNoParameter, "FREEZE HISTORY", FreezeHistory, 0,
      "Freeze only the displayed history for inspection; audio, meters, detection and automation "
      "keep running.");
  Attach(g, new HistoryGraph(plugin, viewState));
  Attach(g, new LiveMeters(IRECT(872.f, 155.f, 1144.f, 409.f), plugin, viewState));

  for (int slot = 0; slot < 8; ++slot)
    layout.AddKnob(kMainRow[slot].paramIdx, kMainRow[slot].label, -1, slot, true);

  for (int tab = 0; tab < 4; ++tab) {
    const float left = 36.f + 280.f * static_cast<float>(tab);
    layout.AttachButton(IRECT(left, 555.f, left + 265.f, 583.f), kNoParameter, kPageTabLabels[tab], PageTab,
                        tab, "Open this control view; hidden controls retain their values.");
  }
  Attach(g, new PageCaption(IRECT(48.f, 584.f, 1129.f, 603.f), viewState));

  for (int page = 0; page < 4; ++page) {
    const PageRow& row = kPageRows[page];
    for (int slot = 0; slot < row.count; ++slot)
      layout.AddKnob(row.slots[slot].paramIdx, row.slots[slot].label, page, slot, false);
  }
  // The reference explanation takes the free slots of the reference page.
  auto* referenceHelp = new ReferenceHelp(IRECT(596.f, 618.f, 1126.f, 708.f), plugin, viewState);
  Attach(g, referenceHelp);
  viewState->pagedControls.push_back({referenceHelp, kPageReference});

  // Help band and bottom row.
  Attach(g, new ContextHelp(IRECT(36.f, 724.f, 1144.f, 753.f), viewState));
  layout.AttachButton(IRECT(36.f, 763.f, 167.f, 795.f), kBypass, "BYPASS", ParamToggle, 0,
                      ParamHelpTexts(kBypass));
  layout.AttachButton(IRECT(181.f, 763.f, 310.f, 795.f), kAnalyzer, "ANALYZER", ParamToggle, 0,
                      ParamHelpTexts(kAnalyzer));
  Attach(g, new Status(IRECT(323.f, 759.f, 936.f, 796.f), plugin, viewState));
  layout.AttachButton(IRECT(958.f, 763.f, 1144.f, 795.f), kNoParameter, kSupportMailAddress, SupportMail, 0,
                      "Open support email.");

  ShowPage(*viewState, g);
  g.AttachCornerResizer(EUIResizerMode::Scale, false, kColorSlate, kColorAmber, kColorPink, 20.f);
}
