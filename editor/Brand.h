// The maker's mark in the title block: the logo (or the brand text without it), underlined while
// hovered; a click, Return or Space opens the maker's web page. UI thread only.
#pragma once

#include "IControl.h"

class Brand : public IControl {
public:
  Brand(const IRECT& bounds, const ISVG& logo);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void Draw(IGraphics& g) override;

private:
  ISVG logo; // a handle into the graphics object's SVG cache; empty when it failed to load
};
