// The plug-in side of the editor: creates and owns the graphics object while the editor is open,
// remembers its last size and scale for the next opening, and carries parameter edits between
// the controls and the plug-in. UI thread only.
#pragma once

#include <functional>
#include <memory>

#include "IPlugConfig.h"

class IGraphics;
class IParam;

class IEditorDelegate {
public:
  IEditorDelegate();
  // Closes an open editor first. By then the plug-in above is gone, so a plug-in whose controls
  // call back into it (a held knob ends its edit) calls CloseWindow in its own destructor.
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // Set by the plug-in at construction: graphics creation and layout.
  std::function<IGraphics*()> makeGraphicsFunc;
  std::function<void(IGraphics*)> layoutFunc;

  // Parameters, implemented by the plug-in base.
  virtual IParam* GetParam(int index) = 0;
  virtual const IParam* GetParam(int index) const = 0;
  virtual int NParams() const = 0;
  virtual void BeginInformHostOfParamChange(int index) = 0;
  virtual void InformHostOfParamChange(int index, double normalized) = 0;
  virtual void EndInformHostOfParamChange(int index) = 0;
  virtual void OnParamChange(int index, EParamSource source, int sampleOffset) = 0;
  virtual void OnParamChangeUI(int index, EParamSource source) = 0;

  // From the controls: one edit is Begin, one or more values, End.
  void BeginInformHostOfParamChangeFromUI(int paramIdx);
  // Sets the parameter (normalised), tells the host, then OnParamChange and OnParamChangeUI with
  // source kUI. Out-of-range indexes do nothing.
  void SendParameterValueFromUI(int paramIdx, double normalized);
  void EndInformHostOfParamChangeFromUI(int paramIdx);
  // To the open editor: every control bound to paramIdx takes the value; nothing without an editor.
  virtual void SendParameterValueFromDelegate(int paramIdx, double value, bool normalized);

  // Builds the graphics object (makeGraphicsFunc), applies the last scale, and runs layoutFunc,
  // without opening a window; returns the open one if there is one. nullptr when no editor.
  IGraphics* OpenUI();
  // OpenUI, then the graphics object's window as a child of parent (X11 Window id). nullptr on
  // failure, with the graphics object released again.
  void* OpenWindow(void* parent);
  // Remembers the size and scale, then destroys the graphics object and its controls.
  void CloseWindow();
  IGraphics* GetUI() const { return ui.get(); }

  // The editor's parent window changed size (pixels).
  virtual void OnParentWindowResize(int, int) {}
  // A host's window size (pixels) made into one the editor keeps as it is: OnParentWindowResize
  // with the result at this screen scale leaves the editor exactly that size. False when the
  // editor does not follow its parent.
  virtual bool FitParentWindowSize(int& /*width*/, int& /*height*/, float /*screenScale*/) const {
    return false;
  }

  // The scale the next editor opens with.
  float GetLastEditorScale() const { return lastScale; }

private:
  struct GraphicsDeleter {
    void operator()(IGraphics* g) const;
  };
  std::unique_ptr<IGraphics, GraphicsDeleter> ui;
  float lastScale = 0.f; // 0: none remembered yet
};
