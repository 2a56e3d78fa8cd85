// An open editor of a plug-in that records the host's edits, holding only the controls a test
// attaches, without a window. The graphics object is the plug-in's own, so values the plug-in
// pushes to the editor reach the controls as in a real host.
#pragma once

#include <memory>
#include <vector>

#include "IGraphics.h"
#include "IParam.h"
#include "Knob.h"
#include "Palette.h"
#include "ParamHelpTexts.h"
#include "Tamsel.h"
#include "TamselRig.h"
#include "ValueEntry.h"
#include "ViewState.h"

// Only what the host sees: begin, perform (normalised value), end.
class EditRecorder : public Tamsel {
public:
  void BeginInformHostOfParamChange(int i) override {
    edits.push_back({HostEvent::kBegin, i, 0.0});
    Tamsel::BeginInformHostOfParamChange(i);
  }
  void InformHostOfParamChange(int i, double normalized) override {
    edits.push_back({HostEvent::kPerform, i, normalized});
    Tamsel::InformHostOfParamChange(i, normalized);
  }
  void EndInformHostOfParamChange(int i) override {
    edits.push_back({HostEvent::kEnd, i, 0.0});
    Tamsel::EndInformHostOfParamChange(i);
  }

  std::vector<HostEvent> edits;
};

// One complete edit of parameter i ending at the normalised value.
inline std::vector<HostEvent> OneEdit(int i, double normalized) {
  return {{HostEvent::kBegin, i, 0.0}, {HostEvent::kPerform, i, normalized}, {HostEvent::kEnd, i, 0.0}};
}

// Main-row knob rectangle of slot i, as the layout places it.
inline IRECT MainRowRect(int slot) {
  const float l = 45.f + 137.5f * static_cast<float>(slot);
  return {l, 429.f, l + 130.f, 533.f};
}

struct ControlRig {
  std::shared_ptr<ViewState> viewState = std::make_shared<ViewState>();
  EditRecorder plugin;
  IGraphics* graphics = nullptr;

  ControlRig() {
    plugin.layoutFunc = [](IGraphics* g) {
      g->EnableMouseOver(true);
      g->AttachTextEntryControl();
      g->LoadFont(kEditorFont, "Roboto-Regular.ttf");
    };
    graphics = plugin.OpenUI();
  }

  // A knob and its value entry, as the layout's AddKnob makes them.
  Knob* AddKnob(int paramIdx, const char* label, const IRECT& bounds, int page = -1) {
    auto* knob = new Knob(bounds, paramIdx, label, &plugin, viewState);
    AttachPagedControl(*viewState, *graphics, knob, page);
    auto* entry = new ValueEntry(IRECT(), [knob](const char* text) { ApplyValueEntry(*knob, text); });
    knob->valueEntry = entry;
    graphics->AttachControl(entry);
    return knob;
  }

  template <class Control> Control* Add(Control* control) {
    graphics->AttachControl(control);
    return control;
  }

  // The dirty checks of one frame, in attachment order, without drawing.
  void DirtyPass() {
    for (int i = 0; i < graphics->NControls(); ++i)
      graphics->GetControl(i)->IsDirty();
  }

  IParam& Param(int i) { return *plugin.GetParam(i); }

  void Click(float x, float y, const IMouseMod& mod = {}) {
    graphics->OnMouseDown(x, y, mod);
    graphics->OnMouseUp(x, y, mod);
  }
  bool Key(float x, float y, int vk, bool shift = false, bool ctrl = false, bool alt = false) {
    return graphics->OnKeyDown(x, y, IKeyPress("", vk, shift, ctrl, alt));
  }
  void Commit() { Key(0.f, 0.f, kVK_RETURN); }
  // Types text into the open text entry, one character a key.
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      const char one[2] = {*c, '\0'};
      graphics->OnKeyDown(0.f, 0.f, IKeyPress(one, kVK_NONE));
    }
  }
};
