// A small plug-in with three parameters that records every host edit, and controls that record
// what the graphics layer calls on them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IGraphics.h"
#include "IPlugBase.h"

enum TestParam { kGain = 0, kSwitch = 1, kSteps = 2, kNumTestParams };

class TestPlug : public IPlugBase {
public:
  TestPlug() : IPlugBase(InstanceInfo{}, Config{.nParams = kNumTestParams}) {
    GetParam(kGain)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.01, "dB");
    GetParam(kSwitch)->InitBool("Switch", false);
    GetParam(kSteps)->InitDouble("Steps", 2.0, 0.0, 4.0, 1.0, "", IParam::kFlagStepped);
  }
  void ProcessBlock(float**, float**, int) override {}
  void BeginInformHostOfParamChange(int index) override { edits.push_back("begin " + std::to_string(index)); }
  void InformHostOfParamChange(int index, double normalized) override {
    edits.push_back("set " + std::to_string(index) + " " + std::to_string(normalized));
  }
  void EndInformHostOfParamChange(int index) override { edits.push_back("end " + std::to_string(index)); }

  std::vector<std::string> edits;
};

// Records the calls of the layer in one shared log, by name.
class Probe : public IControl {
public:
  Probe(const IRECT& bounds, std::vector<std::string>* log, const char* name, int paramIdx = kNoParameter)
      : IControl(bounds, paramIdx), calls(log), id(name) {}
  void Draw(IGraphics&) override { Log("draw"); }
  bool IsDirty() override {
    Log("dirty?");
    return IControl::IsDirty();
  }
  void OnMouseDown(float x, float y, const IMouseMod&) override { Log("down", x, y); }
  void OnMouseUp(float x, float y, const IMouseMod&) override { Log("up", x, y); }
  void OnMouseDrag(float x, float y, float, float, const IMouseMod&) override { Log("drag", x, y); }
  void OnMouseDblClick(float x, float y, const IMouseMod&) override { Log("dbl", x, y); }
  void OnMouseWheel(float, float, const IMouseMod&, float) override { Log("wheel"); }
  void OnMouseOver(float x, float y, const IMouseMod& mod) override {
    Log("over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override {
    Log("out");
    IControl::OnMouseOut();
  }
  bool OnKeyDown(float, float, const IKeyPress& key) override {
    Log("key " + std::to_string(key.VK));
    return takesKeys;
  }
  void OnTextEntryCompletion(const char* str, int valIdx) override {
    Log(std::string("entry ") + str + " " + std::to_string(valIdx));
  }
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override {
    Log("menu " + std::to_string(menu ? menu->GetChosenItemIdx() : -99) + " " + std::to_string(valIdx));
  }

  bool takesKeys = true;

private:
  void Log(const std::string& what) { calls->push_back(id + " " + what); }
  void Log(const std::string& what, float x, float y) {
    Log(what + " " + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  }
  std::vector<std::string>* calls;
  std::string id;
};

// A plug-in and its graphics object of 400 x 300 points, without a window.
struct GraphicsRig {
  TestPlug plug;
  std::unique_ptr<IGraphics> graphics{MakeGraphics(plug, 400, 300, 30, 1.f)};
  std::vector<std::string> log;

  Probe* Add(const IRECT& bounds, const char* name, int paramIdx = kNoParameter) {
    auto* p = new Probe(bounds, &log, name, paramIdx);
    graphics->AttachControl(p);
    return p;
  }
};
