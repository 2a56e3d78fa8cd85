// The base of every editor control: rectangle, parameter binding, visibility, mouse and keyboard
// virtuals, dirty state. Controls are owned by the graphics object once attached. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "IGraphicsStructs.h"

class IGraphics;
class IEditorDelegate;
class IParam;
class IPopupMenu;
class IControl;

using IActionFunction = std::function<void(IControl*)>;

class IControl {
public:
  // One value, bound to paramIdx (kNoParameter for none), normalised 0..1.
  explicit IControl(const IRECT& bounds, int paramIdx = kNoParameter, IActionFunction action = nullptr);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void Draw(IGraphics& g) = 0;

  // Mouse, in design points. Defaults: down/up/drag/wheel do nothing; a double click resets the
  // bound parameter to its default (nothing without one); over/out set and clear the mouse-over
  // flag and mark the control dirty when it changes.
  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float x, float y, const IMouseMod& mod);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float x, float y, const IMouseMod& mod, float d);
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  // true = handled; an unhandled key goes back to the platform window.
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  // The framework's text entry or popup menu opened for this control closed. The menu is nullptr
  // when it was dismissed.
  virtual void OnTextEntryCompletion(const char* str, int valIdx);
  virtual void OnPopupMenuSelection(IPopupMenu* menu, int valIdx);
  // After AttachControl, once the control knows its graphics object.
  virtual void OnAttached() {}

  // Asked once per frame of every control, hidden ones too.
  virtual bool IsDirty();
  // Marks the control for redrawing. With triggerAction, a bound parameter is sent to the
  // delegate (one value of an edit) and the action function runs.
  virtual void SetDirty(bool triggerAction = true, int valIdx = kNoValIdx);
  void SetClean() { controlDirty = false; }

  // Value. SetValue only stores; SetValueFromDelegate stores and redraws without informing the
  // host; SetValueFromUserInput is one complete user edit (begin, value, end to the host) when the
  // value differs, nothing otherwise; SetValueToDefault is SetValueFromUserInput with the bound
  // parameter's default, and does nothing without a parameter.
  double GetValue(int valIdx = 0) const;
  void SetValue(double value, int valIdx = 0);
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = kNoValIdx);
  int NVals() const { return 1; }
  int GetParamIdx(int valIdx = 0) const;
  void SetParamIdx(int paramIdx, int valIdx = 0);
  // The bound parameter of the delegate, or nullptr (no parameter, not attached).
  const IParam* GetParam(int valIdx = 0) const;

  const IRECT& GetRECT() const { return controlRect; }
  void SetRECT(const IRECT& bounds) { controlRect = bounds; }
  // Where the mouse hits; the drawn rectangle unless set apart.
  const IRECT& GetTargetRECT() const { return controlTargetRect; }
  void SetTargetRECT(const IRECT& bounds) { controlTargetRect = bounds; }
  void SetTargetAndDrawRECTs(const IRECT& bounds) { controlRect = controlTargetRect = bounds; }
  // Hit test of the target rectangle (left/top inclusive).
  virtual bool IsHit(float x, float y) const { return controlTargetRect.Contains(x, y); }

  void Hide(bool hide);
  bool IsHidden() const { return controlHidden; }
  void SetDisabled(bool disable);
  bool IsDisabled() const { return controlDisabled; }
  // Ignored controls are passed over when the layer looks for the control under the mouse.
  void SetIgnoreMouse(bool ignore) { controlIgnoresMouse = ignore; }
  bool GetIgnoreMouse() const { return controlIgnoresMouse; }
  // A disabled control gets mouse events only when it asks for them.
  void SetMouseEventsWhenDisabled(bool allow) { controlMouseWhenDisabled = allow; }
  bool GetMouseEventsWhenDisabled() const { return controlMouseWhenDisabled; }
  bool GetMouseIsOver() const { return controlMouseIsOver; }

  void SetTooltip(const char* str) { controlTooltip = str ? str : ""; }
  const char* GetTooltip() const { return controlTooltip.c_str(); }
  void SetText(const IText& style) { controlText = style; }
  const IText& GetText() const { return controlText; }
  void SetActionFunction(IActionFunction function) { controlAction = std::move(function); }

  void SetGraphics(IGraphics* graphics) { controlUI = graphics; }
  IGraphics* GetUI() const { return controlUI; }
  IEditorDelegate* GetDelegate() const;
  int GetTag() const { return controlTag; }
  void SetTag(int newTag) { controlTag = newTag; }
  const std::string& GetGroup() const { return controlGroup; }
  void SetGroup(const char* name) { controlGroup = name ? name : ""; }

private:
  IRECT controlRect;
  IRECT controlTargetRect;
  int controlParamIdx;
  double controlValue = 0.0;
  IActionFunction controlAction;
  IGraphics* controlUI = nullptr;
  IText controlText;
  std::string controlTooltip;
  std::string controlGroup;
  int controlTag = kNoTag;
  bool controlDirty = true;
  bool controlHidden = false;
  bool controlDisabled = false;
  bool controlIgnoresMouse = false;
  bool controlMouseWhenDisabled = false;
  bool controlMouseIsOver = false;
};

enum class EDirection { Vertical, Horizontal };

// A knob base: a drag changes the value by the distance over the drag span's height (or width)
// divided by the gearing, Shift or Ctrl for ten times finer; the wheel steps 0.01 per unit, 0.001
// with Shift or Ctrl. Both clamp to 0..1. A drag is one host edit: begin on the press, end on release;
// the wheel does nothing during a drag.
class IKnobControlBase : public IControl {
public:
  IKnobControlBase(const IRECT& bounds, int paramIdx = kNoParameter, EDirection direction = EDirection::Vertical,
                   double gearing = 4.0);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;

  // The span a full-gearing drag is measured against.
  virtual IRECT GetKnobDragBounds() { return GetTargetRECT(); }

  void SetGearing(double newGearing) { knobGearing = newGearing; }
  double GetGearing() const { return knobGearing; }
  bool IsDragging() const { return knobDragging; }

private:
  EDirection knobDirection;
  double knobGearing;
  double knobDragValue = 0.0; // unclamped value following the mouse during a drag
  bool knobDragging = false;
};
