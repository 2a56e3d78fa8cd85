#include "ReferenceLine.h"

#include "IGraphics.h"
#include "LiveReadouts.h"
#include "Palette.h"
#include "Tamsel.h"

ReferenceLine::ReferenceLine(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
    : ReadoutControl(bounds, owner, std::move(view)) {}

ColoredText ReferenceLine::Line() const {
  const IParam* mode = plugin ? plugin->GetParam(kMode) : nullptr;
  return ReferenceLineText(mode ? mode->Value() : 0.0, viewState->snapshot.modeCode);
}

void ReferenceLine::Draw(IGraphics& g) {
  const ColoredText line = Line();
  g.DrawText(EditorText(11.f, line.color), line.text, GetRECT());
}
