// One line beside the mode menu: what the target follows and whether the reference is usable.
// Display only. UI thread.
#pragma once

#include "ColoredText.h"
#include "ReadoutControl.h"

class ReferenceLine : public ReadoutControl {
public:
  ReferenceLine(const IRECT& bounds, Tamsel* plugin, std::shared_ptr<ViewState> viewState);
  void Draw(IGraphics& g) override;

  // The line as it stands: the Mode parameter now, and the engine's last published mode code.
  ColoredText Line() const;
};
